#include "AppKernel/MainApp.h"

#include <QCommandLineParser>

int main(int argc, char* argv[])
{
    MainApp app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Time tracking and invoicing for work billed by the hour."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Client documents (.tickSheet) to open."),
                                 QStringLiteral("[FILE...]"));
    parser.process(app);

    // Closing the last document window quits, remembering the open documents as Quit does.
    app.setQuitOnLastWindowClosed(false);
    if (!app.finishLaunching(parser.positionalArguments()))
        return 1;
    app.setTerminatesAfterLastWindowClosed(true);
    return app.exec();
}
