#pragma once

#include "VelmorExport.h"

#include <QString>

class QPlainTextEdit;
class QTextEdit;

// Drives a multi-line text view like a one-line text field.
class VELMOR_EXPORT TextViewExtensions
{
public:
    TextViewExtensions() = delete;

    // Replaces the whole text; a null string empties the view.
    static void setStringValue(QTextEdit* view, const QString& text);
    static void setStringValue(QPlainTextEdit* view, const QString& text);
    static QString stringValue(const QTextEdit* view);
    static QString stringValue(const QPlainTextEdit* view);

    // Enabled: normal text, editable and selectable. Disabled: grey text, neither editable nor
    // selectable. The view itself stays enabled, so it still scrolls.
    static void setEnabled(QTextEdit* view, bool enabled);
    static void setEnabled(QPlainTextEdit* view, bool enabled);
};
