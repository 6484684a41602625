#include "ContactImporter.h"

#include "AddressBook.h"
#include "MyDocument.h"
#include "UndoManager.h"

#include <optional>

namespace {

// The last value carrying one of the labels.
template <typename Value>
std::optional<Value> lastLabeled(const QList<Value>& values, const QStringList& labels)
{
    for (auto it = values.crbegin(); it != values.crend(); ++it) {
        if (labels.contains(it->label))
            return *it;
    }
    return std::nullopt;
}

// With fewer than two values the first; with more, the last labelled work (none without one).
template <typename Value>
std::optional<Value> firstOrLastAtWork(const QList<Value>& values)
{
    if (values.size() < 2)
        return values.first();
    return lastLabeled(values, {AddressBookPerson::WorkLabel});
}

void appendPart(QString& text, const QString& part, QStringView separator)
{
    if (part.isEmpty())
        return;
    text += part;
    text += separator;
}

} // namespace

ContactImporter* ContactImporter::sharedInstance()
{
    static ContactImporter* importer = new ContactImporter;
    return importer;
}

QString ContactImporter::fullName(const AddressBookPerson& person)
{
    const QString first = person.firstName();
    const QString last = person.lastName();
    if (!first.isEmpty() && !last.isEmpty())
        return QStringLiteral("%1 %2").arg(first, last);
    return last.isEmpty() ? first : last;
}

void ContactImporter::loadPersonData(const QByteArray& vCardData, MyDocument* document)
{
    if (!document)
        return;
    if (const std::optional<AddressBookPerson> person = AddressBook::personFromVCardData(vCardData))
        loadPerson(*person, document);
}

void ContactImporter::loadPerson(const AddressBookPerson& person, MyDocument* document)
{
    if (!document)
        return;
    // One card dropped or picked is one change to undo.
    UndoManager* undo = document->undoManager();
    undo->beginUndoGrouping();
    document->setClientName(fullName(person));
    if (const QString email = pickedEmail(person); !email.isEmpty())
        document->setEmail(email);
    if (const QString phone = pickedPhone(person); !phone.isEmpty())
        document->setPhone(phone);
    if (const QString address = addressText(person); !address.isEmpty())
        document->setAddress(address);
    undo->endUndoGrouping();
}

QString ContactImporter::pickedEmail(const AddressBookPerson& person)
{
    const QList<AddressBookPerson::LabeledValue> emails = person.emails();
    if (emails.isEmpty())
        return QString();
    const auto pick = firstOrLastAtWork(emails);
    return pick ? pick->value : QString();
}

QString ContactImporter::pickedPhone(const AddressBookPerson& person)
{
    const QList<AddressBookPerson::LabeledValue> phones = person.phones();
    if (phones.isEmpty())
        return QString();
    if (phones.size() >= 2) {
        const auto pick = lastLabeled(phones, {AddressBookPerson::MainLabel, AddressBookPerson::WorkLabel});
        if (pick && !pick->value.isEmpty())
            return pick->value;
    }
    return phones.first().value;
}

// Name line, then street; city, state, tab, ZIP; country. Parts that are missing are left out
// with their separators.
QString ContactImporter::addressText(const AddressBookPerson& person)
{
    const QList<AddressBookPerson::LabeledAddress> addresses = person.addresses();
    if (addresses.isEmpty())
        return QString();
    QString text;
    appendPart(text, fullName(person), u"\n");
    if (const auto pick = firstOrLastAtWork(addresses)) {
        const AddressBookPerson::PostalAddress& address = pick->address;
        appendPart(text, address.street, u"\n");
        appendPart(text, address.city, u" ");
        appendPart(text, address.state, u"\t");
        appendPart(text, address.zip, u"\n");
        appendPart(text, address.country, u"");
    }
    return text;
}
