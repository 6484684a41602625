#pragma once

#include "TicksheetExport.h"

#include <QString>

// Paths handed over by scripts.
class TICKSHEET_EXPORT ScriptingPath
{
public:
    // A colon-separated path ("Volume:Folder:File", or ":Folder:File" relative) becomes the
    // slash-separated form; any other path comes back standardized (home folder expanded, "."
    // and ".." resolved, doubled and trailing slashes removed). A folder's path carries no
    // trailing separator in either form, so isDirectory does not change the text.
    static QString posixPathIsDirectory(const QString& path, bool isDirectory);
};
