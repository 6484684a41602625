#pragma once

#include "TicksheetExport.h"

#include <QString>

class QObject;

// Reaches a plug-in by its class name: the module "<name>.bundle" in the resource folder, loaded on
// first use and kept loaded. A plug-in that is missing or cannot be loaded answers nullptr; the
// failure goes to the log, never to the user, and the caller then does nothing.
class TICKSHEET_EXPORT PlugInLoader
{
public:
    // Shared: the plug-in's single instance, owned by the plug-in until the process ends.
    // Not shared: a new instance on every call, owned by the caller.
    static QObject* instanceOfClassName(const QString& name, bool shared);
    static QObject* sharedInstanceOfClassName(const QString& name);
    static QObject* instanceOfClassName(const QString& name);
};
