#include "PlugInLoader.h"

#include "Bundle.h"
#include "PlugIns/PlugInFactory.h"

#include <QtDebug>

QObject* PlugInLoader::instanceOfClassName(const QString& name, bool shared)
{
    QObject* root = Bundle::plugInRootObject(name);
    if (!root)
        return nullptr;
    auto* factory = qobject_cast<PlugInFactory*>(root);
    if (!factory) {
        qWarning().noquote() << "Plug-in module" << name << "has no plug-in factory (" PlugInFactory_iid ")";
        return nullptr;
    }
    return shared ? factory->sharedInstance() : factory->newInstance();
}

QObject* PlugInLoader::sharedInstanceOfClassName(const QString& name)
{
    return instanceOfClassName(name, true);
}

QObject* PlugInLoader::instanceOfClassName(const QString& name)
{
    return instanceOfClassName(name, false);
}
