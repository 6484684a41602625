#pragma once

#include "TicksheetExport.h"

#include <QStyledItemDelegate>
#include <QStringList>

#include <functional>

class QComboBox;

// A table cell edited in an editable combo box: the user types a text or picks one of the items.
// The items are asked for each time an editor opens, so a changed list shows at the next edit.
// A mouse press on the open editor is reported before the combo box handles it.
class TICKSHEET_EXPORT VDComboBoxCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using ItemsSource = std::function<QStringList()>;
    // The press position and the editor's frame, both in the editor's coordinates.
    using MouseDownHandler = std::function<void(const QPoint& location, const QRect& frame)>;

    explicit VDComboBoxCell(ItemsSource items, QObject* parent = nullptr);

    // The popup list shows at most this many items at a time; longer lists scroll.
    void setVisibleItemsLimit(int limit);
    int visibleItemsLimit() const;
    void setMouseDownHandler(MouseDownHandler handler);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void commitAndClose(QComboBox* editor);

    ItemsSource _items;
    int _visibleItemsLimit = 6;
    MouseDownHandler _mouseDown;
};
