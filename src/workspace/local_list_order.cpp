#include "workspace/local_list_order.h"

#include <algorithm>
#include <numeric>

#include "workspace/local_list_columns.h"

namespace {

int GroupRank(LocalRowKind kind) {
    switch (kind) {
        case LocalRowKind::Parent:
            return 0;
        case LocalRowKind::Place:
            return 1;
        case LocalRowKind::Drive:
            return 2;
        case LocalRowKind::Folder:
            return 3;
        case LocalRowKind::File:
            return 4;
    }
    return 5;
}

// <0, 0, >0 as a is before, level with or after b in the column, ascending.
int CompareIn(int column, const LocalListRow& a, const LocalListRow& b) {
    switch (column) {
        case kColSize:
            return a.size < b.size ? -1 : a.size > b.size ? 1 : 0;
        case kColType:
            return a.typeText.compare(b.typeText, Qt::CaseInsensitive);
        case kColModified:
            // Rows without a time (drives, places) come first.
            if (a.modified.isValid() != b.modified.isValid())
                return a.modified.isValid() ? 1 : -1;
            return a.modified < b.modified ? -1 : b.modified < a.modified ? 1 : 0;
        case kColNumber:
            return a.number - b.number;
        default:
            return LocalNameLess(a.text, b.text) ? -1 : LocalNameLess(b.text, a.text) ? 1 : 0;
    }
}

}  // namespace

std::vector<int> LocalListOrder(const std::vector<LocalListRow>& rows, ListSort sort) {
    std::vector<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&rows, sort](int i, int j) {
        const LocalListRow& a = rows[size_t(i)];
        const LocalListRow& b = rows[size_t(j)];
        const int ra = GroupRank(a.kind), rb = GroupRank(b.kind);
        if (ra != rb)
            return ra < rb;
        const int c = CompareIn(sort.column, a, b);
        if (c != 0)
            return sort.descending ? c > 0 : c < 0;
        if (sort.column != kColName && sort.column != kColNumber)
            return LocalNameLess(a.text, b.text);
        return false;
    });
    return order;
}
