#include "session/download_file_group.h"

#include "platform/local_write.h"
#include "session/reply.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/file.h>

DownloadFileGroup::DownloadFileGroup(TransferInfo info, const StepList& steps)
    : SocketGroup(steps), info_(std::move(info)) {
    info_.socketKind = int(SocketKind::DownloadFile);
    data().text = info_.remoteFolder;
    position_ = info_.startOffset;
    size_.listed = info_.total;
}

DownloadFileGroup::~DownloadFileGroup() {
    if (!finished_)
        onFinished(false);
}

PartialSource DownloadFileGroup::sourceOf(const TransferInfo& info) {
    QByteArray path = info.remoteFolder;
    if (!path.endsWith('/'))
        path += '/';
    return {path + info.fileName, info.total, info.remoteModified};
}

QString DownloadFileGroup::remotePath() const {
    return displayText(sourceOf(info_).remotePath);
}

void DownloadFileGroup::onAttached() {
    if (!reportedStart_ && host()) {
        reportedStart_ = true;
        host()->transferStarted(this, info_);
    }
}

void DownloadFileGroup::replyArrived(const Reply& reply) {
    if (reply.code() == 150 && hasSentStepNamed("RETR"))
        size_.announced = TransferSize::announcedIn(reply.lastLine());
    else if (reply.code() >= 400 && !reply.strippedLines().isEmpty())
        refusal_ = displayText(reply.strippedLines().last());
}

void DownloadFileGroup::fail(const QString& text) {
    if (!error_.isEmpty())
        return;
    error_ = text;
    noteProblem(text);
    if (host())
        host()->reportFailure(text);
}

bool DownloadFileGroup::openPart() {
    partPath_ = PartialDownload::pathFor(info_.localPath);
    file_ = std::make_unique<QFile>(partPath_);
    const QIODevice::OpenMode mode =
        QIODevice::ReadWrite | QIODevice::Unbuffered |
        (info_.continuesKept ? QIODevice::ExistingOnly : QIODevice::OpenMode());
    if (!file_->open(mode)) {
        fail(QStringLiteral("Can not create local file: %1 (%2)")
                 .arg(partPath_, file_->errorString()));
        file_.reset();
        return false;
    }
    // Two downloads of one file must not write into each other.
    if (::flock(file_->handle(), LOCK_EX | LOCK_NB) != 0) {
        fail(QStringLiteral("Another download is writing %1").arg(partPath_));
        file_.reset();
        return false;
    }
    if (info_.continuesKept) {
        const std::optional<KeptPart> kept = PartialDownload::read(*file_);
        if (!kept || kept->length != info_.startOffset || !(kept->source == sourceOf(info_))) {
            fail(QStringLiteral("The data kept in %1 changed meanwhile and is not continued")
                     .arg(partPath_));
            file_.reset();
            return false;
        }
    }
    // A part without our record was left by a run killed outright: nothing
    // says where it came from, so it starts again.
    const qint64 keep = info_.continuesKept ? info_.startOffset : 0;
    QString why;
    if (file_->size() != keep && !ResizeFile(file_->handle(), keep, &why)) {
        fail(QStringLiteral("Can not write local file: %1 (%2)").arg(partPath_, why));
        file_.reset();
        return false;
    }
    return true;
}

bool DownloadFileGroup::openTarget() {
    if (file_)
        return true;
    if (!error_.isEmpty())
        return false;
    if (info_.startOffset == 0 || info_.continuesKept)
        return openPart();
    // Only the file the offset was taken from is continued: one removed or
    // shortened meanwhile would get a gap of zeros before the new bytes.
    file_ = std::make_unique<QFile>(info_.localPath);
    if (!file_->open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        fail(QStringLiteral("Can not open local file for resuming: %1 (%2)")
                 .arg(info_.localPath, file_->errorString()));
        file_.reset();
        return false;
    }
    if (file_->size() < info_.startOffset) {
        fail(QStringLiteral("Can not open local file for resuming: %1 (it is shorter than "
                            "%2 bytes now)")
                 .arg(info_.localPath)
                 .arg(info_.startOffset));
        file_.reset();
        return false;
    }
    return true;
}

void DownloadFileGroup::receive() {
    // TLS hands out a few kB per read: what is waiting is gathered into one
    // large block, so that the file sees few large writes.
    buffer_.resize(kWriteBlock);
    for (;;) {
        qint64 filled = 0;
        while (filled < kWriteBlock) {
            const qint64 n = data().socket ? data().socket->receive(buffer_.data() + filled,
                                                                    kWriteBlock - filled)
                                           : 0;
            if (n <= 0)
                break;
            filled += n;
        }
        if (filled == 0)
            break;
        if (!error_.isEmpty() || !openTarget())
            continue;  // drain, so the server can finish
        if (position_ == info_.startOffset && host())
            host()->transferProgress(this, position_);
        QString why;
        if (!WriteAllAt(file_->handle(), buffer_.constData(), filled, position_, &why)) {
            fail(QStringLiteral("Can not write local file: %1 (%2)").arg(file_->fileName(), why));
            continue;
        }
        position_ += filled;
        if (host())
            host()->transferProgress(this, position_);
    }
}

void DownloadFileGroup::onDataEvent(SocketEvent event) {
    if (event == SocketEvent::Read) {
        if (hasUnsentStep())
            return;
        receive();
    } else if (event == SocketEvent::Close) {
        receive();
    }
}

QString DownloadFileGroup::keepPart() {
    GroupHost* h = host();
    if (position_ <= 0) {
        file_->close();
        QFile::remove(partPath_);
        return {};
    }
    QString why;
    if (!PartialDownload::seal(*file_, position_, sourceOf(info_), &why)) {
        if (h)
            h->log(LogChannel::Error, QStringLiteral("Can not keep the data of %1 for resuming: "
                                                     "%2 (%3)")
                                          .arg(remotePath(), partPath_, why));
        file_->close();
        QFile::remove(partPath_);
        return {};
    }
    if (h)
        h->log(LogChannel::Status, QStringLiteral("%1 bytes of %2 kept for resuming in %3")
                                       .arg(position_)
                                       .arg(remotePath(), partPath_));
    return partPath_;
}

void DownloadFileGroup::onFinished(bool success) {
    if (finished_)
        return;
    finished_ = true;
    bool ok = success && error_.isEmpty() && data().dataClosed;
    if (ok) {
        GroupHost* h = host();
        const QString shortfall =
            size_.shortfall(position_, info_.startOffset, h && h->binaryTransfers());
        if (!shortfall.isEmpty()) {
            fail(QStringLiteral("Download of %1 stopped short: %2").arg(remotePath(), shortfall));
            ok = false;
        }
    }
    if (ok && !file_)
        ok = openTarget();  // an empty file: nothing arrived, still make it
    QString kept;
    if (file_ && partPath_.isEmpty()) {
        // A resume of the target ends where the data ended.
        QString why;
        ResizeFile(file_->handle(), position_, &why);
        file_->close();
    } else if (file_) {
        if (ok) {
            // rename(2) replaces the target in one step.
            const QByteArray from = QFile::encodeName(partPath_);
            const QByteArray to = QFile::encodeName(info_.localPath);
            if (std::rename(from.constData(), to.constData()) != 0) {
                fail(QStringLiteral("Can not replace local file: %1 (%2)")
                         .arg(info_.localPath, QString::fromLocal8Bit(std::strerror(errno))));
                ok = false;
            }
        }
        if (!ok)
            kept = keepPart();
        file_->close();
    }
    GroupHost* h = host();
    if (h)
        h->transferEnded(this);
    if (onResult) {
        TransferResult r{info_, position_, ok, problem(), stopped(), kept};
        if (!ok && r.error.isEmpty() && !r.stopped)
            r.error =
                refusal_.isEmpty()
                    ? QStringLiteral("Download of %1 was stopped").arg(remotePath())
                    : QStringLiteral("Download of %1 refused: %2").arg(remotePath(), refusal_);
        onResult(r);
    }
}
