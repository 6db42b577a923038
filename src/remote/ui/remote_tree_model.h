#pragma once

#include <QAbstractItemModel>

#include <functional>
#include <memory>
#include <vector>

#include "remote/remote_item_list.h"
#include "remote/ui/remote_icons.h"

// The remote folders as a tree: one top node (the server's start folder, or
// the remote project folder on its page) and below it the folders and links
// of each listing. A node keeps its folder's last listing, shared with the
// list when it shows that folder.
class RemoteTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit RemoteTreeModel(QObject* parent = nullptr);
    ~RemoteTreeModel() override;

    // A new top node; without items it is not listed yet.
    void setRoot(const QByteArray& folder, SharedRemoteItems items = nullptr);
    void clear();
    QModelIndex rootIndex() const;
    bool hasRoot() const;

    // Stores a listing under the node of that folder, if the tree has one, and
    // brings its children in line with the listing's folders and links; nodes
    // that stay keep their own subtrees. False when no node shows the folder.
    bool applyListing(const QByteArray& folder, SharedRemoteItems items);
    // Drops the node's children and its listing ("Reset").
    void resetNode(const QModelIndex& index);
    // The node of a folder at or below the top node, made (not listed yet)
    // where the tree has none; invalid for a folder outside the top node.
    QModelIndex ensurePath(const QByteArray& folder);
    // Takes a node that was never listed out of the tree (not the top node).
    bool removeUnlisted(const QModelIndex& index);
    // A listing of the node is on its way already: showing it asks for none.
    void markRequested(const QModelIndex& index);

    QModelIndex indexOf(const QByteArray& folder) const;
    QByteArray pathOf(const QModelIndex& index) const;
    // The node's entry in its parent's listing (the top node: a folder named
    // by its path).
    RemoteItem itemOf(const QModelIndex& index) const;
    bool isListed(const QModelIndex& index) const;
    SharedRemoteItems itemsOf(const QModelIndex& index) const;
    bool isTop(const QModelIndex& index) const;

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override {
        return Qt::CopyAction | Qt::MoveAction;
    }

signals:
    // Expanding a node that was never listed asks for its listing.
    void listingWanted(const QByteArray& folder);
    void renameRequested(const QModelIndex& index, const QString& text);

private:
    struct Node;
    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOfNode(const Node* node) const;
    Node* find(const QByteArray& folder) const;
    // The node of folder at or below the top node; where a piece has no node,
    // missing may make one (nullptr: the walk fails).
    using MissingChild = std::function<Node*(Node* parent, const QByteArray& piece)>;
    Node* descend(const QByteArray& folder, const MissingChild& missing) const;

    std::unique_ptr<Node> top_;
    mutable RemoteIcons icons_;
};
