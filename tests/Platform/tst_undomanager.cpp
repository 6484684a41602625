#include "UndoManager.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// A value with an undoable setter written the way the model writes them: the setter records
// its own inverse, so undoing it records the redo.
class Field
{
public:
    explicit Field(UndoManager& undo) : _undo(undo) {}

    int value() const { return _value; }

    void set(int value)
    {
        const int old = _value;
        _value = value;
        _undo.registerUndo([this, old] { set(old); });
        _undo.setActionName(QStringLiteral("Set %1").arg(value));
    }

private:
    UndoManager& _undo;
    int _value = 0;
};

} // namespace

class TestUndoManager : public QObject
{
    Q_OBJECT

private slots:
    void eachRegistrationIsOneStep();
    void groupIsOneStepUndoneInReverse();
    void actionNamesFollowTheSteps();
    void redoIsRecordedWhileUndoing();
    void newChangeClearsRedo();
    void suspendedRegistrationRecordsNothing();
    void cleanMarkFollowsUndoAndRedo();
    void cleanMarkIsLostWhenHistoryBranches();
    void removeAllActionsKeepsTheEditedState();
};

void TestUndoManager::eachRegistrationIsOneStep()
{
    UndoManager undo;
    Field field(undo);
    field.set(1);
    field.set(2);
    field.set(3);
    QCOMPARE(undo.undoCount(), 3);

    undo.undo();
    QCOMPARE(field.value(), 2);
    undo.undo();
    QCOMPARE(field.value(), 1);
    undo.redo();
    QCOMPARE(field.value(), 2);
    QCOMPARE(undo.undoCount(), 2);
    QCOMPARE(undo.redoCount(), 1);
}

void TestUndoManager::groupIsOneStepUndoneInReverse()
{
    UndoManager undo;
    Field field(undo);
    undo.beginUndoGrouping();
    field.set(1);
    undo.beginUndoGrouping(); // nested groups fold into the outer one
    field.set(2);
    undo.endUndoGrouping();
    QVERIFY(!undo.canUndo());
    field.set(3);
    undo.endUndoGrouping();
    QCOMPARE(undo.undoCount(), 1);
    QCOMPARE(undo.groupingLevel(), 0);

    // Inverses run last-first; first-last would end at 2.
    undo.undo();
    QCOMPARE(field.value(), 0);
    QCOMPARE(undo.redoCount(), 1);
    undo.redo();
    QCOMPARE(field.value(), 3);

    // A group that recorded nothing is no step.
    undo.beginUndoGrouping();
    undo.endUndoGrouping();
    QCOMPARE(undo.undoCount(), 1);
}

void TestUndoManager::actionNamesFollowTheSteps()
{
    UndoManager undo;
    Field field(undo);
    field.set(1);
    undo.beginUndoGrouping();
    field.set(2);
    field.set(3);
    undo.setActionName(QStringLiteral("Work Change"));
    undo.endUndoGrouping();
    QCOMPARE(undo.undoActionName(), QStringLiteral("Work Change"));

    // The setter names its step again while it is replayed; the step keeps its first name.
    undo.undo();
    QCOMPARE(undo.redoActionName(), QStringLiteral("Work Change"));
    QCOMPARE(undo.undoActionName(), QStringLiteral("Set 1"));
    undo.redo();
    QCOMPARE(undo.undoActionName(), QStringLiteral("Work Change"));
    QCOMPARE(undo.redoActionName(), QString());
}

void TestUndoManager::redoIsRecordedWhileUndoing()
{
    UndoManager undo;
    Field field(undo);
    bool sawUndoing = false;
    field.set(5);
    undo.registerUndo([&] { sawUndoing = undo.isUndoing() && !undo.isRedoing(); });
    undo.undo();
    QVERIFY(sawUndoing);

    undo.undo();
    QCOMPARE(field.value(), 0);
    QVERIFY(!undo.canUndo());
    QVERIFY(undo.canRedo());
    undo.redo();
    QCOMPARE(field.value(), 5);
    // ...and the redo recorded the undo again.
    undo.undo();
    QCOMPARE(field.value(), 0);
}

void TestUndoManager::newChangeClearsRedo()
{
    UndoManager undo;
    Field field(undo);
    field.set(1);
    field.set(2);
    undo.undo();
    QVERIFY(undo.canRedo());

    field.set(7);
    QVERIFY(!undo.canRedo());
    undo.redo(); // nothing to redo
    QCOMPARE(field.value(), 7);
    undo.undo();
    undo.undo();
    QCOMPARE(field.value(), 0);
}

void TestUndoManager::suspendedRegistrationRecordsNothing()
{
    UndoManager undo;
    Field field(undo);
    undo.disableUndoRegistration();
    undo.disableUndoRegistration();
    field.set(1);
    undo.enableUndoRegistration();
    QVERIFY(!undo.isUndoRegistrationEnabled()); // suspensions nest
    field.set(2);
    undo.enableUndoRegistration();
    QVERIFY(!undo.canUndo());

    field.set(3);
    undo.undo();
    QCOMPARE(field.value(), 2);
    QVERIFY(!undo.canUndo());
}

void TestUndoManager::cleanMarkFollowsUndoAndRedo()
{
    UndoManager undo;
    Field field(undo);
    QSignalSpy cleanChanges(&undo, &UndoManager::cleanChanged);
    QVERIFY(undo.isClean());

    field.set(1);
    field.set(2);
    QVERIFY(!undo.isClean());
    undo.setClean(); // saved at 2
    QVERIFY(undo.isClean());
    undo.undo();
    QVERIFY(!undo.isClean());
    undo.redo();
    QVERIFY(undo.isClean());
    QCOMPARE(cleanChanges.size(), 4);
    QCOMPARE(cleanChanges.last().first().toBool(), true);

    // Saved after an undo: the redo leaves the saved state, the undo comes back to it.
    undo.undo();
    undo.setClean();
    undo.redo();
    QVERIFY(!undo.isClean());
    undo.undo();
    QVERIFY(undo.isClean());
}

void TestUndoManager::cleanMarkIsLostWhenHistoryBranches()
{
    UndoManager undo;
    Field field(undo);
    field.set(1);
    undo.setClean();
    undo.undo();
    field.set(7); // the saved state is no longer reachable
    QVERIFY(!undo.isClean());
    undo.undo();
    QVERIFY(!undo.isClean());
    undo.redo(); // same depth as the saved state, but another state
    QVERIFY(!undo.isClean());

    undo.setClean();
    QVERIFY(undo.isClean());
}

void TestUndoManager::removeAllActionsKeepsTheEditedState()
{
    UndoManager undo;
    Field field(undo);
    field.set(1);
    field.set(2);
    undo.undo();
    undo.removeAllActions();
    QVERIFY(!undo.canUndo());
    QVERIFY(!undo.canRedo());
    QVERIFY(!undo.isClean()); // unsaved edits stay unsaved

    undo.setClean();
    field.set(3);
    undo.removeAllActions();
    QVERIFY(!undo.isClean());

    undo.setClean();
    undo.removeAllActions(); // as after a save
    QVERIFY(undo.isClean());
    field.set(4);
    QVERIFY(!undo.isClean());
    undo.undo();
    QVERIFY(undo.isClean());
    QCOMPARE(field.value(), 3);
}

QTEST_GUILESS_MAIN(TestUndoManager)
#include "tst_undomanager.moc"
