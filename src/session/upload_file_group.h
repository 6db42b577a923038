#pragma once

#include "session/publish_plan.h"
#include "session/sending_group.h"
#include "session/transfer_info.h"

#include <QFile>

#include <functional>

// Stores one local file on the server, read in chunks from its start offset so
// that a large file is never held in memory.
class UploadFileGroup : public SendingGroup {
public:
    UploadFileGroup(TransferInfo info, const StepList& steps);
    ~UploadFileGroup() override;

    SocketKind socketKind() const override { return SocketKind::UploadFile; }
    void onAttached() override;
    void onFinished(bool success) override;
    QString prepareToSend() override;

    // The chunk size rule: a tenth of the file, between 10000 and 100000 bytes.
    static qint64 chunkSizeFor(qint64 fileSize);

    const TransferInfo& info() const override { return info_; }
    qint64 position() const { return position_; }
    qint64 chunkSize() const { return chunkSize_; }
    qint64 fileSize() const { return fileSize_; }

    std::function<void(const TransferResult&)> onResult;

protected:
    void sendMore() override;
    qint64 storedSizeExpected() const override { return failedRead_ ? -1 : fileSize_; }
    void restartSource() override;
    bool continueSourceAt(qint64 offset) override;
    void startLocalDigest(ContentCheck& check, HashAlgorithm algorithm) override;
    qint64 localModifiedTime() const override;
    // As the file was when opened, just before the store was planned.
    QByteArray sourceVersion() const override { return version_; }

private:
    // Opens the source at the start offset; false with openError_ set.
    bool openSource();

    TransferInfo info_;
    QFile file_;
    QByteArray version_;  // of the local file when it was opened
    QString openError_;
    QString readError_;
    qint64 fileSize_ = 0;
    qint64 chunkSize_ = 10000;
    qint64 position_ = 0;
    QByteArray sendBuffer_;
    qint64 sendOffset_ = 0;
    bool sentAnything_ = false;
    bool failedRead_ = false;
    bool finished_ = false;
};
