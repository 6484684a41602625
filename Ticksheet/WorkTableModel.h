#pragma once

#include "TicksheetExport.h"
#include "WorkTableDataSource.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <memory>

class MyDocument;
class PieceWork;
class WorkTableController;

// The client document's work list as a Qt table model, one row per entry in list order. It keeps
// no copy of the entries: the data source answers every request from the document. Only the row
// count is held, so that views see the list grow and shrink through reload().
class TICKSHEET_EXPORT WorkTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    WorkTableModel(MyDocument* document, WorkTableController* controller, QObject* parent = nullptr);

    // The column identifiers, in table order.
    static QStringList columnIdentifiers();
    // -1 when none.
    static int columnOf(const QString& identifier);
    // "" outside the columns.
    static QString identifierAt(int column);

    // Null outside the list.
    std::shared_ptr<PieceWork> workAt(int row) const;
    WorkTableDataSource& dataSource();

    // The list or an entry changed: read it again. With an unchanged row count the cells are
    // refreshed in place, so views keep their current row, selection and open editor.
    void reload();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    bool isOwnCell(const QModelIndex& index) const;
    QVariant displayData(const QString& identifier, int row) const;
    QVariant linkIcon(int row) const;
    void refreshRow(int row);

    WorkTableDataSource _dataSource;
    int _rowCount = 0;
};
