#pragma once

#include <vector>

#include "platform/list_sort.h"
#include "workspace/local_list_rows.h"

// The local list's rows in a column's order (LocalListColumnIndex): positions
// into `rows`. The ".." row stays first and groups keep their places (places,
// drives, folders above files) in both directions; rows equal in the column
// keep name order, then their given order.
std::vector<int> LocalListOrder(const std::vector<LocalListRow>& rows, ListSort sort);
