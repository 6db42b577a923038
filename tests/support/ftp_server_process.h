#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A real FTP server run as a child process for integration tests: it listens
// on 127.0.0.1 at a free port and serves a private temporary folder, so tests
// can run in parallel. A server that cannot start makes start() return false
// with the reason in lastError(); tests treat that as a failure, not a skip:
//
//   PyftpdlibServer server;
//   ASSERT_TRUE(server.start()) << server.lastError().toStdString();
//
// The destructor stops the server, kills every process it forked and removes
// the temporary folder.
class FtpServerProcess {
public:
    static constexpr int kStartTimeoutMs = 10000;
    static constexpr int kStopTimeoutMs = 5000;

    virtual ~FtpServerProcess();
    FtpServerProcess(const FtpServerProcess&) = delete;
    FtpServerProcess& operator=(const FtpServerProcess&) = delete;

    // Starts the server and waits (at most kStartTimeoutMs) until it accepts
    // connections. True when already running.
    bool start();
    void stop();
    bool isRunning() const;

    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const { return port_; }
    // The local folder the server shows as its root.
    QString rootPath() const { return rootPath_; }
    virtual QString user() const = 0;
    virtual QString password() const = 0;
    // Remote folder where the account may upload, create, rename and delete.
    virtual QByteArray writableFolder() const { return "/"; }
    QString lastError() const { return lastError_; }
    // What the server wrote to its logs so far.
    virtual QByteArray serverLog() const;
    // The server process and everything it forked that still lives.
    QList<qint64> processIds() const;

    // Files below the root. `relPath` uses '/' and must stay inside the root;
    // the helpers refuse (false, empty path) any path that leaves it.
    QString localPath(const QString& relPath) const;
    bool writeFile(const QString& relPath, const QByteArray& bytes);
    // A file of `size` zero bytes that takes (almost) no disk space.
    bool makeSparseFile(const QString& relPath, qint64 size);
    bool makeDir(const QString& relPath);
    bool exists(const QString& relPath) const;
    // The file's bytes; empty when it does not exist (see exists()).
    QByteArray readFile(const QString& relPath) const;

protected:
    // `kind` names the server in messages; the root folder is created inside
    // the private work folder under the name `rootName`.
    FtpServerProcess(const QString& kind, const QString& rootName = QStringLiteral("root"));

    // Starts the process (startProcess) and waits until it is ready, at most
    // until `deadline`; sets the port. False with a reason in `error`.
    virtual bool launch(const QDeadlineTimer& deadline, QString* error) = 0;
    // Called for every folder and file the helpers create (vsftpd hands them
    // to its unprivileged account).
    virtual void adoptCreated(const QString& absolutePath) { Q_UNUSED(absolutePath); }

    QString workPath() const { return work_.path(); }
    QString logPath() const;
    // Starts `program`; stderr goes to the log file, stdout too unless
    // `pipeStdout` (then read it with readAnnouncedPort).
    bool startProcess(const QString& program, const QStringList& arguments, bool pipeStdout,
                      const QDeadlineTimer& deadline, QString* error);
    // Reads the "PORT <n>" line the helper scripts print once listening.
    bool readAnnouncedPort(const QDeadlineTimer& deadline, QString* error);
    // Kills the process and what it forked, without touching the files.
    void killProcess();
    bool processRunning() const;
    void setPort(quint16 port) { port_ = port; }
    void setFailure(const QString& message) { lastError_ = message; }
    // Path of a helper script next to this source file.
    static QString supportScript(const QString& name);

private:
    bool ensureParents(const QString& absolutePath);

    QString kind_;
    QTemporaryDir work_;
    QString rootPath_;
    std::unique_ptr<QProcess> process_;
    quint16 port_ = 0;
    QString lastError_;
};
