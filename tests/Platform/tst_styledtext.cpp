#include "StyledText.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>

#include <functional>

using Edit = std::function<void(StyledText&)>;
using Writer = std::function<bool(const StyledText&, const QString&, QString*)>;
using OptionalRange = std::optional<StyledText::Range>;
Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(Writer)
Q_DECLARE_METATYPE(StyledText::Range)
Q_DECLARE_METATYPE(OptionalRange)

namespace {

QFont font(const QString& family, qreal points, bool bold = false, bool italic = false)
{
    QFont result(family);
    result.setPointSizeF(points);
    result.setBold(bold);
    result.setItalic(italic);
    return result;
}

const QFont courier = font(QStringLiteral("Courier"), 12);
const QFont times = font(QStringLiteral("Times"), 12);

ParagraphStyle aligned(ParagraphStyle::Alignment alignment)
{
    return ParagraphStyle{alignment, {}, 0};
}

// The report layout: tab stops for the table columns, wrapped lines under the description.
ParagraphStyle reportStyle()
{
    return ParagraphStyle{ParagraphStyle::Left, {82, 144, 216, 288, 360, 432, 504}, 288};
}

// "length family alignment" per run, "-" for an absent attribute, "+image" for an attachment.
QString describeRuns(const StyledText& text)
{
    QStringList runs;
    for (const StyledText::Run& run : text.runs()) {
        const TextAttributes& attributes = run.attributes;
        const QString alignment = attributes.paragraphStyle ? QStringLiteral("LRC").mid(attributes.paragraphStyle->alignment, 1)
                                                            : QStringLiteral("-");
        runs << QStringLiteral("%1 %2 %3%4")
                    .arg(run.length)
                    .arg(attributes.font ? attributes.font->family() : QStringLiteral("-"), alignment,
                         attributes.attachment ? QStringLiteral(" +image") : QString());
    }
    return runs.join(QStringLiteral(", "));
}

// A small PNG at 72 dpi, so its size in points equals its size in pixels.
QString writeImage(const QString& path, QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    image.save(path, "PNG");
    return path;
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// An invoice-like page: logo, right-aligned date, address, centred title, a table on the report
// tab stops with a description long enough to wrap, and the closing in the default style.
StyledText sampleInvoice(const QString& logoPath)
{
    const QFont body = font(QStringLiteral("DejaVu Sans"), 10);
    const TextAttributes report{body, reportStyle(), std::nullopt};
    StyledText text(QStringLiteral("\nMonday, March 04 2024\nCafé Zoë Müller\n12 Rue de l'Église\n\n"), report);
    text.append(QStringLiteral("INVOICE\t\t# 1007\n\n"), report);
    text.append(QStringLiteral("Date\tHours\tRate\tAmount\tDescription\n"
                               "--------\t--------\t--------\t--------\t----------------------\n"
                               "03/01/2024\t   2.50\t    80.00\t  200.00\tMenu design {draft} with a long description "
                               "that wraps under itself at the head indent\n"
                               "03/02/2024\t   1.25\t    80.00\t  100.00\tC:\\prints\\menu 😀 café\n\n"
                               "\t\t\tTotal Hours:\t   3.75\n"
                               "\t\t\tTOTAL:\t$300.00\n\n"),
                report);
    text.append(QStringLiteral("TOTAL is due in full now - please remit to:\n\n\t\tCompany Name\n\t\tAddress\n"),
                TextAttributes{body, std::nullopt, std::nullopt});
    text.insert(0, StyledText::attachmentForImagePath(logoPath));
    text.setFont(font(QStringLiteral("DejaVu Sans"), 16, true), *text.find(QStringLiteral("INVOICE")));
    text.setParagraphStyle(aligned(ParagraphStyle::Centered), *text.find(QStringLiteral("INVOICE")));
    text.setParagraphStyle(aligned(ParagraphStyle::Right), *text.find(QStringLiteral("Monday")));
    return text;
}

} // namespace

class TestStyledText : public QObject
{
    Q_OBJECT

private slots:
    void editsKeepRunsExact_data();
    void editsKeepRunsExact();
    void paragraphStyleCoversWholeParagraphs_data();
    void paragraphStyleCoversWholeParagraphs();
    void paragraphTakesStyleOfItsFirstCharacter();
    void findsFirstExactOccurrence_data();
    void findsFirstExactOccurrence();
    void attachmentHoldsImageInCentredParagraph();
    void attachmentNeedsAnImage_data();
    void attachmentNeedsAnImage();
    void rtfOfFixture();
    void rtfEmbedsAttachedPictures();
    void rtfdPackageHoldsTextAndFiles();
    void rtfdReplacesExistingPackageWhole();
    void plainTextIsUtf8();
    void writersReportFailure_data();
    void writersReportFailure();
    void textDocumentKeepsLayout();
    void textDocumentRoundTrip();
    void pdfIsWritten();
    void sampleFilesForVisualCheck();
};

void TestStyledText::editsKeepRunsExact_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("string");
    QTest::addColumn<QString>("runs");

    const auto styled = [](const QString& s, const QFont& f) { return StyledText(s, TextAttributes{f, {}, {}}); };

    QTest::newRow("append with same attributes merges")
        << Edit([](StyledText& t) { t.append(QStringLiteral("de"), TextAttributes{courier, {}, {}}); })
        << "abcde" << "5 Courier -";
    QTest::newRow("append with other attributes adds a run")
        << Edit([](StyledText& t) { t.append(QStringLiteral("de"), TextAttributes{times, {}, {}}); })
        << "abcde" << "3 Courier -, 2 Times -";
    QTest::newRow("append without attributes")
        << Edit([](StyledText& t) { t.append(QStringLiteral("\n\n")); })
        << "abc\n\n" << "3 Courier -, 2 - -";
    QTest::newRow("append styled text merges at the seam")
        << Edit([styled](StyledText& t) {
               StyledText tail = styled(QStringLiteral("de"), courier);
               tail.append(QStringLiteral("f"), TextAttributes{times, {}, {}});
               t.append(tail);
           })
        << "abcdef" << "5 Courier -, 1 Times -";
    QTest::newRow("insert inside a run splits it")
        << Edit([styled](StyledText& t) { t.insert(1, styled(QStringLiteral("XY"), times)); })
        << "aXYbc" << "1 Courier -, 2 Times -, 2 Courier -";
    QTest::newRow("insert with same attributes merges")
        << Edit([styled](StyledText& t) { t.insert(2, styled(QStringLiteral("XY"), courier)); })
        << "abXYc" << "5 Courier -";
    QTest::newRow("insert at the start")
        << Edit([styled](StyledText& t) { t.insert(0, styled(QStringLiteral("X"), times)); })
        << "Xabc" << "1 Times -, 3 Courier -";
    QTest::newRow("insert at the end")
        << Edit([styled](StyledText& t) { t.insert(3, styled(QStringLiteral("X"), times)); })
        << "abcX" << "3 Courier -, 1 Times -";
    QTest::newRow("insert past the end does nothing")
        << Edit([styled](StyledText& t) { t.insert(4, styled(QStringLiteral("X"), times)); })
        << "abc" << "3 Courier -";
    QTest::newRow("insert before the start does nothing")
        << Edit([styled](StyledText& t) { t.insert(-1, styled(QStringLiteral("X"), times)); })
        << "abc" << "3 Courier -";
    QTest::newRow("font over the middle")
        << Edit([](StyledText& t) { t.setFont(times, {1, 1}); })
        << "abc" << "1 Courier -, 1 Times -, 1 Courier -";
    QTest::newRow("font set back merges the runs again")
        << Edit([](StyledText& t) {
               t.setFont(times, {1, 1});
               t.setFont(courier, {0, 3});
           })
        << "abc" << "3 Courier -";
    QTest::newRow("font over a range past the end is clamped")
        << Edit([](StyledText& t) { t.setFont(times, {2, 10}); })
        << "abc" << "2 Courier -, 1 Times -";
    QTest::newRow("font over an empty range changes nothing")
        << Edit([](StyledText& t) { t.setFont(times, {1, 0}); })
        << "abc" << "3 Courier -";
    QTest::newRow("font across runs keeps their paragraph styles")
        << Edit([](StyledText& t) {
               t.append(QStringLiteral("\nde"), TextAttributes{courier, aligned(ParagraphStyle::Right), {}});
               t.setFont(times, {2, 3});
           })
        << "abc\nde" << "2 Courier -, 1 Times -, 2 Times R, 1 Courier R";
    QTest::newRow("mid cuts runs")
        << Edit([](StyledText& t) {
               t.append(QStringLiteral("de"), TextAttributes{times, {}, {}});
               t = t.mid(2, 2);
           })
        << "cd" << "1 Courier -, 1 Times -";
    QTest::newRow("replacing line feeds keeps the runs")
        << Edit([](StyledText& t) {
               t.append(QStringLiteral("\nd\n"), TextAttributes{times, {}, {}});
               t.replaceCharacter(u'\n', u'\r');
           })
        << "abc\rd\r" << "3 Courier -, 3 Times -";
}

void TestStyledText::editsKeepRunsExact()
{
    QFETCH(Edit, edit);
    QFETCH(QString, string);
    QFETCH(QString, runs);

    StyledText text(QStringLiteral("abc"), TextAttributes{courier, {}, {}});
    edit(text);

    QCOMPARE(text.string(), string);
    QCOMPARE(describeRuns(text), runs);
}

void TestStyledText::paragraphStyleCoversWholeParagraphs_data()
{
    QTest::addColumn<StyledText::Range>("range");
    QTest::addColumn<QString>("runs");

    // Paragraphs: "one\n" 0-3, "two\r\n" 4-8, "three\n" 9-14, then the empty end.
    QTest::newRow("inside one paragraph") << StyledText::Range{5, 1} << "4 - -, 5 - C, 6 - -";
    QTest::newRow("across a separator") << StyledText::Range{2, 3} << "9 - C, 6 - -";
    QTest::newRow("on the carriage return of CR LF") << StyledText::Range{7, 1} << "4 - -, 5 - C, 6 - -";
    QTest::newRow("on the line feed of CR LF") << StyledText::Range{8, 1} << "4 - -, 5 - C, 6 - -";
    QTest::newRow("empty range at a paragraph start") << StyledText::Range{9, 0} << "9 - -, 6 - C";
    QTest::newRow("empty range at the end") << StyledText::Range{15, 0} << "15 - -";
    QTest::newRow("range past the end") << StyledText::Range{12, 40} << "9 - -, 6 - C";
}

void TestStyledText::paragraphStyleCoversWholeParagraphs()
{
    QFETCH(StyledText::Range, range);
    QFETCH(QString, runs);

    StyledText text(QStringLiteral("one\ntwo\r\nthree\n"));
    text.setParagraphStyle(aligned(ParagraphStyle::Centered), range);

    QCOMPARE(describeRuns(text), runs);
}

void TestStyledText::paragraphTakesStyleOfItsFirstCharacter()
{
    // A logo line: the attachment is centred, the line feed after it carries the report style.
    StyledText text(QStringLiteral("Title"), TextAttributes{courier, aligned(ParagraphStyle::Centered), {}});
    text.append(QStringLiteral(" and more\nnext\n"), TextAttributes{courier, reportStyle(), {}});

    QCOMPARE(text.paragraphStyleAt(9), aligned(ParagraphStyle::Centered));
    QCOMPARE(text.paragraphStyleAt(16), reportStyle());
    QCOMPARE(text.paragraphStyleAt(text.length()), reportStyle());

    const std::unique_ptr<QTextDocument> document = text.toTextDocument();
    QCOMPARE(document->firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
    QVERIFY(text.toRtf().contains("\\pard\\qc\\f0\\fs24 Title and more\\par"));
}

void TestStyledText::findsFirstExactOccurrence_data()
{
    QTest::addColumn<QString>("needle");
    QTest::addColumn<OptionalRange>("found");

    QTest::newRow("at the start") << "INVOICE" << OptionalRange(StyledText::Range{0, 7});
    QTest::newRow("first of two") << "# 1" << OptionalRange(StyledText::Range{8, 3});
    QTest::newRow("case must match") << "invoice" << OptionalRange();
    QTest::newRow("absent") << "RECEIPT" << OptionalRange();
    QTest::newRow("empty string") << "" << OptionalRange();
}

void TestStyledText::findsFirstExactOccurrence()
{
    QFETCH(QString, needle);
    QFETCH(OptionalRange, found);

    const StyledText text(QStringLiteral("INVOICE # 1007\nINVOICE # 1008"));
    QCOMPARE(text.find(needle), found);
}

void TestStyledText::attachmentHoldsImageInCentredParagraph()
{
    QTemporaryDir folder;
    const QString path = writeImage(folder.filePath(QStringLiteral("logo.png")), QSize(4, 2), Qt::red);

    const StyledText logo = StyledText::attachmentForImagePath(path);
    QCOMPARE(logo.string(), QString(QChar::ObjectReplacementCharacter));
    QCOMPARE(logo.paragraphStyleAt(0), aligned(ParagraphStyle::Centered));
    QVERIFY(logo.containsAttachment());
    QCOMPARE(logo.attachments().size(), 1);
    QCOMPARE(logo.attachments().first().filePath(), path);
    QCOMPARE(logo.attachments().first().image().size(), QSize(4, 2));
    QCOMPARE(logo.attachments().first().sizeInPoints().toSize(), QSize(4, 2));

    // A plain U+FFFC typed into the text is not an attachment.
    StyledText text(QStringLiteral("a") + QChar(QChar::ObjectReplacementCharacter));
    QVERIFY(!text.containsAttachment());
    text.insert(0, logo);
    text.append(logo);
    QCOMPARE(text.attachments().size(), 2);
    QCOMPARE(describeRuns(text), QStringLiteral("1 - C +image, 2 - -, 1 - C +image"));
}

void TestStyledText::attachmentNeedsAnImage_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("contents");

    QTest::newRow("missing file") << "missing.png" << QByteArray();
    QTest::newRow("not an image") << "notes.png" << QByteArray("just some text");
    QTest::newRow("no path") << "" << QByteArray();
}

void TestStyledText::attachmentNeedsAnImage()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, contents);

    QTemporaryDir folder;
    const QString path = fileName.isEmpty() ? QString() : folder.filePath(fileName);
    if (!contents.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    const StyledText logo = StyledText::attachmentForImagePath(path);
    QVERIFY(logo.isEmpty());
    QVERIFY(!logo.containsAttachment());
}

void TestStyledText::rtfOfFixture()
{
    StyledText text(QStringLiteral("Title {x}\n"),
                    TextAttributes{font(QStringLiteral("Helvetica"), 14, true), aligned(ParagraphStyle::Centered), {}});
    text.append(QStringLiteral("2 March\n"), TextAttributes{courier, aligned(ParagraphStyle::Right), {}});
    const ParagraphStyle table{ParagraphStyle::Left, {82, 144.5}, 288};
    text.append(QStringLiteral("Café\t1.50\tC:\\dir 😀\r\n"), TextAttributes{courier, table, {}});
    text.append(QStringLiteral("italic\u2028line"), TextAttributes{font(QStringLiteral("Courier"), 12, false, true), table, {}});

    const QByteArray expected =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab560\n"
        "{\\fonttbl{\\f0\\fnil\\fcharset0 Helvetica;}{\\f1\\fnil\\fcharset0 Courier;}}\n"
        "\\pard\\qc\\f0\\fs28\\b Title \\{x\\}\\par\n"
        "\\pard\\qr\\f1\\fs24\\b0 2 March\\par\n"
        "\\pard\\ql\\li5760\\fi-5760\\tx1640\\tx2890 Caf\\u233?\\tab 1.50\\tab C:\\\\dir \\u-10179?\\u-8704?\\par\n"
        "\\pard\\ql\\li5760\\fi-5760\\tx1640\\tx2890\\i italic\\line line}";
    QCOMPARE(text.toRtf(), expected);
}

void TestStyledText::rtfEmbedsAttachedPictures()
{
    QTemporaryDir folder;
    const QString path = writeImage(folder.filePath(QStringLiteral("logo.png")), QSize(4, 2), Qt::red);
    StyledText text = StyledText::attachmentForImagePath(path);
    text.append(QStringLiteral("\nabc"), TextAttributes{courier, {}, {}});

    // Line breaks only wrap the picture's hex digits; readers skip them.
    const QByteArray rtf = text.toRtf().replace('\n', "");
    const QByteArray picture = "\\pard\\qc{\\pict\\pngblip\\picw4\\pich2\\picwgoal80\\pichgoal40"
        + contentsOf(path).toHex() + "}\\f0\\fs24\\par\\pard\\ql abc}";
    QVERIFY2(rtf.endsWith(picture), rtf.constData());
}

void TestStyledText::rtfdPackageHoldsTextAndFiles()
{
    QTemporaryDir folder;
    QDir(folder.path()).mkdir(QStringLiteral("other"));
    const QString logo = writeImage(folder.filePath(QStringLiteral("logo.png")), QSize(4, 2), Qt::red);
    const QString sameName = writeImage(folder.filePath(QStringLiteral("other/logo.png")), QSize(2, 2), Qt::blue);

    StyledText text = StyledText::attachmentForImagePath(logo);
    text.append(QStringLiteral("\nmiddle\n"), TextAttributes{courier, {}, {}});
    text.append(StyledText::attachmentForImagePath(sameName));
    text.append(StyledText::attachmentForImagePath(logo));

    const QString package = folder.filePath(QStringLiteral("Invoice.rtfd"));
    QString error;
    QVERIFY2(text.writeRtfd(package, &error), qPrintable(error));

    QCOMPARE(QDir(package).entryList(QDir::Files, QDir::Name),
             QStringList({QStringLiteral("TXT.rtf"), QStringLiteral("logo 2.png"), QStringLiteral("logo.png")}));
    QCOMPARE(contentsOf(package + QStringLiteral("/logo.png")), contentsOf(logo));
    QCOMPARE(contentsOf(package + QStringLiteral("/logo 2.png")), contentsOf(sameName));
    const QByteArray rtf = contentsOf(package + QStringLiteral("/TXT.rtf"));
    QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252"), rtf.constData());
    QVERIFY2(rtf.contains("\\pard\\qc{{\\*\\NeXTGraphic logo.png \\width80 \\height40}\\'ac}\\f0\\fs24\\par\n"
                          "\\pard\\ql middle\\par\n"
                          "\\pard\\qc{{\\*\\NeXTGraphic logo 2.png \\width40 \\height40}\\'ac}"
                          "{{\\*\\NeXTGraphic logo.png \\width80 \\height40}\\'ac}}"),
             rtf.constData());
    QVERIFY(!rtf.contains("\\pict"));
}

void TestStyledText::rtfdReplacesExistingPackageWhole()
{
    QTemporaryDir folder;
    const QString package = folder.filePath(QStringLiteral("Report.rtfd"));
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("Report.rtfd")));
    QFile stale(package + QStringLiteral("/stale.gif"));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();

    QString error;
    QVERIFY2(StyledText(QStringLiteral("new text")).writeRtfd(package + u'/', &error), qPrintable(error));

    QCOMPARE(QDir(package).entryList(QDir::Files), QStringList(QStringLiteral("TXT.rtf")));
    QVERIFY(contentsOf(package + QStringLiteral("/TXT.rtf")).contains("new text"));
    // No temporary folder is left beside the package.
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList(QStringLiteral("Report.rtfd")));
}

void TestStyledText::plainTextIsUtf8()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("invoice.txt"));
    StyledText text(QStringLiteral("Café\t😀\n"), TextAttributes{courier, reportStyle(), {}});
    text.append(QStringLiteral("end"), TextAttributes{times, {}, {}});

    QVERIFY(text.writePlainText(path));
    QCOMPARE(contentsOf(path), QByteArray("Caf\xc3\xa9\t\xf0\x9f\x98\x80\nend"));
}

void TestStyledText::writersReportFailure_data()
{
    QTest::addColumn<Writer>("write");

    QTest::newRow("rtf") << Writer(&StyledText::writeRtf);
    QTest::newRow("rtfd") << Writer(&StyledText::writeRtfd);
    QTest::newRow("plain text") << Writer(&StyledText::writePlainText);
    QTest::newRow("pdf") << Writer(&StyledText::writePdf);
}

void TestStyledText::writersReportFailure()
{
    QFETCH(Writer, write);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("no such folder/invoice"));
    QString error;
    QVERIFY(!write(StyledText(QStringLiteral("text")), path, &error));
    QVERIFY2(error.contains(QStringLiteral("no such folder")), qPrintable(error));
    QVERIFY(QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void TestStyledText::textDocumentKeepsLayout()
{
    QTemporaryDir folder;
    const QString logo = writeImage(folder.filePath(QStringLiteral("logo.png")), QSize(30, 12), Qt::red);
    const StyledText text = sampleInvoice(logo);
    const std::unique_ptr<QTextDocument> document = text.toTextDocument();
    document->setTextWidth(800);
    document->size(); // lays the document out
    // Qt lays documents out in pixels at the screen's logical resolution.
    const qreal pixelsPerPoint = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY()) / 72.0;

    QCOMPARE(document->blockCount(), text.paragraphs().size());
    QCOMPARE(document->toPlainText().size(), text.length());

    const QTextBlock logoBlock = document->firstBlock();
    QCOMPARE(logoBlock.blockFormat().alignment(), Qt::AlignHCenter);
    const QTextImageFormat image = logoBlock.begin().fragment().charFormat().toImageFormat();
    QVERIFY(image.isValid());
    QCOMPARE(image.width(), 30 * pixelsPerPoint);
    QCOMPARE(document->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>().size(), QSize(30, 12));

    QCOMPARE(logoBlock.next().blockFormat().alignment(), Qt::AlignRight);
    const QTextBlock title = document->findBlock(int(text.find(QStringLiteral("INVOICE"))->location));
    QCOMPARE(title.blockFormat().alignment(), Qt::AlignHCenter);

    // Columns start on the tab stops, measured in points, and long descriptions wrap under
    // themselves at the head indent.
    const QTextBlock row = document->findBlock(int(text.find(QStringLiteral("03/01/2024"))->location));
    QCOMPARE(row.blockFormat().tabPositions().size(), 7);
    QCOMPARE(row.blockFormat().tabPositions().at(0).position, 82 * pixelsPerPoint);
    const QTextLine firstLine = row.layout()->lineAt(0);
    const int hours = row.text().indexOf(QStringLiteral("   2.50"));
    QCOMPARE(qRound(firstLine.cursorToX(hours)), qRound(82 * pixelsPerPoint));
    const int description = row.text().indexOf(QStringLiteral("Menu"));
    QCOMPARE(qRound(firstLine.cursorToX(description)), qRound(288 * pixelsPerPoint));
    QVERIFY(row.layout()->lineCount() > 1);
    QCOMPARE(qRound(row.layout()->lineAt(1).x()), qRound(288 * pixelsPerPoint));
}

void TestStyledText::textDocumentRoundTrip()
{
    QTemporaryDir folder;
    const QString logo = writeImage(folder.filePath(QStringLiteral("logo.png")), QSize(30, 12), Qt::red);
    const StyledText text = sampleInvoice(logo);

    const StyledText back = StyledText::fromTextDocument(*text.toTextDocument());

    QCOMPARE(back.string(), text.string());
    for (const StyledText::Paragraph& paragraph : text.paragraphs())
        QCOMPARE(back.paragraphStyleAt(paragraph.range.location), paragraph.style);
    QCOMPARE(back.attachments(), text.attachments());
    const QFont title = back.attributesAt(text.find(QStringLiteral("INVOICE"))->location).font.value();
    QCOMPARE(title.family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(title.pointSizeF(), 16.0);
    QVERIFY(title.bold());
}

void TestStyledText::pdfIsWritten()
{
    QTemporaryDir folder;
    const QString logo = writeImage(folder.filePath(QStringLiteral("logo.png")), QSize(30, 12), Qt::red);
    const QString path = folder.filePath(QStringLiteral("invoice.pdf"));
    QString error;
    QVERIFY2(sampleInvoice(logo).writePdf(path, &error), qPrintable(error));

    const QByteArray pdf = contentsOf(path);
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.contains("/Type /Page"));
    QVERIFY(pdf.trimmed().endsWith("%%EOF"));
}

void TestStyledText::sampleFilesForVisualCheck()
{
    const QString target = qEnvironmentVariable("TALLYWICK_STYLED_SAMPLES");
    if (target.isEmpty())
        QSKIP("set TALLYWICK_STYLED_SAMPLES to a folder to write sample files for a visual check");
    QVERIFY(QDir().mkpath(target));
    QImage logo(240, 60, QImage::Format_RGB32);
    logo.fill(Qt::white);
    QPainter painter(&logo);
    painter.fillRect(QRect(0, 0, 60, 60), QColor(0x2a, 0x6f, 0xb0));
    painter.setFont(font(QStringLiteral("DejaVu Sans"), 28, true));
    painter.drawText(QRect(70, 0, 170, 60), Qt::AlignVCenter, QStringLiteral("Logo"));
    painter.end();
    const QString logoPath = QDir(target).filePath(QStringLiteral("logo.png"));
    QVERIFY(logo.save(logoPath));

    const StyledText text = sampleInvoice(logoPath);
    QString error;
    QVERIFY2(text.writeRtf(QDir(target).filePath(QStringLiteral("sample.rtf")), &error), qPrintable(error));
    QVERIFY2(text.writeRtfd(QDir(target).filePath(QStringLiteral("sample.rtfd")), &error), qPrintable(error));
    QVERIFY2(text.writePdf(QDir(target).filePath(QStringLiteral("sample.pdf")), &error), qPrintable(error));
    QVERIFY2(text.writePlainText(QDir(target).filePath(QStringLiteral("sample.txt")), &error), qPrintable(error));
}

QTEST_MAIN(TestStyledText)
#include "tst_styledtext.moc"
