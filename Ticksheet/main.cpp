#include "MyDocument.h"
#include "Preferences.h"
#include "VelmorPreferences.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallywick"));
    QApplication::setOrganizationName(QStringLiteral("Velmor"));
    VelmorPreferences::initialize();
    Preferences::initialize();

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tallywick"));
    auto* label = new QLabel(QStringLiteral("Tallywick"), &window);
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(640, 400);
    window.show();
    return app.exec();
}
