#include "MyDocument.h"

#include "Constants.h"
#include "Rounding.h"
#include "SettingsStore.h"

// The float and double steps below are deliberate: invoices printed by earlier versions must
// come out to the same cent, so every sum runs from the last entry to the first and each
// addition and product stays in single precision unless a cast says otherwise.

namespace {

enum class Selection { All, Paid, Unpaid };

// The entries of list(all): the whole work list, or its unpaid entries.
Selection listSelection(bool all)
{
    return all ? Selection::All : Selection::Unpaid;
}

// Visits the selected entries from the last to the first; selecting as it goes gives the
// figures of a sub-list without building it.
template <typename Visit>
void forEachFromLast(const WorkList& list, Selection selection, Visit visit)
{
    for (auto it = list.crbegin(); it != list.crend(); ++it) {
        const PieceWork* work = it->get();
        if (!work)
            continue;
        if (selection != Selection::All && work->paid() != (selection == Selection::Paid))
            continue;
        visit(*work);
    }
}

// The money sums of a list, all taken in one walk. Each sum sees the same additions in the
// same order as a walk of its own would.
struct ListSums {
    float sessionAmounts = 0; // sessions' amounts, before cents
    float expenses = 0;       // line items' prices
    float taxableExpenses = 0;
    float untaxedExpenses = 0;
    float amounts = 0;        // every entry's amount or price, before cents
};

ListSums sumsOf(const WorkList& list, Selection selection = Selection::All)
{
    ListSums sums;
    forEachFromLast(list, selection, [&sums](const PieceWork& work) {
        if (work.isLineItem()) {
            const float price = work.rate();
            sums.expenses += price;
            if (work.taxable())
                sums.taxableExpenses += price;
            else
                sums.untaxedExpenses += price;
            sums.amounts += price;
        } else {
            const float amount = work.amount(); // 0 while the session runs
            sums.sessionAmounts += amount;
            sums.amounts += amount;
        }
    });
    return sums;
}

// Each addition in double, the running sum kept as a float. A running session counts the hours
// it holds so far.
float hoursOf(const WorkList& list, Selection selection = Selection::All)
{
    float hours = 0;
    forEachFromLast(list, selection, [&hours](const PieceWork& work) {
        if (!work.isLineItem())
            hours = static_cast<float>(static_cast<double>(hours) + work.actualTimeOnJob());
    });
    return hours;
}

float earnedOf(const ListSums& sums)
{
    return centsOf(sums.sessionAmounts);
}

WorkList workWithPaidFlag(const WorkList& list, bool paid)
{
    WorkList selected;
    for (const auto& work : list) {
        if (work && work->paid() == paid)
            selected.append(work);
    }
    return selected;
}

QDateTime atTimeOfDay(const QDateTime& dateTime, QTime time)
{
    QDateTime moment = dateTime; // keeps its time zone
    moment.setTime(time);
    return moment;
}

} // namespace

// Selections ----------------------------------------------------------------------------------

WorkList MyDocument::paidWork(const WorkList& list) const
{
    return workWithPaidFlag(list, true);
}

WorkList MyDocument::unpaidWork(const WorkList& list) const
{
    return workWithPaidFlag(list, false);
}

WorkList MyDocument::applicableWork() const
{
    return unpaidWork(_workList);
}

WorkList MyDocument::list(bool all) const
{
    return all ? _workList : applicableWork();
}

WorkList MyDocument::workInDates(const QDateTime& from, const QDateTime& to) const
{
    WorkList selected;
    const QDateTime start = startOfDayOn(from);
    const QDateTime end = endOfDayOn(to);
    if (!start.isValid() || !end.isValid())
        return selected;
    const qint64 first = start.toMSecsSinceEpoch();
    const qint64 last = end.toMSecsSinceEpoch();
    for (const auto& work : _workList) {
        if (!work)
            continue;
        const QDateTime started = work->startTime();
        if (!started.isValid())
            continue;
        const qint64 moment = started.toMSecsSinceEpoch();
        if (moment >= first && moment <= last)
            selected.append(work);
    }
    return selected;
}

// Where the clocks skip midnight the day begins at the end of the skipped hour; the plain time
// would be invalid and select nothing.
QDateTime MyDocument::startOfDayOn(const QDateTime& dateTime)
{
    const QDateTime start = atTimeOfDay(dateTime, QTime(0, 0, 0));
    if (start.isValid() || !dateTime.isValid())
        return start;
    return dateTime.date().startOfDay(dateTime.timeZone());
}

QDateTime MyDocument::endOfDayOn(const QDateTime& dateTime)
{
    const QDateTime end = atTimeOfDay(dateTime, QTime(23, 59, 59));
    if (end.isValid() || !dateTime.isValid())
        return end;
    const QDateTime last = dateTime.date().endOfDay(dateTime.timeZone());
    return last.addMSecs(-last.time().msec());
}

// Totals over a list ----------------------------------------------------------------------------

float MyDocument::equityOn(float earned) const
{
    const float equity = static_cast<float>(static_cast<double>(earned) * (static_cast<double>(_equityPercent) / 100));
    return centsOf(equity);
}

// Tax on the cash, or on the gross earnings when the setting says so, plus taxable expenses.
float MyDocument::taxOn(float earned, float taxableExpenses) const
{
    if (!_taxable)
        return 0;
    const bool taxGross = SettingsStore::shared().boolForKey(TaxGrossIncome);
    const float base = taxGross ? earned : earned - equityOn(earned);
    const float taxed = (base + taxableExpenses) * _taxRate;
    return centsOf(static_cast<double>(taxed) / 100);
}

float MyDocument::hoursInWorkList(const WorkList& list) const
{
    return hoursOf(list);
}

float MyDocument::totalEarnedInWorkList(const WorkList& list) const
{
    return earnedOf(sumsOf(list));
}

float MyDocument::totalExpensesInWorkList(const WorkList& list) const
{
    return sumsOf(list).expenses;
}

float MyDocument::totalExpensesTaxableInList(const WorkList& list) const
{
    return sumsOf(list).taxableExpenses;
}

float MyDocument::totalExpensesAndEarnedInWorkList(const WorkList& list) const
{
    return centsOf(sumsOf(list).amounts);
}

float MyDocument::totalEquityInList(const WorkList& list) const
{
    return equityOn(totalEarnedInWorkList(list));
}

float MyDocument::totalCashInList(const WorkList& list) const
{
    const float earned = totalEarnedInWorkList(list);
    return earned - equityOn(earned);
}

float MyDocument::totalSharesInWorkList(const WorkList& list) const
{
    if (_shareCost == 0)
        return 0;
    const float equity = totalEarnedInWorkList(list) * _equityPercent;
    return static_cast<float>(static_cast<double>(equity) / 100 / static_cast<double>(_shareCost));
}

float MyDocument::totalTaxedInWorkList(const WorkList& list) const
{
    const ListSums sums = sumsOf(list);
    return taxOn(earnedOf(sums), sums.taxableExpenses);
}

// Cash plus expenses plus tax on both; always taxes the cash and leaves the equity out.
float MyDocument::totalGrandTotalInWorkList(const WorkList& list) const
{
    const ListSums sums = sumsOf(list);
    const float earned = earnedOf(sums);
    const float cash = earned - equityOn(earned);
    const float rate = _taxable ? _taxRate : 0;
    const float taxedExpenses = sums.taxableExpenses * rate;
    return static_cast<float>(static_cast<double>(cash) * (1 + static_cast<double>(rate) / 100)
                              + static_cast<double>(sums.expenses) + static_cast<double>(taxedExpenses) / 100);
}

// Cash, expenses and tax of the unpaid entries.
float MyDocument::unpaidOn(float earned, float expenses, float taxableExpenses) const
{
    const float cash = earned - equityOn(earned);
    return cash + expenses + taxOn(earned, taxableExpenses);
}

// The paid earnings are not rounded to cents before the equity is taken from them.
float MyDocument::paidOn(float expenses, float earnings, float tax) const
{
    const float equity = centsOf(static_cast<double>(earnings * _equityPercent) / 100);
    float amount = (expenses + earnings) - equity;
    if (_taxable)
        amount += tax;
    return centsOf(amount);
}

float MyDocument::totalUnpaidInWorkList(const WorkList& list) const
{
    const ListSums unpaid = sumsOf(list, Selection::Unpaid);
    return unpaidOn(earnedOf(unpaid), unpaid.expenses, unpaid.taxableExpenses);
}

// The tax added is the tax of the whole list given, paid or not.
float MyDocument::amountPaidInWorkList(const WorkList& list) const
{
    const ListSums paid = sumsOf(list, Selection::Paid);
    return paidOn(paid.expenses, paid.sessionAmounts, totalTaxedInWorkList(list));
}

QString MyDocument::sharesInWorkList(const WorkList& list) const
{
    return QString::asprintf("%2.2f", static_cast<double>(totalSharesInWorkList(list)));
}

// Document totals -------------------------------------------------------------------------------

// The client window asks for these after every change, so each walks the work list once and
// selects entries as it goes; the results equal the formulas over list(all).

float MyDocument::total(bool all) const
{
    return centsOf(sumsOf(_workList, listSelection(all)).amounts);
}

float MyDocument::taxableAmount(bool all) const
{
    const ListSums sums = sumsOf(_workList, listSelection(all));
    return taxOn(earnedOf(sums), sums.taxableExpenses);
}

float MyDocument::equityEarned(bool all) const
{
    return equityOn(earnedOf(sumsOf(_workList, listSelection(all))));
}

// Unlike the cash of a list, this includes the expenses.
float MyDocument::cashEarned(bool all) const
{
    const ListSums sums = sumsOf(_workList, listSelection(all));
    return centsOf(sums.amounts) - equityOn(earnedOf(sums));
}

float MyDocument::grandTotal(bool /*all*/) const
{
    const ListSums sums = sumsOf(_workList);
    const float total = centsOf(sums.amounts);
    const float tax = taxOn(earnedOf(sums), sums.taxableExpenses);
    return centsOf(total + tax);
}

// U of the unpaid entries, whose unpaid part is themselves.
float MyDocument::cashOwed(bool /*all*/) const
{
    const ListSums unpaid = sumsOf(_workList, Selection::Unpaid);
    return unpaidOn(earnedOf(unpaid), unpaid.expenses, unpaid.taxableExpenses);
}

float MyDocument::sharesEarned(bool all) const
{
    if (_shareCost == 0)
        return 0;
    return equityEarned(all) / _shareCost;
}

// P of the paid entries: their paid part is themselves, so the tax is theirs too.
float MyDocument::amountPaid() const
{
    const ListSums paid = sumsOf(_workList, Selection::Paid);
    return paidOn(paid.expenses, paid.sessionAmounts, taxOn(earnedOf(paid), paid.taxableExpenses));
}

float MyDocument::total() const
{
    return total(true);
}

float MyDocument::totalOwed(bool all) const
{
    return total(all);
}

float MyDocument::workOnlyTotal(bool all) const
{
    return earnedOf(sumsOf(_workList, listSelection(all)));
}

float MyDocument::totalHours(bool all) const
{
    return hoursOf(_workList, listSelection(all));
}

float MyDocument::totalExpenses(bool all) const
{
    return sumsOf(_workList, listSelection(all)).expenses;
}

float MyDocument::untaxableSubtotal(bool all) const
{
    return sumsOf(_workList, listSelection(all)).untaxedExpenses;
}

float MyDocument::cashEarnedPlusTax(bool all) const
{
    return cashEarned(all) + taxableAmount(all);
}

float MyDocument::twoPlaceRoundedFloat(float value)
{
    return centsOf(value);
}

bool MyDocument::workIsInThisMonth(const PieceWork& work) const
{
    const QDate today = PieceWork::nowToNearestMinute(true).date();
    const QDate started = work.startTime().date();
    return started.isValid() && started.year() == today.year() && started.month() == today.month();
}

QString MyDocument::expensesInWorkList(const WorkList& list) const
{
    return formatMoney(totalExpensesInWorkList(list));
}

QString MyDocument::earnedInWorkList(const WorkList& list) const
{
    return formatMoney(totalEarnedInWorkList(list));
}

QString MyDocument::cashInWorkList(const WorkList& list) const
{
    return formatMoney(totalCashInList(list));
}

QString MyDocument::taxedInWorkList(const WorkList& list) const
{
    return formatMoney(totalTaxedInWorkList(list));
}

QString MyDocument::grandTotalInWorkList(const WorkList& list) const
{
    return formatMoney(totalGrandTotalInWorkList(list));
}

QString MyDocument::unpaidInWorkList(const WorkList& list) const
{
    return formatMoney(totalUnpaidInWorkList(list));
}
