#include "remote/ui/remote_list_model.h"

#include <QFontDatabase>
#include <QMimeData>

#include <algorithm>

#include "remote/remote_drag_data.h"
#include "remote/remote_list_columns.h"
#include "remote/remote_list_order.h"

namespace {
const RemoteItemList kNoItems;

RemoteItem parentItem() {
    RemoteItem i;
    i.kind = 'd';
    i.name = QByteArrayLiteral("..");
    return i;
}
const RemoteItem kParentItem = parentItem();
}  // namespace

RemoteListModel::RemoteListModel(QObject* parent)
    : QAbstractTableModel(parent),
      items_(SharedRemoteItems(std::shared_ptr<void>(), &kNoItems)),
      fixedFont_(QFontDatabase::systemFont(QFontDatabase::FixedFont)) {}

void RemoteListModel::setFolder(const QByteArray& folder, SharedRemoteItems items, bool parentRow) {
    beginResetModel();
    folder_ = folder;
    parentRow_ = parentRow && !folder.isEmpty();
    items_ = items ? std::move(items) : SharedRemoteItems(std::shared_ptr<void>(), &kNoItems);
    numbers_ = NumberWithinKinds(*items_);
    order_ = RemoteListOrder(*items_, sort_, today_);
    endResetModel();
}

void RemoteListModel::setSort(ListSort sort, QDate today) {
    sort_ = sort;
    today_ = today;
    // Selection and current row follow their entries to the new rows.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    // -1: no row; -2: the ".." row, which stays first.
    std::vector<int> itemsBefore;
    itemsBefore.reserve(size_t(before.size()));
    for (const QModelIndex& index : before)
        itemsBefore.push_back(!index.isValid()           ? -1
                              : isParentRow(index.row()) ? -2
                                                         : itemOf(index.row()));
    order_ = RemoteListOrder(*items_, sort_, today_);
    std::vector<int> rowOfItem;
    if (!before.isEmpty()) {
        rowOfItem.resize(size_t(items_->size()));
        for (int row = offset(); row < rowCount(); ++row)
            rowOfItem[size_t(itemOf(row))] = row;
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int item = itemsBefore[size_t(i)];
        const int row = item == -2 ? 0 : item < 0 ? -1 : rowOfItem[size_t(item)];
        after << (row < 0 ? QModelIndex() : index(row, before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RemoteListModel::clear() {
    setFolder(QByteArray(), nullptr);
}

RemoteItem RemoteListModel::itemAt(int row) const {
    return isParentRow(row) ? kParentItem : items_->at(itemOf(row));
}

RemoteItemView RemoteListModel::viewAt(int row) const {
    return isParentRow(row) ? RemoteItemView::of(kParentItem) : items_->view(itemOf(row));
}

QByteArrayView RemoteListModel::nameAt(int row) const {
    return isParentRow(row) ? QByteArrayView(kParentItem.name) : items_->nameAt(itemOf(row));
}

char RemoteListModel::kindAt(int row) const {
    return isParentRow(row) ? kParentItem.kind : items_->kindAt(itemOf(row));
}

int RemoteListModel::number(int row) const {
    return isParentRow(row) ? 0 : numbers_.at(size_t(itemOf(row)));
}

int RemoteListModel::rowOf(const QByteArray& name) const {
    const int item = items_->indexOf(name, true);
    if (item < 0)
        return -1;
    if (order_.empty())
        return item + offset();
    return int(std::find(order_.begin(), order_.end(), item) - order_.begin()) + offset();
}

void RemoteListModel::setSizeStyle(quint8 style) {
    if (style == sizeStyle_)
        return;
    sizeStyle_ = style;
    if (rowCount() > 0)
        emit dataChanged(index(0, int(RemoteListColumn::Size)),
                         index(rowCount() - 1, int(RemoteListColumn::Size)));
}

void RemoteListModel::setNumericPermissions(bool numeric) {
    if (numeric == numeric_)
        return;
    numeric_ = numeric;
    if (rowCount() > 0)
        emit dataChanged(index(0, int(RemoteListColumn::Permission)),
                         index(rowCount() - 1, int(RemoteListColumn::Permission)));
}

int RemoteListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : items_->size() + offset();
}

int RemoteListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kRemoteListColumnCount;
}

QVariant RemoteListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto column = RemoteListColumn(index.column());
    if (isParentRow(index.row())) {
        if (column != RemoteListColumn::Name)
            return {};
        if (role == Qt::DisplayRole)
            return QStringLiteral("..");
        if (role == Qt::DecorationRole)
            return icons_.forItem(kParentItem);
        if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole)
            return QStringLiteral("The folder above");
        return {};
    }
    const RemoteItemView item = viewAt(index.row());
    switch (role) {
        case Qt::DisplayRole:
            switch (column) {
                case RemoteListColumn::Name:
                    return QString::fromUtf8(item.name);
                case RemoteListColumn::Size:
                    return RemoteSizeText(item, sizeStyle_);
                case RemoteListColumn::Type:
                    return RemoteTypeText(item);
                case RemoteListColumn::Modified:
                    return RemoteDateText(item);
                case RemoteListColumn::Permission:
                    return RemotePermissionText(item, numeric_);
                case RemoteListColumn::OwnerGroup:
                    return RemoteOwnerGroupText(item);
                case RemoteListColumn::Number:
                    return number(index.row());
            }
            return {};
        case Qt::EditRole:
            return column == RemoteListColumn::Name ? QString::fromUtf8(item.name) : QVariant();
        case Qt::TextAlignmentRole:
            return int(RemoteListColumnAlignment(index.column()));
        case Qt::DecorationRole:
            return column == RemoteListColumn::Name ? icons_.forItem(item) : QVariant();
        case Qt::FontRole:
            return column == RemoteListColumn::Permission && numeric_ ? fixedFont_ : QVariant();
        case Qt::ToolTipRole:
            if (column == RemoteListColumn::Name && item.kind == 'l' && !item.linkTarget.isEmpty())
                return QString::fromUtf8(item.name) + QStringLiteral(" -> ") +
                       QString::fromUtf8(item.linkTarget);
            return {};
        default:
            return {};
    }
}

QVariant RemoteListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return RemoteListColumnTitle(section);
    if (role == Qt::TextAlignmentRole)
        return int(RemoteListColumnAlignment(section));
    return {};
}

Qt::ItemFlags RemoteListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    if (isParentRow(index.row()))
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (index.column() == int(RemoteListColumn::Name))
        f |= Qt::ItemIsEditable;
    if (kindAt(index.row()) == 'd')
        f |= Qt::ItemIsDropEnabled;
    return f;
}

bool RemoteListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != int(RemoteListColumn::Name) ||
        isParentRow(index.row()))
        return false;
    emit renameRequested(index.row(), value.toString());
    return false;
}

QStringList RemoteListModel::mimeTypes() const {
    return RemoteDropFormats();
}

QMimeData* RemoteListModel::mimeData(const QModelIndexList& indexes) const {
    RemoteDragData drag;
    drag.folder = folder_;
    std::vector<int> rows;
    for (const QModelIndex& i : indexes) {
        if (i.isValid() && i.column() == 0 && !isParentRow(i.row()))
            rows.push_back(i.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows)
        drag.items.push_back(itemAt(row));
    if (drag.items.empty())
        return nullptr;
    return RemoteDragMime(drag);
}
