#pragma once

#include "SettingsPanel.h"
#include "PlugIns/WidgetPlugInFactory.h"

#include <QObject>

// The root object of the SettingsPanel module.
class SettingsPanelFactory : public QObject, public WidgetPlugInFactory<SettingsPanel>
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PlugInFactory_iid)
    Q_INTERFACES(PlugInFactory)
};
