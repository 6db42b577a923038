#include "session/ftp_session.h"

#include "session/listing_group.h"
#include "session/passive_reply.h"
#include "session/socket_group.h"
#include "session/user_listing_group.h"

#include <QPointer>

#include <algorithm>

namespace {

// A reply as one line of text for people: its last line, without the line end.
QString replySentence(const Reply& reply) {
    return QString::fromUtf8(reply.lastLine()).trimmed();
}

bool lastSentIs(const CommandGroup* group, const char* name) {
    const int last = group ? group->lastSentIndex() : -1;
    return last >= 0 && group->steps()[last].nameIs(name);
}

}  // namespace

FtpSession::FtpSession(TransportFactory* factory, QObject* parent)
    : QObject(parent), factory_(factory), control_(factory), queue_(this) {
    connectTimer_.setSingleShot(true);
    replyTimer_.setSingleShot(true);
    QObject::connect(&connectTimer_, &QTimer::timeout, this, &FtpSession::onConnectTimer);
    QObject::connect(&keepAliveTimer_, &QTimer::timeout, this, &FtpSession::onKeepAliveTimer);
    QObject::connect(&replyTimer_, &QTimer::timeout, this, [this] {
        const int d = scheduledDelay_;
        scheduledDelay_ = -1;
        processReplies(d < 0 ? 0 : d);
    });
    QObject::connect(&control_, &AsyncSocket::socketEvent, this, &FtpSession::onControlEvent);
    QObject::connect(&control_, &ControlSocket::bytesSent, this, &FtpSession::onBytesSent);
    QObject::connect(&control_, &AsyncSocket::socketFailed, this, [this](const QString& why) {
        if (tlsPhase_ == TlsPhase::Handshake) {
            protocolViolation(QStringLiteral("TLS handshake failed: ") + why);
            return;
        }
        log(LogChannel::Trace, QStringLiteral("Control connection: ") + why);
    });
}

FtpSession::~FtpSession() {
    // Groups tell the session about their end while they are destroyed.
    queue_.clear();
    queue_.setHost(nullptr);
}

void FtpSession::setOptions(const SessionOptions& options) {
    const bool keepAliveChanged =
        (options.keepAliveInterval == 0) != (options_.keepAliveInterval == 0);
    options_ = options;
    if (keepAliveChanged && isConnected())
        restartKeepAlive();
}

bool FtpSession::serverSupportsSize() const {
    // A transfer connection asks no FEAT: it knows what the main one learnt.
    return featIndex_.contains("SIZE") || helpIndex_.contains("SIZE") || features_.size;
}

QByteArray FtpSession::listingCommand() const {
    return serverSupportsMlsd() && options_.preferMlsd ? QByteArray("MLSD") : QByteArray("LIST");
}

// ---------------------------------------------------------------- connection

void FtpSession::connectNew() {
    control_.close();
    noteStoppedForAll();
    queue_.clear();
    featReply_ = Reply();
    helpReply_ = Reply();
    featReceived_ = helpReceived_ = false;
    featIndex_.clear();
    helpIndex_.clear();
    features_ = ServerFeatures();
    flags_ = 0;
    emit loggedInChanged(false);
    connectToSite();
}

void FtpSession::reconnect() {
    control_.close();
    connectToSite();
}

void FtpSession::connectToSite() {
    // Work of a connection that was still up is stopped by connecting anew.
    noteStoppedForAll();
    queue_.clear();
    // Nothing of an earlier connection may leak into this one.
    pending_.clear();
    assembler_.clear();
    sentPartial_.clear();
    replyTimer_.stop();
    scheduledDelay_ = -1;
    tlsPhase_ = TlsPhase::Plain;
    dataProtected_ = false;
    loggedInNow_ = false;
    ++connectionSerial_;
    log(LogChannel::Status, QStringLiteral("Resolving address of ") + options_.host);
    control_.open(options_.host, options_.port);
    awaitingWelcome_ = false;
    connectTimer_.start(options_.connectTimeoutMs);
    restartKeepAlive();
}

void FtpSession::closeConnection() {
    control_.close();
    awaitingWelcome_ = false;
    tlsPhase_ = TlsPhase::Plain;
    dataProtected_ = false;
    ++connectionSerial_;
    connectTimer_.stop();
    keepAliveTimer_.stop();
    flags_ = 0;
    noteStoppedForAll();
    queue_.clear();
    emit loggedInChanged(false);
    emit connectionClosed();
}

void FtpSession::noteProblemForAll(const QString& text) {
    for (int i = 0; i < queue_.size(); ++i)
        queue_.at(i)->noteProblem(text);
}

void FtpSession::noteStoppedForAll() {
    for (int i = 0; i < queue_.size(); ++i) {
        CommandGroup* g = queue_.at(i);
        if (g->problem().isEmpty())
            g->noteStopped();
    }
}

void FtpSession::onConnectTimer() {
    connectTimer_.stop();
    // A server that takes the connection and says nothing is not waited for
    // for ever: nothing else would close it or let it be opened again.
    if (std::exchange(awaitingWelcome_, false)) {
        protocolViolation(QStringLiteral("The server sent no welcome message in %1 seconds, "
                                         "connection closed")
                              .arg(options_.welcomeTimeoutMs / 1000));
        return;
    }
    if (tlsPhase_ == TlsPhase::Handshake) {
        protocolViolation(
            QStringLiteral("TLS handshake failed: the server did not answer in time"));
        return;
    }
    log(LogChannel::Status, QStringLiteral("Connection failed, could not connect to server"));
    control_.close();
    emit connectFailed();
}

void FtpSession::onControlEvent(SocketEvent event) {
    switch (event) {
        case SocketEvent::Read:
            onReadable();
            break;
        case SocketEvent::Write:
            control_.flush();
            break;
        case SocketEvent::Connect:
            awaitingWelcome_ = true;
            connectTimer_.start(options_.welcomeTimeoutMs);
            log(LogChannel::Status,
                QStringLiteral("Connection established, waiting for welcome message..."));
            break;
        case SocketEvent::Secured:
            onSecured();
            break;
        case SocketEvent::Close:
            if (tlsPhase_ == TlsPhase::Handshake) {
                protocolViolation(
                    QStringLiteral("TLS handshake failed: the server closed the connection"));
                break;
            }
            onReadable();  // what the server said last still counts
            if (!control_.isOpen())
                break;  // it broke the rules in those last bytes: closed already
            if (std::exchange(awaitingWelcome_, false))
                connectTimer_.stop();
            control_.close();
            noteProblemForAll(QStringLiteral("The server closed the connection"));
            log(LogChannel::Status,
                QStringLiteral("Connection closed, waiting for re-connection..."));
            emit disconnected();
            break;
    }
}

void FtpSession::protocolViolation(const QString& text) {
    awaitingWelcome_ = false;
    log(LogChannel::Error, text);
    noteProblemForAll(text);
    control_.close();
    connectTimer_.stop();
    tlsPhase_ = TlsPhase::Plain;
    ++connectionSerial_;
    assembler_.clear();
    log(LogChannel::Status, QStringLiteral("Connection closed, waiting for re-connection..."));
    emit failure(text);
    emit disconnected();
}

void FtpSession::onReadable() {
    QList<QByteArray> lines;
    const bool ok = control_.readLines(&lines);
    for (const QByteArray& line : lines)
        assembler_.feed(line);
    if (assembler_.overflowed()) {
        protocolViolation(QStringLiteral("Server reply has more than %1 lines, connection closed")
                              .arg(ReplyAssembler::kMaxReplyLines));
        return;
    }
    if (!ok) {
        protocolViolation(
            QStringLiteral("Server sent a line longer than %1 bytes, connection closed")
                .arg(ControlSocket::kMaxLineLength));
        return;
    }
    const QList<Reply> complete = assembler_.takeComplete();
    if (complete.isEmpty())
        return;
    for (const Reply& r : complete) {
        LogLine line;
        line.channel = LogChannel::Reply;
        line.lines = r.strippedLines();
        line.text = formatReplyWhole(line.lines);
        line.bold = r.code() > 399;
        emit logLine(line);
        pending_.push_back(r);
    }
    scheduleReplies(0);
}

void FtpSession::onBytesSent(const QByteArray& bytes) {
    sentPartial_ += bytes;
    qsizetype start = 0;
    for (;;) {
        const qsizetype lf = sentPartial_.indexOf('\n', start);
        if (lf < 0)
            break;
        QByteArray line = maskPassword(sentPartial_.mid(start, lf - start));
        start = lf + 1;
        while (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            log(LogChannel::Sent, displayText(line));
    }
    sentPartial_.remove(0, start);
}

// ------------------------------------------------------------------- logging

void FtpSession::log(LogChannel channel, const QString& text) {
    LogLine line;
    line.channel = channel;
    line.text = text;
    emit logLine(line);
}

void FtpSession::info(int level, const QString& text) {
    LogLine line;
    line.channel = LogChannel::Info;
    line.text = text;
    line.level = level;
    emit logLine(line);
}

void FtpSession::reportFailure(const QString& text) {
    // Groups report their own failures, and only the head is at work.
    if (CommandGroup* head = queue_.head())
        head->noteProblem(text);
    log(LogChannel::Error, text);
    emit failure(text);
}

// --------------------------------------------------------------------- queue

void FtpSession::sendCommand(const QByteArray& name, const QByteArray& argument) {
    const bool wasEmpty = queue_.isEmpty();
    queue_.addCommand(name, argument);
    if (wasEmpty)
        advance(false);
}

void FtpSession::sendGroup(const StepList& steps) {
    const bool wasEmpty = queue_.isEmpty();
    queue_.append(std::make_unique<UserListingGroup>(ListingPurpose::User, steps));
    if (wasEmpty)
        advance(false);
}

void FtpSession::advance(bool continueGroup) {
    while (!queue_.isEmpty()) {
        CommandGroup* g = queue_.head();
        if (gate_ && g->lastSentIndex() < 0 && gate_->holds(*g)) {
            gate_->take(queue_.takeAt(0));
            continue;
        }
        if (g->kind() == GroupKind::Fake) {
            std::unique_ptr<CommandGroup> owned = queue_.takeAt(0);
            tellMarker(*static_cast<FakeGroup*>(owned.get()));
            continue;
        }
        // Nothing but the login goes out before the server has let us in: work
        // handed over meanwhile waits behind it.
        if (!loggedInNow_ && g->lastSentIndex() < 0 && !isLoginGroup(*g))
            return;
        if (g->lastSentIndex() < 0) {
            const QString refusal = g->prepareToSend();
            if (!refusal.isEmpty()) {
                log(LogChannel::Error, refusal);
                emit failure(refusal);
                g->noteProblem(refusal);
                std::unique_ptr<CommandGroup> owned = queue_.takeAt(0);
                owned->onFinished(false);
                continueGroup = false;
                continue;
            }
        }
        int index = -1;
        if (continueGroup)
            index = g->firstUnsentIndex();
        else if (!g->steps().isEmpty() && !g->steps().first().sent)
            index = 0;
        if (index < 0)
            return;
        CommandStep& step = g->steps()[index];
        step.sent = true;
        control_.sendLine(step.wireText());
        if (g->kind() == GroupKind::Socket)
            static_cast<SocketGroup*>(g)->stepSent(step);
        g->onStepSent(step);
        return;
    }
    emit idle();
}

void FtpSession::tellMarker(const FakeGroup& f) {
    if (f.fakeKind == FakeKind::DownloadToFolder)
        emit downloadToFolder(f.folder);
    else
        emit taskMarker(int(f.fakeKind), f.value, f.caption, f.ownerToken, f.taskId);
}

void FtpSession::release(std::unique_ptr<CommandGroup> group) {
    std::vector<std::unique_ptr<CommandGroup>> one;
    one.push_back(std::move(group));
    release(std::move(one));
}

void FtpSession::release(std::vector<std::unique_ptr<CommandGroup>> groups) {
    const bool onlyMarkers = std::all_of(groups.begin(), groups.end(), [](const auto& g) {
        return g && g->kind() == GroupKind::Fake;
    });
    if (onlyMarkers) {
        for (const auto& g : groups)
            tellMarker(*static_cast<FakeGroup*>(g.get()));
        return;
    }
    // Behind the command on the wire, or first when nothing is.
    CommandGroup* head = queue_.head();
    const bool headRunning = head && head->lastSentIndex() >= 0;
    int at = headRunning ? 1 : 0;
    for (auto& g : groups)
        if (g)
            queue_.insert(at++, std::move(g));
    if (!headRunning)
        advance(false);
}

void FtpSession::finishGroup(int index, bool success) {
    std::unique_ptr<CommandGroup> g = queue_.takeAt(index);
    if (!g)
        return;
    g->onFinished(success);
    if (success && g->kind() == GroupKind::Pure) {
        auto* p = static_cast<PureGroup*>(g.get());
        if (p->notifyOwner)
            emit ownerNotified(p->ownerToken);
    }
}

void FtpSession::removeGroup(CommandGroup* group) {
    const int index = queue_.indexOf(group);
    if (index < 0)
        return;
    if (index == 0 && group->hasSentStepNamed("PASV"))
        queue_.insertCommand(1, "ABOR");
    group->noteStopped();
    finishGroup(index, false);
    if (index == 0)
        advance(false);
    emit workRemoved(false);
}

void FtpSession::clearQueue() {
    // A running transfer is stopped on the server too.
    CommandGroup* head = queue_.head();
    const bool running = head && head->hasSentStepNamed("PASV") && !head->isComplete();
    for (int i = 0; i < queue_.size(); ++i)
        queue_.at(i)->noteStopped();
    queue_.clear();
    if (running)
        sendCommand("ABOR");
    emit workRemoved(true);
}

void FtpSession::cancelForOwner(quintptr token) {
    const CommandGroup* headBefore = queue_.head();
    if (const quint64 task = queue_.ownerTask(token))
        emit taskStopped(task);
    if (queue_.cancelForOwner(token) && queue_.head() != headBefore)
        advance(false);
}

void FtpSession::removeDirectDownload(DirectPurpose purpose, const QByteArray& folder,
                                      const QByteArray& name) {
    const int index = queue_.findDirectDownload(purpose, folder, name);
    if (index < 0)
        return;
    finishGroup(index, false);
    if (index == 0)
        advance(false);
}

// ----------------------------------------------------------------------- TLS

void FtpSession::sendUser() {
    const QString user = options_.logonType == 1 ? QStringLiteral("anonymous") : options_.user;
    sendLoginCommand("USER", user.toUtf8());
}

void FtpSession::sendLoginCommand(const QByteArray& name, const QByteArray& argument) {
    // Ahead of any work handed over while the connection was being made.
    CommandGroup* head = queue_.head();
    const bool headRunning = head && head->lastSentIndex() >= 0;
    queue_.insertCommand(headRunning ? 1 : 0, name, argument);
    if (!headRunning)
        advance(false);
}

bool FtpSession::isLoginGroup(const CommandGroup& g) {
    if (g.kind() != GroupKind::Pure || g.steps().isEmpty())
        return false;
    const CommandStep& first = g.steps().first();
    return first.nameIs("USER") || first.nameIs("PASS") || first.nameIs("AUTH");
}

void FtpSession::onSecured() {
    if (tlsPhase_ != TlsPhase::Handshake)
        return;
    connectTimer_.stop();
    const TlsStatus status = control_.tlsStatus();
    log(LogChannel::Status,
        QStringLiteral("TLS connection established: %1, %2").arg(status.protocol, status.cipher));
    if (!options_.pinnedCertificate.isEmpty()) {
        // The decision taken for this server on the other connection holds:
        // that certificate and no other.
        if (status.certificate.sha256 != options_.pinnedCertificate) {
            emit pinnedCertificateRefused();
            protocolViolation(
                QStringLiteral("Certificate refused: the server showed %1 on this connection, "
                               "not %2 accepted on the main one; connection closed")
                    .arg(status.certificate.fingerprintText(),
                         fingerprintText(options_.pinnedCertificate)));
            return;
        }
        log(LogChannel::Status,
            QStringLiteral("Certificate is the one accepted on the main connection"));
        onCertificateJudged(true, {});
        return;
    }
    if (status.problems.isEmpty()) {
        log(LogChannel::Status,
            QStringLiteral("Certificate verified: ") + status.certificate.subject);
        onCertificateJudged(true, {});
        return;
    }
    log(LogChannel::Status, QStringLiteral("The server's certificate could not be verified: ") +
                                status.problems.join(QStringLiteral("; ")));
    tlsPhase_ = TlsPhase::Judging;
    if (!judge_) {
        onCertificateJudged(false, QStringLiteral("Certificate not trusted (%1), connection closed")
                                       .arg(status.certificate.fingerprintText()));
        return;
    }
    CertificateCheck check{options_.host, options_.port < 0 ? 21 : options_.port, status};
    const quint64 serial = connectionSerial_;
    QPointer<FtpSession> self(this);
    judge_->judge(check, [self, serial](bool trusted, const QString& why) {
        // The connection may have ended while the user was deciding: the
        // answer is for a connection that is gone.
        if (self && self->connectionSerial_ == serial && self->control_.isOpen() &&
            self->tlsPhase_ == TlsPhase::Judging)
            self->onCertificateJudged(trusted, why);
    });
}

void FtpSession::onCertificateJudged(bool trusted, const QString& why) {
    if (!trusted) {
        protocolViolation(
            why.isEmpty() ? QStringLiteral("Certificate not trusted, connection closed") : why);
        return;
    }
    if (!why.isEmpty())
        log(LogChannel::Status, why);
    tlsPhase_ = TlsPhase::Secure;
    emit secured(control_.tlsStatus());
    sendUser();
}

std::optional<TlsRequest> FtpSession::dataTls() const {
    if (!dataProtected_ || tlsPhase_ != TlsPhase::Secure)
        return std::nullopt;
    TlsRequest r;
    r.peerName = options_.host;
    // Asked now, not at the handshake: the server may send its session late.
    r.session = control_.tlsSession();
    r.pinnedSha256 = control_.tlsStatus().certificate.sha256;
    return r;
}

// A refused AUTH, PBSZ or PROT: under "if available" the session goes on in
// plain and says so, under "require" the connection ends. True when handled.
bool FtpSession::handleTlsRefusal(const Reply&, int code) {
    CommandGroup* head = queue_.head();
    if (code < 400 || !head || head->lastSentIndex() < 0)
        return false;
    const CommandStep& step = head->steps()[head->lastSentIndex()];
    const bool auth = step.nameIs("AUTH") && tlsPhase_ == TlsPhase::AuthSent;
    const bool prot = step.nameIs("PROT") || step.nameIs("PBSZ");
    if (!auth && !(prot && tlsPhase_ == TlsPhase::Secure))
        return false;
    const QByteArray described = CommandQueue::describe(*head);
    log(LogChannel::Trace, QStringLiteral("'%1' has been removed - error (%2)")
                               .arg(QString::fromUtf8(described))
                               .arg(code));
    const bool protStep = step.nameIs("PROT");
    finishGroup(0, false);
    const bool require = options_.tls == TlsMode::Require;
    if (auth) {
        tlsPhase_ = TlsPhase::Plain;
        if (require) {
            protocolViolation(QStringLiteral(
                "The server refused AUTH TLS, but the site requires FTP over TLS: connection "
                "closed, nothing of the account was sent"));
            return true;
        }
        log(LogChannel::Status,
            QStringLiteral("The server does not offer FTP over TLS; going on without it: the "
                           "password and files travel in clear"));
        sendUser();
        return true;
    }
    if (protStep) {
        if (require) {
            protocolViolation(QStringLiteral(
                "The server refused PROT P, but the site requires FTP over TLS: connection "
                "closed"));
            return true;
        }
        log(LogChannel::Status, QStringLiteral("The server refused PROT P; listings and files "
                                               "travel in clear"));
    }
    advance(false);
    return true;
}

// ------------------------------------------------------------------- replies

void FtpSession::scheduleReplies(int delayCount) {
    if (scheduledDelay_ >= 0)
        return;
    scheduledDelay_ = delayCount;
    // Waiting replies are retried with a growing pause; a closing data
    // connection calls them at once (dataClosed).
    replyTimer_.start(delayCount == 0 ? 0 : qMin(delayCount, 20));
}

void FtpSession::dataClosed(const SocketGroup*) {
    if (scheduledDelay_ > 0)
        replyTimer_.start(0);
}

void FtpSession::processReplies(int delayCount) {
    while (!pending_.empty()) {
        if (!handleReply(pending_.front(), delayCount)) {
            scheduleReplies(delayCount + 1);
            return;
        }
        const int code = pending_.front().code();
        pending_.pop_front();
        log(LogChannel::ReplyTrace, QStringLiteral("%1 is deleted").arg(code));
    }
}

static QString text(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

bool FtpSession::handleReply(const Reply& reply, int delayCount) {
    if (reply.errorKind != Reply::WellFormed) {
        QString why = reply.errorKind == Reply::NoNumber ? QStringLiteral("no number")
                      : reply.errorKind == Reply::NumberMismatch
                          ? QStringLiteral("number doesn't match")
                          : QStringLiteral("unknown %1").arg(reply.errorKind);
        log(LogChannel::Error, QStringLiteral("Invalid response : ") + why);
        return true;
    }
    if (!reply.complete || reply.lines.isEmpty()) {
        log(LogChannel::Error, QStringLiteral("Program error : completed = %1, lines = %2")
                                   .arg(reply.complete ? "yes" : "no")
                                   .arg(reply.lines.size()));
        return true;
    }
    const int code = reply.code();
    if (std::exchange(awaitingWelcome_, false))
        connectTimer_.stop();
    if (handleTlsRefusal(reply, code))
        return true;
    if (handleLoginRefusal(reply, code))
        return true;
    CommandGroup* head = queue_.head();
    if (head && head->lastSentIndex() >= 0)
        head->replyArrived(reply);
    if (code < 400 && head) {
        const int last = head->lastSentIndex();
        // Nothing of the head is on the wire: nothing waits for this reply. The
        // welcome and the closing notice still count.
        const bool unasked = last < 0 && code != 220 && code != 421;
        if (unasked || (last >= 0 && !head->steps()[last].expectation.isSuccess(code))) {
            log(LogChannel::Ignored,
                QStringLiteral("Above excessive respnse %1 is ignored").arg(code));
            return true;
        }
    }

    // A server that will not say what it offers (FEAT or HELP refused, with
    // any code) offers the least: the start-up goes on as after empty lists,
    // instead of waiting for the user to remove the command.
    if (code >= 400 && code != 421 && !helpReceived_ &&
        (lastSentIs(head, "FEAT") || lastSentIs(head, "HELP"))) {
        log(LogChannel::Status,
            QStringLiteral("The server does not list what it offers (%1 refused, %2)")
                .arg(text(head->steps()[head->lastSentIndex()].name))
                .arg(code));
        if (lastSentIs(head, "HELP"))
            takeHelp(Reply());
        finishGroup(0, true);
        advance(false);
        return true;
    }

    switch (code) {
        case 150:
            log(LogChannel::Ignored, QStringLiteral("Above reproduce respnse 150 is ignored"));
            return true;
        case 200:
            if (head && tlsPhase_ == TlsPhase::Secure && head->lastSentIndex() >= 0 &&
                head->steps()[head->lastSentIndex()].nameIs("PROT")) {
                dataProtected_ = true;
                log(LogChannel::Status, QStringLiteral("Listings and files travel over TLS"));
            }
            break;
        case 213:
        case 215:
        case 225:  // ABOR, as the standard allows besides 226
        case 226:
        case 250:
        case 350:
        case 500:
        case 550:
            break;
        case 211:
            if (!helpReceived_) {
                featReply_ = reply;
                featReceived_ = true;
                featIndex_ = indexFeatReply(reply);
            }
            break;
        case 214:
            if (!helpReceived_) {
                takeHelp(reply);
                advance(false);
            }
            break;
        case 220:
            // A welcome repeated during the TLS steps starts nothing.
            if (tlsPhase_ != TlsPhase::Plain)
                return true;
            if (options_.tls != TlsMode::Off) {
                tlsPhase_ = TlsPhase::AuthSent;
                sendLoginCommand("AUTH", "TLS");
                return true;
            }
            sendUser();
            return true;
        case 234:
            if (tlsPhase_ == TlsPhase::AuthSent) {
                TlsRequest request;
                request.peerName = options_.host;
                tlsPhase_ = TlsPhase::Handshake;
                if (!control_.startTls(request)) {
                    protocolViolation(
                        QStringLiteral("TLS is not available here, connection closed"));
                    return true;
                }
                log(LogChannel::Status, QStringLiteral("Starting TLS handshake..."));
                // A server answering slowly over a long way gets the welcome's time.
                connectTimer_.start(options_.welcomeTimeoutMs);
            }
            break;
        case 227: {
            const auto address = parsePassiveReply(reply.lastLine());
            const bool asked = head && head->kind() == GroupKind::Socket &&
                               head->lastSentIndex() >= 0 &&
                               head->steps()[head->lastSentIndex()].nameIs("PASV") &&
                               !static_cast<SocketGroup*>(head)->data().started();
            // Waiting would only end in the time-out: nothing can connect there.
            if (asked && (!address || !head->startData(address->host, address->port))) {
                refusePassiveAddress(reply);
                return true;
            }
            if (!asked) {
                log(LogChannel::Trace, QStringLiteral("socket creation failed"));
                log(LogChannel::Ignored, QStringLiteral("Above reproduce respnse 227 is ignored"));
                return true;
            }
            log(LogChannel::Trace, QStringLiteral("socket creation is OK"));
            break;
        }
        case 230: {
            loggedInNow_ = true;
            // The start-up commands go right behind the login, before any work
            // handed over meanwhile: no file moves before its TYPE.
            int at = head && head->lastSentIndex() >= 0 ? 1 : 0;
            if (tlsPhase_ == TlsPhase::Secure) {
                queue_.insertCommand(at++, "PBSZ", "0");
                queue_.insertCommand(at++, "PROT", "P");
            }
            if (options_.transferType == TransferType::Binary)
                queue_.insertCommand(at++, "TYPE", "I");
            else if (options_.transferType == TransferType::Ascii)
                queue_.insertCommand(at++, "TYPE", "A");
            if (!(flags_ & StartupQueued)) {
                if (options_.askFeatures) {
                    queue_.insertCommand(at++, "FEAT");
                    queue_.insertCommand(at++, "HELP");
                } else {
                    flags_ |= options_.knownCapabilities & (AnnouncedMlsd | AnnouncedRest);
                    features_ = options_.knownFeatures;
                }
            }
            advance(false);
            flags_ |= StartupQueued;
            emit loggedInChanged(true);
            // The start-up's listing comes after the first HELP reply only.
            if (helpReceived_)
                emit loggedInAgain();
            break;
        }
        case 257:
            if (head && head->kind() == GroupKind::Socket &&
                static_cast<SocketGroup*>(head)->socketKind() == SocketKind::List) {
                auto* l = static_cast<ListingGroup*>(head);
                const std::optional<QByteArray> path = QuotedPathOf(reply.lastLine());
                if (l->actionKind() == ActionKind::InitFolder && path && l->folder.isEmpty() &&
                    l->hasSentStepNamed("PWD")) {
                    l->folder = *path;
                    l->data().text = l->folder;
                }
            }
            break;
        case 331:
            sendLoginCommand("PASS", options_.password.toUtf8());
            break;
        case 426:
            if (lastSentIs(head, "ABOR")) {
                // The transfer the user removed, confirmed stopped.
                log(LogChannel::Status,
                    QStringLiteral("Transfer stopped as asked: ") + replySentence(reply));
                break;
            }
            log(LogChannel::Error, QStringLiteral("un-switched responding number : %1").arg(code));
            break;
        case 421:
            noteProblemForAll(replySentence(reply));
            control_.close();
            log(LogChannel::Status,
                QStringLiteral("Connection closed, waiting for re-connection..."));
            emit disconnected();
            break;
        default:
            log(LogChannel::Error, QStringLiteral("un-switched responding number : %1").arg(code));
            break;
    }

    bool wait = false;
    completeHead(reply, code, delayCount, &wait);
    return !wait;
}

void FtpSession::takeHelp(const Reply& reply) {
    helpReply_ = reply;
    helpReceived_ = true;
    helpIndex_ = indexHelpReply(reply);
    emit commandMenusRebuilt();
    auto announced = [this](const char* word) {
        return featIndex_.contains(word) || helpIndex_.contains(word);
    };
    flags_ = announced("MLSD") ? (flags_ | AnnouncedMlsd) : (flags_ & ~AnnouncedMlsd);
    flags_ = announced("REST") ? (flags_ | AnnouncedRest) : (flags_ & ~AnnouncedRest);
    features_ = featuresOf(featReply_, featIndex_, helpIndex_);
    if (initialListingFactory_) {
        if (auto g = initialListingFactory_(listingCommand()))
            queue_.append(std::move(g));
    }
    emit concernedFileAtLogin(options_.concernedFile);
}

bool FtpSession::handleLoginRefusal(const Reply& reply, int code) {
    CommandGroup* head = queue_.head();
    if (code < 400 || code == 421 || !(lastSentIs(head, "USER") || lastSentIs(head, "PASS")))
        return false;
    const QString sentence = replySentence(reply);
    log(LogChannel::Error, QStringLiteral("The server refused the login: ") + sentence);
    head->noteProblem(sentence);
    finishGroup(0, false);
    // Nothing can be done on this connection: it ends, and the views learn why.
    control_.close();
    connectTimer_.stop();
    keepAliveTimer_.stop();
    tlsPhase_ = TlsPhase::Plain;
    dataProtected_ = false;
    ++connectionSerial_;
    flags_ = 0;
    noteProblemForAll(sentence);
    queue_.clear();
    emit loggedInChanged(false);
    emit loginRefused(sentence);
    emit connectionClosed();
    return true;
}

void FtpSession::refusePassiveAddress(const Reply& reply) {
    const QByteArray line =
        reply.strippedLines().isEmpty() ? QByteArray() : reply.strippedLines().last();
    const qsizetype open = line.indexOf('(');
    const qsizetype close = open < 0 ? -1 : line.indexOf(')', open);
    const QByteArray given =
        close > open ? line.mid(open + 1, close - open - 1) : line.mid(3).trimmed();
    const QByteArray described = CommandQueue::describe(*queue_.head());
    reportFailure(
        QStringLiteral("the server gave an unusable passive address (%1)").arg(displayText(given)));
    log(LogChannel::Trace,
        QStringLiteral("'%1' has been removed - error (227)").arg(QString::fromUtf8(described)));
    finishGroup(0, false);
    advance(false);
}

void FtpSession::completeHead(const Reply& reply, int code, int delayCount, bool* wait) {
    CommandGroup* g = queue_.head();
    if (!g)
        return;
    if (code >= 400) {
        const int onWire = g->lastSentIndex();
        const CommandStep refused = onWire >= 0 ? g->steps()[onWire] : CommandStep();
        if (onWire >= 0 && g->takeRefusal(refused, code)) {
            // The group found another way: nothing failed yet.
            log(LogChannel::Trace, QStringLiteral("'%1' goes on after %2 was refused (%3)")
                                       .arg(text(CommandQueue::describe(*g)), text(refused.name))
                                       .arg(code));
            if (g->hasUnsentStep()) {
                advance(true);
            } else {
                finishGroup(0, true);
                advance(false);
            }
            return;
        }
        int found = -1;
        for (int i = g->steps().size() - 1; i >= 0; --i) {
            const CommandStep& s = g->steps()[i];
            if (s.sent && s.expectation.isError(code)) {
                found = i;
                break;
            }
        }
        // The command on the wire is the one the server answered.
        const QByteArray answered =
            onWire >= 0 ? maskPassword(g->steps()[onWire].wireText()) : QByteArray();
        const QString sentence = replySentence(reply);
        if (found < 0) {
            // No command of the group expects this failure: it keeps waiting
            // until the user removes it.
            g->noteProblem(sentence);
            emit headStalled(g, answered, code, sentence);
            return;
        }
        const CommandStep step = g->steps()[found];
        // After ABOR the server reports the removed transfer as aborted: asked for.
        const bool asked = step.nameIs("ABOR") && code == 426;
        QByteArray described;
        // A refused transfer ends its group too: the steps after it (size
        // check, times, the rename of a temporary) are about data that never
        // moved.
        const bool transfer = step.nameIs("STOR") || step.nameIs("APPE") || step.nameIs("RETR");
        if (found == g->steps().size() - 1 || step.nameIs("CWD") || transfer) {
            described = CommandQueue::describe(*g, found);
            g->noteProblem(sentence);
            finishGroup(0, false);
        } else {
            described = '<' + step.name + '>';
            g->steps().removeAt(found);
        }
        log(LogChannel::Trace,
            QStringLiteral("'%1' has been removed - error (%2)").arg(text(described)).arg(code));
        if (!asked)
            emit commandRefused(answered.isEmpty() ? maskPassword(step.wireText()) : answered, code,
                                sentence);
        advance(true);
        return;
    }
    if (g->isComplete()) {
        const QByteArray described = CommandQueue::describe(*g);
        const bool expected =
            !g->steps().isEmpty() && g->steps().last().expectation.isSuccess(code);
        if (expected) {
            QString line = QStringLiteral("'%1' has been removed").arg(text(described));
            if (delayCount > 0)
                line += QStringLiteral(" -- delay count: %1").arg(delayCount);
            log(LogChannel::Trace, line);
        } else {
            log(LogChannel::Trace, QStringLiteral("'%1' has been removed -- error code: %2")
                                       .arg(text(described))
                                       .arg(code));
        }
        finishGroup(0, expected);
        advance(false);
        return;
    }
    if (g->hasUnsentStep() && g->readyToContinue())
        advance(true);
    else
        *wait = true;
}

// ---------------------------------------------------------------- keep-alive

void FtpSession::restartKeepAlive() {
    keepAliveTimer_.stop();
    static const int minutes[] = {0, 2, 5, 7, 10};
    const int i = options_.keepAliveInterval;
    if (i >= 1 && i <= 4)
        keepAliveTimer_.start(minutes[i] * options_.keepAliveMinuteMs);
}

void FtpSession::onKeepAliveTimer() {
    // Nothing goes out before the login: the server has not even greeted yet.
    if (options_.keepAliveInterval != 0 && queue_.isEmpty() && isConnected() && loggedIn()) {
        if (!(flags_ & KeepAliveToggle)) {
            if (options_.keepAliveCommand1 == 1)
                queue_.append(std::make_unique<UserListingGroup>(
                    ListingPurpose::KeepAlive, StepList{{"PASV", {}}, {listingCommand(), {}}}));
            else
                queue_.addCommand("MLST");
        } else {
            queue_.addCommand(options_.keepAliveCommand2 == 1 ? "PWD" : "NOOP");
        }
        advance(false);
        flags_ ^= KeepAliveToggle;
    }
    restartKeepAlive();
}

// ----------------------------------------------------------- group reports

void FtpSession::transferStarted(const SocketGroup* group, const TransferInfo& info) {
    emit transferStartedSignal(group, info);
}

void FtpSession::transferProgress(const SocketGroup* group, qint64 position) {
    emit transferProgressSignal(group, position);
}

void FtpSession::transferEnded(const SocketGroup* group) {
    emit transferEndedSignal(group);
}

void FtpSession::directData(DirectPurpose purpose, const QByteArray& folder, const QByteArray& name,
                            const QByteArray& chunk) {
    emit directDataArrived(purpose, folder, name, chunk);
}

void FtpSession::directContent(DirectPurpose purpose, const QByteArray& folder,
                               const QByteArray& name, const QByteArray& content,
                               const QByteArray& modified) {
    emit directContentArrived(purpose, folder, name, content, modified);
}
