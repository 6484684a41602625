#pragma once

#include "TicksheetExport.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <optional>

// Reads a client document in the XML property-list form as a stream: the elements of one array
// of the top-level dictionary (the work list) are handed over one at a time as they are read, so
// that a large file is never held as a whole tree beside the entries built from it.
class TICKSHEET_EXPORT DocumentXmlReader
{
public:
    // Takes one element of the streamed array (numbered from 0); false, with a reason, stops the
    // reading.
    using ElementSink = std::function<bool(qsizetype index, const QVariant& element, QString& reason)>;

    struct Contents
    {
        // Without the streamed array; any other value under its key stays here.
        QVariantMap dictionary;
        // The streamed key held an array (perhaps an empty one).
        bool streamed = false;
    };

    // The top-level dictionary, the elements of the array under streamedKey going to the sink.
    // Nothing, with a reason, when the bytes are not an XML property list with a dictionary at the
    // top or when the sink refuses an element.
    static std::optional<Contents> read(QByteArrayView xml, const QString& streamedKey, const ElementSink& sink,
                                        QString& reason);
};
