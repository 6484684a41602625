#pragma once

#include "VelmorExport.h"

#include <QString>

class QWidget;

// Keeps a window's frame in the settings store under a name, as the base64 text of
// QWidget::saveGeometry, so windows reopen where the user left them.
class VELMOR_EXPORT WindowFrameAutosave
{
public:
    WindowFrameAutosave() = delete;

    // "Window Frame <name>"
    static QString settingsKey(const QString& name);

    // Writes the frame at once.
    static void save(const QWidget* window, const QString& name);
    // False when nothing usable is stored; the window then keeps its frame.
    static bool restore(QWidget* window, const QString& name);
};
