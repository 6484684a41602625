#include "AsciiPropertyListReader.h"

#include "PropertyList.h"

#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

bool isUnquotedCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$'
        || c == '+' || c == '/' || c == ':' || c == '.' || c == '-';
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The character a one-letter escape stands for, or 0 when the letter is no escape of its own.
char16_t simpleEscape(char letter)
{
    switch (letter) {
    case 'n': return u'\n';
    case 't': return u'\t';
    case 'r': return u'\r';
    case 'b': return u'\b';
    case 'f': return u'\f';
    case 'a': return u'\a';
    case 'v': return u'\v';
    case '"': return u'"';
    case '\\': return u'\\';
    default: return 0;
    }
}

const char* const InvalidEscape = "invalid \\U escape";
const char* const TooDeep = "nesting deeper than 512 levels";
static_assert(PropertyList::MaximumDepth == 512, "TooDeep names the limit");

} // namespace

AsciiPropertyListReader::AsciiPropertyListReader(QByteArrayView text)
    : m_begin(text.data())
    , m_position(text.data())
    , m_end(text.data() + text.size())
{
}

QVariant AsciiPropertyListReader::read()
{
    if (!skipSpace())
        return {};
    if (atEnd()) {
        m_error = QStringLiteral("empty file");
        return {};
    }
    if (*m_position != '{' && *m_position != '(') {
        m_error = QStringLiteral("not a property list");
        return {};
    }
    QVariant value;
    if (!readValue(value, 0) || !skipSpace())
        return {};
    if (!atEnd()) {
        fail("unexpected text after the end");
        return {};
    }
    return value;
}

bool AsciiPropertyListReader::readValue(QVariant& value, int depth)
{
    if (!skipSpace())
        return false;
    if (atEnd())
        return failAtEnd();
    switch (*m_position) {
    case '{':
        return readDictionary(value, depth + 1);
    case '(':
        return readArray(value, depth + 1);
    case '<': {
        QByteArray data;
        if (!readData(data))
            return false;
        value = QVariant(std::move(data));
        return true;
    }
    default: {
        QString string;
        if (!readString(string))
            return false;
        value = QVariant(std::move(string));
        return true;
    }
    }
}

bool AsciiPropertyListReader::readDictionary(QVariant& value, int depth)
{
    if (depth > PropertyList::MaximumDepth)
        return fail(TooDeep);
    ++m_position;
    QVariantMap dictionary;
    for (;;) {
        if (!skipSpace())
            return false;
        if (atEnd())
            return failAtEnd();
        if (*m_position == '}') {
            ++m_position;
            break;
        }
        if (*m_position == '{' || *m_position == '(' || *m_position == '<')
            return fail("dictionary key is not a string");
        QString key;
        QVariant item;
        if (!readString(key) || !skipSpace() || !expect('=', "expected '='") || !readValue(item, depth)
            || !skipSpace() || !expect(';', "expected ';'"))
            return false;
        dictionary.insert(key, item);
    }
    value = QVariant(std::move(dictionary));
    return true;
}

bool AsciiPropertyListReader::readArray(QVariant& value, int depth)
{
    if (depth > PropertyList::MaximumDepth)
        return fail(TooDeep);
    ++m_position;
    QVariantList array;
    for (;;) {
        if (!skipSpace())
            return false;
        if (atEnd())
            return failAtEnd();
        if (*m_position == ')') {
            ++m_position;
            break;
        }
        QVariant item;
        if (!readValue(item, depth) || !skipSpace())
            return false;
        array.append(std::move(item));
        if (atEnd())
            return failAtEnd();
        if (*m_position == ',') {
            ++m_position;
        } else if (*m_position != ')') {
            return fail("expected ',' or ')'");
        }
    }
    value = QVariant(std::move(array));
    return true;
}

bool AsciiPropertyListReader::readString(QString& string)
{
    if (*m_position == '"')
        return readQuotedString(string);
    const char* start = m_position;
    while (m_position != m_end && isUnquotedCharacter(*m_position))
        ++m_position;
    if (m_position == start)
        return fail("unexpected character");
    string = shortString(std::string_view(start, m_position - start));
    return true;
}

QString AsciiPropertyListReader::shortString(std::string_view text)
{
    if (const QString* known = m_interned.find(text))
        return *known;
    QString string = QString::fromUtf8(text.data(), qsizetype(text.size()));
    m_interned.remember(text, string);
    return string;
}

bool AsciiPropertyListReader::readQuotedString(QString& string)
{
    ++m_position;
    QString text;
    char16_t pendingHighSurrogate = 0;
    for (;;) {
        const char* stop = m_position;
        while (stop != m_end && *stop != '"' && *stop != '\\')
            ++stop;
        if (stop == m_end) {
            m_position = stop;
            return failAtEnd();
        }
        const std::string_view part(m_position, stop - m_position);
        m_position = stop;
        if (*stop == '"' && text.isEmpty() && !pendingHighSurrogate) {
            ++m_position;
            string = shortString(part); // no escapes: the common case
            return true;
        }
        if (!part.empty()) {
            if (pendingHighSurrogate)
                return fail(InvalidEscape);
            text += QString::fromUtf8(part.data(), qsizetype(part.size()));
        }
        if (*m_position == '"') {
            if (pendingHighSurrogate)
                return fail(InvalidEscape);
            ++m_position;
            string = std::move(text);
            return true;
        }
        if (!readEscape(text, pendingHighSurrogate))
            return false;
    }
}

// At a backslash inside quotes. \U takes four hex digits giving one UTF-16 unit; a high surrogate
// must be followed at once by an escaped low one. An unknown escape stands for the character itself.
bool AsciiPropertyListReader::readEscape(QString& text, char16_t& pendingHighSurrogate)
{
    ++m_position;
    if (atEnd())
        return failAtEnd();
    const char letter = *m_position;
    if (letter == 'U' || letter == 'u') {
        ++m_position;
        char16_t unit = 0;
        for (int digit = 0; digit < 4; ++digit, ++m_position) {
            const int value = atEnd() ? -1 : hexValue(*m_position);
            if (value < 0)
                return fail(InvalidEscape);
            unit = char16_t(unit << 4 | value);
        }
        if (pendingHighSurrogate) {
            if (!isLowSurrogate(unit))
                return fail(InvalidEscape);
            text += QChar(pendingHighSurrogate);
            text += QChar(unit);
            pendingHighSurrogate = 0;
        } else if (isHighSurrogate(unit)) {
            pendingHighSurrogate = unit;
        } else if (isLowSurrogate(unit)) {
            return fail(InvalidEscape);
        } else {
            text += QChar(unit);
        }
        return true;
    }
    if (pendingHighSurrogate)
        return fail(InvalidEscape);
    if (letter >= '0' && letter <= '7') {
        // Up to three octal digits: the character with that code (Latin-1 above 127).
        char16_t code = 0;
        for (int digit = 0; digit < 3 && !atEnd() && *m_position >= '0' && *m_position <= '7'; ++digit, ++m_position)
            code = char16_t(code * 8 + (*m_position - '0'));
        text += QChar(code);
        return true;
    }
    if (const char16_t character = simpleEscape(letter)) {
        text += QChar(character);
        ++m_position;
    }
    return true;
}

bool AsciiPropertyListReader::readData(QByteArray& data)
{
    ++m_position;
    const auto* close = static_cast<const char*>(std::memchr(m_position, '>', m_end - m_position));
    if (!close) {
        m_position = m_end;
        return failAtEnd();
    }
    data.reserve((close - m_position) / 2);
    int high = -1;
    for (; m_position != close; ++m_position) {
        if (isSpace(*m_position))
            continue;
        const int nibble = hexValue(*m_position);
        if (nibble < 0)
            return fail("invalid data");
        if (high < 0) {
            high = nibble;
        } else {
            data.append(char(high << 4 | nibble));
            high = -1;
        }
    }
    if (high >= 0)
        return fail("invalid data");
    ++m_position;
    return true;
}

bool AsciiPropertyListReader::skipSpace()
{
    while (m_position != m_end) {
        const char c = *m_position;
        if (isSpace(c)) {
            ++m_position;
        } else if (c == '/' && m_end - m_position >= 2 && m_position[1] == '/') {
            const auto* newline = static_cast<const char*>(std::memchr(m_position, '\n', m_end - m_position));
            m_position = newline ? newline + 1 : m_end;
        } else if (c == '/' && m_end - m_position >= 2 && m_position[1] == '*') {
            const std::string_view rest(m_position + 2, m_end - m_position - 2);
            const auto close = rest.find("*/");
            if (close == std::string_view::npos) {
                m_position = m_end;
                return failAtEnd();
            }
            m_position += 2 + close + 2;
        } else {
            break;
        }
    }
    return true;
}

bool AsciiPropertyListReader::expect(char wanted, const char* message)
{
    if (atEnd())
        return failAtEnd();
    if (*m_position != wanted)
        return fail(message);
    ++m_position;
    return true;
}

bool AsciiPropertyListReader::fail(const char* message)
{
    const auto line = 1 + std::count(m_begin, m_position, '\n');
    m_error = QStringLiteral("%1 at line %2").arg(QLatin1String(message)).arg(line);
    return false;
}

bool AsciiPropertyListReader::failAtEnd()
{
    m_position = m_end;
    return fail("unexpected end of file");
}
