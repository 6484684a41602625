#include "VDComboBoxCell.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>

VDComboBoxCell::VDComboBoxCell(ItemsSource items, QObject* parent)
    : QStyledItemDelegate(parent)
    , _items(std::move(items))
{
}

void VDComboBoxCell::setVisibleItemsLimit(int limit)
{
    _visibleItemsLimit = qMax(1, limit);
}

int VDComboBoxCell::visibleItemsLimit() const
{
    return _visibleItemsLimit;
}

void VDComboBoxCell::setMouseDownHandler(MouseDownHandler handler)
{
    _mouseDown = std::move(handler);
}

QWidget* VDComboBoxCell::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    Q_UNUSED(option)
    Q_UNUSED(index)
    auto* editor = new QComboBox(parent);
    editor->setEditable(true);
    // What the user types is what the cell gets: no completion, and typed texts join no list.
    editor->setCompleter(nullptr);
    editor->setInsertPolicy(QComboBox::NoInsert);
    editor->setFrame(false);
    const QStringList items = _items ? _items() : QStringList();
    editor->addItems(items);
    editor->setMaxVisibleItems(qBound(1, static_cast<int>(items.size()), _visibleItemsLimit));
    auto* self = const_cast<VDComboBoxCell*>(this);
    connect(editor, &QComboBox::activated, self, [self, editor] {
        // The combo box also reports its text as picked when it loses the focus; the delegate
        // handles that case itself.
        if (editor->hasFocus())
            self->commitAndClose(editor);
    });
    return editor;
}

void VDComboBoxCell::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo)
        return;
    if (combo->lineEdit()->isModified())
        return; // a refresh of the table must not undo what the user is typing
    combo->setCurrentIndex(-1);
    combo->setEditText(index.data(Qt::EditRole).toString());
}

void VDComboBoxCell::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        model->setData(index, combo->currentText(), Qt::EditRole);
}

// Picking an item is a complete edit, as typing a text and pressing Return is. Both apply it at
// once: applying may open a modal prompt, and nothing queued may close the editor meanwhile.
void VDComboBoxCell::commitAndClose(QComboBox* editor)
{
    const QPointer<QComboBox> alive(editor);
    emit commitData(editor);
    if (alive)
        emit closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
}

bool VDComboBoxCell::eventFilter(QObject* watched, QEvent* event)
{
    auto* combo = qobject_cast<QComboBox*>(watched);
    if (!combo)
        return QStyledItemDelegate::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress && _mouseDown)
        _mouseDown(static_cast<QMouseEvent*>(event)->position().toPoint(), combo->rect());
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Taken here, so the combo box does not also report the typed text as a picked item.
            commitAndClose(combo);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}
