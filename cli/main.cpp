#include "CommandLineTool.h"

#include <QGuiApplication>

int main(int argc, char* argv[])
{
    // The tool shows no windows, but fonts and PDF output need a GUI application.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Tallywick"));
    QGuiApplication::setOrganizationName(QStringLiteral("Velmor"));
    CommandLineTool tool;
    return tool.run(QGuiApplication::arguments().mid(1));
}
