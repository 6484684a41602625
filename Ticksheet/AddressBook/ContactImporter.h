#pragma once

#include "PlugIns/ContactImporterInterface.h"

#include <QObject>
#include <QString>

// Copies an address-book person into a client document's name, e-mail, phone and address, through
// the document's undoable setters, as one undo step. Keeps nothing between calls.
class ContactImporter : public QObject, public ContactImporterInterface
{
    Q_OBJECT
    Q_INTERFACES(ContactImporterInterface)

public:
    // The module's own shared instance; it lives until the process ends.
    static ContactImporter* sharedInstance();

    // "First Last"; the first name alone without a last name; else the last name (may be "").
    static QString fullName(const AddressBookPerson& person);

    void loadPersonData(const QByteArray& vCardData, MyDocument* document) override;
    void loadPerson(const AddressBookPerson& person, MyDocument* document) override;

private:
    static QString pickedEmail(const AddressBookPerson& person);
    static QString pickedPhone(const AddressBookPerson& person);
    static QString addressText(const AddressBookPerson& person);
};
