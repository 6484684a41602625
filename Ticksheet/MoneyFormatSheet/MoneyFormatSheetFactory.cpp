#include "MoneyFormatSheetFactory.h"

#include "MoneyFormatSheet.h"

#include <QApplication>
#include <QtDebug>

namespace {

bool widgetsAvailable()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true;
    qWarning("MoneyFormatSheet needs a QApplication to show its window");
    return false;
}

} // namespace

QObject* MoneyFormatSheetFactory::sharedInstance()
{
    return widgetsAvailable() ? MoneyFormatSheet::sharedInstance() : nullptr;
}

QObject* MoneyFormatSheetFactory::newInstance()
{
    return widgetsAvailable() ? new MoneyFormatSheet : nullptr;
}
