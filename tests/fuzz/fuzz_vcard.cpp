// Any bytes as vCard data: reading must never crash, and the address book's single-card reading
// must agree with the first card of a full read.
#include "AddressBook.h"
#include "VCardReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<AddressBookPerson> people = VCardReader::read(bytes);
    const std::optional<AddressBookPerson> first = AddressBook::personFromVCardData(bytes);
    if (first.has_value() != !people.isEmpty() || (first && !(*first == people.first())))
        std::abort();
    return 0;
}
