#include "TestSettings.h"

#include "SettingsStore.h"

TestSettings::TestSettings()
    : _previous(qgetenv("TALLYWICK_SETTINGS"))
{
    SettingsStore::resetShared();
    qputenv("TALLYWICK_SETTINGS", filePath().toUtf8());
}

TestSettings::~TestSettings()
{
    SettingsStore::resetShared();
    qputenv("TALLYWICK_SETTINGS", _previous);
}

QString TestSettings::filePath() const
{
    return _folder.filePath(QStringLiteral("settings.json"));
}

void TestSettings::reload()
{
    SettingsStore::resetShared();
}
