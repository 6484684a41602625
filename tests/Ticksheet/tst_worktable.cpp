#include "ClientWindow.h"
#include "Clock.h"
#include "Constants.h"
#include "MyDocument.h"
#include "PieceWork.h"
#include "SettingsStore.h"
#include "TestSettings.h"
#include "VelmorTableView.h"
#include "WorkTableCells.h"
#include "WorkTableController.h"
#include "WorkTableDataSource.h"
#include "WorkTableModel.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

using Entry = std::shared_ptr<PieceWork>;

namespace {

// Now, for every test: the day after the entries of the fixture.
QDateTime now()
{
    return QDateTime(QDate(2004, 11, 6), QTime(14, 0, 30));
}

QDateTime nov(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2004, 11, day), QTime(hour, minute, second));
}

QColor lightBlue() { return QColor::fromRgbF(0.85f, 0.85f, 1.0f); }
QColor lightRed() { return QColor::fromRgbF(1.0f, 0.85f, 0.85f); }
QColor lightGreen() { return QColor::fromRgbF(0.85f, 1.0f, 0.85f); }
QColor lightYellow() { return QColor::fromRgbF(1.0f, 1.0f, 0.85f); }

QVariantMap item(const QString& description, const QVariant& rate = {})
{
    QVariantMap map {{DESCRIPTION_KEY, description}};
    if (rate.isValid())
        map.insert(RATE_KEY, rate);
    return map;
}

// The window's side of the table: records what the rules ask of it, answers the date prompt as told.
class RecordingController : public WorkTableController
{
public:
    std::shared_ptr<PieceWork> selectedWork() const override { return selected; }
    void sortIfSortedOn(const QString& identifier, const std::shared_ptr<PieceWork>& work) override
    {
        calls << QStringLiteral("sortIfSortedOn ") + identifier;
        sortedWork = work;
    }
    void updateTotals() override { calls << QStringLiteral("updateTotals"); }
    std::optional<QDateTime> askForDate(const QDateTime& base) override
    {
        calls << QStringLiteral("askForDate");
        askedBases << base;
        return prompt(base);
    }
    void showDescriptionListSettings(bool lineItem) override
    {
        calls << (lineItem ? QStringLiteral("showExpenseDescriptionsTab") : QStringLiteral("showJobDescriptionTab"));
    }
    void openFileAction() override { calls << QStringLiteral("openFileAction"); }

    std::shared_ptr<PieceWork> selected;
    std::shared_ptr<PieceWork> sortedWork;
    QStringList calls;
    QList<QDateTime> askedBases;
    // Cancelled unless a test says otherwise: the prompt answers the date it opened on.
    std::function<std::optional<QDateTime>(const QDateTime&)> prompt = [](const QDateTime& base) { return base; };
};

// Reloads the table whenever the document says so, as the client window does.
class ReloadingWindow : public ClientWindow
{
public:
    void updateTotalsAndReload() override
    {
        if (model)
            model->reload();
    }
    void reloadInfo() override {}
    void updateFormatters() override {}
    void endEditing() override {}

    WorkTableModel* model = nullptr;
};

} // namespace

class TestWorkTable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void cellsShowTheEntryAndItsState_data();
    void cellsShowTheEntryAndItsState();
    void editableCells_data();
    void editableCells();
    void typedStartTime_data();
    void typedStartTime();
    void typedEndTime_data();
    void typedEndTime();
    void shownTimesReadBackToTheSameMinute_data();
    void shownTimesReadBackToTheSameMinute();
    void textThatIsNoTimeAsksForADate_data();
    void textThatIsNoTimeAsksForADate();
    void cancelledPromptLeavesTheEntryAlone_data();
    void cancelledPromptLeavesTheEntryAlone();
    void typedHours_data();
    void typedHours();
    void typedRateAndAmount_data();
    void typedRateAndAmount();
    void descriptionTakesTheRateSavedWithIt_data();
    void descriptionTakesTheRateSavedWithIt();
    void descriptionListFollowsTheSelectedKind_data();
    void descriptionListFollowsTheSelectedKind();
    void emptyListArrowOpensTheSettings_data();
    void emptyListArrowOpensTheSettings();
    void modelStaysConsistentThroughChanges();

    void returnInATimeCellCommitsTheTypedTime();
    void tabCommitsAndEditsTheNextCell();
    void pickingNowEndsAPausedSession();
    void modalPromptFromAnEditorAsksOnce();
    void refreshKeepsTheRowAndTheTextBeingTyped();
    void descriptionEditorShowsAtMostTwentyItems();
    void arrowOfAnEmptyDescriptionListOpensTheSettings();
    void clicksOnPaidAndLinkCells();

private:
    Entry add(const Entry& work);
    Entry running();
    Entry paused();
    Entry resumed();
    Entry finished();
    Entry finishedAfterABreak();
    Entry lineItem();
    Entry make(const QString& kind);
    int rowOf(const Entry& work) const;
    void edit(const Entry& work, const QString& identifier, const QVariant& value);
    QModelIndex indexOf(const Entry& work, const QString& identifier) const;
    std::unique_ptr<VelmorTableView> shownTable();

    std::optional<TestSettings> _settings;
    std::unique_ptr<MyDocument> _document;
    RecordingController _controller;
    ReloadingWindow _window;
    std::unique_ptr<WorkTableModel> _model;
};

void TestWorkTable::init()
{
    _settings.emplace();
    SettingsStore::shared().setValue(Rate, "125");
    Clock::setNow(now());
    _document = std::make_unique<MyDocument>();
    _controller = RecordingController();
    _model = std::make_unique<WorkTableModel>(_document.get(), &_controller);
    _window.model = _model.get();
    _document->addWindowController(&_window);
}

void TestWorkTable::cleanup()
{
    _document->removeWindowController(&_window);
    _model.reset();
    _document.reset();
    Clock::reset();
    _settings.reset();
}

// Entries of the fixture --------------------------------------------------------------------

Entry TestWorkTable::add(const Entry& work)
{
    work->setWorkDescription(QStringLiteral("Design"));
    _document->insertInWorkList(work);
    Clock::setNow(now());
    _controller.calls.clear();
    return work;
}

Entry TestWorkTable::running()
{
    auto work = PieceWork::init();
    work->setStartTime(nov(5, 9, 0));
    return add(work);
}

// Paused at 10:00:30, a minute over the hour.
Entry TestWorkTable::paused()
{
    auto work = running();
    Clock::setNow(nov(5, 10, 0, 30));
    work->pause();
    Clock::setNow(now());
    return work;
}

// Running again after half an hour's break.
Entry TestWorkTable::resumed()
{
    auto work = paused();
    Clock::setNow(nov(5, 10, 30, 30));
    work->resume();
    Clock::setNow(now());
    return work;
}

Entry TestWorkTable::finished()
{
    auto work = running();
    work->setEndTime(nov(5, 10, 30));
    return work;
}

Entry TestWorkTable::finishedAfterABreak()
{
    auto work = resumed();
    work->setEndTime(nov(5, 12, 0));
    return work;
}

Entry TestWorkTable::lineItem()
{
    auto work = PieceWork::initLineItem();
    work->setStartTime(nov(5, 9, 0));
    work->setRate(12.5f);
    return add(work);
}

Entry TestWorkTable::make(const QString& kind)
{
    if (kind == QLatin1String("running"))
        return running();
    if (kind == QLatin1String("paused"))
        return paused();
    if (kind == QLatin1String("resumed"))
        return resumed();
    if (kind == QLatin1String("finished"))
        return finished();
    if (kind == QLatin1String("finished after a break"))
        return finishedAfterABreak();
    return lineItem();
}

int TestWorkTable::rowOf(const Entry& work) const
{
    return static_cast<int>(_document->workList().indexOf(work));
}

void TestWorkTable::edit(const Entry& work, const QString& identifier, const QVariant& value)
{
    _model->dataSource().setObjectValue(value, identifier, rowOf(work));
}

QModelIndex TestWorkTable::indexOf(const Entry& work, const QString& identifier) const
{
    return _model->index(rowOf(work), WorkTableModel::columnOf(identifier));
}

std::unique_ptr<VelmorTableView> TestWorkTable::shownTable()
{
    auto table = std::make_unique<VelmorTableView>();
    table->setModel(_model.get());
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    WorkTableCells::install(table.get(), _model.get(), &_controller);
    table->resize(900, 200);
    for (int column = 0; column < _model->columnCount(); ++column)
        table->setColumnWidth(column, 95);
    table->show();
    table->activateWindow();
    return table;
}

// Display ----------------------------------------------------------------------------------

void TestWorkTable::cellsShowTheEntryAndItsState_data()
{
    QTest::addColumn<QString>("kind");
    // DATE, STARTTIME, STOPTIME, TIME, RATE, AMOUNT
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QColor>("rowColour");
    QTest::addColumn<QColor>("timeColour");

    QTest::newRow("running: no end, no time, no amount")
        << "running" << QStringList {"11/5/2004", "09:00 AM", "", "", "125.00", ""} << lightGreen() << lightGreen();
    QTest::newRow("paused: the time so far")
        << "paused" << QStringList {"11/5/2004", "09:00 AM", "10:00 AM", "1.01", "125.00", "126.25"} << lightRed()
        << lightRed();
    QTest::newRow("resumed: running, its time cell marks the break")
        << "resumed" << QStringList {"11/5/2004", "09:00 AM", "", "", "125.00", ""} << lightGreen() << lightYellow();
    QTest::newRow("finished")
        << "finished" << QStringList {"11/5/2004", "09:00 AM", "10:30 AM", "1.50", "125.00", "187.50"}
        << QColor(Qt::white) << QColor(Qt::white);
    QTest::newRow("finished after a break: net time")
        << "finished after a break" << QStringList {"11/5/2004", "09:00 AM", "12:00 PM", "2.50", "125.00", "312.50"}
        << QColor(Qt::white) << lightYellow();
    QTest::newRow("line item: no end, no rate, its price")
        << "line item" << QStringList {"11/5/2004", "09:00 AM", "", "Exp.", "", "12.50"} << lightBlue() << lightBlue();
}

void TestWorkTable::cellsShowTheEntryAndItsState()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, texts);
    QFETCH(QColor, rowColour);
    QFETCH(QColor, timeColour);
    const Entry work = make(kind);
    _model->reload();

    const QStringList columns {"DATE", "STARTTIME", "STOPTIME", "TIME", "RATE", "AMOUNT"};
    QStringList shown;
    for (const QString& column : columns)
        shown << _model->data(indexOf(work, column)).toString();
    QCOMPARE(shown, texts);
    QCOMPARE(_model->data(indexOf(work, "DESCRIPTION")).toString(), QStringLiteral("Design"));

    for (const QString& column : WorkTableModel::columnIdentifiers()) {
        const QColor expected = column == QLatin1String("TIME") ? timeColour : rowColour;
        QCOMPARE(_model->data(indexOf(work, column), Qt::BackgroundRole).value<QBrush>().color(), expected);
    }
}

void TestWorkTable::editableCells_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("editable");

    QTest::newRow("session") << "finished" << QStringList {"STARTTIME", "STOPTIME", "TIME", "DESCRIPTION", "RATE", "PAID"};
    QTest::newRow("line item") << "line item" << QStringList {"STARTTIME", "DESCRIPTION", "AMOUNT", "PAID"};
}

void TestWorkTable::editableCells()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, editable);
    const Entry work = make(kind);
    _model->reload();

    QStringList accepted;
    for (const QString& column : WorkTableModel::columnIdentifiers()) {
        const bool rule = _model->dataSource().shouldEditTableColumn(column, rowOf(work));
        const Qt::ItemFlags flags = _model->flags(indexOf(work, column));
        QCOMPARE(bool(flags & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)), rule);
        if (rule)
            accepted << column;
    }
    QCOMPARE(accepted, editable);
    QVERIFY(_model->flags(indexOf(work, "PAID")) & Qt::ItemIsUserCheckable);

    // Cells that may not be edited keep their value whatever is sent to them.
    const QDateTime end = work->endTime();
    const float rate = work->rate();
    edit(work, QStringLiteral("DATE"), QStringLiteral("12/24/2004"));
    edit(work, kind == QLatin1String("line item") ? QStringLiteral("TIME") : QStringLiteral("AMOUNT"), QStringLiteral("3"));
    QCOMPARE(work->endTime(), end);
    QCOMPARE(work->rate(), rate);
    QCOMPARE(work->dateString(), QStringLiteral("11/5/2004"));
    QVERIFY(_controller.calls.isEmpty());
}

// Typed times ------------------------------------------------------------------------------

void TestWorkTable::typedStartTime_data()
{
    QTest::addColumn<bool>("twentyFour");
    QTest::addColumn<bool>("euro");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("start");

    const QDateTime nowRoundedDown = nov(6, 14, 0);
    QTest::newRow("NOW: this minute, rounded down") << false << false << "NOW" << nowRoundedDown;
    QTest::newRow("no text") << false << false << "" << nowRoundedDown;
    QTest::newRow("one space") << false << false << " " << nowRoundedDown;
    QTest::newRow("now in small letters") << false << false << "now" << nowRoundedDown;
    QTest::newRow("a time lands on the entry's day") << false << false << "9:30 AM" << nov(5, 9, 30);
    QTest::newRow("small pm, no leading zero") << false << false << "7:05 pm" << nov(5, 19, 5);
    QTest::newRow("12 AM is midnight") << false << false << "12:10 AM" << nov(5, 0, 10);
    QTest::newRow("24-hour clock") << true << false << "21:30" << nov(5, 21, 30);
    QTest::newRow("24-hour clock, European dates") << true << true << "7:05" << nov(5, 7, 5);
}

void TestWorkTable::typedStartTime()
{
    QFETCH(bool, twentyFour);
    QFETCH(bool, euro);
    QFETCH(QString, text);
    QFETCH(QDateTime, start);
    SettingsStore::shared().setValue(TwentyFourHour, twentyFour);
    SettingsStore::shared().setValue(EuroDates, euro);
    const Entry work = finishedAfterABreak();

    edit(work, QStringLiteral("STARTTIME"), text);

    QCOMPARE(work->startTime(), start);
    QCOMPARE(work->downTime(), 0.0); // a new start clears the breaks
    QCOMPARE(_controller.calls, QStringList({"sortIfSortedOn STARTTIME", "updateTotals"}));
    QCOMPARE(_controller.sortedWork, work);
}

void TestWorkTable::typedEndTime_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("twentyFour");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("end");

    const QDateTime nowRoundedUp = nov(6, 14, 1);
    QTest::newRow("NOW ends a running session, rounded up") << "running" << false << "NOW" << nowRoundedUp;
    QTest::newRow("one space is now too") << "running" << false << " " << nowRoundedUp;
    QTest::newRow("NOW ends a paused session") << "paused" << false << "NOW" << nowRoundedUp;
    QTest::newRow("a time lands on the start day, not today") << "running" << false << "9:30 AM" << nov(5, 9, 30);
    QTest::newRow("a paused session ends at the typed time") << "paused" << false << "11:15 AM" << nov(5, 11, 15);
    QTest::newRow("24-hour clock") << "finished" << true << "17:45" << nov(5, 17, 45);
}

void TestWorkTable::typedEndTime()
{
    QFETCH(QString, kind);
    QFETCH(bool, twentyFour);
    QFETCH(QString, text);
    QFETCH(QDateTime, end);
    SettingsStore::shared().setValue(TwentyFourHour, twentyFour);
    const Entry work = make(kind);
    const bool wasPaused = work->isPaused();

    edit(work, QStringLiteral("STOPTIME"), text);

    QCOMPARE(work->endTime(), end);
    QVERIFY(!work->isPaused());
    // A paused session is resumed first: its pause counts as a break.
    const double expectedBreak = wasPaused ? nov(5, 10, 0, 30).secsTo(now()) / 3600.0 : 0.0;
    QCOMPARE(work->downTime(), expectedBreak);
    QCOMPARE(_controller.calls, QStringList({"sortIfSortedOn STOPTIME", "updateTotals"}));
}

void TestWorkTable::shownTimesReadBackToTheSameMinute_data()
{
    QTest::addColumn<bool>("twentyFour");
    QTest::addColumn<bool>("euro");

    QTest::newRow("12-hour clock") << false << false;
    QTest::newRow("24-hour clock") << true << false;
    QTest::newRow("12-hour clock, European dates") << false << true;
}

void TestWorkTable::shownTimesReadBackToTheSameMinute()
{
    QFETCH(bool, twentyFour);
    QFETCH(bool, euro);
    SettingsStore::shared().setValue(TwentyFourHour, twentyFour);
    SettingsStore::shared().setValue(EuroDates, euro);
    const Entry work = finished();

    for (const QTime& time : {QTime(0, 0), QTime(0, 59), QTime(9, 5), QTime(12, 0), QTime(12, 30), QTime(23, 59)}) {
        const QDateTime start(QDate(2004, 11, 15), time);
        work->setStartTime(start);
        edit(work, QStringLiteral("STARTTIME"), work->startTimeString());
        QCOMPARE(work->startTime(), start);
    }
    QVERIFY(!_controller.calls.contains(QStringLiteral("askForDate")));
}

void TestWorkTable::textThatIsNoTimeAsksForADate_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("base");

    QTest::newRow("a full date in the end") << "finished" << "STOPTIME" << "11/06/2004 9:30 AM" << nov(5, 10, 30);
    QTest::newRow("Set... in the end of a running session: its start") << "running" << "STOPTIME" << "Set..."
                                                                         << nov(5, 9, 0);
    QTest::newRow("Set... in the start") << "finished" << "STARTTIME" << "Set..." << nov(5, 9, 0);
    QTest::newRow("a 24-hour time on the 12-hour clock") << "finished" << "STARTTIME" << "21:30" << nov(5, 9, 0);
    QTest::newRow("a time without AM or PM") << "finished" << "STOPTIME" << "9:30" << nov(5, 10, 30);
}

void TestWorkTable::textThatIsNoTimeAsksForADate()
{
    QFETCH(QString, kind);
    QFETCH(QString, column);
    QFETCH(QString, text);
    QFETCH(QDateTime, base);
    const Entry work = make(kind);
    const QDateTime chosen = nov(3, 16, 45);
    _controller.prompt = [&](const QDateTime&) { return chosen; };

    edit(work, column, text);

    QCOMPARE(_controller.askedBases, QList<QDateTime>({base}));
    QCOMPARE(column == QLatin1String("STOPTIME") ? work->endTime() : work->startTime(), chosen);
    QCOMPARE(_controller.calls, QStringList({"askForDate", "sortIfSortedOn " + column, "updateTotals"}));
}

void TestWorkTable::cancelledPromptLeavesTheEntryAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("column");
    QTest::addColumn<bool>("confirmedWithoutDate");

    QTest::newRow("cancel in the end of a running session") << "running" << "STOPTIME" << false;
    QTest::newRow("cancel in the end of a paused session") << "paused" << "STOPTIME" << false;
    QTest::newRow("cancel in the start keeps the breaks") << "finished after a break" << "STARTTIME" << false;
    QTest::newRow("confirmed without a date, end") << "running" << "STOPTIME" << true;
    QTest::newRow("confirmed without a date, start") << "resumed" << "STARTTIME" << true;
}

void TestWorkTable::cancelledPromptLeavesTheEntryAlone()
{
    QFETCH(QString, kind);
    QFETCH(QString, column);
    QFETCH(bool, confirmedWithoutDate);
    const Entry work = make(kind);
    const QVariantMap before = work->propertyListRepresentation();
    if (confirmedWithoutDate)
        _controller.prompt = [](const QDateTime&) { return std::nullopt; };

    edit(work, column, QStringLiteral("Set..."));

    QCOMPARE(_controller.calls, QStringList({"askForDate"}));
    QCOMPARE(work->propertyListRepresentation(), before);
    QCOMPARE(work->endTime().isValid(), kind != QLatin1String("running") && kind != QLatin1String("resumed"));
}

// Typed numbers ----------------------------------------------------------------------------

void TestWorkTable::typedHours_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<QString>("shownTime");

    QTest::newRow("1.5 hours") << "." << "1.5" << nov(5, 10, 30) << "1.50";
    QTest::newRow("the document's decimal comma") << "," << "1,5" << nov(5, 10, 30) << "1,50";
    QTest::newRow("a point with a comma document") << "," << "1.5" << nov(5, 10, 30) << "1,50";
    QTest::newRow("1.26 is 1 h 16 min") << "." << "1.26" << nov(5, 10, 16) << "1.27";
    QTest::newRow("no number is 0") << "." << "soon" << nov(5, 9, 0) << "0.00";
}

void TestWorkTable::typedHours()
{
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(QDateTime, end);
    QFETCH(QString, shownTime);
    _document->setDecimalSeparator(separator);
    const Entry work = running();
    _model->reload();

    edit(work, QStringLiteral("TIME"), text);

    QCOMPARE(work->endTime(), end);
    QVERIFY(!work->canBePaused());
    QCOMPARE(_model->data(indexOf(work, "TIME")).toString(), shownTime);
    QVERIFY(!_model->data(indexOf(work, "AMOUNT")).toString().isEmpty());
    QCOMPARE(_model->data(indexOf(work, "STOPTIME"), Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::white));
    QCOMPARE(_controller.calls, QStringList({"sortIfSortedOn TIME", "updateTotals"}));
}

void TestWorkTable::typedRateAndAmount_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("rate");
    QTest::addColumn<bool>("setAsZero");

    QTest::newRow("rate 0 is a rate of its own") << "finished" << "RATE" << "." << "0" << 0.0f << true;
    QTest::newRow("no number is rate 0 too") << "finished" << "RATE" << "." << "-" << 0.0f << true;
    QTest::newRow("rate with decimal comma") << "finished" << "RATE" << "," << "95,5" << 95.5f << false;
    QTest::newRow("rate followed by text") << "finished" << "RATE" << "." << "80 per hour" << 80.0f << false;
    QTest::newRow("line item's amount") << "line item" << "AMOUNT" << "," << "12,75" << 12.75f << true;
}

void TestWorkTable::typedRateAndAmount()
{
    QFETCH(QString, kind);
    QFETCH(QString, column);
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(float, rate);
    QFETCH(bool, setAsZero);
    _document->setDecimalSeparator(separator);
    const Entry work = make(kind);

    edit(work, column, text);

    QCOMPARE(work->rate(), rate);
    QCOMPARE(work->rateSetAsZero(), setAsZero);
    _document->setRate(150); // an entry that took a rate keeps it
    QCOMPARE(work->rate(), rate);
    QCOMPARE(_controller.calls, QStringList({"sortIfSortedOn " + column, "updateTotals"}));
}

// Description list -------------------------------------------------------------------------

void TestWorkTable::descriptionTakesTheRateSavedWithIt_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("rate");

    QTest::newRow("saved with rate 95") << "finished" << "Consulting" << 95.0f;
    QTest::newRow("matching is exact, case included") << "finished" << "consulting" << 125.0f;
    QTest::newRow("saved without rate") << "finished" << "Review" << 125.0f;
    QTest::newRow("saved with an empty rate") << "finished" << "Travel" << 125.0f;
    QTest::newRow("not saved") << "finished" << "Other" << 125.0f;
    QTest::newRow("a line item looks in the expenses") << "line item" << "Taxi" << 30.0f;
    QTest::newRow("a session does not") << "finished" << "Taxi" << 125.0f;
}

void TestWorkTable::descriptionTakesTheRateSavedWithIt()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(float, rate);
    SettingsStore::shared().setValue(JobDescriptions, QVariantList {item("Consulting", "95"), item("Review"),
                                                                     item("Travel", "")});
    SettingsStore::shared().setValue(ExpenseDescriptions, QVariantList {item("Taxi", "30")});
    const Entry work = make(kind);
    if (kind == QLatin1String("line item"))
        work->setRate(125);
    _controller.selected = work;

    edit(work, QStringLiteral("DESCRIPTION"), text);

    QCOMPARE(work->workDescription(), text);
    QCOMPARE(work->rate(), rate);
    // Only a sort may be due; the entry's own change notice refreshes the totals.
    QCOMPARE(_controller.calls, QStringList({"sortIfSortedOn DESCRIPTION"}));
    QCOMPARE(_controller.sortedWork, work);
}

void TestWorkTable::descriptionListFollowsTheSelectedKind_data()
{
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QStringList>("descriptions");

    const QStringList jobs {"Consulting", "Review", "Design"};
    QTest::newRow("nothing selected: jobs") << "" << jobs;
    QTest::newRow("a session: jobs") << "finished" << jobs;
    QTest::newRow("a line item: expenses") << "line item" << QStringList {"Taxi", "Hotel"};
}

void TestWorkTable::descriptionListFollowsTheSelectedKind()
{
    QFETCH(QString, selection);
    QFETCH(QStringList, descriptions);
    SettingsStore::shared().setValue(JobDescriptions, QVariantList {item("Consulting", "95"), item("Review"), item("Design")});
    SettingsStore::shared().setValue(ExpenseDescriptions, QVariantList {item("Taxi", "30"), item("Hotel", "")});
    if (!selection.isEmpty())
        _controller.selected = make(selection);
    const WorkTableDataSource& source = _model->dataSource();

    const int count = static_cast<int>(descriptions.size());
    QCOMPARE(source.itemsForSelection().size(), descriptions.size());
    QCOMPARE(source.numberOfItemsInComboBoxCell(), count);
    QStringList shown;
    for (int index = 0; index < source.numberOfItemsInComboBoxCell(); ++index)
        shown << source.comboBoxCellObjectValueForItemAtIndex(index);
    QCOMPARE(shown, descriptions);
    QCOMPARE(source.comboBoxCellObjectValueForItemAtIndex(count), QString());
    QCOMPARE(source.comboBoxCellIndexOfItemWithStringValue(descriptions.last()), count - 1);
    QCOMPARE(source.comboBoxCellIndexOfItemWithStringValue(descriptions.last().toUpper()), -1);
    QVERIFY(!source.rateValueForString(QStringLiteral("Nothing like it")));
    QCOMPARE(source.rateValueForString(descriptions.first()).value_or("none"), descriptions.first() == "Taxi" ? "30" : "95");
    QCOMPARE(source.rateValueForString(descriptions.at(1)).value_or("none"), QString());

    // Read at each call: a list changed in the preferences shows at once.
    SettingsStore::shared().setValue(selection == QLatin1String("line item") ? ExpenseDescriptions : JobDescriptions,
                                     QVariantList {item("Only")});
    QCOMPARE(source.numberOfItemsInComboBoxCell(), 1);
}

void TestWorkTable::emptyListArrowOpensTheSettings_data()
{
    QTest::addColumn<QString>("selection");
    QTest::addColumn<bool>("listEmpty");
    QTest::addColumn<int>("x");
    QTest::addColumn<QStringList>("calls");

    // The editor is 100 wide: its arrow is the last 18.
    QTest::newRow("session, arrow") << "finished" << true << 90 << QStringList {"showJobDescriptionTab"};
    QTest::newRow("nothing selected, arrow") << "" << true << 90 << QStringList {"showJobDescriptionTab"};
    QTest::newRow("line item, arrow") << "line item" << true << 83 << QStringList {"showExpenseDescriptionsTab"};
    QTest::newRow("left of the arrow") << "finished" << true << 82 << QStringList();
    QTest::newRow("list has entries") << "finished" << false << 90 << QStringList();
}

void TestWorkTable::emptyListArrowOpensTheSettings()
{
    QFETCH(QString, selection);
    QFETCH(bool, listEmpty);
    QFETCH(int, x);
    QFETCH(QStringList, calls);
    if (!listEmpty)
        SettingsStore::shared().setValue(JobDescriptions, QVariantList {item("Design")});
    if (!selection.isEmpty())
        _controller.selected = make(selection);

    _model->dataSource().comboBoxMousedDown(QPoint(x, 9), QRect(0, 0, 100, 18));

    QCOMPARE(_controller.calls, calls);
}

// The model through the changes the window makes.
void TestWorkTable::modelStaysConsistentThroughChanges()
{
    QAbstractItemModelTester tester(_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(_model.get(), &QAbstractItemModel::modelReset);

    const Entry first = running();
    lineItem();
    const Entry last = finished();
    QCOMPARE(_model->rowCount(), 3);
    QCOMPARE(_model->workAt(2), last);
    QCOMPARE(_model->workAt(3), nullptr);

    QVERIFY(_model->setData(indexOf(first, "STOPTIME"), QStringLiteral("11:00 AM")));
    QVERIFY(_model->setData(indexOf(last, "PAID"), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(last->paid());
    QVERIFY(!_model->setData(indexOf(last, "DATE"), QStringLiteral("1/1/2005")));
    const int resetsBeforeSort = static_cast<int>(resets.size());
    _document->setSortColumn(QStringLiteral("STOPTIME"));
    _document->sort();
    QCOMPARE(resets.size(), resetsBeforeSort); // same rows: refreshed in place
    QVERIFY(rowOf(last) < rowOf(first));
    for (int row = 0; row < _model->rowCount(); ++row)
        QCOMPARE(_model->workAt(row), _document->workList().at(row));

    _document->removeWork(0);
    QCOMPARE(_model->rowCount(), 2);
    _document->removeWork(0);
    _document->removeWork(0);
    QCOMPARE(_model->rowCount(), 0);
    QCOMPARE(_model->data(_model->index(0, 0)), QVariant());
}

// Through the widgets ----------------------------------------------------------------------

void TestWorkTable::returnInATimeCellCommitsTheTypedTime()
{
    const Entry work = running();
    _controller.selected = work;
    auto table = shownTable();
    QVERIFY(QTest::qWaitForWindowExposed(table.get()));
    const QModelIndex stop = indexOf(work, "STOPTIME");

    table->setCurrentIndex(stop);
    table->edit(stop);
    auto* editor = qobject_cast<QComboBox*>(table->indexWidget(stop));
    QVERIFY(editor);
    QCOMPARE(editor->count(), 2);
    QCOMPARE(editor->itemText(1), QStringLiteral("Set..."));
    QCOMPARE(editor->maxVisibleItems(), 2);
    QTest::keyClicks(editor, QStringLiteral("9:30 AM"));
    QTest::keyClick(editor, Qt::Key_Return);

    QTRY_COMPARE(work->endTime(), nov(5, 9, 30));
    QTRY_VERIFY(!table->indexWidget(stop));
    QCOMPARE(_model->data(stop).toString(), QStringLiteral("09:30 AM"));
}

void TestWorkTable::tabCommitsAndEditsTheNextCell()
{
    const Entry work = finished();
    auto table = shownTable();
    QVERIFY(QTest::qWaitForWindowExposed(table.get()));
    const QModelIndex start = indexOf(work, "STARTTIME");

    table->setCurrentIndex(start);
    table->edit(start);
    auto* editor = qobject_cast<QComboBox*>(table->indexWidget(start));
    QVERIFY(editor);
    editor->lineEdit()->selectAll();
    QTest::keyClicks(editor, QStringLiteral("8:15 AM"));
    QTest::keyClick(editor, Qt::Key_Tab);

    QTRY_COMPARE(work->startTime(), nov(5, 8, 15));
    const QModelIndex stop = indexOf(work, "STOPTIME");
    QTRY_COMPARE(table->currentIndex(), stop);
    QTRY_VERIFY(qobject_cast<QComboBox*>(table->indexWidget(stop)));
}

void TestWorkTable::pickingNowEndsAPausedSession()
{
    const Entry work = paused();
    auto table = shownTable();
    QVERIFY(QTest::qWaitForWindowActive(table.get()));
    const QModelIndex stop = indexOf(work, "STOPTIME");

    table->setCurrentIndex(stop);
    table->edit(stop);
    auto* editor = qobject_cast<QComboBox*>(table->indexWidget(stop));
    QVERIFY(editor);
    editor->showPopup();
    QAbstractItemView* list = editor->view();
    QTRY_VERIFY(list->isVisible());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());

    QTRY_COMPARE(work->endTime(), nov(6, 14, 1));
    QVERIFY(!work->isPaused());
    QVERIFY(!_controller.calls.contains(QStringLiteral("askForDate")));
    QTRY_VERIFY(!table->indexWidget(stop));
}

// The prompt takes the focus from the editor while the edit is applied; that must not apply it again.
void TestWorkTable::modalPromptFromAnEditorAsksOnce()
{
    const Entry work = running();
    auto table = shownTable();
    QVERIFY(QTest::qWaitForWindowActive(table.get()));
    const QDateTime chosen = nov(5, 17, 0);
    bool promptHadTheFocus = false;
    _controller.prompt = [&](const QDateTime&) {
        QDialog prompt(table.get());
        auto* field = new QLineEdit(&prompt);
        QTimer::singleShot(0, &prompt, [&] {
            promptHadTheFocus = QTest::qWaitForWindowActive(&prompt)
                && QTest::qWaitFor([&] {
                       field->setFocus();
                       return QApplication::focusWidget() == field;
                   });
            prompt.accept();
        });
        prompt.exec();
        return chosen;
    };
    const QModelIndex stop = indexOf(work, "STOPTIME");

    table->setCurrentIndex(stop);
    table->edit(stop);
    auto* editor = qobject_cast<QComboBox*>(table->indexWidget(stop));
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("Set..."));
    QTest::keyClick(editor, Qt::Key_Return);

    QTRY_COMPARE(work->endTime(), chosen);
    QVERIFY(promptHadTheFocus);
    QTRY_VERIFY(!table->indexWidget(stop));
    QCOMPARE(_controller.calls.count(QStringLiteral("askForDate")), 1);
}

void TestWorkTable::refreshKeepsTheRowAndTheTextBeingTyped()
{
    running();
    const Entry work = finished();
    auto table = shownTable();
    QVERIFY(QTest::qWaitForWindowExposed(table.get()));
    const QModelIndex description = indexOf(work, "DESCRIPTION");
    table->setCurrentIndex(description);
    table->edit(description);
    auto* editor = qobject_cast<QComboBox*>(table->indexWidget(description));
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral(" and build"));

    _model->reload();

    QCOMPARE(table->currentIndex(), description);
    QCOMPARE(table->selectionModel()->selectedRows(), QModelIndexList({_model->index(1, 0)}));
    QCOMPARE(table->indexWidget(description), editor);
    QCOMPARE(editor->currentText(), QStringLiteral("Design and build"));
}

void TestWorkTable::descriptionEditorShowsAtMostTwentyItems()
{
    QVariantList items;
    for (int i = 0; i < 25; ++i)
        items << item(QStringLiteral("Task %1").arg(i));
    SettingsStore::shared().setValue(JobDescriptions, items);
    SettingsStore::shared().setValue(ExpenseDescriptions, QVariantList {item("Taxi")});
    const Entry work = finished();
    _controller.selected = work;
    auto table = shownTable();
    QVERIFY(QTest::qWaitForWindowExposed(table.get()));
    const QModelIndex description = indexOf(work, "DESCRIPTION");

    table->edit(description);
    auto* editor = qobject_cast<QComboBox*>(table->indexWidget(description));
    QVERIFY(editor);
    QCOMPARE(editor->count(), 25);
    QCOMPARE(editor->maxVisibleItems(), 20);
    QCOMPARE(editor->currentText(), QStringLiteral("Design"));
}

void TestWorkTable::arrowOfAnEmptyDescriptionListOpensTheSettings()
{
    const Entry work = lineItem();
    _controller.selected = work;
    auto table = shownTable();
    QVERIFY(QTest::qWaitForWindowActive(table.get()));
    const QModelIndex description = indexOf(work, "DESCRIPTION");

    table->edit(description);
    auto* editor = qobject_cast<QComboBox*>(table->indexWidget(description));
    QVERIFY(editor);
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(editor->width() - 4, editor->height() / 2));

    QCOMPARE(_controller.calls, QStringList({"showExpenseDescriptionsTab"}));
}

void TestWorkTable::clicksOnPaidAndLinkCells()
{
    const Entry withFile = finished();
    withFile->setSupportingFile(QStringLiteral("/tmp/receipt.pdf"));
    const Entry withoutFile = lineItem();
    auto table = shownTable();
    QVERIFY(QTest::qWaitForWindowExposed(table.get()));
    const auto click = [&](const Entry& work, const char* column) {
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(indexOf(work, column)).center());
    };

    click(withoutFile, "PAID");
    QVERIFY(withoutFile->paid());
    click(withoutFile, "PAID");
    QVERIFY(!withoutFile->paid());
    QCOMPARE(_controller.calls, QStringList({"sortIfSortedOn PAID", "updateTotals", "sortIfSortedOn PAID", "updateTotals"}));

    _controller.calls.clear();
    click(withoutFile, "LINK");
    QVERIFY(_controller.calls.isEmpty());
    click(withFile, "LINK");
    QCOMPARE(_controller.calls, QStringList({"openFileAction"}));
    QCOMPARE(table->currentIndex().row(), rowOf(withFile));
}

QTEST_MAIN(TestWorkTable)
#include "tst_worktable.moc"
