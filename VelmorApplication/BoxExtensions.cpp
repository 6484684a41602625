#include "BoxExtensions.h"

#include <QGroupBox>
#include <QStyle>

namespace {

const char* const TitleDisabledProperty = "velmorTitleDisabled";
// Matches only boxes that carry the property, so nested boxes keep their own titles.
const QString TitleRule = QStringLiteral("\nQGroupBox[velmorTitleDisabled=\"true\"]::title { color: palette(dark); }");

} // namespace

void BoxExtensions::setEnabled(QGroupBox* box, bool enabled)
{
    if (isEnabled(box) == enabled)
        return;
    if (!box->styleSheet().contains(TitleRule))
        box->setStyleSheet(box->styleSheet() + TitleRule);
    box->setProperty(TitleDisabledProperty, !enabled);
    // A changed property takes effect in the style sheet only after polishing again.
    box->style()->unpolish(box);
    box->style()->polish(box);
    box->update();
}

bool BoxExtensions::isEnabled(const QGroupBox* box)
{
    return !box->property(TitleDisabledProperty).toBool();
}
