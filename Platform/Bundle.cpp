#include "Bundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPluginLoader>
#include <QtDebug>

#include <memory>

namespace {

const QString PlugInExtension = QStringLiteral("bundle");

// One loader per module path. The loaders are never released: while one is held, Qt neither
// unloads its module nor deletes the module's objects, not even at exit after the application
// object is gone (plug-in windows must not be destroyed that late).
QHash<QString, QPluginLoader*>& loadedModules()
{
    static auto* modules = new QHash<QString, QPluginLoader*>;
    return *modules;
}

bool isPlainName(const QString& text)
{
    return !text.contains(u'/') && text != u".." && text != u".";
}

}

QString Bundle::resourcePath()
{
    const QString fromEnvironment = qEnvironmentVariable("TALLYWICK_RESOURCES");
    if (!fromEnvironment.isEmpty())
        return QDir(fromEnvironment).absolutePath();
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("Resources"));
}

QString Bundle::pathForResource(const QString& name, const QString& extension)
{
    if (name.isEmpty() || !isPlainName(name) || !isPlainName(extension))
        return QString();
    const QString fileName = extension.isEmpty() ? name : name + u'.' + extension;
    const QFileInfo resource(QDir(resourcePath()), fileName);
    return resource.exists() ? resource.absoluteFilePath() : QString();
}

QObject* Bundle::plugInRootObject(const QString& className)
{
    // An absolute path makes QPluginLoader take exactly this file, with no search of the library
    // paths and no guessed prefixes or suffixes.
    const QString path = pathForResource(className, PlugInExtension);
    if (path.isEmpty()) {
        qWarning().noquote() << "No plug-in module" << className + u'.' + PlugInExtension << "in" << resourcePath();
        return nullptr;
    }

    if (QPluginLoader* loaded = loadedModules().value(path))
        return loaded->instance();

    auto loader = std::make_unique<QPluginLoader>(path);
    QObject* root = loader->instance();
    if (!root) {
        qWarning().noquote() << "Cannot load plug-in module" << path + u':' << loader->errorString();
        return nullptr;
    }
    loadedModules().insert(path, loader.release());
    return root;
}
