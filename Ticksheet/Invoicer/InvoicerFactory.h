#pragma once

#include "PlugIns/PlugInFactory.h"

#include <QObject>

// The root object of the Invoicer module. There is one invoice viewer per process.
class InvoicerFactory : public QObject, public PlugInFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PlugInFactory_iid)
    Q_INTERFACES(PlugInFactory)

public:
    // Both answer nullptr without a QApplication: the viewer is a window.
    QObject* sharedInstance() override;
    QObject* newInstance() override;
};
