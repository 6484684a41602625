#include "CalendarFormat.h"

#include <QLocale>
#include <QStringList>

namespace {

const QStringList& englishWeekdays()
{
    static const QStringList names {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    return names;
}

const QStringList& englishMonths()
{
    static const QStringList names {"January", "February", "March", "April", "May", "June", "July",
                                    "August", "September", "October", "November", "December"};
    return names;
}

QString weekdayName(int day, bool abbreviated, CalendarFormat::Names names)
{
    if (names == CalendarFormat::Names::English) {
        const QString& full = englishWeekdays().at(day - 1);
        return abbreviated ? full.left(3) : full;
    }
    return QLocale::system().dayName(day, abbreviated ? QLocale::ShortFormat : QLocale::LongFormat);
}

QString monthName(int month, bool abbreviated, CalendarFormat::Names names)
{
    if (names == CalendarFormat::Names::English) {
        const QString& full = englishMonths().at(month - 1);
        return abbreviated ? full.left(3) : full;
    }
    return QLocale::system().standaloneMonthName(month, abbreviated ? QLocale::ShortFormat : QLocale::LongFormat);
}

QString meridiem(bool pm, CalendarFormat::Names names)
{
    if (names == CalendarFormat::Names::English)
        return pm ? QStringLiteral("PM") : QStringLiteral("AM");
    const QLocale locale = QLocale::system();
    const QString text = pm ? locale.pmText() : locale.amText();
    if (!text.isEmpty())
        return text;
    return pm ? QStringLiteral("PM") : QStringLiteral("AM");
}

// The short form: the long one adds a time-zone name that spreadsheets do not read.
QString timeOfDay(const QTime& time, CalendarFormat::Names names)
{
    const QLocale locale = names == CalendarFormat::Names::English ? QLocale::c() : QLocale::system();
    return locale.toString(time, QLocale::ShortFormat);
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// Reads text one directive at a time.
class Reader
{
public:
    explicit Reader(const QString& text) : _text(text) {}

    bool atEnd() const { return _pos >= _text.size(); }
    void skipSpaces()
    {
        while (!atEnd() && _text.at(_pos).isSpace())
            ++_pos;
    }

    bool literal(QChar expected)
    {
        if (expected.isSpace()) {
            skipSpaces();
            return true;
        }
        if (atEnd() || _text.at(_pos) != expected)
            return false;
        ++_pos;
        return true;
    }

    bool number(int minDigits, int maxDigits, int& value)
    {
        skipSpaces();
        int digits = 0;
        value = 0;
        while (!atEnd() && digits < maxDigits && _text.at(_pos).isDigit()) {
            value = value * 10 + _text.at(_pos).digitValue();
            ++_pos;
            ++digits;
        }
        return digits >= minDigits;
    }

    // Matches the longest of the candidates; answers its index or -1.
    int oneOf(const QStringList& candidates)
    {
        skipSpaces();
        int best = -1;
        qsizetype bestLength = 0;
        for (int i = 0; i < candidates.size(); ++i) {
            const QString& candidate = candidates.at(i);
            if (candidate.size() > bestLength
                && QStringView(_text).mid(_pos).startsWith(candidate, Qt::CaseInsensitive)) {
                best = i;
                bestLength = candidate.size();
            }
        }
        _pos += bestLength;
        return best;
    }

private:
    const QString& _text;
    qsizetype _pos = 0;
};

struct Fields {
    int year = 2001;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int meridiem = -1; // -1 none, 0 AM, 1 PM
    bool twelveHour = false;
};

bool readDirective(QChar directive, Reader& reader, Fields& fields, CalendarFormat::Names names)
{
    switch (directive.unicode()) {
    case 'a':
    case 'A': {
        QStringList candidates;
        for (int day = 1; day <= 7; ++day)
            candidates << weekdayName(day, directive == QLatin1Char('a'), names);
        return reader.oneOf(candidates) >= 0; // the weekday is not checked against the date
    }
    case 'b':
    case 'B': {
        QStringList candidates;
        for (int month = 1; month <= 12; ++month)
            candidates << monthName(month, directive == QLatin1Char('b'), names);
        const int index = reader.oneOf(candidates);
        fields.month = index + 1;
        return index >= 0;
    }
    case 'd':
    case 'e':
        return reader.number(1, 2, fields.day);
    case 'm':
        return reader.number(1, 2, fields.month);
    case 'y':
        if (!reader.number(2, 2, fields.year))
            return false;
        fields.year += fields.year < 70 ? 2000 : 1900;
        return true;
    case 'Y':
        return reader.number(4, 4, fields.year);
    case 'H':
        return reader.number(1, 2, fields.hour);
    case 'I':
        fields.twelveHour = true;
        return reader.number(1, 2, fields.hour);
    case 'M':
        return reader.number(1, 2, fields.minute);
    case 'S':
        return reader.number(1, 2, fields.second);
    case 'p': {
        const int index = reader.oneOf({meridiem(false, names), meridiem(true, names)});
        fields.meridiem = index;
        return index >= 0;
    }
    case '%':
        return reader.literal(QLatin1Char('%'));
    default:
        return false;
    }
}

QDateTime assemble(const Fields& fields)
{
    int hour = fields.hour;
    if (fields.twelveHour) {
        if (hour < 1 || hour > 12)
            return {};
        if (fields.meridiem >= 0)
            hour = hour % 12 + (fields.meridiem == 1 ? 12 : 0);
    } else if (fields.meridiem == 1 && hour < 12) {
        hour += 12;
    }
    const QDate date(fields.year, fields.month, fields.day);
    const QTime time(hour, fields.minute, fields.second);
    if (!date.isValid() || !time.isValid())
        return {};
    QDateTime result(date, time);
    return result.isValid() ? result : QDateTime();
}

} // namespace

QString CalendarFormat::format(const QDateTime& dateTime, const QString& pattern, Names names)
{
    if (!dateTime.isValid())
        return {};
    const QDateTime local = dateTime.toLocalTime();
    const QDate date = local.date();
    const QTime time = local.time();
    QString result;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c != QLatin1Char('%') || i + 1 == pattern.size()) {
            result += c;
            continue;
        }
        const QChar directive = pattern.at(++i);
        switch (directive.unicode()) {
        case 'a': result += weekdayName(date.dayOfWeek(), true, names); break;
        case 'A': result += weekdayName(date.dayOfWeek(), false, names); break;
        case 'b': result += monthName(date.month(), true, names); break;
        case 'B': result += monthName(date.month(), false, names); break;
        case 'd': result += twoDigits(date.day()); break;
        case 'e': result += QString::number(date.day()); break;
        case 'm': result += twoDigits(date.month()); break;
        case 'y': result += twoDigits(date.year() % 100); break;
        case 'Y': result += QString::number(date.year()); break;
        case 'H': result += twoDigits(time.hour()); break;
        case 'I': result += twoDigits(time.hour() % 12 == 0 ? 12 : time.hour() % 12); break;
        case 'M': result += twoDigits(time.minute()); break;
        case 'S': result += twoDigits(time.second()); break;
        case 'p': result += meridiem(time.hour() >= 12, names); break;
        case 'X': result += timeOfDay(time, names); break;
        case '%': result += QLatin1Char('%'); break;
        default: result += QLatin1Char('%'); result += directive; break;
        }
    }
    return result;
}

QDateTime CalendarFormat::parse(const QString& text, const QString& pattern, Names names)
{
    Reader reader(text);
    Fields fields;
    reader.skipSpaces();
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('%') && i + 1 < pattern.size()) {
            if (!readDirective(pattern.at(++i), reader, fields, names))
                return {};
        } else if (!reader.literal(c)) {
            return {};
        }
    }
    reader.skipSpaces();
    if (!reader.atEnd())
        return {};
    return assemble(fields);
}
