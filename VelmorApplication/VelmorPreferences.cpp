#include "VelmorPreferences.h"

#include "SettingsStore.h"
#include "VelmorConstants.h"

void VelmorPreferences::loadDictionary(QVariantMap& target)
{
    // Empty but present texts, not null ones: a null string reads as "nothing stored".
    target.insert(VelmorCCAddress, QStringLiteral(""));
    target.insert(VelmorUserTempDirectory, QStringLiteral(""));
}

void VelmorPreferences::initialize()
{
    QVariantMap defaults;
    loadDictionary(defaults);
    SettingsStore::shared().registerDefaults(defaults);
}

void VelmorPreferences::restoreToDefaultCondition()
{
    QVariantMap defaults;
    loadDictionary(defaults);
    SettingsStore& store = SettingsStore::shared();
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        store.setValue(it.key(), it.value());
    store.flush();
}
