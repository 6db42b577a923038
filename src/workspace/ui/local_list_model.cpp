#include "workspace/ui/local_list_model.h"

#include <QDir>
#include <QFileInfo>

#include "platform/format.h"
#include "workspace/background_task.h"
#include "workspace/local_list_columns.h"
#include "workspace/local_list_order.h"
#include "workspace/local_listing.h"
#include "workspace/project_folders.h"

namespace {

struct FolderRows {
    bool ok = false;
    std::vector<LocalListRow> rows;
};

}  // namespace

LocalListModel::LocalListModel(QObject* parent) : LocalModelBase(parent) {}

namespace {

std::vector<LocalListRow> InOrder(std::vector<LocalListRow>& rows, const std::vector<int>& order) {
    std::vector<LocalListRow> sorted;
    sorted.reserve(rows.size());
    for (int i : order)
        sorted.push_back(std::move(rows[size_t(i)]));
    return sorted;
}

}  // namespace

void LocalListModel::setRows(std::vector<LocalListRow> rows) {
    beginResetModel();
    rows_ = InOrder(rows, LocalListOrder(rows, sort_));
    endResetModel();
}

void LocalListModel::setSort(ListSort sort) {
    sort_ = sort;
    // Selection and current row follow their rows.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> order = LocalListOrder(rows_, sort_);
    std::vector<int> newRow(order.size());
    for (size_t row = 0; row < order.size(); ++row)
        newRow[size_t(order[row])] = int(row);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after << (i.isValid() ? index(newRow[size_t(i.row())], i.column()) : QModelIndex());
    rows_ = InOrder(rows_, order);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void LocalListModel::showComputer(const std::vector<Drive>& drives,
                                  const std::vector<Place>& places) {
    ++generation_;
    loading_ = false;
    computer_ = true;
    folder_.clear();
    setRows(BuildDriveRows(drives, places));
    emit folderLoaded(QString(), true);
}

void LocalListModel::showFolder(const QString& folder) {
    const bool other = computer_ || folder != folder_;
    computer_ = false;
    folder_ = folder;
    loading_ = true;
    if (other) {
        // Rows of another folder must not linger while this one is read.
        setRows({});
    }
    const int generation = ++generation_;
    const int flags = showFlags_;
    RunInBackground<FolderRows>(
        this,
        [folder, flags] {
            FolderRows result;
            const LocalListing listing = ListLocalFolderForView(folder, flags);
            result.ok = listing.ok;
            result.rows = BuildFolderRows(listing.entries);
            return result;
        },
        [this, generation, folder](FolderRows&& result) {
            if (generation != generation_) {
                return;
            }
            loading_ = false;
            readOk_ = result.ok;
            setRows(std::move(result.rows));
            emit folderLoaded(folder, result.ok);
        });
}

void LocalListModel::reload() {
    if (!computer_ && !folder_.isEmpty()) {
        showFolder(folder_);
    }
}

void LocalListModel::refreshFile(const QString& name) {
    const int row = rowOfName(name);
    if (row < 0 || computer_ || rows_[size_t(row)].kind != LocalRowKind::File) {
        return;
    }
    const QFileInfo info(JoinLocalPath(folder_, name));
    if (!info.exists()) {
        return;  // gone: the folder's own change brings the list up to date
    }
    LocalListRow& r = rows_[size_t(row)];
    r.size = info.size();
    r.modified = info.lastModified();
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void LocalListModel::clear() {
    ++generation_;
    loading_ = false;
    computer_ = false;
    folder_.clear();
    setRows({});
}

void LocalListModel::setShowFlags(int flags) {
    if (flags != showFlags_) {
        showFlags_ = flags;
        reload();
    }
}

void LocalListModel::setSizeStyle(quint8 style) {
    if (style != sizeStyle_) {
        sizeStyle_ = style;
        if (!rows_.empty()) {
            emit dataChanged(index(0, kColSize), index(rowCount() - 1, kColSize));
        }
    }
}

const LocalListRow* LocalListModel::rowAt(int row) const {
    return row >= 0 && row < int(rows_.size()) ? &rows_[size_t(row)] : nullptr;
}

int LocalListModel::rowOfName(const QString& name) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].name == name) {
            return int(i);
        }
    }
    return -1;
}

int LocalListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int LocalListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(kLocalListColumns.size());
}

QVariant LocalListModel::data(const QModelIndex& index, int role) const {
    const LocalListRow* row = rowAt(index.row());
    if (!row || index.column() < 0 || index.column() >= columnCount()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case kColName:
                    return row->text;
                case kColSize:
                    return LocalSizeText(*row, sizeStyle_);
                case kColType:
                    return row->typeText;
                case kColModified:
                    return row->kind == LocalRowKind::Folder || row->kind == LocalRowKind::File
                               ? FormatLocalTime(row->modified)
                               : QString();
                case kColNumber:
                    return LocalNumberText(*row);
            }
            return {};
        case Qt::EditRole:
            return row->name;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(kLocalListColumns[size_t(index.column())].alignment);
        case Qt::DecorationRole:
            if (index.column() != kColName) {
                return {};
            }
            switch (row->kind) {
                case LocalRowKind::Drive:
                    return icons_.drive(row->driveType);
                case LocalRowKind::Parent:
                    return icons_.parentFolder();
                case LocalRowKind::Place:
                case LocalRowKind::Folder:
                    return icons_.folder();
                case LocalRowKind::File:
                    return icons_.file(row->name);
            }
            return {};
        case KindRole:
            return int(row->kind);
        case NameRole:
            return row->name;
        default:
            return {};
    }
}

QVariant LocalListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QString::fromLatin1(kLocalListColumns[size_t(section)].title);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(kLocalListColumns[size_t(section)].alignment);
    }
    return {};
}

Qt::ItemFlags LocalListModel::flags(const QModelIndex& index) const {
    const LocalListRow* row = rowAt(index.row());
    if (!index.isValid() || !row) {
        return computer_ ? Qt::NoItemFlags : Qt::ItemIsDropEnabled;
    }
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (row->isFolderLike()) {
        f |= Qt::ItemIsDropEnabled;
    }
    if (row->kind == LocalRowKind::Folder || row->kind == LocalRowKind::File) {
        f |= Qt::ItemIsDragEnabled;
        if (index.column() == kColName) {
            f |= Qt::ItemIsEditable;
        }
    }
    return f;
}
