#include "remote/ui/remote_tree_model.h"

#include <QMimeData>

#include <unordered_set>

#include "remote/remote_drag_data.h"
#include "remote/remote_list_columns.h"
#include "remote/remote_path.h"

struct RemoteTreeModel::Node {
    Node* parent = nullptr;
    QByteArray path;
    RemoteItem item;
    SharedRemoteItems items;  // null until listed
    bool requested = false;
    std::vector<std::unique_ptr<Node>> children;

    int row = 0;  // among the parent's children

    // A folder may hold 100,000 sub-folders: a node knows its row instead of
    // searching its parent's children for itself.
    void numberChildren() {
        for (size_t i = 0; i < children.size(); ++i)
            children[i]->row = int(i);
    }
};

namespace {

bool TreeKind(char kind) {
    return kind == 'd' || kind == 'l';
}

}  // namespace

RemoteTreeModel::RemoteTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

RemoteTreeModel::~RemoteTreeModel() = default;

void RemoteTreeModel::setRoot(const QByteArray& folder, SharedRemoteItems items) {
    beginResetModel();
    top_.reset();
    if (!folder.isEmpty()) {
        top_ = std::make_unique<Node>();
        top_->path = folder;
        top_->item.kind = 'd';
        top_->item.name = folder;
    }
    endResetModel();
    if (top_ && items)
        applyListing(folder, std::move(items));
}

void RemoteTreeModel::clear() {
    setRoot(QByteArray());
}

QModelIndex RemoteTreeModel::rootIndex() const {
    return top_ ? createIndex(0, 0, top_.get()) : QModelIndex();
}

bool RemoteTreeModel::hasRoot() const {
    return bool(top_);
}

RemoteTreeModel::Node* RemoteTreeModel::descend(const QByteArray& folder,
                                                const MissingChild& missing) const {
    if (!top_)
        return nullptr;
    // Walk down by the path's pieces below the top node; no search of the
    // whole tree.
    Node* node = top_.get();
    if (folder == node->path)
        return node;
    QByteArray base = node->path;
    if (!base.endsWith('/'))
        base += '/';
    if (!folder.startsWith(base))
        return nullptr;
    for (const QByteArray& piece : folder.mid(base.size()).split('/')) {
        if (piece.isEmpty())
            continue;
        Node* next = nullptr;
        for (const auto& child : node->children) {
            if (child->item.name == piece) {
                next = child.get();
                break;
            }
        }
        if (!next && missing)
            next = missing(node, piece);
        if (!next)
            return nullptr;
        node = next;
    }
    return node;
}

RemoteTreeModel::Node* RemoteTreeModel::find(const QByteArray& folder) const {
    return descend(folder, {});
}

bool RemoteTreeModel::applyListing(const QByteArray& folder, SharedRemoteItems items) {
    Node* node = find(folder);
    if (!node || !items)
        return false;
    node->items = items;
    node->requested = false;
    const QModelIndex parentIndex = indexOfNode(node);
    // The listing's folders and links, by position.
    std::vector<int> wanted;
    for (int i = 0; i < items->size(); ++i) {
        if (TreeKind(items->kindAt(i)))
            wanted.push_back(i);
    }
    // Children no longer listed go; kept ones stay in their order.
    std::unordered_set<QByteArrayView> names;
    for (int w : wanted)
        names.insert(items->nameAt(w));
    for (int i = int(node->children.size()) - 1; i >= 0; --i) {
        if (!names.count(QByteArrayView(node->children[size_t(i)]->item.name))) {
            beginRemoveRows(parentIndex, i, i);
            node->children.erase(node->children.begin() + i);
            node->numberChildren();
            endRemoveRows();
        }
    }
    // A node listed for the first time gets its children in one insertion.
    const bool first = node->children.empty();
    if (first && !wanted.empty()) {
        beginInsertRows(parentIndex, 0, int(wanted.size()) - 1);
        node->children.reserve(wanted.size());
        for (int w : wanted) {
            auto child = std::make_unique<Node>();
            child->parent = node;
            child->item = items->at(w);
            child->path = joinRemotePath(node->path, child->item.name);
            child->row = int(node->children.size());
            node->children.push_back(std::move(child));
        }
        endInsertRows();
    }
    // The kept children are in listing order already (one sort), so the new
    // ones slot in between.
    for (size_t i = 0; !first && i < wanted.size(); ++i) {
        const RemoteItem w = items->at(wanted[i]);
        if (i < node->children.size() && node->children[i]->item.name == w.name) {
            Node* child = node->children[i].get();
            if (!(child->item == w)) {
                child->item = w;
                const QModelIndex changed = index(int(i), 0, parentIndex);
                emit dataChanged(changed, changed);
            }
            continue;
        }
        auto child = std::make_unique<Node>();
        child->parent = node;
        child->item = w;
        child->path = joinRemotePath(node->path, w.name);
        beginInsertRows(parentIndex, int(i), int(i));
        node->children.insert(node->children.begin() + qsizetype(i), std::move(child));
        node->numberChildren();
        endInsertRows();
    }
    // Anything left over (a listing that changed the order) is dropped.
    if (node->children.size() > wanted.size()) {
        beginRemoveRows(parentIndex, int(wanted.size()), int(node->children.size()) - 1);
        node->children.resize(wanted.size());
        endRemoveRows();
    }
    emit dataChanged(parentIndex, parentIndex);
    return true;
}

void RemoteTreeModel::resetNode(const QModelIndex& index) {
    Node* node = nodeOf(index);
    if (!node)
        return;
    if (!node->children.empty()) {
        beginRemoveRows(index, 0, int(node->children.size()) - 1);
        node->children.clear();
        endRemoveRows();
    }
    node->items.reset();
    node->requested = false;
    emit dataChanged(index, index);
}

QModelIndex RemoteTreeModel::ensurePath(const QByteArray& folder) {
    return indexOfNode(descend(folder, [this](Node* node, const QByteArray& piece) {
        auto child = std::make_unique<Node>();
        child->parent = node;
        child->item.kind = 'd';
        child->item.name = piece;
        child->path = joinRemotePath(node->path, piece);
        Node* made = child.get();
        const int row = int(node->children.size());
        child->row = row;
        beginInsertRows(indexOfNode(node), row, row);
        node->children.push_back(std::move(child));
        endInsertRows();
        return made;
    }));
}

bool RemoteTreeModel::removeUnlisted(const QModelIndex& index) {
    Node* node = nodeOf(index);
    if (!node || !node->parent || node->items)
        return false;
    Node* parent = node->parent;
    const int row = node->row;
    beginRemoveRows(indexOfNode(parent), row, row);
    parent->children.erase(parent->children.begin() + row);
    parent->numberChildren();
    endRemoveRows();
    return true;
}

QModelIndex RemoteTreeModel::indexOf(const QByteArray& folder) const {
    return indexOfNode(find(folder));
}

QByteArray RemoteTreeModel::pathOf(const QModelIndex& index) const {
    const Node* node = nodeOf(index);
    return node ? node->path : QByteArray();
}

RemoteItem RemoteTreeModel::itemOf(const QModelIndex& index) const {
    const Node* node = nodeOf(index);
    return node ? node->item : RemoteItem();
}

bool RemoteTreeModel::isListed(const QModelIndex& index) const {
    const Node* node = nodeOf(index);
    return node && node->items;
}

SharedRemoteItems RemoteTreeModel::itemsOf(const QModelIndex& index) const {
    const Node* node = nodeOf(index);
    return node ? node->items : nullptr;
}

bool RemoteTreeModel::isTop(const QModelIndex& index) const {
    return top_ && nodeOf(index) == top_.get();
}

RemoteTreeModel::Node* RemoteTreeModel::nodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

QModelIndex RemoteTreeModel::indexOfNode(const Node* node) const {
    if (!node)
        return {};
    return createIndex(node->row, 0, const_cast<Node*>(node));
}

QModelIndex RemoteTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 && top_ ? createIndex(0, 0, top_.get()) : QModelIndex();
    const Node* node = nodeOf(parent);
    if (size_t(row) >= node->children.size())
        return {};
    return createIndex(row, 0, node->children[size_t(row)].get());
}

QModelIndex RemoteTreeModel::parent(const QModelIndex& child) const {
    const Node* node = nodeOf(child);
    return node ? indexOfNode(node->parent) : QModelIndex();
}

int RemoteTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return top_ ? 1 : 0;
    return int(nodeOf(parent)->children.size());
}

int RemoteTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

// The header is hidden; screen readers still name the column by it.
QVariant RemoteTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return QStringLiteral("Folder");
    return {};
}

bool RemoteTreeModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid())
        return bool(top_);
    const Node* node = nodeOf(parent);
    // Not listed yet: it may hold folders, so it can be expanded.
    return !node->items || !node->children.empty();
}

bool RemoteTreeModel::canFetchMore(const QModelIndex& parent) const {
    const Node* node = nodeOf(parent);
    return node && !node->items && !node->requested;
}

void RemoteTreeModel::markRequested(const QModelIndex& index) {
    if (Node* node = nodeOf(index))
        node->requested = true;
}

void RemoteTreeModel::fetchMore(const QModelIndex& parent) {
    Node* node = nodeOf(parent);
    if (!node || node->items || node->requested)
        return;
    node->requested = true;
    emit listingWanted(node->path);
}

QVariant RemoteTreeModel::data(const QModelIndex& index, int role) const {
    const Node* node = nodeOf(index);
    if (!node)
        return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return RemoteNameText(node == top_.get() ? node->path : node->item.name);
        case Qt::DecorationRole:
            if (node->item.kind == 'l')
                return icons_.link();
            return icons_.folder(bool(node->items));
        case Qt::ToolTipRole:
            return RemoteNameText(node->path);
        default:
            return {};
    }
}

Qt::ItemFlags RemoteTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    if (!isTop(index))
        f |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
    return f;
}

bool RemoteTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || isTop(index))
        return false;
    emit renameRequested(index, value.toString());
    return false;
}

QStringList RemoteTreeModel::mimeTypes() const {
    return RemoteDropFormats();
}

QMimeData* RemoteTreeModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty())
        return nullptr;
    const Node* node = nodeOf(indexes.first());
    if (!node || !node->parent)
        return nullptr;
    RemoteDragData drag;
    drag.folder = node->parent->path;
    drag.items.push_back(node->item);
    return RemoteDragMime(drag);
}
