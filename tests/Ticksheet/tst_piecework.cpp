#include "Clock.h"
#include "Constants.h"
#include "MyDocument.h"
#include "PieceWork.h"
#include "RecordingWindow.h"
#include "SettingsStore.h"
#include "TestSettings.h"
#include "UndoManager.h"

#include <QtTest>

#include <functional>
#include <optional>

using Edit = std::function<void(PieceWork&)>;
Q_DECLARE_METATYPE(Edit)

namespace {

QDateTime at(int hour, int minute, int second = 0, QDate date = QDate(2004, 3, 5))
{
    return QDateTime(date, QTime(hour, minute, second));
}

// Every stored field, so one comparison shows whether an undo restored all of them.
QString snapshot(const PieceWork& work)
{
    return QStringList {
        work.startTime().toString(Qt::ISODate), work.endTime().toString(Qt::ISODate),
        work.workDescription(), QString::number(work.timeOnJob(), 'g', 17),
        QString::number(work.downTime(), 'g', 17), work.supportingFile(),
        QString::number(work.rate(), 'g', 9), QString::number(work.rateSetAsZero()),
        QString::number(work.paid()), QString::number(work.isLineItem()),
        QString::number(work.isPaused()), QString::number(work.taxable())}
        .join(QLatin1Char('|'));
}

// A finished session 09:00-10:00 at 50 an hour.
std::shared_ptr<PieceWork> finishedSession()
{
    auto work = PieceWork::init();
    work->setStartTime(at(9, 0));
    work->setEndTime(at(10, 0));
    work->setRate(50);
    work->setWorkDescription(QStringLiteral("design"));
    return work;
}

} // namespace

class TestPieceWork : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newEntries();
    void roundingToTheMinute_data();
    void roundingToTheMinute();
    void timeOnJobFromTheTimes_data();
    void timeOnJobFromTheTimes();
    void setTimeOnJobRoundsToHundredths_data();
    void setTimeOnJobRoundsToHundredths();
    void pauseResumeAndEnd();
    void pauseAppliesOnlyToRunningSessions();
    void setHoursOnJob_data();
    void setHoursOnJob();
    void rateIsFixedAtTheFirstRead();
    void lineItemsNeverTakeTheOwnersRate();
    void setterUndoAndRedo_data();
    void setterUndoAndRedo();
    void equalValuesRecordNothing_data();
    void equalValuesRecordNothing();
    void withoutOwnerNothingIsRecorded();
    void copyKeepsEveryFieldButTheOwner();
    void sortOrder_data();
    void sortOrder();
    void unsupportedKeyComparesEqual();
    void dictionaryRoundTrip();
    void timeOnJobFromTheFile_data();
    void timeOnJobFromTheFile();
    void numbersInTheFile_data();
    void numbersInTheFile();
    void flagsAndDatesInTheFile();
    void archiveDateText_data();
    void archiveDateText();
    void dateAndTimeTexts_data();
    void dateAndTimeTexts();
    void numberTexts_data();
    void numberTexts();
    void occursAfter_data();
    void occursAfter();

private:
    std::optional<TestSettings> _settings;
    std::unique_ptr<MyDocument> _document;
    RecordingWindow _window;
};

void TestPieceWork::init()
{
    _settings.emplace();
    Clock::setNow(at(12, 0));
    _document = std::make_unique<MyDocument>();
    _window.calls.clear();
    _document->addWindowController(&_window);
}

void TestPieceWork::cleanup()
{
    _document.reset();
    Clock::reset();
    _settings.reset();
}

void TestPieceWork::newEntries()
{
    Clock::setNow(at(9, 0, 45));
    const auto session = PieceWork::init();
    QCOMPARE(session->startTime(), at(9, 0));
    QVERIFY(!session->endTime().isValid());
    QVERIFY(session->canBePaused());
    session->setRate(80);
    QCOMPARE(session->amount(), 0.0f);
    QCOMPARE(session->amountString(), QString(""));

    const auto item = PieceWork::initLineItem();
    QCOMPARE(item->startTime(), at(9, 0));
    QVERIFY(item->isLineItem());
    QVERIFY(item->rateSetAsZero());
    QCOMPARE(item->rate(), 0.0f);
    QVERIFY(!item->canBePaused());
}

void TestPieceWork::roundingToTheMinute_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<bool>("roundUp");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("down drops the seconds") << at(9, 0, 45) << false << at(9, 0);
    QTest::newRow("up goes to the next minute") << at(9, 0, 1) << true << at(9, 1);
    QTest::newRow("up across the hour") << at(9, 59, 30) << true << at(10, 0);
    QTest::newRow("whole minute unchanged") << at(9, 0) << true << at(9, 0);
}

void TestPieceWork::roundingToTheMinute()
{
    QFETCH(QDateTime, time);
    QFETCH(bool, roundUp);
    QFETCH(QDateTime, expected);
    QCOMPARE(PieceWork::dateToNearestMinute(time, roundUp), expected);
    Clock::setNow(time);
    QCOMPARE(PieceWork::nowToNearestMinute(roundUp), expected);
}

void TestPieceWork::timeOnJobFromTheTimes_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<double>("expected");
    QTest::newRow("one minute") << 60 << 0.02;
    QTest::newRow("ninety minutes") << 5400 << 1.5;
    QTest::newRow("half a hundredth goes to even (down)") << 18 << 0.0;
    QTest::newRow("one and a half hundredths go to even (up)") << 54 << 0.02;
    QTest::newRow("end before start") << -5400 << -1.5;
}

void TestPieceWork::timeOnJobFromTheTimes()
{
    QFETCH(int, seconds);
    QFETCH(double, expected);
    auto work = PieceWork::init();
    work->setStartTime(at(9, 0));
    work->setEndTime(at(9, 0).addSecs(seconds));
    QCOMPARE(work->timeOnJob(), expected);
    // Moving the start keeps the time in step with both ends.
    work->setStartTime(at(8, 0));
    QCOMPARE(work->timeOnJob(), std::rint((3600.0 + seconds) / 36) / 100);
}

void TestPieceWork::setTimeOnJobRoundsToHundredths_data()
{
    QTest::addColumn<double>("hours");
    QTest::addColumn<double>("expected");
    QTest::newRow("half goes to even (down)") << 0.125 << 0.12;
    QTest::newRow("half goes to even (up)") << 0.375 << 0.38;
    QTest::newRow("above half") << 1.006 << 1.01;
}

void TestPieceWork::setTimeOnJobRoundsToHundredths()
{
    QFETCH(double, hours);
    QFETCH(double, expected);
    const auto work = finishedSession();
    work->setTimeOnJob(hours);
    QCOMPARE(work->timeOnJob(), expected);
    QCOMPARE(work->endTime(), at(10, 0));
}

void TestPieceWork::pauseResumeAndEnd()
{
    _document->setClientName(QStringLiteral("Acme"));
    Clock::setNow(at(9, 0));
    auto work = PieceWork::init();
    work->setOwner(_document.get());
    work->setRate(125);
    UndoManager* undo = _document->undoManager();
    const int steps = undo->undoCount();

    Clock::setNow(at(10, 0, 30));
    work->pause();
    QVERIFY(work->isPaused());
    QCOMPARE(work->endTime(), at(10, 0, 30));
    QCOMPARE(work->timeOnJob(), 1.01);

    Clock::setNow(at(10, 30, 30));
    work->resume();
    QVERIFY(!work->isPaused());
    QVERIFY(!work->endTime().isValid());
    QCOMPARE(work->downTime(), 0.5);
    // Neither pausing nor resuming is an undoable edit, nor does it rename the last one.
    QCOMPARE(undo->undoCount(), steps);
    QCOMPARE(undo->undoActionName(), QStringLiteral("Rate Change"));

    work->setEndTime(at(12, 0));
    QCOMPARE(work->timeOnJob(), 3.0);
    QCOMPARE(work->actualTimeOnJob(), 2.5);
    QCOMPARE(work->amount(), 312.5f);
    QCOMPARE(work->timeOnJobString(), QStringLiteral("2.50"));
    QCOMPARE(work->amountString(), QStringLiteral("312.50"));
    QCOMPARE(undo->undoActionName(), QStringLiteral("End Time Change"));
}

void TestPieceWork::pauseAppliesOnlyToRunningSessions()
{
    const auto finished = finishedSession();
    finished->pause();
    QVERIFY(!finished->isPaused());
    QCOMPARE(finished->endTime(), at(10, 0));
    // Resuming a session that is not paused must not eat its end time.
    finished->resume();
    QCOMPARE(finished->endTime(), at(10, 0));
    QCOMPARE(finished->downTime(), 0.0);

    const auto item = PieceWork::initLineItem();
    item->pause();
    QVERIFY(!item->isPaused());
    QVERIFY(!item->endTime().isValid());
}

void TestPieceWork::setHoursOnJob_data()
{
    QTest::addColumn<double>("hours");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<double>("timeOnJob");
    QTest::newRow("1.26: 36 seconds raise the minute") << 1.26 << 76 << 1.27;
    QTest::newRow("0.999: 56.4 seconds make a full hour") << 0.999 << 60 << 1.0;
    QTest::newRow("1.25 exactly") << 1.25 << 75 << 1.25;
    QTest::newRow("30 seconds do not raise") << 1 + 30.5 / 60 << 90 << 1.5;
    QTest::newRow("31 seconds raise") << 1 + 31.0 / 3600 << 61 << 1.02;
    QTest::newRow("zero") << 0.0 << 0 << 0.0;
}

void TestPieceWork::setHoursOnJob()
{
    QFETCH(double, hours);
    QFETCH(int, minutes);
    QFETCH(double, timeOnJob);
    Clock::setNow(at(9, 0));
    auto work = PieceWork::init();
    work->setOwner(_document.get());
    Clock::setNow(at(9, 30));
    work->pause();
    Clock::setNow(at(9, 45));
    work->resume();
    work->pause();

    work->setHoursOnJob(hours);
    QCOMPARE(work->endTime(), at(9, 0).addSecs(minutes * 60));
    QCOMPARE(work->timeOnJob(), timeOnJob);
    QCOMPARE(work->downTime(), 0.0);
    QVERIFY(!work->isPaused());
    QCOMPARE(_document->undoManager()->undoCount(), 1);
    QCOMPARE(_document->undoManager()->undoActionName(), QStringLiteral("End Time Change"));
}

void TestPieceWork::rateIsFixedAtTheFirstRead()
{
    _document->setRate(0);
    auto work = PieceWork::init();
    work->setOwner(_document.get());
    _document->setRate(125);
    QCOMPARE(work->rate(), 125.0f);
    _document->setRate(150);
    QCOMPARE(work->rate(), 125.0f);

    // A rate of its own, or an explicit zero, is never replaced.
    auto ownRate = PieceWork::init();
    ownRate->setRate(90);
    ownRate->setOwner(_document.get());
    QCOMPARE(ownRate->rate(), 90.0f);
    auto explicitZero = PieceWork::init();
    explicitZero->setRateSetAsZero(true);
    explicitZero->setOwner(_document.get());
    QCOMPARE(explicitZero->rate(), 0.0f);
}

void TestPieceWork::lineItemsNeverTakeTheOwnersRate()
{
    _document->setRate(125);
    // Even one whose file lost the explicit-zero flag.
    const auto item = PieceWork::workWithPropertyListRepresentation({{"LineItem", "YES"}});
    QVERIFY(!item->rateSetAsZero());
    item->setOwner(_document.get());
    QCOMPARE(item->rate(), 0.0f);
    QCOMPARE(item->timeOnJobString(), QStringLiteral("Exp."));
}

void TestPieceWork::setterUndoAndRedo_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("actionName");
    QTest::addColumn<int>("refreshes");
    QTest::newRow("setStartTime") << Edit([](PieceWork& w) { w.setStartTime(at(8, 30)); }) << "Start Time Change" << 1;
    QTest::newRow("setEndTime") << Edit([](PieceWork& w) { w.setEndTime(at(11, 0)); }) << "End Time Change" << 1;
    QTest::newRow("setTimeOnJob") << Edit([](PieceWork& w) { w.setTimeOnJob(2.5); }) << "Session Time Change" << 1;
    QTest::newRow("setDownTime") << Edit([](PieceWork& w) { w.setDownTime(0.25); }) << "Down Time Change" << 0;
    QTest::newRow("setRate") << Edit([](PieceWork& w) { w.setRate(75); }) << "Rate Change" << 1;
    QTest::newRow("setRate and description")
        << Edit([](PieceWork& w) { w.setRate(75, QStringLiteral("review")); }) << "Description Change" << 1;
    QTest::newRow("setWorkDescription")
        << Edit([](PieceWork& w) { w.setWorkDescription(QStringLiteral("review")); }) << "Description Change" << 1;
    QTest::newRow("setSupportingFile")
        << Edit([](PieceWork& w) { w.setSupportingFile(QStringLiteral("/tmp/a.pdf")); }) << "Supporting File" << 1;
    QTest::newRow("setPaid") << Edit([](PieceWork& w) { w.setPaid(true); }) << "Paid Change" << 1;
    QTest::newRow("setTaxable") << Edit([](PieceWork& w) { w.setTaxable(true); }) << "Is Taxable Change" << 0;
    QTest::newRow("setIsLineItem") << Edit([](PieceWork& w) { w.setIsLineItem(true); }) << "Line Item" << 1;
    QTest::newRow("setHoursOnJob") << Edit([](PieceWork& w) { w.setHoursOnJob(2); }) << "End Time Change" << 1;
}

void TestPieceWork::setterUndoAndRedo()
{
    QFETCH(Edit, edit);
    QFETCH(QString, actionName);
    QFETCH(int, refreshes);
    std::shared_ptr<PieceWork> work = finishedSession();
    work->setOwner(_document.get());
    UndoManager* undo = _document->undoManager();
    const QString before = snapshot(*work);

    edit(*work);
    const QString after = snapshot(*work);
    QVERIFY(after != before);
    QCOMPARE(undo->undoCount(), 1);
    QCOMPARE(undo->undoActionName(), actionName);
    QCOMPARE(_window.calls.size(), refreshes);
    QCOMPARE(_window.count(QStringLiteral("updateTotalsAndReload")), refreshes);

    // The step keeps the entry alive on its own.
    std::weak_ptr<PieceWork> weak = work;
    work.reset();
    QVERIFY(!weak.expired());

    undo->undo();
    QCOMPARE(snapshot(*weak.lock()), before);
    QCOMPARE(undo->redoActionName(), actionName);
    undo->redo();
    QCOMPARE(snapshot(*weak.lock()), after);
    QCOMPARE(undo->undoActionName(), actionName);
    QCOMPARE(undo->undoCount(), 1);
}

void TestPieceWork::equalValuesRecordNothing_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<int>("steps");
    QTest::newRow("same start") << Edit([](PieceWork& w) { w.setStartTime(at(9, 0)); }) << 0;
    QTest::newRow("same end") << Edit([](PieceWork& w) { w.setEndTime(at(10, 0)); }) << 0;
    QTest::newRow("same time on job") << Edit([](PieceWork& w) { w.setTimeOnJob(1.0); }) << 0;
    QTest::newRow("same down time") << Edit([](PieceWork& w) { w.setDownTime(0); }) << 0;
    QTest::newRow("same rate") << Edit([](PieceWork& w) { w.setRate(50); }) << 0;
    QTest::newRow("same rate and description")
        << Edit([](PieceWork& w) { w.setRate(50, QStringLiteral("design")); }) << 0;
    QTest::newRow("same rate, new description")
        << Edit([](PieceWork& w) { w.setRate(50, QStringLiteral("review")); }) << 1;
    QTest::newRow("same description") << Edit([](PieceWork& w) { w.setWorkDescription(QStringLiteral("design")); }) << 0;
    QTest::newRow("same supporting file") << Edit([](PieceWork& w) { w.setSupportingFile(QString()); }) << 0;
    QTest::newRow("same paid") << Edit([](PieceWork& w) { w.setPaid(false); }) << 0;
    QTest::newRow("same taxable") << Edit([](PieceWork& w) { w.setTaxable(false); }) << 0;
    QTest::newRow("same line item") << Edit([](PieceWork& w) { w.setIsLineItem(false); }) << 0;
    QTest::newRow("paused and zero flag are plain") << Edit([](PieceWork& w) {
        w.setIsPaused(true);
        w.setRateSetAsZero(true);
    }) << 0;
    QTest::newRow("an explicit zero over a stored zero still counts") << Edit([](PieceWork& w) {
        w.setRateSetAsZero(true);
        w.setRate(0);
        w.setRate(0);
    }) << 2;
}


void TestPieceWork::equalValuesRecordNothing()
{
    QFETCH(Edit, edit);
    QFETCH(int, steps);
    const auto work = finishedSession();
    work->setOwner(_document.get());
    edit(*work);
    QCOMPARE(_document->undoManager()->undoCount(), steps);
}

void TestPieceWork::withoutOwnerNothingIsRecorded()
{
    const auto loose = finishedSession();
    loose->setPaid(true);
    QVERIFY(loose->paid());

    // An owner that went away leaves the entry working on its own.
    auto gone = std::make_unique<MyDocument>();
    const auto orphan = PieceWork::init();
    orphan->setOwner(gone.get());
    gone.reset();
    orphan->setRate(60);
    orphan->pause();
    QVERIFY(orphan->isPaused());
    QCOMPARE(orphan->owner(), nullptr);
    QCOMPARE(orphan->rate(), 60.0f);
    QVERIFY(_window.calls.isEmpty());
}

void TestPieceWork::copyKeepsEveryFieldButTheOwner()
{
    Clock::setNow(at(9, 0));
    const auto running = PieceWork::init();
    running->setOwner(_document.get());
    running->setRate(42.5, QStringLiteral("copy me"));
    running->setSupportingFile(QStringLiteral("/tmp/x"));
    running->setTimeOnJob(0.75);
    running->setDownTime(0.25);
    running->setPaid(true);
    running->setTaxable(true);
    const int steps = _document->undoManager()->undoCount();

    const auto copy = running->copy();
    QCOMPARE(snapshot(*copy), snapshot(*running));
    QVERIFY(!copy->endTime().isValid());
    QCOMPARE(copy->owner(), nullptr);
    QCOMPARE(_document->undoManager()->undoCount(), steps);
    copy->setWorkDescription(QStringLiteral("changed"));
    QCOMPARE(running->workDescription(), QStringLiteral("copy me"));
}

namespace {

// Four entries in an order that no key keeps by chance: c, x, a, b.
WorkList sortFixture(QHash<const PieceWork*, QString>& names)
{
    auto a = PieceWork::init();
    a->setStartTime(at(9, 0));
    a->setEndTime(at(10, 0));
    a->setWorkDescription(QStringLiteral("apple"));
    a->setSupportingFile(QStringLiteral("B.txt"));
    a->setRate(100);

    auto b = PieceWork::init();
    b->setStartTime(at(8, 0));
    b->setEndTime(at(11, 0));
    b->setWorkDescription(QStringLiteral("Banana"));
    b->setPaid(true);
    b->setRate(50);

    auto c = PieceWork::init(); // running, takes the document's rate
    c->setStartTime(at(10, 0));
    c->setSupportingFile(QStringLiteral("a.txt"));

    auto x = PieceWork::initLineItem();
    x->setStartTime(at(7, 0));
    x->setWorkDescription(QStringLiteral("cherry"));
    x->setSupportingFile(QStringLiteral("c.pdf"));
    x->setPaid(true);
    x->setRate(20);

    names = {{a.get(), "a"}, {b.get(), "b"}, {c.get(), "c"}, {x.get(), "x"}};
    return {c, x, a, b};
}

} // namespace

void TestPieceWork::sortOrder_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("increasing");
    QTest::addColumn<QString>("order");
    const struct {
        const char* key;
        const char* increasing;
        const char* decreasing;
    } rows[] = {
        {"TIME", "xcab", "bacx"},        // line items first, then hours
        {"STARTTIME", "xbac", "cabx"},
        {"DATE", "xbac", "cabx"},
        {"STOPTIME", "abcx", "cxba"},    // no end after all ends; equal ones keep their order
        {"DESCRIPTION", "abxc", "cxba"}, // case-insensitive, empty last
        {"LINK", "caxb", "bxac"},        // case-insensitive, empty last
        {"PAID", "caxb", "xbca"},        // unpaid first
        {"RATE", "xbac", "cabx"},        // line items first; c takes the document's 125
        {"AMOUNT", "cxab", "baxc"},      // a running session is worth 0
        {"BOGUS", "cxab", "cxab"},       // no order at all
    };
    for (const auto& row : rows) {
        QTest::addRow("%s increasing", row.key) << row.key << true << row.increasing;
        QTest::addRow("%s decreasing", row.key) << row.key << false << row.decreasing;
    }
}

void TestPieceWork::sortOrder()
{
    QFETCH(QString, key);
    QFETCH(bool, increasing);
    QFETCH(QString, order);
    QHash<const PieceWork*, QString> names;
    _document->setRate(0);
    _document->setWorkList(sortFixture(names));
    _document->setRate(125);
    _document->setSortColumn(key);
    _document->setSortIsDescending(increasing);
    _window.calls.clear();
    if (!PieceWork::isSupportedSortKey(key))
        QTest::ignoreMessage(QtWarningMsg, "unsupported sort key:BOGUS");

    _document->sort();
    QString sorted;
    for (const auto& work : _document->workList())
        sorted += names.value(work.get());
    QCOMPARE(sorted, order);
    QCOMPARE(_window.calls, QStringList {"updateTotalsAndReload"});
}

void TestPieceWork::unsupportedKeyComparesEqual()
{
    const auto early = finishedSession();
    const auto late = finishedSession();
    late->setStartTime(at(11, 0));
    QCOMPARE(early->compare(*late), 0); // no owner, no key
    early->setOwner(_document.get());
    _document->setSortColumn(QStringLiteral("BOGUS"));
    QTest::ignoreMessage(QtWarningMsg, "unsupported sort key:BOGUS");
    QCOMPARE(early->compare(*late), 0);
    _document->setSortColumn(QStringLiteral("DATE"));
    QCOMPARE(early->compare(*late), -1);
    QCOMPARE(early->compare(*early), 0);
}

void TestPieceWork::dictionaryRoundTrip()
{
    auto work = PieceWork::init();
    work->setStartTime(at(14, 7));
    work->setEndTime(at(16, 37));
    work->setDownTime(0.25);
    work->setRate(80.5, QStringLiteral("Design, \"v2\""));
    work->setSupportingFile(QStringLiteral("/home/me/logo.png"));
    work->setPaid(true);
    work->setTaxable(true);
    const QVariantMap expected {
        {"Description", "Design, \"v2\""},
        {"Paid", "YES"},
        {"Taxable", "YES"},
        {"Support", "/home/me/logo.png"},
        {"StartTime", "Friday, 05 March 2004, 02:07 PM"},
        {"EndTime", "Friday, 05 March 2004, 04:37 PM"},
        {"Time", "2.500000"},
        {"DownTime", "0.250000"},
        {"WorkRate", "80.50"},
    };
    QCOMPARE(work->propertyListRepresentation(), expected);
    QCOMPARE(snapshot(*PieceWork::workWithPropertyListRepresentation(expected)), snapshot(*work));

    const auto item = PieceWork::initLineItem();
    item->setStartTime(at(9, 0));
    const QVariantMap itemMap = item->propertyListRepresentation();
    QCOMPARE(itemMap,
             (QVariantMap {{"Description", ""}, {"LineItem", "YES"}, {"RateSetAsZero", "YES"},
                           {"StartTime", "Friday, 05 March 2004, 09:00 AM"}, {"WorkRate", "0.00"}}));
    QCOMPARE(snapshot(*PieceWork::workWithPropertyListRepresentation(itemMap)), snapshot(*item));

    Clock::setNow(at(9, 0));
    const auto paused = PieceWork::init();
    Clock::setNow(at(10, 0));
    paused->pause();
    const QVariantMap pausedMap = paused->propertyListRepresentation();
    QCOMPARE(pausedMap.value("Paused"), QVariant("YES"));
    QCOMPARE(snapshot(*PieceWork::workWithPropertyListRepresentation(pausedMap)), snapshot(*paused));
}

void TestPieceWork::timeOnJobFromTheFile_data()
{
    QTest::addColumn<QVariantMap>("dictionary");
    QTest::addColumn<double>("timeOnJob");
    const QString start = QStringLiteral("Friday, 05 March 2004, 09:00 AM");
    const QString end = QStringLiteral("Friday, 05 March 2004, 10:00 AM");
    QTest::newRow("both times win over Time")
        << QVariantMap {{"StartTime", start}, {"EndTime", end}, {"Time", "9.000000"}} << 1.0;
    QTest::newRow("running session keeps Time") << QVariantMap {{"StartTime", start}, {"Time", "9.000000"}} << 9.0;
    QTest::newRow("Time is read in single precision")
        << QVariantMap {{"StartTime", start}, {"Time", "1.1"}} << static_cast<double>(1.1f);
}

void TestPieceWork::timeOnJobFromTheFile()
{
    QFETCH(QVariantMap, dictionary);
    QFETCH(double, timeOnJob);
    QCOMPARE(PieceWork::workWithPropertyListRepresentation(dictionary)->timeOnJob(), timeOnJob);
}

void TestPieceWork::numbersInTheFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("rate");
    QTest::newRow("decimal") << "12.5" << 12.5f;
    QTest::newRow("minus") << "-3" << -3.0f;
    QTest::newRow("plus") << "+2.25" << 2.25f;
    QTest::newRow("leading number of a text") << "  7.5xyz" << 7.5f;
    QTest::newRow("comma is not a decimal point") << "3,5" << 3.0f;
    QTest::newRow("not a number") << "abc" << 0.0f;
    QTest::newRow("empty") << "" << 0.0f;
    QTest::newRow("nan") << "nan" << 0.0f;
    QTest::newRow("inf") << "-inf" << 0.0f;
    QTest::newRow("beyond a float") << "1e39" << 0.0f;
    QTest::newRow("beyond a double") << "1e999" << 0.0f;
}

void TestPieceWork::numbersInTheFile()
{
    QFETCH(QString, text);
    QFETCH(float, rate);
    const auto work = PieceWork::workWithPropertyListRepresentation({{"WorkRate", text}, {"DownTime", text}});
    QCOMPARE(work->rate(), rate);
    QCOMPARE(work->downTime(), static_cast<double>(rate));
}

void TestPieceWork::flagsAndDatesInTheFile()
{
    for (const char* notYes : {"yes", "1", "NO", "true"})
        QVERIFY(!PieceWork::workWithPropertyListRepresentation({{"Paid", notYes}})->paid());
    QVERIFY(PieceWork::workWithPropertyListRepresentation({{"Paid", "YES"}})->paid());

    Clock::setNow(at(12, 0, 40));
    const auto empty = PieceWork::workWithPropertyListRepresentation({});
    QCOMPARE(empty->startTime(), at(12, 0));
    QCOMPARE(snapshot(*empty), snapshot(*PieceWork::init()));

    // Dates that do not read are left out; the entry keeps what it had.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("\"yesterday\" under StartTime"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("\"soon\" under EndTime"));
    const auto unreadable = PieceWork::workWithPropertyListRepresentation(
        {{"StartTime", "yesterday"}, {"EndTime", "soon"}, {"Time", "2.000000"}});
    QCOMPARE(unreadable->startTime(), at(12, 0));
    QVERIFY(!unreadable->endTime().isValid());
    QCOMPARE(unreadable->timeOnJob(), 2.0);
}

void TestPieceWork::archiveDateText_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("afternoon, seconds dropped") << at(14, 7, 30) << "Friday, 05 March 2004, 02:07 PM";
    QTest::newRow("just after midnight") << at(0, 30) << "Friday, 05 March 2004, 12:30 AM";
    QTest::newRow("just after noon") << at(12, 15) << "Friday, 05 March 2004, 12:15 PM";
    QTest::newRow("another day") << at(9, 5, 0, QDate(2004, 11, 7)) << "Sunday, 07 November 2004, 09:05 AM";
}

void TestPieceWork::archiveDateText()
{
    QFETCH(QDateTime, time);
    QFETCH(QString, text);
    QCOMPARE(PieceWork::archiveDateString(time), text);
    QCOMPARE(PieceWork::dateFromString(text), PieceWork::dateToNearestMinute(time, false));
}

void TestPieceWork::dateAndTimeTexts_data()
{
    QTest::addColumn<bool>("euroDates");
    QTest::addColumn<bool>("twentyFourHour");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("padded");
    QTest::addColumn<QString>("startText");
    QTest::addColumn<QString>("endText");
    QTest::addColumn<QString>("day");
    const QDate fifth(2004, 3, 5);
    const QDate fifteenth(2004, 3, 15);
    QTest::newRow("month first, one-digit day")
        << false << false << at(14, 7, 0, fifth) << "03/5/2004" << "03/5/2004 " << "02:07 PM" << "03:07 PM" << "Fri";
    QTest::newRow("month first, two-digit day")
        << false << false << at(9, 5, 0, fifteenth) << "03/15/2004" << "03/15/2004" << "09:05 AM" << "10:05 AM" << "Mon";
    QTest::newRow("day first, 24 hours")
        << true << true << at(14, 7, 0, fifth) << "5.03.2004" << "5.03.2004 " << "14:07" << "15:07" << "Fri";
    QTest::newRow("day first, 12 hours after midnight")
        << true << false << at(0, 5, 0, fifteenth) << "15.03.2004" << "15.03.2004" << "12:05 AM" << "01:05 AM" << "Mon";
}

void TestPieceWork::dateAndTimeTexts()
{
    QFETCH(bool, euroDates);
    QFETCH(bool, twentyFourHour);
    QFETCH(QDateTime, start);
    SettingsStore::shared().setValue(EuroDates, euroDates ? "YES" : "NO");
    SettingsStore::shared().setValue(TwentyFourHour, twentyFourHour);
    auto work = PieceWork::init();
    work->setStartTime(start);
    QCOMPARE(work->endTimeString(), QString(""));
    work->setEndTime(start.addSecs(3600));

    QTEST(work->dateString(), "date");
    QTEST(work->dateStringPadded(), "padded");
    QTEST(work->startTimeString(), "startText");
    QTEST(work->endTimeString(), "endText");
    QTEST(work->dayOfWeek(), "day");
}

void TestPieceWork::numberTexts_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("session");
    QTest::addColumn<QStringList>("lineItem");
    QTest::newRow("point") << "." << QStringList {"1.50", "12.50", "18.75"} << QStringList {"Exp.", "7.25", "7.25"};
    QTest::newRow("comma") << "," << QStringList {"1,50", "12,50", "18,75"} << QStringList {"Exp.", "7,25", "7,25"};
    QTest::newRow("other separator") << "'" << QStringList {"1.50", "12.50", "18.75"} << QStringList {"Exp.", "7.25", "7.25"};
}

void TestPieceWork::numberTexts()
{
    QFETCH(QString, separator);
    QFETCH(QStringList, session);
    QFETCH(QStringList, lineItem);
    SettingsStore::shared().setValue(DecimalSeparator, separator);
    MyDocument document;
    const auto texts = [](const PieceWork& w) { return QStringList {w.timeOnJobString(), w.rateString(), w.amountString()}; };

    auto work = PieceWork::init();
    work->setOwner(&document);
    work->setStartTime(at(9, 0));
    work->setEndTime(at(10, 45));
    work->setDownTime(0.25);
    work->setRate(12.5);
    QCOMPARE(texts(*work), session);

    auto item = PieceWork::initLineItem();
    item->setOwner(&document);
    item->setRate(7.25);
    QCOMPARE(texts(*item), lineItem);
}

void TestPieceWork::occursAfter_data()
{
    QTest::addColumn<QDateTime>("after");
    QTest::addColumn<QDateTime>("notAfter");
    QTest::addColumn<bool>("expected");
    QTest::newRow("inside") << at(8, 0) << at(10, 0) << true;
    QTest::newRow("at the lower bound") << at(9, 0) << at(10, 0) << false;
    QTest::newRow("at the upper bound") << at(8, 0) << at(9, 0) << true;
    QTest::newRow("before the span") << at(9, 30) << at(10, 0) << false;
}

void TestPieceWork::occursAfter()
{
    QFETCH(QDateTime, after);
    QFETCH(QDateTime, notAfter);
    QFETCH(bool, expected);
    QCOMPARE(finishedSession()->occursAfter(after, notAfter), expected);
}

QTEST_GUILESS_MAIN(TestPieceWork)
#include "tst_piecework.moc"
