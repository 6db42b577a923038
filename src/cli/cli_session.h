#pragma once

#include "cli/log_printer.h"
#include "remote/action_engine.h"
#include "remote/transfer_pool.h"
#include "session/ftp_session.h"
#include "session/tcp_transport.h"

#include <QDeadlineTimer>
#include <QStringList>

#include <functional>
#include <memory>

// TCP connections whose every read and write counts as a sign of life.
class ActivityTransportFactory : public TransportFactory {
public:
    explicit ActivityTransportFactory(std::function<void()> onActivity)
        : onActivity_(std::move(onActivity)) {}
    std::unique_ptr<Transport> create() override;

private:
    std::function<void()> onActivity_;
};

// Drives one session for a script: connects, logs in, runs the event loop until
// a command's work is done, and keeps what went wrong for the exit status. The
// time-out counts from the last sign of life (a reply, a byte of data either
// way); the deadline, when given, bounds the whole run.
class CliSession {
public:
    CliSession(const SessionOptions& options, int timeoutSeconds, std::unique_ptr<LogPrinter> log,
               int deadlineSeconds = 0);
    ~CliSession();

    FtpSession& session() { return *session_; }
    ActionEngine& engine() { return *engine_; }
    TransferPool& pool() { return *pool_; }
    LogPrinter* printer() { return log_.get(); }
    // Transfer connections for this run's files (0: the main one only).
    void setParallel(int connections) { pool_->setConnections(connections); }

    // Connects and waits until the login and the start-up work are done.
    bool start();
    // Runs the event loop until done() holds, the connection breaks or the run
    // times out; false with error() set in the last two cases.
    bool waitUntil(const std::function<bool()>& done);
    // Waits until the queue is empty and the transfer connections are done.
    bool waitIdle();

    // A remote path of the command line made absolute: a relative one starts
    // in the remote project folder once the session walked down to it, else
    // in the folder the server logged in to, joined as the server would take
    // it there ("." and ".." stay the server's). Empty when it is relative and
    // the server named no start folder.
    QByteArray absoluteRemote(const QString& path) const;
    // The folder the server logged in to; empty until it named one.
    const QByteArray& loginFolder() const { return loginFolder_; }

    const QString& error() const { return error_; }
    // Commands answered with one of their error codes, and local failures.
    const QStringList& refusals() const { return refusals_; }
    const QStringList& failures() const { return failures_; }
    // What let the work go on but fails the run at its end (a transfer connection refused).
    const QStringList& degradations() const { return degradations_; }
    // Whether the work so far went as asked; degradations do not count.
    bool clean() const { return refusals_.isEmpty() && failures_.isEmpty(); }
    // Forgets refusals from a count on: a command tried on purpose that may fail.
    void forgetRefusalsFrom(int count) { refusals_ = refusals_.mid(0, count); }
    // The run failed for a reason of the command's own.
    void addFailure(const QString& text) { failures_ << text; }
    // Ends the run at its next wait, as a signal asks: the work still queued
    // is dropped when the session goes, and downloads keep what arrived.
    void stop(const QString& why);

private:
    QString waitingFor() const;

    void touch();

    ActivityTransportFactory factory_;
    std::unique_ptr<FtpSession> session_;
    std::unique_ptr<ActionEngine> engine_;
    std::unique_ptr<TransferPool> pool_;
    std::unique_ptr<LogPrinter> log_;
    QDeadlineTimer idleDeadline_;
    QDeadlineTimer runDeadline_;
    int timeoutSeconds_;
    int deadlineSeconds_;
    QByteArray loginFolder_;
    QByteArray projectFolder_;
    QString error_;
    QStringList refusals_;
    QStringList failures_;
    QStringList degradations_;
    bool broken_ = false;
};
