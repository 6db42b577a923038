#include "session/sending_group.h"

#include "platform/format.h"
#include "session/reply.h"
#include "session/server_features.h"

#include <QTimer>

namespace {

// What a SIZE reply says after its code: the size, or whatever stands there.
QByteArray sizeAnswered(const Reply& reply) {
    const QList<QByteArray> lines = reply.strippedLines();
    return lines.isEmpty() ? QByteArray() : lines.last().mid(3).trimmed();
}

bool isStore(const CommandStep& step) {
    return step.nameIs("STOR") || step.nameIs("APPE");
}

QString shown(const QByteArray& folder, const QByteArray& name) {
    QByteArray path = folder;
    if (!path.endsWith('/'))
        path += '/';
    return QString::fromUtf8(path + name);
}

}  // namespace

QString SendingGroup::prepareToSend() {
    if (!planned_) {
        planned_ = true;
        plan();
    }
    return SocketGroup::prepareToSend();
}

bool SendingGroup::storeSent() const {
    const int last = lastSentIndex();
    return last >= 0 && isStore(steps()[last]);
}

void SendingGroup::plan() {
    int store = -1;
    for (int i = steps().size() - 1; i >= 0 && store < 0; --i)
        if (isStore(steps()[i]))
            store = i;
    if (store < 0)
        return;
    const TransferInfo& t = info();
    const PublishPlan& p = t.publish;
    finalName_ = steps()[store].argument;
    storedName_ = finalName_;
    // A resume of the file itself continues what is there already: it stays
    // where it is.
    const bool inPlace = t.startOffset > 0 && !p.continuesTemporary;
    temporary_ = p.options.atomic && !inPlace;
    if (temporary_) {
        storedName_ = uploadTemporaryName(
            finalName_, p.temporaryTag.isEmpty() ? newUploadTag(sourceVersion()) : p.temporaryTag);
        QByteArray command = steps()[store].name;
        if (p.continuesTemporary && t.startOffset > 0) {
            const ServerFeatures* f = host() ? host()->serverFeatures() : nullptr;
            if (!f || !f->rest) {
                // Without REST the temporary is continued by appending.
                for (int i = store - 1; i >= 0; --i) {
                    if (steps()[i].nameIs("REST")) {
                        steps().removeAt(i);
                        --store;
                    }
                }
                command = "APPE";
            }
        }
        steps()[store] = CommandStep(command, storedName_);
        // SIZE counts other bytes than were sent in ASCII mode.
        GroupHost* h = host();
        if (p.continuesTemporary && p.asksTemporarySize && h && h->checksStoredSize()) {
            // Where the data connection is asked for: after any change of folder.
            int pasv = 0;
            while (pasv < store && !steps()[pasv].nameIs("PASV"))
                ++pasv;
            askingTemporarySize_ = true;
            steps().insert(pasv, CommandStep("SIZE", storedName_));
        }
    }
    appendTail();
}

void SendingGroup::continueTemporary(const Reply& reply) {
    askingTemporarySize_ = false;
    if (reply.code() == 550 && info().startOffset > 0) {
        // Gone since: nothing to go on after, the bytes go whole.
        steps().removeIf([](const CommandStep& s) { return !s.sent && s.nameIs("REST"); });
        restartSource();
        return;
    }
    bool ok = false;
    const qint64 held = sizeAnswered(reply).toLongLong(&ok);
    if (reply.code() != 213 || !ok || held <= 0 || held == info().startOffset ||
        !continueSourceAt(held))
        return;
    int store = -1;
    for (int i = 0; i < steps().size() && store < 0; ++i)
        if (!steps()[i].sent && isStore(steps()[i]))
            store = i;
    if (store < 0)
        return;
    const ServerFeatures* f = host() ? host()->serverFeatures() : nullptr;
    int rest = -1;
    for (int i = store - 1; i >= 0 && rest < 0; --i)
        if (steps()[i].nameIs("REST"))
            rest = i;
    if (f && f->rest) {
        if (rest >= 0)
            steps()[rest].argument = QByteArray::number(held);
        else
            steps().insert(store, CommandStep("REST", QByteArray::number(held)));
    } else {
        // Without REST the temporary is continued by appending.
        if (rest >= 0) {
            steps().removeAt(rest);
            --store;
        }
        steps()[store] = CommandStep("APPE", storedName_);
    }
    if (GroupHost* h = host())
        h->log(LogChannel::Status,
               QStringLiteral("%1 goes on from byte %2, where its temporary ends")
                   .arg(shown(info().remoteFolder, finalName_), FormatGrouped(quint64(held))));
}

void SendingGroup::appendTail() {
    const PublishPlan& p = info().publish;
    GroupHost* h = host();
    ServerFeatures* f = h ? h->serverFeatures() : nullptr;
    // A direct store whose folder is listed after its files is checked there.
    if (h && h->checksStoredSize() && !(p.sizeCheck && !temporary_))
        addStep("SIZE", storedName_);
    if (p.options.verify && checksum_.plan(h))
        addStep(checksum_.hash().command, storedName_);
    if (p.options.keepTimes && f && f->mfmt) {
        const qint64 time = localModifiedTime();
        if (time >= 0)
            addStep("MFMT", ftpTimeText(time) + ' ' + storedName_);
    } else if (p.options.keepTimes && f && !f->noMfmtReported) {
        f->noMfmtReported = true;
        h->log(LogChannel::Status,
               QStringLiteral("The server offers no MFMT: uploaded files get the time of their "
                              "upload, not their own"));
    }
    if (temporary_) {
        // Always the rename first, even on a server known to refuse renaming
        // onto a file: only a temporary that RNFR found may cost the old file.
        addStep("RNFR", storedName_);
        addStep("RNTO", finalName_);
    }
    removeStaleTemporaries();
}

void SendingGroup::removeStaleTemporaries() {
    // Once the file is in place; a refusal means another upload took it.
    for (const QByteArray& stale : info().publish.staleTemporaries)
        if (stale != storedName_)
            addStep("DELE", stale);
}

void SendingGroup::onStepSent(const CommandStep& step) {
    if (isStore(step))
        storeStarted_ = true;
    if (isStore(step) && data().socket && data().socket->writable())
        sendMore();
    if (checksum_.asks(step) && !checksum_.check.started())
        startLocalDigest(checksum_.check, checksum_.hash().algorithm);
}

void SendingGroup::dropUnsent() {
    for (int i = steps().size() - 1; i >= 0; --i)
        if (!steps()[i].sent)
            steps().removeAt(i);
}

QString SendingGroup::failedPath() const {
    const QString path = shown(info().remoteFolder, finalName_);
    return temporary_ ? path + QStringLiteral(" not replaced") : path + QStringLiteral(" stored");
}

void SendingGroup::fail(const QString& text) {
    publishFailed_ = true;
    if (publishError_.isEmpty())
        publishError_ = text;
    if (GroupHost* h = host())
        h->reportFailure(text);
}

void SendingGroup::replyArrived(const Reply& reply) {
    const int last = lastSentIndex();
    if (last < 0)
        return;
    const CommandStep& step = steps()[last];
    const int code = reply.code();
    // The temporary is renamed, removed, or not found where it was stored.
    if (temporary_) {
        const bool removal = step.nameIs("DELE") && step.argument == storedName_;
        if ((step.nameIs("RNTO") && code < 400) || (removal && (code < 400 || code >= 500)) ||
            (step.nameIs("RNFR") && code >= 500) || (isStore(step) && code >= 400))
            temporaryGone_ = true;
    }
    // The server says it has every byte: nothing is left unacknowledged.
    if (isStore(step) && code >= 200 && code < 300)
        reportProgress(handedOver_);
    if (step.nameIs("SIZE") && askingTemporarySize_) {
        continueTemporary(reply);
        return;
    }
    // Every answer to it counts, a refusal too; takeRefusal lets it pass.
    if (step.nameIs("SIZE") && confirmingTemporary_) {
        judgeTemporaryBeforeDelete(reply);
        return;
    }
    if (step.nameIs("SIZE") && code == 213 && !publishFailed_) {
        judgeSize(reply);
        return;
    }
    checksum_.takeReply(step, reply);
    if (checksum_.awaiting())
        judge();
}

void SendingGroup::judge() {
    QString failure;
    if (!checksum_.judge(failedPath(), &failure))
        return;
    fail(failure);
    abandonStored();
}

void SendingGroup::reportProgress(qint64 position) {
    if (position <= reported_)
        return;
    reported_ = position;
    if (GroupHost* h = host())
        h->transferProgress(this, position);
}

qint64 SendingGroup::reportAcknowledged() {
    const AsyncSocket* socket = data().socket.get();
    const qint64 waiting = socket ? socket->unacknowledgedBytes() : 0;
    reportProgress(handedOver_ - waiting);
    return waiting;
}

void SendingGroup::reportSent(qint64 handedOver, bool start) {
    handedOver_ = handedOver;
    if (start) {
        // Said as it is, also when a restart goes back before what was said.
        reported_ = handedOver - 1;
        reportProgress(handedOver);
        return;
    }
    static const QString kPoll = QStringLiteral("acknowledgements");
    AsyncSocket* socket = data().socket.get();
    if (reportAcknowledged() <= 0 || !socket ||
        socket->findChild<QTimer*>(kPoll, Qt::FindDirectChildrenOnly))
        return;
    // Acknowledgements arrive without an event of their own. The timer goes
    // with the socket, which goes with this group.
    auto* timer = new QTimer(socket);
    timer->setObjectName(kPoll);
    timer->setInterval(kAcknowledgementPollMs);
    QObject::connect(timer, &QTimer::timeout, socket, [this, timer] {
        if (reportAcknowledged() <= 0)
            timer->deleteLater();
    });
    timer->start();
}

void SendingGroup::sourceFailed(const QString& text) {
    fail(text);
    abandonStored();
}

void SendingGroup::abandonStored() {
    dropUnsent();
    // A temporary known to be wrong is never continued.
    if (temporary_)
        addStep("DELE", storedName_);
}

void SendingGroup::judgeSize(const Reply& reply) {
    const qint64 expected = storedSizeExpected();
    const QByteArray value = sizeAnswered(reply);
    bool ok = false;
    const qint64 stored = value.toLongLong(&ok);
    if (expected < 0 || (ok && stored == expected))
        return;
    QString text =
        QStringLiteral("Upload of %1 failed: the server's file has %2 bytes, the local one %3")
            .arg(shown(info().remoteFolder, finalName_),
                 ok ? FormatGrouped(quint64(qMax<qint64>(stored, 0))) : displayText(value),
                 FormatGrouped(quint64(expected)));
    if (temporary_)
        text += QStringLiteral("; the old file stays");
    fail(text);
    abandonStored();
}

void SendingGroup::judgeTemporaryBeforeDelete(const Reply& reply) {
    confirmingTemporary_ = false;
    const int code = reply.code();
    const qint64 expected = storedSizeExpected();
    bool ok = false;
    const QByteArray value = sizeAnswered(reply);
    const qint64 stored = value.toLongLong(&ok);
    // A server without SIZE can not tell: the rename found the temporary.
    const bool unknown = code >= 500 && code != 550;
    if (unknown || (code == 213 && (!ok || expected < 0 || stored == expected)))
        return;
    fail(QStringLiteral("%1 not replaced: the stored copy %2 was renamed or changed by someone "
                        "else before its rename; the old file stays")
             .arg(shown(info().remoteFolder, finalName_), QString::fromUtf8(storedName_)));
    dropUnsent();
}

bool SendingGroup::takeRefusal(const CommandStep& step, int code) {
    GroupHost* h = host();
    if (isStore(step) && temporary_ && !fellBack_ && (code == 550 || code == 553)) {
        fellBack_ = true;
        temporary_ = false;
        if (h)
            h->log(LogChannel::Status,
                   QStringLiteral("The server refused the temporary name %1 (%2): %3 is stored "
                                  "directly, its replacement is not atomic there")
                       .arg(QString::fromUtf8(storedName_))
                       .arg(code)
                       .arg(shown(info().remoteFolder, finalName_)));
        dropUnsent();
        resetData();
        restartSource();
        storedName_ = finalName_;
        addStep("PASV");
        addStep("STOR", finalName_);
        appendTail();
        return true;
    }
    // The rename of the temporary is refused: nothing more is sent, and the
    // file visitors read is never deleted for a temporary RNFR did not find.
    const auto renameFailed = [&] {
        const QString where = renameRetried_ ? shown(info().remoteFolder, finalName_) +
                                                   QStringLiteral(" not in place")
                                             : failedPath();
        QString text =
            QStringLiteral("%1: the stored copy %2 could not be renamed (%3 refused, %4)")
                .arg(where, QString::fromUtf8(storedName_), QString::fromLatin1(step.name))
                .arg(code);
        // It was there after the store: someone took it away since.
        if (step.nameIs("RNFR") && code == 550)
            text += QStringLiteral(
                "; another upload of the file may have put its own in place "
                "and removed this one");
        fail(text);
        dropUnsent();
        return true;
    };
    if (step.nameIs("RNFR") && temporary_)
        return renameFailed();
    // Refused onto an existing file (the temporary was found by RNFR): the old
    // file goes first. Any other refusal (a broken sequence, a lost
    // connection's answer) leaves everything as it is.
    const bool renameOverRefused = code == 550 || code == 553 || code == 450;
    if (step.nameIs("RNTO") && temporary_ && !renameRetried_ && !publishFailed_ &&
        renameOverRefused) {
        renameRetried_ = true;
        ServerFeatures* f = h ? h->serverFeatures() : nullptr;
        // Said once a connection.
        if (h && !(f && f->renameOverRefused))
            h->log(LogChannel::Status,
                   QStringLiteral("The server would not rename onto %1 (%2): the old file is "
                                  "deleted first")
                       .arg(shown(info().remoteFolder, finalName_))
                       .arg(code));
        if (f)
            f->renameOverRefused = true;
        dropUnsent();
        confirmingTemporary_ = true;
        addStep("SIZE", storedName_);
        addStep("DELE", finalName_);
        addStep("RNFR", storedName_);
        addStep("RNTO", finalName_);
        removeStaleTemporaries();
        return true;
    }
    if (step.nameIs("RNTO") && temporary_)
        return renameFailed();
    if (step.nameIs("DELE"))
        return true;  // nothing of that name to remove
    if (step.nameIs("SIZE"))
        return true;  // a server that will not tell is trusted
    if (step.nameIs("MFMT")) {
        if (h)
            h->log(LogChannel::Error,
                   QStringLiteral("Modification time not kept for %1: MFMT refused (%2)")
                       .arg(shown(info().remoteFolder, finalName_))
                       .arg(code));
        return true;
    }
    if (checksum_.asks(step)) {
        fail(QStringLiteral("Not verified, %1: %2 refused (%3)")
                 .arg(failedPath(), QString::fromLatin1(checksum_.hash().command))
                 .arg(code));
        abandonStored();
        return true;
    }
    return false;
}
