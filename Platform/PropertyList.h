#pragma once

#include "PlatformExport.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

// Property lists in memory are QVariants: QString (string), QVariantMap (dictionary), QVariantList
// (array) and QByteArray (data); the XML form adds bool, qint64 (integer), double (real) and a UTC
// QDateTime (date). The old-style ASCII form only knows strings, dictionaries, arrays and data.
class PLATFORM_EXPORT PropertyList
{
public:
    enum class Format { Xml, Ascii, Binary };

    // Deepest nesting of dictionaries and arrays that reading accepts and writing produces.
    static constexpr int MaximumDepth = 512;

    // By the first bytes: XML after an optional byte order mark and white space, the binary magic,
    // otherwise the ASCII form.
    static Format detectFormat(const QByteArray& bytes);

    // Reads the XML or the ASCII form, which must hold a dictionary or an array at the top level.
    // Text must be valid UTF-8 (invalid bytes are an error, never replaced). On failure answers a
    // null QVariant and, when asked, a short reason such as "unexpected end of file at line 12".
    // The binary form is refused.
    static QVariant read(const QByteArray& bytes, QString* errorMessage = nullptr);

    // The standard XML document. Empty when the value cannot be written: a null value, a string
    // holding a NUL character, a date outside 1932-2069, nesting deeper than MaximumDepth.
    static QByteArray writeXml(const QVariant& value);

    // The ASCII form as 7-bit text: characters outside ASCII become \U escapes, data <hex>. Values
    // the form lacks are written as strings: booleans "YES"/"NO", numbers as decimal text, dates as
    // "yyyy-MM-ddTHH:mm:ssZ". Empty when the value cannot be written (null, too deep).
    static QByteArray writeAscii(const QVariant& value);
};
