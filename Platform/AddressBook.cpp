#include "AddressBook.h"

#include "SettingsStore.h"
#include "VCardReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMap>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QtDebug>

#include <memory>

namespace {

// A group while the book is read: its members and its subgroups by name.
struct GroupNode {
    QString name;
    QList<AddressBook::PersonRef> members;
    // Keyed so that names order without regard to case, yet names differing in case stay apart.
    QMap<QString, GroupNode> subgroups;

    GroupNode& subgroup(const QString& subgroupName)
    {
        GroupNode& node = subgroups[subgroupName.toCaseFolded() + u'\n' + subgroupName];
        node.name = subgroupName;
        return node;
    }

    AddressBook::GroupRef toGroup() const
    {
        auto group = std::make_shared<AddressBookGroup>(name);
        group->setMembers(members);
        for (const GroupNode& node : subgroups)
            group->addSubgroup(node.toGroup());
        return group;
    }
};

QStringList pathOf(const QString& category)
{
    QStringList path;
    for (const QString& part : category.split(u'/')) {
        if (!part.trimmed().isEmpty())
            path.append(part.trimmed());
    }
    return path;
}

// The folder itself, or while it does not exist the nearest folder above it that does, so that
// the book notices its folder being made. Empty when nothing on the way exists.
QString folderToWatch(const QString& folder)
{
    QFileInfo info(QDir(folder).absolutePath());
    while (!info.isDir()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath())
            return {};
        info = QFileInfo(parent);
    }
    return info.absoluteFilePath();
}

// Bursts of changes (an editor's save, a sync of many files) make one reload.
constexpr int reloadDelayMilliseconds = 100;

} // namespace

AddressBook::AddressBook(const QString& folder, QObject* parent)
    : QObject(parent)
    , _folder(folder)
    , _watcher(new QFileSystemWatcher(this))
    , _reloadTimer(new QTimer(this))
{
    _reloadTimer->setSingleShot(true);
    _reloadTimer->setInterval(reloadDelayMilliseconds);
    connect(_reloadTimer, &QTimer::timeout, this, [this] {
        reload();
        emit changed();
    });
    connect(_watcher, &QFileSystemWatcher::directoryChanged, _reloadTimer, qOverload<>(&QTimer::start));
    connect(_watcher, &QFileSystemWatcher::fileChanged, _reloadTimer, qOverload<>(&QTimer::start));
    reload();
}

AddressBook& AddressBook::shared()
{
    static QPointer<AddressBook> book;
    if (!book)
        book = new AddressBook(configuredFolder(), QCoreApplication::instance());
    else
        book->setFolder(configuredFolder());
    return *book;
}

QString AddressBook::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).filePath(QStringLiteral("contacts"));
}

QString AddressBook::configuredFolder()
{
    const QString folder = SettingsStore::shared().stringForKey(FolderKey);
    return folder.isEmpty() ? defaultFolder() : folder;
}

std::optional<AddressBookPerson> AddressBook::personFromVCardData(const QByteArray& data)
{
    const QList<AddressBookPerson> people = VCardReader::read(data);
    if (people.isEmpty())
        return std::nullopt;
    return people.first();
}

QString AddressBook::folder() const
{
    return _folder;
}

void AddressBook::setFolder(const QString& folder)
{
    if (folder == _folder)
        return;
    _folder = folder;
    reload();
    emit changed();
}

QList<AddressBook::PersonRef> AddressBook::people() const
{
    return _people;
}

QList<AddressBook::GroupRef> AddressBook::groups() const
{
    return _groups;
}

void AddressBook::reload()
{
    _reloadTimer->stop();
    readFolder();
    buildGroups();
    watchFolder();
}

void AddressBook::readFolder()
{
    _people.clear();
    const QDir folder(_folder);
    const QStringList filters = {QStringLiteral("*.vcf"), QStringLiteral("*.vcard")};
    for (const QFileInfo& info : folder.entryInfoList(filters, QDir::Files | QDir::Readable, QDir::Name)) {
        if (info.size() > VCardReader::maximumDataSize) {
            qWarning().noquote() << "Address book: skipped" << info.filePath() << "(too large)";
            continue;
        }
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly)) {
            qWarning().noquote() << "Address book: cannot read" << info.filePath() << file.errorString();
            continue;
        }
        for (const AddressBookPerson& person : VCardReader::read(file.read(VCardReader::maximumDataSize)))
            _people.append(std::make_shared<const AddressBookPerson>(person));
    }
}

void AddressBook::buildGroups()
{
    GroupNode root;
    for (const PersonRef& person : std::as_const(_people)) {
        for (const QString& category : person->categories()) {
            const QStringList path = pathOf(category);
            if (path.isEmpty())
                continue;
            GroupNode* node = &root;
            for (const QString& name : path)
                node = &node->subgroup(name);
            if (!node->members.contains(person))
                node->members.append(person);
        }
    }
    _groups.clear();
    for (const GroupNode& node : std::as_const(root.subgroups))
        _groups.append(node.toGroup());
}

// Files replaced by a save drop out of the watch, so the watch is laid anew after every read.
void AddressBook::watchFolder()
{
    if (!_watcher->files().isEmpty())
        _watcher->removePaths(_watcher->files());
    if (!_watcher->directories().isEmpty())
        _watcher->removePaths(_watcher->directories());
    const QString watched = folderToWatch(_folder);
    if (watched.isEmpty())
        return;
    _watcher->addPath(watched);
    const QDir folder(_folder);
    if (!folder.exists())
        return;
    const QStringList filters = {QStringLiteral("*.vcf"), QStringLiteral("*.vcard")};
    const QStringList files = folder.entryList(filters, QDir::Files);
    QStringList paths;
    for (const QString& file : files)
        paths.append(folder.absoluteFilePath(file));
    if (!paths.isEmpty())
        _watcher->addPaths(paths);
}
