#pragma once

#include <QObject>

class MyDocument;

// The address-book client picker: makes a new client document from a person the user picks.
class ContactPickerInterface
{
public:
    virtual ~ContactPickerInterface() = default;

    // Runs the picker modally; on OK makes, fills and shows a new client document and answers it
    // (the document list owns it), on Cancel answers nullptr and makes nothing.
    virtual MyDocument* createNewWithAddressBook() = 0;
};

#define ContactPickerInterface_iid "com.velmor.Tallywick.ContactPicker/1.0"
Q_DECLARE_INTERFACE(ContactPickerInterface, ContactPickerInterface_iid)
