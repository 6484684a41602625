#include "XmlPropertyListCodec.h"

#include "InternedStrings.h"
#include "PropertyList.h"
#include "PropertyListKind.h"
#include "XmlPropertyListScanner.h"

#include <QDateTime>
#include <QVariantList>
#include <QVariantMap>

#include <plist/plist.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <memory>
#include <string_view>

namespace {

constexpr qint64 SecondsFrom1970To2001 = 978307200;

struct PlistDeleter
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPointer = std::unique_ptr<void, PlistDeleter>;

struct FreeDeleter
{
    void operator()(void* memory) const { std::free(memory); }
};

// libplist reads and writes reals with the C library, which follows the process locale (Qt sets it
// from the environment, so a decimal comma is possible); this thread uses the C locale meanwhile.
class CLocaleScope
{
public:
    CLocaleScope()
        : m_previous(uselocale(cLocale()))
    {
    }
    ~CLocaleScope() { uselocale(m_previous); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    static locale_t cLocale()
    {
        static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        return locale;
    }
    locale_t m_previous;
};

bool decodeText(const char* text, qsizetype length, QString& string)
{
    const QByteArrayView bytes(text, length);
    if (!bytes.isValidUtf8()) // a character reference to a surrogate, say
        return false;
    string = QString::fromUtf8(bytes);
    return true;
}

// plist_t -> QVariant. Depth is bounded by the scanner; the check here only keeps it that way.
class TreeReader
{
public:
    bool read(plist_t node, int depth, QVariant& value)
    {
        switch (plist_get_node_type(node)) {
        case PLIST_STRING: {
            uint64_t length = 0;
            const char* text = plist_get_string_ptr(node, &length);
            QString string;
            if (!decodeText(text, qsizetype(length), string))
                return fail("invalid UTF-8");
            value = QVariant(std::move(string));
            return true;
        }
        case PLIST_DICT:
            return readDictionary(node, depth + 1, value);
        case PLIST_ARRAY:
            return readArray(node, depth + 1, value);
        case PLIST_BOOLEAN: {
            uint8_t flag = 0;
            plist_get_bool_val(node, &flag);
            value = QVariant(flag != 0);
            return true;
        }
        case PLIST_UINT: {
            // Negative integers come back in two's complement; the scanner kept them within qint64.
            uint64_t integer = 0;
            plist_get_uint_val(node, &integer);
            value = QVariant(qint64(integer));
            return true;
        }
        case PLIST_UID: {
            uint64_t identifier = 0;
            plist_get_uid_val(node, &identifier);
            value = QVariant(qint64(identifier));
            return true;
        }
        case PLIST_REAL: {
            double real = 0;
            plist_get_real_val(node, &real);
            value = QVariant(real);
            return true;
        }
        case PLIST_DATE: {
            int32_t seconds = 0;
            int32_t microseconds = 0;
            plist_get_date_val(node, &seconds, &microseconds);
            value = QVariant(QDateTime::fromSecsSinceEpoch(qint64(seconds) + SecondsFrom1970To2001, Qt::UTC));
            return true;
        }
        case PLIST_DATA: {
            uint64_t length = 0;
            const char* bytes = plist_get_data_ptr(node, &length);
            value = QVariant(QByteArray(bytes, qsizetype(length)));
            return true;
        }
        default:
            return fail("malformed XML property list");
        }
    }

    QString error;

private:
    bool readDictionary(plist_t node, int depth, QVariant& value)
    {
        if (depth > PropertyList::MaximumDepth)
            return fail("nesting deeper than 512 levels");
        plist_dict_iter iterator = nullptr;
        plist_dict_new_iter(node, &iterator);
        const std::unique_ptr<void, FreeDeleter> iteratorOwner(iterator);
        QVariantMap dictionary;
        for (;;) {
            char* rawKey = nullptr;
            plist_t item = nullptr;
            plist_dict_next_item(node, iterator, &rawKey, &item);
            const std::unique_ptr<char, FreeDeleter> keyOwner(rawKey);
            if (!rawKey || !item)
                break;
            QString key;
            QVariant itemValue;
            if (!internedKey(rawKey, key))
                return fail("invalid UTF-8");
            if (!read(item, depth, itemValue))
                return false;
            dictionary.insert(key, itemValue);
        }
        value = QVariant(std::move(dictionary));
        return true;
    }

    bool readArray(plist_t node, int depth, QVariant& value)
    {
        if (depth > PropertyList::MaximumDepth)
            return fail("nesting deeper than 512 levels");
        plist_array_iter iterator = nullptr;
        plist_array_new_iter(node, &iterator);
        const std::unique_ptr<void, FreeDeleter> iteratorOwner(iterator);
        QVariantList array;
        array.reserve(plist_array_get_size(node));
        for (;;) {
            plist_t item = nullptr;
            plist_array_next_item(node, iterator, &item);
            if (!item)
                break;
            QVariant itemValue;
            if (!read(item, depth, itemValue))
                return false;
            array.append(std::move(itemValue));
        }
        value = QVariant(std::move(array));
        return true;
    }

    bool internedKey(const char* rawKey, QString& key)
    {
        const std::string_view text(rawKey);
        if (const QString* known = m_keys.find(text)) {
            key = *known;
            return true;
        }
        if (!decodeText(text.data(), qsizetype(text.size()), key))
            return false;
        m_keys.remember(text, key);
        return true;
    }

    bool fail(const char* message)
    {
        error = QString::fromLatin1(message);
        return false;
    }

    InternedStrings m_keys;
};

bool utf8WithoutNul(const QString& string, QByteArray& utf8)
{
    utf8 = string.toUtf8();
    return !utf8.contains('\0'); // libplist takes C strings; a NUL would silently cut the text
}

// QVariant -> plist_t; null when the value cannot be written.
plist_t toPlist(const QVariant& value, int level)
{
    const PropertyListKind kind = propertyListKind(value);
    switch (kind) {
    case PropertyListKind::String: {
        QByteArray utf8;
        return utf8WithoutNul(value.toString(), utf8) ? plist_new_string(utf8.constData()) : nullptr;
    }
    case PropertyListKind::Dictionary: {
        if (level >= PropertyList::MaximumDepth)
            return nullptr;
        const QVariantMap dictionary = value.toMap();
        PlistPointer node(plist_new_dict());
        for (auto entry = dictionary.cbegin(); entry != dictionary.cend(); ++entry) {
            QByteArray key;
            plist_t item = utf8WithoutNul(entry.key(), key) ? toPlist(entry.value(), level + 1) : nullptr;
            if (!item)
                return nullptr;
            plist_dict_set_item(node.get(), key.constData(), item);
        }
        return node.release();
    }
    case PropertyListKind::Array: {
        if (level >= PropertyList::MaximumDepth)
            return nullptr;
        const QVariantList array = value.toList();
        PlistPointer node(plist_new_array());
        for (const QVariant& element : array) {
            plist_t item = toPlist(element, level + 1);
            if (!item)
                return nullptr;
            plist_array_append_item(node.get(), item);
        }
        return node.release();
    }
    case PropertyListKind::Data: {
        const QByteArray data = value.toByteArray();
        return plist_new_data(data.constData(), uint64_t(data.size()));
    }
    case PropertyListKind::Boolean:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case PropertyListKind::Integer:
        if (value.typeId() == QMetaType::ULongLong
            && value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return nullptr;
        return plist_new_uint(uint64_t(value.toLongLong()));
    case PropertyListKind::Real:
        return plist_new_real(value.toDouble());
    case PropertyListKind::Date: {
        // Whole seconds, as the XML form holds them; libplist keeps 32-bit seconds from 2001.
        const QDateTime date = value.toDateTime();
        if (!date.isValid())
            return nullptr;
        const qint64 milliseconds = date.toMSecsSinceEpoch() - SecondsFrom1970To2001 * 1000;
        const qint64 seconds = milliseconds / 1000 - (milliseconds % 1000 < 0 ? 1 : 0);
        if (seconds < std::numeric_limits<int32_t>::min() || seconds > std::numeric_limits<int32_t>::max())
            return nullptr;
        return plist_new_date(int32_t(seconds), 0);
    }
    case PropertyListKind::Unsupported:
        break;
    }
    return nullptr;
}

QString messageAtLine(const char* message, QByteArrayView text, const char* position)
{
    const auto line = 1 + std::count(text.data(), position, '\n');
    return QStringLiteral("%1 at line %2").arg(QLatin1String(message)).arg(line);
}

} // namespace

QVariant XmlPropertyListCodec::read(QByteArrayView xml, QString& error)
{
    if (const auto* nul = static_cast<const char*>(std::memchr(xml.data(), 0, xml.size()))) {
        error = messageAtLine("invalid character", xml, nul); // XML has no NUL; libplist would cut texts there
        return {};
    }
    XmlPropertyListScanner scanner(xml);
    if (!scanner.scan()) {
        error = scanner.error();
        return {};
    }
    QByteArray textWithSplits;
    if (scanner.needsSplits()) {
        textWithSplits = scanner.textWithSplits();
        xml = textWithSplits;
    }
    if (xml.size() > qsizetype(std::numeric_limits<uint32_t>::max())) {
        error = QStringLiteral("file too large");
        return {};
    }

    PlistPointer root;
    {
        const CLocaleScope cLocale;
        plist_t node = nullptr;
        plist_from_xml(xml.data(), uint32_t(xml.size()), &node);
        root.reset(node);
    }
    if (!root) {
        error = QStringLiteral("malformed XML property list");
        return {};
    }
    const plist_type type = plist_get_node_type(root.get());
    if (type != PLIST_DICT && type != PLIST_ARRAY) {
        error = QStringLiteral("not a dictionary or an array at the top level");
        return {};
    }
    TreeReader reader;
    QVariant value;
    if (!reader.read(root.get(), 0, value)) {
        error = reader.error;
        return {};
    }
    return value;
}

QByteArray XmlPropertyListCodec::write(const QVariant& value)
{
    const PlistPointer root(toPlist(value, 0));
    if (!root)
        return {};
    char* xml = nullptr;
    uint32_t length = 0;
    {
        const CLocaleScope cLocale;
        plist_to_xml(root.get(), &xml, &length);
    }
    if (!xml)
        return {};
    QByteArray result(xml, qsizetype(length));
    plist_to_xml_free(xml);
    return result;
}
