#pragma once

#include "TicksheetExport.h"

#include <QByteArray>
#include <QString>
#include <QVariantMap>

#include <functional>

// Writes a client document as an XML property list straight into bytes, the elements of one array
// (the work list) asked for one at a time, so that a large document is never held as a whole tree
// beside its text. Knows the kinds a document holds: strings, data, dictionaries and arrays.
class TICKSHEET_EXPORT DocumentXmlWriter
{
public:
    using ElementSource = std::function<QVariant(qsizetype index)>;

    // The dictionary with an array of count elements under streamedKey. Empty when a value cannot
    // be written as XML: a kind other than those above, or text with characters XML cannot hold
    // (NUL and most other control characters, a lone surrogate).
    static QByteArray write(const QVariantMap& dictionary, const QString& streamedKey, qsizetype count,
                            const ElementSource& element);
};
