#pragma once

#include "AddressBookGroup.h"

// The pseudo-group at the top of the picker: every person of the address book, under "All".
// Made in memory, never saved.
class AllGroup : public AddressBookGroup
{
public:
    explicit AllGroup(const QList<PersonRef>& everyone);
};
