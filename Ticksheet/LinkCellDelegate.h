#pragma once

#include "TicksheetExport.h"

#include <QStyledItemDelegate>

#include <functional>

// A button showing the cell's icon, for cells that link a file: bordered and clickable when the
// model gives an icon, an empty cell otherwise. A click runs the open action.
class TICKSHEET_EXPORT LinkCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit LinkCellDelegate(std::function<void()> open, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    static bool hasLink(const QModelIndex& index);

    std::function<void()> _open;
};
