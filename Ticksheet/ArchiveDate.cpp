#include "ArchiveDate.h"

#include "CalendarFormat.h"

#include <QDate>
#include <QDateTime>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

const QString Pattern = QStringLiteral("%A, %d %B %Y, %I:%M %p");

constexpr const char* Weekdays[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
constexpr const char* Months[] = {"January", "February", "March", "April", "May", "June", "July",
                                  "August", "September", "October", "November", "December"};

constexpr qint64 SecondsPerDay = 86400;
constexpr qint64 JulianDayOfEpoch = 2440588; // 1 January 1970

qint64 floorDivide(qint64 value, qint64 divisor)
{
    return value / divisor - (value % divisor < 0 ? 1 : 0);
}

// The offset of the local time zone is constant for months at a time, yet every conversion of a
// local date-time asks the C library, which may look at the zone file each time. This remembers
// one stretch of time with a single offset and answers from it; a change of offset near a time,
// a change of TZ or a second gone by sends the question back to the library.
class LocalOffsets
{
public:
    // Local wall-clock seconds (counted as if in UTC) of an instant.
    qint64 toLocal(qint64 utc)
    {
        if (!covers(utc, 0))
            refill(utc);
        if (covers(utc, 0))
            return utc + _offset;
        return utc + offsetAt(utc);
    }

    // The instant of local wall-clock seconds, when no change of offset is near enough to make it
    // ambiguous or missing; nothing otherwise.
    std::optional<qint64> toUtc(qint64 local)
    {
        if (!covers(local - _offset, Margin))
            refill(local - offsetAt(local));
        if (covers(local - _offset, Margin))
            return local - _offset;
        return std::nullopt;
    }

private:
    static constexpr qint64 HalfWindow = 3 * SecondsPerDay;
    static constexpr qint64 Margin = 6 * 3600; // more than any change of offset

    // What Qt's local time asks too, once instead of twice.
    static int offsetAt(qint64 utc)
    {
        const time_t time = static_cast<time_t>(utc);
        tm fields {};
        if (!localtime_r(&time, &fields))
            return QDateTime::fromSecsSinceEpoch(utc).offsetFromUtc();
        return static_cast<int>(fields.tm_gmtoff);
    }

    bool covers(qint64 utc, qint64 margin) const
    {
        return _valid && utc >= _from + margin && utc < _to - margin && std::chrono::steady_clock::now() < _expires
            && _zone == zone();
    }

    static const char* zone()
    {
        const char* tz = std::getenv("TZ");
        return tz ? tz : "";
    }

    // No zone changes its offset twice within six days, so equal offsets at both ends of the
    // window mean one offset throughout.
    void refill(qint64 utc)
    {
        _valid = false;
        const int offset = offsetAt(utc);
        if (offsetAt(utc - HalfWindow) != offset || offsetAt(utc + HalfWindow) != offset)
            return;
        _from = utc - HalfWindow;
        _to = utc + HalfWindow;
        _offset = offset;
        _zone = zone();
        _expires = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        _valid = true;
    }

    bool _valid = false;
    qint64 _from = 0;
    qint64 _to = 0;
    int _offset = 0;
    std::string _zone; // the TZ the offsets belong to
    std::chrono::steady_clock::time_point _expires;
};

LocalOffsets& localOffsets()
{
    thread_local LocalOffsets offsets;
    return offsets;
}

// Reads the text exactly as it is written ("Friday, 05 March 2004, 02:07 PM") into local
// wall-clock seconds; nothing for any other spelling.
class CanonicalReader
{
public:
    explicit CanonicalReader(QStringView text)
        : _text(text)
    {
    }

    std::optional<qint64> localSeconds()
    {
        int day = 0, month = 0, year = 0, hour = 0, minute = 0, pm = 0;
        if (oneOf(Weekdays, 7) < 0 || !literal(", ") || !digits(2, day) || !literal(" ")
            || (month = oneOf(Months, 12) + 1) == 0 || !literal(" ") || !digits(4, year) || !literal(", ")
            || !digits(2, hour) || !literal(":") || !digits(2, minute) || !literal(" ")
            || (pm = oneOf(Meridiems, 2)) < 0 || _position != _text.size())
            return std::nullopt;
        const QDate date(year, month, day);
        if (!date.isValid() || hour < 1 || hour > 12 || minute > 59)
            return std::nullopt;
        const qint64 hour24 = hour % 12 + (pm == 1 ? 12 : 0);
        return (date.toJulianDay() - JulianDayOfEpoch) * SecondsPerDay + hour24 * 3600 + minute * 60;
    }

private:
    static constexpr const char* Meridiems[] = {"AM", "PM"};

    bool literal(const char* expected)
    {
        const QLatin1String text(expected);
        if (!_text.sliced(_position).startsWith(text))
            return false;
        _position += text.size();
        return true;
    }

    int oneOf(const char* const* names, int count)
    {
        for (int index = 0; index < count; ++index) {
            if (literal(names[index]))
                return index;
        }
        return -1;
    }

    bool digits(int count, int& value)
    {
        if (_text.size() - _position < count)
            return false;
        value = 0;
        for (int i = 0; i < count; ++i) {
            const char16_t c = _text[_position + i].unicode();
            if (c < u'0' || c > u'9')
                return false;
            value = value * 10 + (c - u'0');
        }
        _position += count;
        return true;
    }

    QStringView _text;
    qsizetype _position = 0;
};

} // namespace

QString ArchiveDate::format(qint64 secondsSinceEpoch)
{
    const qint64 local = localOffsets().toLocal(secondsSinceEpoch);
    const qint64 days = floorDivide(local, SecondsPerDay);
    const qint64 secondsOfDay = local - days * SecondsPerDay;
    const QDate date = QDate::fromJulianDay(days + JulianDayOfEpoch);
    const int hour = static_cast<int>(secondsOfDay / 3600);
    const int minute = static_cast<int>(secondsOfDay / 60 % 60);
    char text[96];
    std::snprintf(text, sizeof text, "%s, %02d %s %d, %02d:%02d %s", Weekdays[date.dayOfWeek() - 1], date.day(),
                  Months[date.month() - 1], date.year(), hour % 12 == 0 ? 12 : hour % 12, minute,
                  hour >= 12 ? "PM" : "AM");
    return QString::fromLatin1(text);
}

std::optional<qint64> ArchiveDate::parse(QStringView text)
{
    if (const auto local = CanonicalReader(text).localSeconds()) {
        if (const auto utc = localOffsets().toUtc(*local))
            return utc;
    }
    const QDateTime dateTime = CalendarFormat::parse(text.toString(), Pattern, CalendarFormat::Names::English);
    if (!dateTime.isValid())
        return std::nullopt;
    return dateTime.toSecsSinceEpoch();
}
