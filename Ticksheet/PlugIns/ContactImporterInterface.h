#pragma once

#include <QByteArray>
#include <QObject>

class AddressBookPerson;
class MyDocument;

// Turns an address-book person into the client details of a client document, through the
// document's undoable setters. Keeps nothing between calls.
class ContactImporterInterface
{
public:
    virtual ~ContactImporterInterface() = default;

    // Reads vCard data (a dropped contact card) and copies the person into the document; data that
    // does not read leaves the document unchanged.
    virtual void loadPersonData(const QByteArray& vCardData, MyDocument* document) = 0;
    // Copies the person's name, e-mail, phone and address into the document's client details.
    virtual void loadPerson(const AddressBookPerson& person, MyDocument* document) = 0;
};

#define ContactImporterInterface_iid "com.velmor.Tallywick.ContactImporter/1.0"
Q_DECLARE_INTERFACE(ContactImporterInterface, ContactImporterInterface_iid)
