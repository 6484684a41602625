#include "WorkTableModel.h"

#include "Localized.h"
#include "PieceWork.h"

#include <QApplication>
#include <QBrush>
#include <QStyle>

namespace {

const QString Paid = QStringLiteral("PAID");
const QString Link = QStringLiteral("LINK");

QVariant alignmentOf(const QString& identifier)
{
    if (identifier == QLatin1String("RATE") || identifier == QLatin1String("AMOUNT"))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (identifier == Paid || identifier == Link)
        return QVariant::fromValue(Qt::AlignCenter);
    return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
}

QString titleOf(const QString& identifier)
{
    static const QHash<QString, const char*> titles {
        {QStringLiteral("DATE"), "Date"},           {QStringLiteral("STARTTIME"), "Start"},
        {QStringLiteral("STOPTIME"), "End"},        {QStringLiteral("TIME"), "Hours"},
        {QStringLiteral("DESCRIPTION"), "Description"}, {QStringLiteral("RATE"), "Rate"},
        {QStringLiteral("AMOUNT"), "Amount"},       {QStringLiteral("PAID"), "Paid"},
        {QStringLiteral("LINK"), "File"}};
    const char* title = titles.value(identifier);
    return title ? localized(title) : QString();
}

} // namespace

// Views and testers ask about the invalid index too; that is no mistake worth a warning.
bool WorkTableModel::isOwnCell(const QModelIndex& index) const
{
    return index.isValid() && checkIndex(index);
}

WorkTableModel::WorkTableModel(MyDocument* document, WorkTableController* controller, QObject* parent)
    : QAbstractTableModel(parent)
    , _dataSource(document, controller)
    , _rowCount(_dataSource.numberOfRows())
{
}

QStringList WorkTableModel::columnIdentifiers()
{
    return WorkTableDataSource::columnIdentifiers();
}

int WorkTableModel::columnOf(const QString& identifier)
{
    return static_cast<int>(WorkTableDataSource::columnIdentifiers().indexOf(identifier));
}

QString WorkTableModel::identifierAt(int column)
{
    const QStringList& identifiers = WorkTableDataSource::columnIdentifiers();
    return column >= 0 && column < identifiers.size() ? identifiers.at(column) : QString();
}

std::shared_ptr<PieceWork> WorkTableModel::workAt(int row) const
{
    const WorkList list = _dataSource.workList();
    return row >= 0 && row < list.size() ? list.at(row) : nullptr;
}

WorkTableDataSource& WorkTableModel::dataSource()
{
    return _dataSource;
}

void WorkTableModel::reload()
{
    const int rows = _dataSource.numberOfRows();
    if (rows != _rowCount) {
        beginResetModel();
        _rowCount = rows;
        endResetModel();
    } else if (rows > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
    }
}

int WorkTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : _rowCount;
}

int WorkTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columnIdentifiers().size());
}

QVariant WorkTableModel::data(const QModelIndex& index, int role) const
{
    if (!isOwnCell(index))
        return {};
    const QString identifier = identifierAt(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return displayData(identifier, index.row());
    case Qt::EditRole:
        return _dataSource.objectValueForTableColumn(identifier, index.row());
    case Qt::CheckStateRole:
        if (identifier != Paid || !workAt(index.row()))
            return {};
        return _dataSource.objectValueForTableColumn(identifier, index.row()).toBool() ? Qt::Checked : Qt::Unchecked;
    case Qt::DecorationRole:
        return identifier == Link ? linkIcon(index.row()) : QVariant();
    case Qt::ToolTipRole: {
        const auto work = identifier == Link ? workAt(index.row()) : nullptr;
        return work && !work->supportingFile().isEmpty() ? QVariant(work->supportingFile()) : QVariant();
    }
    case Qt::BackgroundRole: {
        const auto work = workAt(index.row());
        return work ? QVariant(QBrush(_dataSource.colorOfCell(identifier, *work))) : QVariant();
    }
    case Qt::TextAlignmentRole:
        return alignmentOf(identifier);
    default:
        return {};
    }
}

// The check box and the file icon carry these cells; they show no text.
QVariant WorkTableModel::displayData(const QString& identifier, int row) const
{
    if (identifier == Paid || identifier == Link)
        return {};
    return _dataSource.objectValueForTableColumn(identifier, row);
}

QVariant WorkTableModel::linkIcon(int row) const
{
    const bool hasFile = _dataSource.objectValueForTableColumn(Link, row).toBool();
    if (!hasFile || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return {};
    return QApplication::style()->standardIcon(QStyle::SP_FileLinkIcon);
}

bool WorkTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!isOwnCell(index) || !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    const QString identifier = identifierAt(index.column());
    QVariant applied = value;
    if (role == Qt::CheckStateRole && identifier == Paid)
        applied = value.toInt() == Qt::Checked;
    else if (role != Qt::EditRole)
        return false;
    _dataSource.setObjectValue(applied, identifier, index.row());
    refreshRow(index.row());
    return true;
}

// The window refreshes on every change it hears of; without one, at least the edited row shows it.
void WorkTableModel::refreshRow(int row)
{
    if (row < _rowCount)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

QVariant WorkTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const QString identifier = identifierAt(section);
    if (role == Qt::DisplayRole)
        return titleOf(identifier);
    if (role == Qt::TextAlignmentRole)
        return alignmentOf(identifier);
    return {};
}

Qt::ItemFlags WorkTableModel::flags(const QModelIndex& index) const
{
    if (!isOwnCell(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const QString identifier = identifierAt(index.column());
    if (!_dataSource.shouldEditTableColumn(identifier, index.row()))
        return flags;
    return flags | (identifier == Paid ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable);
}
