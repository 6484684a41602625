#include "WorkTableCells.h"

#include "CheckBoxCellDelegate.h"
#include "LinkCellDelegate.h"
#include "Localized.h"
#include "VDComboBoxCell.h"
#include "VelmorTableView.h"
#include "WorkTableController.h"
#include "WorkTableModel.h"

namespace {

// The description list scrolls beyond this many items.
constexpr int DescriptionItemsShown = 20;

VDComboBoxCell* timeCell(QObject* parent)
{
    auto* cell = new VDComboBoxCell([] { return QStringList {localized("NOW"), localized("Set...")}; }, parent);
    cell->setVisibleItemsLimit(2);
    return cell;
}

VDComboBoxCell* descriptionCell(WorkTableModel* model, QObject* parent)
{
    WorkTableDataSource* source = &model->dataSource();
    auto* cell = new VDComboBoxCell(
        [source] {
            QStringList items;
            const int count = source->numberOfItemsInComboBoxCell();
            for (int index = 0; index < count; ++index)
                items << source->comboBoxCellObjectValueForItemAtIndex(index);
            return items;
        },
        parent);
    cell->setVisibleItemsLimit(DescriptionItemsShown);
    cell->setMouseDownHandler([source](const QPoint& location, const QRect& frame) {
        source->comboBoxMousedDown(location, frame);
    });
    return cell;
}

void setColumnDelegate(VelmorTableView* table, const QString& identifier, QAbstractItemDelegate* delegate)
{
    table->setItemDelegateForColumn(WorkTableModel::columnOf(identifier), delegate);
}

} // namespace

void WorkTableCells::install(VelmorTableView* table, WorkTableModel* model, WorkTableController* controller)
{
    VDComboBoxCell* time = timeCell(table);
    setColumnDelegate(table, QStringLiteral("STARTTIME"), time);
    setColumnDelegate(table, QStringLiteral("STOPTIME"), time);
    setColumnDelegate(table, QStringLiteral("DESCRIPTION"), descriptionCell(model, table));
    setColumnDelegate(table, QStringLiteral("PAID"), new CheckBoxCellDelegate(table));
    auto open = [controller] {
        if (controller)
            controller->openFileAction();
    };
    setColumnDelegate(table, QStringLiteral("LINK"), new LinkCellDelegate(open, table));

    // Cells are edited in place; Tab goes on to the next cell, as in any spreadsheet-like table.
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                           | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    table->setTabKeyNavigation(true);
    table->setFocusPolicy(Qt::StrongFocus);
}
