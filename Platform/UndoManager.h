#pragma once

#include "PlatformExport.h"

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

// An undo stack of recorded inverse calls. Each registration outside an explicit group is one
// step; calls between beginUndoGrouping() and endUndoGrouping() form one step. While a step is
// undone, the registrations it makes are collected as the matching redo step, and the other way
// round. The position relative to the last clean mark (save or load) drives the edited state.
class PLATFORM_EXPORT UndoManager : public QObject
{
    Q_OBJECT

public:
    using Action = std::function<void()>;

    explicit UndoManager(QObject* parent = nullptr);
    ~UndoManager() override;

    void registerUndo(Action inverse);
    void setActionName(const QString& name);

    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const;

    void disableUndoRegistration();
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const;

    bool canUndo() const;
    bool canRedo() const;
    void undo();
    void redo();
    bool isUndoing() const;
    bool isRedoing() const;

    QString undoActionName() const;
    QString redoActionName() const;
    int undoCount() const;
    int redoCount() const;

    void removeAllActions();

    // Edited state: steps done since the clean mark (undone steps count back).
    void setClean();
    bool isClean() const;

signals:
    void changed();
    void cleanChanged(bool clean);

private:
    struct Step {
        std::vector<Action> actions;
        QString name;
    };

    std::vector<Step>& targetStack();
    void runStep(std::vector<Step>& from, bool undoing);

    std::vector<Step> _undoStack;
    std::vector<Step> _redoStack;
    Step _openGroup;
    int _groupingLevel = 0;
    int _disabledLevel = 0;
    bool _undoing = false;
    bool _redoing = false;
    // Position in edit history and the position of the clean mark; the mark is lost (unreachable)
    // when history branches away from it.
    long _position = 0;
    long _cleanPosition = 0;
    bool _cleanReachable = true;
};
