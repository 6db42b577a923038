#pragma once

#include "session/socket_group.h"
#include "session/transfer_info.h"
#include "session/transfer_size.h"

// Fetches one remote file into memory: the concerned file (purpose 1) or a file
// wizard's file (purpose 2). Purpose 0 streams the bytes out as they arrive and
// keeps nothing, for scripts that print a file. Content that stops short of
// the size the server announced is a failure and is not handed on: an editor
// must never get half a file to save back.
class DirectDownloadGroup : public SocketGroup {
public:
    DirectDownloadGroup(int directPurpose, TransferInfo info, const StepList& steps);
    ~DirectDownloadGroup() override;

    SocketKind socketKind() const override { return SocketKind::DirectDownload; }
    void onAttached() override;
    void replyArrived(const Reply& reply) override;

    int purpose;
    const TransferInfo& info() const { return info_; }

protected:
    void onDataEvent(SocketEvent event) override;

private:
    void receive();

    TransferInfo info_;
    QByteArray content_;
    TransferSize size_;
    qint64 received_ = 0;
    bool reportedStart_ = false;
};
