#include "workspace/loop_result_order.h"

#include <algorithm>

#include "remote/ascii_text.h"
#include "remote/remote_list_order.h"

namespace {

int Sign(qint64 a, qint64 b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

// As the listing orders names: case folded, then the bytes as sent.
int CompareNames(QByteArrayView a, QByteArrayView b) {
    const int c = CompareNoCase(a, b);
    return c != 0 ? c : a < b ? -1 : b < a ? 1 : 0;
}

QByteArrayView ExtensionOf(const RemoteItem& item) {
    if (item.kind != '-')
        return {};
    const qsizetype dot = item.name.lastIndexOf('.');
    return dot > 0 ? QByteArrayView(item.name).sliced(dot + 1) : QByteArrayView();
}

// The common shape: kinds first in either direction, the column's comparison
// turned by the direction, ties in name then folder order.
bool Before(int rankA, int rankB, int inColumn, bool descending, int byName, int byFolder) {
    if (rankA != rankB)
        return rankA < rankB;
    if (inColumn != 0)
        return descending ? inColumn > 0 : inColumn < 0;
    if (byName != 0)
        return byName < 0;
    return byFolder < 0;
}

bool IsFolder(const CompareItem& i) {
    return i.isLocal() ? i.isLocalFolder() : i.remoteKind == 'd';
}

}  // namespace

bool SearchRowBefore(const SearchRow& a, const SearchRow& b, ListSort sort, QDate today) {
    const RemoteItem& x = a.item;
    const RemoteItem& y = b.item;
    int c = 0;
    switch (sort.column) {
        case 1:
            c = Sign(x.size, y.size);
            break;
        case 2:
            c = CompareNoCase(ExtensionOf(x), ExtensionOf(y));
            break;
        case 3:
            c = Sign(RemoteDateKey(RemoteItemView::of(x), today),
                     RemoteDateKey(RemoteItemView::of(y), today));
            break;
        case 4:
            c = CompareNoCase(x.permissions, y.permissions);
            break;
        case 5:
            c = CompareNoCase(x.owner, y.owner);
            if (c == 0)
                c = CompareNoCase(x.group, y.group);
            break;
        case 6:
            c = CompareNames(a.folder, b.folder);
            break;
        default:
            c = CompareNames(x.name, y.name);
            break;
    }
    return Before(KindSortRank(x.kind), KindSortRank(y.kind), c, sort.descending,
                  CompareNames(x.name, y.name), CompareNames(a.folder, b.folder));
}

bool CaseRowBefore(const CaseResultRow& a, const CaseResultRow& b, ListSort sort) {
    const CaseRename& x = a.rename;
    const CaseRename& y = b.rename;
    int c = 0;
    switch (sort.column) {
        case 2:
            c = CompareNames(x.newName, y.newName);
            break;
        case 3:
            c = CompareNames(x.folder, y.folder);
            break;
        default:
            c = CompareNames(x.oldName, y.oldName);
            break;
    }
    return Before(KindSortRank(x.kind), KindSortRank(y.kind), c, sort.descending,
                  CompareNames(x.oldName, y.oldName), CompareNames(x.folder, y.folder));
}

bool CompareItemBefore(const CompareItem& a, const CompareItem& b, ListSort sort) {
    const QByteArray na = a.name().toUtf8();
    const QByteArray nb = b.name().toUtf8();
    const int byName = CompareNames(na, nb);
    const int c = sort.column == 1
                      ? CompareSideText(a).compare(CompareSideText(b), Qt::CaseInsensitive)
                      : byName;
    return Before(IsFolder(a) ? 0 : 1, IsFolder(b) ? 0 : 1, c, sort.descending, byName, 0);
}

bool SortCompareChildren(CompareNode* folder, ListSort sort) {
    auto& children = folder->children;
    const auto before = [sort](const std::unique_ptr<CompareNode>& a,
                               const std::unique_ptr<CompareNode>& b) {
        return CompareItemBefore(a->item, b->item, sort);
    };
    if (std::is_sorted(children.begin(), children.end(), before))
        return false;
    std::stable_sort(children.begin(), children.end(), before);
    return true;
}
