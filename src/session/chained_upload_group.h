#pragma once

#include "session/upload_file_group.h"

#include <memory>

// Uploads queued back to back on one connection share what they know of the
// server's current folder: one that finds the server already in its folder
// leaves out its CWD. Only groups sharing the cursor may run between them; a
// refused CWD or anything unforeseen makes the next one change folder again.
class ChainedUploadGroup : public UploadFileGroup {
public:
    struct Cursor {
        QByteArray folder;  // empty: not known
    };

    // Sends CWD info.remoteFolder, PASV, STOR info.fileName, without the CWD
    // when the cursor says the server is there.
    ChainedUploadGroup(TransferInfo info, std::shared_ptr<Cursor> cursor);

    QString prepareToSend() override;
    void onFinished(bool success) override;

private:
    std::shared_ptr<Cursor> cursor_;
    bool changesFolder_ = true;
};
