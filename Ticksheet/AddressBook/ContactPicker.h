#pragma once

#include "ContactOutlineItem.h"
#include "PlugIns/ContactPickerInterface.h"
#include "VelmorModalPrompt.h"

#include "ui_ContactPicker.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <map>
#include <memory>

class AddressBook;
class AddressBookPerson;
class AllGroup;
class ContactOutlineModel;

// The modal picker behind "New from Address Book": the address book as an outline (every person
// under "All", then each group with its subgroups and its members by last name). OK makes a new
// client document filled from the chosen person.
class ContactPicker : public VelmorModalPrompt<ContactPicker>, public ContactPickerInterface
{
    Q_OBJECT
    Q_INTERFACES(ContactPickerInterface)

public:
    using Item = ContactOutlineItem;
    using PersonRef = AddressBookGroup::PersonRef;
    using GroupRef = AddressBookGroup::GroupRef;

    explicit ContactPicker(QWidget* parent = nullptr);
    ~ContactPicker() override;

    // The module's own shared instance; it lives until the process ends.
    static ContactPicker* singleInstance();
    static void setSingleInstance(ContactPicker* instance);

    MyDocument* createNewWithAddressBook() override;

    // The outline's data source.
    int numberOfChildrenOfItem(const Item& item);
    Item child(int index, const Item& item);
    bool isItemExpandable(const Item& item) const;
    QString objectValueForTableColumn(int column, const Item& item) const;
    bool shouldEditTableColumn(int column, const Item& item) const;
    void setObjectValue(const QVariant& value, int column, const Item& item);

    // The selected row when it is a person; null otherwise.
    PersonRef selectedPerson() const;
    // The group's members by last name, ignoring case; cached until the picker opens again.
    QList<PersonRef> sortedMembers(const GroupRef& group);
    static int totalInGroup(const GroupRef& group);
    // First name, last name and organization, each present one followed by a space.
    static QString stringForPerson(const AddressBookPerson& person);

    // Makes, fills and shows the new client document.
    MyDocument* setStuff();

public slots:
    void outlineViewSelectionDidChange();
    // A click in the outline: opens a closed group and updates OK.
    void validateOKButtonAction(const QModelIndex& clicked);

private:
    void addressBookChanged();
    void dropCache();
    void updateOKButton();
    void openOnPerson(const QModelIndex& index);

    Ui::ContactPicker ui;
    ContactOutlineModel* _model;
    AddressBook* _book;
    // Keyed by the group itself, so that groups of the same name keep their own members.
    std::map<GroupRef, QList<PersonRef>> dict;
    std::shared_ptr<AllGroup> topGroup;
};
