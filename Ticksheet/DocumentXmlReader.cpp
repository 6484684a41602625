#include "DocumentXmlReader.h"

#include <QBuffer>
#include <QDateTime>
#include <QLocale>
#include <QVariantList>
#include <QXmlStreamReader>

namespace {

// As deep as the property-list reader goes; deeper input is refused rather than overflowing the
// stack.
constexpr int MaximumDepth = 512;

class StreamReader
{
public:
    explicit StreamReader(QIODevice* device)
        : _xml(device)
    {
    }

    std::optional<DocumentXmlReader::Contents> readDocument(const QString& streamedKey,
                                                            const DocumentXmlReader::ElementSink& sink, QString& reason);

private:
    bool nextElement();
    bool readValue(QVariant& value, int depth);
    bool readText(QString& text);
    bool readDictionary(QVariant& value, int depth);
    bool readArray(QVariant& value, int depth);
    bool readData(QVariant& value);
    bool readNumber(QVariant& value, bool integer);
    bool readDate(QVariant& value);
    bool readFlag(QVariant& value, bool flag);
    bool streamArray(const DocumentXmlReader::ElementSink& sink, QString& reason);
    bool atStart(QLatin1String name) const;
    bool fail(const QString& message);
    QString syntaxError() const;

    QXmlStreamReader _xml;
};

// Moves to the next start or end tag; white space, comments and processing instructions between
// them are skipped, any other text is an error.
bool StreamReader::nextElement()
{
    while (!_xml.atEnd()) {
        switch (_xml.readNext()) {
        case QXmlStreamReader::StartElement:
        case QXmlStreamReader::EndElement:
            return true;
        case QXmlStreamReader::Characters:
            if (!_xml.isWhitespace())
                return fail(QStringLiteral("unexpected text"));
            break;
        case QXmlStreamReader::Invalid:
            return false;
        default:
            break;
        }
    }
    return fail(QStringLiteral("unexpected end of file"));
}

bool StreamReader::atStart(QLatin1String name) const
{
    return _xml.isStartElement() && _xml.name() == name;
}

bool StreamReader::fail(const QString& message)
{
    if (!_xml.hasError())
        _xml.raiseError(message);
    return false;
}

QString StreamReader::syntaxError() const
{
    return QStringLiteral("it is not a property list (%1 at line %2)").arg(_xml.errorString()).arg(_xml.lineNumber());
}

// The text up to the end tag. Most elements hold one piece of text, taken as it is; pieces split
// by references or comments are joined.
bool StreamReader::readText(QString& text)
{
    text.clear();
    for (;;) {
        switch (_xml.readNext()) {
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            if (text.isEmpty())
                text = _xml.text().toString();
            else
                text += _xml.text();
            break;
        case QXmlStreamReader::EndElement:
            return true;
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
            break;
        case QXmlStreamReader::StartElement:
            return fail(QStringLiteral("<%1> inside a text").arg(_xml.name()));
        default:
            return fail(QStringLiteral("unexpected end of file"));
        }
    }
}

// The current token is the start tag of the value.
bool StreamReader::readValue(QVariant& value, int depth)
{
    if (depth > MaximumDepth)
        return fail(QStringLiteral("nesting deeper than %1 levels").arg(MaximumDepth));
    const QStringView name = _xml.name();
    if (name == QLatin1String("string")) {
        QString text;
        if (!readText(text))
            return false;
        value = QVariant(std::move(text));
        return true;
    }
    if (name == QLatin1String("dict"))
        return readDictionary(value, depth);
    if (name == QLatin1String("array"))
        return readArray(value, depth);
    if (name == QLatin1String("data"))
        return readData(value);
    if (name == QLatin1String("integer"))
        return readNumber(value, true);
    if (name == QLatin1String("real"))
        return readNumber(value, false);
    if (name == QLatin1String("date"))
        return readDate(value);
    if (name == QLatin1String("true"))
        return readFlag(value, true);
    if (name == QLatin1String("false"))
        return readFlag(value, false);
    return fail(QStringLiteral("unexpected <%1>").arg(name));
}

bool StreamReader::readDictionary(QVariant& value, int depth)
{
    QVariantMap dictionary;
    while (nextElement()) {
        if (_xml.isEndElement()) {
            value = QVariant(std::move(dictionary));
            return true;
        }
        QString key;
        if (!atStart(QLatin1String("key")))
            return fail(QStringLiteral("a dictionary holds <%1> where a <key> is expected").arg(_xml.name()));
        if (!readText(key) || !nextElement())
            return false;
        if (!_xml.isStartElement())
            return fail(QStringLiteral("the key \"%1\" has no value").arg(key));
        QVariant item;
        if (!readValue(item, depth + 1))
            return false;
        dictionary.insert(key, item);
    }
    return false;
}

bool StreamReader::readArray(QVariant& value, int depth)
{
    QVariantList array;
    while (nextElement()) {
        if (_xml.isEndElement()) {
            value = QVariant(std::move(array));
            return true;
        }
        QVariant item;
        if (!readValue(item, depth + 1))
            return false;
        array.append(std::move(item));
    }
    return false;
}

bool StreamReader::readData(QVariant& value)
{
    QString text;
    if (!readText(text))
        return false;
    text.remove(QLatin1Char(' ')).remove(QLatin1Char('\t')).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return fail(QStringLiteral("<data> that is not base 64"));
    value = QVariant(std::move(*decoded));
    return true;
}

bool StreamReader::readNumber(QVariant& value, bool integer)
{
    QString text;
    if (!readText(text))
        return false;
    bool ok = false;
    const QString trimmed = text.trimmed();
    value = integer ? QVariant(QLocale::c().toLongLong(trimmed, &ok)) : QVariant(QLocale::c().toDouble(trimmed, &ok));
    return ok || fail(QStringLiteral("a malformed number \"%1\"").arg(trimmed));
}

bool StreamReader::readDate(QVariant& value)
{
    QString text;
    if (!readText(text))
        return false;
    const QDateTime date = QDateTime::fromString(text.trimmed(), Qt::ISODate);
    if (!date.isValid())
        return fail(QStringLiteral("a malformed date \"%1\"").arg(text));
    value = QVariant(date.toUTC());
    return true;
}

bool StreamReader::readFlag(QVariant& value, bool flag)
{
    QString text;
    if (!readText(text))
        return false;
    if (!text.trimmed().isEmpty())
        return fail(QStringLiteral("text inside <%1/>").arg(flag ? QLatin1String("true") : QLatin1String("false")));
    value = QVariant(flag);
    return true;
}

// The current token is the array's start tag.
bool StreamReader::streamArray(const DocumentXmlReader::ElementSink& sink, QString& reason)
{
    qsizetype index = 0;
    while (nextElement()) {
        if (_xml.isEndElement())
            return true;
        QVariant element;
        if (!readValue(element, 2))
            return false;
        if (!sink(index++, element, reason))
            return false;
    }
    return false;
}

std::optional<DocumentXmlReader::Contents> StreamReader::readDocument(const QString& streamedKey,
                                                                      const DocumentXmlReader::ElementSink& sink,
                                                                      QString& reason)
{
    const auto syntax = [this, &reason] {
        reason = syntaxError();
        return std::nullopt;
    };
    if (!nextElement())
        return syntax();
    const bool wrapped = atStart(QLatin1String("plist"));
    if (wrapped && !nextElement())
        return syntax();
    if (!atStart(QLatin1String("dict"))) {
        if (_xml.isStartElement() && _xml.name() != QLatin1String("plist"))
            reason = QStringLiteral("its top level is not a dictionary");
        else
            reason = syntaxError();
        return std::nullopt;
    }

    DocumentXmlReader::Contents contents;
    QVariantMap& dictionary = contents.dictionary;
    bool& streamed = contents.streamed;
    for (;;) {
        if (!nextElement())
            return syntax();
        if (_xml.isEndElement())
            break;
        QString key;
        if (!atStart(QLatin1String("key"))) {
            fail(QStringLiteral("a dictionary holds <%1> where a <key> is expected").arg(_xml.name()));
            return syntax();
        }
        if (!readText(key) || !nextElement())
            return syntax();
        if (!_xml.isStartElement()) {
            fail(QStringLiteral("the key \"%1\" has no value").arg(key));
            return syntax();
        }
        if (key == streamedKey && atStart(QLatin1String("array"))) {
            // One array's elements already went to the sink; a second would mix two lists.
            if (streamed || dictionary.contains(key)) {
                reason = QStringLiteral("\"%1\" appears twice").arg(key);
                return std::nullopt;
            }
            streamed = true;
            reason.clear();
            if (!streamArray(sink, reason))
                return reason.isEmpty() ? syntax() : std::nullopt;
            continue;
        }
        if (key == streamedKey && streamed) {
            reason = QStringLiteral("\"%1\" appears twice").arg(key);
            return std::nullopt;
        }
        QVariant value;
        if (!readValue(value, 1))
            return syntax();
        dictionary.insert(key, value);
    }
    if (wrapped && (!nextElement() || !_xml.isEndElement()))
        return syntax();
    while (!_xml.atEnd()) {
        const QXmlStreamReader::TokenType token = _xml.readNext();
        if (token == QXmlStreamReader::Invalid
            || token == QXmlStreamReader::StartElement
            || (token == QXmlStreamReader::Characters && !_xml.isWhitespace())) {
            fail(QStringLiteral("text after the property list"));
            return syntax();
        }
    }
    return contents;
}

} // namespace

std::optional<DocumentXmlReader::Contents> DocumentXmlReader::read(QByteArrayView xml, const QString& streamedKey,
                                                   const ElementSink& sink, QString& reason)
{
    // The XML reader would quietly replace bad bytes; a document must not change on reading.
    if (!xml.isValidUtf8()) {
        reason = QStringLiteral("it is not a property list (invalid UTF-8)");
        return std::nullopt;
    }
    // Read through a device in small pieces: given the bytes whole, the reader would first decode
    // all of them at once.
    QByteArray bytes = QByteArray::fromRawData(xml.data(), xml.size());
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    StreamReader reader(&device);
    return reader.readDocument(streamedKey, sink, reason);
}
