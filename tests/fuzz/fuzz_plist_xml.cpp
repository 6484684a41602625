// Any bytes that look like an XML property list: reading must answer a value or a reason, never
// crash, and whatever reads must write and read back to the very same XML.
#include "PropertyList.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (PropertyList::detectFormat(bytes) != PropertyList::Format::Xml)
        return -1; // the ASCII fuzzer covers the rest; keep this corpus on XML
    QString error;
    const QVariant value = PropertyList::read(bytes, &error);
    if (!value.isValid()) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    const QByteArray xml = PropertyList::writeXml(value);
    if (xml.isEmpty())
        std::abort();
    const QVariant again = PropertyList::read(xml, &error);
    if (!again.isValid() || PropertyList::writeXml(again) != xml)
        std::abort();
    return 0;
}
