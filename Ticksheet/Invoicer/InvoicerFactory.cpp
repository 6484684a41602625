#include "InvoicerFactory.h"

#include "Invoicer.h"

#include <QApplication>
#include <QtDebug>

namespace {

bool widgetsAvailable()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true;
    qWarning("Invoicer needs a QApplication to show its window");
    return false;
}

} // namespace

QObject* InvoicerFactory::sharedInstance()
{
    return widgetsAvailable() ? Invoicer::sharedInstance() : nullptr;
}

QObject* InvoicerFactory::newInstance()
{
    return widgetsAvailable() ? new Invoicer : nullptr;
}
