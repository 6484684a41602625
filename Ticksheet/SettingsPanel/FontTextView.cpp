#include "FontTextView.h"

FontTextView::FontTextView(QWidget* parent)
    : QPlainTextEdit(parent)
{
    // Read-only keeps typing, pasting and dropping out while selection and focus stay.
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::StrongFocus);
    setTabChangesFocus(true);
    setUndoRedoEnabled(false);
    // The text wraps inside the frame; the frame follows the window, never the text.
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void FontTextView::changeFont(const QFont& font)
{
    setFont(font);
    emit fontChanged(font);
}
