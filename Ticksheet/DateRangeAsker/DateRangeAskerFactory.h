#pragma once

#include "DateRangeAsker.h"
#include "PlugIns/WidgetPlugInFactory.h"

#include <QObject>

// The root object of the DateRangeAsker module.
class DateRangeAskerFactory : public QObject, public WidgetPlugInFactory<DateRangeAsker>
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PlugInFactory_iid)
    Q_INTERFACES(PlugInFactory)
};
