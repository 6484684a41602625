#include "AddressBookGroup.h"

AddressBookGroup::AddressBookGroup(const QString& name)
    : _name(name)
{
}

QString AddressBookGroup::name() const
{
    return _name;
}

QList<AddressBookGroup::PersonRef> AddressBookGroup::members() const
{
    return _members;
}

QList<AddressBookGroup::GroupRef> AddressBookGroup::subgroups() const
{
    return _subgroups;
}

void AddressBookGroup::addMember(const PersonRef& person)
{
    _members.append(person);
}

void AddressBookGroup::setMembers(const QList<PersonRef>& people)
{
    _members = people;
}

void AddressBookGroup::addSubgroup(const GroupRef& group)
{
    _subgroups.append(group);
}
