#include "Clock.h"
#include "Constants.h"
#include "MyDocument.h"
#include "NotificationCenter.h"
#include "PieceWork.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "TestSettings.h"

#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <optional>

using DocumentEdit = std::function<void(MyDocument&)>;
Q_DECLARE_METATYPE(DocumentEdit)

namespace {

// Today for every test: Friday, 5 March 2004.
const QDateTime Today(QDate(2004, 3, 5), QTime(12, 0));

const QString Label = QStringLiteral("**** I N V O I C E ****");
const QString RemitAddressDefault = QStringLiteral("\t\tCompany Name\n\t\tAddress\n\t\tCity, State, Zip\n");
const QString RemitSentence = QStringLiteral("TOTAL is due in full now - please remit to address at top.");
const QString CreditSentence = QStringLiteral("You have a credit balance; nothing is due at this time.");
const QString DueNowSentence = QStringLiteral("TOTAL is due in full now - please remit to:\n\n");

std::shared_ptr<PieceWork> session(int day, QTime start, QTime end, float rate, const QString& description,
                                   bool paid = false)
{
    auto work = PieceWork::init();
    work->setStartTime(QDateTime(QDate(2004, 3, day), start));
    work->setEndTime(QDateTime(QDate(2004, 3, day), end));
    work->setRate(rate);
    work->setWorkDescription(description);
    work->setPaid(paid);
    return work;
}

std::shared_ptr<PieceWork> expense(int day, float price, const QString& description, bool taxable)
{
    auto item = PieceWork::initLineItem();
    item->setStartTime(QDateTime(QDate(2004, 3, day), QTime(8, 0)));
    item->setRate(price);
    item->setWorkDescription(description);
    item->setTaxable(taxable);
    return item;
}

// Two unpaid sessions (2.50 h and 0.75 h at 40), one paid session that no invoice shows, and a
// taxable expense of 25.50, for Acme's "Website" project.
void fillDocument(MyDocument& document)
{
    document.setAddress(QStringLiteral("Acme Corp\n1 Main St"));
    document.setProjectName(QStringLiteral("Website"));
    document.setWorkList({session(1, QTime(9, 0), QTime(11, 30), 40, QStringLiteral("Design")),
                          session(2, QTime(13, 0), QTime(14, 0), 40, QStringLiteral("Kick-off"), true),
                          expense(3, 25.5f, QStringLiteral("Hosting"), true),
                          session(10, QTime(13, 0), QTime(13, 45), 40, QStringLiteral("Review"))});
}

void dropLineItems(MyDocument& document)
{
    WorkList sessions = document.workList();
    sessions.removeIf([](const std::shared_ptr<PieceWork>& work) { return work->isLineItem(); });
    document.setWorkList(sessions);
}

void setMoneyIgnored(bool ignored)
{
    SettingsStore::shared().setValue(IgnoreMoney, ignored);
}

void makeTaxable(MyDocument& document)
{
    document.setTaxable(true);
    document.setTaxRate(10);
}

// The plain invoice of fillDocument down to the title line, numbered 1000.
const QString PlainTop = QStringLiteral(
    "\t\tCompany Name\n"
    "\t\tAddress\n"
    "\t\tCity, State, Zip\n"
    "\n"
    "\t\t\t\t\tFriday, March 05 2004\n"
    "Acme Corp\n"
    "1 Main St\n"
    "\n"
    "RE: Website\n"
    "\n"
    "\t\t**** I N V O I C E ****\t\t# 1000\n");

// Both tables of fillDocument with money shown.
const QString FullTables = QStringLiteral(
    "\n"
    "Date:\tHours:\tRate:\tAmount:\tDescription:\n"
    "--------\t--------\t--------\t--------\t----------------------\n"
    "03/1/2004 \t   2.50     40.00\t  100.00\tDesign\n"
    "03/10/2004\t   0.75     40.00\t   30.00\tReview\n"
    "\n"
    "\n"
    "Date:\t\tExpense:\t\tDescription:\n"
    "--------\t\t--------\t\t----------------------\n"
    "03/3/2004 \t\t     25.50\t\tHosting\n"
    "\n");

const QString HoursOnlyTables = QStringLiteral(
    "\n"
    "Date:\tDay:  \tHours:\t\tDescription:\n"
    "--------\t--------\t--------\t\t----------------------\n"
    "03/1/2004 \tMon\t   2.50\tDesign\n"
    "03/10/2004\tWed\t   0.75\tReview\n");

const QString ExpenseTable = QStringLiteral(
    "\n"
    "\n"
    "Date:\t\tExpense:\t\tDescription:\n"
    "--------\t\t--------\t\t----------------------\n"
    "03/3/2004 \t\t     25.50\t\tHosting\n");

const QString FullTotals = QStringLiteral(
    "\t\t\tHours:\t         3.25\n"
    "\t\t\tEarned:\t$      130.00\n"
    "\t\t\tExpenses:\t$       25.50\n"
    "\n"
    "\t\t\tSubtotal:\t$      155.50\n"
    "\n"
    "\t\t\tTotal:\t$      155.50\n"
    "\n");

} // namespace

class TestInvoice : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void plainInvoice_data();
    void plainInvoice();
    void plainInvoiceIsStyledAsAReport();
    void tableMarksPaidEntries();
    void dateString_data();
    void dateString();
    void paragraphStyles();
    void everyInvoiceTakesTheNextNumber();

    void richInvoice();
    void richInvoiceClosing_data();
    void richInvoiceClosing();
    void richInvoiceLogoChoice_data();
    void richInvoiceLogoChoice();
    void withoutAnyLogoTheRichInvoiceIsThePlainOne();

private:
    std::optional<TestSettings> _settings;
    std::unique_ptr<MyDocument> _document;
    QTemporaryDir _folder;
    QByteArray _resources;
};

void TestInvoice::init()
{
    _settings.emplace();
    Preferences::initialize();
    Clock::setNow(Today);
    _resources = qgetenv("TALLYWICK_RESOURCES");
    _document = std::make_unique<MyDocument>();
    fillDocument(*_document);
}

void TestInvoice::cleanup()
{
    _document.reset();
    qputenv("TALLYWICK_RESOURCES", _resources);
    Clock::reset();
    _settings.reset();
}

void TestInvoice::plainInvoice_data()
{
    QTest::addColumn<DocumentEdit>("edit");
    QTest::addColumn<QString>("expected");

    QTest::newRow("full layout with expenses, untaxed")
        << DocumentEdit([](MyDocument&) {}) << PlainTop + FullTables + FullTotals + RemitSentence;

    QTest::newRow("taxed, with a taxable expense")
        << DocumentEdit(makeTaxable)
        << PlainTop + FullTables
               + QStringLiteral("\t\t\tHours:\t         3.25\n"
                                "\t\t\tEarned:\t$      130.00\n"
                                "\t\t\tExpenses:\t$       25.50\n"
                                "\n"
                                "\t\t\tSubtotal:\t$      155.50\n"
                                "\n"
                                "\t\t\tTax:\t$       15.55\n"
                                "\n"
                                "\t\t\tTotal:\t$      171.05\n"
                                "\n")
               + RemitSentence;

    QTest::newRow("untaxed without expenses: the earned amount is the total")
        << DocumentEdit(dropLineItems)
        << PlainTop
               + QStringLiteral("\n"
                                "Date:\tHours:\tRate:\tAmount:\tDescription:\n"
                                "--------\t--------\t--------\t--------\t----------------------\n"
                                "03/1/2004 \t   2.50     40.00\t  100.00\tDesign\n"
                                "03/10/2004\t   0.75     40.00\t   30.00\tReview\n"
                                "\n"
                                "\t\t\tHours:\t         3.25\n"
                                "\t\t\tEarned:\t$      130.00\n"
                                "\n"
                                "\n"
                                "\n")
               + RemitSentence;

    QTest::newRow("equity: equity, shares and cash lines")
        << DocumentEdit([](MyDocument& d) {
               d.setEquityPercent(20);
               d.setShareCost(10);
           })
        << PlainTop + FullTables
               + QStringLiteral("\t\t\tHours:\t         3.25\n"
                                "\t\t\tEarned:\t$      130.00\n"
                                "\t\t\tExpenses:\t$       25.50\n"
                                "\n"
                                "\t\t\tSubtotal:\t$      155.50\n"
                                "\n"
                                "\t\t\tEquity:\t$       26.00\n"
                                "\t\t\tShares:\t         2.60\n"
                                "\n"
                                "\t\t\tCash:\t$      104.00\n"
                                "\t\t\tTotal:\t$      129.50\n"
                                "\n")
               + RemitSentence;

    // Only the session table has a negative rate; the totals check the whole list.
    QTest::newRow("negative rate shifts the session table and every total")
        << DocumentEdit([](MyDocument& d) { d.workList().last()->setRate(-10); })
        << PlainTop
               + QStringLiteral("\n"
                                "Date:\tHours:\tRate:\tAmount:\tDescription:\n"
                                "--------\t--------\t--------\t--------\t----------------------\n"
                                "03/1/2004 \t   2.50    40.00\t  100.00\tDesign\n"
                                "03/10/2004\t   0.75   (10.00)\t  (7.50)\tReview\n")
               + ExpenseTable
               + QStringLiteral("\n"
                                "\t\t\tHours:\t        3.25\n"
                                "\t\t\tEarned:\t$      92.50\n"
                                "\t\t\tExpenses:\t$      25.50\n"
                                "\n"
                                "\t\t\tSubtotal:\t$     118.00\n"
                                "\n"
                                "\t\t\tTotal:\t$     118.00\n"
                                "\n")
               + RemitSentence;

    QTest::newRow("money ignored, untaxed: hours only, expenses and total kept, no closing")
        << DocumentEdit([](MyDocument&) { setMoneyIgnored(true); })
        << PlainTop + HoursOnlyTables + ExpenseTable
               + QStringLiteral("\n"
                                "\t\t\tHours:\t         3.25\n"
                                "\n"
                                "\t\t\tExpenses:\t$       25.50\n"
                                "\n"
                                "\t\t\tTotal:\t$      155.50\n"
                                "\n");

    QTest::newRow("money ignored, taxed with a taxable expense: tax shown")
        << DocumentEdit([](MyDocument& d) {
               setMoneyIgnored(true);
               makeTaxable(d);
           })
        << PlainTop + HoursOnlyTables + ExpenseTable
               + QStringLiteral("\n"
                                "\t\t\tHours:\t         3.25\n"
                                "\n"
                                "\t\t\tExpenses:\t$       25.50\n"
                                "\n"
                                "\t\t\tTax:\t$       15.55\n"
                                "\n"
                                "\t\t\tTotal:\t$      171.05\n"
                                "\n");

    QTest::newRow("money ignored, taxed without a taxable expense: neither tax nor total")
        << DocumentEdit([](MyDocument& d) {
               setMoneyIgnored(true);
               makeTaxable(d);
               dropLineItems(d);
           })
        << PlainTop + HoursOnlyTables
               + QStringLiteral("\n"
                                "\t\t\tHours:\t         3.25\n"
                                "\n"
                                "\n");

    QTest::newRow("numbering off: the title ends after the label")
        << DocumentEdit([](MyDocument&) { Preferences::setNextInvoiceNumber(0); })
        << QString(PlainTop).replace(QStringLiteral("\t\t# 1000"), QString()) + FullTables + FullTotals
               + RemitSentence;

    QTest::newRow("no project: no RE: line")
        << DocumentEdit([](MyDocument& d) { d.setProjectName(QString()); })
        << QString(PlainTop).replace(QStringLiteral("RE: Website\n\n"), QString()) + FullTables + FullTotals
               + RemitSentence;

    QTest::newRow("all paid: no tables, credit sentence")
        << DocumentEdit([](MyDocument& d) {
               for (const auto& work : d.workList())
                   work->setPaid(true);
           })
        << PlainTop
               + QStringLiteral("\n"
                                "\n"
                                "\t\t\tHours:\t         0.00\n"
                                "\t\t\tEarned:\t$        0.00\n"
                                "\n"
                                "\n"
                                "\n")
               + CreditSentence;

    QTest::newRow("no remit address, other labels")
        << DocumentEdit([](MyDocument&) {
               SettingsStore::shared().setValue(RemitAddress, QString());
               SettingsStore::shared().setValue(Preferences::defaultReString(), QStringLiteral("Project:"));
               SettingsStore::shared().setValue(Preferences::defaultDashString(), QStringLiteral("="));
           })
        << QString(PlainTop).remove(RemitAddressDefault).replace(QStringLiteral("RE:"), QStringLiteral("Project:"))
               + QString(FullTables).replace(u'-', u'=') + FullTotals + RemitSentence;

    // With "," as both separators the repair cuts every number after two digits past its first
    // comma, and the padding measures the repaired text.
    QTest::newRow("european dates, comma separators repaired before padding")
        << DocumentEdit([](MyDocument& d) {
               SettingsStore::shared().setValue(EuroDates, true);
               d.setDecimalSeparator(QStringLiteral(","));
               d.setThousandsSeparator(QStringLiteral(","));
               d.workList().first()->setRate(1000);
           })
        << QString(PlainTop).replace(QStringLiteral("Friday, March 05 2004"), QStringLiteral("05.03.2004"))
               + QStringLiteral("\n"
                                "Date:\tHours:\tRate:\tAmount:\tDescription:\n"
                                "--------\t--------\t--------\t--------\t----------------------\n"
                                "1.03.2004 \t   2,50     1,00,\t   2,50,\tDesign\n"
                                "10.03.2004\t   0,75     40,00\t   30,00\tReview\n"
                                "\n"
                                "\n"
                                "Date:\t\tExpense:\t\tDescription:\n"
                                "--------\t\t--------\t\t----------------------\n"
                                "3.03.2004 \t\t     25,50\t\tHosting\n"
                                "\n"
                                "\t\t\tHours:\t         3,25\n"
                                "\t\t\tEarned:\t$       2,53,\n"
                                "\t\t\tExpenses:\t$       25,50\n"
                                "\n"
                                "\t\t\tSubtotal:\t$       2,55,\n"
                                "\n"
                                "\t\t\tTotal:\t$       2,55,\n"
                                "\n")
               + RemitSentence;
}

void TestInvoice::plainInvoice()
{
    QFETCH(DocumentEdit, edit);
    QFETCH(QString, expected);

    edit(*_document);
    QCOMPARE(_document->invoiceString().string(), expected);
}

void TestInvoice::plainInvoiceIsStyledAsAReport()
{
    const StyledText invoice = _document->invoiceString();

    QCOMPARE(invoice.runs().size(), 1);
    QCOMPARE(invoice.runs().first().attributes,
             TextAttributes(Preferences::reportFont(), MyDocument::defaultParagraphStyle()));
}

// Reports show paid entries too; the mark follows the description after a space.
void TestInvoice::tableMarksPaidEntries()
{
    const auto sessions = MyDocument::splitWorkLists(_document->workList()).first;
    const QString table = _document->workDescription(sessions, _document->numberFormatter(), false);

    QVERIFY2(table.contains(QStringLiteral("03/2/2004 \t   1.00     40.00\t   40.00\tKick-off (pd)\n")),
             qPrintable(table));
}

void TestInvoice::dateString_data()
{
    QTest::addColumn<bool>("euro");
    QTest::addColumn<QString>("expected");

    QTest::newRow("long") << false << QStringLiteral("Friday, March 05 2004");
    QTest::newRow("euro") << true << QStringLiteral("05.03.2004");
}

void TestInvoice::dateString()
{
    QFETCH(bool, euro);
    QFETCH(QString, expected);

    SettingsStore::shared().setValue(EuroDates, euro);
    QCOMPARE(MyDocument::dateString(), expected);
}

void TestInvoice::paragraphStyles()
{
    const ParagraphStyle reportStyle(ParagraphStyle::Left, {82, 144, 216, 288, 360, 432, 504}, 288);

    QCOMPARE(MyDocument::defaultParagraphStyle(), reportStyle);
    QCOMPARE(MyDocument::alignedStyle(0), reportStyle);
    QCOMPARE(MyDocument::alignedStyle(1), ParagraphStyle(ParagraphStyle::Right));
    QCOMPARE(MyDocument::alignedStyle(2), ParagraphStyle(ParagraphStyle::Centered));

    const QFont italic = MyDocument::italicFont();
    QVERIFY(italic.italic());
    QCOMPARE(italic.pointSizeF(), 12.0);
}

void TestInvoice::everyInvoiceTakesTheNextNumber()
{
    QVariantList posted;
    QObject observer;
    NotificationCenter::shared().addObserver(InvoiceNumberUpdatedNotification, &observer,
                                             [&posted](const QVariant& object) { posted << object; });

    QVERIFY(_document->invoiceString().string().contains(QStringLiteral("\t\t# 1000\n")));
    QVERIFY(_document->richInvoiceString().string().contains(QStringLiteral("\t\t# 1001\n")));

    QCOMPARE(_document->invoiceNumber(), QStringLiteral("1001"));
    QCOMPARE(posted, (QVariantList {qint64(1001), qint64(1002)}));

    Preferences::setNextInvoiceNumber(0);
    _document->invoiceString();
    QVERIFY(_document->invoiceNumber().isEmpty());
}

void TestInvoice::richInvoice()
{
    QVERIFY(QImageReader::supportedImageFormats().contains("gif"));

    const StyledText invoice = _document->richInvoiceString();
    const QString expected = QChar(QChar::ObjectReplacementCharacter)
                           + QStringLiteral("\n"
                                            "Friday, March 05 2004\n"
                                            "Acme Corp\n"
                                            "1 Main St\n"
                                            "\n"
                                            "RE: Website\n"
                                            "\n"
                                            "**** I N V O I C E ****\t\t# 1000\n")
                           + FullTables + FullTotals + DueNowSentence + RemitAddressDefault;
    QCOMPARE(invoice.string(), expected);

    QCOMPARE(invoice.attachments().size(), 1);
    QCOMPARE(invoice.attachments().first().fileName(), QStringLiteral("velmorlogo_huge.gif"));
    QCOMPARE(invoice.paragraphStyleAt(0), MyDocument::alignedStyle(ParagraphStyle::Centered));

    const auto styleOf = [&](const QString& text) {
        const auto found = invoice.find(text);
        return found ? invoice.paragraphStyleAt(found->location) : ParagraphStyle();
    };
    QCOMPARE(styleOf(QStringLiteral("Friday, March 05 2004")).alignment, ParagraphStyle::Right);
    QCOMPARE(styleOf(QStringLiteral("Acme Corp")), MyDocument::defaultParagraphStyle());
    QCOMPARE(styleOf(QStringLiteral("# 1000")), MyDocument::alignedStyle(ParagraphStyle::Centered));
    QCOMPARE(styleOf(QStringLiteral("Review")), MyDocument::defaultParagraphStyle());
    QCOMPARE(styleOf(QStringLiteral("City, State, Zip")), ParagraphStyle());

    const qsizetype closing = invoice.find(DueNowSentence)->location;
    QCOMPARE(invoice.attributesAt(closing), TextAttributes(Preferences::reportFont(), ParagraphStyle()));
    QCOMPARE(invoice.attributesAt(invoice.find(Label)->location).font, Preferences::reportFont());
}

void TestInvoice::richInvoiceClosing_data()
{
    QTest::addColumn<DocumentEdit>("edit");
    QTest::addColumn<QString>("expectedEnd");

    QTest::newRow("grand total 0: credit sentence")
        << DocumentEdit([](MyDocument& d) {
               for (const auto& work : d.workList())
                   work->setPaid(true);
           })
        << QStringLiteral("\t\t\tEarned:\t$        0.00\n\n\n\n") + CreditSentence;
    QTest::newRow("money ignored: no closing")
        << DocumentEdit([](MyDocument&) { setMoneyIgnored(true); })
        << QStringLiteral("\t\t\tTotal:\t$      155.50\n\n");
}

void TestInvoice::richInvoiceClosing()
{
    QFETCH(DocumentEdit, edit);
    QFETCH(QString, expectedEnd);

    edit(*_document);
    const QString invoice = _document->richInvoiceString().string();
    QVERIFY2(invoice.endsWith(expectedEnd), qPrintable(invoice));
}

void TestInvoice::richInvoiceLogoChoice_data()
{
    QTest::addColumn<QString>("logoFile");
    QTest::addColumn<QString>("expectedLogo");

    QTest::newRow("no logo chosen") << QString() << QStringLiteral("velmorlogo_huge.gif");
    QTest::newRow("own logo") << QStringLiteral("mine.png") << QStringLiteral("mine.png");
    QTest::newRow("chosen file is no image") << QStringLiteral("notes.gif") << QStringLiteral("velmorlogo_huge.gif");
    QTest::newRow("chosen file is missing") << QStringLiteral("gone.png") << QStringLiteral("velmorlogo_huge.gif");
}

void TestInvoice::richInvoiceLogoChoice()
{
    QFETCH(QString, logoFile);
    QFETCH(QString, expectedLogo);

    QImage mine(16, 8, QImage::Format_RGB32);
    mine.fill(Qt::darkGreen);
    QVERIFY(mine.save(_folder.filePath(QStringLiteral("mine.png"))));
    QFile notes(_folder.filePath(QStringLiteral("notes.gif")));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("GIF89a, or so it says\n");
    notes.close();
    if (!logoFile.isEmpty())
        SettingsStore::shared().setValue(CompanyLogoPath, _folder.filePath(logoFile));

    const StyledText invoice = _document->richInvoiceString();

    QCOMPARE(invoice.attachments().size(), 1);
    QCOMPARE(invoice.attachments().first().fileName(), expectedLogo);
    QCOMPARE(invoice.string().at(0), QChar(QChar::ObjectReplacementCharacter));
}

void TestInvoice::withoutAnyLogoTheRichInvoiceIsThePlainOne()
{
    QTemporaryDir emptyResources;
    qputenv("TALLYWICK_RESOURCES", emptyResources.path().toUtf8());

    const StyledText rich = _document->richInvoiceString();

    QCOMPARE(rich.string(), PlainTop + FullTables + FullTotals + RemitSentence);
    QVERIFY(!rich.containsAttachment());
    QCOMPARE(Preferences::currentInvoiceNumber(), QStringLiteral("1001"));

    // Nor is there an invoice plug-in: the commands do nothing, and take no number.
    _document->viewInvoiceAction();
    _document->viewRichInvoiceAction();
    _document->printDocument();
    QCOMPARE(Preferences::currentInvoiceNumber(), QStringLiteral("1001"));
}

QTEST_MAIN(TestInvoice)
#include "tst_invoice.moc"
