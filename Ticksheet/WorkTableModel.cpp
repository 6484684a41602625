#include "WorkTableModel.h"

#include "Localized.h"
#include "MyDocument.h"

namespace {

const QString Date = QStringLiteral("DATE");
const QString Start = QStringLiteral("STARTTIME");
const QString Stop = QStringLiteral("STOPTIME");
const QString Time = QStringLiteral("TIME");
const QString Description = QStringLiteral("DESCRIPTION");
const QString Rate = QStringLiteral("RATE");
const QString Amount = QStringLiteral("AMOUNT");
const QString Paid = QStringLiteral("PAID");

// Numbers line up on the right; the paid check box sits in the middle of its column.
QVariant alignmentOf(const QString& column)
{
    if (column == Time || column == Rate || column == Amount)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (column == Paid)
        return QVariant::fromValue(Qt::AlignCenter);
    return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
}

} // namespace

WorkTableModel::WorkTableModel(MyDocument* document, QObject* parent)
    : QAbstractTableModel(parent)
    , _document(document)
{
}

QStringList WorkTableModel::columnIdentifiers()
{
    return {Date, Start, Stop, Time, Description, Rate, Amount, Paid};
}

int WorkTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !_document ? 0 : static_cast<int>(_document->workList().size());
}

int WorkTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columnIdentifiers().size());
}

QString WorkTableModel::displayText(int row, const QString& column) const
{
    const auto work = _document->workList().at(row);
    if (column == Date)
        return work->dateString();
    if (column == Start)
        return work->startTimeString();
    if (column == Stop)
        return work->isLineItem() ? QString() : work->endTimeString();
    if (column == Time)
        return work->canBePaused() ? QString() : work->timeOnJobString();
    if (column == Description)
        return work->workDescription();
    if (column == Rate)
        return work->isLineItem() ? QString() : work->rateString();
    if (column == Amount)
        return work->amountString();
    return QString();
}

QVariant WorkTableModel::data(const QModelIndex& index, int role) const
{
    if (!_document || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const QString column = columnIdentifiers().at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return column == Paid ? QVariant() : QVariant(displayText(index.row(), column));
    case Qt::CheckStateRole:
        if (column == Paid)
            return _document->workList().at(index.row())->paid() ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        return alignmentOf(column);
    default:
        return {};
    }
}

QVariant WorkTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const QString column = columnIdentifiers().at(section);
    if (role == Qt::TextAlignmentRole)
        return alignmentOf(column);
    if (role != Qt::DisplayRole)
        return {};
    if (column == Date)
        return localized("Date");
    if (column == Start)
        return localized("Start");
    if (column == Stop)
        return localized("End");
    if (column == Time)
        return localized("Hours");
    if (column == Description)
        return localized("Description");
    if (column == Rate)
        return localized("Rate");
    if (column == Amount)
        return localized("Amount");
    return localized("Paid");
}

Qt::ItemFlags WorkTableModel::flags(const QModelIndex& index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void WorkTableModel::reload()
{
    beginResetModel();
    endResetModel();
}
