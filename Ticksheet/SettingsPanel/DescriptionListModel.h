#pragma once

#include "VelmorMovingRowsProtocol.h"

#include <QAbstractTableModel>
#include <QVariantList>

// One description list of the settings ("JobDescriptions" or "ExpenseDescriptions"): entries of a
// description and an optional rate, both text. Every change stores the whole list at once. As the
// delegate of its VelmorTableView it also moves entries: a row is dragged by its bullet in the
// "Drag" column (anywhere with Ctrl) and lands in the place of the row it is dropped on.
class DescriptionListModel : public QAbstractTableModel, public VelmorMovingRowsProtocol
{
    Q_OBJECT

public:
    // The columns "Drag", "Rate" and "Description"; editing a new entry starts at index 2, so the
    // description comes last.
    enum Column { DragColumn, RateColumn, DescriptionColumn, ColumnCount };

    explicit DescriptionListModel(const QString& settingsKey, QObject* parent = nullptr);

    // Rereads the list from the settings.
    void reload();

    // Inserts an empty entry below the selected row (-1: none selected, so at the top), or at the
    // end when that row is the last; answers the new row.
    int addEntry(int selectedRow);
    // False when the row is no entry.
    bool removeEntry(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    unsigned dragReorderingMask(int column) override;
    bool rowWillMove(VelmorTableView* table, int row) override;
    bool draggingRow(VelmorTableView* table, int draggedRow, int row) override;
    bool didDepositRow(VelmorTableView* table, int from, int to) override;

private:
    static QString keyOfColumn(int column);
    QString valueAt(int row, int column) const;
    void store();

    QString _settingsKey;
    QVariantList _entries;
    int _draggedRow = 0;
};
