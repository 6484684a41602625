#include "VelmorTableView.h"

#include "VelmorMovingRowsProtocol.h"
#include "VelmorTableViewSupport.h"

#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <qdrawutil.h>

namespace {

constexpr int DecisionDelayMs = 100;
constexpr int AutoScrollPeriodMs = 100;
constexpr qreal FloatingRowOpacity = 0.75;

// One cursor for every table of the process; it goes with the application's pixmaps.
QCursor* sharedMoveCursor = nullptr;

void releaseMoveCursor()
{
    delete sharedMoveCursor;
    sharedMoveCursor = nullptr;
}

// A crosshair centred on the hot spot.
QPixmap moveCursorPicture()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    for (const auto& [colour, width] : {std::pair {QColor(Qt::white), 3}, std::pair {QColor(Qt::black), 1}}) {
        painter.setPen(QPen(colour, width));
        painter.drawLine(7, 1, 7, 13);
        painter.drawLine(1, 7, 13, 7);
    }
    return picture;
}

} // namespace

VelmorTableView::VelmorTableView(QWidget* parent)
    : QTableView(parent)
{
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);

    _decisionTimer.setSingleShot(true);
    _decisionTimer.setInterval(DecisionDelayMs);
    connect(&_decisionTimer, &QTimer::timeout, this, &VelmorTableView::decisionTimeElapsed);

    _autoScrollTimer.setInterval(AutoScrollPeriodMs);
    connect(&_autoScrollTimer, &QTimer::timeout, this, &VelmorTableView::autoScrollTick);
}

VelmorTableView::~VelmorTableView()
{
    if (_cursorPushed)
        QGuiApplication::restoreOverrideCursor();
}

void VelmorTableView::setDelegate(VelmorMovingRowsProtocol* delegate)
{
    _delegate = delegate;
}

VelmorMovingRowsProtocol* VelmorTableView::delegate() const
{
    return _delegate;
}

bool VelmorTableView::needsControlKey() const
{
    return _needsControlKey;
}

void VelmorTableView::setNeedsControlKey(bool needsControlKey)
{
    _needsControlKey = needsControlKey;
}

bool VelmorTableView::constrainedMove() const
{
    return _constrainedMove;
}

void VelmorTableView::setConstrainedMove(bool constrainedMove)
{
    _constrainedMove = constrainedMove;
}

int VelmorTableView::draggedRow() const
{
    return _draggedRow;
}

QPixmap VelmorTableView::rowCache() const
{
    return _rowCache;
}

bool VelmorTableView::isTrackingRow() const
{
    return _gesture == Gesture::Tracking;
}

bool VelmorTableView::isAutoScrolling() const
{
    return _autoScrollTimer.isActive();
}

bool VelmorTableView::startRow(int from, int to)
{
    // A delegate may trust the table's indexes, so an unknown source row never reaches it.
    if (from < 0 || to < 0 || to == from || !_delegate)
        return false;
    if (!_delegate->willDepositRow(this, from, to))
        return false;
    if (!_delegate->didDepositRow(this, from, to))
        return false;
    viewport()->update();
    selectRowAlone(to);
    return true;
}

bool VelmorTableView::copyRow(int row, QMimeData* data) const
{
    if (!data)
        return false;
    data->clear();
    data->setData(VelmorPrivateRowDragType, QByteArray::number(row));
    return data->hasFormat(VelmorPrivateRowDragType);
}

QPixmap VelmorTableView::imageForRow(int row)
{
    return viewport()->grab(rowRect(row));
}

const QCursor& VelmorTableView::rowMoveCursor()
{
    if (!sharedMoveCursor) {
        sharedMoveCursor = new QCursor(moveCursorPicture(), 7, 7);
        qAddPostRoutine(releaseMoveCursor);
    }
    return *sharedMoveCursor;
}

unsigned VelmorTableView::modifierMask(Qt::KeyboardModifiers modifiers)
{
    unsigned mask = 0;
    if (modifiers & Qt::MetaModifier)
        mask |= VelmorControlKeyMask;
    if (modifiers & Qt::ControlModifier)
        mask |= VelmorCommandKeyMask;
    return mask;
}

// Mouse gesture

void VelmorTableView::mousePressEvent(QMouseEvent* event)
{
    if (_gesture == Gesture::Pending || _gesture == Gesture::Tracking)
        return; // another button during a gesture
    _gesture = Gesture::Idle;
    if (event->button() == Qt::LeftButton && mayStartMove(*event)) {
        // Held back: whether it is a click or a move shows in the next 0.1 s.
        _press = periodicEventWithLocationSetToPoint(*event, event->position());
        _pressContentPosition = event->position().toPoint() + QPoint(0, verticalOffset());
        _gesture = Gesture::Pending;
        _pressClock.start();
        _decisionTimer.start();
        return;
    }
    QTableView::mousePressEvent(event);
}

void VelmorTableView::mouseMoveEvent(QMouseEvent* event)
{
    switch (_gesture) {
    case Gesture::Idle:
        QTableView::mouseMoveEvent(event);
        return;
    case Gesture::Pending:
        if (!(event->buttons() & Qt::LeftButton)) {
            // The release went elsewhere: the press never became anything.
            _decisionTimer.stop();
            _gesture = Gesture::Idle;
            QTableView::mouseMoveEvent(event);
        } else if (movedPastDragDistance(*event) || (_constrainedMove && decisionTimeIsOver())) {
            startMove(event);
        }
        return;
    case Gesture::Tracking:
        trackPointer(*event);
        return;
    case Gesture::AwaitingRelease:
        if (event->buttons() & Qt::LeftButton)
            return;
        _gesture = Gesture::Idle;
        QTableView::mouseMoveEvent(event);
        return;
    }
}

void VelmorTableView::mouseReleaseEvent(QMouseEvent* event)
{
    if (_gesture != Gesture::Idle && event->button() != Qt::LeftButton)
        return;
    switch (_gesture) {
    case Gesture::Idle:
        QTableView::mouseReleaseEvent(event);
        return;
    case Gesture::Pending:
        // The timer may not have had its turn yet; the clock decides.
        if (_constrainedMove && decisionTimeIsOver())
            startMove(nullptr);
        if (_gesture == Gesture::Tracking)
            finishConstrainedMove(*event);
        else if (_gesture == Gesture::Pending)
            handleAsClick(event);
        else
            QTableView::mouseReleaseEvent(event);
        return;
    case Gesture::Tracking:
        finishConstrainedMove(*event);
        return;
    case Gesture::AwaitingRelease:
        _gesture = Gesture::Idle;
        return;
    }
}

void VelmorTableView::keyPressEvent(QKeyEvent* event)
{
    if (_gesture == Gesture::Tracking && event->key() == Qt::Key_Escape) {
        cancelConstrainedMove();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool VelmorTableView::mayStartMove(const QMouseEvent& press)
{
    const QPoint position = press.position().toPoint();
    _draggedRow = rowAt(position.y());
    if (_draggedRow < 0)
        return false;
    const unsigned flags = modifierMask(press.modifiers());
    if (_needsControlKey && !(flags & VelmorControlKeyMask))
        return false;
    if (!_delegate)
        return false;
    const unsigned mask = _delegate->dragReorderingMask(columnAt(position.x()));
    return mask == 0 || (flags & mask);
}

bool VelmorTableView::decisionTimeIsOver() const
{
    return _pressClock.isValid() && _pressClock.elapsed() >= DecisionDelayMs;
}

bool VelmorTableView::movedPastDragDistance(const QMouseEvent& event) const
{
    return _press
        && (event.position() - _press->position()).manhattanLength() >= QApplication::startDragDistance();
}

void VelmorTableView::decisionTimeElapsed()
{
    // Held still: a constrained move lifts the row now; a drag waits for the pointer to move.
    if (_gesture == Gesture::Pending && _constrainedMove)
        startMove(nullptr);
}

void VelmorTableView::startMove(QMouseEvent* current)
{
    _decisionTimer.stop();
    if (!_delegate || !_delegate->rowWillMove(this, _draggedRow)) {
        handleAsClick(current);
        return;
    }
    if (_constrainedMove) {
        beginConstrainedMove();
        if (current)
            trackPointer(*current);
        return;
    }
    if (!beginUnconstrainedMove())
        handleAsClick(current);
}

// The held-back press goes to the standard handling after all, followed by the event at hand.
void VelmorTableView::handleAsClick(QMouseEvent* current)
{
    _decisionTimer.stop();
    _gesture = Gesture::Idle;
    const std::unique_ptr<QMouseEvent> press = std::move(_press);
    if (press)
        QTableView::mousePressEvent(press.get());
    if (!current)
        return;
    if (current->type() == QEvent::MouseMove)
        QTableView::mouseMoveEvent(current);
    else if (current->type() == QEvent::MouseButtonRelease)
        QTableView::mouseReleaseEvent(current);
}

// Lifting the row

void VelmorTableView::prepareRowForMove()
{
    endEditing();
    selectRowAlone(_draggedRow);
    scrollRowIntoView(_draggedRow);
    viewport()->update();
}

void VelmorTableView::endEditing()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void VelmorTableView::selectRowAlone(int row)
{
    if (!model() || !selectionModel() || row < 0 || row >= model()->rowCount(rootIndex()))
        return;
    const QModelIndex index = model()->index(row, qMax(0, currentIndex().column()), rootIndex());
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void VelmorTableView::scrollRowIntoView(int row)
{
    if (!model() || row < 0)
        return;
    // Stay in the current column so that only the vertical position changes.
    const int column = currentIndex().isValid() ? currentIndex().column() : qMax(0, columnAt(0));
    scrollTo(model()->index(row, column, rootIndex()));
}

QPixmap VelmorTableView::rowPicture(int row)
{
    if (_delegate) {
        const QPixmap picture = _delegate->imageForRow(this, row);
        if (!picture.isNull())
            return picture;
    }
    return imageForRow(row);
}

QRect VelmorTableView::rowRect(int row) const
{
    return QRect(0, rowViewportPosition(row), viewport()->width(), rowHeight(row));
}

// Constrained move. Positions are kept in content coordinates (viewport y plus the vertical
// offset), so they stay put while the table scrolls under the pointer.

void VelmorTableView::beginConstrainedMove()
{
    prepareRowForMove();
    _rowCache = rowPicture(_draggedRow);
    const QRect row = rowRect(_draggedRow);
    _grabOffset = _pressContentPosition - QPoint(row.left(), row.top() + verticalOffset());
    _floatingSize = row.size();
    QGuiApplication::setOverrideCursor(rowMoveCursor());
    _cursorPushed = true;
    _gesture = Gesture::Tracking;
    trackPointer(*_press);
}

void VelmorTableView::trackPointer(const QMouseEvent& event)
{
    _lastTrackingEvent = periodicEventWithLocationSetToPoint(event, event.position());
    _floatingRect = floatingRectAt(event.position().toPoint());
    if (!visibleContent().contains(_floatingRect)) {
        scrollToReveal(_floatingRect);
        // Keeps scrolling while the pointer rests past the edge.
        if (!_autoScrollTimer.isActive())
            _autoScrollTimer.start();
    } else if (_autoScrollTimer.isActive()) {
        _autoScrollTimer.stop();
    }
    viewport()->update();
}

void VelmorTableView::autoScrollTick()
{
    if (_gesture != Gesture::Tracking || !_lastTrackingEvent) {
        _autoScrollTimer.stop();
        return;
    }
    const auto event = periodicEventWithLocationSetToPoint(*_lastTrackingEvent, _lastTrackingEvent->position());
    trackPointer(*event);
}

void VelmorTableView::finishConstrainedMove(const QMouseEvent& release)
{
    const QPoint pointer = release.position().toPoint();
    _floatingRect = floatingRectAt(pointer);
    const int target = dropRowAt(pointer);
    endTracking();
    startRow(_draggedRow, target);
    viewport()->update();
}

void VelmorTableView::cancelConstrainedMove()
{
    endTracking();
    _gesture = Gesture::AwaitingRelease;
    viewport()->update();
}

void VelmorTableView::endTracking()
{
    _autoScrollTimer.stop();
    if (_cursorPushed) {
        QGuiApplication::restoreOverrideCursor();
        _cursorPushed = false;
    }
    _gesture = Gesture::Idle;
    _lastTrackingEvent.reset();
    _press.reset();
}

QRect VelmorTableView::floatingRectAt(const QPoint& pointer) const
{
    const QPoint contentPointer(pointer.x(), pointer.y() + verticalOffset());
    QRect rect(contentPointer - _grabOffset, _floatingSize);
    const QRect bounds = contentBounds();
    rect.moveLeft(qMax(bounds.left(), qMin(rect.left(), bounds.left() + bounds.width() - rect.width())));
    rect.moveTop(qMax(bounds.top(), qMin(rect.top(), bounds.top() + bounds.height() - rect.height())));
    return rect;
}

QRect VelmorTableView::contentBounds() const
{
    return QRect(0, 0, viewport()->width(), qMax(viewport()->height(), verticalHeader()->length()));
}

QRect VelmorTableView::visibleContent() const
{
    return QRect(0, verticalOffset(), viewport()->width(), viewport()->height());
}

void VelmorTableView::scrollToReveal(const QRect& contentRect)
{
    const int edge = contentRect.top() < visibleContent().top() ? contentRect.top() : contentRect.bottom();
    scrollRowIntoView(rowAt(edge - verticalOffset()));
}

// The row a release at pointer lands on: the row under it, else the row under the floating
// picture's top-left corner; -1 (nothing moves) when the pointer left the table.
int VelmorTableView::dropRowAt(const QPoint& pointer) const
{
    if (!viewport()->rect().contains(pointer))
        return -1;
    const int row = rowAt(pointer.y());
    return row >= 0 ? row : rowAt(_floatingRect.top() - verticalOffset());
}

void VelmorTableView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (_gesture != Gesture::Tracking || !_lastTrackingEvent)
        return;
    // The slot shows where the row will land; when it would land nowhere, its own place.
    int slotRow = dropRowAt(_lastTrackingEvent->position().toPoint());
    if (slotRow < 0)
        slotRow = _draggedRow;
    QPainter painter(viewport());
    drawSlot(painter, rowRect(slotRow));
    drawRowCache(painter, _floatingRect.translated(0, -verticalOffset()));
}

void VelmorTableView::drawSlot(QPainter& painter, const QRect& row) const
{
    const QRect bezel = row.adjusted(0, -1, 0, 0);
    qDrawShadePanel(&painter, bezel, palette(), true, 1);
    painter.fillRect(bezel.adjusted(2, 2, -2, -2), palette().color(QPalette::Dark));
}

void VelmorTableView::drawRowCache(QPainter& painter, const QRect& rect) const
{
    painter.save();
    painter.setOpacity(FloatingRowOpacity);
    painter.drawPixmap(rect, _rowCache);
    painter.restore();
}

// Unconstrained move: a drag carrying the row, which this table accepts back.

bool VelmorTableView::beginUnconstrainedMove()
{
    prepareRowForMove();
    _rowCache = rowPicture(_draggedRow);
    auto data = std::make_unique<QMimeData>();
    if (!copyRow(_draggedRow, data.get()))
        return false;
    const QRect row = rowRect(_draggedRow);
    auto* drag = new QDrag(this); // Qt deletes it when the drag is over
    drag->setMimeData(data.release());
    drag->setPixmap(_rowCache);
    drag->setHotSpot(_pressContentPosition - QPoint(row.left(), row.top() + verticalOffset()));
    _gesture = Gesture::AwaitingRelease;
    _press.reset();
    drag->exec(Qt::CopyAction | Qt::LinkAction | Qt::MoveAction, Qt::MoveAction);
    return true;
}

bool VelmorTableView::carriesOwnRow(const QDropEvent* event) const
{
    const QMimeData* data = event->mimeData();
    if (!data)
        return false;
    const QStringList formats = data->formats();
    if (!IncludesType(&formats, VelmorPrivateRowDragType))
        return false;
    // draggedRow belongs to this table: a row from another table of the program is not ours to move.
    return event->source() == nullptr || event->source() == this;
}

void VelmorTableView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!carriesOwnRow(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void VelmorTableView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!carriesOwnRow(event)) {
        event->ignore();
        return;
    }
    const int y = event->position().toPoint().y();
    const int row = rowAt(y);
    scrollWhileDragging(row, y);
    if (_delegate && _delegate->draggingRow(this, _draggedRow, row)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void VelmorTableView::dropEvent(QDropEvent* event)
{
    if (carriesOwnRow(event) && startRow(_draggedRow, rowAt(event->position().toPoint().y()))) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

// The first and last rows show themselves; elsewhere a pointer within a quarter row of the top or
// bottom edge scrolls one row.
void VelmorTableView::scrollWhileDragging(int row, int y)
{
    const int lastRow = model() ? model()->rowCount(rootIndex()) - 1 : -1;
    if (row >= 0 && (row == 0 || row == lastRow)) {
        scrollRowIntoView(row);
        return;
    }
    const int quarterRow = verticalHeader()->defaultSectionSize() / 4;
    if (y < quarterRow)
        scrollOneRow(-1);
    else if (y > viewport()->height() - quarterRow)
        scrollOneRow(1);
}

void VelmorTableView::scrollOneRow(int direction)
{
    QScrollBar* bar = verticalScrollBar();
    const int step = verticalScrollMode() == ScrollPerItem ? 1 : verticalHeader()->defaultSectionSize();
    bar->setValue(bar->value() + direction * step);
}
