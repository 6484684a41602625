#pragma once

#include "TicksheetExport.h"
#include "VelmorAppDelegate.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>

class LocalChannel;
class MyDocument;
class QAction;
class QMessageBox;
class QThread;
class QTimer;
class StyledText;
class UpdateChecker;

// The application's delegate: the launch steps, the documents reopened at launch and remembered
// at quit, and the application-wide commands.
class TICKSHEET_EXPORT AppDelegate : public VelmorAppDelegate
{
    Q_OBJECT

public:
    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    // The one operation the local channel serves.
    static const QString TallywickVendedProtocol;
    // "Tallywick-<host name>".
    static QString localChannelName();
    static QString homePage();
    // Where a new version is downloaded from.
    static QString downloadPage();

    void applicationWillFinishLaunching() override;
    void applicationDidFinishLaunching() override;
    // True when an untitled client document should be opened: the first time it is asked in a run
    // it reopens the remembered documents; true exactly when none of them opened.
    bool applicationShouldOpenUntitledFile();
    void loadDefaultClients();
    // Stores the paths of the open, saved documents in reverse order under "OpenTheseOnLaunch".
    void appWillTerminate();
    // Every open client document, saved or not, by client name and then project name.
    static QList<MyDocument*> sortedSavedDocuments();
    // The report commands need two client documents; every other command is always enabled.
    bool validateMenuItem(const QAction* item) const;

    // Mails the text through the mail client of the "Mailer" setting; a failure is shown in an
    // alert. True when the mail client took the message.
    bool sendRichMail(const StyledText& text, const QString& to, const QString& subject, bool isMIME,
                      const QString& name);

    static void makePathReadWritable(const QString& path);
    // Where the sample document is copied before it opens.
    static QString sampleCopyPath();

    // The pending automatic update check; null when none.
    QTimer* updateTimer() const;
    LocalChannel* localChannel() const;
    // The non-modal new-version alert while it is shown.
    QMessageBox* updateAlert() const;
    // The quiet check's thread once it has been started; null before.
    QThread* updateCheckThread() const;

    // One update check. With ui it runs here and always reports its outcome in a modal alert;
    // without, it runs on a thread of its own and only a new version is reported, through the
    // local channel.
    void checkForVersionWithUI(bool ui);

public slots:
    void showPreferencesAction();
    void newFromAddressBookAction();
    void showSampleAction();
    void showWebHelp();
    void reallyShowHelp();
    void launchURL(const QString& url);
    void goToVelmorWebSite();
    void showSuggestionAction() override;
    void checkForNewVersion();
    void checkLater();

    void allReportsMonthly();
    void allReportsAny();
    void allReportsFull();
    void summarizeReportsMonthly();
    void summarizeReportsAny();
    void summarizeReportsFull();

    // Served through the local channel: shows the non-modal new-version alert.
    Q_INVOKABLE void runUpdateAlert(const QVariant& version);
    void downloadAction();
    void cancelDownloadAction();
    void showDownloadPrefsAction();

private:
    static QString helpPagePath();
    static UpdateChecker updateChecker();
    static void reportThroughChannel(const UpdateChecker& checker);
    void reportInAlerts(const UpdateChecker& checker);
    void setupButtonTargetsAndActions(QMessageBox* alert);
    void hideUpdateAlert();

    // Set when a remembered document reopened at launch; decides the untitled document.
    bool openedDocAlready = false;
    // The remembered documents are reopened at most once per run.
    bool _reopenedRememberedDocuments = false;
    QTimer* _timer = nullptr;
    QThread* _checkThread = nullptr;
    LocalChannel* _channel = nullptr;
    QPointer<QMessageBox> _updateAlert;
};
