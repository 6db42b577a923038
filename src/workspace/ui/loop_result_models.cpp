#include "workspace/ui/loop_result_models.h"

#include "platform/program_texts.h"
#include "remote/remote_path.h"
#include "workspace/search_delete.h"

#include <algorithm>

#include <QApplication>
#include <QBrush>
#include <QStyle>

// ------------------------------------------------------------- search rows

SearchResultModel::SearchResultModel(LoopDisplayOptions options, QObject* parent)
    : LoopTableModel(parent), options_(options) {
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(0);
    connect(&flushTimer_, &QTimer::timeout, this, &SearchResultModel::flush);
}

const QList<int>& SearchResultModel::columnWeights() {
    static const QList<int> weights = {50, 25, 23, 40, 31, 33, 120};
    return weights;
}

void SearchResultModel::append(const SearchRow& row) {
    waiting_.push_back(row);
    if (!flushTimer_.isActive())
        flushTimer_.start();
}

void SearchResultModel::flush() {
    if (waiting_.empty())
        return;
    const int first = int(rows_.size());
    beginInsertRows({}, first, first + int(waiting_.size()) - 1);
    for (SearchRow& r : waiting_)
        rows_.push_back(std::move(r));
    waiting_.clear();
    endInsertRows();
    order(size_t(first));
}

void SearchResultModel::setSort(ListSort sort, QDate today) {
    sort_ = sort;
    today_ = today;
    flush();
    order(0);
}

void SearchResultModel::order(size_t sortedCount) {
    const ListSort sort = sort_;
    const QDate today = today_;
    applyOrder(rows_,
               MergedRowOrder(rows_, sortedCount, [sort, today](const auto& a, const auto& b) {
                   return SearchRowBefore(a, b, sort, today);
               }));
}

void SearchResultModel::followListing(const QByteArray& folder, const RemoteItemList& listing) {
    flush();
    for (int r = int(rows_.size()) - 1; r >= 0; --r) {
        SearchRow& row = rows_[size_t(r)];
        if (RefreshSearchRow(row, folder, listing)) {
            emit dataChanged(index(r, 0), index(r, columnCount() - 1));
            continue;
        }
        if (!SearchRowGone(row, folder, listing))
            continue;
        beginRemoveRows({}, r, r);
        rows_.erase(rows_.begin() + r);
        endRemoveRows();
    }
}

bool SearchResultModel::showsFolder(const QByteArray& folder) const {
    const QByteArray f = withoutEndSlash(folder);
    const auto in = [&f](const SearchRow& row) { return row.folder == f; };
    return std::any_of(rows_.begin(), rows_.end(), in) ||
           std::any_of(waiting_.begin(), waiting_.end(), in);
}

void SearchResultModel::clear() {
    beginResetModel();
    rows_.clear();
    waiting_.clear();
    endResetModel();
}

int SearchResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int SearchResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 7;
}

QVariant SearchResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const SearchRow& row = rows_[size_t(index.row())];
    if (role == Qt::DisplayRole)
        return SearchRowTexts(
                   row, options_,
                   index.column() == 6 &&
                       (index.row() == 0 || rows_[size_t(index.row()) - 1].folder != row.folder))
            .value(index.column());
    if (role == Qt::TextAlignmentRole) {
        static const int align[] = {Qt::AlignLeft, Qt::AlignRight,   Qt::AlignHCenter,
                                    Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignHCenter,
                                    Qt::AlignLeft};
        return int(align[index.column()] | Qt::AlignVCenter);
    }
    // The pictures the remote list shows for the same entries.
    if (role == Qt::DecorationRole && index.column() == 0)
        return icons_.forItem(row.item);
    return {};
}

QVariant SearchResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const titles[] = {"File/Folder", "Size",        "Type",      "Last modified",
                                         "Permission",  "Owner/Group", "Under path"};
    return QString::fromLatin1(titles[section]);
}

// ------------------------------------------------------------ change case

void ChangeCaseModel::append(const CaseRename& rename, CaseRowMark mark) {
    CaseResultRow row{rename, mark};
    const ListSort sort = sort_;
    const auto at = std::upper_bound(rows_.begin(), rows_.end(), row,
                                     [sort](const CaseResultRow& a, const CaseResultRow& b) {
                                         return CaseRowBefore(a, b, sort);
                                     });
    const int r = int(at - rows_.begin());
    beginInsertRows({}, r, r);
    rows_.insert(at, std::move(row));
    endInsertRows();
    // The row below may now follow a row of its own folder.
    if (r + 1 < int(rows_.size()))
        emit dataChanged(index(r + 1, 3), index(r + 1, 3));
}

void ChangeCaseModel::setSort(ListSort sort) {
    sort_ = sort;
    applyOrder(rows_, MergedRowOrder(rows_, 0, [sort](const auto& a, const auto& b) {
                   return CaseRowBefore(a, b, sort);
               }));
}

QString ChangeCaseModel::shownPath(int r) const {
    const QByteArray& folder = rows_[size_t(r)].rename.folder;
    if (r > 0 && rows_[size_t(r) - 1].rename.folder == folder)
        return {};
    return QString::fromUtf8(folder);
}

void ChangeCaseModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

int ChangeCaseModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int ChangeCaseModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant ChangeCaseModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const CaseResultRow& row = rows_[size_t(index.row())];
    const bool taken = row.mark == CaseRowMark::Taken;
    if (role == Qt::DecorationRole && index.column() == 0) {
        const char kind = row.rename.kind;
        if (taken)
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        return QApplication::style()->standardIcon(kind == 'd'   ? QStyle::SP_DirIcon
                                                   : kind == 'l' ? QStyle::SP_FileLinkIcon
                                                                 : QStyle::SP_FileIcon);
    }
    if (taken && (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole))
        return QString::fromLatin1(ChangeCaseTexts::kTakenTip);
    if (taken && role == Qt::ForegroundRole)
        return QBrush(QColor(160, 0, 0));
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
        case 1:
            return QString::fromUtf8(row.rename.oldName);
        case 2:
            return CaseRowNewNameText(row.rename, row.mark);
        case 3:
            return shownPath(index.row());
    }
    return {};
}

QVariant ChangeCaseModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const titles[] = {" ", "Old name", "New name", "Under path"};
    return QString::fromLatin1(titles[section]);
}

// ---------------------------------------------------------------- compare

CompareTreeModel::CompareTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void CompareTreeModel::reset(const QByteArray& base) {
    beginResetModel();
    tree_.clear();
    tree_.setBase(base);
    started_ = true;
    endResetModel();
}

bool CompareTreeModel::addResult(const FolderCompareResult& result) {
    CompareNode* folder = tree_.find(result.relativePath);
    if (!folder)
        return false;
    const QModelIndex parent = indexOf(folder);
    const int first = int(folder->children.size());
    if (result.items.empty()) {
        folder->item.flags |= CompareItem::Visited;
        return true;
    }
    beginInsertRows(parent, first, first + int(result.items.size()) - 1);
    tree_.add(result);
    endInsertRows();
    sortFolders({folder});
    return true;
}

void CompareTreeModel::setSort(ListSort sort) {
    sort_ = sort;
    std::vector<CompareNode*> folders;
    std::vector<CompareNode*> walk{tree_.root()};
    while (!walk.empty()) {
        CompareNode* n = walk.back();
        walk.pop_back();
        if (n->children.empty())
            continue;
        folders.push_back(n);
        for (const auto& c : n->children)
            walk.push_back(c.get());
    }
    sortFolders(folders);
}

void CompareTreeModel::sortFolders(const std::vector<CompareNode*>& folders) {
    std::vector<CompareNode*> unsorted;
    for (CompareNode* f : folders) {
        const auto before = [this](const std::unique_ptr<CompareNode>& a,
                                   const std::unique_ptr<CompareNode>& b) {
            return CompareItemBefore(a->item, b->item, sort_);
        };
        if (!std::is_sorted(f->children.begin(), f->children.end(), before))
            unsorted.push_back(f);
    }
    if (unsorted.empty())
        return;
    QList<QPersistentModelIndex> parents;
    for (CompareNode* f : unsorted)
        parents << QPersistentModelIndex(indexOf(f));
    emit layoutAboutToBeChanged(parents, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    for (CompareNode* f : unsorted)
        SortCompareChildren(f, sort_);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before) {
        CompareNode* n = node(i);
        after << createIndex(n->row(), i.column(), n);
    }
    changePersistentIndexList(before, after);
    emit layoutChanged(parents, QAbstractItemModel::VerticalSortHint);
}

void CompareTreeModel::removeNode(CompareNode* node) {
    if (!node || !node->parent)
        return;
    const int r = node->row();
    beginRemoveRows(indexOf(node->parent), r, r);
    tree_.remove(node);
    endRemoveRows();
}

void CompareTreeModel::prune(bool subFolders) {
    for (CompareNode* n : tree_.nodesToPrune(subFolders))
        removeNode(n);
}

void CompareTreeModel::itemsRewritten(const CompareNode* folder) {
    if (!folder || folder->children.empty())
        return;
    emit dataChanged(indexOf(folder->children.front().get()),
                     indexOf(folder->children.back().get()).siblingAtColumn(kColumns - 1));
}

CompareNode* CompareTreeModel::node(const QModelIndex& index) const {
    return index.isValid() ? static_cast<CompareNode*>(index.internalPointer()) : nullptr;
}

QModelIndex CompareTreeModel::indexOf(const CompareNode* node) const {
    if (!node)
        return {};
    return createIndex(node->row(), 0, const_cast<CompareNode*>(node));
}

QModelIndex CompareTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column < 0 || column >= kColumns || row < 0)
        return {};
    if (!parent.isValid()) {
        if (!started_ || row != 0)
            return {};
        return createIndex(0, column, const_cast<CompareNode*>(tree_.root()));
    }
    // Only the first column holds children: the second says where an item stands.
    if (parent.column() != 0)
        return {};
    CompareNode* p = node(parent);
    if (row >= int(p->children.size()))
        return {};
    return createIndex(row, column, p->children[size_t(row)].get());
}

QModelIndex CompareTreeModel::parent(const QModelIndex& index) const {
    CompareNode* n = node(index);
    if (!n || !n->parent)
        return {};
    return indexOf(n->parent);
}

int CompareTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return started_ ? 1 : 0;
    if (parent.column() != 0)
        return 0;
    return int(node(parent)->children.size());
}

int CompareTreeModel::columnCount(const QModelIndex&) const {
    return kColumns;
}

QVariant CompareTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("File/Folder") : QStringLiteral("Where");
}

QVariant CompareTreeModel::data(const QModelIndex& index, int role) const {
    const CompareNode* n = node(index);
    if (!n)
        return {};
    const CompareItem& i = n->item;
    if (index.column() == 1) {
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return n->parent ? CompareSideText(i) : QString();
        if (role != Qt::ForegroundRole)
            return {};
    }
    if (role == Qt::DisplayRole)
        return n->parent ? i.name() : QStringLiteral("From");
    if (role == Qt::AccessibleTextRole || role == Qt::ToolTipRole) {
        if (!n->parent)
            return {};
        return i.name() + QStringLiteral(", ") + CompareSideText(i);
    }
    if (role == Qt::ForegroundRole && n->parent) {
        // Local only blue, server only green, different on both sides red.
        if (!i.isRemote())
            return QBrush(QColor(0, 0, 160));
        if (!i.isLocal())
            return QBrush(QColor(0, 112, 0));
        if (!i.isCommonFolder())
            return QBrush(QColor(160, 0, 0));
    }
    if (role == Qt::DecorationRole && index.column() == 0) {
        QStyle* s = QApplication::style();
        if (!n->parent)
            return s->standardIcon(QStyle::SP_DriveNetIcon);
        const bool folder = i.isLocal() ? i.isLocalFolder() : i.remoteKind == 'd';
        if (!i.isLocal() && i.remoteKind == 'l')
            return s->standardIcon(QStyle::SP_FileLinkIcon);
        return s->standardIcon(folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    }
    return {};
}
