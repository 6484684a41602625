#include "FileManagerExtensions.h"

#include "Alert.h"
#include "Localized.h"
#include "SettingsStore.h"
#include "VelmorConstants.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <pwd.h>
#include <unistd.h>

namespace {

// The temporary directory answered last, and the setting it was chosen for.
QString cachedTemporaryDirectory;
QString cachedForSetting;

// Fills each "%@" of the format, in order, with the next argument, inserted verbatim.
QString fillPlaceholders(const QString& format, const QStringList& arguments)
{
    const QStringList pieces = format.split(QStringLiteral("%@"));
    QString text = pieces.first();
    for (qsizetype i = 1; i < pieces.size(); ++i)
        text += arguments.value(i - 1) + pieces.at(i);
    return text;
}

} // namespace

bool FileManagerExtensions::existsAt(const QString& path)
{
    // A dangling link counts as taken: writing there would follow it.
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool FileManagerExtensions::createWritableDirectory(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo target(path);
    if (target.exists())
        return target.isDir() && target.isWritable();

    QString ancestor = QDir::cleanPath(path);
    QStringList missing;
    while (!ancestor.isEmpty() && !QFileInfo::exists(ancestor)) {
        const qsizetype slash = ancestor.lastIndexOf(QLatin1Char('/'));
        missing.prepend(ancestor.mid(slash + 1));
        ancestor = slash < 0 ? QString() : (slash == 0 ? QStringLiteral("/") : ancestor.left(slash));
    }

    QString level = ancestor;
    for (const QString& component : missing) {
        level = level.isEmpty() ? component : QDir(level).filePath(component);
        if (QFileInfo(level).isDir())
            continue;
        if (!QDir().mkdir(level) && !QFileInfo(level).isDir())
            return false;
    }
    return true;
}

QString FileManagerExtensions::nextUniqueNameUsing(const QString& path)
{
    if (!existsAt(path))
        return path;

    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    // A leading dot names a hidden file, not an extension.
    const bool hasExtension = dot > slash + 1;
    const QString stem = hasExtension ? path.left(dot) : path;
    const QString extension = hasExtension ? path.mid(dot) : QString();

    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1_%2%3").arg(stem).arg(n).arg(extension);
        if (!existsAt(candidate))
            return candidate;
    }
}

QString FileManagerExtensions::temporaryDirectory()
{
    const QString setting = SettingsStore::shared().stringForKey(VelmorUserTempDirectory);
    if (cachedTemporaryDirectory.isEmpty() || setting != cachedForSetting) {
        cachedForSetting = setting;
        cachedTemporaryDirectory = setting.isEmpty() ? defaultTemporaryDirectory() : setting;
    }
    // Made again on every call, in case something cleared it away meanwhile.
    if (!createWritableDirectory(cachedTemporaryDirectory)) {
        qWarning("Couldn't create %s, using %s", qPrintable(cachedTemporaryDirectory),
                 qPrintable(QDir::tempPath()));
        cachedTemporaryDirectory = QDir::tempPath();
    }
    return cachedTemporaryDirectory;
}

QString FileManagerExtensions::defaultTemporaryDirectory()
{
    return QDir(QDir::tempPath()).filePath(QStringLiteral("%1-%2").arg(processName(), loginName()));
}

QString FileManagerExtensions::processName()
{
    return QCoreApplication::applicationName();
}

QString FileManagerExtensions::loginName()
{
    if (const passwd* entry = getpwuid(geteuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

bool FileManagerExtensions::shouldProceedAfterError(const QVariantMap& errorInfo)
{
    const QString message = fillPlaceholders(
        localized("File operation error: %@ with file: %@", "VelmorStrings"),
        {errorInfo.value(QStringLiteral("Error")).toString(), errorInfo.value(QStringLiteral("Path")).toString()});
    const int pressed = Alert::run(processName(), message, localized("Proceed", "VelmorStrings"),
                                   localized("Stop", "VelmorStrings"));
    return pressed == 0;
}
