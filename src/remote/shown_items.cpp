#include "remote/shown_items.h"

#include "session/publish_plan.h"

namespace {

bool IsTemporary(const RemoteItemList& items, int i) {
    const QByteArrayView name = items.nameAt(i);
    return items.kindAt(i) == '-' &&
           isUploadTemporaryName(QByteArray::fromRawData(name.data(), name.size()));
}

}  // namespace

RemoteItemList ShownItems(const RemoteItemList& items) {
    // Most listings hold none: they are shared as they are, never copied.
    int first = 0;
    while (first < items.size() && !IsTemporary(items, first))
        ++first;
    if (first == items.size())
        return items;
    RemoteItemList shown;
    for (int i = 0; i < items.size(); ++i) {
        if (!IsTemporary(items, i))
            shown.append(items.at(i));
    }
    return shown;
}
