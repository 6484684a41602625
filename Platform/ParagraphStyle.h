#pragma once

#include <QList>

// The paragraph-level attributes of styled text: alignment, left tab stops and a hanging indent.
// Lengths are in points, measured from the left margin.
struct ParagraphStyle
{
    // Numbered as the callers pass them: 0 left, 1 right, 2 centred.
    enum Alignment { Left = 0, Right = 1, Centered = 2 };

    ParagraphStyle(Alignment alignment = Left, const QList<qreal>& tabStops = {}, qreal headIndent = 0)
        : alignment(alignment)
        , tabStops(tabStops)
        , headIndent(headIndent)
    {
    }

    Alignment alignment;
    // Left-aligned tab stops in ascending order; past the last one the default interval applies.
    QList<qreal> tabStops;
    // Where every line of a paragraph after its first begins; the first line begins at the margin.
    qreal headIndent;

    // Text without tab stops of its own tabs to multiples of this.
    static constexpr qreal defaultTabInterval = 28;

    bool operator==(const ParagraphStyle& other) const = default;
};
