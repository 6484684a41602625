#pragma once

#include "TicksheetExport.h"

#include <QStyledItemDelegate>

// A check box in the middle of its cell, toggled by a click anywhere in the cell or by the space
// bar, for cells whose model answers Qt::CheckStateRole and lets the user check them.
class TICKSHEET_EXPORT CheckBoxCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    static QRect indicatorRect(const QStyleOptionViewItem& option);
};
