#pragma once

#include "ContactOutlineItem.h"

#include <QAbstractItemModel>

#include <memory>
#include <vector>

class ContactPicker;

// Shows the picker's outline in a tree view. The picker answers every question (children, shown
// values, expandability); this model only remembers the rows it has handed out, since one person
// can be a row under several groups.
class ContactOutlineModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit ContactOutlineModel(ContactPicker* picker, QObject* parent = nullptr);
    ~ContactOutlineModel() override;

    // Forgets every row; the picker's answers are asked again.
    void reload();
    ContactOutlineItem itemAt(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Node {
        ContactOutlineItem item;
        Node* parent = nullptr;
        int row = 0;
        bool loaded = false;
        std::vector<std::unique_ptr<Node>> children;
    };

    Node* nodeOf(const QModelIndex& index) const;
    void loadChildren(Node* node) const;

    ContactPicker* _picker;
    mutable std::unique_ptr<Node> _root;
};
