#pragma once

#include <QPlainTextEdit>

// The report-font preview: a few lines of plain text in the chosen font. The user can select and
// copy the text but not change it; a font picked in the font chooser is applied here first and
// then reported through fontChanged, so the preview always shows what was stored.
class FontTextView : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit FontTextView(QWidget* parent = nullptr);

    // Shows the text in the font and announces it.
    void changeFont(const QFont& font);

signals:
    void fontChanged(const QFont& font);
};
