#pragma once

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

    TransferInfo info_;
    std::unique_ptr<QFile> file_;
    QString temporaryPath_;
    QByteArray buffer_;
    qint64 position_ = 0;
    bool failed_ = false;
    bool reportedStart_ = false;
    bool finished_ = false;
};
