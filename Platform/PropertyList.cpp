#include "PropertyList.h"

#include "AsciiPropertyListReader.h"
#include "AsciiPropertyListWriter.h"
#include "XmlPropertyListCodec.h"

namespace {

QByteArrayView withoutByteOrderMark(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
}

bool startsAsXml(QByteArrayView text)
{
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' || text.front() == '\n'))
        text = text.sliced(1);
    return text.startsWith("<?xml") || text.startsWith("<!DOCTYPE plist") || text.startsWith("<plist")
        || text.startsWith("<!--");
}

} // namespace

PropertyList::Format PropertyList::detectFormat(const QByteArray& bytes)
{
    if (bytes.startsWith("bplist"))
        return Format::Binary;
    return startsAsXml(withoutByteOrderMark(bytes)) ? Format::Xml : Format::Ascii;
}

QVariant PropertyList::read(const QByteArray& bytes, QString* errorMessage)
{
    const QByteArrayView text = withoutByteOrderMark(bytes);
    const Format format = detectFormat(bytes);
    QVariant value;
    QString error;
    if (format == Format::Binary) {
        // libplist's binary reader copies shared objects anew at every reference, so a small file can
        // ask for unbounded memory; documents are never binary.
        error = QStringLiteral("binary property lists are not supported");
    } else if (!text.isValidUtf8()) {
        error = QStringLiteral("invalid UTF-8");
    } else if (format == Format::Xml) {
        value = XmlPropertyListCodec::read(text, error);
    } else {
        AsciiPropertyListReader reader(text);
        value = reader.read();
        error = reader.error();
    }
    if (!value.isValid() && errorMessage)
        *errorMessage = error;
    return value;
}

QByteArray PropertyList::writeXml(const QVariant& value)
{
    return XmlPropertyListCodec::write(value);
}

QByteArray PropertyList::writeAscii(const QVariant& value)
{
    return AsciiPropertyListWriter::write(value);
}
