#pragma once

#include "PlatformExport.h"

#include <QString>

class QObject;

// The application's resource folder: named resources and the plug-in modules found there by class name.
class PLATFORM_EXPORT Bundle
{
public:
    // $TALLYWICK_RESOURCES when set, else the folder "Resources" beside the running executable.
    // Read afresh on every call, so a changed environment takes effect at the next lookup.
    static QString resourcePath();

    // Absolute path of "<name>.<extension>" (or of "<name>" when the extension is empty) in the
    // resource folder; empty when there is no such file or folder, or when the name would reach
    // outside the resource folder.
    static QString pathForResource(const QString& name, const QString& extension);

    // The root object of the plug-in module "<className>.bundle" in the resource folder, or nullptr
    // (with one line in the log) when the module is missing or cannot be loaded. A loaded module
    // stays loaded until the process ends, and asking again answers the same root object.
    static QObject* plugInRootObject(const QString& className);
};
