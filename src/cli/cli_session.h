#pragma once

#include "cli/log_printer.h"
#include "remote/action_engine.h"
#include "session/ftp_session.h"
#include "session/tcp_transport.h"

#include <QDeadlineTimer>
#include <QStringList>

#include <functional>
#include <memory>

// Drives one session for a script: connects, logs in, runs the event loop until
// a command's work is done, and keeps what went wrong for the exit status.
class CliSession {
public:
    CliSession(const SessionOptions& options, int timeoutSeconds, std::unique_ptr<LogPrinter> log);
    ~CliSession();

    FtpSession& session() { return *session_; }
    ActionEngine& engine() { return *engine_; }
    LogPrinter* printer() { return log_.get(); }

    // Connects and waits until the login and the start-up work are done.
    bool start();
    // Runs the event loop until done() holds, the connection breaks or the run
    // times out; false with error() set in the last two cases.
    bool waitUntil(const std::function<bool()>& done);
    // Waits until the queue is empty.
    bool waitIdle();

    const QString& error() const { return error_; }
    // Commands answered with one of their error codes, and local failures.
    const QStringList& refusals() const { return refusals_; }
    const QStringList& failures() const { return failures_; }
    bool clean() const { return refusals_.isEmpty() && failures_.isEmpty(); }

private:
    QString waitingFor() const;

    TcpTransportFactory factory_;
    std::unique_ptr<FtpSession> session_;
    std::unique_ptr<ActionEngine> engine_;
    std::unique_ptr<LogPrinter> log_;
    QDeadlineTimer deadline_;
    int timeoutSeconds_;
    QString error_;
    QStringList refusals_;
    QStringList failures_;
    bool broken_ = false;
};
