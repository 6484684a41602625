#pragma once

#include "SharePriceAsker.h"
#include "PlugIns/WidgetPlugInFactory.h"

#include <QObject>

// The root object of the SharePriceAsker module.
class SharePriceAskerFactory : public QObject, public WidgetPlugInFactory<SharePriceAsker>
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PlugInFactory_iid)
    Q_INTERFACES(PlugInFactory)
};
