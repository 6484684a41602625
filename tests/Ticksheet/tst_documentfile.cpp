#include "CalendarFormat.h"
#include "Clock.h"
#include "Constants.h"
#include "DocumentController.h"
#include "FileWriter.h"
#include "MyDocument.h"
#include "NotificationCenter.h"
#include "PageLayoutArchive.h"
#include "PieceWork.h"
#include "PropertyList.h"
#include "RecordingWindow.h"
#include "SettingsStore.h"
#include "TestSettings.h"
#include "UndoManager.h"

#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <ctime>
#include <functional>
#include <optional>

using Entry = std::shared_ptr<PieceWork>;
using Writer = std::function<bool(const QString& path)>;
Q_DECLARE_METATYPE(Writer)

namespace {

QDateTime at(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2004, 3, day), QTime(hour, minute, second));
}

Entry session(const QDateTime& start, const QDateTime& end, const QString& description)
{
    auto work = PieceWork::init();
    work->setStartTime(start);
    if (end.isValid())
        work->setEndTime(end);
    work->setWorkDescription(description);
    return work;
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ascii(const QVariantMap& dictionary)
{
    return PropertyList::writeAscii(dictionary);
}

QVariantMap workEntry(const QString& description, const QString& workRate = QString())
{
    QVariantMap entry {{"Description", description},
                       {"StartTime", "Friday, 05 March 2004, 09:00 AM"},
                       {"EndTime", "Friday, 05 March 2004, 10:30 AM"}};
    if (!workRate.isNull())
        entry.insert("WorkRate", workRate);
    return entry;
}

// The keys whose values differ ("Work[2].EndTime" inside entries), so a failure names them.
QStringList differences(const QVariantMap& actual, const QVariantMap& expected, const QString& prefix = QString())
{
    QStringList keys = actual.keys() + expected.keys();
    keys.removeDuplicates();
    QStringList different;
    for (const QString& key : std::as_const(keys)) {
        const QVariant a = actual.value(key);
        const QVariant b = expected.value(key);
        if (a == b)
            continue;
        const QVariantList listA = a.toList();
        const QVariantList listB = b.toList();
        if (a.typeId() == QMetaType::QVariantList && listA.size() == listB.size()) {
            for (qsizetype i = 0; i < listA.size(); ++i)
                different << differences(listA.at(i).toMap(), listB.at(i).toMap(),
                                         QStringLiteral("%1%2[%3].").arg(prefix, key).arg(i));
        } else {
            different << prefix + key;
        }
    }
    return different;
}

#define COMPARE_DICTIONARIES(actual, expected)                                                       \
    do {                                                                                             \
        const QStringList different = differences(actual, expected);                                 \
        QVERIFY2(different.isEmpty(), qPrintable("different: " + different.join(' ')));              \
    } while (false)

// A window that still holds an edit in a field until it is told to end editing.
class EditingWindow : public RecordingWindow
{
public:
    MyDocument* document = nullptr;
    QString pendingEmail;

    void endEditing() override
    {
        RecordingWindow::endEditing();
        if (document && !pendingEmail.isNull())
            document->setEmail(std::exchange(pendingEmail, QString()));
    }
};

} // namespace

class TestDocumentFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newDocumentDictionary();
    void roundTrip_data();
    void roundTrip();
    void asciiFormEscapesAccentedLetters();
    void missingKeysKeepTheNewDocumentsValues();
    void xmlOnlyTheGeneralReaderTakesStillOpens();
    void sessionsWithoutRateTakeTheFilesRate();
    void unreadableNumbersReadZero();
    void revertKeepsValuesTheFileLacks();
    void undoAfterSaveAndSaveAs();
    void saveCommitsThePendingEditFirst();
    void backupFile_data();
    void backupFile();
    void failedSaveKeepsFileAndEditedState();
    void cloneHasSettingsButNoWork();
    void importAppendsCopiesInOneStep();
    void pageSetupRoundTrip_data();
    void pageSetupRoundTrip();
    void unreadablePageSetupIsIgnored_data();
    void unreadablePageSetupIsIgnored();
    void badFiles_data();
    void badFiles();
    void archiveDatesAgreeWithTheCalendarFormat_data();
    void archiveDatesAgreeWithTheCalendarFormat();
    void fileWriter_data();
    void fileWriter();
    void fileWriterFailureSendsNoNotice();

private:
    // A saved document with every field set and four kinds of entries, then one unsaved edit.
    void makeFilledDocument();
    QString path(const QString& name) const { return _folder->filePath(name); }
    MyDocument* open(const QString& path);

    std::optional<TestSettings> _settings;
    std::optional<QTemporaryDir> _folder;
    std::unique_ptr<MyDocument> _document;
    RecordingWindow _window;
};

void TestDocumentFile::init()
{
    _settings.emplace();
    _folder.emplace();
    SettingsStore::shared().setValue(Rate, "125");
    Clock::setNow(at(5, 12, 0));
    MyDocument::registerDocumentType();
    _document = std::make_unique<MyDocument>();
    _document->setFileType(DocumentType);
    _window.calls.clear();
    _document->addWindowController(&_window);
}

void TestDocumentFile::cleanup()
{
    DocumentController::shared().setShowHook(nullptr);
    DocumentController::shared().closeAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    _document.reset();
    Clock::reset();
    _folder.reset();
    _settings.reset();
}

void TestDocumentFile::makeFilledDocument()
{
    MyDocument& d = *_document;
    d.setClientName("Acme Corp");
    d.setAddress("1 Main St\nTown");
    d.setProjectName("Site");
    d.setEmail("ops@acme.test");
    d.setPhone("555-0100");
    d.setRate(95.5f);
    d.setTaxRate(5.875f);
    d.setEquityPercent(10);
    d.setShareCost(800);
    d.setTaxable(true);
    d.setMoneySymbol("€");
    d.setThousandsSeparator(".");
    d.setDecimalSeparator(",");
    d.setSymbolAfterNumber(true);
    d.setSortColumn("DATE");
    d.setSortIsDescending(false);
    d.setToolsHidden(true);

    auto finished = session(at(1, 9, 0), at(1, 11, 30), "Design \"review\"");
    finished->setDownTime(0.25);
    finished->setPaid(true);
    finished->setSupportingFile("/tmp/notes.txt");
    auto expense = PieceWork::initLineItem();
    expense->setStartTime(at(2, 8, 0));
    expense->setRate(42.5f);
    expense->setTaxable(true);
    expense->setWorkDescription("Taxi");
    auto paused = session(at(3, 9, 0), at(3, 10, 15), "Paused");
    paused->setIsPaused(true);
    auto running = session(at(5, 11, 0), QDateTime(), "Running");
    running->setSupportingFile(QStringLiteral("a & b <c> \"d\"\r\n\te 😀 ü"));
    d.setWorkList({finished, expense, paused, running});

    QVERIFY(d.saveDocumentAs(path("Acme.tickSheet")));
    d.setPhone("555-0199");
    _window.calls.clear();
}

MyDocument* TestDocumentFile::open(const QString& path)
{
    return qobject_cast<MyDocument*>(DocumentController::shared().openDocumentWithContentsOfFile(path, false));
}

void TestDocumentFile::newDocumentDictionary()
{
    const QVariantMap dictionary = _document->workDocumentDictionary();

    QCOMPARE(dictionary.value("Work"), QVariant(QVariantList()));
    QCOMPARE(dictionary.value("Version"), QVariant("1"));
    QCOMPARE(dictionary.value("SortIsDescending"), QVariant("YES"));
    QCOMPARE(dictionary.value("Taxable"), QVariant("NO"));
    QCOMPARE(dictionary.value("MoneyComesAfter"), QVariant("NO"));
    QCOMPARE(dictionary.value("Rate"), QVariant("125.000000"));
    QCOMPARE(dictionary.value("ClientName"), QVariant(""));
    QCOMPARE(dictionary.value("PrintInfo").typeId(), QMetaType::QByteArray);
    QVERIFY(!dictionary.contains("SortOn"));
    QVERIFY(!dictionary.contains("HideTools"));
    for (auto value = dictionary.cbegin(); value != dictionary.cend(); ++value) {
        if (value.key() != "Work" && value.key() != "PrintInfo")
            QVERIFY2(value->typeId() == QMetaType::QString, qPrintable(value.key()));
    }
}

void TestDocumentFile::roundTrip_data()
{
    QTest::addColumn<bool>("xml");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("writtenAsXml");
    QTest::newRow("XML") << true << "1 Main St\nTown" << true;
    QTest::newRow("ASCII") << false << "1 Main St\nTown" << false;
    // XML cannot hold most control characters: such a document is saved in the ASCII form.
    QTest::newRow("XML asked, a control character") << true << "1 Main St\x01Town" << false;
}

void TestDocumentFile::roundTrip()
{
    QFETCH(bool, xml);
    QFETCH(QString, address);
    QFETCH(bool, writtenAsXml);
    SettingsStore::shared().setValue(WriteXMLFormat, xml);
    makeFilledDocument();
    _document->setAddress(address);
    if (xml && !writtenAsXml)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot be written as XML"));
    QVERIFY(_document->saveDocument());
    QCOMPARE(contentsOf(path("Acme.tickSheet")).startsWith("<?xml"), writtenAsXml);

    MyDocument* loaded = open(path("Acme.tickSheet"));
    QVERIFY(loaded);
    COMPARE_DICTIONARIES(loaded->workDocumentDictionary(), _document->workDocumentDictionary());
    QCOMPARE(loaded->workDocumentDictionary().value("SortIsDescending"), QVariant("NO"));
    QVERIFY(!loaded->sortIsDescending());
    QVERIFY(loaded->toolsHidden());
    QCOMPARE(loaded->workList().size(), 4);
    for (const Entry& work : loaded->workList())
        QCOMPARE(work->owner(), loaded);
    // Saved in list order, which the decreasing date sort made newest first.
    QCOMPARE(loaded->workList().at(0)->workDescription(), QStringLiteral("Running"));
    QVERIFY(!loaded->workList().at(0)->endTime().isValid());
    QCOMPARE(loaded->workList().at(1)->workDescription(), QStringLiteral("Paused"));
    QVERIFY(loaded->workList().at(1)->isPaused());
    QVERIFY(!loaded->isDocumentEdited());
    QVERIFY(!loaded->undoManager()->canUndo());
}

void TestDocumentFile::asciiFormEscapesAccentedLetters()
{
    _document->setClientName("Zoë Müller");
    QVERIFY(_document->saveDocumentAs(path("Zoe.tickSheet")));

    const QByteArray bytes = contentsOf(path("Zoe.tickSheet"));
    QVERIFY(bytes.contains("\\U00eb"));
    QVERIFY(std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    MyDocument* loaded = open(path("Zoe.tickSheet"));
    QVERIFY(loaded);
    QCOMPARE(loaded->clientName(), QStringLiteral("Zoë Müller"));
}

void TestDocumentFile::missingKeysKeepTheNewDocumentsValues()
{
    QVERIFY(writeBytes(path("Short.tickSheet"), ascii({{"ClientName", "Short"}, {"HideTools", "NO"}})));

    MyDocument* loaded = open(path("Short.tickSheet"));
    QVERIFY(loaded);
    QCOMPARE(loaded->clientName(), QStringLiteral("Short"));
    QVERIFY(loaded->sortIsDescending());
    QVERIFY(!loaded->toolsHidden());
    QCOMPARE(loaded->rate(), 125.0f);
    QVERIFY(loaded->workList().isEmpty());
    QCOMPARE(loaded->pageLayout(), PageLayoutArchive::defaultLayout());
}

// Other writers put control characters into XML as they are; XML readers refuse them, the
// property-list reader does not.
void TestDocumentFile::xmlOnlyTheGeneralReaderTakesStillOpens()
{
    QVERIFY(writeBytes(path("Other.tickSheet"),
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                       "<key>ClientName</key><string>Bell\x07</string>\n"
                       "<key>Work</key><array><dict><key>Description</key><string>A</string></dict></array>\n"
                       "</dict>\n</plist>\n"));

    MyDocument* loaded = open(path("Other.tickSheet"));
    QVERIFY2(loaded, qPrintable(DocumentController::shared().lastError()));
    QCOMPARE(loaded->clientName(), QStringLiteral("Bell\x07"));
    QCOMPARE(loaded->workList().size(), 1);
}

void TestDocumentFile::sessionsWithoutRateTakeTheFilesRate()
{
    QVariantMap lineItem = workEntry("Taxi", "0.00");
    lineItem.insert("LineItem", "YES");
    lineItem.insert("RateSetAsZero", "YES");
    const QVariantMap file {{"Rate", "80.000000"},
                            {"Work", QVariantList {workEntry("No rate"), workEntry("Own rate", "95.00"), lineItem}}};
    QVERIFY(writeBytes(path("Rates.tickSheet"), ascii(file)));

    MyDocument* loaded = open(path("Rates.tickSheet"));
    QVERIFY(loaded);
    QCOMPARE(loaded->rate(), 80.0f);
    const WorkList work = loaded->workList();
    QCOMPARE(work.at(0)->rate(), 80.0f);
    QCOMPARE(work.at(1)->rate(), 95.0f);
    QCOMPARE(work.at(2)->rate(), 0.0f);
    // The rate is the entry's own now: a later change of the document's rate does not reach it.
    loaded->setRate(150);
    QCOMPARE(work.at(0)->rate(), 80.0f);
}

void TestDocumentFile::unreadableNumbersReadZero()
{
    QVariantMap entry = workEntry("Odd");
    entry.remove("EndTime");
    entry.insert("Time", "1e999");
    entry.insert("WorkRate", "1e300");
    const QVariantMap file {{"Rate", "eighty"}, {"TaxRate", "-5.5"}, {"ShareCost", "1e300"},
                            {"Equity", "nan"}, {"Work", QVariantList {entry}}};
    QVERIFY(writeBytes(path("Odd.tickSheet"), ascii(file)));

    MyDocument* loaded = open(path("Odd.tickSheet"));
    QVERIFY(loaded);
    QCOMPARE(loaded->rate(), 0.0f);
    QCOMPARE(loaded->taxRate(), -5.5f);
    QCOMPARE(loaded->shareCost(), 0.0f);
    QCOMPARE(loaded->equityPercent(), 0.0f);
    QCOMPARE(loaded->workList().at(0)->timeOnJob(), 0.0);
    QCOMPARE(loaded->workList().at(0)->rate(), 0.0f);
}

void TestDocumentFile::revertKeepsValuesTheFileLacks()
{
    _document->setClientName("Before");
    QVERIFY(_document->saveDocumentAs(path("Revert.tickSheet")));
    QVERIFY(writeBytes(path("Revert.tickSheet"),
                       ascii({{"Rate", "70.000000"}, {"MoneySymbol", "£"}, {"Work", QVariantList {workEntry("A")}}})));
    _document->setPhone("555");
    _window.calls.clear();

    QVERIFY(_document->revertDocumentToSaved());
    QCOMPARE(_document->clientName(), QStringLiteral("Before"));
    QCOMPARE(_document->phone(), QStringLiteral("555"));
    QCOMPARE(_document->rate(), 70.0f);
    QCOMPARE(_document->moneySymbol(), QStringLiteral("£"));
    QCOMPARE(_document->workList().size(), 1);
    QCOMPARE(_document->workList().at(0)->rate(), 70.0f);
    QVERIFY(!_document->undoManager()->canUndo());
    QVERIFY(!_document->isDocumentEdited());
    QCOMPARE(_window.calls, QStringList({"updateTotalsAndReload", "reloadInfo", "updateFormatters"}));
}

void TestDocumentFile::undoAfterSaveAndSaveAs()
{
    UndoManager* undo = _document->undoManager();
    _document->setClientName("One");
    QVERIFY(_document->saveDocumentAs(path("First.tickSheet")));
    QVERIFY(undo->canUndo());
    QVERIFY(!_document->isDocumentEdited());

    _document->setClientName("Two");
    QVERIFY(_document->saveDocumentTo(path("Copy.tickSheet")));
    QCOMPARE(undo->undoCount(), 2);
    QVERIFY(_document->isDocumentEdited());

    QVERIFY(_document->saveDocument());
    QVERIFY(!undo->canUndo());
    QVERIFY(!_document->isDocumentEdited());
    _document->setClientName("Three");
    undo->undo();
    QVERIFY(!_document->isDocumentEdited());
    QCOMPARE(_document->clientName(), QStringLiteral("Two"));
}

void TestDocumentFile::saveCommitsThePendingEditFirst()
{
    EditingWindow window;
    window.document = _document.get();
    window.pendingEmail = "typed@acme.test";
    _document->addWindowController(&window);

    QVERIFY(_document->saveDocumentAs(path("Pending.tickSheet")));
    QCOMPARE(window.calls.value(0), QStringLiteral("endEditing"));
    MyDocument* loaded = open(path("Pending.tickSheet"));
    QVERIFY(loaded);
    QCOMPARE(loaded->email(), QStringLiteral("typed@acme.test"));
    _document->removeWindowController(&window);
}

void TestDocumentFile::backupFile_data()
{
    QTest::addColumn<bool>("keep");
    QTest::newRow("KeepBackupFile on") << true;
    QTest::newRow("KeepBackupFile off") << false;
}

void TestDocumentFile::backupFile()
{
    QFETCH(bool, keep);
    SettingsStore::shared().setValue(KeepBackupFile, keep ? "YES" : "NO");
    _document->setClientName("First");
    QVERIFY(_document->saveDocumentAs(path("Name.tickSheet")));
    const QByteArray first = contentsOf(path("Name.tickSheet"));
    _document->setClientName("Second");
    QVERIFY(_document->saveDocument());

    QCOMPARE(QFile::exists(path("Name~.tickSheet")), keep);
    if (keep)
        QCOMPARE(contentsOf(path("Name~.tickSheet")), first);
    QVERIFY(contentsOf(path("Name.tickSheet")).contains("Second"));
}

void TestDocumentFile::failedSaveKeepsFileAndEditedState()
{
    makeFilledDocument();
    const QByteArray saved = contentsOf(path("Acme.tickSheet"));
    QVERIFY(QDir(_folder->path()).mkdir("Folder.tickSheet"));

    QVERIFY(!_document->saveDocumentAs(path("Folder.tickSheet")));
    QVERIFY(_document->errorString().contains("Folder.tickSheet"));
    QCOMPARE(contentsOf(path("Acme.tickSheet")), saved);
    QCOMPARE(_document->fileName(), path("Acme.tickSheet"));
    QVERIFY(_document->isDocumentEdited());
    QVERIFY(_document->undoManager()->canUndo());
    QVERIFY(QFileInfo(path("Folder.tickSheet")).isDir());
}

void TestDocumentFile::cloneHasSettingsButNoWork()
{
    SettingsStore::shared().setValue(WriteXMLFormat, true);
    RecordingWindow cloneWindow;
    DocumentController::shared().setShowHook([&cloneWindow](Document* shown) {
        if (auto* document = qobject_cast<MyDocument*>(shown))
            document->addWindowController(&cloneWindow);
    });
    makeFilledDocument();
    _document->setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(36, 36, 36, 36)));
    WorkList twelve;
    for (int i = 0; i < 12; ++i)
        twelve << session(at(4, 9, i), at(4, 10, i), QString::number(i));
    _document->setWorkList(twelve);

    MyDocument* clone = _document->cloneDocumentAction();
    QVERIFY(clone);
    QVERIFY(DocumentController::shared().documents().contains(clone));
    QVERIFY(clone->fileName().isEmpty());
    QVERIFY(clone->workList().isEmpty());
    QVariantMap expected = _document->workDocumentDictionary();
    expected.insert("Work", QVariantList());
    COMPARE_DICTIONARIES(clone->workDocumentDictionary(), expected);
    QCOMPARE(clone->clientName(), QStringLiteral("Acme Corp"));
    QCOMPARE(clone->rate(), 95.5f);
    QCOMPARE(clone->pageLayout().orientation(), QPageLayout::Landscape);
    QVERIFY(!clone->undoManager()->canUndo());
    QVERIFY(!clone->isDocumentEdited());
    QVERIFY(cloneWindow.calls.contains("reloadInfo"));
    QCOMPARE(_document->workList().size(), 12);
}

void TestDocumentFile::importAppendsCopiesInOneStep()
{
    const auto saveDocumentWith = [this](const QString& name, int count) {
        MyDocument other;
        other.setFileType(DocumentType);
        WorkList list;
        for (int i = 0; i < count; ++i)
            list << session(at(2, 9 + i, 0), at(2, 10 + i, 0), name + QString::number(i));
        other.setWorkList(list);
        return other.saveDocumentAs(path(name + ".tickSheet"));
    };
    QVERIFY(saveDocumentWith("Three", 3));
    QVERIFY(saveDocumentWith("Two", 2));
    MyDocument* alreadyOpen = open(path("Two.tickSheet"));
    QVERIFY(alreadyOpen);
    alreadyOpen->workList().at(0)->setWorkDescription("Edited in memory");
    WorkList four;
    for (int i = 0; i < 4; ++i)
        four << session(at(1, 9 + i, 0), at(1, 10 + i, 0), "Own" + QString::number(i));
    _document->setWorkList(four);
    QVERIFY(_document->saveDocumentAs(path("Own.tickSheet")));
    const int documentsBefore = static_cast<int>(DocumentController::shared().documents().size());
    const int stepsBefore = _document->undoManager()->undoCount();

    const int count = _document->importRecordsInFiles(
        {path("Three.tickSheet"), path("Own.tickSheet"), path("Missing.tickSheet"), path("Two.tickSheet")});

    QCOMPARE(count, 9);
    const WorkList combined = _document->workList();
    QCOMPARE(combined.size(), 9);
    QCOMPARE(combined.at(4)->workDescription(), QStringLiteral("Three0"));
    QCOMPARE(combined.at(7)->workDescription(), QStringLiteral("Edited in memory"));
    for (const Entry& work : combined)
        QCOMPARE(work->owner(), _document.get());
    QVERIFY(combined.at(7) != alreadyOpen->workList().at(0));
    QCOMPARE(alreadyOpen->workList().at(0)->owner(), alreadyOpen);
    QCOMPARE(DocumentController::shared().documents().size(), documentsBefore + 1);
    QCOMPARE(_document->undoManager()->undoCount(), stepsBefore + 1);

    _document->undoManager()->undo();
    QCOMPARE(_document->workList(), four);
}

void TestDocumentFile::pageSetupRoundTrip_data()
{
    QTest::addColumn<QPageLayout>("layout");
    QTest::newRow("Letter, landscape, millimetres")
        << QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(20, 10, 15, 25), QPageLayout::Millimeter);
    QTest::newRow("custom size in points")
        << QPageLayout(QPageSize(QSizeF(500, 700), QPageSize::Point), QPageLayout::Portrait, QMarginsF(12.5, 0, 30, 40));
    QTest::newRow("A5 in inches")
        << QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Portrait, QMarginsF(0.5, 0.75, 0.5, 1), QPageLayout::Inch);
}

void TestDocumentFile::pageSetupRoundTrip()
{
    QFETCH(QPageLayout, layout);
    SettingsStore::shared().setValue(WriteXMLFormat, true);
    _document->setPageLayout(layout);
    QVERIFY(_document->saveDocumentAs(path("Page.tickSheet")));

    MyDocument* loaded = open(path("Page.tickSheet"));
    QVERIFY(loaded);
    QCOMPARE(loaded->pageLayout(), layout);
}

void TestDocumentFile::unreadablePageSetupIsIgnored_data()
{
    QTest::addColumn<QByteArray>("printInfo");
    QVariantMap setup = PropertyList::read(PageLayoutArchive::encode(PageLayoutArchive::defaultLayout())).toMap();
    QVariantMap furlongs = setup;
    furlongs.insert("Units", "Furlong");
    QVariantMap wideMargins = setup;
    wideMargins.insert("LeftMargin", "400");
    wideMargins.insert("RightMargin", "400");
    QVariantMap noSize = setup;
    noSize.remove("PageSize");
    noSize.insert("Width", "-5");

    QTest::newRow("bytes of another kind") << QByteArray("\x04\x0bstreamtyped\x81\xe8\x03", 16);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("unknown units") << ascii(furlongs);
    QTest::newRow("margins wider than the page") << ascii(wideMargins);
    QTest::newRow("negative custom width") << ascii(noSize);
}

void TestDocumentFile::unreadablePageSetupIsIgnored()
{
    QFETCH(QByteArray, printInfo);
    QVERIFY(writeBytes(path("Page.tickSheet"), ascii({{"ClientName", "Paper"}, {"PrintInfo", printInfo}})));

    MyDocument* loaded = open(path("Page.tickSheet"));
    QVERIFY(loaded);
    QCOMPARE(loaded->clientName(), QStringLiteral("Paper"));
    QCOMPARE(loaded->pageLayout(), PageLayoutArchive::defaultLayout());
    QCOMPARE(loaded->pageLayout().pageSize().id(), QPageSize::A4); // C locale: metric
}

void TestDocumentFile::badFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("reason");
    const QVariantMap good {{"ClientName", "Good"}, {"Work", QVariantList {workEntry("A"), workEntry("B")}}};
    const QByteArray xml = PropertyList::writeXml(good);

    QTest::newRow("not a property list") << QByteArray("this is { not a list") << DocumentType << "not a property list";
    QTest::newRow("top level an array") << QByteArray("( ClientName, Work )") << DocumentType
                                        << "top level is not a dictionary";
    QTest::newRow("Work not an array") << ascii({{"Work", "none"}}) << DocumentType << "\"Work\" is not an array";
    QTest::newRow("an element of Work not a dictionary")
        << ascii({{"Work", QVariantList {workEntry("A"), "B"}}}) << DocumentType
        << "entry 2 of \"Work\" is not a dictionary";
    QTest::newRow("an entry's value not text")
        << ascii({{"Work", QVariantList {QVariantMap {{"Description", QVariantList {"A"}}}}}}) << DocumentType
        << "entry 1 of \"Work\" has a value under \"Description\" that is not text";
    QTest::newRow("an array where text is expected")
        << ascii({{"ClientName", QVariantList {"A"}}, {"Work", QVariantList {workEntry("A")}}}) << DocumentType
        << "\"ClientName\" is not text";
    QTest::newRow("text where data is expected") << ascii({{"PrintInfo", "Letter"}}) << DocumentType
                                                 << "\"PrintInfo\" is not data";
    QTest::newRow("an XML number where text is expected")
        << PropertyList::writeXml(QVariantMap {{"Rate", 80.0}}) << DocumentType << "\"Rate\" is not text";
    QTest::newRow("truncated XML") << xml.left(xml.size() / 2) << DocumentType << "not a property list";
    QTest::newRow("invalid UTF-8") << QByteArray("{ ClientName = \"Zo\xeb\"; }") << DocumentType << "UTF-8";
    QTest::newRow("another type name") << xml << QStringLiteral("Plain Text") << "\"Plain Text\"";
}

// A file that does not load opens no document, and reverting to it leaves the open one alone.
void TestDocumentFile::badFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, type);
    QFETCH(QString, reason);
    makeFilledDocument();
    const QVariantMap before = _document->workDocumentDictionary();
    const WorkList entriesBefore = _document->workList();
    const int stepsBefore = _document->undoManager()->undoCount();
    QVERIFY(writeBytes(path("Bad.tickSheet"), bytes));

    QString message;
    if (type == DocumentType) {
        QVERIFY(!open(path("Bad.tickSheet")));
        message = DocumentController::shared().lastError();
        QVERIFY(DocumentController::shared().documentForFileName(path("Bad.tickSheet")) == nullptr);
    } else {
        MyDocument fresh;
        QVERIFY(!fresh.readFromFile(path("Bad.tickSheet"), type));
        message = fresh.errorString();
    }
    QVERIFY2(message.contains("Bad.tickSheet") && message.contains(reason), qPrintable(message));

    QVERIFY(!_document->revertToSavedFromFile(path("Bad.tickSheet"), type));
    QVERIFY2(_document->errorString().contains(reason), qPrintable(_document->errorString()));
    COMPARE_DICTIONARIES(_document->workDocumentDictionary(), before);
    QCOMPARE(_document->workList(), entriesBefore);
    QCOMPARE(_document->undoManager()->undoCount(), stepsBefore);
    QVERIFY(_document->isDocumentEdited());
    QCOMPARE(_document->fileName(), path("Acme.tickSheet"));
    QVERIFY(_window.calls.isEmpty());
}

void TestDocumentFile::archiveDatesAgreeWithTheCalendarFormat_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDate>("from");
    QTest::newRow("New York, spring and autumn 2004") << QByteArray("America/New_York") << QDate(2004, 3, 1);
    QTest::newRow("London, 1968: before 1970, into year-round summer time") << QByteArray("Europe/London") << QDate(1968, 1, 1);
    QTest::newRow("Lord Howe, half-hour summer time") << QByteArray("Australia/Lord_Howe") << QDate(2020, 3, 20);
    QTest::newRow("UTC") << QByteArray("UTC") << QDate(2038, 1, 1);
}

// The file's date text is read and written by a fast path that remembers local offsets; it must
// give what the calendar format gives, around changes of offset and after a change of zone.
void TestDocumentFile::archiveDatesAgreeWithTheCalendarFormat()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDate, from);
    const QByteArray previous = qgetenv("TZ");
    qputenv("TZ", zone);
    tzset();
    const auto restore = qScopeGuard([&previous] {
        qputenv("TZ", previous);
        tzset();
    });
    const QString pattern = QStringLiteral("%A, %d %B %Y, %I:%M %p");
    const qint64 start = QDateTime(from, QTime(0, 0)).toSecsSinceEpoch();
    // Every 37 minutes for 300 days: each hour of the day, and every change of offset within.
    for (qint64 seconds = start; seconds < start + 300 * 86400; seconds += 37 * 60) {
        const QDateTime local = QDateTime::fromSecsSinceEpoch(seconds);
        const QString text = CalendarFormat::format(local, pattern, CalendarFormat::Names::English);
        QCOMPARE(PieceWork::archiveDateString(local), text);
        const QDateTime expected = CalendarFormat::parse(text, pattern, CalendarFormat::Names::English);
        const QDateTime parsed = PieceWork::dateFromString(text);
        QCOMPARE(parsed.isValid(), expected.isValid());
        if (expected.isValid())
            QCOMPARE(parsed.toSecsSinceEpoch(), expected.toSecsSinceEpoch());
    }
    // Wall-clock times that fall in a gap read as nothing, as the calendar format has them.
    if (zone == "America/New_York")
        QVERIFY(!PieceWork::dateFromString("Sunday, 04 April 2004, 02:30 AM").isValid());
}

void TestDocumentFile::fileWriter_data()
{
    QTest::addColumn<Writer>("write");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("data") << Writer([](const QString& path) { return FileWriter::writeToFile(QByteArray("\x00\x01", 2), path); })
                          << QByteArray("\x00\x01", 2);
    QTest::newRow("text in UTF-8") << Writer([](const QString& path) { return FileWriter::writeToFile(QStringLiteral("Zoë"), path); })
                                   << QByteArray("Zo\xc3\xab");
    const QVariantMap dictionary {{"Key", "Value"}};
    QTest::newRow("dictionary as XML") << Writer([dictionary](const QString& path) { return FileWriter::writeToFile(dictionary, path); })
                                       << PropertyList::writeXml(dictionary);
}

void TestDocumentFile::fileWriter()
{
    QFETCH(Writer, write);
    QFETCH(QByteArray, expected);
    QObject context;
    QStringList notices;
    NotificationCenter::shared().addObserver(FileSystemChangedNotification, &context,
                                             [&notices](const QVariant& object) { notices << object.toString(); });
    QVERIFY(writeBytes(path("out"), "old contents"));

    QVERIFY(write(path("out")));
    QCOMPARE(contentsOf(path("out")), expected);
    QCOMPARE(notices, QStringList {path("out")});
}

void TestDocumentFile::fileWriterFailureSendsNoNotice()
{
    QObject context;
    int notices = 0;
    NotificationCenter::shared().addObserver(FileSystemChangedNotification, &context, [&notices](const QVariant&) { ++notices; });
    QVERIFY(QDir(_folder->path()).mkdir("folder"));

    QVERIFY(!FileWriter::writeToFile(QStringLiteral("text"), path("folder")));
    QVERIFY(!FileWriter::writeToFile(QStringLiteral("text"), path("missing/out.txt")));
    QVERIFY(!FileWriter::writeToFile(QVariantMap {{"Key", QVariant()}}, path("out.plist")));
    QCOMPARE(notices, 0);
    QVERIFY(QFileInfo(path("folder")).isDir());
    QVERIFY(!QFile::exists(path("out.plist")));
}

QTEST_GUILESS_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
