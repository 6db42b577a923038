#pragma once

#include "remote/remote_item.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

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
