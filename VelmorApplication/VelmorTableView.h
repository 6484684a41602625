#pragma once

#include "VelmorExport.h"

#include <QElapsedTimer>
#include <QPixmap>
#include <QTableView>
#include <QTimer>

#include <memory>

class QCursor;
class QMimeData;
class VelmorMovingRowsProtocol;

// A table whose rows the user can move by dragging them; the delegate decides and moves the data.
//
// A left press on a row that may move (see the delegate's dragReorderingMask) is held back for
// 0.1 s: released sooner, or without moving past the platform's drag distance, it is an ordinary
// click (selection, editing). Otherwise the row moves:
// - constrained: the row is lifted and its picture follows the pointer inside the table, a slot
//   shows where it will land, the table scrolls while the picture is past the visible edge; the
//   release deposits it, Escape or a release outside the table cancels;
// - unconstrained: a drag with VelmorPrivateRowDragType, which this table accepts back.
//
// Modifiers are given to the delegate in the masks of VelmorMovingRowsProtocol.h: Ctrl is
// "command" (VelmorCommandKeyMask) and Meta is "control" (VelmorControlKeyMask).
class VELMOR_EXPORT VelmorTableView : public QTableView
{
    Q_OBJECT

public:
    explicit VelmorTableView(QWidget* parent = nullptr);
    ~VelmorTableView() override;

    // Not owned; it must outlive the table or be cleared first.
    void setDelegate(VelmorMovingRowsProtocol* delegate);
    VelmorMovingRowsProtocol* delegate() const;

    // A move starts only with "control" (Meta) held at the press, whatever the delegate's mask.
    bool needsControlKey() const;
    void setNeedsControlKey(bool needsControlKey);
    bool constrainedMove() const;
    void setConstrainedMove(bool constrainedMove);

    // The row under the last press that could start a move; -1 when it was on no row.
    int draggedRow() const;
    // The picture of the row being moved.
    QPixmap rowCache() const;
    // Commits and closes the cell editor, as when it loses the focus.
    void endEditing();
    bool isTrackingRow() const;
    bool isAutoScrolling() const;

    // The deposit: asks the delegate to move from to to, then selects to. False moves nothing.
    bool startRow(int from, int to);
    // Puts the row number on the drag data as its only type.
    bool copyRow(int row, QMimeData* data) const;
    // The row's current pixels, as wide as the visible table.
    QPixmap imageForRow(int row);

    // The cursor shown while a row moves (hot spot 7, 7).
    static const QCursor& rowMoveCursor();
    static unsigned modifierMask(Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class Gesture {
        Idle,
        Pending,        // a press held back until it is a click or a move
        Tracking,       // a constrained move follows the pointer
        AwaitingRelease // a move ended before the button came up: its release is not a click
    };

    bool mayStartMove(const QMouseEvent& press);
    bool decisionTimeIsOver() const;
    bool movedPastDragDistance(const QMouseEvent& event) const;
    void decisionTimeElapsed();
    void startMove(QMouseEvent* current);
    void handleAsClick(QMouseEvent* current);

    void prepareRowForMove();
    void selectRowAlone(int row);
    void scrollRowIntoView(int row);
    QPixmap rowPicture(int row);
    QRect rowRect(int row) const;

    void beginConstrainedMove();
    void trackPointer(const QMouseEvent& event);
    void autoScrollTick();
    void finishConstrainedMove(const QMouseEvent& release);
    void cancelConstrainedMove();
    void endTracking();
    QRect floatingRectAt(const QPoint& pointer) const;
    QRect contentBounds() const;
    QRect visibleContent() const;
    void scrollToReveal(const QRect& contentRect);
    int dropRowAt(const QPoint& pointer) const;
    void drawSlot(QPainter& painter, const QRect& row) const;
    void drawRowCache(QPainter& painter, const QRect& rect) const;

    bool beginUnconstrainedMove();
    bool carriesOwnRow(const QDropEvent* event) const;
    void scrollWhileDragging(int row, int y);
    void scrollOneRow(int direction);

    VelmorMovingRowsProtocol* _delegate = nullptr;
    bool _needsControlKey = false;
    bool _constrainedMove = false;
    int _draggedRow = -1;
    QPixmap _rowCache;

    Gesture _gesture = Gesture::Idle;
    std::unique_ptr<QMouseEvent> _press;
    QPoint _pressContentPosition;
    QElapsedTimer _pressClock;
    QTimer _decisionTimer;

    std::unique_ptr<QMouseEvent> _lastTrackingEvent;
    QPoint _grabOffset;
    QSize _floatingSize;
    QRect _floatingRect;
    QTimer _autoScrollTimer;
    bool _cursorPushed = false;
};
