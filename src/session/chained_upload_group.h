#pragma once

#include "session/folder_chained_group.h"
#include "session/upload_file_group.h"

#include <memory>

// Stores info.fileName in info.remoteFolder: CWD, PASV, STOR, without the CWD
// when the cursor says the server is there (see FolderChained).
class ChainedUploadGroup : public FolderChained<UploadFileGroup> {
public:
    using Cursor = FolderCursor;

    ChainedUploadGroup(TransferInfo info, std::shared_ptr<Cursor> cursor)
        : FolderChained(info, StepList{{"PASV", {}}, {"STOR", info.fileName}}, std::move(cursor)) {}
};
