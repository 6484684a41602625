#pragma once

#include "MoneyFormatSheet.h"
#include "PlugIns/WidgetPlugInFactory.h"

#include <QObject>

// The root object of the MoneyFormatSheet module.
class MoneyFormatSheetFactory : public QObject, public WidgetPlugInFactory<MoneyFormatSheet>
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PlugInFactory_iid)
    Q_INTERFACES(PlugInFactory)
};
