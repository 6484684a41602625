#include "AddressBookPerson.h"

QString AddressBookPerson::firstName() const
{
    return _firstName;
}

void AddressBookPerson::setFirstName(const QString& name)
{
    _firstName = name;
}

QString AddressBookPerson::lastName() const
{
    return _lastName;
}

void AddressBookPerson::setLastName(const QString& name)
{
    _lastName = name;
}

QString AddressBookPerson::organization() const
{
    return _organization;
}

void AddressBookPerson::setOrganization(const QString& organization)
{
    _organization = organization;
}

QStringList AddressBookPerson::categories() const
{
    return _categories;
}

void AddressBookPerson::setCategories(const QStringList& categories)
{
    _categories = categories;
}

QList<AddressBookPerson::LabeledValue> AddressBookPerson::emails() const
{
    return _emails;
}

void AddressBookPerson::addEmail(const LabeledValue& email)
{
    _emails.append(email);
}

QList<AddressBookPerson::LabeledValue> AddressBookPerson::phones() const
{
    return _phones;
}

void AddressBookPerson::addPhone(const LabeledValue& phone)
{
    _phones.append(phone);
}

QList<AddressBookPerson::LabeledAddress> AddressBookPerson::addresses() const
{
    return _addresses;
}

void AddressBookPerson::addAddress(const LabeledAddress& address)
{
    _addresses.append(address);
}
