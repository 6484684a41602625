#pragma once

#include "VelmorExport.h"

#include <QString>
#include <QVariantMap>

// File-system helpers of the framework.
class VELMOR_EXPORT FileManagerExtensions
{
public:
    FileManagerExtensions() = delete;

    // Makes the missing directories of the path, outermost first (mode 0777 less the umask).
    // True when the path ends up a writable directory; false when a level cannot be made (the
    // levels made before remain) or the path is a file or a directory we cannot write.
    static bool createWritableDirectory(const QString& path);

    // The path itself when nothing is there, else the first free "<name>_<n>.<extension>",
    // n = 1, 2, ..., each formed from the given path. A name without extension gets "<name>_<n>".
    static QString nextUniqueNameUsing(const QString& path);

    // The setting "UserTemporaryDirectory" when set, else "<tmp>/<process name>-<login name>";
    // made when missing. When it cannot be made, logs and answers the system's temporary folder.
    // The answer is kept until the setting changes.
    static QString temporaryDirectory();

    // Asks whether a failed copy, move or remove should go on; errorInfo holds "Error" and "Path".
    static bool shouldProceedAfterError(const QVariantMap& errorInfo);

private:
    static bool existsAt(const QString& path);
    static QString defaultTemporaryDirectory();
    static QString processName();
    static QString loginName();
};
