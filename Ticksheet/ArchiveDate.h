#pragma once

#include "TicksheetExport.h"

#include <QString>

#include <optional>

// The date text of the document file, "%A, %d %B %Y, %I:%M %p" in English and local time
// ("Friday, 05 March 2004, 02:07 PM"), to and from seconds since the epoch. Files hold thousands
// of these, so the usual text is read and written directly and the local offset of nearby times is
// remembered; anything unusual goes through the general calendar format.
class TICKSHEET_EXPORT ArchiveDate
{
public:
    static QString format(qint64 secondsSinceEpoch);
    // Nothing when the text is not a date of that form or names no real local time.
    static std::optional<qint64> parse(QStringView text);
};
