#pragma once

#include "VelmorExport.h"

class QPixmap;
class VelmorTableView;

// Modifier masks in the layout every delegate answers in. VelmorTableView maps Qt's modifiers onto
// them the way Qt itself names the keys across desktops: "command" is the Ctrl key
// (Qt::ControlModifier) and "control" is the Meta key (Qt::MetaModifier).
inline constexpr unsigned VelmorControlKeyMask = 1u << 18;
inline constexpr unsigned VelmorCommandKeyMask = 1u << 20;

// What a VelmorTableView asks of its delegate before and after moving a row. The table only carries
// out the gesture; the delegate decides where a move may start and moves its own data.
class VELMOR_EXPORT VelmorMovingRowsProtocol
{
public:
    virtual ~VelmorMovingRowsProtocol();

    // The modifier keys, one of which must be held at the press for a move that starts in the
    // column; 0 when no key is needed.
    virtual unsigned dragReorderingMask(int column) = 0;
    // Whether a row dragged out of the table may be dropped on row (-1: on no row).
    virtual bool draggingRow(VelmorTableView* table, int draggedRow, int row) = 0;
    // Moves the delegate's row from to to; true when something moved. The table then selects to.
    virtual bool didDepositRow(VelmorTableView* table, int from, int to) = 0;

    // Optional answers; the defaults let every move go ahead with the table's own picture.
    // false vetoes the move before it starts.
    virtual bool rowWillMove(VelmorTableView* table, int row);
    // false vetoes the drop.
    virtual bool willDepositRow(VelmorTableView* table, int from, int to);
    // The picture to drag; a null pixmap lets the table take its own.
    virtual QPixmap imageForRow(VelmorTableView* table, int row);
};
