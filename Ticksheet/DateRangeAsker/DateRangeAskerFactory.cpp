#include "DateRangeAskerFactory.h"

#include "DateRangeAsker.h"

#include <QApplication>
#include <QtDebug>

namespace {

bool widgetsAvailable()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true;
    qWarning("DateRangeAsker needs a QApplication to show its window");
    return false;
}

} // namespace

QObject* DateRangeAskerFactory::sharedInstance()
{
    return widgetsAvailable() ? DateRangeAsker::sharedInstance() : nullptr;
}

QObject* DateRangeAskerFactory::newInstance()
{
    return widgetsAvailable() ? new DateRangeAsker : nullptr;
}
