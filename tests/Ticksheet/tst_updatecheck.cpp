#include "AppDelegate.h"
#include "Constants.h"
#include "Preferences.h"
#include "PropertyList.h"
#include "SettingsStore.h"
#include "TestSettings.h"
#include "UpdateChecker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <optional>

namespace {

const QString NewVersionMessage = QStringLiteral(
    "A new version of Tallywick is available (version %1). Would you like to download the new version now? OK will "
    "open a browser a page. You can turn auto-check for update on and off in Preferences -> Misc");
const QString DownloadPage = QStringLiteral("https://tallywick.example/NewDownload.html#Tallywick");

// A web server on the loopback interface that gives every request the same answer.
class VersionListServer : public QObject
{
public:
    VersionListServer(int status, const QByteArray& body)
        : _response(response(status, body))
    {
        _server.listen(QHostAddress::LocalHost, 0);
        connect(&_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = _server.nextPendingConnection())
                serve(socket);
        });
    }

    QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/versionlist.xml").arg(_server.serverPort()));
    }

    // Nothing listens there any more: the connection is refused.
    static QUrl closedPortUrl()
    {
        VersionListServer server(200, {});
        return server.url();
    }

private:
    static QByteArray response(int status, const QByteArray& body)
    {
        const QByteArray reason = status == 200 ? "OK" : "Not Found";
        return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason
            + "\r\nContent-Type: text/xml\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size())
            + "\r\n\r\n" + body;
    }

    void serve(QTcpSocket* socket)
    {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto request = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
            *request += socket->readAll();
            if (request->contains("\r\n\r\n")) {
                socket->write(_response);
                socket->disconnectFromHost();
            }
        });
    }

    QTcpServer _server;
    QByteArray _response;
};

QByteArray versionList(const QVariantMap& versions)
{
    return PropertyList::writeXml(versions);
}

// Answers the next modal alert by clicking the button with the given title, noting what it showed.
class AlertAnswerer : public QObject
{
public:
    explicit AlertAnswerer(const QString& button)
        : _button(button)
    {
        connect(&_poll, &QTimer::timeout, this, &AlertAnswerer::answer);
        _poll.start(20);
    }

    QString title;
    QString message;
    Qt::TextFormat format = Qt::AutoText;
    QStringList buttons;

private:
    void answer()
    {
        auto* alert = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!alert)
            return;
        _poll.stop();
        title = alert->windowTitle();
        message = alert->text();
        format = alert->textFormat();
        for (QAbstractButton* button : alert->buttons())
            buttons << button->text();
        for (QAbstractButton* button : alert->buttons()) {
            if (button->text() == _button)
                button->click();
        }
    }

    QString _button;
    QTimer _poll;
};

// Stands in for the web browser.
class Browser : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

} // namespace

Q_DECLARE_METATYPE(std::optional<QVariantMap>)

class TestUpdateCheck : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void comparesOnlyForEquality_data();
    void comparesOnlyForEquality();
    void menuCheckAlwaysReports_data();
    void menuCheckAlwaysReports();
    void quietCheckReportsOnlyANewVersionThroughTheChannel_data();
    void quietCheckReportsOnlyANewVersionThroughTheChannel();
    void quietCheckWithoutAChannelShowsNothing();
    void newVersionAlertButtons_data();
    void newVersionAlertButtons();

private:
    std::unique_ptr<AppDelegate> launchedDelegate(const QUrl& versionList);
    static QMessageBox* visibleMessageBox();

    std::unique_ptr<TestSettings> _settings;
    std::unique_ptr<Browser> _browser;
};

void TestUpdateCheck::init()
{
    _settings = std::make_unique<TestSettings>();
    Preferences::initialize();
    SettingsStore::shared().setValue(AutoCheckForUpdates, false);
    _browser = std::make_unique<Browser>();
    QDesktopServices::setUrlHandler(QStringLiteral("https"), _browser.get(), "open");
}

void TestUpdateCheck::cleanup()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QApplication::closeAllWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    _browser.reset();
    _settings.reset();
}

std::unique_ptr<AppDelegate> TestUpdateCheck::launchedDelegate(const QUrl& versionList)
{
    auto delegate = std::make_unique<AppDelegate>();
    delegate->applicationWillFinishLaunching();
    SettingsStore::shared().setValue(VersionListURL, versionList.toString());
    return delegate;
}

QMessageBox* TestUpdateCheck::visibleMessageBox()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            return box;
    }
    return nullptr;
}

void TestUpdateCheck::comparesOnlyForEquality_data()
{
    QTest::addColumn<std::optional<QVariantMap>>("list");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("listedVersion");

    const auto noList = int(UpdateChecker::Outcome::NoList);
    const auto same = int(UpdateChecker::Outcome::SameVersion);
    const auto newer = int(UpdateChecker::Outcome::NewVersion);
    const QString app = QStringLiteral("Tallywick");
    QTest::newRow("no list") << std::optional<QVariantMap>() << noList << QString();
    QTest::newRow("no entry for us") << std::optional(QVariantMap {{QStringLiteral("Other"), QStringLiteral("2.0")}})
                                     << noList << QString();
    QTest::newRow("entry not a string") << std::optional(QVariantMap {{app, QVariantList {QStringLiteral("2.0")}}})
                                        << noList << QString();
    QTest::newRow("same") << std::optional(QVariantMap {{app, QStringLiteral("1.4")}}) << same << QStringLiteral("1.4");
    QTest::newRow("newer") << std::optional(QVariantMap {{app, QStringLiteral("1.5")}}) << newer << QStringLiteral("1.5");
    QTest::newRow("older is announced too")
        << std::optional(QVariantMap {{app, QStringLiteral("1.3")}}) << newer << QStringLiteral("1.3");
    QTest::newRow("no version ordering")
        << std::optional(QVariantMap {{app, QStringLiteral("1.4.0")}}) << newer << QStringLiteral("1.4.0");
}

void TestUpdateCheck::comparesOnlyForEquality()
{
    QFETCH(std::optional<QVariantMap>, list);
    QFETCH(int, outcome);
    QFETCH(QString, listedVersion);

    const UpdateChecker checker(QUrl(), QStringLiteral("Tallywick"), QStringLiteral("1.4"));
    const UpdateChecker::Result result = checker.compare(list);
    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.listedVersion, listedVersion);
}

void TestUpdateCheck::menuCheckAlwaysReports_data()
{
    QTest::addColumn<int>("status"); // 0: nothing listens
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QList<QUrl>>("opened");

    const QString app = QStringLiteral("Tallywick");
    const QString ok = QStringLiteral("OK");
    const QString cancel = QStringLiteral("Cancel");
    const QString noNetwork = QStringLiteral("No network connection");
    const QString tryLater = QStringLiteral("Try again later when your computer is connected to the Internet.");
    const QString newVersion = QStringLiteral("A New Version is Available");

    QTest::newRow("same version") << 200 << versionList({{app, UpdateChecker::installedVersion()}}) << ok
                                  << QStringLiteral("Your Software is up-to-date")
                                  << QStringLiteral("You have the most recent version of Tallywick.") << QStringList {ok}
                                  << QList<QUrl>();
    QTest::newRow("new version, OK opens the download page")
        << 200 << versionList({{app, QStringLiteral("99.0")}, {QStringLiteral("Other"), QStringLiteral("3")}}) << ok
        << newVersion << NewVersionMessage.arg(QStringLiteral("99.0")) << QStringList {ok, cancel}
        << QList<QUrl> {QUrl(DownloadPage)};
    QTest::newRow("older version listed, Cancel") << 200 << versionList({{app, QStringLiteral("0.0.1")}}) << cancel
                                                  << newVersion << NewVersionMessage.arg(QStringLiteral("0.0.1"))
                                                  << QStringList {ok, cancel} << QList<QUrl>();
    QTest::newRow("markup in the version stays text")
        << 200 << versionList({{app, QStringLiteral("<b>2</b>")}}) << cancel << newVersion
        << NewVersionMessage.arg(QStringLiteral("<b>2</b>")) << QStringList {ok, cancel} << QList<QUrl>();
    QTest::newRow("server down") << 0 << QByteArray() << ok << noNetwork << tryLater << QStringList {ok}
                                 << QList<QUrl>();
    QTest::newRow("no file") << 404 << QByteArray("<html>gone</html>") << ok << noNetwork << tryLater
                             << QStringList {ok} << QList<QUrl>();
    QTest::newRow("not a property list") << 200 << QByteArray("<html><body>Tallywick 2.0</body></html>") << ok
                                         << noNetwork << tryLater << QStringList {ok} << QList<QUrl>();
    QTest::newRow("an array, not a dictionary") << 200 << PropertyList::writeXml(QVariantList {app}) << ok
                                                << noNetwork << tryLater << QStringList {ok} << QList<QUrl>();
    QTest::newRow("no entry for us") << 200 << versionList({{QStringLiteral("Other"), QStringLiteral("3")}}) << ok
                                     << noNetwork << tryLater << QStringList {ok} << QList<QUrl>();
}

void TestUpdateCheck::menuCheckAlwaysReports()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(QStringList, buttons);
    QFETCH(QList<QUrl>, opened);

    VersionListServer server(status, body);
    auto delegate = launchedDelegate(status ? server.url() : VersionListServer::closedPortUrl());
    AlertAnswerer answerer(button);
    delegate->checkForNewVersion();

    QCOMPARE(answerer.title, title);
    QCOMPARE(answerer.message, message);
    QCOMPARE(answerer.format, Qt::PlainText); // the listed version comes from the network
    QCOMPARE(answerer.buttons, buttons);
    QCOMPARE(_browser->opened, opened);
    QVERIFY(!delegate->updateCheckThread());
}

void TestUpdateCheck::quietCheckReportsOnlyANewVersionThroughTheChannel_data()
{
    QTest::addColumn<int>("status"); // 0: nothing listens
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("announced"); // empty: nothing is shown

    const QString app = QStringLiteral("Tallywick");
    QTest::newRow("same version") << 200 << versionList({{app, UpdateChecker::installedVersion()}}) << QString();
    QTest::newRow("new version") << 200 << versionList({{app, QStringLiteral("99.0")}}) << QStringLiteral("99.0");
    QTest::newRow("server down") << 0 << QByteArray() << QString();
    QTest::newRow("not a property list") << 200 << QByteArray("Tallywick = ") << QString();
}

void TestUpdateCheck::quietCheckReportsOnlyANewVersionThroughTheChannel()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, announced);

    VersionListServer server(status, body);
    auto delegate = launchedDelegate(status ? server.url() : VersionListServer::closedPortUrl());
    SettingsStore::shared().setValue(AutoCheckForUpdates, true);
    delegate->applicationDidFinishLaunching();
    QVERIFY(delegate->updateTimer());
    delegate->checkLater(); // what the timer does 3 seconds after launch

    QVERIFY(!delegate->updateTimer());
    QThread* check = delegate->updateCheckThread();
    QVERIFY(check);
    QVERIFY(check != QThread::currentThread());
    QTRY_VERIFY(check->isFinished());
    QCoreApplication::processEvents();

    QMessageBox* alert = delegate->updateAlert();
    if (announced.isEmpty()) {
        QVERIFY(!alert);
        QVERIFY(!visibleMessageBox());
        return;
    }
    QVERIFY(alert && alert->isVisible());
    QCOMPARE(alert->thread(), QThread::currentThread()); // built by the main thread, served by the channel
    QVERIFY(!alert->isModal());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(alert->windowTitle(), QStringLiteral("A New Version is Available"));
    QCOMPARE(alert->text(), NewVersionMessage.arg(announced));
    QCOMPARE(alert->textFormat(), Qt::PlainText);

    // At most one quiet check per run.
    delegate->checkLater();
    QCOMPARE(delegate->updateCheckThread(), check);
}

// The quiet check's only way to a window is the local channel.
void TestUpdateCheck::quietCheckWithoutAChannelShowsNothing()
{
    VersionListServer server(200, versionList({{QStringLiteral("Tallywick"), QStringLiteral("99.0")}}));
    AppDelegate delegate; // not launched: no channel
    SettingsStore::shared().setValue(VersionListURL, server.url().toString());
    delegate.checkLater();

    QTRY_VERIFY(delegate.updateCheckThread()->isFinished());
    QCoreApplication::processEvents();
    QVERIFY(!delegate.updateAlert());
    QVERIFY(!visibleMessageBox());
}

void TestUpdateCheck::newVersionAlertButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<QUrl>>("opened");

    QTest::newRow("OK opens the download page") << QStringLiteral("OK") << QList<QUrl> {QUrl(DownloadPage)};
    QTest::newRow("Cancel") << QStringLiteral("Cancel") << QList<QUrl>();
    QTest::newRow("Preferences") << QStringLiteral("Preferences") << QList<QUrl>();
}

void TestUpdateCheck::newVersionAlertButtons()
{
    QFETCH(QString, button);
    QFETCH(QList<QUrl>, opened);

    auto delegate = launchedDelegate(VersionListServer::closedPortUrl());
    delegate->runUpdateAlert(QStringLiteral("7.1"));
    QPointer<QMessageBox> alert = delegate->updateAlert();
    QVERIFY(alert && alert->isVisible());

    QStringList titles;
    for (QAbstractButton* each : alert->buttons())
        titles << each->text();
    QCOMPARE(titles, (QStringList {QStringLiteral("OK"), QStringLiteral("Cancel"), QStringLiteral("Preferences")}));
    for (QAbstractButton* each : alert->buttons()) {
        if (each->text() == button) {
            each->click();
            break;
        }
    }

    QVERIFY(!alert || !alert->isVisible());
    QCOMPARE(_browser->opened, opened);
}

int main(int argc, char* argv[])
{
    // The local channel's socket goes to a folder of this run only.
    QTemporaryDir temporary;
    qputenv("TMPDIR", temporary.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", temporary.path().toLocal8Bit());
    // Loopback only, whatever the developer's proxy settings.
    qunsetenv("http_proxy");
    qunsetenv("HTTP_PROXY");

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallywick"));
    TestUpdateCheck test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_updatecheck.moc"
