#pragma once

#include "PlatformExport.h"

#include <QByteArray>
#include <QList>

class AddressBookPerson;

// Reads the people of vCard data (versions 2.1, 3.0 and 4.0, one or more cards): folded lines,
// quoted-printable values, escaped separators and named character sets. Broken cards (no END, a
// mismatched END, a new card begun inside one) are left out; group cards are not people.
class PLATFORM_EXPORT VCardReader
{
public:
    // Larger data is refused whole, so no input can take unbounded memory.
    static constexpr qsizetype maximumDataSize = 8 * 1024 * 1024;

    static QList<AddressBookPerson> read(const QByteArray& data);
};
