#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// Writes the old-style ASCII property list as 7-bit text, indented four spaces a level. Used
// through PropertyList::writeAscii.
class AsciiPropertyListWriter
{
public:
    // Empty when the value cannot be written (a null value, nesting too deep).
    static QByteArray write(const QVariant& value);

private:
    bool writeValue(const QVariant& value, int level);
    bool writeDictionary(const QVariantMap& dictionary, int level);
    bool writeArray(const QVariantList& array, int level);
    void writeString(const QString& string);
    void writeQuoted(const QString& string);
    void writeUnitEscape(char16_t unit);
    void writeIndent(int level);

    QByteArray m_text;
};
