#pragma once

#include <QDate>

#include <algorithm>
#include <vector>

#include "platform/list_sort.h"
#include "workspace/change_case.h"
#include "workspace/compare_tree.h"
#include "workspace/loop_owner.h"

// The order of the loop windows' result lists, as the remote list sorts: by
// the clicked column in either direction, folders above files in both, names
// compared as the listing compares them, and rows level in the column in name
// order (then folder order).

// A search row before another in a column of the search list (name, size,
// type, last modified, permission, owner/group, under path). Dates without a
// year are read as on `today`.
bool SearchRowBefore(const SearchRow& a, const SearchRow& b, ListSort sort, QDate today);

// One row of the change-case list: what is or was renamed and how it went.
struct CaseResultRow {
    CaseRename rename;
    CaseRowMark mark = CaseRowMark::Renamed;
};
// The change-case list's first column shows an image only and orders
// nothing: the list sorts from the old name on.
inline constexpr int kCaseFirstSortColumn = 1;
// A change-case row before another in a column (old name; new name; under
// path).
bool CaseRowBefore(const CaseResultRow& a, const CaseResultRow& b, ListSort sort);

// A compare result before another of the same folder, by name or by where it
// stands.
bool CompareItemBefore(const CompareItem& a, const CompareItem& b, ListSort sort);
// Sorts one folder's children; false when they were in order already.
bool SortCompareChildren(CompareNode* folder, ListSort sort);

// The rows' new order as positions into the old rows, when the rows below
// `sortedCount` are in order already and the rest came since: the newcomers
// are merged in, so a list growing in batches costs one pass per batch. Rows
// level with each other keep their places.
template <class Row, class Before>
std::vector<int> MergedRowOrder(const std::vector<Row>& rows, size_t sortedCount, Before before) {
    std::vector<int> order(rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    const auto less = [&rows, &before](int a, int b) {
        return before(rows[size_t(a)], rows[size_t(b)]);
    };
    const auto mid = order.begin() + std::ptrdiff_t(std::min(sortedCount, order.size()));
    std::stable_sort(mid, order.end(), less);
    std::inplace_merge(order.begin(), mid, order.end(), less);
    return order;
}
