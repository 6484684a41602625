#include "Clock.h"
#include "Constants.h"
#include "DocumentController.h"
#include "JobWindowController.h"
#include "MyDocument.h"
#include "NotificationCenter.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "TestFiles.h"
#include "TestSettings.h"
#include "UndoManager.h"
#include "VelmorMovingRowsProtocol.h"
#include "VelmorTableView.h"
#include "WorkTableModel.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <memory>

namespace {

const QDateTime Morning(QDate(2024, 3, 4), QTime(9, 0));

int columnOf(const char* identifier)
{
    return WorkTableModel::columnOf(QString::fromLatin1(identifier));
}

template <typename T>
T* widget(const JobWindowController* controller, const char* name)
{
    T* found = controller->window()->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("No widget %s in the client window", name);
    return found;
}

QStringList descriptionsOf(const MyDocument& document)
{
    QStringList descriptions;
    for (const auto& work : document.workList())
        descriptions << work->workDescription();
    return descriptions;
}

// A session of the document that started at `start` and ran `hours` (0: still running).
std::shared_ptr<PieceWork> addSession(MyDocument& document, const QString& description, const QDateTime& start,
                                      double hours = 1)
{
    const std::shared_ptr<PieceWork> work = document.addWork();
    work->setStartTime(start);
    work->setWorkDescription(description);
    if (hours > 0)
        work->setEndTime(start.addSecs(qRound64(hours * 3600)));
    return work;
}

void clickHeader(JobWindowController& controller, const char* identifier)
{
    QHeaderView* header = controller.tableView()->horizontalHeader();
    const int column = columnOf(identifier);
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

// A drag that enters the window and is dropped; false when the window refused it. The drop never
// answers a move, which would tell the source to delete what was dragged.
bool drop(JobWindowController& controller, const QMimeData& data)
{
    const QPoint where(10, 10);
    const Qt::DropActions offered = Qt::MoveAction | Qt::CopyAction | Qt::LinkAction;
    QDragEnterEvent enter(where, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(controller.window(), &enter);
    if (!enter.isAccepted() || enter.dropAction() != Qt::CopyAction)
        return false;
    QDropEvent event(where, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(controller.window(), &event);
    return event.isAccepted();
}

bool drop(JobWindowController& controller, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    return drop(controller, data);
}

// Types the text into the price field of the next share-price prompt and confirms it.
void answerSharePrompt(const QString& price)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, price] {
        QWidget* prompt = QApplication::activeModalWidget();
        auto* field = prompt ? prompt->findChild<QLineEdit*>(QStringLiteral("priceField")) : nullptr;
        if (!field)
            return;
        timer->stop();
        timer->deleteLater();
        field->setText(price);
        prompt->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    timer->start(10);
}

} // namespace

class TestClientWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newSessionPausesOthersAsResumeActionSays_data();
    void newSessionPausesOthersAsResumeActionSays();
    void pauseButtonFollowsTheSelection_data();
    void pauseButtonFollowsTheSelection();
    void pauseButtonPausesAndResumesAndDeleteIsUndoable();
    void newLineItemOpensItsAmountAndPausesNothing();
    void sharePriceIsSetOnlyWhenItChanges_data();
    void sharePriceIsSetOnlyWhenItChanges();
    void taxableLineItemCommand_data();
    void taxableLineItemCommand();
    void equityAndTaxHideAndShowFields_data();
    void equityAndTaxHideAndShowFields();
    void notificationsRefreshTheTotals_data();
    void notificationsRefreshTheTotals();
    void commaSeparatorTakesTheFormattersOff();
    void fieldBeingTypedInIsSavedWithoutLeavingIt_data();
    void fieldBeingTypedInIsSavedWithoutLeavingIt();
    void unreadableNumberKeepsTheDocumentValue();
    void toolsAreaTogglesBackToTheSameFrameAndIsSavedHidden();
    void supportingFileOpensWithTheDefaultOrTheTextEditor_data();
    void supportingFileOpensWithTheDefaultOrTheTextEditor();
    void columnLayoutIsKeptForTheNextWindow();
    void headerClicksFlipOrChangeTheSortKeepingTheSelection();
    void editOnTheSortedColumnResortsAndSelectsTheEntryAgain();
    void droppedFiles_data();
    void droppedFiles();
    void droppedContactCard_data();
    void droppedContactCard();
    void rowMoveClearsTheSortIndicator();

private:
    // A client document in the shared document list, with its window.
    JobWindowController* openClient(const QString& name);
    QString writeClient(const QString& fileName, const QStringList& descriptions);

    std::unique_ptr<TestSettings> _settings;
    std::unique_ptr<QTemporaryDir> _folder;
};

void TestClientWindow::init()
{
    _settings = std::make_unique<TestSettings>();
    _folder = std::make_unique<QTemporaryDir>();
    Preferences::initialize();
    MyDocument::registerDocumentType();
    Clock::setNow(Morning);
}

void TestClientWindow::cleanup()
{
    DocumentController::shared().closeAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(DocumentWindowController::controllers().isEmpty());
    Clock::reset();
    _folder.reset();
    _settings.reset();
}

JobWindowController* TestClientWindow::openClient(const QString& name)
{
    auto* document = new MyDocument;
    document->setClientName(name);
    document->setRate(60);
    DocumentController::shared().addDocument(document);
    return new JobWindowController(document);
}

QString TestClientWindow::writeClient(const QString& fileName, const QStringList& descriptions)
{
    MyDocument document;
    for (const QString& description : descriptions)
        addSession(document, description, Morning);
    const QString path = _folder->filePath(fileName);
    if (!document.saveDocumentAs(path))
        qWarning() << document.errorString();
    return path;
}

// Timing ----------------------------------------------------------------------------------------

void TestClientWindow::newSessionPausesOthersAsResumeActionSays_data()
{
    QTest::addColumn<int>("resumeAction");
    QTest::addColumn<bool>("sameDocumentPaused");
    QTest::addColumn<bool>("otherDocumentPaused");

    QTest::newRow("0: this document only") << 0 << true << false;
    QTest::newRow("1: every open document") << 1 << true << true;
    QTest::newRow("2: nothing") << 2 << false << false;
}

void TestClientWindow::newSessionPausesOthersAsResumeActionSays()
{
    QFETCH(int, resumeAction);
    QFETCH(bool, sameDocumentPaused);
    QFETCH(bool, otherDocumentPaused);
    SettingsStore::shared().setValue(ResumeAction, resumeAction);
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    JobWindowController* other = openClient(QStringLiteral("Bolt"));
    const auto running = addSession(*window->clientDocument(), QStringLiteral("running"), Morning, 0);
    const auto elsewhere = addSession(*other->clientDocument(), QStringLiteral("elsewhere"), Morning, 0);

    Clock::advance(600);
    window->newPieceWorkAction();

    const std::shared_ptr<PieceWork> started = window->selectedWork();
    QVERIFY(started && started != running);
    QVERIFY(started->canBePaused());
    QCOMPARE(running->isPaused(), sameDocumentPaused);
    QCOMPARE(elsewhere->isPaused(), otherDocumentPaused);

    // Resuming follows the same rule.
    if (sameDocumentPaused) {
        window->selectWork(running);
        window->pauseOrResumeAction();
        QVERIFY(running->canBePaused());
        QVERIFY(started->isPaused());
    }
}

void TestClientWindow::pauseButtonFollowsTheSelection_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("pauseEnabled");
    QTest::addColumn<bool>("deleteEnabled");

    QTest::newRow("nothing selected") << "none" << "Pause" << false << false;
    QTest::newRow("running session") << "running" << "Pause" << true << true;
    QTest::newRow("paused session") << "paused" << "Resume" << true << true;
    QTest::newRow("finished session") << "finished" << "Pause" << false << true;
    QTest::newRow("line item") << "line item" << "Pause" << false << true;
}

void TestClientWindow::pauseButtonFollowsTheSelection()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(bool, pauseEnabled);
    QFETCH(bool, deleteEnabled);
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    MyDocument& document = *window->clientDocument();
    const auto running = addSession(document, QStringLiteral("running"), Morning, 0);
    const auto paused = addSession(document, QStringLiteral("paused"), Morning, 0);
    paused->pause();
    const auto finished = addSession(document, QStringLiteral("finished"), Morning, 2);
    const auto item = document.addLineItem();
    const QHash<QString, std::shared_ptr<PieceWork>> byKind = {
        {QStringLiteral("running"), running},   {QStringLiteral("paused"), paused},
        {QStringLiteral("finished"), finished}, {QStringLiteral("line item"), item}};

    window->selectWork(byKind.value(kind));

    auto* pauseButton = widget<QPushButton>(window, "pauseButton");
    QCOMPARE(pauseButton->text(), title);
    QCOMPARE(pauseButton->isEnabled(), pauseEnabled);
    QCOMPARE(widget<QPushButton>(window, "deleteButton")->isEnabled(), deleteEnabled);
}

void TestClientWindow::pauseButtonPausesAndResumesAndDeleteIsUndoable()
{
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    MyDocument& document = *window->clientDocument();
    const auto session = addSession(document, QStringLiteral("work"), Morning, 0);
    window->selectWork(session);
    auto* pauseButton = widget<QPushButton>(window, "pauseButton");

    Clock::advance(1800);
    QTest::mouseClick(pauseButton, Qt::LeftButton);
    QVERIFY(session->isPaused());
    QCOMPARE(pauseButton->text(), QStringLiteral("Resume"));

    Clock::advance(900);
    QTest::mouseClick(pauseButton, Qt::LeftButton);
    QVERIFY(session->canBePaused());
    QCOMPARE(session->downTime(), 0.25);
    QCOMPARE(pauseButton->text(), QStringLiteral("Pause"));

    // The Delete key removes the selected entry, as one undo step.
    window->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(window->window()));
    window->tableView()->setFocus();
    QTest::keyClick(window->tableView(), Qt::Key_Delete);
    QVERIFY(document.workList().isEmpty());
    QVERIFY(!widget<QPushButton>(window, "deleteButton")->isEnabled());
    document.undoManager()->undo();
    QCOMPARE(document.workList(), WorkList {session});
}

void TestClientWindow::newLineItemOpensItsAmountAndPausesNothing()
{
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    const auto running = addSession(*window->clientDocument(), QStringLiteral("running"), Morning, 0);

    window->addLineItemAction();

    const std::shared_ptr<PieceWork> item = window->selectedWork();
    QVERIFY(item && item->isLineItem());
    QVERIFY(running->canBePaused());
    VelmorTableView* table = window->tableView();
    QCOMPARE(table->currentIndex().column(), columnOf("AMOUNT"));
    QWidget* editor = table->indexWidget(table->currentIndex());
    QVERIFY(editor);

    // The amount being typed reaches the entry when editing ends (as before a save).
    QTest::keyClicks(editor, QStringLiteral("42.50"));
    window->endEditing();
    QCOMPARE(item->amount(), 42.5f);
    QVERIFY(!table->indexWidget(table->currentIndex()));
}

void TestClientWindow::sharePriceIsSetOnlyWhenItChanges_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<float>("price");
    QTest::addColumn<bool>("undoable");

    QTest::newRow("new price") << "$ 15.00" << 15.0f << true;
    QTest::newRow("same price") << "$ 12.50" << 12.5f << false;
}

void TestClientWindow::sharePriceIsSetOnlyWhenItChanges()
{
    QFETCH(QString, typed);
    QFETCH(float, price);
    QFETCH(bool, undoable);
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    MyDocument& document = *window->clientDocument();
    document.setShareCost(12.5f);
    document.undoManager()->removeAllActions();

    answerSharePrompt(typed);
    QTest::mouseClick(widget<QPushButton>(window, "sharePriceButton"), Qt::LeftButton);

    QCOMPARE(document.shareCost(), price);
    QCOMPARE(document.undoManager()->canUndo(), undoable);
}

void TestClientWindow::taxableLineItemCommand_data()
{
    QTest::addColumn<bool>("documentTaxable");
    QTest::addColumn<bool>("selectLineItem");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("taxable document, line item") << true << true << true;
    QTest::newRow("taxable document, session") << true << false << false;
    QTest::newRow("document not taxable") << false << true << false;
}

void TestClientWindow::taxableLineItemCommand()
{
    QFETCH(bool, documentTaxable);
    QFETCH(bool, selectLineItem);
    QFETCH(bool, enabled);
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    MyDocument& document = *window->clientDocument();
    document.setTaxable(documentTaxable);
    const auto session = addSession(document, QStringLiteral("work"), Morning);
    const auto item = document.addLineItem();
    item->setRate(100);
    window->selectWork(selectLineItem ? item : session);

    QAction* command = window->action(QStringLiteral("changeWorkIsTaxableAction"));
    QCOMPARE(window->validateMenuItem(command), enabled);
    QCOMPARE(command->isEnabled(), enabled);
    if (!enabled)
        return;
    const bool wasTaxable = item->taxable();
    command->trigger();
    QCOMPARE(item->taxable(), !wasTaxable);
    QCOMPARE(command->isChecked(), !wasTaxable);
}

// Fields and totals -----------------------------------------------------------------------------

void TestClientWindow::equityAndTaxHideAndShowFields_data()
{
    QTest::addColumn<float>("equity");
    QTest::addColumn<bool>("taxable");
    QTest::addColumn<bool>("cashShown");
    QTest::addColumn<bool>("equityShown");

    QTest::newRow("no equity, taxable") << 0.0f << true << true << false;
    QTest::newRow("half equity, not taxable") << 50.0f << false << true << true;
    QTest::newRow("all equity, taxable") << 100.0f << true << false << true;
    QTest::newRow("more than all equity") << 150.0f << false << false << true;
}

void TestClientWindow::equityAndTaxHideAndShowFields()
{
    QFETCH(float, equity);
    QFETCH(bool, taxable);
    QFETCH(bool, cashShown);
    QFETCH(bool, equityShown);
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    MyDocument& document = *window->clientDocument();
    document.setShareCost(2);
    addSession(document, QStringLiteral("work"), Morning, 2);
    document.setEquityPercent(equity);
    document.setTaxable(taxable);

    const auto shown = [window](const char* name) { return window->isInWindow(widget<QWidget>(window, name)); };
    for (const char* name : {"cashPaidLabel", "cashPaidField", "cashEarnedField", "cashEarnedLabel", "cashOwedField",
                             "cashOwedLabel"})
        QVERIFY2(shown(name) == cashShown, name);
    for (const char* name : {"equityEarnedLabel", "equityEarnedField", "sharesEarnedLabel", "sharesEarnedField"})
        QVERIFY2(shown(name) == equityShown, name);
    for (const char* name : {"taxLabel", "taxField", "totalLabel", "totalField"})
        QVERIFY2(shown(name) == taxable, name);
    QVERIFY(shown("grandTotalField"));

    // The switch in the window flips the document and the tax fields with it.
    auto* taxableSwitch = widget<QCheckBox>(window, "taxableSwitch");
    QCOMPARE(taxableSwitch->isChecked(), taxable);
    QTest::mouseClick(taxableSwitch, Qt::LeftButton, {}, QPoint(4, taxableSwitch->height() / 2));
    QCOMPARE(document.taxable(), !taxable);
    QCOMPARE(shown("taxField"), !taxable);
    QCOMPARE(widget<QLineEdit>(window, "grandTotalField")->text(),
             document.moneyFormatter().format(document.grandTotal(true)));
}

void TestClientWindow::notificationsRefreshTheTotals_data()
{
    QTest::addColumn<QString>("notification");

    QTest::newRow("tax basis changed") << TaxChangedNotification;
    QTest::newRow("money format changed") << MoneyFormatChangedNotification;
}

void TestClientWindow::notificationsRefreshTheTotals()
{
    QFETCH(QString, notification);
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    MyDocument& document = *window->clientDocument();
    document.setTaxable(true);
    document.setTaxRate(10);
    document.setEquityPercent(50);
    addSession(document, QStringLiteral("work"), Morning, 2);
    auto* tax = widget<QLineEdit>(window, "taxField");
    QCOMPARE(tax->text(), document.moneyFormatter().format(12));

    // The preferences change the tax basis in the settings, then tell every window.
    SettingsStore::shared().setValue(TaxGrossIncome, false);
    NotificationCenter::shared().post(notification);

    QCOMPARE(tax->text(), document.moneyFormatter().format(6));
}

void TestClientWindow::commaSeparatorTakesTheFormattersOff()
{
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    MyDocument& document = *window->clientDocument();
    document.setShareCost(3);
    document.setEquityPercent(50);
    addSession(document, QStringLiteral("work"), Morning, 20.5);
    auto* total = widget<QLineEdit>(window, "totalField");
    auto* shares = widget<QLineEdit>(window, "sharesEarnedField");
    QVERIFY(window->hasFormatter(total));
    QCOMPARE(total->text(), document.moneyFormatter().format(document.total(true)));

    document.setThousandsSeparator(QStringLiteral("."));
    document.setDecimalSeparator(QStringLiteral(","));

    QVERIFY(!window->hasFormatter(total));
    QVERIFY(!window->hasFormatter(shares));
    QCOMPARE(total->text(), document.formattedValue(document.total(true), true));
    QCOMPARE(shares->text(), document.formattedValue(document.sharesEarned(true), false));
    QVERIFY(total->text().contains(u','));

    document.setDecimalSeparator(QStringLiteral("'"));

    QVERIFY(window->hasFormatter(total));
    QVERIFY(window->hasFormatter(shares));
    QCOMPARE(total->text(), document.moneyFormatter().format(document.total(true)));
    QCOMPARE(shares->text(), document.numberFormatter().format(document.sharesEarned(true)));
    QVERIFY(total->text().contains(u'\''));
}

void TestClientWindow::fieldBeingTypedInIsSavedWithoutLeavingIt_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QVariant>("saved");

    QTest::newRow("client name") << "clientField" << "Acme Works" << QVariant("Acme Works");
    QTest::newRow("rate as money") << "rateField" << "$ 1,075.50" << QVariant(1075.5f);
    QTest::newRow("equity") << "equityField" << "40" << QVariant(40.0f);
    QTest::newRow("address") << "addressText" << "1 Main Street" << QVariant("1 Main Street");
}

void TestClientWindow::fieldBeingTypedInIsSavedWithoutLeavingIt()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QVariant, saved);
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    MyDocument& document = *window->clientDocument();
    auto* editor = widget<QWidget>(window, field.toLatin1().constData());
    editor->setFocus();
    QMetaObject::invokeMethod(editor, "selectAll");
    QTest::keyClicks(editor, typed);

    const QString path = _folder->filePath(QStringLiteral("typed.tickSheet"));
    QVERIFY(document.saveDocumentAs(path));

    QCOMPARE(window->window()->focusWidget(), editor);
    MyDocument reread;
    QString error;
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY2(reread.loadDataRepresentation(file.readAll(), DocumentType, &error), qPrintable(error));
    if (field == QStringLiteral("clientField"))
        QCOMPARE(reread.clientName(), saved.toString());
    else if (field == QStringLiteral("rateField"))
        QCOMPARE(reread.rate(), saved.toFloat());
    else if (field == QStringLiteral("equityField"))
        QCOMPARE(reread.equityPercent(), saved.toFloat());
    else
        QCOMPARE(reread.address(), saved.toString());
}

void TestClientWindow::unreadableNumberKeepsTheDocumentValue()
{
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    MyDocument& document = *window->clientDocument();
    auto* rate = widget<QLineEdit>(window, "rateField");
    const QString shown = rate->text();
    rate->selectAll();
    QTest::keyClicks(rate, QStringLiteral("lots"));
    QTest::keyClick(rate, Qt::Key_Return);

    QCOMPARE(document.rate(), 60.0f);
    QCOMPARE(rate->text(), shown);
}

// Tools area ------------------------------------------------------------------------------------

void TestClientWindow::toolsAreaTogglesBackToTheSameFrameAndIsSavedHidden()
{
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    QMainWindow* frame = window->window();
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    const QRect before = frame->geometry();
    auto* tools = widget<QWidget>(window, "toolsBox");
    auto* bottom = widget<QWidget>(window, "bottomBox");
    const int bottomHeight = bottom->height();

    QTest::mouseClick(widget<QWidget>(window, "toolsButton"), Qt::LeftButton);
    QVERIFY(window->toolsHidden());
    QVERIFY(window->clientDocument()->toolsHidden());
    QTRY_VERIFY(frame->height() < before.height());
    QCOMPARE(frame->geometry().top(), before.top());
    QTRY_COMPARE(bottom->height(), bottomHeight);
    QVERIFY(frame->height() < tools->height() + bottom->height());

    window->action(QStringLiteral("toggleToolbarShown"))->trigger();
    QVERIFY(!window->toolsHidden());
    QTRY_COMPARE(frame->geometry(), before);

    window->toggleToolbarShown();
    const QString path = _folder->filePath(QStringLiteral("hidden.tickSheet"));
    QVERIFY(window->clientDocument()->saveDocumentAs(path));
    DocumentController::shared().closeAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    auto* reopened = qobject_cast<MyDocument*>(DocumentController::shared().openDocumentWithContentsOfFile(path, false));
    QVERIFY(reopened);
    auto* again = new JobWindowController(reopened);
    QVERIFY(again->toolsHidden());
    QVERIFY(!widget<QWidget>(again, "toolsBox")->isVisibleTo(again->window()));
}

// Sorting ---------------------------------------------------------------------------------------

void TestClientWindow::supportingFileOpensWithTheDefaultOrTheTextEditor_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("openedBy");

    QTest::newRow("default application") << QStringList({"xdg-open", "TextEdit"}) << "xdg-open";
    QTest::newRow("no default application: text editor") << QStringList({"TextEdit"}) << "TextEdit";
}

void TestClientWindow::supportingFileOpensWithTheDefaultOrTheTextEditor()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, openedBy);
    // Stand-ins for the desktop's programs, each noting the file it was given.
    const QString bin = _folder->filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    for (const QString& program : installed) {
        TestFiles::write(bin + u'/' + program,
                         QStringLiteral("#!/bin/sh\necho \"$1\" > \"%1/%2.log\"\n").arg(_folder->path(), program).toUtf8(),
                         true);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8());
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    const auto work = addSession(*window->clientDocument(), QStringLiteral("work"), Morning);
    const QString receipt = _folder->filePath(QStringLiteral("receipt.txt"));
    QFile(receipt).open(QIODevice::WriteOnly);
    window->selectWork(work);

    // Without a supporting file nothing opens.
    window->openFileAction();
    const bool openedWithoutFile = QFile::exists(_folder->filePath(QStringLiteral("xdg-open.log")));
    work->setSupportingFile(receipt);
    if (openedBy != QStringLiteral("xdg-open"))
        QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Couldn't open:") + receipt));
    window->openFileAction();
    qputenv("PATH", path);

    QVERIFY(!openedWithoutFile);
    QFile log(_folder->filePath(openedBy + QStringLiteral(".log")));
    QTRY_VERIFY(log.exists() && log.size() > 0);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(log.readAll()).trimmed(), receipt);
}

void TestClientWindow::columnLayoutIsKeptForTheNextWindow()
{
    JobWindowController* first = openClient(QStringLiteral("Acme"));
    QHeaderView* header = first->tableView()->horizontalHeader();
    header->resizeSection(columnOf("DATE"), 137);
    header->moveSection(header->visualIndex(columnOf("PAID")), 0);

    QHeaderView* next = openClient(QStringLiteral("Bolt"))->tableView()->horizontalHeader();

    QCOMPARE(next->sectionSize(columnOf("DATE")), 137);
    QCOMPARE(next->visualIndex(columnOf("PAID")), 0);
}

void TestClientWindow::headerClicksFlipOrChangeTheSortKeepingTheSelection()
{
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    MyDocument& document = *window->clientDocument();
    addSession(document, QStringLiteral("b"), Morning);
    const auto c = addSession(document, QStringLiteral("c"), Morning.addSecs(3600));
    addSession(document, QStringLiteral("a"), Morning.addSecs(7200));
    document.setSortColumn(QString());
    window->updateTableHeaderToMatchCurrentSort();
    window->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(window->window()));
    QHeaderView* header = window->tableView()->horizontalHeader();
    QCOMPARE(header->sortIndicatorSection(), -1);
    window->selectWork(c);

    clickHeader(*window, "DESCRIPTION");
    QCOMPARE(document.sortColumn(), QStringLiteral("DESCRIPTION"));
    QCOMPARE(descriptionsOf(document), QStringList({"a", "b", "c"}));
    QCOMPARE(header->sortIndicatorSection(), columnOf("DESCRIPTION"));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(window->selectedWork(), c);

    clickHeader(*window, "DESCRIPTION");
    QVERIFY(!document.sortIsDescending());
    QCOMPARE(descriptionsOf(document), QStringList({"c", "b", "a"}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(window->selectedWork(), c);

    // Another column sorts in the same direction.
    clickHeader(*window, "STARTTIME");
    QCOMPARE(document.sortColumn(), QStringLiteral("STARTTIME"));
    QCOMPARE(descriptionsOf(document), QStringList({"a", "c", "b"}));
    QCOMPARE(header->sortIndicatorSection(), columnOf("STARTTIME"));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(window->selectedWork(), c);
}

void TestClientWindow::editOnTheSortedColumnResortsAndSelectsTheEntryAgain()
{
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    MyDocument& document = *window->clientDocument();
    const auto edited = addSession(document, QStringLiteral("a"), Morning);
    addSession(document, QStringLiteral("b"), Morning);
    addSession(document, QStringLiteral("c"), Morning);
    document.setSortColumn(QStringLiteral("DESCRIPTION"));
    window->selectWork(edited);

    // Typed into the cell and confirmed with Return, as the user does.
    VelmorTableView* table = window->tableView();
    window->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(window->window()));
    const QModelIndex cell = window->tableModel()->index(0, columnOf("DESCRIPTION"));
    table->setCurrentIndex(cell);
    table->edit(cell);
    QWidget* editor = table->indexWidget(cell);
    QVERIFY(editor);
    QWidget* typingField = editor->findChild<QLineEdit*>() ? editor->findChild<QLineEdit*>() : editor;
    QMetaObject::invokeMethod(typingField, "selectAll");
    QTest::keyClicks(typingField, QStringLiteral("z"));
    QTest::keyClick(typingField, Qt::Key_Return);

    QCOMPARE(descriptionsOf(document), QStringList({"b", "c", "z"}));
    QTRY_COMPARE(window->selectedWork(), edited);
    QCOMPARE(window->tableView()->selectionModel()->selectedRows().constFirst().row(), 2);
}

// Drops and row moves ---------------------------------------------------------------------------

void TestClientWindow::droppedFiles_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("supportingFile");

    QTest::newRow("client documents first: all imported")
        << QStringList({"two.tickSheet", "one.tickSheet", "receipt.png"}) << true << 4 << QString();
    QTest::newRow("picture first: the selected entry's file")
        << QStringList({"receipt.png", "two.tickSheet", "one.tickSheet"}) << true << 1 << "receipt.png";
    QTest::newRow("extension in other letter case: a plain file")
        << QStringList({"upper.TICKSHEET", "one.tickSheet"}) << true << 1 << "upper.TICKSHEET";
    QTest::newRow("plain file and nothing selected: ignored") << QStringList({"receipt.png"}) << false << 1 << QString();
}

void TestClientWindow::droppedFiles()
{
    QFETCH(QStringList, files);
    QFETCH(bool, selected);
    QFETCH(int, entries);
    QFETCH(QString, supportingFile);
    writeClient(QStringLiteral("two.tickSheet"), {"imported 1", "imported 2"});
    writeClient(QStringLiteral("one.tickSheet"), {"imported 3"});
    QFile::copy(_folder->filePath(QStringLiteral("one.tickSheet")), _folder->filePath(QStringLiteral("upper.TICKSHEET")));
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    MyDocument& document = *window->clientDocument();
    const auto own = addSession(document, QStringLiteral("own"), Morning);
    if (selected)
        window->selectWork(own);

    QStringList paths;
    for (const QString& file : files)
        paths << _folder->filePath(file);
    QVERIFY(drop(*window, paths));

    QCOMPARE(document.workList().size(), entries);
    QCOMPARE(own->supportingFile(), supportingFile.isEmpty() ? QString() : _folder->filePath(supportingFile));
}

void TestClientWindow::droppedContactCard_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("card");
    QTest::addColumn<QString>("email");

    const QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Roe;Jane;;;\r\nFN:Jane Roe\r\n"
                            "EMAIL;TYPE=WORK:jane@roe.example\r\nEND:VCARD\r\n";
    QTest::newRow("vcard") << "text/vcard" << card << "jane@roe.example";
    QTest::newRow("older vcard type") << "text/x-vcard" << card << "jane@roe.example";
    QTest::newRow("unreadable card") << "text/vcard" << QByteArray("no card here") << "old@acme.example";
}

void TestClientWindow::droppedContactCard()
{
    QFETCH(QString, type);
    QFETCH(QByteArray, card);
    QFETCH(QString, email);
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    QVERIFY(window->acceptableDraggedTypes().contains(type));
    MyDocument& document = *window->clientDocument();
    document.setEmail(QStringLiteral("old@acme.example"));
    QMimeData data;
    data.setData(type, card);

    QVERIFY(drop(*window, data));

    QCOMPARE(document.email(), email);
}

void TestClientWindow::rowMoveClearsTheSortIndicator()
{
    JobWindowController* window = openClient(QStringLiteral("Acme"));
    MyDocument& document = *window->clientDocument();
    for (const char* description : {"a", "b", "c"})
        addSession(document, QString::fromLatin1(description), Morning);
    document.setSortColumn(QStringLiteral("DESCRIPTION"));
    window->updateTableHeaderToMatchCurrentSort();
    VelmorTableView* table = window->tableView();
    QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), columnOf("DESCRIPTION"));

    // A move starts freely in the date column, elsewhere only with the command key.
    QCOMPARE(window->dragReorderingMask(columnOf("DATE")), 0u);
    QCOMPARE(window->dragReorderingMask(columnOf("DESCRIPTION")), VelmorCommandKeyMask);

    QVERIFY(table->startRow(0, 2));
    QCOMPARE(descriptionsOf(document), QStringList({"b", "c", "a"}));
    QVERIFY(document.sortColumn().isEmpty());
    QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), -1);
    QVERIFY(!table->startRow(-1, 1));
}

QTEST_MAIN(TestClientWindow)
#include "tst_clientwindow.moc"
