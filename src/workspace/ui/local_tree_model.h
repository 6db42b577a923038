#pragma once

#include <QAbstractItemModel>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

#include "platform/drives.h"
#include "platform/local_places.h"
#include "workspace/local_menu_rules.h"
#include "workspace/ui/local_icons.h"
#include "workspace/ui/local_model_base.h"

// The folders of a local tree. The Normal page's tree has one top item, "My
// computer", with the places and then one child per drive; the Local project page's tree has the
// project folder as its only top item (or nothing). Sub-folders are read off
// the window thread when a node is first expanded, and read again when the
// folder changes on disk, keeping the nodes that are still there.
class LocalTreeModel : public LocalModelBase<QAbstractItemModel> {
    Q_OBJECT
public:
    enum class Kind { Computer, Project };
    enum Role { PathRole = Qt::UserRole + 1 };

    explicit LocalTreeModel(Kind kind, QObject* parent = nullptr);
    ~LocalTreeModel() override;

    Kind kind() const { return kind_; }

    // Computer trees: the places, then the drives, under "My computer".
    void setDrives(const std::vector<Drive>& drives, const std::vector<Place>& places = {});
    // Project trees: the root; empty clears the tree.
    void setProjectRoot(const QString& folder);
    QString projectRoot() const;

    void setShowFlags(int flags);

    QString pathOf(const QModelIndex& index) const;
    LocalTreeNodeKind nodeKind(const QModelIndex& index) const;
    QModelIndex topIndex() const;
    // The node of path, or of its deepest ancestor the tree has loaded.
    QModelIndex closestIndex(const QString& path) const;
    bool isLoaded(const QModelIndex& index) const;
    bool isLoading(const QModelIndex& index) const;
    // Reads a node's sub-folders (again).
    void load(const QModelIndex& index);
    // Reads again every loaded node showing one of these folders.
    void refreshFolders(const QStringList& folders);

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // A node's sub-folders were read (ok false: the folder could not be read).
    void folderLoaded(const QString& path, bool ok);

private:
    struct Node;
    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(Node* node) const;
    Node* findNode(const QString& path) const;
    void applyChildren(Node* node, const QStringList& names);
    void forEachNode(const std::function<void(Node*)>& visit) const;

    Kind kind_;
    std::vector<std::unique_ptr<Node>> top_;
    int showFlags_ = 0x02;
    int loads_ = 0;  // numbers every read, so that a stale one is known
    mutable LocalIcons icons_;
};
