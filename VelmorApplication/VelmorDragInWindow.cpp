#include "VelmorDragInWindow.h"

#include "VelmorDragInDelegate.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

VelmorDragInWindow::VelmorDragInWindow(QWidget* parent)
    : QMainWindow(parent)
{
}

VelmorDragInWindow::~VelmorDragInWindow() = default;

void VelmorDragInWindow::setDragInDelegate(VelmorDragInDelegate* delegate)
{
    _delegate = delegate;
    if (_delegate)
        _delegate->registerTypesForWindow(this);
}

VelmorDragInDelegate* VelmorDragInWindow::dragInDelegate() const
{
    return _delegate;
}

void VelmorDragInWindow::registerForDraggedTypes(const QStringList& types)
{
    for (const QString& type : types) {
        if (!_draggedTypes.contains(type))
            _draggedTypes.append(type);
    }
    setAcceptDrops(!_draggedTypes.isEmpty());
}

void VelmorDragInWindow::unregisterDraggedTypes()
{
    _draggedTypes.clear();
    setAcceptDrops(false);
}

QStringList VelmorDragInWindow::registeredDraggedTypes() const
{
    return _draggedTypes;
}

void VelmorDragInWindow::toggleToolbarShown()
{
    performToggleToolbarShown();
}

void VelmorDragInWindow::performToggleToolbarShown()
{
    if (_delegate)
        _delegate->toggleToolbarShown();
}

void VelmorDragInWindow::runToolbarCustomizationPalette()
{
    // The window has no toolbar items to customise.
}

bool VelmorDragInWindow::carriesRegisteredType(const QMimeData* data) const
{
    if (!data)
        return false;
    for (const QString& type : _draggedTypes) {
        if (data->hasFormat(type))
            return true;
    }
    return false;
}

void VelmorDragInWindow::answerDrag(QDragMoveEvent* event, Qt::DropAction action)
{
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void VelmorDragInWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!_delegate || !carriesRegisteredType(event->mimeData())) {
        event->ignore();
        return;
    }
    answerDrag(event, _delegate->draggingEntered(event));
}

void VelmorDragInWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (!_delegate || !carriesRegisteredType(event->mimeData())) {
        event->ignore();
        return;
    }
    answerDrag(event, _delegate->draggingUpdated(event));
}

void VelmorDragInWindow::dropEvent(QDropEvent* event)
{
    if (!_delegate || !carriesRegisteredType(event->mimeData())
        || !_delegate->prepareForDragOperation(event) || !_delegate->performDragOperation(event)) {
        event->ignore();
        return;
    }
    event->accept();
    // Qt has no separate concluding step, so the window sends it once the drop is taken.
    _delegate->concludeDragOperation(event);
}
