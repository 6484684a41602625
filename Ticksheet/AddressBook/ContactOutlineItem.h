#pragma once

#include "AddressBookGroup.h"

// One row of the picker's outline: a group or a person; neither for the root.
struct ContactOutlineItem {
    AddressBookGroup::GroupRef group;
    AddressBookGroup::PersonRef person;

    bool isRoot() const { return !group && !person; }
};
