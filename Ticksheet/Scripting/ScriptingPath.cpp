#include "ScriptingPath.h"

#include <QDir>
#include <QStringList>

namespace {

QString standardized(const QString& path)
{
    QString expanded = path;
    if (expanded == QLatin1String("~") || expanded.startsWith(QLatin1String("~/")))
        expanded.replace(0, 1, QDir::homePath());
    return QDir::cleanPath(expanded);
}

// The first name of an absolute colon path is its volume; here every volume is the root of the
// one file system. An empty name between colons climbs one folder; a "/" inside a name is the
// character a slash path writes as ":".
QString fromColonPath(const QString& path)
{
    QStringList names = path.split(QLatin1Char(':'));
    if (path.endsWith(QLatin1Char(':')))
        names.removeLast();
    const bool relative = path.startsWith(QLatin1Char(':'));
    names.removeFirst(); // the volume, or the empty name before a leading colon
    QStringList parts;
    for (const QString& name : std::as_const(names))
        parts << (name.isEmpty() ? QStringLiteral("..") : QString(name).replace(QLatin1Char('/'), QLatin1Char(':')));
    const QString joined = parts.join(QLatin1Char('/'));
    return standardized(relative ? joined : QLatin1Char('/') + joined);
}

} // namespace

QString ScriptingPath::posixPathIsDirectory(const QString& path, bool /*isDirectory*/)
{
    if (!path.isEmpty() && !path.startsWith(QLatin1Char('/')) && path.contains(QLatin1Char(':')))
        return fromColonPath(path);
    return standardized(path);
}
