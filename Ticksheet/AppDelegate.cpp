#include "AppDelegate.h"

#include "Alert.h"
#include "Bundle.h"
#include "Constants.h"
#include "DocumentController.h"
#include "LocalChannel.h"
#include "Localized.h"
#include "MailScripts.h"
#include "MyDocument.h"
#include "PlugIns/ContactPickerInterface.h"
#include "PlugIns/ReporterInterface.h"
#include "PlugIns/SettingsPanelInterface.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "UpdateChecker.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QtDebug>

#include <algorithm>

namespace {

constexpr int updateCheckDelayMilliseconds = 3000;

const QString SampleName = QStringLiteral("RedArarOdo");

// The commands that report on every open client document; they need two of them.
const QStringList crossDocumentCommands = {
    QStringLiteral("allReportsMonthly"),       QStringLiteral("allReportsAny"),
    QStringLiteral("allReportsFull"),          QStringLiteral("summarizeReportsMonthly"),
    QStringLiteral("summarizeReportsAny"),     QStringLiteral("summarizeReportsFull"),
};

ReporterInterface* reporter()
{
    return qobject_cast<ReporterInterface*>(MyDocument::sharedInstanceOfClassName(QStringLiteral("Reporter")));
}

SettingsPanelInterface* settingsPanel()
{
    return qobject_cast<SettingsPanelInterface*>(MyDocument::sharedInstanceOfClassName(QStringLiteral("SettingsPanel")));
}

// Each "%@" of the text, in order, takes the next argument as it stands.
QString filled(const QString& text, const QStringList& arguments)
{
    const QStringList pieces = text.split(QStringLiteral("%@"));
    QString result = pieces.constFirst();
    for (qsizetype i = 1; i < pieces.size(); ++i)
        result += arguments.value(i - 1) + pieces.at(i);
    return result;
}

QString newVersionMessage(const QString& version)
{
    return filled(localized("A new version of %@ is available (version %@). Would you like to download the new "
                            "version now? OK will open a browser a page. You can turn auto-check for update on and "
                            "off in Preferences -> Misc",
                            "Main"),
                  {QCoreApplication::applicationName(), version});
}

// Modal, in plain text: the listed version comes from the network. True when "OK" was chosen.
bool runCheckAlert(QMessageBox::Icon icon, const QString& title, const QString& message, bool withCancel = false)
{
    QMessageBox alert(icon, title, message);
    alert.setTextFormat(Qt::PlainText);
    QPushButton* ok = alert.addButton(localized("OK", "Main"), QMessageBox::AcceptRole);
    if (withCancel)
        alert.setEscapeButton(alert.addButton(localized("Cancel", "Main"), QMessageBox::RejectRole));
    alert.setDefaultButton(ok);
    alert.exec();
    return alert.clickedButton() == ok;
}

} // namespace

const QString AppDelegate::TallywickVendedProtocol = QStringLiteral("runUpdateAlert");

AppDelegate::AppDelegate(QObject* parent)
    : VelmorAppDelegate(parent)
{
}

// Without the channel a quiet check still running gives up at once instead of waiting for an
// answer this thread will no longer serve; an interrupted fetch ends early.
AppDelegate::~AppDelegate()
{
    delete _channel;
    _channel = nullptr;
    if (_checkThread) {
        _checkThread->requestInterruption();
        _checkThread->wait();
        delete _checkThread;
    }
    delete _updateAlert;
}

QString AppDelegate::localChannelName()
{
    return QStringLiteral("Tallywick-%1").arg(QSysInfo::machineHostName());
}

QString AppDelegate::homePage()
{
    return QStringLiteral("https://tallywick.example/");
}

QString AppDelegate::downloadPage()
{
    return homePage() + QStringLiteral("NewDownload.html#Tallywick");
}

// Launching ----------------------------------------------------------------------------------

void AppDelegate::applicationWillFinishLaunching()
{
    VelmorAppDelegate::applicationWillFinishLaunching();
    _channel = new LocalChannel(this);
    _channel->registerName(localChannelName(), this, {TallywickVendedProtocol});
    Preferences::initialize();
}

void AppDelegate::applicationDidFinishLaunching()
{
    VelmorAppDelegate::applicationDidFinishLaunching();
    if (!SettingsStore::shared().boolForKey(AutoCheckForUpdates))
        return;
    _timer = new QTimer(this);
    _timer->setSingleShot(true);
    _timer->setInterval(updateCheckDelayMilliseconds);
    connect(_timer, &QTimer::timeout, this, &AppDelegate::checkLater);
    _timer->start();
}

bool AppDelegate::applicationShouldOpenUntitledFile()
{
    if (!_reopenedRememberedDocuments) {
        _reopenedRememberedDocuments = true;
        loadDefaultClients();
    }
    return !openedDocAlready;
}

void AppDelegate::loadDefaultClients()
{
    const QVariantList paths = SettingsStore::shared().arrayForKey(OpenOnLaunch);
    const bool wasHidden = QGuiApplication::applicationState() == Qt::ApplicationHidden;
    for (auto path = paths.crbegin(); path != paths.crend(); ++path) {
        const QString file = path->toString();
        if (!file.isEmpty() && DocumentController::shared().openDocumentWithContentsOfFile(file, true))
            openedDocAlready = true;
    }
    if (wasHidden) {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->showMinimized();
    }
}

void AppDelegate::appWillTerminate()
{
    QVariantList paths;
    const QList<Document*> documents = DocumentController::shared().documents();
    for (auto document = documents.crbegin(); document != documents.crend(); ++document) {
        const QString path = (*document)->fileName();
        if (!path.isEmpty())
            paths << path;
    }
    SettingsStore& settings = SettingsStore::shared();
    settings.setValue(OpenOnLaunch, paths);
    settings.flush();
}

QList<MyDocument*> AppDelegate::sortedSavedDocuments()
{
    QList<MyDocument*> sorted;
    for (Document* document : DocumentController::shared().documents()) {
        if (auto* client = qobject_cast<MyDocument*>(document))
            sorted << client;
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const MyDocument* a, const MyDocument* b) { return a->compare(*b) < 0; });
    return sorted;
}

bool AppDelegate::validateMenuItem(const QAction* item) const
{
    if (item && crossDocumentCommands.contains(item->objectName()))
        return sortedSavedDocuments().size() >= 2;
    return true;
}

QTimer* AppDelegate::updateTimer() const
{
    return _timer;
}

LocalChannel* AppDelegate::localChannel() const
{
    return _channel;
}

QMessageBox* AppDelegate::updateAlert() const
{
    return _updateAlert;
}

QThread* AppDelegate::updateCheckThread() const
{
    return _checkThread;
}

// Application commands -----------------------------------------------------------------------

void AppDelegate::showPreferencesAction()
{
    if (SettingsPanelInterface* panel = settingsPanel())
        panel->showWindow();
}

void AppDelegate::newFromAddressBookAction()
{
    auto* picker = qobject_cast<ContactPickerInterface*>(
        MyDocument::sharedInstanceOfClassName(QStringLiteral("ContactPicker")));
    if (picker)
        picker->createNewWithAddressBook();
}

// The sample is copied to the user's own runtime folder (private to the user, emptied at logout)
// so it can be edited; a copy from earlier in the session is kept with its changes.
QString AppDelegate::sampleCopyPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(folder.isEmpty() ? QDir::tempPath() : folder).filePath(SampleName + u'.' + TWKFileType);
}

void AppDelegate::showSampleAction()
{
    const QString sample = Bundle::pathForResource(SampleName, TWKFileType);
    if (sample.isEmpty())
        return;
    const QString copy = sampleCopyPath();
    QFile::copy(sample, copy);
    makePathReadWritable(copy);
    if (!DocumentController::shared().openDocumentWithContentsOfFile(copy, true))
        qWarning().noquote() << DocumentController::shared().lastError();
}

// Links are left alone: following one would change the permissions of whatever it points to.
void AppDelegate::makePathReadWritable(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.exists())
        return;
    const QFileDevice::Permissions readWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
        | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    if (!info.isDir()) {
        QFile::setPermissions(path, readWrite);
        return;
    }
    QFile::setPermissions(path, readWrite | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther);
    const QFileInfoList entries =
        QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (auto entry = entries.crbegin(); entry != entries.crend(); ++entry)
        makePathReadWritable(entry->filePath());
}

QString AppDelegate::helpPagePath()
{
    const QString folder = Bundle::pathForResource(QStringLiteral("Tallywick Help"), QString());
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("Tallywick.html"));
}

void AppDelegate::showWebHelp()
{
    const QString page = helpPagePath();
    if (!page.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}

// The desktop has no help viewer of its own: the page opens where any HTML file opens.
void AppDelegate::reallyShowHelp()
{
    showWebHelp();
}

void AppDelegate::launchURL(const QString& url)
{
    QDesktopServices::openUrl(QUrl(url));
}

void AppDelegate::goToVelmorWebSite()
{
    launchURL(homePage());
}

void AppDelegate::showSuggestionAction()
{
    launchURL(homePage() + QStringLiteral("Feedback.html"));
}

void AppDelegate::checkForNewVersion()
{
    checkForVersionWithUI(true);
}

void AppDelegate::checkLater()
{
    if (_timer) {
        _timer->stop();
        _timer->deleteLater();
        _timer = nullptr;
    }
    checkForVersionWithUI(false);
}

// Mail ---------------------------------------------------------------------------------------

bool AppDelegate::sendRichMail(const StyledText& text, const QString& to, const QString& subject, bool isMIME,
                               const QString& name)
{
    const ScriptRunner::Result result = MailScripts::sendRichMail(text, to, subject, isMIME, name);
    if (!result.succeeded)
        Alert::run(localized("Cannot Send Mail"), localized("Cannot mail because: %1").arg(result.failureReason()),
                   localized("OK"));
    return result.succeeded;
}

// Reports across documents -------------------------------------------------------------------

void AppDelegate::allReportsMonthly()
{
    if (ReporterInterface* shown = reporter())
        shown->loadThisMonthsReports(sortedSavedDocuments());
}

void AppDelegate::allReportsAny()
{
    if (ReporterInterface* shown = reporter())
        shown->loadAnyReports(sortedSavedDocuments());
}

void AppDelegate::allReportsFull()
{
    if (ReporterInterface* shown = reporter())
        shown->loadAllReports(sortedSavedDocuments());
}

void AppDelegate::summarizeReportsMonthly()
{
    if (ReporterInterface* shown = reporter())
        shown->summarizeThisMonthsReports(sortedSavedDocuments());
}

void AppDelegate::summarizeReportsAny()
{
    if (ReporterInterface* shown = reporter())
        shown->summarizeAnyReports(sortedSavedDocuments());
}

void AppDelegate::summarizeReportsFull()
{
    if (ReporterInterface* shown = reporter())
        shown->summarizeAllReports(sortedSavedDocuments());
}

// The update check ---------------------------------------------------------------------------

// Settings are read here, on the main thread; the quiet check's thread reads none.
UpdateChecker AppDelegate::updateChecker()
{
    return UpdateChecker(QUrl(SettingsStore::shared().stringForKey(VersionListURL)),
                         QCoreApplication::applicationName(), UpdateChecker::installedVersion());
}

void AppDelegate::checkForVersionWithUI(bool ui)
{
    if (ui) {
        reportInAlerts(updateChecker());
        return;
    }
    // One quiet check per run.
    if (_checkThread)
        return;
    _checkThread = QThread::create(&AppDelegate::reportThroughChannel, updateChecker());
    _checkThread->start();
}

// Runs on the quiet check's thread: its one way to the windows is the local channel, served by
// the main thread. A channel that cannot be reached means nothing is shown.
void AppDelegate::reportThroughChannel(const UpdateChecker& checker)
{
    const UpdateChecker::Result result = checker.check();
    if (result.outcome == UpdateChecker::Outcome::NewVersion)
        LocalChannel::call(localChannelName(), TallywickVendedProtocol, result.listedVersion);
}

void AppDelegate::reportInAlerts(const UpdateChecker& checker)
{
    const UpdateChecker::Result result = checker.check();
    switch (result.outcome) {
    case UpdateChecker::Outcome::NoList:
        runCheckAlert(QMessageBox::Warning, localized("No network connection", "Main"),
                      localized("Try again later when your computer is connected to the Internet.", "Main"));
        break;
    case UpdateChecker::Outcome::SameVersion:
        runCheckAlert(QMessageBox::Information, localized("Your Software is up-to-date", "Main"),
                      filled(localized("You have the most recent version of %@.", "Main"),
                             {QCoreApplication::applicationName()}));
        break;
    case UpdateChecker::Outcome::NewVersion:
        if (runCheckAlert(QMessageBox::Information, localized("A New Version is Available", "Main"),
                          newVersionMessage(result.listedVersion), true))
            launchURL(downloadPage());
        break;
    }
}

// The new-version alert ----------------------------------------------------------------------

void AppDelegate::runUpdateAlert(const QVariant& version)
{
    delete _updateAlert;
    auto* alert = new QMessageBox(QMessageBox::Information, localized("A New Version is Available", "Main"),
                                  newVersionMessage(version.toString()));
    alert->setTextFormat(Qt::PlainText);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::NonModal);
    alert->addButton(localized("OK", "Main"), QMessageBox::AcceptRole);
    alert->addButton(localized("Cancel", "Main"), QMessageBox::RejectRole);
    alert->addButton(localized("Preferences"), QMessageBox::ActionRole);
    _updateAlert = alert;
    setupButtonTargetsAndActions(alert);
    alert->show();
    alert->raise();
    alert->activateWindow();
}

void AppDelegate::setupButtonTargetsAndActions(QMessageBox* alert)
{
    for (QAbstractButton* button : alert->buttons()) {
        if (button->text() == localized("OK", "Main"))
            connect(button, &QAbstractButton::clicked, this, &AppDelegate::downloadAction);
        else if (button->text() == localized("Cancel", "Main"))
            connect(button, &QAbstractButton::clicked, this, &AppDelegate::cancelDownloadAction);
        else if (button->text() == localized("Preferences"))
            connect(button, &QAbstractButton::clicked, this, &AppDelegate::showDownloadPrefsAction);
    }
}

void AppDelegate::hideUpdateAlert()
{
    if (_updateAlert)
        _updateAlert->hide();
}

void AppDelegate::downloadAction()
{
    hideUpdateAlert();
    launchURL(downloadPage());
}

void AppDelegate::cancelDownloadAction()
{
    hideUpdateAlert();
}

void AppDelegate::showDownloadPrefsAction()
{
    hideUpdateAlert();
    if (SettingsPanelInterface* panel = settingsPanel())
        panel->showCheckUpdatesPrefAction();
}
