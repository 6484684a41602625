#include "VelmorMovingRowsProtocol.h"
#include "VelmorTableView.h"
#include "VelmorTableViewSupport.h"

#include <QHeaderView>
#include <QMimeData>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QtTest>

#include <functional>
#include <memory>

using Deposit = std::pair<int, int>;
using Deposits = QList<Deposit>;

// A delegate that records what the table asks and moves the rows of a standard model the way the
// client document does: take the row out, insert it at the target or append it.
class RecordingMover : public VelmorMovingRowsProtocol
{
public:
    explicit RecordingMover(QStandardItemModel& model)
        : _model(model)
    {
    }

    // "DATE" (column 0) moves without a key, the other columns need command.
    unsigned dragReorderingMask(int column) override { return column == 0 ? 0 : VelmorCommandKeyMask; }

    bool draggingRow(VelmorTableView* /*table*/, int draggedRow, int row) override
    {
        hovered << Deposit {draggedRow, row};
        return true;
    }

    bool didDepositRow(VelmorTableView* /*table*/, int from, int to) override
    {
        deposits << Deposit {from, to};
        if (!acceptsDeposit)
            return false;
        const QList<QStandardItem*> items = _model.takeRow(from);
        _model.insertRow(qMin(to, _model.rowCount()), items);
        return true;
    }

    bool rowWillMove(VelmorTableView* /*table*/, int /*row*/) override { return letsRowMove; }
    bool willDepositRow(VelmorTableView* /*table*/, int /*from*/, int /*to*/) override { return letsDeposit; }

    bool acceptsDeposit = true;
    bool letsRowMove = true;
    bool letsDeposit = true;
    Deposits deposits;
    Deposits hovered;

private:
    QStandardItemModel& _model;
};

using Setup = std::function<void(VelmorTableView&, RecordingMover&)>;
Q_DECLARE_METATYPE(Setup)

namespace {

constexpr int RowHeight = 20;

QStringList rowNames(int count)
{
    QStringList names;
    for (int row = 0; row < count; ++row)
        names << QStringLiteral("r%1").arg(row);
    return names;
}

QStringList movedOrder(QStringList names, int from, int to)
{
    const QString moved = names.takeAt(from);
    names.insert(qMin(to, names.size()), moved);
    return names;
}

} // namespace

class TestVelmorTableView : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void quickClickOnlySelects_data();
    void quickClickOnlySelects();
    void dragMovesRowThroughTheDelegate_data();
    void dragMovesRowThroughTheDelegate();
    void vetoesLeaveTheModelUnchanged_data();
    void vetoesLeaveTheModelUnchanged();
    void releaseWhereThereIsNoRow_data();
    void releaseWhereThereIsNoRow();
    void escapeCancelsTheMove();
    void pressHeldStillLiftsTheRowAndMovesNothing();
    void autoScrollNearAnEdge_data();
    void autoScrollNearAnEdge();
    void modifiersMapToMasks_data();
    void modifiersMapToMasks();
    void dragOutOfTheTableDropsBackByTheRules_data();
    void dragOutOfTheTableDropsBackByTheRules();
    void dropTargetTakesOnlyRows();
    void includesType();
    void periodicEventCopiesTheEventAtAnotherPoint();

private:
    void makeTable(int rows);
    QStringList order() const;
    QPoint cellCentre(int row, int column) const;
    void press(const QPoint& position, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void dragTo(const QPoint& position, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void release(const QPoint& position, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void dragRow(const QPoint& from, const QPoint& to, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    QList<int> selectedRows() const;

    std::unique_ptr<QStandardItemModel> _model;
    std::unique_ptr<RecordingMover> _mover;
    std::unique_ptr<VelmorTableView> _table;
};

void TestVelmorTableView::makeTable(int rows)
{
    _model = std::make_unique<QStandardItemModel>(0, 3);
    _model->setHorizontalHeaderLabels({QStringLiteral("DATE"), QStringLiteral("DESCRIPTION"), QStringLiteral("RATE")});
    for (const QString& name : rowNames(rows))
        _model->appendRow({new QStandardItem(name), new QStandardItem(name + QStringLiteral(" work")),
                           new QStandardItem(QStringLiteral("90"))});
    _mover = std::make_unique<RecordingMover>(*_model);
    _table = std::make_unique<VelmorTableView>();
    _table->setModel(_model.get());
    _table->setDelegate(_mover.get());
    _table->setConstrainedMove(true);
    _table->setSelectionBehavior(QAbstractItemView::SelectRows);
    _table->verticalHeader()->hide();
    _table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    _table->verticalHeader()->setDefaultSectionSize(RowHeight);
    _table->setFixedSize(300, 200);
    _table->show();
    QVERIFY(QTest::qWaitForWindowExposed(_table.get()));
}

void TestVelmorTableView::cleanup()
{
    _table.reset();
    _mover.reset();
    _model.reset();
}

QStringList TestVelmorTableView::order() const
{
    QStringList names;
    for (int row = 0; row < _model->rowCount(); ++row)
        names << _model->item(row, 0)->text();
    return names;
}

QPoint TestVelmorTableView::cellCentre(int row, int column) const
{
    return _table->visualRect(_model->index(row, column)).center();
}

void TestVelmorTableView::press(const QPoint& position, Qt::KeyboardModifiers modifiers)
{
    QTest::mousePress(_table->viewport(), Qt::LeftButton, modifiers, position);
}

// QTest's moves carry no buttons, so the drag is sent as the window system would send it.
void TestVelmorTableView::dragTo(const QPoint& position, Qt::KeyboardModifiers modifiers)
{
    QWidget* viewport = _table->viewport();
    QMouseEvent move(QEvent::MouseMove, position, viewport->mapToGlobal(position), Qt::NoButton, Qt::LeftButton,
                     modifiers);
    QApplication::sendEvent(viewport, &move);
}

void TestVelmorTableView::release(const QPoint& position, Qt::KeyboardModifiers modifiers)
{
    QTest::mouseRelease(_table->viewport(), Qt::LeftButton, modifiers, position);
}

void TestVelmorTableView::dragRow(const QPoint& from, const QPoint& to, Qt::KeyboardModifiers modifiers)
{
    press(from, modifiers);
    dragTo(from + QPoint(0, to.y() > from.y() ? 12 : -12), modifiers);
    dragTo(to, modifiers);
    release(to, modifiers);
}

QList<int> TestVelmorTableView::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : _table->selectionModel()->selectedRows())
        rows << index.row();
    return rows;
}

void TestVelmorTableView::quickClickOnlySelects_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");

    QTest::newRow("date column") << 0 << Qt::KeyboardModifiers(Qt::NoModifier);
    QTest::newRow("description column with command") << 1 << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("description column without command") << 1 << Qt::KeyboardModifiers(Qt::NoModifier);
}

void TestVelmorTableView::quickClickOnlySelects()
{
    QFETCH(int, column);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    makeTable(8);
    QSignalSpy clicked(_table.get(), &QAbstractItemView::clicked);

    press(cellCentre(3, column), modifiers);
    release(cellCentre(3, column), modifiers);

    // The standard handling had the whole click; no row was lifted.
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(selectedRows(), QList<int> {3});
    QVERIFY(_table->rowCache().isNull());
    QVERIFY(_mover->deposits.isEmpty());
    QCOMPARE(order(), rowNames(8));
}

void TestVelmorTableView::dragMovesRowThroughTheDelegate_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("needsControlKey");

    QTest::newRow("down from the date column") << 1 << 4 << 0 << Qt::KeyboardModifiers(Qt::NoModifier) << false;
    QTest::newRow("up from the date column") << 6 << 2 << 0 << Qt::KeyboardModifiers(Qt::NoModifier) << false;
    QTest::newRow("onto the last row") << 0 << 7 << 0 << Qt::KeyboardModifiers(Qt::NoModifier) << false;
    QTest::newRow("description column with command")
        << 2 << 5 << 1 << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
    QTest::newRow("control key needed and held") << 3 << 0 << 0 << Qt::KeyboardModifiers(Qt::MetaModifier) << true;
}

void TestVelmorTableView::dragMovesRowThroughTheDelegate()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, column);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, needsControlKey);
    makeTable(8);
    _table->setNeedsControlKey(needsControlKey);

    dragRow(cellCentre(from, column), cellCentre(to, column), modifiers);

    QCOMPARE(_mover->deposits, (Deposits {{from, to}}));
    QCOMPARE(order(), movedOrder(rowNames(8), from, to));
    QCOMPARE(selectedRows(), QList<int> {to});
    QCOMPARE(_table->draggedRow(), from);
    QVERIFY(!_table->isTrackingRow());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestVelmorTableView::vetoesLeaveTheModelUnchanged_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<Deposits>("asked");

    const auto none = Qt::KeyboardModifiers(Qt::NoModifier);
    QTest::newRow("delegate refuses the deposit")
        << Setup([](VelmorTableView&, RecordingMover& mover) { mover.acceptsDeposit = false; }) << 0 << none
        << Deposits {{1, 4}};
    QTest::newRow("delegate vetoes the drop")
        << Setup([](VelmorTableView&, RecordingMover& mover) { mover.letsDeposit = false; }) << 0 << none
        << Deposits {};
    QTest::newRow("delegate vetoes the move")
        << Setup([](VelmorTableView&, RecordingMover& mover) { mover.letsRowMove = false; }) << 0 << none
        << Deposits {};
    QTest::newRow("command missing in the description column")
        << Setup([](VelmorTableView&, RecordingMover&) {}) << 1 << none << Deposits {};
    QTest::newRow("control key needed, command held")
        << Setup([](VelmorTableView& table, RecordingMover&) { table.setNeedsControlKey(true); }) << 1
        << Qt::KeyboardModifiers(Qt::ControlModifier) << Deposits {};
    QTest::newRow("no delegate")
        << Setup([](VelmorTableView& table, RecordingMover&) { table.setDelegate(nullptr); }) << 0 << none
        << Deposits {};
}

void TestVelmorTableView::vetoesLeaveTheModelUnchanged()
{
    QFETCH(Setup, setup);
    QFETCH(int, column);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(Deposits, asked);
    makeTable(8);
    setup(*_table, *_mover);

    dragRow(cellCentre(1, column), cellCentre(4, column), modifiers);

    QCOMPARE(_mover->deposits, asked);
    QCOMPARE(order(), rowNames(8));
    QVERIFY(!_table->isTrackingRow());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestVelmorTableView::releaseWhereThereIsNoRow_data()
{
    QTest::addColumn<int>("grabY");
    QTest::addColumn<int>("releaseY");
    QTest::addColumn<Deposits>("deposits");

    // Three rows of 20 points; the viewport below them is empty.
    QTest::newRow("picture's corner over the last row") << 15 << 65 << Deposits {{0, 2}};
    QTest::newRow("picture below every row") << 5 << 120 << Deposits {};
    QTest::newRow("outside the table") << 5 << 400 << Deposits {};
}

void TestVelmorTableView::releaseWhereThereIsNoRow()
{
    QFETCH(int, grabY);
    QFETCH(int, releaseY);
    QFETCH(Deposits, deposits);
    makeTable(3);
    const int x = cellCentre(0, 0).x();

    dragRow(QPoint(x, _table->rowViewportPosition(0) + grabY), QPoint(x, releaseY));

    QCOMPARE(_mover->deposits, deposits);
    QCOMPARE(order(), deposits.isEmpty() ? rowNames(3) : movedOrder(rowNames(3), 0, 2));
}

void TestVelmorTableView::escapeCancelsTheMove()
{
    makeTable(8);
    press(cellCentre(1, 0));
    dragTo(cellCentre(4, 0));
    QVERIFY(_table->isTrackingRow());

    QTest::keyClick(_table.get(), Qt::Key_Escape);
    QVERIFY(!_table->isTrackingRow());
    QVERIFY(!QGuiApplication::overrideCursor());
    release(cellCentre(4, 0));

    QVERIFY(_mover->deposits.isEmpty());
    QCOMPARE(order(), rowNames(8));
    QCOMPARE(selectedRows(), QList<int> {1});
}

void TestVelmorTableView::pressHeldStillLiftsTheRowAndMovesNothing()
{
    makeTable(8);
    press(cellCentre(2, 0));
    QTRY_VERIFY(_table->isTrackingRow());

    QVERIFY(!_table->rowCache().isNull());
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->hotSpot(), QPoint(7, 7));
    release(cellCentre(2, 0));

    QVERIFY(_mover->deposits.isEmpty());
    QCOMPARE(selectedRows(), QList<int> {2});
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestVelmorTableView::autoScrollNearAnEdge_data()
{
    QTest::addColumn<bool>("upward");

    QTest::newRow("above the top") << true;
    QTest::newRow("below the bottom") << false;
}

void TestVelmorTableView::autoScrollNearAnEdge()
{
    QFETCH(bool, upward);
    makeTable(40);
    QScrollBar* bar = _table->verticalScrollBar();
    bar->setValue(upward ? 4 : bar->maximum() - 4);
    const int start = bar->value();
    // The first or last row wholly in view.
    const int grabbedRow = upward ? _table->rowAt(1) : _table->rowAt(_table->viewport()->height() - 1) - 1;
    const QPoint grab = cellCentre(grabbedRow, 0);
    const QPoint outside(grab.x(), upward ? -20 : _table->viewport()->height() + 20);

    press(grab);
    dragTo(outside);
    QVERIFY(_table->isAutoScrolling());
    // The pointer rests past the edge: the periodic events keep the table scrolling.
    const int end = upward ? 0 : bar->maximum();
    QTRY_COMPARE(bar->value(), end);

    bar->setValue(start);
    dragTo(outside);
    QVERIFY(_table->isAutoScrolling());
    dragTo(_table->viewport()->rect().center());
    QVERIFY(!_table->isAutoScrolling());

    QTest::keyClick(_table.get(), Qt::Key_Escape);
    release(_table->viewport()->rect().center());
    QCOMPARE(order(), rowNames(40));
}

void TestVelmorTableView::modifiersMapToMasks_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<unsigned>("mask");

    QTest::newRow("none") << Qt::KeyboardModifiers(Qt::NoModifier) << 0u;
    QTest::newRow("Ctrl is command") << Qt::KeyboardModifiers(Qt::ControlModifier) << VelmorCommandKeyMask;
    QTest::newRow("Meta is control") << Qt::KeyboardModifiers(Qt::MetaModifier) << VelmorControlKeyMask;
    QTest::newRow("both") << (Qt::ControlModifier | Qt::MetaModifier) << (VelmorCommandKeyMask | VelmorControlKeyMask);
    QTest::newRow("shift and alt add nothing") << (Qt::ShiftModifier | Qt::AltModifier) << 0u;
}

void TestVelmorTableView::modifiersMapToMasks()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(unsigned, mask);

    QCOMPARE(VelmorTableView::modifierMask(modifiers), mask);
}

void TestVelmorTableView::dragOutOfTheTableDropsBackByTheRules_data()
{
    QTest::addColumn<int>("dropY");
    QTest::addColumn<Deposits>("deposits");

    // Five rows of 20 points; the viewport below them is empty.
    QTest::newRow("on another row") << 3 * RowHeight + 5 << Deposits {{1, 3}};
    QTest::newRow("on its own row") << RowHeight + 5 << Deposits {};
    QTest::newRow("on no row") << 150 << Deposits {};
}

void TestVelmorTableView::dragOutOfTheTableDropsBackByTheRules()
{
    QFETCH(int, dropY);
    QFETCH(Deposits, deposits);
    makeTable(5);
    _table->setConstrainedMove(false);

    // The drag leaves at once on the offscreen platform, leaving the row to drop by hand.
    const QPoint grab = cellCentre(1, 0);
    press(grab);
    dragTo(grab + QPoint(0, 20));
    release(grab + QPoint(0, 20));
    QCOMPARE(_table->draggedRow(), 1);
    QVERIFY(!_table->rowCache().isNull());
    QCOMPARE(selectedRows(), QList<int> {1});
    QVERIFY(_mover->deposits.isEmpty());

    QMimeData data;
    QVERIFY(_table->copyRow(1, &data));
    QCOMPARE(data.formats(), QStringList {VelmorPrivateRowDragType});
    QCOMPARE(data.data(VelmorPrivateRowDragType), QByteArray("1"));
    const QPoint target(grab.x(), dropY);
    const Qt::DropActions offered = Qt::CopyAction | Qt::LinkAction | Qt::MoveAction;
    QDragEnterEvent enter(grab, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(_table->viewport(), &enter);
    QDragMoveEvent over(target, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(_table->viewport(), &over);
    QVERIFY(over.isAccepted());
    QCOMPARE(_mover->hovered, (Deposits {{1, _table->rowAt(dropY)}}));
    QDropEvent drop(target, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(_table->viewport(), &drop);

    QCOMPARE(drop.isAccepted(), !deposits.isEmpty());
    QCOMPARE(_mover->deposits, deposits);
    QCOMPARE(order(), deposits.isEmpty() ? rowNames(5) : movedOrder(rowNames(5), 1, 3));
    if (!deposits.isEmpty())
        QCOMPARE(selectedRows(), QList<int> {3});
}

void TestVelmorTableView::dropTargetTakesOnlyRows()
{
    makeTable(5);
    const QPoint target = cellCentre(2, 0);
    QMimeData row;
    row.setData(VelmorPrivateRowDragType, "0");
    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/receipt.pdf"))});

    QDragEnterEvent rowEnters(target, Qt::MoveAction, &row, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(_table->viewport(), &rowEnters);
    QDragEnterEvent fileEnters(target, Qt::CopyAction, &file, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(_table->viewport(), &fileEnters);
    QDropEvent fileDrops(target, Qt::CopyAction, &file, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(_table->viewport(), &fileDrops);

    QVERIFY(rowEnters.isAccepted());
    QCOMPARE(rowEnters.dropAction(), Qt::MoveAction);
    QVERIFY(!fileEnters.isAccepted());
    QVERIFY(!fileDrops.isAccepted());
    QVERIFY(_mover->deposits.isEmpty());
}

void TestVelmorTableView::includesType()
{
    const QStringList types {QStringLiteral("text/uri-list"), VelmorPrivateRowDragType};

    QVERIFY(!IncludesType(nullptr, VelmorPrivateRowDragType));
    QVERIFY(IncludesType(&types, VelmorPrivateRowDragType));
    QVERIFY(!IncludesType(&types, QStringLiteral("text/plain")));
}

void TestVelmorTableView::periodicEventCopiesTheEventAtAnotherPoint()
{
    QMouseEvent drag(QEvent::MouseMove, QPointF(10, 20), QPointF(110, 220), Qt::NoButton, Qt::LeftButton,
                     Qt::ControlModifier);
    drag.setTimestamp(4242);

    const auto copy = periodicEventWithLocationSetToPoint(drag, QPointF(15, -5));

    QCOMPARE(copy->type(), QEvent::MouseMove);
    QCOMPARE(copy->position(), QPointF(15, -5));
    QCOMPARE(copy->globalPosition(), QPointF(115, 195));
    QCOMPARE(copy->buttons(), Qt::MouseButtons(Qt::LeftButton));
    QCOMPARE(copy->modifiers(), Qt::KeyboardModifiers(Qt::ControlModifier));
    QCOMPARE(copy->timestamp(), quint64(4242));
}

QTEST_MAIN(TestVelmorTableView)
#include "tst_velmortableview.moc"
