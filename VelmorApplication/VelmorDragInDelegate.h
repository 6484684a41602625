#pragma once

#include "VelmorExport.h"

#include <Qt>

class QDragMoveEvent;
class QDropEvent;
class VelmorDragInWindow;

// What a VelmorDragInWindow asks its window controller about drags and drops. The events are
// passed as they arrived; the window applies the answers. A QDragEnterEvent is a QDragMoveEvent.
class VELMOR_EXPORT VelmorDragInDelegate
{
public:
    virtual ~VelmorDragInDelegate();

    // Register the accepted drag types with VelmorDragInWindow::registerForDraggedTypes.
    virtual void registerTypesForWindow(VelmorDragInWindow* window) = 0;
    // Qt::IgnoreAction refuses the drag.
    virtual Qt::DropAction draggingEntered(QDragMoveEvent* event) = 0;
    virtual Qt::DropAction draggingUpdated(QDragMoveEvent* event) = 0;
    // A drop happens in three steps; false from one of the first two refuses it.
    virtual bool prepareForDragOperation(QDropEvent* event) = 0;
    virtual bool performDragOperation(QDropEvent* event) = 0;
    virtual void concludeDragOperation(QDropEvent* event) = 0;

    // The window's "show or hide the toolbar" command; the controller shows or hides its own
    // tools area.
    virtual void toggleToolbarShown();
};
