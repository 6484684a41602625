#include "TypedTimeReader.h"

#include "CalendarFormat.h"
#include "Constants.h"
#include "Localized.h"
#include "SettingsStore.h"

QString TypedTimeReader::datePattern()
{
    return SettingsStore::shared().boolForKey(EuroDates) ? DATE_FORMAT_EURO : DATE_FORMAT;
}

QString TypedTimeReader::timePattern()
{
    return SettingsStore::shared().boolForKey(TwentyFourHour) ? HOUR_FORMAT_EURO : HOUR_FORMAT;
}

bool TypedTimeReader::meansNow(const QVariant& text)
{
    const QString trimmed = text.toString().trimmed();
    return trimmed.isEmpty() || trimmed.compare(localized("NOW"), Qt::CaseInsensitive) == 0;
}

std::optional<QDateTime> TypedTimeReader::timeOnDay(const QString& dayText, const QString& time)
{
    // The day and the time are read as one text, so the result can only fall on that day; the
    // four-digit year makes the time start right after it.
    const QString joined = dayText + time;
    const QString pattern = datePattern() + timePattern();
    QDateTime result = CalendarFormat::parse(joined, pattern, CalendarFormat::Names::Locale);
    if (!result.isValid()) // "AM" and "PM" also where the locale names them otherwise
        result = CalendarFormat::parse(joined, pattern, CalendarFormat::Names::English);
    if (!result.isValid())
        return std::nullopt;
    return result;
}
