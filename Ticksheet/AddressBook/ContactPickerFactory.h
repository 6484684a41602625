#pragma once

#include "ContactPicker.h"
#include "PlugIns/WidgetPlugInFactory.h"

#include <QObject>

// The root object of the ContactPicker module.
class ContactPickerFactory : public QObject, public WidgetPlugInFactory<ContactPicker>
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PlugInFactory_iid)
    Q_INTERFACES(PlugInFactory)
};
