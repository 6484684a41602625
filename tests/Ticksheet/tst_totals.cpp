#include "Clock.h"
#include "Constants.h"
#include "MyDocument.h"
#include "PieceWork.h"
#include "SettingsStore.h"
#include "TestSettings.h"

#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

using Entry = std::shared_ptr<PieceWork>;
using DocumentFigure = std::function<float(const MyDocument&)>;
Q_DECLARE_METATYPE(DocumentFigure)

namespace {

// The figures of one list, named as in the formulas.
struct ListFigures {
    float E, X, XT, A, Q, C, S, T, G;
};

// The eight figures the client window shows.
struct WindowFigures {
    float total, tax, grandTotal, cashEarned, equityEarned, sharesEarned, cashOwed, cashPaid;
};

} // namespace

Q_DECLARE_METATYPE(ListFigures)
Q_DECLARE_METATYPE(WindowFigures)

namespace {

QDateTime at(QDate date, int hour, int minute, int second = 0)
{
    return QDateTime(date, QTime(hour, minute, second));
}

// Nine significant digits tell every float apart, so equal texts mean equal values, not nearly equal.
QString exact(float value)
{
    return QString::number(static_cast<double>(value), 'g', 9);
}

QString describe(const ListFigures& f)
{
    return QStringLiteral("E=%1 X=%2 XT=%3 A=%4 Q=%5 C=%6 S=%7 T=%8 G=%9")
        .arg(exact(f.E), exact(f.X), exact(f.XT), exact(f.A), exact(f.Q), exact(f.C), exact(f.S), exact(f.T),
             exact(f.G));
}

QString describe(const WindowFigures& f)
{
    return QStringLiteral("total=%1 tax=%2 grand=%3 cashEarned=%4 equity=%5 shares=%6 owed=%7 paid=%8")
        .arg(exact(f.total), exact(f.tax), exact(f.grandTotal), exact(f.cashEarned), exact(f.equityEarned),
             exact(f.sharesEarned), exact(f.cashOwed), exact(f.cashPaid));
}

ListFigures listFigures(const MyDocument& d, const WorkList& list)
{
    return {d.totalEarnedInWorkList(list),      d.totalExpensesInWorkList(list),
            d.totalExpensesTaxableInList(list), d.totalExpensesAndEarnedInWorkList(list),
            d.totalEquityInList(list),          d.totalCashInList(list),
            d.totalSharesInWorkList(list),      d.totalTaxedInWorkList(list),
            d.totalGrandTotalInWorkList(list)};
}

WindowFigures windowFigures(const MyDocument& d)
{
    return {d.total(true),        d.taxableAmount(true), d.grandTotal(true), d.cashEarned(true),
            d.equityEarned(true), d.sharesEarned(true),  d.cashOwed(true),   d.amountPaid()};
}

Entry session(const QDateTime& start, int minutes, float rate, bool paid = false)
{
    auto work = PieceWork::init();
    work->setStartTime(start);
    work->setEndTime(start.addSecs(minutes * 60));
    work->setRate(rate);
    work->setPaid(paid);
    return work;
}

Entry lineItem(const QDateTime& date, float price, bool taxable, bool paid = false)
{
    auto item = PieceWork::initLineItem();
    item->setStartTime(date);
    item->setRate(price);
    item->setTaxable(taxable);
    item->setPaid(paid);
    return item;
}

Entry named(const QDateTime& start, const QString& name)
{
    auto work = PieceWork::init();
    work->setStartTime(start);
    work->setWorkDescription(name);
    return work;
}

QStringList names(const WorkList& list)
{
    QStringList result;
    for (const auto& work : list)
        result << work->workDescription();
    return result;
}

void setTaxGrossIncome(bool on)
{
    SettingsStore::shared().setValue(TaxGrossIncome, on ? "YES" : "NO");
}

} // namespace

class TestTotals : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void workedExample_data();
    void workedExample();
    void documentOperations_data();
    void documentOperations();
    void moneyTexts();
    void runningSessionCountsHoursOnly();
    void shareCostZeroGivesNoShares();
    void centsHalvesToEven_data();
    void centsHalvesToEven();
    void figuresRoundWithTheSameRule();
    void sumsRunFromTheLastEntryInSinglePrecision();
    void negativeRatesKeepTheirSign();
    void emptyListGivesZeros();
    void dayBounds_data();
    void dayBounds();
    void workInDatesCoversWholeDays();
    void workInDatesFromAfterTo();
    void workIsInThisMonth_data();
    void workIsInThisMonth();

private:
    // Taxable at 5 %, equity 20 %, share cost 10, rate 100: an unpaid session of 2 hours, a paid one
    // of 1.5 hours, an unpaid taxable expense of 30 and a paid untaxed one of 20.
    void fillWorkedExample();

    std::optional<TestSettings> _settings;
    std::unique_ptr<MyDocument> _document;
};

void TestTotals::init()
{
    _settings.emplace();
    SettingsStore::shared().setValue(Rate, "100");
    Clock::setNow(at(QDate(2004, 3, 15), 12, 0));
    _document = std::make_unique<MyDocument>();
    _document->setTaxable(true);
    _document->setTaxRate(5);
    _document->setEquityPercent(20);
    _document->setShareCost(10);
}

void TestTotals::cleanup()
{
    _document.reset();
    Clock::reset();
    _settings.reset();
}

void TestTotals::fillWorkedExample()
{
    const QDate march(2004, 3, 1);
    _document->setWorkList({session(at(march, 9, 0), 120, 100),
                            session(at(march.addDays(1), 9, 0), 90, 100, true),
                            lineItem(at(march.addDays(2), 10, 0), 30, true),
                            lineItem(at(march.addDays(3), 10, 0), 20, false, true)});
}

void TestTotals::workedExample_data()
{
    QTest::addColumn<bool>("taxable");
    QTest::addColumn<bool>("taxGrossIncome");
    QTest::addColumn<ListFigures>("list");
    QTest::addColumn<WindowFigures>("window");
    // Tax on gross income also taxes the equity, which G and so paid plus owed leave out.
    QTest::addColumn<bool>("paidPlusOwedIsG");

    QTest::newRow("taxable, tax on cash")
        << true << false
        << ListFigures {.E = 350, .X = 50, .XT = 30, .A = 400, .Q = 70, .C = 280, .S = 7, .T = 15.5f, .G = 345.5f}
        << WindowFigures {.total = 400, .tax = 15.5f, .grandTotal = 415.5f, .cashEarned = 330, .equityEarned = 70,
                          .sharesEarned = 7, .cashOwed = 199.5f, .cashPaid = 146}
        << true;
    QTest::newRow("taxable, tax on gross income")
        << true << true
        << ListFigures {.E = 350, .X = 50, .XT = 30, .A = 400, .Q = 70, .C = 280, .S = 7, .T = 19, .G = 345.5f}
        << WindowFigures {.total = 400, .tax = 19, .grandTotal = 419, .cashEarned = 330, .equityEarned = 70,
                          .sharesEarned = 7, .cashOwed = 201.5f, .cashPaid = 147.5f}
        << false;
    QTest::newRow("not taxable")
        << false << true
        << ListFigures {.E = 350, .X = 50, .XT = 30, .A = 400, .Q = 70, .C = 280, .S = 7, .T = 0, .G = 330}
        << WindowFigures {.total = 400, .tax = 0, .grandTotal = 400, .cashEarned = 330, .equityEarned = 70,
                          .sharesEarned = 7, .cashOwed = 190, .cashPaid = 140}
        << true;
}

void TestTotals::workedExample()
{
    QFETCH(bool, taxable);
    QFETCH(bool, taxGrossIncome);
    QFETCH(ListFigures, list);
    QFETCH(WindowFigures, window);
    QFETCH(bool, paidPlusOwedIsG);
    fillWorkedExample();
    _document->setTaxable(taxable);
    // After the document was made: the setting is read by each computation.
    setTaxGrossIncome(taxGrossIncome);

    const WorkList all = _document->workList();
    QCOMPARE(describe(listFigures(*_document, all)), describe(list));
    QCOMPARE(describe(windowFigures(*_document)), describe(window));
    QCOMPARE(exact(_document->hoursInWorkList(all)), exact(3.5f));
    QCOMPARE(_document->sharesInWorkList(all), QStringLiteral("7.00"));
    if (paidPlusOwedIsG)
        QCOMPARE(exact(window.cashPaid + window.cashOwed), exact(list.G));
}

void TestTotals::documentOperations_data()
{
    QTest::addColumn<DocumentFigure>("figure");
    QTest::addColumn<float>("expected");

    auto row = [](const char* name, DocumentFigure figure, float expected) {
        QTest::newRow(name) << figure << expected;
    };
    // Without the flag the document totals cover the unpaid entries: the 2-hour session and the
    // taxable expense of 30.
    row("total(false)", [](const MyDocument& d) { return d.total(false); }, 230);
    row("taxableAmount(false)", [](const MyDocument& d) { return d.taxableAmount(false); }, 9.5f);
    row("equityEarned(false)", [](const MyDocument& d) { return d.equityEarned(false); }, 40);
    row("cashEarned(false)", [](const MyDocument& d) { return d.cashEarned(false); }, 190);
    row("sharesEarned(false)", [](const MyDocument& d) { return d.sharesEarned(false); }, 4);
    row("grandTotal ignores its flag", [](const MyDocument& d) { return d.grandTotal(false); }, 415.5f);
    row("cashOwed ignores its flag", [](const MyDocument& d) { return d.cashOwed(false); }, 199.5f);
    row("total()", [](const MyDocument& d) { return d.total(); }, 400);
    row("totalOwed(false)", [](const MyDocument& d) { return d.totalOwed(false); }, 230);
    row("workOnlyTotal(true)", [](const MyDocument& d) { return d.workOnlyTotal(true); }, 350);
    row("workOnlyTotal(false)", [](const MyDocument& d) { return d.workOnlyTotal(false); }, 200);
    row("totalHours(true)", [](const MyDocument& d) { return d.totalHours(true); }, 3.5f);
    row("totalHours(false)", [](const MyDocument& d) { return d.totalHours(false); }, 2);
    row("totalExpenses(true)", [](const MyDocument& d) { return d.totalExpenses(true); }, 50);
    row("totalExpenses(false)", [](const MyDocument& d) { return d.totalExpenses(false); }, 30);
    row("untaxableSubtotal(true)", [](const MyDocument& d) { return d.untaxableSubtotal(true); }, 20);
    row("untaxableSubtotal(false)", [](const MyDocument& d) { return d.untaxableSubtotal(false); }, 0);
    row("cashEarnedPlusTax(true)", [](const MyDocument& d) { return d.cashEarnedPlusTax(true); }, 345.5f);
    // P of a list adds the tax of the whole list it is given, paid or not.
    row("amountPaidInWorkList of the whole list",
        [](const MyDocument& d) { return d.amountPaidInWorkList(d.workList()); }, 155.5f);
    row("totalUnpaidInWorkList of the whole list",
        [](const MyDocument& d) { return d.totalUnpaidInWorkList(d.workList()); }, 199.5f);
}

void TestTotals::documentOperations()
{
    QFETCH(DocumentFigure, figure);
    QFETCH(float, expected);
    fillWorkedExample();
    setTaxGrossIncome(false);

    QCOMPARE(exact(figure(*_document)), exact(expected));
}

void TestTotals::moneyTexts()
{
    fillWorkedExample();
    setTaxGrossIncome(false);
    const MyDocument& d = *_document;
    const WorkList all = d.workList();

    QCOMPARE(d.expensesInWorkList(all), d.formatMoney(50));
    QCOMPARE(d.earnedInWorkList(all), d.formatMoney(350));
    QCOMPARE(d.cashInWorkList(all), d.formatMoney(280));
    QCOMPARE(d.taxedInWorkList(all), d.formatMoney(15.5f));
    QCOMPARE(d.grandTotalInWorkList(all), d.formatMoney(345.5f));
    QCOMPARE(d.unpaidInWorkList(all), d.formatMoney(199.5f));
}

void TestTotals::runningSessionCountsHoursOnly()
{
    fillWorkedExample();
    setTaxGrossIncome(false);
    const WindowFigures before = windowFigures(*_document);
    Entry running = _document->addWork();
    QCOMPARE(exact(running->rate()), exact(100));

    // Never paused: no hours yet.
    QCOMPARE(exact(_document->totalHours(true)), exact(3.5f));

    // Paused after an hour and resumed half an hour later: timeOnJob 1.00 minus downTime 0.50.
    Clock::advance(3600);
    running->pause();
    Clock::advance(1800);
    running->resume();
    QVERIFY(running->canBePaused());
    QCOMPARE(exact(_document->totalHours(true)), exact(4));
    QCOMPARE(exact(_document->totalEarnedInWorkList(_document->workList())), exact(350));
    QCOMPARE(describe(windowFigures(*_document)), describe(before));
}

void TestTotals::shareCostZeroGivesNoShares()
{
    fillWorkedExample();
    _document->setShareCost(0);

    QCOMPARE(exact(_document->totalSharesInWorkList(_document->workList())), exact(0));
    QCOMPARE(exact(_document->sharesEarned(true)), exact(0));
    QCOMPARE(_document->sharesInWorkList(_document->workList()), QStringLiteral("0.00"));
    QCOMPARE(exact(_document->equityEarned(true)), exact(70));
}

void TestTotals::centsHalvesToEven_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<float>("cents");

    QTest::newRow("0.125 down to the even cent") << 0.125f << 0.12f;
    QTest::newRow("0.375 up to the even cent") << 0.375f << 0.38f;
    QTest::newRow("-0.125 towards zero") << -0.125f << -0.12f;
    QTest::newRow("-0.375 away from zero") << -0.375f << -0.38f;
    // The float nearest 1.005 lies below the half.
    QTest::newRow("1.005 as a float") << 1.005f << 1.0f;
    QTest::newRow("whole cents unchanged") << 345.5f << 345.5f;
}

void TestTotals::centsHalvesToEven()
{
    QFETCH(float, value);
    QFETCH(float, cents);

    QCOMPARE(exact(MyDocument::twoPlaceRoundedFloat(value)), exact(cents));
}

void TestTotals::figuresRoundWithTheSameRule()
{
    const QDate day(2004, 3, 2);
    _document->setWorkList({session(at(day, 9, 0), 60, 0.125f), lineItem(at(day, 12, 0), 0.25f, false)});
    const WorkList all = _document->workList();

    QCOMPARE(exact(_document->totalEarnedInWorkList(all)), exact(0.12f));
    QCOMPARE(exact(_document->totalExpensesAndEarnedInWorkList(all)), exact(0.38f));
    // Expenses are never rounded.
    _document->setWorkList({lineItem(at(day, 12, 0), 0.125f, true)});
    QCOMPARE(exact(_document->totalExpensesInWorkList(_document->workList())), exact(0.125f));
    QCOMPARE(exact(_document->total(true)), exact(0.12f));
}

void TestTotals::sumsRunFromTheLastEntryInSinglePrecision()
{
    // 2^24 + 1 is not a float: taken last first in single precision each 1 is lost, while a
    // first-to-last or a double sum keeps both.
    const QDate day(2004, 3, 2);
    _document->setWorkList({lineItem(at(day, 9, 0), 1, true), lineItem(at(day, 10, 0), 1, true),
                            lineItem(at(day, 11, 0), 16777216, true), session(at(day, 12, 0), 60, 1),
                            session(at(day, 13, 0), 60, 1), session(at(day, 14, 0), 60, 16777216)});
    const WorkList all = _document->workList();

    QCOMPARE(exact(_document->totalExpensesInWorkList(all)), exact(16777216));
    QCOMPARE(exact(_document->totalExpensesTaxableInList(all)), exact(16777216));
    QCOMPARE(exact(_document->totalEarnedInWorkList(all)), exact(16777216));
    QCOMPARE(exact(_document->totalExpensesAndEarnedInWorkList(all)), exact(33554432));
}

void TestTotals::negativeRatesKeepTheirSign()
{
    setTaxGrossIncome(false);
    const QDate day(2004, 3, 2);
    _document->setWorkList({session(at(day, 9, 0), 120, 100), session(at(day, 13, 0), 60, -50),
                            lineItem(at(day, 15, 0), -20, true)});

    // Tax (120 - 20) x 5 % = 5; G = 120 x 1.05 - 20 - 20 x 5 % = 105.
    const ListFigures expected {.E = 150, .X = -20, .XT = -20, .A = 130, .Q = 30, .C = 120, .S = 3, .T = 5, .G = 105};
    QCOMPARE(describe(listFigures(*_document, _document->workList())), describe(expected));

    _document->setWorkList({session(at(day, 9, 0), 60, -100)});
    const ListFigures credit {.E = -100, .X = 0, .XT = 0, .A = -100, .Q = -20, .C = -80, .S = -2, .T = -4, .G = -84};
    QCOMPARE(describe(listFigures(*_document, _document->workList())), describe(credit));
}

void TestTotals::emptyListGivesZeros()
{
    setTaxGrossIncome(false);
    const WorkList none;

    QCOMPARE(describe(listFigures(*_document, none)), describe(ListFigures {}));
    QCOMPARE(describe(windowFigures(*_document)), describe(WindowFigures {}));
    QCOMPARE(exact(_document->hoursInWorkList(none)), exact(0));
    QCOMPARE(exact(_document->totalUnpaidInWorkList(none)), exact(0));
    QCOMPARE(exact(_document->amountPaidInWorkList(none)), exact(0));
    QCOMPARE(_document->sharesInWorkList(none), QStringLiteral("0.00"));
}

void TestTotals::dayBounds_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("end");

    const QDate day(2004, 3, 31);
    QTest::newRow("local time") << at(day, 14, 25, 17) << at(day, 0, 0) << at(day, 23, 59, 59);
    // 02:00 UTC is still 30 March in New York; the day is the date's own.
    QTest::newRow("UTC") << QDateTime(day, QTime(2, 0), Qt::UTC) << QDateTime(day, QTime(0, 0), Qt::UTC)
                         << QDateTime(day, QTime(23, 59, 59), Qt::UTC);
    QTest::newRow("other zone") << QDateTime(day, QTime(23, 30), QTimeZone("Asia/Tokyo"))
                                << QDateTime(day, QTime(0, 0), QTimeZone("Asia/Tokyo"))
                                << QDateTime(day, QTime(23, 59, 59), QTimeZone("Asia/Tokyo"));
    // Clocks there went from 23:59:59 on 3 November to 01:00 on 4 November.
    const QTimeZone saoPaulo("America/Sao_Paulo");
    const QDate clockChange(2018, 11, 4);
    QTest::newRow("midnight skipped") << QDateTime(clockChange, QTime(12, 0), saoPaulo)
                                      << QDateTime(clockChange, QTime(1, 0), saoPaulo)
                                      << QDateTime(clockChange, QTime(23, 59, 59), saoPaulo);
    QTest::newRow("milliseconds dropped") << at(day, 8, 0).addMSecs(500) << at(day, 0, 0) << at(day, 23, 59, 59);
}

void TestTotals::dayBounds()
{
    QFETCH(QDateTime, moment);
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, end);

    const QDateTime first = MyDocument::startOfDayOn(moment);
    const QDateTime last = MyDocument::endOfDayOn(moment);
    QVERIFY(first.isValid());
    QCOMPARE(first.toMSecsSinceEpoch(), start.toMSecsSinceEpoch());
    QCOMPARE(last.toMSecsSinceEpoch(), end.toMSecsSinceEpoch());
}

void TestTotals::workInDatesCoversWholeDays()
{
    const QDate march(2004, 3, 1);
    const QDate lastOfMarch(2004, 3, 31);
    // Out of date order, so the result shows it keeps the list's order.
    _document->setWorkList({named(at(lastOfMarch, 23, 59), "31 Mar 23:59"),
                            named(at(march.addDays(-1), 23, 59, 59), "29 Feb 23:59:59"),
                            named(at(march, 0, 0), "1 Mar 00:00"),
                            named(at(QDate(2004, 4, 1), 0, 0), "1 Apr 00:00"),
                            named(at(lastOfMarch, 23, 59, 59), "31 Mar 23:59:59"),
                            named(at(QDate(2004, 3, 15), 12, 0), "15 Mar 12:00")});
    Entry expense = lineItem(at(QDate(2004, 3, 10), 9, 0), 12, false);
    expense->setWorkDescription("expense 10 Mar");
    _document->insertInWorkList(expense);

    // The times of the two bounds do not matter, only their days.
    const WorkList march31 = _document->workInDates(at(march, 18, 0), at(lastOfMarch, 6, 0));
    QCOMPARE(names(march31), QStringList({"31 Mar 23:59", "1 Mar 00:00", "31 Mar 23:59:59", "15 Mar 12:00",
                                          "expense 10 Mar"}));

    const WorkList oneDay = _document->workInDates(at(lastOfMarch, 12, 0), at(lastOfMarch, 12, 0));
    QCOMPARE(names(oneDay), QStringList({"31 Mar 23:59", "31 Mar 23:59:59"}));
}

void TestTotals::workInDatesFromAfterTo()
{
    _document->setWorkList({named(at(QDate(2004, 4, 1), 12, 0), "1 Apr"), named(at(QDate(2004, 4, 2), 12, 0), "2 Apr")});

    QVERIFY(_document->workInDates(at(QDate(2004, 4, 2), 0, 0), at(QDate(2004, 4, 1), 23, 0)).isEmpty());
}

void TestTotals::workIsInThisMonth_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<bool>("inThisMonth");

    const QDate lastOfMarch(2004, 3, 31);
    const QDate firstOfApril(2004, 4, 1);
    QTest::newRow("last minute of the month") << at(lastOfMarch, 23, 59) << at(QDate(2004, 3, 1), 0, 0) << true;
    QTest::newRow("first minute of the next month") << at(firstOfApril, 0, 0) << at(lastOfMarch, 23, 59) << false;
    // Now is rounded up to the minute, so half a minute before midnight is already April.
    QTest::newRow("half a minute before, March entry") << at(lastOfMarch, 23, 59, 30) << at(lastOfMarch, 10, 0)
                                                       << false;
    QTest::newRow("half a minute before, April entry") << at(lastOfMarch, 23, 59, 30) << at(firstOfApril, 0, 0)
                                                       << true;
    QTest::newRow("same month, other year") << at(lastOfMarch, 12, 0) << at(QDate(2003, 3, 31), 12, 0) << false;
}

void TestTotals::workIsInThisMonth()
{
    QFETCH(QDateTime, now);
    QFETCH(QDateTime, start);
    QFETCH(bool, inThisMonth);
    Clock::setNow(now);
    auto work = PieceWork::init();
    work->setStartTime(start);

    QCOMPARE(_document->workIsInThisMonth(*work), inThisMonth);
}

QTEST_GUILESS_MAIN(TestTotals)
#include "tst_totals.moc"
