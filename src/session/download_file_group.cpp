#include "session/download_file_group.h"

#include "platform/local_write.h"
#include "platform/trash_can.h"
#include "session/reply.h"
#include "session/server_features.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

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
    size_.listed = info_.total;
    remoteTime_ = info_.publish.remoteTime;
}

QString DownloadFileGroup::prepareToSend() {
    const PublishOptions& o = info_.publish.options;
    GroupHost* h = host();
    ServerFeatures* f = h ? h->serverFeatures() : nullptr;
    // The time also tells whether a local file about to be replaced is newer.
    if ((o.keepTimes || replacesTarget()) && remoteTime_ < 0 && f && f->mdtm)
        addStep("MDTM", info_.fileName);
    if (o.verify && checksum_.plan(h))
        addStep(checksum_.hash().command, info_.fileName);
    return SocketGroup::prepareToSend();
}

void DownloadFileGroup::onStepSent(const CommandStep& step) {
    if (checksum_.asks(step))
        startDigest();
}

QString DownloadFileGroup::shortfall() const {
    const GroupHost* h = host();
    return size_.shortfall(position_, info_.startOffset, h && h->binaryTransfers());
}

bool DownloadFileGroup::replacesTarget() const {
    return (info_.startOffset == 0 || info_.continuesKept) && QFileInfo::exists(info_.localPath);
}

bool DownloadFileGroup::setAsideNewerTarget() {
    // Without the server's time nothing tells which is newer.
    struct stat st;
    if (remoteTime_ < 0 || ::stat(QFile::encodeName(info_.localPath).constData(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return true;
    // Kept times are whole seconds; a second more covers file systems that
    // round them.
    if (qint64(st.st_mtim.tv_sec) <= remoteTime_ + 1)
        return true;
    QString why;
    setAside_ = TrashCan::put(info_.localPath, &why);
    if (setAside_.isEmpty()) {
        fail(QStringLiteral("Not replaced: %1 was changed after the server's copy and can not be "
                            "moved to the trash (%2); move it away and download again")
                 .arg(info_.localPath, why));
        return false;
    }
    if (GroupHost* h = host())
        h->log(LogChannel::Status, setAsideText(info_.localPath, setAside_));
    return true;
}

QString DownloadFileGroup::setAsideText(const QString& localPath, const QString& trashPath) {
    return QStringLiteral(
               "%1 was changed after the server's copy: the old file is in the trash "
               "(%2)")
        .arg(localPath, trashPath);
}

void DownloadFileGroup::startDigest() {
    const HashCommand& hash = checksum_.hash();
    if (checksum_.check.started() || !data().dataClosed || hash.command.isEmpty() ||
        !hasSentStepNamed(hash.command.constData()))
        return;
    // The part file holds every byte of the server's file, a kept start
    // included; a resume of the target itself is the target.
    checksum_.check.startFile(file_ && !partPath_.isEmpty() ? partPath_ : info_.localPath,
                              hash.algorithm);
}

void DownloadFileGroup::judge() {
    // Data that stopped short is no content to judge: it is kept to continue
    // and fails as short when the group ends.
    if (!error_.isEmpty() || !shortfall().isEmpty()) {
        checksum_.stopAwaiting();
        return;
    }
    // The digest starts only once the data connection closed.
    startDigest();
    QString failure;
    if (!checksum_.judge(info_.localPath + QStringLiteral(" not kept"), &failure))
        return;
    badContent_ = true;
    fail(failure);
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
    if (checksum_.asks(step)) {
        if (!shortfall().isEmpty())
            return true;  // fails as short when the group ends, its data kept
        badContent_ = true;
        fail(QStringLiteral("Not verified, %1 not kept: %2 refused (%3)")
                 .arg(info_.localPath, QString::fromLatin1(checksum_.hash().command))
                 .arg(code));
        return true;
    }
    return false;
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
    announceStart(info_);
}

void DownloadFileGroup::replyArrived(const Reply& reply) {
    const int last = lastSentIndex();
    if (last < 0)
        return;
    const CommandStep& step = steps()[last];
    const int code = reply.code();
    if (code == 150 && step.nameIs("RETR"))
        size_.announced = TransferSize::announcedIn(reply.lastLine());
    else if (code >= 400 && !reply.strippedLines().isEmpty())
        refusal_ = displayText(reply.strippedLines().last());
    if (step.nameIs("MDTM") && code == 213 && !reply.strippedLines().isEmpty()) {
        if (const auto t = parseFtpTime(reply.strippedLines().last().mid(4)))
            remoteTime_ = *t;
    }
    checksum_.takeReply(step, reply);
    if (checksum_.awaiting())
        judge();
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
        if (!hasSentStepNamed("RETR"))
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
        const QString missing = shortfall();
        if (!missing.isEmpty()) {
            fail(QStringLiteral("Download of %1 stopped short: %2").arg(remotePath(), missing));
            ok = false;
        }
    }
    if (ok && !file_)
        ok = openTarget();  // an empty file: nothing arrived, still make it
    QString kept;
    if (file_ && partPath_.isEmpty()) {
        // A resume of the target ends where the data ended; bytes that fail
        // the checksum are not kept after the resumed part.
        QString why;
        ResizeFile(file_->handle(), badContent_ ? info_.startOffset : position_, &why);
        file_->close();
    } else if (file_ && badContent_) {
        // Content the server's checksum contradicts is not continued either:
        // the old target stays as it was.
        file_->close();
        QFile::remove(partPath_);
    } else if (file_) {
        if (ok)
            ok = setAsideNewerTarget();
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
    if (ok && info_.publish.options.keepTimes && remoteTime_ >= 0 &&
        !setModifiedTime(info_.localPath, remoteTime_) && host())
        host()->log(LogChannel::Error,
                    QStringLiteral("Modification time not kept for %1").arg(info_.localPath));
    GroupHost* h = host();
    if (h)
        h->transferEnded(this);
    if (onResult) {
        TransferResult r{info_, position_, ok, problem(), stopped(), kept, {}, setAside_};
        if (!ok && r.error.isEmpty() && !r.stopped)
            r.error =
                refusal_.isEmpty()
                    ? QStringLiteral("Download of %1 was stopped").arg(remotePath())
                    : QStringLiteral("Download of %1 refused: %2").arg(remotePath(), refusal_);
        onResult(r);
    }
}
