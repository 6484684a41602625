#pragma once

#include "Reporter.h"
#include "PlugIns/WidgetPlugInFactory.h"

#include <QObject>

// The root object of the Reporter module. There is one report viewer per process.
class ReporterFactory : public QObject, public WidgetPlugInFactory<Reporter>
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PlugInFactory_iid)
    Q_INTERFACES(PlugInFactory)
};
