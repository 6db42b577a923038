#pragma once

#include <QDate>

#include <vector>

#include "platform/list_sort.h"
#include "remote/remote_item_list.h"

// The remote list's rows in a column's order: positions into the listing,
// which stays as it is (sorted by kind, then name). Kinds keep their places
// (folders above files) in both directions; entries equal in the column keep
// name order. Empty when the order is the listing's own (name or number,
// ascending), so the common case costs nothing.
//
// Dates without a year are this year's, or last year's when the month and day
// are still to come on `today`.
std::vector<int> RemoteListOrder(const RemoteItemList& items, ListSort sort, QDate today);

// One number that orders an entry by its listed date and time (the year
// completed as above); entries without a date come first.
qint64 RemoteDateKey(const RemoteItemView& item, QDate today);
