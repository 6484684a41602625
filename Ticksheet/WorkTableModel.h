#pragma once

#include "TicksheetExport.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>

class MyDocument;

// The client document's work list as a read-only table: one row per entry, in list order, each
// cell the entry's own display text. Nothing is copied: every request reads the document.
class TICKSHEET_EXPORT WorkTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit WorkTableModel(MyDocument* document, QObject* parent = nullptr);

    // The column identifiers, in table order.
    static QStringList columnIdentifiers();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The work list changed: read it again.
    void reload();

private:
    QString displayText(int row, const QString& column) const;

    QPointer<MyDocument> _document;
};
