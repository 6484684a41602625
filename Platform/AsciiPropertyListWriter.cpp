#include "AsciiPropertyListWriter.h"

#include "PropertyList.h"
#include "PropertyListKind.h"

#include <QDateTime>
#include <QLocale>
#include <QVariantList>
#include <QVariantMap>

namespace {

bool isUnquotedCharacter(char16_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$'
        || c == '+' || c == '/' || c == ':' || c == '.' || c == '-';
}

// Unquoted text must not be empty and must not open a comment when read back.
bool needsQuotes(const QString& string)
{
    if (string.isEmpty() || string.contains(QLatin1String("//")) || string.contains(QLatin1String("/*")))
        return true;
    for (const QChar c : string) {
        if (!isUnquotedCharacter(c.unicode()))
            return true;
    }
    return false;
}

QString textOf(const QVariant& value, PropertyListKind kind)
{
    switch (kind) {
    case PropertyListKind::Boolean:
        return value.toBool() ? QStringLiteral("YES") : QStringLiteral("NO");
    case PropertyListKind::Real:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case PropertyListKind::Date:
        return value.toDateTime().toUTC().toString(Qt::ISODate);
    default:
        return value.toString();
    }
}

} // namespace

QByteArray AsciiPropertyListWriter::write(const QVariant& value)
{
    AsciiPropertyListWriter writer;
    if (!writer.writeValue(value, 0))
        return {};
    writer.m_text.append('\n');
    return writer.m_text;
}

bool AsciiPropertyListWriter::writeValue(const QVariant& value, int level)
{
    const PropertyListKind kind = propertyListKind(value);
    switch (kind) {
    case PropertyListKind::Dictionary:
        return writeDictionary(value.toMap(), level);
    case PropertyListKind::Array:
        return writeArray(value.toList(), level);
    case PropertyListKind::Data:
        m_text.append('<').append(value.toByteArray().toHex()).append('>');
        return true;
    case PropertyListKind::Unsupported:
        return false;
    default:
        writeString(textOf(value, kind));
        return true;
    }
}

bool AsciiPropertyListWriter::writeDictionary(const QVariantMap& dictionary, int level)
{
    if (level >= PropertyList::MaximumDepth)
        return false;
    if (dictionary.isEmpty()) {
        m_text.append("{}");
        return true;
    }
    m_text.append("{\n");
    for (auto entry = dictionary.cbegin(); entry != dictionary.cend(); ++entry) {
        writeIndent(level + 1);
        writeString(entry.key());
        m_text.append(" = ");
        if (!writeValue(entry.value(), level + 1))
            return false;
        m_text.append(";\n");
    }
    writeIndent(level);
    m_text.append('}');
    return true;
}

bool AsciiPropertyListWriter::writeArray(const QVariantList& array, int level)
{
    if (level >= PropertyList::MaximumDepth)
        return false;
    if (array.isEmpty()) {
        m_text.append("()");
        return true;
    }
    m_text.append("(\n");
    for (qsizetype index = 0; index < array.size(); ++index) {
        writeIndent(level + 1);
        if (!writeValue(array.at(index), level + 1))
            return false;
        m_text.append(index + 1 < array.size() ? ",\n" : "\n");
    }
    writeIndent(level);
    m_text.append(')');
    return true;
}

void AsciiPropertyListWriter::writeString(const QString& string)
{
    if (needsQuotes(string)) {
        writeQuoted(string);
        return;
    }
    for (const QChar c : string)
        m_text.append(char(c.unicode()));
}

// Everything outside printable ASCII becomes an escape, so the output stays 7-bit. A surrogate
// without its partner cannot be read back and is written as U+FFFD.
void AsciiPropertyListWriter::writeQuoted(const QString& string)
{
    m_text.append('"');
    const qsizetype length = string.size();
    for (qsizetype index = 0; index < length; ++index) {
        const char16_t unit = string.at(index).unicode();
        switch (unit) {
        case u'"': m_text.append("\\\""); continue;
        case u'\\': m_text.append("\\\\"); continue;
        case u'\n': m_text.append("\\n"); continue;
        case u'\t': m_text.append("\\t"); continue;
        case u'\r': m_text.append("\\r"); continue;
        default: break;
        }
        if (unit >= 0x20 && unit < 0x7F) {
            m_text.append(char(unit));
        } else if (QChar::isHighSurrogate(unit) && index + 1 < length && string.at(index + 1).isLowSurrogate()) {
            writeUnitEscape(unit);
            writeUnitEscape(string.at(++index).unicode());
        } else if (QChar::isSurrogate(unit)) {
            writeUnitEscape(QChar::ReplacementCharacter);
        } else {
            writeUnitEscape(unit);
        }
    }
    m_text.append('"');
}

void AsciiPropertyListWriter::writeUnitEscape(char16_t unit)
{
    static const char digits[] = "0123456789abcdef";
    const char escape[] = {'\\', 'U', digits[unit >> 12], digits[(unit >> 8) & 0xF], digits[(unit >> 4) & 0xF],
                           digits[unit & 0xF]};
    m_text.append(escape, sizeof escape);
}

void AsciiPropertyListWriter::writeIndent(int level)
{
    m_text.append(qsizetype(level) * 4, ' ');
}
