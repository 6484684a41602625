#pragma once

#include "PlugIns/PlugInFactory.h"

#include <QObject>

// The root object of the ContactImporter module. The importer has no window, so it needs no
// QApplication.
class ContactImporterFactory : public QObject, public PlugInFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PlugInFactory_iid)
    Q_INTERFACES(PlugInFactory)

public:
    QObject* sharedInstance() override;
    QObject* newInstance() override;
};
