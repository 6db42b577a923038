#pragma once

#include "session/publish_plan.h"
#include "session/sending_group.h"
#include "session/transfer_info.h"

#include <functional>

// Stores bytes held in memory as one remote file (an edited text sent back).
class DirectUploadGroup : public SendingGroup {
public:
    DirectUploadGroup(TransferInfo info, QByteArray content, const StepList& steps);
    ~DirectUploadGroup() override;

    SocketKind socketKind() const override { return SocketKind::DirectUpload; }
    void onAttached() override;

    const TransferInfo& info() const override { return info_; }
    qint64 position() const { return position_; }

    // Told once how the upload ended.
    std::function<void(const TransferInfo& info, qint64 position, bool success)> onResult;
    void onFinished(bool success) override;

protected:
    void sendMore() override;
    qint64 storedSizeExpected() const override { return content_.size(); }
    QByteArray sourceVersion() const override { return contentVersion(content_); }
    void restartSource() override {
        position_ = 0;
        sentAnything_ = false;
    }
    void startLocalDigest(ContentCheck& check, HashAlgorithm algorithm) override {
        check.startBytes(content_, algorithm);
    }

private:
    TransferInfo info_;
    QByteArray content_;
    qint64 position_ = 0;
    bool sentAnything_ = false;
};
