#include "app/ui/site_list_model.h"

#include "app/site_list.h"
#include "app/site_rules.h"

#include <QMimeData>

namespace {
int draggedRow(const QMimeData* data) {
    if (!data || !data->hasFormat(QString::fromLatin1(SiteListModel::kRowMimeType)))
        return -1;
    bool ok = false;
    const int row = data->data(QString::fromLatin1(SiteListModel::kRowMimeType)).toInt(&ok);
    return ok ? row : -1;
}
}  // namespace

SiteListModel::SiteListModel(SiteList& sites, QObject* parent)
    : QAbstractTableModel(parent), sites_(sites) {}

void SiteListModel::reload() {
    beginResetModel();
    endResetModel();
}

int SiteListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(sites_.Records.size());
}

int SiteListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant SiteListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(sites_.Records.size()))
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const SiteRecord& record = sites_.Records[size_t(index.row())];
    return index.column() == 0 ? record.Name : record.Comment;
}

QVariant SiteListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("Name") : QStringLiteral("Comment");
}

Qt::ItemFlags SiteListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;  // no drop between or below the rows
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

QStringList SiteListModel::mimeTypes() const {
    return {QString::fromLatin1(kRowMimeType)};
}

QMimeData* SiteListModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kRowMimeType), QByteArray::number(indexes.first().row()));
    return data;
}

Qt::DropActions SiteListModel::supportedDropActions() const {
    return Qt::MoveAction;
}

bool SiteListModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                    const QModelIndex& parent) const {
    return parent.isValid() && draggedRow(data) >= 0;
}

bool SiteListModel::dropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                 const QModelIndex& parent) {
    const int row = draggedRow(data);
    const int target = parent.isValid() ? parent.row() : -1;
    beginResetModel();
    const int moved = MoveSiteAfter(sites_, row, target);
    endResetModel();
    if (moved >= 0)
        emit siteMoved(moved);
    else if (row >= 0 && row < rowCount())
        emit siteMoved(row);  // unchanged, but the reset dropped the selection
    // The move is done here; reporting no drop keeps the view from removing the source row.
    return false;
}
