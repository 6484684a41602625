// Shows the preferences window at one tab and saves its picture, for the screenshots of the
// documentation: settings-panel-snapshot <tab index> <picture.png>
#include "PlugIns/SettingsPanelInterface.h"
#include "PlugInLoader.h"
#include "Preferences.h"
#include "VelmorPreferences.h"

#include <QApplication>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        qCritical("usage: settings-panel-snapshot <tab index> <picture.png>");
        return 2;
    }
    VelmorPreferences::initialize();
    Preferences::initialize();

    QObject* instance = PlugInLoader::sharedInstanceOfClassName(QStringLiteral("SettingsPanel"));
    auto* panel = qobject_cast<SettingsPanelInterface*>(instance);
    auto* window = qobject_cast<QWidget*>(instance);
    if (!panel || !window)
        return 1;
    panel->showWindow();
    window->findChild<QTabWidget*>(QStringLiteral("tabView"))->setCurrentIndex(arguments.at(1).toInt());

    const QString picture = arguments.at(2);
    int status = 1;
    // Long enough for the window manager to place and paint the window.
    QTimer::singleShot(1500, window, [window, picture, &status] {
        status = window->grab().save(picture) ? 0 : 1;
        QApplication::quit();
    });
    app.exec();
    return status;
}
