#include "session/chained_upload_group.h"

ChainedUploadGroup::ChainedUploadGroup(TransferInfo info, std::shared_ptr<Cursor> cursor)
    : UploadFileGroup(info,
                      StepList{{"CWD", info.remoteFolder}, {"PASV", {}}, {"STOR", info.fileName}}),
      cursor_(std::move(cursor)) {}

QString ChainedUploadGroup::prepareToSend() {
    const QString refusal = UploadFileGroup::prepareToSend();
    if (!refusal.isEmpty())
        return refusal;
    if (cursor_->folder == info().remoteFolder && !info().remoteFolder.isEmpty()) {
        steps().removeFirst();
        changesFolder_ = false;
    }
    return {};
}

void ChainedUploadGroup::onFinished(bool success) {
    if (changesFolder_ && hasSentStepNamed("CWD")) {
        // The PASV went out only after the server accepted the CWD.
        cursor_->folder = hasSentStepNamed("PASV") ? info().remoteFolder : QByteArray();
    }
    UploadFileGroup::onFinished(success);
}
