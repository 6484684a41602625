#pragma once

#include "InternedStrings.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <string_view>

// Reads the old-style ASCII property list: { key = value; }, ( a, b, ), "quoted" and unquoted
// strings, <hex data>, // and /* */ comments. Every value read is a QString, QVariantMap,
// QVariantList or QByteArray. Used through PropertyList::read.
class AsciiPropertyListReader
{
public:
    // text: UTF-8 already checked by the caller, byte order mark removed.
    explicit AsciiPropertyListReader(QByteArrayView text);

    // The top-level dictionary or array; a null QVariant with error() set when the text is not one.
    QVariant read();
    QString error() const { return m_error; }

private:
    bool readValue(QVariant& value, int depth);
    bool readDictionary(QVariant& value, int depth);
    bool readArray(QVariant& value, int depth);
    bool readString(QString& string);
    bool readQuotedString(QString& string);
    bool readEscape(QString& string, char16_t& pendingHighSurrogate);
    bool readData(QByteArray& data);
    QString shortString(std::string_view text);

    // Skips white space and comments; false only for an unterminated comment.
    bool skipSpace();
    bool atEnd() const { return m_position == m_end; }
    bool expect(char wanted, const char* message);
    bool fail(const char* message);
    bool failAtEnd();

    const char* m_begin;
    const char* m_position;
    const char* m_end;
    QString m_error;
    InternedStrings m_interned;
};
