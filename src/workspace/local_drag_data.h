#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

#include "workspace/copy_buffer.h"

class QMimeData;

// Local items dragged out of a local view: the folder they are in and the
// items. The same drag also carries their file URLs (text/uri-list), which
// the remote views take for an upload.
struct LocalDragData {
    QString folder;
    std::vector<LocalItemRef> items;
    bool fromTree = false;  // a folder dragged out of a tree
};

inline constexpr char kLocalDragMimeType[] = "application/x-velmora-local-items";

QByteArray EncodeLocalDrag(const LocalDragData& data);
// Nothing for bytes that are not a whole drag of this kind.
std::optional<LocalDragData> DecodeLocalDrag(const QByteArray& bytes);
// The file URLs of the dragged items.
QList<QUrl> LocalDragUrls(const LocalDragData& data);

// The drag as Qt carries it, with the items' file URLs for the remote views and
// other programs, and back: nothing when `mime` holds no whole drag of this kind.
QMimeData* LocalDragMime(const LocalDragData& data);
std::optional<LocalDragData> LocalDragOf(const QMimeData* mime);
bool HasLocalDrag(const QMimeData* mime);
