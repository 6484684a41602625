#include "AppDelegate.h"
#include "AppKernel/MainApp.h"
#include "Constants.h"
#include "Document.h"
#include "DocumentController.h"
#include "DocumentWindowController.h"
#include "LocalChannel.h"
#include "MainMenu.h"
#include "MyDocument.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "TestSettings.h"
#include "UndoManager.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Answers the next modal dialog of type T (a message box, a file dialog) while a call blocks in
// it. The dialog is looked for on a timer, so the call that opens it runs unchanged.
template <typename T>
class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(T*)> answer)
    {
        QObject::connect(&_timer, &QTimer::timeout, [this, answer = std::move(answer)] {
            auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            _timer.stop();
            _answered = true;
            answer(dialog);
        });
        _timer.start(10);
    }

    bool answered() const { return _answered; }

private:
    QTimer _timer;
    bool _answered = false;
};

// Clicks the button of that title in the next message box and keeps the box's text.
struct MessageBoxAnswer : ModalAnswer<QMessageBox> {
    explicit MessageBoxAnswer(const QString& button)
        : ModalAnswer<QMessageBox>([this, button](QMessageBox* box) {
            text = box->text() + u'\n' + box->informativeText();
            for (QAbstractButton* candidate : box->buttons()) {
                if (candidate->text() == button)
                    candidate->click();
            }
        })
    {
    }

    QString text;
};

// Chooses the path in the next file dialog.
struct FileDialogAnswer : ModalAnswer<QFileDialog> {
    explicit FileDialogAnswer(const QString& path)
        : ModalAnswer<QFileDialog>([path](QFileDialog* dialog) {
            // selectFile() loses the name while the dialog is still reading its folder, so the
            // name is typed into the dialog's own field.
            const QFileInfo file(path);
            dialog->setDirectory(file.absolutePath());
            if (auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                field->setText(file.fileName());
            else
                dialog->selectFile(path);
            QMetaObject::invokeMethod(dialog, "accept");
        })
    {
    }
};

MainApp* app()
{
    return MainApp::instance();
}

QList<Document*> openDocuments()
{
    return DocumentController::shared().documents();
}

QMainWindow* windowOf(Document* document)
{
    DocumentWindowController* controller = DocumentWindowController::controllerFor(document);
    return controller ? controller->window() : nullptr;
}

QStringList fileNamesOf(const QList<Document*>& documents)
{
    QStringList names;
    for (const Document* document : documents)
        names << QFileInfo(document->fileName()).fileName();
    return names;
}

QStringList actionNamesIn(const QMenuBar* bar)
{
    QStringList names;
    for (const QMenu* menu : bar->findChildren<QMenu*>()) {
        for (const QAction* action : menu->actions())
            names << action->objectName();
    }
    return names;
}

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstLaunchOpensOneUntitledDocument();
    void quitRemembersDocumentsAndTheNextLaunchReopensThemInOrder();
    void neverSavedDocumentsAreNotRemembered();
    void closingAsksAboutUnsavedChanges_data();
    void closingAsksAboutUnsavedChanges();
    void quitStopsWhenTheUserCancels();
    void crossDocumentCommandsNeedTwoDocuments();
    void openingAnOpenFileBringsItsWindowForward();
    void failedOpenShowsAnAlertNamingTheFile_data();
    void failedOpenShowsAnAlertNamingTheFile();
    void saveAsWritesATickSheetFile();
    void titleAndUndoFollowTheDocument();
    void revertAsksFirst_data();
    void revertAsksFirst();
    void sampleIsAnEditableCopyKeptForTheSession();
    void updateTimerFollowsTheSetting_data();
    void updateTimerFollowsTheSetting();
    void localChannelRunsTheUpdateAlertOnTheMainThread();

private:
    // A fresh run of the program: a new delegate, launched with these files.
    void launch(const QStringList& files = {});
    QString writeClient(const QString& name);

    std::unique_ptr<TestSettings> _settings;
    std::unique_ptr<QTemporaryDir> _folder;
};

void TestApplication::init()
{
    _settings = std::make_unique<TestSettings>();
    _folder = std::make_unique<QTemporaryDir>();
    Preferences::initialize();
    // The update check must not start during a test.
    SettingsStore::shared().setValue(AutoCheckForUpdates, false);
}

void TestApplication::cleanup()
{
    app()->setTerminatesAfterLastWindowClosed(false);
    DocumentController::shared().closeAllDocuments();
    QApplication::closeAllWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(DocumentWindowController::controllers().isEmpty());
    _folder.reset();
    _settings.reset();
}

void TestApplication::launch(const QStringList& files)
{
    app()->setDelegate(new AppDelegate);
    app()->finishLaunching(files);
    SettingsStore::shared().setValue(AutoCheckForUpdates, false);
}

QString TestApplication::writeClient(const QString& name)
{
    MyDocument document;
    document.setClientName(name);
    const QString path = _folder->filePath(name + QStringLiteral(".tickSheet"));
    if (!document.saveDocumentAs(path))
        qWarning() << document.errorString();
    return path;
}

void TestApplication::firstLaunchOpensOneUntitledDocument()
{
    launch();

    QCOMPARE(openDocuments().size(), 1);
    Document* untitled = openDocuments().constFirst();
    QVERIFY(untitled->fileName().isEmpty());
    QVERIFY(qobject_cast<MyDocument*>(untitled));
    QMainWindow* window = windowOf(untitled);
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Untitled[*]"));
}

void TestApplication::quitRemembersDocumentsAndTheNextLaunchReopensThemInOrder()
{
    const QString a = writeClient(QStringLiteral("A"));
    const QString b = writeClient(QStringLiteral("B"));
    const QString c = writeClient(QStringLiteral("C"));
    launch({a, b, c});
    QCOMPARE(fileNamesOf(openDocuments()), QStringList({"A.tickSheet", "B.tickSheet", "C.tickSheet"}));

    // As in the program: the windows that go while the application winds down start no second quit.
    app()->setTerminatesAfterLastWindowClosed(true);
    QVERIFY(app()->terminate());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app()->setTerminatesAfterLastWindowClosed(false);
    QVERIFY(openDocuments().isEmpty());
    QCOMPARE(SettingsStore::shared().arrayForKey(OpenOnLaunch), QVariantList({c, b, a}));

    // The stored list survives in the settings file.
    _settings->reload();
    launch();
    QCOMPARE(fileNamesOf(openDocuments()), QStringList({"A.tickSheet", "B.tickSheet", "C.tickSheet"}));
    for (Document* document : openDocuments())
        QVERIFY(windowOf(document) && windowOf(document)->isVisible());
}

void TestApplication::neverSavedDocumentsAreNotRemembered()
{
    const QString saved = writeClient(QStringLiteral("Saved"));
    launch();
    app()->newDocument();
    QVERIFY(app()->openFile(saved));
    QCOMPARE(openDocuments().size(), 3);

    QVERIFY(app()->terminate());
    QCOMPARE(SettingsStore::shared().arrayForKey(OpenOnLaunch), QVariantList({saved}));
}

void TestApplication::closingAsksAboutUnsavedChanges_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("nameInFile");

    QTest::newRow("save") << "Save" << true << "Renamed";
    QTest::newRow("don't save") << "Don't Save" << true << "Client";
    QTest::newRow("cancel") << "Cancel" << false << "Client";
}

void TestApplication::closingAsksAboutUnsavedChanges()
{
    QFETCH(QString, answer);
    QFETCH(bool, closes);
    QFETCH(QString, nameInFile);

    const QString path = writeClient(QStringLiteral("Client"));
    auto* document = qobject_cast<MyDocument*>(app()->openFile(path));
    QVERIFY(document);
    document->setClientName(QStringLiteral("Renamed"));
    QMainWindow* window = windowOf(document);

    MessageBoxAnswer prompt(answer);
    window->close();
    QVERIFY(prompt.answered());
    QVERIFY2(prompt.text.contains(QStringLiteral("Do you want to save the changes you made in the document "
                                                 "\u201cClient.tickSheet\u201d?")),
             qPrintable(prompt.text));

    QCOMPARE(openDocuments().size(), closes ? 0 : 1);
    QCOMPARE(window->isVisible(), !closes);
    MyDocument reread;
    QVERIFY(reread.readFromFile(path, DocumentType));
    QCOMPARE(reread.clientName(), nameInFile);
}

void TestApplication::quitStopsWhenTheUserCancels()
{
    const QString path = writeClient(QStringLiteral("Client"));
    launch({path});
    qobject_cast<MyDocument*>(openDocuments().constFirst())->setClientName(QStringLiteral("Renamed"));

    MessageBoxAnswer prompt(QStringLiteral("Cancel"));
    QVERIFY(!app()->terminate());
    QVERIFY(prompt.answered());
    QCOMPARE(openDocuments().size(), 1);
    QVERIFY(windowOf(openDocuments().constFirst())->isVisible());
    // The open documents are remembered before the user is asked.
    QCOMPARE(SettingsStore::shared().arrayForKey(OpenOnLaunch), QVariantList({openDocuments().constFirst()->fileName()}));
}

void TestApplication::crossDocumentCommandsNeedTwoDocuments()
{
    const QStringList commands = {"allReportsMonthly",       "allReportsAny",       "allReportsFull",
                                  "summarizeReportsMonthly", "summarizeReportsAny", "summarizeReportsFull"};
    launch();
    const QStringList inMenuBar = actionNamesIn(windowOf(openDocuments().constFirst())->menuBar());
    for (const QString& command : commands) {
        QVERIFY2(inMenuBar.contains(command), qPrintable(command));
        QVERIFY2(!app()->mainMenu()->action(command)->isEnabled(), qPrintable(command));
    }
    QVERIFY(app()->mainMenu()->action(QStringLiteral("showSampleAction"))->isEnabled());

    app()->newDocument();
    for (const QString& command : commands)
        QVERIFY2(app()->mainMenu()->action(command)->isEnabled(), qPrintable(command));

    DocumentController::shared().closeDocument(openDocuments().constLast());
    for (const QString& command : commands)
        QVERIFY2(!app()->mainMenu()->action(command)->isEnabled(), qPrintable(command));
}

void TestApplication::openingAnOpenFileBringsItsWindowForward()
{
    const QString a = writeClient(QStringLiteral("A"));
    const QString b = writeClient(QStringLiteral("B"));
    Document* first = app()->openFile(a);
    Document* second = app()->openFile(b);
    QTRY_COMPARE(QApplication::activeWindow(), windowOf(second));

    QCOMPARE(app()->openFile(a), first);
    QCOMPARE(openDocuments().size(), 2);
    QTRY_COMPARE(QApplication::activeWindow(), windowOf(first));
}

void TestApplication::failedOpenShowsAnAlertNamingTheFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("contents");

    QTest::newRow("missing") << "Missing.tickSheet" << QByteArray();
    QTest::newRow("not a property list") << "Garbled.tickSheet" << QByteArray("<<< not a document");
}

void TestApplication::failedOpenShowsAnAlertNamingTheFile()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, contents);
    const QString path = _folder->filePath(fileName);
    if (!contents.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    MessageBoxAnswer alert(QStringLiteral("OK"));
    QVERIFY(!app()->openFile(path));
    QVERIFY(alert.answered());
    QVERIFY2(alert.text.contains(fileName), qPrintable(alert.text));
    QVERIFY(openDocuments().isEmpty());
}

void TestApplication::saveAsWritesATickSheetFile()
{
    app()->newDocument();
    auto* document = qobject_cast<MyDocument*>(openDocuments().constFirst());
    document->setClientName(QStringLiteral("Acme"));
    DocumentWindowController* controller = DocumentWindowController::controllerFor(document);

    // The extension is added to a name typed without it.
    FileDialogAnswer dialog(_folder->filePath(QStringLiteral("Acme Corp")));
    controller->action(QStringLiteral("saveDocumentAs"))->trigger();
    QVERIFY(dialog.answered());

    const QString expected = _folder->filePath(QStringLiteral("Acme Corp.tickSheet"));
    QCOMPARE(document->fileName(), expected);
    QVERIFY(!document->isDocumentEdited());
    QCOMPARE(controller->window()->windowTitle(), QStringLiteral("Acme Corp.tickSheet[*]"));
    MyDocument reread;
    QVERIFY(reread.readFromFile(expected, DocumentType));
    QCOMPARE(reread.clientName(), QStringLiteral("Acme"));
}

void TestApplication::titleAndUndoFollowTheDocument()
{
    app()->newDocument();
    auto* document = qobject_cast<MyDocument*>(openDocuments().constFirst());
    DocumentWindowController* controller = DocumentWindowController::controllerFor(document);
    QAction* undo = controller->action(QStringLiteral("undo"));
    QVERIFY(!undo->isEnabled());
    QVERIFY(!controller->window()->isWindowModified());

    document->setClientName(QStringLiteral("Acme"));
    QVERIFY(controller->window()->isWindowModified());
    QVERIFY(undo->isEnabled());
    QCOMPARE(undo->text().remove(u'&'), QStringLiteral("Undo Client Name Change"));

    undo->trigger();
    QCOMPARE(document->clientName(), QString());
    QVERIFY(!controller->window()->isWindowModified());
    QCOMPARE(controller->action(QStringLiteral("redo"))->text().remove(u'&'), QStringLiteral("Redo Client Name Change"));
}

void TestApplication::revertAsksFirst_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("nameAfter");

    QTest::newRow("revert") << "Revert" << "Client";
    QTest::newRow("cancel") << "Cancel" << "Renamed";
}

void TestApplication::revertAsksFirst()
{
    QFETCH(QString, answer);
    QFETCH(QString, nameAfter);
    auto* document = qobject_cast<MyDocument*>(app()->openFile(writeClient(QStringLiteral("Client"))));
    DocumentWindowController* controller = DocumentWindowController::controllerFor(document);
    QAction* revert = controller->action(QStringLiteral("revertDocumentToSaved"));
    QVERIFY(!revert->isEnabled());
    document->setClientName(QStringLiteral("Renamed"));
    QVERIFY(revert->isEnabled());

    MessageBoxAnswer prompt(answer);
    revert->trigger();
    QVERIFY(prompt.answered());
    QCOMPARE(document->clientName(), nameAfter);
    QCOMPARE(document->isDocumentEdited(), answer == QStringLiteral("Cancel"));
}

void TestApplication::sampleIsAnEditableCopyKeptForTheSession()
{
    QFile::remove(AppDelegate::sampleCopyPath());
    launch();
    app()->delegate()->showSampleAction();
    auto* sample = qobject_cast<MyDocument*>(openDocuments().constLast());
    QVERIFY(sample);
    QCOMPARE(sample->fileName(), QFileInfo(AppDelegate::sampleCopyPath()).absoluteFilePath());
    QCOMPARE(sample->clientName(), QStringLiteral("Red Arar Odo"));
    QVERIFY(sample->workList().size() >= 10);
    QVERIFY(QFileInfo(sample->fileName()).isWritable());

    sample->setProjectName(QStringLiteral("Changed"));
    QVERIFY(sample->saveDocument());
    DocumentController::shared().closeDocument(sample);

    app()->delegate()->showSampleAction();
    QCOMPARE(qobject_cast<MyDocument*>(openDocuments().constLast())->projectName(), QStringLiteral("Changed"));
    QFile::remove(AppDelegate::sampleCopyPath());
}

void TestApplication::updateTimerFollowsTheSetting_data()
{
    QTest::addColumn<bool>("autoCheck");
    QTest::newRow("on") << true;
    QTest::newRow("off") << false;
}

void TestApplication::updateTimerFollowsTheSetting()
{
    QFETCH(bool, autoCheck);
    AppDelegate delegate;
    delegate.applicationWillFinishLaunching();
    SettingsStore::shared().setValue(AutoCheckForUpdates, autoCheck);
    delegate.applicationDidFinishLaunching();

    QCOMPARE(delegate.updateTimer() != nullptr, autoCheck);
    if (autoCheck) {
        QVERIFY(delegate.updateTimer()->isActive());
        QVERIFY(delegate.updateTimer()->isSingleShot());
        QCOMPARE(delegate.updateTimer()->interval(), 3000);
    }
}

void TestApplication::localChannelRunsTheUpdateAlertOnTheMainThread()
{
    launch();
    AppDelegate* delegate = app()->delegate();
    QVERIFY(delegate->localChannel()->isRegistered());

    bool performedOutsideProtocol = true;
    bool called = false;
    std::unique_ptr<QThread> checker(QThread::create([&] {
        performedOutsideProtocol = LocalChannel::call(AppDelegate::localChannelName(), QStringLiteral("deleteLater"), {});
        called = LocalChannel::call(AppDelegate::localChannelName(), QStringLiteral("runUpdateAlert"),
                                    QStringLiteral("9.9"));
    }));
    checker->start();
    QTRY_VERIFY(checker->isFinished());

    QVERIFY(!performedOutsideProtocol);
    QVERIFY(called);
    QMessageBox* alert = delegate->updateAlert();
    QVERIFY(alert && alert->isVisible());
    QCOMPARE(alert->thread(), QThread::currentThread());
    QVERIFY(!alert->isModal());
    QCOMPARE(alert->buttons().size(), 3);
    QVERIFY2(alert->text().contains(QStringLiteral("(version 9.9)")), qPrintable(alert->text()));
}

int main(int argc, char* argv[])
{
    // The local channel's socket and the sample copy go to folders of this run only.
    QTemporaryDir temporary;
    qputenv("TMPDIR", temporary.path().toLocal8Bit());
    QDir(temporary.path()).mkdir(QStringLiteral("runtime"));
    QFile::setPermissions(temporary.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", temporary.filePath(QStringLiteral("runtime")).toLocal8Bit());

    MainApp application(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
