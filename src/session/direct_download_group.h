#pragma once

#include "session/direct_purpose.h"
#include "session/socket_group.h"
#include "session/transfer_info.h"
#include "session/transfer_size.h"

// Fetches one remote file into memory for its purpose; a Stream fetch hands the
// bytes on as they arrive and keeps nothing, for scripts that print a file. Content that stops
// short of the size the server announced is a failure and is not handed on: an editor must never
// get half a file to save back.
class DirectDownloadGroup : public SocketGroup {
public:
    DirectDownloadGroup(DirectPurpose directPurpose, TransferInfo info, const StepList& steps);
    ~DirectDownloadGroup() override;

    SocketKind socketKind() const override { return SocketKind::DirectDownload; }
    void onAttached() override;
    void replyArrived(const Reply& reply) override;

    DirectPurpose purpose;
    const TransferInfo& info() const { return info_; }

protected:
    void onDataEvent(SocketEvent event) override;

private:
    void receive();

    TransferInfo info_;
    QByteArray content_;
    TransferSize size_;
    qint64 received_ = 0;
};
