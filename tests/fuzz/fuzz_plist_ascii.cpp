// Any bytes as an old-style ASCII property list: reading must answer a value or a reason, never
// crash, and whatever reads must write as 7-bit text that reads back equal.
#include "PropertyList.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (PropertyList::detectFormat(bytes) != PropertyList::Format::Ascii)
        return -1;
    QString error;
    const QVariant value = PropertyList::read(bytes, &error);
    if (!value.isValid()) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    const QByteArray ascii = PropertyList::writeAscii(value);
    if (ascii.isEmpty() || !std::all_of(ascii.cbegin(), ascii.cend(), [](char c) { return uchar(c) < 0x80; }))
        std::abort();
    if (PropertyList::read(ascii, &error) != value)
        std::abort();
    return 0;
}
