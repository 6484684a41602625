#include "AllGroup.h"

#include "Localized.h"

AllGroup::AllGroup(const QList<PersonRef>& everyone)
    : AddressBookGroup(localized("All"))
{
    setMembers(everyone);
}
