#include "SharePriceAskerFactory.h"

#include "SharePriceAsker.h"

#include <QApplication>
#include <QtDebug>

namespace {

bool widgetsAvailable()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true;
    qWarning("SharePriceAsker needs a QApplication to show its window");
    return false;
}

} // namespace

QObject* SharePriceAskerFactory::sharedInstance()
{
    return widgetsAvailable() ? SharePriceAsker::sharedInstance() : nullptr;
}

QObject* SharePriceAskerFactory::newInstance()
{
    return widgetsAvailable() ? new SharePriceAsker : nullptr;
}
