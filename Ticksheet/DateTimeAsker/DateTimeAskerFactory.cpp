#include "DateTimeAskerFactory.h"

#include "DateTimeAsker.h"

#include <QApplication>
#include <QtDebug>

namespace {

bool widgetsAvailable()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true;
    qWarning("DateTimeAsker needs a QApplication to show its window");
    return false;
}

} // namespace

QObject* DateTimeAskerFactory::sharedInstance()
{
    return widgetsAvailable() ? DateTimeAsker::sharedInstance() : nullptr;
}

QObject* DateTimeAskerFactory::newInstance()
{
    return widgetsAvailable() ? new DateTimeAsker : nullptr;
}
