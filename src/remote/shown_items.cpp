#include "remote/shown_items.h"

#include "session/publish_plan.h"

RemoteItemList ShownItems(const RemoteItemList& items) {
    RemoteItemList shown;
    bool dropped = false;
    for (const RemoteItem& item : items) {
        if (item.kind == '-' && isUploadTemporaryName(item.name))
            dropped = true;
        else
            shown.append(item);
    }
    // Copies only when something was left out.
    return dropped ? shown : items;
}
