#include "workspace/ui/local_tree_model.h"

#include "platform/path_containment.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include "workspace/background_task.h"
#include "workspace/local_list_rows.h"
#include "workspace/local_listing.h"
#include "workspace/project_folders.h"

struct LocalTreeModel::Node {
    enum class State { NotLoaded, Loading, Loaded };
    LocalTreeNodeKind kind = LocalTreeNodeKind::Folder;
    DriveType driveType = DriveType::NoDrive;
    QString path;
    QString text;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;
    State state = State::NotLoaded;
    int generation = 0;  // a read started before the latest one is dropped

    int row() const {
        if (!parent) {
            return 0;
        }
        for (size_t i = 0; i < parent->children.size(); ++i) {
            if (parent->children[i].get() == this) {
                return int(i);
            }
        }
        return 0;
    }
};

namespace {

QStringList ReadSubFolders(const QString& folder, int showFlags, bool* ok) {
    QStringList names;
    const QFileInfo info(folder);
    *ok = info.isDir() && info.isReadable();
    if (!*ok) {
        return names;
    }
    const bool hidden = (showFlags & LocalShow::HiddenFiles) != 0;
    const QFileInfoList all = QDir(folder).entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
    for (const QFileInfo& entry : all) {
        // System entries come whatever their kind: a link to nothing is no folder.
        if (entry.isDir() && (hidden || !IsHiddenLocalName(entry.fileName()))) {
            names << entry.fileName();
        }
    }
    std::sort(names.begin(), names.end(), LocalNameLess);
    return names;
}

struct FolderRead {
    bool ok = false;
    QStringList names;
};

}  // namespace

LocalTreeModel::LocalTreeModel(Kind kind, QObject* parent) : LocalModelBase(parent), kind_(kind) {
    if (kind_ == Kind::Computer) {
        auto computer = std::make_unique<Node>();
        computer->kind = LocalTreeNodeKind::Computer;
        computer->text = QStringLiteral("My computer");
        computer->state = Node::State::Loaded;
        top_.push_back(std::move(computer));
    }
}

LocalTreeModel::~LocalTreeModel() = default;

void LocalTreeModel::setDrives(const std::vector<Drive>& drives, const std::vector<Place>& places) {
    if (kind_ != Kind::Computer) {
        return;
    }
    beginResetModel();
    Node* computer = top_.front().get();
    computer->children.clear();
    for (const Place& place : places) {
        auto node = std::make_unique<Node>();
        node->kind = LocalTreeNodeKind::Place;
        node->path = place.path;
        node->text = place.label;
        node->parent = computer;
        computer->children.push_back(std::move(node));
    }
    for (const Drive& drive : drives) {
        if (drive.type == DriveType::NoDrive) {
            continue;
        }
        auto node = std::make_unique<Node>();
        node->kind = LocalTreeNodeKind::Drive;
        node->driveType = drive.type;
        node->path = drive.rootPath;
        node->text = DriveDisplayText(drive);
        node->parent = computer;
        computer->children.push_back(std::move(node));
    }
    endResetModel();
}

void LocalTreeModel::setProjectRoot(const QString& folder) {
    if (kind_ != Kind::Project) {
        return;
    }
    beginResetModel();
    top_.clear();
    if (!folder.isEmpty()) {
        auto root = std::make_unique<Node>();
        root->kind = LocalTreeNodeKind::Folder;
        root->path = folder;
        root->text = QDir::toNativeSeparators(folder);
        top_.push_back(std::move(root));
    }
    endResetModel();
}

QString LocalTreeModel::projectRoot() const {
    return kind_ == Kind::Project && !top_.empty() ? top_.front()->path : QString();
}

void LocalTreeModel::setShowFlags(int flags) {
    if (flags == showFlags_) {
        return;
    }
    showFlags_ = flags;
    QStringList loaded;
    std::function<void(Node*)> collect = [&](Node* node) {
        if (node->state == Node::State::Loaded && !node->path.isEmpty()) {
            loaded << node->path;
        }
        for (auto& child : node->children) {
            collect(child.get());
        }
    };
    for (auto& node : top_) {
        collect(node.get());
    }
    refreshFolders(loaded);
}

LocalTreeModel::Node* LocalTreeModel::nodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

QModelIndex LocalTreeModel::indexOf(Node* node) const {
    return node ? createIndex(node->parent ? node->row() : 0, 0, node) : QModelIndex();
}

QString LocalTreeModel::pathOf(const QModelIndex& index) const {
    const Node* node = nodeOf(index);
    return node ? node->path : QString();
}

LocalTreeNodeKind LocalTreeModel::nodeKind(const QModelIndex& index) const {
    const Node* node = nodeOf(index);
    return node ? node->kind : LocalTreeNodeKind::Computer;
}

QModelIndex LocalTreeModel::topIndex() const {
    return top_.empty() ? QModelIndex() : indexOf(top_.front().get());
}

QModelIndex LocalTreeModel::closestIndex(const QString& path) const {
    if (top_.empty() || path.isEmpty()) {
        return topIndex();
    }
    Node* node = top_.front().get();
    if (kind_ == Kind::Project && !IsSameOrBelow(node->path, path)) {
        return {};
    }
    for (;;) {
        if (node->path == path) {
            break;
        }
        Node* next = nullptr;
        int bestLength = -1;
        for (auto& child : node->children) {
            // Drives may nest (/ and /home): the longest root wins.
            if (IsSameOrBelow(child->path, path) && int(child->path.size()) > bestLength) {
                next = child.get();
                bestLength = int(child->path.size());
            }
        }
        if (!next) {
            break;
        }
        node = next;
    }
    return indexOf(node);
}

LocalTreeModel::Node* LocalTreeModel::findNode(const QString& path) const {
    const QModelIndex index = closestIndex(path);
    Node* node = nodeOf(index);
    return node && node->path == path ? node : nullptr;
}

bool LocalTreeModel::isLoaded(const QModelIndex& index) const {
    const Node* node = nodeOf(index);
    return node && node->state == Node::State::Loaded;
}

bool LocalTreeModel::isLoading(const QModelIndex& index) const {
    const Node* node = nodeOf(index);
    return node && node->state == Node::State::Loading;
}

void LocalTreeModel::load(const QModelIndex& index) {
    Node* node = nodeOf(index);
    if (!node || node->kind == LocalTreeNodeKind::Computer || node->path.isEmpty()) {
        return;
    }
    node->state = Node::State::Loading;
    const int generation = ++loads_;
    node->generation = generation;
    const QString path = node->path;
    const int flags = showFlags_;
    RunInBackground<FolderRead>(
        this,
        [path, flags] {
            FolderRead read;
            read.names = ReadSubFolders(path, flags, &read.ok);
            return read;
        },
        [this, path, generation](FolderRead&& read) {
            // The node may have gone while the disk was read: find it again
            // (a place and the folder it stands for share their path).
            Node* target = nullptr;
            forEachNode([&](Node* n) {
                if (n->path == path && n->generation == generation) {
                    target = n;
                }
            });
            if (!target) {
                return;
            }
            target->state = Node::State::Loaded;
            applyChildren(target, read.names);
            emit folderLoaded(path, read.ok);
        });
}

void LocalTreeModel::applyChildren(Node* node, const QStringList& names) {
    const QModelIndex parentIndex = indexOf(node);
    // Drop nodes whose folder is gone.
    for (int row = int(node->children.size()) - 1; row >= 0; --row) {
        const QString& name = node->children[size_t(row)]->text;
        if (!std::binary_search(names.begin(), names.end(), name, LocalNameLess)) {
            beginRemoveRows(parentIndex, row, row);
            node->children.erase(node->children.begin() + row);
            endRemoveRows();
        }
    }
    // Insert the new ones at their place in name order.
    for (const QString& name : names) {
        auto at = std::lower_bound(node->children.begin(), node->children.end(), name,
                                   [](const std::unique_ptr<Node>& n, const QString& v) {
                                       return LocalNameLess(n->text, v);
                                   });
        if (at != node->children.end() && (*at)->text == name) {
            continue;
        }
        const int row = int(at - node->children.begin());
        auto child = std::make_unique<Node>();
        child->kind = LocalTreeNodeKind::Folder;
        child->path = JoinLocalPath(node->path, name);
        child->text = name;
        child->parent = node;
        beginInsertRows(parentIndex, row, row);
        node->children.insert(node->children.begin() + row, std::move(child));
        endInsertRows();
    }
    // The expand arrow follows whether anything is left.
    emit dataChanged(parentIndex, parentIndex);
}

void LocalTreeModel::refreshFolders(const QStringList& folders) {
    // A folder may show twice: under its drive and as a place.
    std::vector<QPersistentModelIndex> stale;
    forEachNode([&](Node* node) {
        if (node->state != Node::State::NotLoaded && folders.contains(node->path)) {
            stale.emplace_back(indexOf(node));
        }
    });
    for (const QPersistentModelIndex& index : stale) {
        if (index.isValid()) {
            load(index);
        }
    }
}

void LocalTreeModel::forEachNode(const std::function<void(Node*)>& visit) const {
    std::function<void(Node*)> walk = [&](Node* node) {
        visit(node);
        for (auto& child : node->children) {
            walk(child.get());
        }
    };
    for (const auto& node : top_) {
        walk(node.get());
    }
}

QModelIndex LocalTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) {
        return {};
    }
    if (!parent.isValid()) {
        return row < int(top_.size()) ? createIndex(row, 0, top_[size_t(row)].get())
                                      : QModelIndex();
    }
    Node* node = nodeOf(parent);
    if (!node || row >= int(node->children.size())) {
        return {};
    }
    return createIndex(row, 0, node->children[size_t(row)].get());
}

QModelIndex LocalTreeModel::parent(const QModelIndex& child) const {
    Node* node = nodeOf(child);
    if (!node || !node->parent) {
        return {};
    }
    return indexOf(node->parent);
}

int LocalTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return int(top_.size());
    }
    const Node* node = nodeOf(parent);
    return node ? int(node->children.size()) : 0;
}

int LocalTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

// The header is hidden; screen readers still name the column by it.
QVariant LocalTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return QStringLiteral("Folder");
    }
    return {};
}

bool LocalTreeModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return !top_.empty();
    }
    const Node* node = nodeOf(parent);
    if (!node) {
        return false;
    }
    // Unread folders offer the arrow; reading them tells.
    return node->state != Node::State::Loaded || !node->children.empty();
}

bool LocalTreeModel::canFetchMore(const QModelIndex& parent) const {
    const Node* node = nodeOf(parent);
    return node && node->state == Node::State::NotLoaded &&
           node->kind != LocalTreeNodeKind::Computer;
}

void LocalTreeModel::fetchMore(const QModelIndex& parent) {
    if (canFetchMore(parent)) {
        load(parent);
    }
}

QVariant LocalTreeModel::data(const QModelIndex& index, int role) const {
    const Node* node = nodeOf(index);
    if (!node) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return node->text;
        case Qt::ToolTipRole:
            return node->path.isEmpty() ? node->text : QDir::toNativeSeparators(node->path);
        case Qt::DecorationRole:
            switch (node->kind) {
                case LocalTreeNodeKind::Computer:
                    return icons_.computer();
                case LocalTreeNodeKind::Drive:
                    return icons_.drive(node->driveType);
                case LocalTreeNodeKind::Place:
                case LocalTreeNodeKind::Folder:
                    return icons_.folder();
            }
            return {};
        case PathRole:
            return node->path;
        default:
            return {};
    }
}

Qt::ItemFlags LocalTreeModel::flags(const QModelIndex& index) const {
    const Node* node = nodeOf(index);
    if (!node) {
        return Qt::ItemIsDropEnabled;
    }
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (node->kind != LocalTreeNodeKind::Computer) {
        f |= Qt::ItemIsDropEnabled;
    }
    const bool projectRoot = kind_ == Kind::Project && !node->parent;
    if (node->kind == LocalTreeNodeKind::Folder && !projectRoot) {
        // The project root shows a full path: it is renamed as a folder of
        // the Normal page's tree, not here.
        f |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
    }
    return f;
}
