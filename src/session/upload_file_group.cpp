#include "session/upload_file_group.h"

#include <QDateTime>
#include <QFileInfo>

UploadFileGroup::UploadFileGroup(TransferInfo info, const StepList& steps)
    : SendingGroup(steps), info_(std::move(info)) {
    info_.socketKind = int(SocketKind::UploadFile);
    data().text = info_.remoteFolder;
    // Looked at now for the size and an early refusal, opened again at its
    // turn: a long queue of uploads holds no file open.
    if (openSource())
        file_.close();
}

bool UploadFileGroup::openSource() {
    file_.setFileName(info_.localPath);
    if (!file_.open(QIODevice::ReadOnly)) {
        openError_ = QStringLiteral("Can not open local file: ") + info_.localPath + " (" +
                     file_.errorString() + ")";
        return false;
    }
    fileSize_ = file_.size();
    chunkSize_ = chunkSizeFor(fileSize_);
    version_ = localFileVersion(info_.localPath);
    PublishPlan& p = info_.publish;
    if (p.continuesTemporary && !uploadTagOfVersion(p.temporaryTag, version_)) {
        // Changed since its folder was listed: what the temporary holds is the
        // start of another version. It goes whole, and the temporary goes.
        p.staleTemporaries.push_back(uploadTemporaryName(info_.fileName, p.temporaryTag));
        p.continuesTemporary = false;
        p.asksTemporarySize = false;
        p.temporaryTag.clear();
        info_.startOffset = 0;
        steps().removeIf([](const CommandStep& step) { return step.nameIs("REST"); });
    }
    // The server's part holds the start of the file: the rest goes after it
    // (nothing, when the part is whole). A file now shorter than that part is
    // not the one it came from, and nothing goes after the REST.
    position_ = 0;
    if (info_.startOffset > 0) {
        if (info_.startOffset > fileSize_ || !file_.seek(info_.startOffset)) {
            openError_ = QStringLiteral(
                             "The local file %1 changed: it is shorter than the "
                             "part already on the server")
                             .arg(info_.localPath);
            file_.close();
            return false;
        }
        position_ = info_.startOffset;
    }
    info_.total = fileSize_;
    return true;
}

UploadFileGroup::~UploadFileGroup() {
    if (!finished_)
        onFinished(false);
}

qint64 UploadFileGroup::chunkSizeFor(qint64 fileSize) {
    return qBound(qint64(10000), fileSize / 10, qint64(100000));
}

QString UploadFileGroup::prepareToSend() {
    // The source is opened at its turn. Without it the store would only
    // truncate the server's file.
    if (openError_.isEmpty() && !file_.isOpen())
        openSource();
    if (!openError_.isEmpty())
        return openError_;
    return SendingGroup::prepareToSend();
}

void UploadFileGroup::restartSource() {
    file_.close();
    info_.startOffset = 0;
    sendBuffer_.clear();
    sendOffset_ = 0;
    sentAnything_ = false;
    failedRead_ = false;
    readError_.clear();
    openError_.clear();
    if (!openSource())
        failedRead_ = true;
}

bool UploadFileGroup::continueSourceAt(qint64 offset) {
    if (!file_.isOpen() || offset > fileSize_ || !file_.seek(offset))
        return false;
    position_ = offset;
    info_.startOffset = offset;
    return true;
}

void UploadFileGroup::startLocalDigest(ContentCheck& check, HashAlgorithm algorithm) {
    check.startFile(info_.localPath, algorithm);
}

qint64 UploadFileGroup::localModifiedTime() const {
    const QFileInfo f(info_.localPath);
    return f.exists() ? f.lastModified().toSecsSinceEpoch() : -1;
}

void UploadFileGroup::onAttached() {
    if (openError_.isEmpty())
        announceStart(info_);
}

void UploadFileGroup::sendMore() {
    if (data().dataClosed || !data().socket)
        return;
    if (!file_.isOpen() && !failedRead_ && !openSource()) {
        readError_ = openError_;
        sourceFailed(openError_);
        failedRead_ = true;
        finishData();
        return;
    }
    if (!sentAnything_) {
        sentAnything_ = true;
        reportSent(position_, true);
    }
    for (;;) {
        if (sendOffset_ >= sendBuffer_.size()) {
            const qint64 want = qMin(chunkSize_, fileSize_ - position_);
            if (want <= 0) {
                // Written to while it was read: what went out mixes two versions.
                if (localFileVersion(info_.localPath) != version_) {
                    readError_ = QStringLiteral("The local file %1 changed while it was sent")
                                     .arg(info_.localPath);
                    sourceFailed(readError_);
                    failedRead_ = true;
                }
                finishData();
                return;
            }
            sendBuffer_.resize(want);
            const qint64 got = file_.read(sendBuffer_.data(), want);
            if (got <= 0) {
                readError_ =
                    QStringLiteral("Can not read local file: ") + info_.localPath + " (" +
                    (got < 0 ? file_.errorString() : QStringLiteral("it is shorter than it was")) +
                    ")";
                sourceFailed(readError_);
                // Stop short: the server's file stays incomplete, not silently good.
                file_.close();
                fileSize_ = position_;
                sendBuffer_.clear();
                sendOffset_ = 0;
                failedRead_ = true;
                finishData();
                return;
            }
            sendBuffer_.resize(got);
            sendOffset_ = 0;
            position_ += got;
        }
        const qint64 n = data().socket->send(sendBuffer_.constData() + sendOffset_,
                                             sendBuffer_.size() - sendOffset_);
        if (n <= 0) {
            data().socket->setWritable(false);
            return;
        }
        sendOffset_ += n;
        reportSent(position_ - (sendBuffer_.size() - sendOffset_));
    }
}

void UploadFileGroup::onFinished(bool success) {
    if (finished_)
        return;
    finished_ = true;
    file_.close();
    const bool ok = success && data().dataClosed && !failedRead_ && published();
    announceEnd();
    if (onResult) {
        TransferResult r{info_,
                         position_,
                         ok,
                         problem(),
                         stopped(),
                         {},
                         !ok && leftTemporary() ? storedName() : QByteArray(),
                         {}};
        if (!ok && r.error.isEmpty())
            r.error = !publishError().isEmpty() ? publishError() : readError_;
        onResult(r);
    }
}
