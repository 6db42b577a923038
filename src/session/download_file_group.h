#pragma once

#include "session/checksum_step.h"
#include "session/partial_download.h"
#include "session/socket_group.h"
#include "session/transfer_info.h"
#include "session/transfer_size.h"

#include <QFile>

#include <functional>
#include <memory>

// Fetches one remote file into a local file. The data goes to the hidden part
// file beside the target, renamed over it only once the server confirmed the
// transfer and every byte it announced arrived, so a failed or removed download
// never destroys the old file. Data that stops short stays in the part file,
// sealed with its source, for the next download of the file to continue. A
// resume of the target itself continues that file at its offset. The server's
// time and checksum, when asked, are taken before the rename: content that
// fails the checksum is neither put in place nor kept. A local file changed
// after the server's copy holds work the server lacks: the rename goes ahead
// only once that file is in the trash.
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
    bool readyToContinue() const override { return !checksum_.awaiting(); }
    bool takeRefusal(const CommandStep& step, int code) override;
    bool isComplete() const override {
        return data().dataClosed && !hasUnsentStep() && !checksum_.awaiting();
    }

    const TransferInfo& info() const { return info_; }
    qint64 position() const { return position_; }

    // What the record of kept data says of a download's source.
    static PartialSource sourceOf(const TransferInfo& info);
    // The line that says where a replaced local file went.
    static QString setAsideText(const QString& localPath, const QString& trashPath);

    // Told once when the group leaves the queue.
    std::function<void(const TransferResult&)> onResult;

protected:
    void onDataEvent(SocketEvent event) override;

private:
    static constexpr qint64 kWriteBlock = 256 * 1024;

    bool openTarget();
    bool openPart();
    void receive();
    void fail(const QString& text);
    // Seals the data that arrived for a later resume, or removes a part file
    // that holds nothing; where the data is kept, or empty.
    QString keepPart();
    QString remotePath() const;
    // Starts the local digest once the checksum was asked and every byte is
    // on disk.
    void startDigest();
    void judge();
    // Empty when every byte the server announced arrived.
    QString shortfall() const;
    // The download puts a new file in place of an existing local one.
    bool replacesTarget() const;
    // Moves a target changed after the server's copy to the trash; false,
    // with the failure told, when it can not go there.
    bool setAsideNewerTarget();

    TransferInfo info_;
    std::unique_ptr<QFile> file_;
    QString partPath_;  // empty while the target itself is continued
    QByteArray buffer_;
    TransferSize size_;
    qint64 position_ = 0;
    QString error_;
    QString refusal_;  // the server's last error reply
    bool finished_ = false;
    ChecksumStep checksum_;
    bool badContent_ = false;
    qint64 remoteTime_ = -1;
    QString setAside_;  // where the replaced target went
};
