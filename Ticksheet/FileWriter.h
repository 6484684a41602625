#pragma once

#include "TicksheetExport.h"

#include <QByteArray>
#include <QString>
#include <QVariantMap>

// Writes data, text (UTF-8) or a dictionary (XML property list) to a file atomically: the old
// file stays whole until the new one is complete. A successful write posts
// FileSystemChangedNotification with the path, so views of the folder can refresh.
class TICKSHEET_EXPORT FileWriter
{
public:
    static bool writeToFile(const QByteArray& data, const QString& path);
    static bool writeToFile(const QString& text, const QString& path);
    // False, writing nothing, when the dictionary cannot be a property list.
    static bool writeToFile(const QVariantMap& dictionary, const QString& path);
};
