#pragma once

#include "PlatformExport.h"

#include <QDateTime>
#include <QString>

// strftime-style formatting and parsing of local date-times.
// Directives: %a %A %b %B %d %e %m %y %Y %H %I %M %S %p %X %%.
// %e is the day of the month without leading zero and without fill.
// %X is the time of day in the locale's short form ("2:07 PM", "14:07"), or "14:07:00" with English
// names; it is written only, never read.
class PLATFORM_EXPORT CalendarFormat
{
public:
    enum class Names {
        English, // fixed English weekday/month names and "AM"/"PM" (file formats)
        Locale   // the user's locale names (display)
    };

    static QString format(const QDateTime& dateTime, const QString& pattern, Names names = Names::Locale);

    // Reads text written in the pattern. Names match case-insensitively; numbers may have one or
    // two digits; surrounding white space is ignored. An invalid QDateTime when the text does not
    // fit the pattern or names no real local time. Fields the pattern lacks take these defaults:
    // date 1 January 2001, time 00:00:00.
    static QDateTime parse(const QString& text, const QString& pattern, Names names = Names::Locale);
};
