#include "MyDocument.h"

// Placeholder bodies, to be replaced.

WorkList MyDocument::paidWork(const WorkList& list) const
{
    return {};
}

WorkList MyDocument::unpaidWork(const WorkList& list) const
{
    return {};
}

WorkList MyDocument::applicableWork() const
{
    return {};
}

WorkList MyDocument::list(bool all) const
{
    return {};
}

WorkList MyDocument::workInDates(const QDateTime& from, const QDateTime& to) const
{
    return {};
}

QDateTime MyDocument::startOfDayOn(const QDateTime& dateTime)
{
    return {};
}

QDateTime MyDocument::endOfDayOn(const QDateTime& dateTime)
{
    return {};
}

float MyDocument::hoursInWorkList(const WorkList& list) const
{
    return 0;
}

float MyDocument::totalEarnedInWorkList(const WorkList& list) const
{
    return 0;
}

float MyDocument::totalExpensesInWorkList(const WorkList& list) const
{
    return 0;
}

float MyDocument::totalExpensesTaxableInList(const WorkList& list) const
{
    return 0;
}

float MyDocument::totalExpensesAndEarnedInWorkList(const WorkList& list) const
{
    return 0;
}

float MyDocument::totalEquityInList(const WorkList& list) const
{
    return 0;
}

float MyDocument::totalCashInList(const WorkList& list) const
{
    return 0;
}

float MyDocument::totalSharesInWorkList(const WorkList& list) const
{
    return 0;
}

float MyDocument::totalTaxedInWorkList(const WorkList& list) const
{
    return 0;
}

float MyDocument::totalGrandTotalInWorkList(const WorkList& list) const
{
    return 0;
}

float MyDocument::totalUnpaidInWorkList(const WorkList& list) const
{
    return 0;
}

float MyDocument::amountPaidInWorkList(const WorkList& list) const
{
    return 0;
}

QString MyDocument::sharesInWorkList(const WorkList& list) const
{
    return {};
}

float MyDocument::total(bool all) const
{
    return 0;
}

float MyDocument::taxableAmount(bool all) const
{
    return 0;
}

float MyDocument::equityEarned(bool all) const
{
    return 0;
}

float MyDocument::cashEarned(bool all) const
{
    return 0;
}

float MyDocument::grandTotal(bool all) const
{
    return 0;
}

float MyDocument::cashOwed(bool all) const
{
    return 0;
}

float MyDocument::sharesEarned(bool all) const
{
    return 0;
}

float MyDocument::amountPaid() const
{
    return 0;
}

float MyDocument::total() const
{
    return 0;
}

float MyDocument::totalOwed(bool all) const
{
    return 0;
}

float MyDocument::workOnlyTotal(bool all) const
{
    return 0;
}

float MyDocument::totalHours(bool all) const
{
    return 0;
}

float MyDocument::totalExpenses(bool all) const
{
    return 0;
}

float MyDocument::untaxableSubtotal(bool all) const
{
    return 0;
}

float MyDocument::cashEarnedPlusTax(bool all) const
{
    return 0;
}

float MyDocument::twoPlaceRoundedFloat(float value)
{
    return 0;
}

bool MyDocument::workIsInThisMonth(const PieceWork& work) const
{
    return false;
}

QString MyDocument::expensesInWorkList(const WorkList& list) const
{
    return {};
}

QString MyDocument::earnedInWorkList(const WorkList& list) const
{
    return {};
}

QString MyDocument::cashInWorkList(const WorkList& list) const
{
    return {};
}

QString MyDocument::taxedInWorkList(const WorkList& list) const
{
    return {};
}

QString MyDocument::grandTotalInWorkList(const WorkList& list) const
{
    return {};
}

QString MyDocument::unpaidInWorkList(const WorkList& list) const
{
    return {};
}
