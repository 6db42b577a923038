#include "session/download_file_group.h"

#include "session/server_features.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <cstdio>

namespace {

// The local file takes the server's time; the access time stays.
bool setModifiedTime(const QString& path, qint64 utcSeconds) {
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time_t(utcSeconds);
    times[1].tv_nsec = 0;
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

}  // namespace

DownloadFileGroup::DownloadFileGroup(TransferInfo info, const StepList& steps)
    : SocketGroup(steps), info_(std::move(info)) {
    info_.socketKind = int(SocketKind::DownloadFile);
    data().text = info_.remoteFolder;
    position_ = info_.startOffset;
    remoteTime_ = info_.publish.remoteTime;
}

QString DownloadFileGroup::prepareToSend() {
    const PublishOptions& o = info_.publish.options;
    GroupHost* h = host();
    ServerFeatures* f = h ? h->serverFeatures() : nullptr;
    if (o.keepTimes && remoteTime_ < 0 && f && f->mdtm)
        addStep("MDTM", info_.fileName);
    if (o.verify) {
        hash_ = f ? f->hashCommand() : HashCommand();
        if (!hash_.command.isEmpty()) {
            addStep(hash_.command, info_.fileName);
        } else if (f && !f->noHashReported && h) {
            f->noHashReported = true;
            h->reportFailure(QStringLiteral(
                "The server offers no checksum command (HASH, XSHA256, XSHA1, XMD5, XCRC): "
                "transfers are not verified"));
        }
    }
    return SocketGroup::prepareToSend();
}

void DownloadFileGroup::onStepSent(const CommandStep& step) {
    if (!hash_.command.isEmpty() && step.nameIs(hash_.command.constData()))
        startDigest();
}

void DownloadFileGroup::startDigest() {
    if (check_.started() || !data().dataClosed || hash_.command.isEmpty() ||
        !hasSentStepNamed(hash_.command.constData()))
        return;
    if (file_)
        file_->flush();
    check_.startFile(temporaryPath_.isEmpty() ? info_.localPath : temporaryPath_, hash_.algorithm);
}

void DownloadFileGroup::replyArrived(const Reply& reply) {
    const int last = lastSentIndex();
    if (last < 0)
        return;
    const CommandStep& step = steps()[last];
    const int code = reply.code();
    if (step.nameIs("MDTM") && code == 213 && !reply.strippedLines().isEmpty()) {
        if (const auto t = parseFtpTime(reply.strippedLines().last().mid(4)))
            remoteTime_ = *t;
    }
    if (!hash_.command.isEmpty() && step.nameIs(hash_.command.constData()) && code >= 200 &&
        code < 300 && !check_.answered()) {
        check_.takeReply(reply, hash_);
        awaitingVerdict_ = true;
    }
    if (awaitingVerdict_)
        judge();
}

void DownloadFileGroup::judge() {
    // The digest starts only once the data connection closed.
    startDigest();
    const ContentCheck::Verdict v = check_.verdict();
    if (v == ContentCheck::Verdict::Waiting)
        return;
    awaitingVerdict_ = false;
    if (v == ContentCheck::Verdict::Match)
        return;
    badContent_ = true;
    fail(QStringLiteral("%1, %2 not kept: %3")
             .arg(v == ContentCheck::Verdict::Mismatch ? QStringLiteral("Checksum differs")
                                                       : QStringLiteral("Not verified"),
                  info_.localPath, check_.why()));
}

bool DownloadFileGroup::takeRefusal(const CommandStep& step, int code) {
    GroupHost* h = host();
    if (step.nameIs("MDTM")) {
        if (h)
            h->log(LogChannel::Error,
                   QStringLiteral("Modification time not kept for %1: MDTM refused (%2)")
                       .arg(info_.localPath)
                       .arg(code));
        return true;
    }
    if (!hash_.command.isEmpty() && step.nameIs(hash_.command.constData())) {
        badContent_ = true;
        fail(QStringLiteral("Not verified, %1 not kept: %2 refused (%3)")
                 .arg(info_.localPath, QString::fromLatin1(hash_.command))
                 .arg(code));
        return true;
    }
    return false;
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
        if (!hasSentStepNamed("RETR"))
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
    if (badContent_ && info_.startOffset > 0) {
        // Bytes that fail the checksum are not kept after the resumed part.
        QFile::resize(info_.localPath, info_.startOffset);
    }
    if (!ok)
        discardTemporary();
    if (ok && info_.publish.options.keepTimes && remoteTime_ >= 0 &&
        !setModifiedTime(info_.localPath, remoteTime_) && host())
        host()->log(LogChannel::Error,
                    QStringLiteral("Modification time not kept for %1").arg(info_.localPath));
    GroupHost* h = host();
    if (h)
        h->transferEnded(this);
    if (onResult)
        onResult({info_, position_, ok, problem(), stopped()});
}
