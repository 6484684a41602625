#pragma once

#include "DateTimeAsker.h"
#include "PlugIns/WidgetPlugInFactory.h"

#include <QObject>

// The root object of the DateTimeAsker module.
class DateTimeAskerFactory : public QObject, public WidgetPlugInFactory<DateTimeAsker>
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PlugInFactory_iid)
    Q_INTERFACES(PlugInFactory)
};
