#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>

// What one run of velmora-cli gave.
struct CliResult {
    QStringList arguments;
    bool started = false;
    bool finished = false;  // false: still running at the deadline (then killed) or crashed
    int exitCode = -1;
    QByteArray out;        // stdout bytes as written
    QString err;           // stderr as UTF-8 text
    qint64 elapsedMs = 0;  // from the start until wait() saw the end

    // stderr split into lines, empty lines dropped.
    QStringList errLines() const;
    // stdout split into lines, the empty rest after the last line end dropped.
    QList<QByteArray> outLines() const;
    // The --log lines of one channel ("status", "sent", ...) without their
    // "channel: " prefix and the tag of the connection that wrote them; with a
    // connection number, that connection's lines only.
    QStringList logLines(const QString& channel, int connection = 0) const;
    // Arguments, status and both outputs, for failure messages.
    QString describe() const;
};

// One velmora-cli process, started at construction so that several can run at
// once. Its stdin is empty and its output is not a terminal (no colours).
class CliRun {
public:
    static constexpr int kDefaultTimeoutMs = 20000;

    // `standardInput`: a file the run reads as its standard input (empty by default).
    CliRun(const QStringList& arguments, const QProcessEnvironment& environment,
           const QString& standardInput = QProcess::nullDevice());
    // Runs velmora-cli under another program: wrapper's first word is run with
    // the rest of it, then velmora-cli's path and the arguments ("unshare",
    // "-U" runs it as a user that owns nothing here).
    CliRun(const QStringList& wrapper, const QStringList& arguments,
           const QProcessEnvironment& environment,
           const QString& standardInput = QProcess::nullDevice());
    ~CliRun();
    CliRun(const CliRun&) = delete;
    CliRun& operator=(const CliRun&) = delete;

    // Waits at most `timeoutMs` for the end; a process still running then is
    // killed and reported as not finished.
    CliResult wait(int timeoutMs = kDefaultTimeoutMs);
    // The running process, for sending it signals; 0 once it ended.
    qint64 processId() const;
    // Waits at most `ms` for the end without stopping the run; true when it
    // has ended.
    bool ended(int ms);

    // The test program's environment with VELMORA_SETTING_DIR set to
    // `settingDir` (removed when empty), so runs never touch real settings,
    // without VELMORA_PASSWORD, and on a session bus without a secret store.
    static QProcessEnvironment cliEnvironment(const QString& settingDir = QString());
    static QString programPath();

private:
    std::unique_ptr<QProcess> process_;
    QElapsedTimer clock_;
    CliResult result_;
};

// Runs velmora-cli to its end, bounded by `timeoutMs`.
CliResult runCli(const QStringList& arguments,
                 const QProcessEnvironment& environment = CliRun::cliEnvironment(),
                 int timeoutMs = CliRun::kDefaultTimeoutMs);
