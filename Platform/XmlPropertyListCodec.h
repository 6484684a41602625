#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>

// XML property lists through libplist, with the checks libplist lacks. Used through PropertyList.
class XmlPropertyListCodec
{
public:
    // xml: valid UTF-8 without a byte order mark. The top-level dictionary or array, or a null
    // QVariant with error set.
    static QVariant read(QByteArrayView xml, QString& error);
    // Empty when the value cannot be written.
    static QByteArray write(const QVariant& value);
};
