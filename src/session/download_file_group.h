#pragma once

#include "session/content_check.h"
#include "session/socket_group.h"
#include "session/transfer_info.h"

#include <QFile>

#include <functional>
#include <memory>

// Fetches one remote file into a local file. A whole fetch is written to a
// temporary sibling and renamed over the target only after the server confirmed
// the transfer, so a failed or removed download never destroys the old file. A
// resume continues the existing file at its offset once the first data arrives.
class DownloadFileGroup : public SocketGroup {
public:
    DownloadFileGroup(TransferInfo info, const StepList& steps);
    ~DownloadFileGroup() override;

    SocketKind socketKind() const override { return SocketKind::DownloadFile; }
    void onAttached() override;
    void onFinished(bool success) override;
    // After the RETR: MDTM when the listing did not tell the time to the
    // second, and the checksum, as the publish plan asks.
    QString prepareToSend() override;
    void onStepSent(const CommandStep& step) override;
    void replyArrived(const Reply& reply) override;
    bool readyToContinue() const override { return !awaitingVerdict_; }
    bool takeRefusal(const CommandStep& step, int code) override;
    bool isComplete() const override {
        return data().dataClosed && !hasUnsentStep() && !awaitingVerdict_;
    }

    const TransferInfo& info() const { return info_; }
    qint64 position() const { return position_; }

    // Told once when the group leaves the queue.
    std::function<void(const TransferResult&)> onResult;

protected:
    void onDataEvent(SocketEvent event) override;

private:
    static constexpr qint64 kWriteBlock = 256 * 1024;

    bool openTarget();
    void receive();
    void fail(const QString& text);
    void discardTemporary();
    // Starts the local digest once the checksum was asked and every byte is
    // on disk.
    void startDigest();
    void judge();

    TransferInfo info_;
    std::unique_ptr<QFile> file_;
    QString temporaryPath_;
    QByteArray buffer_;
    qint64 position_ = 0;
    bool failed_ = false;
    bool reportedStart_ = false;
    bool finished_ = false;
    HashCommand hash_;
    ContentCheck check_;
    bool awaitingVerdict_ = false;
    bool badContent_ = false;
    qint64 remoteTime_ = -1;
};
