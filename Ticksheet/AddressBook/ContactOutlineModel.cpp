#include "ContactOutlineModel.h"

#include "ContactPicker.h"
#include "Localized.h"

ContactOutlineModel::ContactOutlineModel(ContactPicker* picker, QObject* parent)
    : QAbstractItemModel(parent)
    , _picker(picker)
    , _root(std::make_unique<Node>())
{
}

ContactOutlineModel::~ContactOutlineModel() = default;

void ContactOutlineModel::reload()
{
    beginResetModel();
    _root = std::make_unique<Node>();
    endResetModel();
}

ContactOutlineItem ContactOutlineModel::itemAt(const QModelIndex& index) const
{
    return nodeOf(index)->item;
}

ContactOutlineModel::Node* ContactOutlineModel::nodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : _root.get();
}

void ContactOutlineModel::loadChildren(Node* node) const
{
    if (node->loaded)
        return;
    node->loaded = true;
    const bool expandable = node->item.isRoot() || _picker->isItemExpandable(node->item);
    const int count = expandable ? _picker->numberOfChildrenOfItem(node->item) : 0;
    node->children.reserve(count);
    for (int row = 0; row < count; ++row) {
        auto child = std::make_unique<Node>();
        child->item = _picker->child(row, node->item);
        child->parent = node;
        child->row = row;
        node->children.push_back(std::move(child));
    }
}

QModelIndex ContactOutlineModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!hasIndex(row, column, parent))
        return QModelIndex();
    Node* node = nodeOf(parent);
    loadChildren(node);
    return createIndex(row, column, node->children[row].get());
}

QModelIndex ContactOutlineModel::parent(const QModelIndex& index) const
{
    const Node* node = index.isValid() ? nodeOf(index) : nullptr;
    if (!node || node->parent == _root.get())
        return QModelIndex();
    return createIndex(node->parent->row, 0, node->parent);
}

int ContactOutlineModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    Node* node = nodeOf(parent);
    loadChildren(node);
    return static_cast<int>(node->children.size());
}

int ContactOutlineModel::columnCount(const QModelIndex&) const
{
    return 2;
}

bool ContactOutlineModel::hasChildren(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return false;
    const Node* node = nodeOf(parent);
    return node->item.isRoot() || _picker->isItemExpandable(node->item);
}

QVariant ContactOutlineModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return QVariant();
    return _picker->objectValueForTableColumn(index.column(), nodeOf(index)->item);
}

bool ContactOutlineModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (index.isValid() && role == Qt::EditRole)
        _picker->setObjectValue(value, index.column(), nodeOf(index)->item);
    return false;
}

Qt::ItemFlags ContactOutlineModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (_picker->shouldEditTableColumn(index.column(), nodeOf(index)->item))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant ContactOutlineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    return section == 0 ? localized("Last Name") : localized("Name and Organization");
}
