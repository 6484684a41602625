#pragma once

#include "PlatformExport.h"

#include <QList>
#include <QString>
#include <QStringList>

// One person of the address book: names, organization, the categories that place the person in
// groups, and labelled e-mail, phone and postal address values in the order of the card.
class PLATFORM_EXPORT AddressBookPerson
{
public:
    // Labels of the multi-valued properties.
    static inline const QString WorkLabel = QStringLiteral("work");
    static inline const QString HomeLabel = QStringLiteral("home");
    static inline const QString MainLabel = QStringLiteral("main");
    static inline const QString MobileLabel = QStringLiteral("mobile");
    static inline const QString FaxLabel = QStringLiteral("fax");
    static inline const QString PagerLabel = QStringLiteral("pager");
    static inline const QString OtherLabel = QStringLiteral("other");

    struct LabeledValue {
        QString label;
        QString value;
        bool preferred = false;
        bool operator==(const LabeledValue&) const = default;
    };

    struct PostalAddress {
        QString street;
        QString city;
        QString state;
        QString zip;
        QString country;
        bool operator==(const PostalAddress&) const = default;
    };

    struct LabeledAddress {
        QString label;
        PostalAddress address;
        bool preferred = false;
        bool operator==(const LabeledAddress&) const = default;
    };

    QString firstName() const;
    void setFirstName(const QString& name);
    QString lastName() const;
    void setLastName(const QString& name);
    QString organization() const;
    void setOrganization(const QString& organization);
    // Group paths from the card's categories: "Clients" or "Clients/Active".
    QStringList categories() const;
    void setCategories(const QStringList& categories);

    QList<LabeledValue> emails() const;
    void addEmail(const LabeledValue& email);
    QList<LabeledValue> phones() const;
    void addPhone(const LabeledValue& phone);
    QList<LabeledAddress> addresses() const;
    void addAddress(const LabeledAddress& address);

    bool operator==(const AddressBookPerson&) const = default;

private:
    QString _firstName;
    QString _lastName;
    QString _organization;
    QStringList _categories;
    QList<LabeledValue> _emails;
    QList<LabeledValue> _phones;
    QList<LabeledAddress> _addresses;
};
