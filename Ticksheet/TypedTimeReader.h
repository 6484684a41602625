#pragma once

#include "TicksheetExport.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <optional>

// Reads the times users type into the start and end cells of the work table, in the date and
// time patterns the settings choose at each call.
class TICKSHEET_EXPORT TypedTimeReader
{
public:
    // "%m/%e/%Y", or "%e.%m.%Y" with European dates.
    static QString datePattern();
    // "%I:%M %p", or "%H:%M" with the 24-hour clock.
    static QString timePattern();

    // Absent text, blanks only, or the cell's "NOW" item (in any letter case).
    static bool meansNow(const QVariant& text);

    // `time` as a time of day on the day that `dayText` shows in the date pattern; nothing when
    // `time` is no time in the time pattern (a full date, "Set...", a 24-hour time on a 12-hour clock).
    static std::optional<QDateTime> timeOnDay(const QString& dayText, const QString& time);
};
