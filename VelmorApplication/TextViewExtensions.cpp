#include "TextViewExtensions.h"

#include <QApplication>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

template <typename View>
void applyEnabled(View* view, bool enabled)
{
    const QPalette standard = QApplication::palette(view);
    QPalette palette = view->palette();
    const QColor textColor = standard.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Text);
    palette.setColor(QPalette::Active, QPalette::Text, textColor);
    palette.setColor(QPalette::Inactive, QPalette::Text, textColor);
    view->setPalette(palette);
    view->setReadOnly(!enabled);
    view->setTextInteractionFlags(enabled ? Qt::TextEditorInteraction : Qt::NoTextInteraction);
}

} // namespace

void TextViewExtensions::setStringValue(QTextEdit* view, const QString& text)
{
    view->setPlainText(text);
}

void TextViewExtensions::setStringValue(QPlainTextEdit* view, const QString& text)
{
    view->setPlainText(text);
}

QString TextViewExtensions::stringValue(const QTextEdit* view)
{
    return view->toPlainText();
}

QString TextViewExtensions::stringValue(const QPlainTextEdit* view)
{
    return view->toPlainText();
}

void TextViewExtensions::setEnabled(QTextEdit* view, bool enabled)
{
    applyEnabled(view, enabled);
}

void TextViewExtensions::setEnabled(QPlainTextEdit* view, bool enabled)
{
    applyEnabled(view, enabled);
}
