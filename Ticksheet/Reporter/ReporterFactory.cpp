#include "ReporterFactory.h"

#include "Reporter.h"

#include <QApplication>
#include <QtDebug>

namespace {

bool widgetsAvailable()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true;
    qWarning("Reporter needs a QApplication to show its window");
    return false;
}

} // namespace

QObject* ReporterFactory::sharedInstance()
{
    return widgetsAvailable() ? Reporter::sharedInstance() : nullptr;
}

QObject* ReporterFactory::newInstance()
{
    return widgetsAvailable() ? new Reporter : nullptr;
}
