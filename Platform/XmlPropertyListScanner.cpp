#include "XmlPropertyListScanner.h"

#include "PropertyList.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// libplist decodes character references with one move of the rest of the text each, so a text
// part costs (references x length); parts of at most this many references keep reading linear.
constexpr int ReferencesPerPart = 32;
// An empty comment ends a text part for libplist without changing the text.
constexpr QByteArrayView PartBreak = "<!---->";

constexpr qint64 SecondsFrom1970To2001 = 978307200;

enum class Check { Valid, Invalid, OutOfRange };

const char* const TooDeep = "nesting deeper than 512 levels";
const char* const TooManyKeys = "dictionary with more than 65536 keys";
static_assert(PropertyList::MaximumDepth == 512 && XmlPropertyListScanner::MaximumDictionaryKeys == 65536,
              "the messages name the limits");

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

QByteArrayView withoutLeadingSpace(QByteArrayView text)
{
    while (!text.isEmpty() && isXmlSpace(text.front()))
        text = text.sliced(1);
    return text;
}

QByteArrayView trimmed(QByteArrayView text)
{
    text = withoutLeadingSpace(text);
    while (!text.isEmpty() && isXmlSpace(text.back()))
        text.chop(1);
    return text;
}

int digitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

// Decimal or 0x hexadecimal, optionally signed, within qint64. A decimal with a leading zero is
// refused: libplist would read it as octal.
Check checkInteger(QByteArrayView text)
{
    text = trimmed(text);
    bool negative = false;
    if (!text.isEmpty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text = text.sliced(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text = text.sliced(2);
    } else if (text.size() > 1 && text[0] == '0') {
        return Check::Invalid;
    }
    if (text.isEmpty())
        return Check::Invalid;
    const quint64 limit = quint64(std::numeric_limits<qint64>::max()) + (negative ? 1 : 0);
    quint64 value = 0;
    for (const char c : text) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            return Check::Invalid;
        if (value > (limit - quint64(digit)) / quint64(base))
            return Check::OutOfRange;
        value = value * quint64(base) + quint64(digit);
    }
    return Check::Valid;
}

// What the C library reads in the C locale, without hexadecimal forms; too large reads as infinity.
Check checkReal(QByteArrayView text)
{
    text = trimmed(text);
    if (!text.isEmpty() && text.front() == '+')
        text = text.sliced(1);
    if (text.isEmpty() || text.front() == '+' || (text.front() == '-' && text.size() > 1 && text[1] == '+'))
        return Check::Invalid;
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    const bool readAll = result.ptr == text.data() + text.size();
    return readAll && (result.ec == std::errc() || result.ec == std::errc::result_out_of_range) ? Check::Valid
                                                                                                : Check::Invalid;
}

qint64 daysFrom1970(qint64 year, int month, int day)
{
    // Days from civil, proleptic Gregorian calendar.
    year -= month <= 2 ? 1 : 0;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

bool readDigits(QByteArrayView text, qsizetype from, int count, int& value)
{
    value = 0;
    for (qsizetype index = from; index < from + count; ++index) {
        if (text[index] < '0' || text[index] > '9')
            return false;
        value = value * 10 + (text[index] - '0');
    }
    return true;
}

// "yyyy-MM-ddTHH:mm:ssZ", and no later than libplist can hand over: 32-bit seconds from 2001.
Check checkDate(QByteArrayView text)
{
    const QByteArrayView content = withoutLeadingSpace(text);
    if (content.size() < 11 || content.size() >= 32)
        return Check::Invalid; // libplist ignores such a text
    const QByteArrayView date = trimmed(content);
    if (date.size() != 20 || date[4] != '-' || date[7] != '-' || date[10] != 'T' || date[13] != ':'
        || date[16] != ':' || date[19] != 'Z')
        return Check::Invalid;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!readDigits(date, 0, 4, year) || !readDigits(date, 5, 2, month) || !readDigits(date, 8, 2, day)
        || !readDigits(date, 11, 2, hour) || !readDigits(date, 14, 2, minute) || !readDigits(date, 17, 2, second))
        return Check::Invalid;
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 || minute > 59
        || second > 59)
        return Check::Invalid;
    const qint64 seconds = daysFrom1970(year, month, day) * 86400 + hour * 3600 + minute * 60 + second
        - SecondsFrom1970To2001;
    const bool fits = seconds >= std::numeric_limits<qint32>::min() && seconds <= std::numeric_limits<qint32>::max();
    return fits ? Check::Valid : Check::OutOfRange;
}

const char* findQuote(const char* from, const char* end)
{
    return static_cast<const char*>(std::memchr(from, '"', end - from));
}

} // namespace

XmlPropertyListScanner::XmlPropertyListScanner(QByteArrayView xml)
    : m_xml(xml)
    , m_position(xml.data())
    , m_end(xml.data() + xml.size())
{
}

bool XmlPropertyListScanner::scan()
{
    while (const auto* open = static_cast<const char*>(std::memchr(m_position, '<', m_end - m_position))) {
        m_position = open;
        if (!scanMarkup())
            return false;
    }
    m_position = m_end;
    return m_open.empty() || failAtEnd();
}

QByteArray XmlPropertyListScanner::textWithSplits() const
{
    QByteArray text;
    text.reserve(m_xml.size() + qsizetype(m_splits.size()) * PartBreak.size());
    qsizetype copied = 0;
    for (const qsizetype split : m_splits) {
        text.append(m_xml.sliced(copied, split - copied)).append(PartBreak);
        copied = split;
    }
    text.append(m_xml.sliced(copied));
    return text;
}

// At a '<' outside any text: a processing instruction, comment, document type or tag, each skipped
// the way libplist skips it (quoted strings hide terminators except in comments).
bool XmlPropertyListScanner::scanMarkup()
{
    const QByteArrayView rest(m_position, m_end);
    if (rest.startsWith("<?"))
        return skipPast("?>", true);
    if (rest.startsWith("<!--")) {
        m_position += 4;
        return skipPast("-->", false);
    }
    if (rest.startsWith("<!DOCTYPE"))
        return skipDoctype();
    if (rest.startsWith("<!"))
        return fail("malformed XML");

    Tag tag;
    if (!readTag(tag))
        return false;
    if (tag.closing)
        return closeElement(elementNamed(tag.name.sliced(1)));
    const Element element = elementNamed(tag.name);
    if (!openElement(element, tag.empty))
        return false;
    if (tag.empty)
        return true;
    switch (element) {
    case Element::Key:
    case Element::String:
    case Element::Data:
    case Element::True:
    case Element::False:
        return scanTextParts(element, tag.name);
    case Element::Integer:
    case Element::Real:
    case Element::Date:
        return scanNumberOrDate(element, tag.name);
    default:
        return true;
    }
}

// A tag as libplist reads it: the name runs to white space or '>', a '/' before '>' marks it empty.
bool XmlPropertyListScanner::readTag(Tag& tag)
{
    const char* nameStart = m_position + 1;
    const char* nameEnd = nameStart;
    while (nameEnd != m_end && !isXmlSpace(*nameEnd) && *nameEnd != '<' && *nameEnd != '>')
        ++nameEnd;
    if (nameEnd == m_end)
        return failAtEnd();
    m_position = nameEnd;
    if (!skipQuotedUntil('<', '>'))
        return false;
    if (*m_position == '<')
        return fail("malformed XML");
    tag.empty = m_position[-1] == '/';
    tag.name = QByteArrayView(nameStart, nameEnd);
    if (tag.empty && nameEnd == m_position)
        tag.name.chop(1);
    tag.closing = tag.name.startsWith('/');
    ++m_position;
    return true;
}

bool XmlPropertyListScanner::openElement(Element element, bool empty)
{
    if (element == Element::Unknown || (element == Element::Plist && empty))
        return fail("malformed XML");
    if (element == Element::Plist) {
        ++m_openPlists; // libplist reads a nested <plist> as if it were not there
        return true;
    }
    if (element == Element::Key && !m_open.empty() && m_open.back().element == Element::Dictionary
        && ++m_open.back().keys > MaximumDictionaryKeys)
        return fail(TooManyKeys);
    if (empty && (element == Element::Integer || element == Element::Real || element == Element::Date))
        return fail(invalidValueMessage(element));
    if (empty || (element != Element::Dictionary && element != Element::Array))
        return true;
    if (int(m_open.size()) >= PropertyList::MaximumDepth)
        return fail(TooDeep);
    m_open.push_back({element, 0});
    return true;
}

bool XmlPropertyListScanner::closeElement(Element element)
{
    if (element == Element::Plist && m_openPlists > 0) {
        --m_openPlists;
        return true;
    }
    if (m_open.empty() || m_open.back().element != element)
        return fail("malformed XML");
    m_open.pop_back();
    return true;
}

// The content of a text element up to its closing tag: text parts between comments and CDATA
// sections, as libplist collects them. Character references count only outside CDATA.
bool XmlPropertyListScanner::scanTextParts(Element element, QByteArrayView name)
{
    const bool decodesReferences = element == Element::Key || element == Element::String;
    for (;;) {
        const auto* open = static_cast<const char*>(std::memchr(m_position, '<', m_end - m_position));
        if (!open)
            return failAtEnd();
        if (decodesReferences)
            noteCharacterReferences(m_position, open);
        m_position = open;
        const QByteArrayView rest(m_position, m_end);
        if (rest.startsWith("</"))
            return readClosingTag(name);
        if (rest.startsWith("<!--")) {
            m_position += 4;
            if (!skipPast("-->", false))
                return false;
        } else if (rest.startsWith("<![CDATA[")) {
            m_position += 9;
            if (!skipPast("]]>", false))
                return false;
        } else if (QByteArrayView("<!--").startsWith(rest) || QByteArrayView("<![CDATA[").startsWith(rest)) {
            return failAtEnd(); // the text stops inside the marker
        } else {
            return fail("malformed XML");
        }
    }
}

// An integer, real or date: one plain text, then the closing tag.
bool XmlPropertyListScanner::scanNumberOrDate(Element element, QByteArrayView name)
{
    const auto* open = static_cast<const char*>(std::memchr(m_position, '<', m_end - m_position));
    if (!open || open + 2 > m_end)
        return failAtEnd();
    const QByteArrayView text(m_position, open);
    const bool plainText = QByteArrayView(open, m_end).startsWith("</");
    const Check check = !plainText                  ? Check::Invalid
        : element == Element::Integer ? checkInteger(text)
        : element == Element::Real    ? checkReal(text)
                                      : checkDate(text);
    if (check == Check::Invalid)
        return fail(invalidValueMessage(element));
    if (check == Check::OutOfRange)
        return fail(element == Element::Integer ? "integer out of range" : "date out of range");
    m_position = open;
    return readClosingTag(name);
}

// At "</": the element's name, optional white space, '>'.
bool XmlPropertyListScanner::readClosingTag(QByteArrayView name)
{
    const QByteArrayView rest(m_position, m_end);
    if (rest.size() < 2 + name.size() + 1)
        return failAtEnd();
    if (!rest.sliced(2).startsWith(name))
        return fail("malformed XML");
    m_position += 2 + name.size();
    while (m_position != m_end && isXmlSpace(*m_position))
        ++m_position;
    if (m_position == m_end)
        return failAtEnd();
    if (*m_position != '>')
        return fail("malformed XML");
    ++m_position;
    return true;
}

void XmlPropertyListScanner::noteCharacterReferences(const char* begin, const char* end)
{
    int references = 0;
    while (const auto* ampersand = static_cast<const char*>(std::memchr(begin, '&', end - begin))) {
        if (++references > ReferencesPerPart) {
            m_splits.push_back(ampersand - m_xml.data());
            references = 1;
        }
        begin = ampersand + 1;
    }
}

bool XmlPropertyListScanner::skipPast(QByteArrayView terminator, bool skipQuoted)
{
    const char* found = find(terminator, skipQuoted);
    if (!found)
        return failAtEnd();
    m_position = found + terminator.size();
    return true;
}

// Moves to the first of two characters outside "quoted" strings; false (failed) at the end.
bool XmlPropertyListScanner::skipQuotedUntil(char first, char second)
{
    while (m_position != m_end && *m_position != first && *m_position != second) {
        if (*m_position == '"') {
            const char* quote = findQuote(m_position + 1, m_end);
            if (!quote)
                return failAtEnd();
            m_position = quote;
        }
        ++m_position;
    }
    return m_position != m_end || failAtEnd();
}

// "<!DOCTYPE" up to its '>', or past "]>" when it holds an internal subset.
bool XmlPropertyListScanner::skipDoctype()
{
    m_position += 9;
    if (!skipQuotedUntil('[', '>'))
        return false;
    if (*m_position == '>') {
        ++m_position;
        return true;
    }
    return skipPast("]>", true);
}

// The next occurrence of needle from the current position, stepping over "quoted" strings when
// asked; null when there is none.
const char* XmlPropertyListScanner::find(QByteArrayView needle, bool skipQuoted) const
{
    const char* position = m_position;
    qsizetype at = QByteArrayView(position, m_end).indexOf(needle);
    while (at >= 0 && skipQuoted) {
        const auto* quote = static_cast<const char*>(std::memchr(position, '"', at));
        if (!quote)
            break;
        const char* closingQuote = findQuote(quote + 1, m_end);
        if (!closingQuote)
            return nullptr;
        const char* candidate = position + at;
        position = closingQuote + 1;
        at = candidate >= position ? candidate - position : QByteArrayView(position, m_end).indexOf(needle);
    }
    return at < 0 ? nullptr : position + at;
}

XmlPropertyListScanner::Element XmlPropertyListScanner::elementNamed(QByteArrayView name)
{
    static const struct
    {
        QByteArrayView name;
        Element element;
    } elements[] = {{"plist", Element::Plist}, {"dict", Element::Dictionary}, {"array", Element::Array},
                    {"key", Element::Key},     {"string", Element::String},   {"data", Element::Data},
                    {"true", Element::True},   {"false", Element::False},     {"integer", Element::Integer},
                    {"real", Element::Real},   {"date", Element::Date}};
    for (const auto& entry : elements) {
        if (entry.name == name)
            return entry.element;
    }
    return Element::Unknown;
}

const char* XmlPropertyListScanner::invalidValueMessage(Element element)
{
    return element == Element::Integer ? "invalid integer" : element == Element::Real ? "invalid real" : "invalid date";
}

bool XmlPropertyListScanner::fail(const char* message)
{
    const auto line = 1 + std::count(m_xml.data(), m_position, '\n');
    m_error = QStringLiteral("%1 at line %2").arg(QLatin1String(message)).arg(line);
    return false;
}

bool XmlPropertyListScanner::failAtEnd()
{
    m_position = m_end;
    return fail("unexpected end of file");
}
