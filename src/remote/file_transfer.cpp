#include "remote/file_transfer.h"

#include "session/download_file_group.h"
#include "session/upload_file_group.h"

namespace {

template <class Group>
std::unique_ptr<SocketGroup> build(const FileTransfer& t, std::shared_ptr<FolderCursor> cursor,
                                   std::function<void(const TransferResult&)> onResult) {
    StepList steps{{"PASV", {}}};
    if (t.info.startOffset > 0)
        steps.append({"REST", QByteArray::number(t.info.startOffset)});
    steps.append({t.direction == FileTransfer::Download ? "RETR" : "STOR", t.info.fileName});
    std::unique_ptr<Group> g;
    if (cursor)
        g = std::make_unique<FolderChained<Group>>(t.info, steps, std::move(cursor));
    else
        g = std::make_unique<Group>(t.info, steps);
    g->onResult = std::move(onResult);
    return g;
}

}  // namespace

std::unique_ptr<SocketGroup> makeFileTransferGroup(
    const FileTransfer& transfer, std::shared_ptr<FolderCursor> cursor,
    std::function<void(const TransferResult&)> onResult) {
    if (transfer.direction == FileTransfer::Download)
        return build<DownloadFileGroup>(transfer, std::move(cursor), std::move(onResult));
    return build<UploadFileGroup>(transfer, std::move(cursor), std::move(onResult));
}
