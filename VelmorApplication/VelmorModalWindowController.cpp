#include "VelmorModalWindowController.h"

#include "WindowFrameAutosave.h"

#include <QHideEvent>
#include <QShowEvent>

VelmorModalWindowController::VelmorModalWindowController(QWidget* parent)
    : QDialog(parent)
{
}

VelmorModalWindowController::~VelmorModalWindowController() = default;

QString VelmorModalWindowController::frameName() const
{
    return QString::fromLatin1(metaObject()->className());
}

void VelmorModalWindowController::ok()
{
    accept();
}

void VelmorModalWindowController::cancel()
{
    reject();
}

void VelmorModalWindowController::showEvent(QShowEvent* event)
{
    // Restored here rather than in the constructor: only now is the subclass (and its name and
    // laid-out size) complete. The show event comes before the window reaches the screen.
    if (!_frameRestored && !event->spontaneous()) {
        _frameRestored = true;
        WindowFrameAutosave::restore(this, frameName());
    }
    QDialog::showEvent(event);
}

void VelmorModalWindowController::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous())
        WindowFrameAutosave::save(this, frameName());
    QDialog::hideEvent(event);
}
