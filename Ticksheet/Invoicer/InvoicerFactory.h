#pragma once

#include "Invoicer.h"
#include "PlugIns/WidgetPlugInFactory.h"

#include <QObject>

// The root object of the Invoicer module. There is one invoice viewer per process.
class InvoicerFactory : public QObject, public WidgetPlugInFactory<Invoicer>
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PlugInFactory_iid)
    Q_INTERFACES(PlugInFactory)
};
