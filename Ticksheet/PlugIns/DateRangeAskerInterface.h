#pragma once

#include <QDate>
#include <QList>
#include <QObject>

#include <optional>

// The modal prompt for a span of dates (start first, both days included).
class DateRangeAskerInterface
{
public:
    virtual ~DateRangeAskerInterface() = default;

    // Shows the proposed start and end and waits for the user. Cancelled: nothing. Confirmed: the
    // readable dates in order, stopping at the first unreadable one (so one or none when a field
    // does not read); use the answer only when it holds two dates.
    virtual std::optional<QList<QDate>> datesForDates(const QList<QDate>& proposal) = 0;
};

#define DateRangeAskerInterface_iid "com.velmor.Tallywick.DateRangeAsker/1.0"
Q_DECLARE_INTERFACE(DateRangeAskerInterface, DateRangeAskerInterface_iid)
