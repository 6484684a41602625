#pragma once

#include <QDateTime>
#include <QObject>

#include <optional>

// The modal prompt for one point in time (month, day, year, hour, minute, AM/PM).
class DateTimeAskerInterface
{
public:
    virtual ~DateTimeAskerInterface() = default;

    // Shows the date and waits for the user. Confirmed: the date read from the fields, or nothing
    // when they do not form a date. Cancelled: the date it was opened with.
    virtual std::optional<QDateTime> calendarDateFromModal(const QDateTime& date) = 0;
};

#define DateTimeAskerInterface_iid "com.velmor.Tallywick.DateTimeAsker/1.0"
Q_DECLARE_INTERFACE(DateTimeAskerInterface, DateTimeAskerInterface_iid)
