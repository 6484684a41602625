#include "LinkCellDelegate.h"

#include <QApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

LinkCellDelegate::LinkCellDelegate(std::function<void()> open, QObject* parent)
    : QStyledItemDelegate(parent)
    , _open(std::move(open))
{
}

bool LinkCellDelegate::hasLink(const QModelIndex& index)
{
    return !index.data(Qt::DecorationRole).value<QIcon>().isNull();
}

void LinkCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.features &= ~QStyleOptionViewItem::HasDecoration;
    background.icon = QIcon();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);
    if (!hasLink(index))
        return;

    QStyleOption button;
    if (option.widget)
        button.initFrom(option.widget);
    button.rect = option.rect.adjusted(2, 1, -2, -1);
    button.state = QStyle::State_Enabled | QStyle::State_Raised;
    style->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, painter, option.widget);
    const int side = qMax(8, qMin(option.rect.height(), option.rect.width()) - 4);
    const QRect iconRect = QStyle::alignedRect(option.direction, Qt::AlignCenter, QSize(side, side), option.rect);
    index.data(Qt::DecorationRole).value<QIcon>().paint(painter, iconRect);
}

bool LinkCellDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                   const QModelIndex& index)
{
    Q_UNUSED(model)
    if (event->type() != QEvent::MouseButtonRelease || !hasLink(index) || !_open)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->position().toPoint()))
        return false;
    _open();
    return true;
}
