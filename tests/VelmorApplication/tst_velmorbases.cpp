#include "SettingsStore.h"
#include "TestSettings.h"
#include "VelmorDragInDelegate.h"
#include "VelmorDragInWindow.h"
#include "VelmorModalPrompt.h"
#include "VelmorTimeMonitor.h"
#include "WindowFrameAutosave.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

// A prompt that keeps no instance of its own.
class PlainPrompt : public VelmorModalPrompt<PlainPrompt>
{
    Q_OBJECT
};

// A prompt that keeps its instance and asks for a name.
class NamePrompt : public VelmorModalPrompt<NamePrompt>
{
    Q_OBJECT

public:
    NamePrompt()
        : field(new QLineEdit(this))
    {
        (new QVBoxLayout(this))->addWidget(field);
    }

    static NamePrompt* singleInstance() { return kept; }
    static void setSingleInstance(NamePrompt* instance) { kept = instance; }

    // The caller's name changes only when the prompt is confirmed.
    void askName(QString& name)
    {
        field->setText(name);
        if (exec() == QDialog::Accepted)
            name = field->text();
    }

    QLineEdit* field;
    static inline NamePrompt* kept = nullptr;
};

// Another prompt with an instance of its own.
class OtherPrompt : public VelmorModalPrompt<OtherPrompt>
{
    Q_OBJECT

public:
    static OtherPrompt* singleInstance() { return kept; }
    static void setSingleInstance(OtherPrompt* instance) { kept = instance; }
    static inline OtherPrompt* kept = nullptr;
};

// Records what the window passes on, and answers as told.
class RecordingDragDelegate : public VelmorDragInDelegate
{
public:
    void registerTypesForWindow(VelmorDragInWindow* window) override
    {
        calls << QStringLiteral("registerTypesForWindow");
        window->registerForDraggedTypes({QStringLiteral("text/uri-list")});
    }
    Qt::DropAction draggingEntered(QDragMoveEvent* event) override { return record("draggingEntered", event, dragAnswer); }
    Qt::DropAction draggingUpdated(QDragMoveEvent* event) override { return record("draggingUpdated", event, dragAnswer); }
    bool prepareForDragOperation(QDropEvent* event) override { return record("prepareForDragOperation", event, prepareAnswer); }
    bool performDragOperation(QDropEvent* event) override { return record("performDragOperation", event, performAnswer); }
    void concludeDragOperation(QDropEvent* event) override { record("concludeDragOperation", event, true); }
    void toggleToolbarShown() override { calls << QStringLiteral("toggleToolbarShown"); }

    QStringList calls;
    QList<const QDropEvent*> events;
    Qt::DropAction dragAnswer = Qt::CopyAction;
    bool prepareAnswer = true;
    bool performAnswer = true;

private:
    template <typename Answer>
    Answer record(const char* call, const QDropEvent* event, Answer answer)
    {
        calls << QLatin1String(call);
        events << event;
        return answer;
    }
};

class TestVelmorBases : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sharedInstanceIsKeptPerPromptClass();
    void sharedInstanceIsNewWithoutOverride();
    void promptAnswers_data();
    void promptAnswers();
    void promptFrameIsKeptUnderTheClassName();

    void windowRegistersTheDelegatesTypesAndForwardsTheToolbarCommand();
    void dragsReachTheDelegateUnchanged();
    void drops_data();
    void drops();
    void dragsOfOtherTypesNeverReachTheDelegate();

    void stoppedMonitorLeavesTheGaugeAlone();
    void monitorShowsStepsAndCounts();
    void endTimingHidesAndKeepsTheFrame();
    void closingThePanelStopsUnlessItCannotCancel_data();
    void closingThePanelStopsUnlessItCannotCancel();

private:
    std::unique_ptr<TestSettings> _settings;
};

void TestVelmorBases::init()
{
    _settings = std::make_unique<TestSettings>();
}

void TestVelmorBases::cleanup()
{
    delete NamePrompt::kept;
    NamePrompt::kept = nullptr;
    delete OtherPrompt::kept;
    OtherPrompt::kept = nullptr;
    _settings.reset();
}

void TestVelmorBases::sharedInstanceIsKeptPerPromptClass()
{
    NamePrompt* name = NamePrompt::sharedInstance();
    OtherPrompt* other = OtherPrompt::sharedInstance();

    QVERIFY(name);
    QCOMPARE(NamePrompt::sharedInstance(), name);
    QCOMPARE(OtherPrompt::sharedInstance(), other);
    QVERIFY(static_cast<QObject*>(name) != static_cast<QObject*>(other));
}

void TestVelmorBases::sharedInstanceIsNewWithoutOverride()
{
    std::unique_ptr<PlainPrompt> first(PlainPrompt::sharedInstance());
    std::unique_ptr<PlainPrompt> second(PlainPrompt::sharedInstance());

    QVERIFY(first && second);
    QVERIFY(first != second);
}

void TestVelmorBases::promptAnswers_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ok delivers the entered value") << true << "Entered";
    QTest::newRow("cancel keeps the caller's value") << false << "Before";
}

void TestVelmorBases::promptAnswers()
{
    QFETCH(bool, confirm);
    QFETCH(QString, expected);

    NamePrompt* prompt = NamePrompt::sharedInstance();
    QTimer::singleShot(0, prompt, [prompt, confirm] {
        QVERIFY(prompt->isVisible());
        prompt->field->setText(QStringLiteral("Entered"));
        confirm ? prompt->ok() : prompt->cancel();
    });
    QString name = QStringLiteral("Before");
    prompt->askName(name);

    QCOMPARE(name, expected);
    QVERIFY(!prompt->isVisible());
}

void TestVelmorBases::promptFrameIsKeptUnderTheClassName()
{
    const QRect frame(40, 50, 320, 180);
    {
        std::unique_ptr<PlainPrompt> prompt(PlainPrompt::sharedInstance());
        prompt->show();
        prompt->setGeometry(frame);
        prompt->cancel();
    }
    QVERIFY(!SettingsStore::shared().stringForKey(QStringLiteral("Window Frame PlainPrompt")).isEmpty());

    std::unique_ptr<PlainPrompt> reopened(PlainPrompt::sharedInstance());
    reopened->show();
    QCOMPARE(reopened->geometry(), frame);

    // Another class has a frame of its own.
    OtherPrompt* other = OtherPrompt::sharedInstance();
    other->show();
    QVERIFY(other->geometry() != frame);
}

void TestVelmorBases::windowRegistersTheDelegatesTypesAndForwardsTheToolbarCommand()
{
    VelmorDragInWindow window;
    RecordingDragDelegate delegate;
    window.setDragInDelegate(&delegate);

    QCOMPARE(window.registeredDraggedTypes(), QStringList{QStringLiteral("text/uri-list")});
    QVERIFY(window.acceptDrops());

    window.toggleToolbarShown();
    window.runToolbarCustomizationPalette();
    QCOMPARE(delegate.calls, (QStringList{"registerTypesForWindow", "toggleToolbarShown"}));
}

// Qt routes moves and drops to the widget that took the entering drag, and forgets it at the
// drop or when the drag leaves; the tests send the same sequence.
void TestVelmorBases::dragsReachTheDelegateUnchanged()
{
    VelmorDragInWindow window;
    RecordingDragDelegate delegate;
    window.setDragInDelegate(&delegate);
    delegate.calls.clear();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/invoice.pdf"))});
    const QPoint where(12, 34);

    QDragEnterEvent enter(where, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
    delegate.dragAnswer = Qt::LinkAction;
    QCoreApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::LinkAction);

    QDragMoveEvent move(where, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
    delegate.dragAnswer = Qt::IgnoreAction;
    QCoreApplication::sendEvent(&window, &move);
    QVERIFY(!move.isAccepted());
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(&window, &leave);

    QCOMPARE(delegate.calls, (QStringList{"draggingEntered", "draggingUpdated"}));
    QCOMPARE(delegate.events, (QList<const QDropEvent*>{&enter, &move}));
    QCOMPARE(enter.mimeData(), &data);
    QCOMPARE(enter.position().toPoint(), where);
    QCOMPARE(enter.possibleActions(), Qt::CopyAction | Qt::LinkAction);
}

void TestVelmorBases::drops_data()
{
    QTest::addColumn<bool>("prepare");
    QTest::addColumn<bool>("perform");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("taken: all three steps") << true << true
        << QStringList{"prepareForDragOperation", "performDragOperation", "concludeDragOperation"} << true;
    QTest::newRow("refused when preparing") << false << true << QStringList{"prepareForDragOperation"} << false;
    QTest::newRow("refused when performing") << true << false
        << QStringList{"prepareForDragOperation", "performDragOperation"} << false;
}

void TestVelmorBases::drops()
{
    QFETCH(bool, prepare);
    QFETCH(bool, perform);
    QFETCH(QStringList, calls);
    QFETCH(bool, accepted);

    VelmorDragInWindow window;
    RecordingDragDelegate delegate;
    window.setDragInDelegate(&delegate);
    delegate.prepareAnswer = prepare;
    delegate.performAnswer = perform;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/receipt.png"))});
    QDragEnterEvent enter(QPoint(5, 6), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    delegate.calls.clear();
    delegate.events.clear();

    QDropEvent drop(QPointF(5, 6), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);

    QCOMPARE(delegate.calls, calls);
    for (const QDropEvent* seen : std::as_const(delegate.events))
        QCOMPARE(seen, &drop);
    QCOMPARE(drop.isAccepted(), accepted);
}

void TestVelmorBases::dragsOfOtherTypesNeverReachTheDelegate()
{
    VelmorDragInWindow window;
    RecordingDragDelegate delegate;
    window.setDragInDelegate(&delegate);
    delegate.calls.clear();
    QMimeData data;
    data.setText(QStringLiteral("plain words"));

    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);

    QVERIFY(!enter.isAccepted());
    QVERIFY(delegate.calls.isEmpty());
}

void TestVelmorBases::stoppedMonitorLeavesTheGaugeAlone()
{
    VelmorTimeMonitor monitor;
    monitor.beginTiming();
    QVERIFY(monitor.inUse());
    QVERIFY(monitor.window()->isVisible());
    QCOMPARE(monitor.window()->windowModality(), Qt::ApplicationModal);

    QVERIFY(monitor.percentageDone(30, 3));
    QTest::mouseClick(monitor.cancelButton(), Qt::LeftButton);

    QVERIFY(monitor.userCanceled());
    QVERIFY(!monitor.percentageDone(60));
    QVERIFY(!monitor.percentageDone(70, 7));
    QCOMPARE(monitor.gaugeView()->value(), 30);
    QCOMPARE(monitor.doneField()->text(), QStringLiteral("3"));
    monitor.endTiming();
}

void TestVelmorBases::monitorShowsStepsAndCounts()
{
    VelmorTimeMonitor monitor;
    monitor.beginTiming();

    monitor.nextStep(40, QStringLiteral("Reading documents"));
    QCOMPARE(monitor.titleTextField()->text(), QStringLiteral("Reading documents"));
    QCOMPARE(monitor.gaugeView()->value(), 40);

    QVERIFY(monitor.percentageDone(55.4, 12));
    QCOMPARE(monitor.gaugeView()->value(), 55);
    QCOMPARE(monitor.doneField()->text(), QStringLiteral("12"));

    // A new run starts from an empty gauge and title.
    monitor.endTiming();
    monitor.beginTiming();
    QCOMPARE(monitor.gaugeView()->value(), 0);
    QCOMPARE(monitor.titleTextField()->text(), QString());
    monitor.endTiming();
}

void TestVelmorBases::endTimingHidesAndKeepsTheFrame()
{
    const QRect frame(30, 60, 400, 130);
    {
        VelmorTimeMonitor monitor;
        monitor.beginTiming();
        monitor.window()->setGeometry(frame);
        monitor.stop();
        monitor.endTiming();

        QVERIFY(!monitor.inUse());
        QVERIFY(!monitor.userCanceled());
        QVERIFY(!monitor.window()->isVisible());
    }
    QVERIFY(!SettingsStore::shared().stringForKey(QStringLiteral("Window Frame Progress_Monitor")).isEmpty());

    VelmorTimeMonitor next;
    next.beginTiming();
    QCOMPARE(next.window()->geometry(), frame);
    next.endTiming();
}

void TestVelmorBases::closingThePanelStopsUnlessItCannotCancel_data()
{
    QTest::addColumn<bool>("cancelable");
    QTest::addColumn<bool>("stopped");

    QTest::newRow("with a Stop button") << true << true;
    QTest::newRow("after cantCancel") << false << false;
}

void TestVelmorBases::closingThePanelStopsUnlessItCannotCancel()
{
    QFETCH(bool, cancelable);
    QFETCH(bool, stopped);

    VelmorTimeMonitor monitor;
    if (!cancelable)
        monitor.cantCancel();
    monitor.beginTiming();
    QCOMPARE(monitor.cancelButton()->isVisible(), cancelable);

    monitor.window()->close();
    QTest::keyClick(monitor.window(), Qt::Key_Escape);

    // Only endTiming hides the panel.
    QVERIFY(monitor.window()->isVisible());
    QCOMPARE(monitor.userCanceled(), stopped);
    monitor.endTiming();
}

QTEST_MAIN(TestVelmorBases)
#include "tst_velmorbases.moc"
