#include "cli/cli_session.h"

#include "cli/cli_commands.h"

#include "remote/remote_path.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

std::unique_ptr<Transport> ActivityTransportFactory::create() {
    auto transport = std::make_unique<TcpTransport>();
    QObject::connect(transport.get(), &Transport::readyRead, [this] { onActivity_(); });
    QObject::connect(transport.get(), &Transport::readyWrite, [this] { onActivity_(); });
    QObject::connect(transport.get(), &Transport::connected, [this] { onActivity_(); });
    return transport;
}

CliSession::CliSession(const SessionOptions& options, int timeoutSeconds,
                       std::unique_ptr<LogPrinter> log, int deadlineSeconds)
    : factory_([this] { touch(); }),
      session_(std::make_unique<FtpSession>(&factory_)),
      engine_(std::make_unique<ActionEngine>(*session_)),
      pool_(std::make_unique<TransferPool>(*engine_, &factory_)),
      log_(std::move(log)),
      idleDeadline_(qint64(timeoutSeconds) * 1000),
      runDeadline_(deadlineSeconds > 0 ? QDeadlineTimer(qint64(deadlineSeconds) * 1000)
                                       : QDeadlineTimer(QDeadlineTimer::Forever)),
      timeoutSeconds_(timeoutSeconds),
      deadlineSeconds_(deadlineSeconds) {
    SessionOptions o = options;
    o.keepAliveInterval = 0;  // a script's run is short; nothing to keep alive
    session_->setOptions(o);
    engine_->setTransferPool(pool_.get());
    // Information lines (whole listings among them) are only made when --log
    // prints them.
    session_->setShownInfoLevel(log_ ? log_->shownInfoLevel() : -1);
    QObject::connect(session_.get(), &FtpSession::transferProgressSignal,
                     [this](const SocketGroup*, qint64) { touch(); });
    QObject::connect(pool_.get(), &TransferPool::transferProgress,
                     [this](const SocketGroup*, qint64) { touch(); });
    // Every connection's lines, tagged while several are open.
    QObject::connect(pool_.get(), &TransferPool::logLine, [this](const LogLine& line) {
        touch();
        if (log_)
            log_->print(line);
    });
    QObject::connect(session_.get(), &FtpSession::logLine, [this](const LogLine& line) {
        // A refused login leaves its command waiting for ever: stop here.
        // A refused AUTH TLS is the session's to judge (plain under "auto").
        if (line.channel == LogChannel::Reply && !session_->loggedIn() && line.bold && !broken_ &&
            session_->tlsPhase() != FtpSession::TlsPhase::AuthSent) {
            broken_ = true;
            error_ = QStringLiteral("login refused: ") + line.text.section('\n', -1);
        }
    });
    // Where relative remote paths start.
    QObject::connect(
        engine_.get(), &ActionEngine::rootFound,
        [this](const QByteArray& folder, const RemoteItemList&) { loginFolder_ = folder; });
    QObject::connect(engine_.get(), &ActionEngine::projectFolderReached,
                     [this](const QByteArray& folder) { projectFolder_ = folder; });
    // Task markers show where a piece of work starts and ends.
    QObject::connect(session_.get(), &FtpSession::taskMarker,
                     [this](int, int, const QString& caption, quintptr) {
                         if (log_) {
                             LogLine line;
                             line.channel = LogChannel::Status;
                             line.text = caption;
                             log_->print(line);
                         }
                     });
    const auto refused = [this](const QByteArray& command, int code) {
        refusals_ << QStringLiteral("%1 (%2)").arg(QString::fromUtf8(command)).arg(code);
    };
    QObject::connect(session_.get(), &FtpSession::commandRefused, refused);
    QObject::connect(pool_.get(), &TransferPool::commandRefused, refused);
    QObject::connect(pool_.get(), &TransferPool::failure,
                     [this](const QString& text) { failures_ << text; });
    QObject::connect(pool_.get(), &TransferPool::connectionRefused,
                     [this](const QString& text) { degradations_ << text; });
    // A script has nobody to remove a command the server refused with a code
    // its table does not know: it is refused, and the queue goes on.
    QObject::connect(session_.get(), &FtpSession::headStalled,
                     [this](const CommandGroup* group, const QByteArray& command, int code) {
                         if (!session_->loggedIn())
                             return;
                         refusals_
                             << QStringLiteral("%1 (%2)").arg(QString::fromUtf8(command)).arg(code);
                         QTimer::singleShot(0, session_.get(), [this, group] {
                             const int i = session_->queue().indexOf(group);
                             if (i >= 0)
                                 session_->removeGroup(session_->queue().at(i));
                         });
                     });
    QObject::connect(session_.get(), &FtpSession::failure, [this](const QString& text) {
        failures_ << text;
        // A login command refused before sending leaves nothing to wait for.
        if (!session_->loggedIn() && !broken_) {
            broken_ = true;
            error_ = text;
        }
    });
    // Work that went on without entries it could not read is not done.
    QObject::connect(engine_.get(), &ActionEngine::entriesSkipped,
                     [this](const QByteArray& folder, int count) {
                         failures_ << QStringLiteral(
                                          "%1 entries of %2 skipped: their listing "
                                          "lines could not be read")
                                          .arg(count)
                                          .arg(displayText(folder));
                     });
    // Files the file action left alone are said, not failed: a script sees
    // that a same-size edit was not sent.
    QObject::connect(engine_.get(), &ActionEngine::filesSkipped,
                     [](const QString& text) { printError(text); });
    // Nor is a local file a download put in the trash.
    QObject::connect(engine_.get(), &ActionEngine::localFileSetAside,
                     [](const QString& text) { printError(text); });
    // Nor is an upload that left local entries out.
    QObject::connect(engine_.get(), &ActionEngine::localEntriesSkipped,
                     [this](const QStringList& paths) {
                         for (const QString& p : paths)
                             failures_ << QStringLiteral("skipped, not uploaded: ") + p;
                     });
    QObject::connect(session_.get(), &FtpSession::connectFailed, [this] {
        broken_ = true;
        error_ = QStringLiteral("could not connect to %1 port %2")
                     .arg(session_->options().host)
                     .arg(session_->options().port);
    });
    // Work refused because the connection is gone never ran: the run failed.
    QObject::connect(engine_.get(), &ActionEngine::taskRefused,
                     [this](const QString& startText, const QString& reason) {
                         failures_ << ActionEngine::notStartedText(startText, reason);
                         broken_ = true;
                         if (error_.isEmpty())
                             error_ = failures_.last();
                     });
    QObject::connect(session_.get(), &FtpSession::disconnected, [this] {
        if (!broken_) {
            broken_ = true;
            // The session says why it ended the connection itself.
            error_ = failures_.isEmpty() ? QStringLiteral("the server closed the connection")
                                         : failures_.last();
        }
    });
}

CliSession::~CliSession() {
    // Queued work reports to the engine while it is destroyed.
    pool_.reset();
    session_->queue().clear();
    engine_.reset();
    session_.reset();
}

void CliSession::stop(const QString& why) {
    if (broken_)
        return;
    broken_ = true;
    error_ = why;
}

QByteArray CliSession::absoluteRemote(const QString& path) const {
    const QByteArray given = path.toUtf8();
    if (given.startsWith('/'))
        return withoutDotSteps(given);
    const QByteArray start = projectFolder_.isEmpty() ? loginFolder_ : projectFolder_;
    if (start.isEmpty())
        return {};
    return withoutDotSteps(joinRemotePath(start, given));
}

void CliSession::touch() {
    idleDeadline_.setRemainingTime(qint64(timeoutSeconds_) * 1000);
}

QString CliSession::waitingFor() const {
    const CommandGroup* head = session_->queue().head();
    if (!head)
        return session_->isConnected() ? QStringLiteral("the server")
                                       : QStringLiteral("the connection");
    const int i = head->lastSentIndex();
    if (i < 0)
        return QStringLiteral("the server");
    return QString::fromUtf8(maskPassword(head->steps()[i].wireText()));
}

bool CliSession::waitUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer tick;
    tick.start(50);
    QObject::connect(&tick, &QTimer::timeout, &loop, [] {});
    while (!done()) {
        if (broken_)
            return false;
        if (idleDeadline_.hasExpired()) {
            error_ = QStringLiteral("timed out: nothing moved for %1 s waiting for the reply to %2")
                         .arg(timeoutSeconds_)
                         .arg(waitingFor());
            broken_ = true;
            return false;
        }
        if (runDeadline_.hasExpired()) {
            error_ = QStringLiteral("deadline of %1 s reached waiting for the reply to %2")
                         .arg(deadlineSeconds_)
                         .arg(waitingFor());
            broken_ = true;
            return false;
        }
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    return !broken_;
}

bool CliSession::waitIdle() {
    return waitUntil([this] { return session_->queue().isEmpty() && !pool_->busy(); });
}

bool CliSession::start() {
    // The transfer connections log in while the main one finds its way: they
    // know what the server offers once it answered FEAT and HELP.
    QObject::connect(session_.get(), &FtpSession::commandMenusRebuilt, pool_.get(),
                     [this] { pool_->warmUp(); });
    session_->connectNew();
    return waitUntil([this] { return session_->loggedIn() && session_->queue().isEmpty(); });
}
