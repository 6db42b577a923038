#pragma once

#include "remote/remote_item.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QMimeData;

// Remote items dragged out of a remote view: the folder they are in and the
// items themselves, with the server's bytes, so a drop anywhere in the program
// can start a download or a move without asking the server again.
struct RemoteDragData {
    QByteArray folder;
    std::vector<RemoteItem> items;
};

inline constexpr char kRemoteDragMimeType[] = "application/x-velmora-remote-items";

QByteArray EncodeRemoteDrag(const RemoteDragData& data);
// Nothing for bytes that are not a whole drag of this kind.
std::optional<RemoteDragData> DecodeRemoteDrag(const QByteArray& bytes);

// The drag as Qt carries it between the views, and back: nothing when `mime`
// holds no whole drag of this kind.
QMimeData* RemoteDragMime(const RemoteDragData& data);
std::optional<RemoteDragData> RemoteDragOf(const QMimeData* mime);
bool HasRemoteDrag(const QMimeData* mime);
// What the remote views take in a drop: their own drags, and files of the
// local views and the desktop.
QStringList RemoteDropFormats();
