#pragma once

#include "PlatformExport.h"

#include <QList>
#include <QString>

#include <memory>

class AddressBookPerson;

// A group of the address book: a name, its members and its subgroups, both in the address book's
// order. People and subgroups are shared, so items handed out stay valid across a reload.
class PLATFORM_EXPORT AddressBookGroup
{
public:
    using PersonRef = std::shared_ptr<const AddressBookPerson>;
    using GroupRef = std::shared_ptr<const AddressBookGroup>;

    explicit AddressBookGroup(const QString& name = QString());

    QString name() const;
    QList<PersonRef> members() const;
    QList<GroupRef> subgroups() const;

    void addMember(const PersonRef& person);
    void setMembers(const QList<PersonRef>& people);
    void addSubgroup(const GroupRef& group);

private:
    QString _name;
    QList<PersonRef> _members;
    QList<GroupRef> _subgroups;
};
