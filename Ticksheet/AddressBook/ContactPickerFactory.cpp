#include "ContactPickerFactory.h"

#include "ContactPicker.h"

#include <QApplication>
#include <QtDebug>

namespace {

bool widgetsAvailable()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true;
    qWarning("ContactPicker needs a QApplication to show its window");
    return false;
}

} // namespace

QObject* ContactPickerFactory::sharedInstance()
{
    return widgetsAvailable() ? ContactPicker::sharedInstance() : nullptr;
}

QObject* ContactPickerFactory::newInstance()
{
    return widgetsAvailable() ? new ContactPicker : nullptr;
}
