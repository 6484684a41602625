#pragma once

#include "TicksheetExport.h"

#include <QApplication>
#include <QPointer>
#include <QStringList>

class AboutPanel;
class AppDelegate;
class Document;
class MainMenu;

// The application object: runs the launch steps with its delegate, makes and shows the window of
// every document, and answers New, Open, About and Quit.
class TICKSHEET_EXPORT MainApp : public QApplication
{
    Q_OBJECT

public:
    MainApp(int& argc, char** argv);
    ~MainApp() override;

    static MainApp* instance();
    AppDelegate* delegate() const;
    // Takes the delegate over, in place of the current one.
    void setDelegate(AppDelegate* delegate);
    MainMenu* mainMenu() const;

    // The launch: the delegate's first steps, then the given files, or when none opens the
    // remembered documents or an untitled one, then the delegate's last steps. False when no
    // document window is open afterwards.
    bool finishLaunching(const QStringList& files);
    // Opens and shows a client document file; an alert names the file when it cannot be opened.
    Document* openFile(const QString& path);
    // From now on closing the last document window quits, as Quit does.
    void setTerminatesAfterLastWindowClosed(bool terminates);

    // The About panel while it is open.
    AboutPanel* aboutPanel() const;
    static QString rightsNotice();

public slots:
    void newDocument();
    void openDocument();
    void orderFrontStandardAboutPanel();
    // Remembers the open documents, then closes them, asking about unsaved changes. False, with
    // everything left open from the first document the user keeps, when the user cancels.
    bool terminate();
    // The main window comes to the front.
    void applicationDidFinishLaunching();

private:
    void showDocument(Document* document);
    void documentWindowClosed();

    QPointer<AppDelegate> _delegate;
    MainMenu* _menu;
    QPointer<AboutPanel> _aboutPanel;
    bool _terminating = false;
    bool _terminatesAfterLastWindowClosed = false;
};
