#pragma once

#include "AddressBookGroup.h"
#include "AddressBookPerson.h"
#include "PlatformExport.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class QFileSystemWatcher;
class QTimer;

// The user's contacts: the vCard files (*.vcf, *.vcard) of one folder. People come in file order,
// then card order. Groups come from the cards' categories: "Clients" is a group, "Clients/Active"
// the subgroup "Active" of "Clients"; a person belongs to the group each category names. Groups and
// subgroups are ordered by name. The folder is watched: when its cards change, the book reloads
// and says so.
class PLATFORM_EXPORT AddressBook : public QObject
{
    Q_OBJECT

public:
    using PersonRef = AddressBookGroup::PersonRef;
    using GroupRef = AddressBookGroup::GroupRef;

    // The setting naming the folder; the default folder when it is missing or "".
    static inline const QString FolderKey = QStringLiteral("AddressBookFolder");

    explicit AddressBook(const QString& folder, QObject* parent = nullptr);

    // The address book of this process, on the folder the settings name at the moment of the call.
    static AddressBook& shared();
    // The data folder's "contacts".
    static QString defaultFolder();
    static QString configuredFolder();
    // The first person of vCard data; none when no card reads.
    static std::optional<AddressBookPerson> personFromVCardData(const QByteArray& data);

    QString folder() const;
    // Reads the new folder (and says changed) unless it is the current one.
    void setFolder(const QString& folder);
    QList<PersonRef> people() const;
    QList<GroupRef> groups() const;

    void reload();

signals:
    // The cards were changed by another program, or the folder was changed.
    void changed();

private:
    void readFolder();
    void buildGroups();
    void watchFolder();

    QString _folder;
    QList<PersonRef> _people;
    QList<GroupRef> _groups;
    QFileSystemWatcher* _watcher;
    QTimer* _reloadTimer;
};
