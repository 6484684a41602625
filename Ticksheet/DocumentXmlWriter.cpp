#include "DocumentXmlWriter.h"

#include <QVariantList>

namespace {

constexpr int MaximumDepth = 512;
constexpr qsizetype DataLineLength = 68;

class Writer
{
public:
    bool writeDocument(const QVariantMap& dictionary, const QString& streamedKey, qsizetype count,
                       const DocumentXmlWriter::ElementSource& element);
    QByteArray text;

private:
    bool writeValue(const QVariant& value, int depth);
    bool writeDictionaryEntries(const QVariantMap& dictionary, int depth);
    bool writeKey(const QString& key, int depth);
    bool writeString(const QString& string);
    bool writeText(const QString& string);
    void writeData(const QByteArray& data, int depth);
    void indent(int depth) { text.append(depth, '\t'); }
};

// Characters XML 1.0 can hold; a carriage return is written as a reference, since readers turn a
// plain one into a line feed.
bool Writer::writeText(const QString& string)
{
    const qsizetype length = string.size();
    qsizetype plainFrom = 0;
    const auto flush = [&](qsizetype upTo) {
        if (upTo > plainFrom)
            text.append(QStringView(string).sliced(plainFrom, upTo - plainFrom).toUtf8());
    };
    for (qsizetype index = 0; index < length; ++index) {
        const char16_t unit = string.at(index).unicode();
        const char* replacement = nullptr;
        switch (unit) {
        case u'&': replacement = "&amp;"; break;
        case u'<': replacement = "&lt;"; break;
        case u'>': replacement = "&gt;"; break;
        case u'\r': replacement = "&#13;"; break;
        case u'\t':
        case u'\n':
            continue;
        default:
            if (unit < 0x20 || unit == 0xFFFE || unit == 0xFFFF)
                return false;
            if (QChar::isHighSurrogate(unit) && index + 1 < length && string.at(index + 1).isLowSurrogate()) {
                ++index;
                continue;
            }
            if (QChar::isSurrogate(unit))
                return false;
            continue;
        }
        flush(index);
        text.append(replacement);
        plainFrom = index + 1;
    }
    flush(length);
    return true;
}

bool Writer::writeString(const QString& string)
{
    text.append("<string>");
    if (!writeText(string))
        return false;
    text.append("</string>\n");
    return true;
}

bool Writer::writeKey(const QString& key, int depth)
{
    indent(depth);
    text.append("<key>");
    if (!writeText(key))
        return false;
    text.append("</key>\n");
    indent(depth);
    return true;
}

void Writer::writeData(const QByteArray& data, int depth)
{
    text.append("<data>\n");
    const QByteArray encoded = data.toBase64();
    for (qsizetype from = 0; from < encoded.size(); from += DataLineLength) {
        indent(depth);
        text.append(encoded.mid(from, DataLineLength));
        text.append('\n');
    }
    indent(depth);
    text.append("</data>\n");
}

bool Writer::writeDictionaryEntries(const QVariantMap& dictionary, int depth)
{
    for (auto entry = dictionary.cbegin(); entry != dictionary.cend(); ++entry) {
        if (!writeKey(entry.key(), depth) || !writeValue(entry.value(), depth))
            return false;
    }
    return true;
}

// Written after the indent of its line.
bool Writer::writeValue(const QVariant& value, int depth)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return writeString(value.toString());
    case QMetaType::QByteArray:
        writeData(value.toByteArray(), depth);
        return true;
    case QMetaType::QVariantMap: {
        if (depth >= MaximumDepth)
            return false;
        text.append("<dict>\n");
        if (!writeDictionaryEntries(*static_cast<const QVariantMap*>(value.constData()), depth + 1))
            return false;
        indent(depth);
        text.append("</dict>\n");
        return true;
    }
    case QMetaType::QVariantList: {
        if (depth >= MaximumDepth)
            return false;
        text.append("<array>\n");
        for (const QVariant& element : *static_cast<const QVariantList*>(value.constData())) {
            indent(depth + 1);
            if (!writeValue(element, depth + 1))
                return false;
        }
        indent(depth);
        text.append("</array>\n");
        return true;
    }
    default:
        return false;
    }
}

bool Writer::writeDocument(const QVariantMap& dictionary, const QString& streamedKey, qsizetype count,
                           const DocumentXmlWriter::ElementSource& element)
{
    text.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                "<plist version=\"1.0\">\n<dict>\n");
    // In key order, the streamed array in its place among the others.
    const auto writeStreamed = [&] {
        if (!writeKey(streamedKey, 1))
            return false;
        text.append("<array>\n");
        for (qsizetype index = 0; index < count; ++index) {
            indent(2);
            if (!writeValue(element(index), 2))
                return false;
        }
        indent(1);
        text.append("</array>\n");
        return true;
    };
    bool streamed = false;
    for (auto entry = dictionary.cbegin(); entry != dictionary.cend(); ++entry) {
        if (entry.key() == streamedKey)
            continue;
        if (!streamed && streamedKey < entry.key()) {
            streamed = true;
            if (!writeStreamed())
                return false;
        }
        if (!writeKey(entry.key(), 1) || !writeValue(entry.value(), 1))
            return false;
    }
    if (!streamed && !writeStreamed())
        return false;
    text.append("</dict>\n</plist>\n");
    return true;
}

} // namespace

QByteArray DocumentXmlWriter::write(const QVariantMap& dictionary, const QString& streamedKey, qsizetype count,
                                    const ElementSource& element)
{
    Writer writer;
    if (!writer.writeDocument(dictionary, streamedKey, count, element))
        return {};
    return std::move(writer.text);
}
