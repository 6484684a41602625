#pragma once

#include "PlugIns/PlugInFactory.h"

#include <QObject>
#include <QPointer>

// The root object of the ExportOptions module. The export asks for a new panel per document.
class ExportOptionsFactory : public QObject, public PlugInFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PlugInFactory_iid)
    Q_INTERFACES(PlugInFactory)

public:
    // Both answer nullptr without a QApplication: the panel is made of widgets.
    QObject* sharedInstance() override;
    QObject* newInstance() override;

private:
    QPointer<QObject> _shared;
};
