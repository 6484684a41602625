#pragma once

#include "PlugIns/PlugInFactory.h"

#include <QObject>

// The root object of the Reporter module. There is one report viewer per process.
class ReporterFactory : public QObject, public PlugInFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PlugInFactory_iid)
    Q_INTERFACES(PlugInFactory)

public:
    // Both answer nullptr without a QApplication: the viewer is a window.
    QObject* sharedInstance() override;
    QObject* newInstance() override;
};
