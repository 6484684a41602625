#include "MainApp.h"

#include "AboutPanel.h"
#include "Alert.h"
#include "AppDelegate.h"
#include "Bundle.h"
#include "Constants.h"
#include "DocumentController.h"
#include "JobWindowController.h"
#include "Localized.h"
#include "MainMenu.h"
#include "MyDocument.h"

#include <QIcon>

MainApp::MainApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Tallywick"));
    setApplicationDisplayName(QStringLiteral("Tallywick"));
    setOrganizationName(QStringLiteral("Velmor"));
    setApplicationVersion(QStringLiteral(TALLYWICK_VERSION));
    setDesktopFileName(QStringLiteral("tallywick"));
    const QString icon = Bundle::pathForResource(QStringLiteral("tallywick"), QStringLiteral("png"));
    if (!icon.isEmpty())
        setWindowIcon(QIcon(icon));

    _menu = new MainMenu(this);
    setDelegate(new AppDelegate);

    MyDocument::registerDocumentType();
    DocumentController::shared().setShowHook([this](Document* document) { showDocument(document); });
}

// Windows, documents and the delegate go while the application object they depend on still exists.
MainApp::~MainApp()
{
    DocumentController::shared().setShowHook({});
    DocumentController::shared().closeAllDocuments();
    sendPostedEvents(nullptr, QEvent::DeferredDelete);
    qDeleteAll(DocumentWindowController::controllers());
    delete _aboutPanel;
    delete _menu;
    delete _delegate.data();
}

MainApp* MainApp::instance()
{
    return qobject_cast<MainApp*>(QCoreApplication::instance());
}

AppDelegate* MainApp::delegate() const
{
    return _delegate;
}

void MainApp::setDelegate(AppDelegate* delegate)
{
    if (delegate == _delegate)
        return;
    delete _delegate;
    _delegate = delegate;
    _delegate->setParent(this);
    connect(_delegate, &AppDelegate::didFinishLaunching, this, &MainApp::applicationDidFinishLaunching);
    _menu->setDelegate(_delegate);
}

MainMenu* MainApp::mainMenu() const
{
    return _menu;
}

QString MainApp::rightsNotice()
{
    return QStringLiteral("Copyright \u00a9 Velmor Design. All rights reserved.");
}

// Launching ------------------------------------------------------------------------------------

bool MainApp::finishLaunching(const QStringList& files)
{
    _terminating = false;
    _delegate->applicationWillFinishLaunching();
    bool opened = false;
    for (const QString& file : files)
        opened = openFile(file) || opened;
    if (!opened && _delegate->applicationShouldOpenUntitledFile())
        newDocument();
    _delegate->applicationDidFinishLaunching();
    return !DocumentWindowController::controllers().isEmpty();
}

void MainApp::applicationDidFinishLaunching()
{
    const QList<DocumentWindowController*> windows = DocumentWindowController::controllers();
    if (!windows.isEmpty())
        windows.constLast()->showWindow();
}

void MainApp::setTerminatesAfterLastWindowClosed(bool terminates)
{
    _terminatesAfterLastWindowClosed = terminates;
}

// Documents ------------------------------------------------------------------------------------

void MainApp::showDocument(Document* document)
{
    DocumentWindowController* controller = DocumentWindowController::controllerFor(document);
    if (!controller) {
        auto* client = qobject_cast<MyDocument*>(document);
        if (!client)
            return;
        controller = new JobWindowController(client);
        _menu->install(*controller);
        connect(controller, &QObject::destroyed, this, &MainApp::documentWindowClosed);
    }
    controller->showWindow();
}

void MainApp::documentWindowClosed()
{
    if (_terminatesAfterLastWindowClosed && DocumentWindowController::controllers().isEmpty())
        terminate();
}

void MainApp::newDocument()
{
    if (!DocumentController::shared().openUntitledDocumentOfType(DocumentType, true))
        Alert::run(localized("The document could not be made."), DocumentController::shared().lastError(),
                   localized("OK", "VelmorStrings"));
}

void MainApp::openDocument()
{
    QWidget* parent = activeWindow();
    for (const QString& path : DocumentWindowController::runOpenPanel(parent))
        openFile(path);
}

Document* MainApp::openFile(const QString& path)
{
    Document* document = DocumentController::shared().openDocumentWithContentsOfFile(path, true);
    if (!document)
        Alert::run(localized("The document could not be opened."), DocumentController::shared().lastError(),
                   localized("OK", "VelmorStrings"));
    return document;
}

// About and Quit -------------------------------------------------------------------------------

AboutPanel* MainApp::aboutPanel() const
{
    return _aboutPanel;
}

void MainApp::orderFrontStandardAboutPanel()
{
    if (!_aboutPanel) {
        _aboutPanel = new AboutPanel(applicationVersion(), rightsNotice());
        _aboutPanel->setAttribute(Qt::WA_DeleteOnClose);
    }
    _aboutPanel->show();
    _aboutPanel->raise();
    _aboutPanel->activateWindow();
}

// After a successful quit the application is done: windows that go away while the event loop
// winds down must not start another one (which would remember no documents).
bool MainApp::terminate()
{
    if (_terminating)
        return false;
    _terminating = true;
    _delegate->appWillTerminate();
    if (!DocumentWindowController::closeAllDocuments()) {
        _terminating = false;
        return false;
    }
    closeAllWindows();
    quit();
    return true;
}
