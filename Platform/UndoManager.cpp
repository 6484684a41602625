#include "UndoManager.h"

#include <utility>

UndoManager::UndoManager(QObject* parent)
    : QObject(parent)
{
}

UndoManager::~UndoManager() = default;

std::vector<UndoManager::Step>& UndoManager::targetStack()
{
    return _undoing ? _redoStack : _undoStack;
}

void UndoManager::registerUndo(Action inverse)
{
    if (!inverse || !isUndoRegistrationEnabled())
        return;
    if (_groupingLevel > 0) {
        _openGroup.actions.push_back(std::move(inverse));
        return;
    }
    if (_undoing || _redoing) {
        // runStep collects the inverse of the step being undone or redone.
        _openGroup.actions.push_back(std::move(inverse));
        return;
    }
    const bool wasClean = isClean();
    _redoStack.clear();
    if (_position < _cleanPosition)
        _cleanReachable = false;
    _undoStack.push_back(Step {{std::move(inverse)}, QString()});
    ++_position;
    emit changed();
    if (wasClean != isClean())
        emit cleanChanged(isClean());
}

void UndoManager::setActionName(const QString& name)
{
    if (_undoing || _redoing || !isUndoRegistrationEnabled())
        return; // a replayed step keeps its name; an unrecorded change must not rename the last step
    if (_groupingLevel > 0)
        _openGroup.name = name;
    else if (!_undoStack.empty())
        _undoStack.back().name = name;
    emit changed();
}

void UndoManager::beginUndoGrouping()
{
    ++_groupingLevel;
}

void UndoManager::endUndoGrouping()
{
    if (_groupingLevel == 0)
        return;
    if (--_groupingLevel > 0 || _undoing || _redoing)
        return;
    Step group = std::exchange(_openGroup, Step {});
    if (group.actions.empty())
        return;
    const bool wasClean = isClean();
    _redoStack.clear();
    if (_position < _cleanPosition)
        _cleanReachable = false;
    _undoStack.push_back(std::move(group));
    ++_position;
    emit changed();
    if (wasClean != isClean())
        emit cleanChanged(isClean());
}

int UndoManager::groupingLevel() const
{
    return _groupingLevel;
}

void UndoManager::disableUndoRegistration()
{
    ++_disabledLevel;
}

void UndoManager::enableUndoRegistration()
{
    if (_disabledLevel > 0)
        --_disabledLevel;
}

bool UndoManager::isUndoRegistrationEnabled() const
{
    return _disabledLevel == 0;
}

bool UndoManager::canUndo() const
{
    return !_undoStack.empty();
}

bool UndoManager::canRedo() const
{
    return !_redoStack.empty();
}

void UndoManager::runStep(std::vector<Step>& from, bool undoing)
{
    if (from.empty() || _undoing || _redoing)
        return;
    const bool wasClean = isClean();
    Step step = std::move(from.back());
    from.pop_back();
    const Step saved = std::exchange(_openGroup, Step {});
    (undoing ? _undoing : _redoing) = true;
    for (auto it = step.actions.rbegin(); it != step.actions.rend(); ++it)
        (*it)();
    (undoing ? _undoing : _redoing) = false;
    Step inverse = std::exchange(_openGroup, saved);
    inverse.name = step.name;
    if (!inverse.actions.empty())
        (undoing ? _redoStack : _undoStack).push_back(std::move(inverse));
    _position += undoing ? -1 : 1;
    emit changed();
    if (wasClean != isClean())
        emit cleanChanged(isClean());
}

void UndoManager::undo()
{
    runStep(_undoStack, true);
}

void UndoManager::redo()
{
    runStep(_redoStack, false);
}

bool UndoManager::isUndoing() const
{
    return _undoing;
}

bool UndoManager::isRedoing() const
{
    return _redoing;
}

QString UndoManager::undoActionName() const
{
    return _undoStack.empty() ? QString() : _undoStack.back().name;
}

QString UndoManager::redoActionName() const
{
    return _redoStack.empty() ? QString() : _redoStack.back().name;
}

int UndoManager::undoCount() const
{
    return static_cast<int>(_undoStack.size());
}

int UndoManager::redoCount() const
{
    return static_cast<int>(_redoStack.size());
}

void UndoManager::removeAllActions()
{
    const bool wasClean = isClean();
    _undoStack.clear();
    _redoStack.clear();
    _openGroup = Step {};
    _groupingLevel = 0;
    // The history is gone: the current state is only clean if it was.
    _cleanReachable = wasClean;
    _position = 0;
    _cleanPosition = 0;
    emit changed();
}

void UndoManager::setClean()
{
    const bool wasClean = isClean();
    _cleanPosition = _position;
    _cleanReachable = true;
    if (!wasClean)
        emit cleanChanged(true);
}

bool UndoManager::isClean() const
{
    return _cleanReachable && _position == _cleanPosition;
}
