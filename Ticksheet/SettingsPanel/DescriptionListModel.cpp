#include "DescriptionListModel.h"

#include "Constants.h"
#include "Localized.h"
#include "SettingsStore.h"

#include <QColor>

namespace {

const QString DragHandle = QStringLiteral("\u2022");
const QColor DragHandleColour(153, 102, 51); // brown

QVariantMap newEntry(const QString& description, const QString& rate)
{
    return {{DESCRIPTION_KEY, description}, {RATE_KEY, rate}};
}

} // namespace

DescriptionListModel::DescriptionListModel(const QString& settingsKey, QObject* parent)
    : QAbstractTableModel(parent)
    , _settingsKey(settingsKey)
{
    reload();
}

QString DescriptionListModel::keyOfColumn(int column)
{
    return column == RateColumn ? RATE_KEY : DESCRIPTION_KEY;
}

void DescriptionListModel::reload()
{
    beginResetModel();
    _entries = SettingsStore::shared().arrayForKey(_settingsKey);
    endResetModel();
}

void DescriptionListModel::store()
{
    SettingsStore& settings = SettingsStore::shared();
    settings.setValue(_settingsKey, _entries);
    settings.flush();
}

int DescriptionListModel::addEntry(int selectedRow)
{
    int row = selectedRow + 1;
    if (row < 0 || row >= _entries.size())
        row = int(_entries.size());
    beginInsertRows(QModelIndex(), row, row);
    _entries.insert(row, newEntry(QString(), QString()));
    endInsertRows();
    store();
    return row;
}

bool DescriptionListModel::removeEntry(int row)
{
    if (row < 0 || row >= _entries.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    _entries.removeAt(row);
    endRemoveRows();
    store();
    return true;
}

QString DescriptionListModel::valueAt(int row, int column) const
{
    return _entries.at(row).toMap().value(keyOfColumn(column)).toString();
}

int DescriptionListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(_entries.size());
}

int DescriptionListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DescriptionListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (index.column() == DragColumn) {
        if (role == Qt::DisplayRole)
            return DragHandle;
        if (role == Qt::ForegroundRole)
            return DragHandleColour;
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return valueAt(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() == RateColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

bool DescriptionListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() == DragColumn
        || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    const QString text = value.toString();
    const int row = index.row();
    const bool isRate = index.column() == RateColumn;
    _entries[row] = isRate ? newEntry(valueAt(row, DescriptionColumn), text)
                           : newEntry(text, valueAt(row, RateColumn));
    store();
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags DescriptionListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == DragColumn ? flags : flags | Qt::ItemIsEditable;
}

QVariant DescriptionListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case RateColumn:
        return localized("Rate");
    case DescriptionColumn:
        return localized("Description");
    default:
        return QString();
    }
}

// Moves

unsigned DescriptionListModel::dragReorderingMask(int column)
{
    return column == DragColumn ? 0 : VelmorCommandKeyMask;
}

bool DescriptionListModel::rowWillMove(VelmorTableView* /*table*/, int row)
{
    if (_entries.size() < 2)
        return false;
    _draggedRow = row;
    return true;
}

bool DescriptionListModel::draggingRow(VelmorTableView* /*table*/, int /*draggedRow*/, int row)
{
    // Landing on its own place would move nothing.
    return row >= 0 && row < _entries.size() && row != _draggedRow;
}

bool DescriptionListModel::didDepositRow(VelmorTableView* /*table*/, int from, int to)
{
    if (from < 0 || from >= _entries.size() || to < 0)
        return false;
    // Counted in the list without the moved entry; past its end means last.
    const int target = qMin(to, int(_entries.size()) - 1);
    if (target == from)
        return false;
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), target > from ? target + 1 : target);
    _entries.move(from, target);
    endMoveRows();
    store();
    return true;
}
