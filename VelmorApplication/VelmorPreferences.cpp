#include "VelmorPreferences.h"

#include "SettingsStore.h"
#include "VelmorConstants.h"

void VelmorPreferences::loadDictionary(QVariantMap& target)
{
    target.insert(VelmorCCAddress, QString());
    target.insert(VelmorUserTempDirectory, QString());
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
}
