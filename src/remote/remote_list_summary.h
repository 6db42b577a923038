#pragma once

#include "platform/list_summary.h"
#include "remote/remote_item_list.h"

// A remote entry in the status line's counts: folders count as folders,
// everything else as a file; the sizes of files and links add up, as the
// Size column shows them.
inline void countRemoteItem(ListCounts& counts, const RemoteItemView& item) {
    counts.add(item.isFolder(), item.kind == '-' || item.kind == 'l' ? item.size : 0);
}
