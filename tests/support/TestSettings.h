#pragma once

#include <QString>
#include <QTemporaryDir>

// Points the shared settings store at a fresh file in a temporary folder for the life of the
// object, so no test reads or writes the developer's own settings.
class TestSettings
{
public:
    TestSettings();
    ~TestSettings();

    QString filePath() const;
    // Drop the shared store (flushing it) so the next read loads the file again.
    void reload();

private:
    QTemporaryDir _folder;
    QByteArray _previous;
};
