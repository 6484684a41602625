#include "FileWriter.h"

#include "Constants.h"
#include "NotificationCenter.h"
#include "PropertyList.h"

#include <QSaveFile>
#include <QtDebug>

bool FileWriter::writeToFile(const QByteArray& data, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        qWarning("Could not write \"%s\": %s", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    NotificationCenter::shared().post(FileSystemChangedNotification, path);
    return true;
}

bool FileWriter::writeToFile(const QString& text, const QString& path)
{
    return writeToFile(text.toUtf8(), path);
}

bool FileWriter::writeToFile(const QVariantMap& dictionary, const QString& path)
{
    const QByteArray data = PropertyList::writeXml(dictionary);
    if (data.isEmpty()) {
        qWarning("Could not write \"%s\": the dictionary is not a property list", qPrintable(path));
        return false;
    }
    return writeToFile(data, path);
}
