#include "ExportOptionsFactory.h"

#include "ExportOptions.h"

#include <QApplication>
#include <QtDebug>

namespace {

bool widgetsAvailable()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true;
    qWarning("ExportOptions needs a QApplication to make its check boxes");
    return false;
}

} // namespace

QObject* ExportOptionsFactory::sharedInstance()
{
    if (!_shared && widgetsAvailable())
        _shared = new ExportOptions(this);
    return _shared;
}

QObject* ExportOptionsFactory::newInstance()
{
    return widgetsAvailable() ? new ExportOptions : nullptr;
}
