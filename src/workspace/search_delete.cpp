#include "workspace/search_delete.h"

#include "remote/remote_path.h"

std::vector<SearchDeleteBatch> GroupSearchRowsByFolder(const std::vector<SearchRow>& rows) {
    std::vector<SearchDeleteBatch> batches;
    for (const SearchRow& row : rows) {
        auto it = std::find_if(batches.begin(), batches.end(),
                               [&](const SearchDeleteBatch& b) { return b.folder == row.folder; });
        if (it == batches.end()) {
            batches.push_back({row.folder, {}});
            it = batches.end() - 1;
        }
        it->items.push_back(row.item);
    }
    return batches;
}

std::vector<QString> SearchRowPaths(const std::vector<SearchRow>& rows) {
    std::vector<QString> paths;
    paths.reserve(rows.size());
    for (const SearchRow& row : rows)
        paths.push_back(QString::fromUtf8(joinRemotePath(row.folder, row.item.name)));
    return paths;
}

QString SearchDeleteQuestion(int rows) {
    return rows == 1 ? QStringLiteral("Delete the selected item?")
                     : QStringLiteral("Delete the selected items?");
}

bool SearchRowGone(const SearchRow& row, const QByteArray& folder, const RemoteItemList& listing) {
    const QByteArray f = withoutEndSlash(folder);
    if (row.folder == f)
        return listing.indexOf(row.item.name, true) < 0;
    const QByteArray prefix = f == "/" ? f : f + '/';
    if (!row.folder.startsWith(prefix))
        return false;
    const QByteArray rest = row.folder.mid(prefix.size());
    const QByteArray first = rest.left(rest.indexOf('/') < 0 ? rest.size() : rest.indexOf('/'));
    return !first.isEmpty() && listing.indexOf(first, true) < 0;
}

bool RefreshSearchRow(SearchRow& row, const QByteArray& folder, const RemoteItemList& listing) {
    if (row.folder != withoutEndSlash(folder))
        return false;
    const int i = listing.indexOf(row.item.name, true);
    if (i < 0)
        return false;
    const RemoteItem fresh = listing.at(i);
    if (fresh == row.item)
        return false;
    row.item = fresh;
    return true;
}
