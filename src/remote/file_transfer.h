#pragma once

#include "session/folder_chained_group.h"
#include "session/socket_group.h"
#include "session/transfer_info.h"

#include <functional>
#include <memory>

// One file to move, decided: which way, and everything a session needs to move
// it (absolute remote folder, name, local path, size, where to start), so that
// any connection can run it.
struct FileTransfer {
    enum Direction { Download, Upload };
    Direction direction = Download;
    TransferInfo info;
};

// Builds the group that moves one file; every per-file download and upload
// group is made here. Without a cursor the session stands in the remote folder
// already (right behind the folder's listing): PASV, REST n when resuming, then
// RETR or STOR. With a cursor the group first changes to the folder, unless the
// cursor says the server is there. The result goes to onResult.
std::unique_ptr<SocketGroup> makeFileTransferGroup(
    const FileTransfer& transfer, std::shared_ptr<FolderCursor> cursor,
    std::function<void(const TransferResult&)> onResult);
