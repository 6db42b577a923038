#include "session/download_file_group.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>

DownloadFileGroup::DownloadFileGroup(TransferInfo info, const StepList& steps)
    : SocketGroup(steps), info_(std::move(info)) {
    info_.socketKind = int(SocketKind::DownloadFile);
    data().text = info_.remoteFolder;
    position_ = info_.startOffset;
}

DownloadFileGroup::~DownloadFileGroup() {
    if (!finished_)
        onFinished(false);
}

void DownloadFileGroup::onAttached() {
    if (!reportedStart_ && host()) {
        reportedStart_ = true;
        host()->transferStarted(this, info_);
    }
}

void DownloadFileGroup::fail(const QString& text) {
    if (failed_)
        return;
    failed_ = true;
    noteProblem(text);
    if (host())
        host()->reportFailure(text);
}

bool DownloadFileGroup::openTarget() {
    if (file_)
        return true;
    if (failed_)
        return false;
    if (info_.startOffset > 0) {
        // Only the file the offset was taken from is continued: one removed or
        // shortened meanwhile would get a gap of zeros before the new bytes.
        file_ = std::make_unique<QFile>(info_.localPath);
        if (!file_->open(QIODevice::ReadWrite | QIODevice::ExistingOnly) ||
            file_->size() < info_.startOffset || !file_->seek(info_.startOffset)) {
            fail(QStringLiteral("Can not open local file for resuming: ") + info_.localPath);
            file_.reset();
            return false;
        }
        return true;
    }
    const QFileInfo target(info_.localPath);
    // The temporary name must stay a legal name (255 bytes) beside the longest
    // target name.
    QString base = target.fileName();
    while (QFile::encodeName(base).size() > 200)
        base.chop(base.size() > 1 && base.back().isLowSurrogate() ? 2 : 1);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name =
            QStringLiteral(".%1.%2.part")
                .arg(base)
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        temporaryPath_ = target.dir().filePath(name);
        file_ = std::make_unique<QFile>(temporaryPath_);
        if (file_->open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
    }
    fail(QStringLiteral("Can not create local file: ") + info_.localPath);
    file_.reset();
    temporaryPath_.clear();
    return false;
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
        if (failed_ || !openTarget())
            continue;  // drain, so the server can finish
        if (position_ == info_.startOffset && host())
            host()->transferProgress(this, position_);
        if (file_->write(buffer_.constData(), filled) != filled) {
            fail(QStringLiteral("Can not write local file: ") + info_.localPath + " (" +
                 file_->errorString() + ")");
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

void DownloadFileGroup::discardTemporary() {
    if (file_)
        file_->close();
    if (!temporaryPath_.isEmpty())
        QFile::remove(temporaryPath_);
    temporaryPath_.clear();
}

void DownloadFileGroup::onFinished(bool success) {
    if (finished_)
        return;
    finished_ = true;
    bool ok = success && !failed_ && data().dataClosed;
    if (ok && !file_ && info_.startOffset == 0)
        ok = openTarget();  // an empty file: nothing arrived, still make it
    if (file_) {
        if (info_.startOffset > 0) {
            // A resume ends where the data ended.
            file_->resize(position_);
        }
        if (!file_->flush())
            ok = false;
        file_->close();
    }
    if (ok && !temporaryPath_.isEmpty()) {
        // rename(2) replaces the target in one step.
        const QByteArray from = QFile::encodeName(temporaryPath_);
        const QByteArray to = QFile::encodeName(info_.localPath);
        if (std::rename(from.constData(), to.constData()) != 0) {
            ok = false;
            fail(QStringLiteral("Can not replace local file: ") + info_.localPath);
        } else {
            temporaryPath_.clear();
        }
    }
    if (!ok)
        discardTemporary();
    GroupHost* h = host();
    if (h)
        h->transferEnded(this);
    if (onResult)
        onResult({info_, position_, ok, problem(), stopped()});
}
