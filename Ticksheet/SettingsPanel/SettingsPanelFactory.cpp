#include "SettingsPanelFactory.h"

#include "SettingsPanel.h"

#include <QApplication>
#include <QtDebug>

namespace {

bool widgetsAvailable()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true;
    qWarning("SettingsPanel needs a QApplication to show its window");
    return false;
}

} // namespace

QObject* SettingsPanelFactory::sharedInstance()
{
    return widgetsAvailable() ? SettingsPanel::sharedInstance() : nullptr;
}

QObject* SettingsPanelFactory::newInstance()
{
    return widgetsAvailable() ? new SettingsPanel : nullptr;
}
