#include "support/ftp_server_process.h"

#include "support/process_tree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <signal.h>
#include <sys/prctl.h>
#include "velmora_paths.h"

namespace {

constexpr qint64 kLogTailBytes = 4000;

int remaining(const QDeadlineTimer& deadline) {
    return static_cast<int>(qMax<qint64>(0, deadline.remainingTime()));
}

}  // namespace

FtpServerProcess::FtpServerProcess(const QString& kind, const QString& rootName)
    : kind_(kind), work_(QDir::tempPath() + QStringLiteral("/velmora-%1-XXXXXX").arg(kind)) {
    if (!work_.isValid()) {
        return;
    }
    // Servers that drop privileges (vsftpd) must be able to walk into the root.
    const QFileDevice::Permissions readable = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                              QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                              QFileDevice::ExeOther;
    QFile::setPermissions(work_.path(), readable);
    const QString root = QDir(work_.path()).filePath(rootName);
    if (QDir().mkpath(root) && QFile::setPermissions(root, readable)) {
        rootPath_ = QFileInfo(root).canonicalFilePath();
    }
}

FtpServerProcess::~FtpServerProcess() {
    stop();
}

bool FtpServerProcess::start() {
    if (processRunning()) {
        return true;
    }
    lastError_.clear();
    if (!work_.isValid() || rootPath_.isEmpty()) {
        lastError_ =
            kind_ + QStringLiteral(": cannot create the temporary folder: ") + work_.errorString();
        return false;
    }
    const QDeadlineTimer deadline(kStartTimeoutMs);
    QString error;
    if (!launch(deadline, &error)) {
        killProcess();
        port_ = 0;
        QByteArray log = serverLog();
        if (log.size() > kLogTailBytes) {
            log = "..." + log.right(kLogTailBytes);
        }
        lastError_ = kind_ + QStringLiteral(" did not start: ") + error +
                     QStringLiteral("\nserver log:\n") + QString::fromUtf8(log);
        return false;
    }
    return true;
}

void FtpServerProcess::stop() {
    killProcess();
    port_ = 0;
}

bool FtpServerProcess::isRunning() const {
    return processRunning();
}

bool FtpServerProcess::processRunning() const {
    return process_ && process_->state() == QProcess::Running;
}

QByteArray FtpServerProcess::serverLog() const {
    QFile file(logPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<qint64> FtpServerProcess::processIds() const {
    if (!processRunning()) {
        return {};
    }
    const qint64 pid = process_->processId();
    return QList<qint64>{pid} + ProcessTree::descendants(pid);
}

QString FtpServerProcess::logPath() const {
    return QDir(work_.path()).filePath(QStringLiteral("server.log"));
}

QString FtpServerProcess::localPath(const QString& relPath) const {
    if (rootPath_.isEmpty()) {
        return {};
    }
    const QString path = QDir::cleanPath(rootPath_ + QLatin1Char('/') + relPath);
    if (path != rootPath_ && !path.startsWith(rootPath_ + QLatin1Char('/'))) {
        return {};
    }
    return path;
}

bool FtpServerProcess::ensureParents(const QString& absolutePath) {
    const QString parent = QFileInfo(absolutePath).path();
    if (parent == rootPath_ || QFileInfo(parent).isDir()) {
        return QFileInfo(parent).isDir();
    }
    if (!ensureParents(parent) || !QDir().mkdir(parent)) {
        return false;
    }
    adoptCreated(parent);
    return true;
}

bool FtpServerProcess::writeFile(const QString& relPath, const QByteArray& bytes) {
    const QString path = localPath(relPath);
    if (path.isEmpty() || path == rootPath_ || !ensureParents(path)) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        return false;
    }
    file.close();
    adoptCreated(path);
    return true;
}

bool FtpServerProcess::makeSparseFile(const QString& relPath, qint64 size) {
    const QString path = localPath(relPath);
    if (size < 0 || path.isEmpty() || path == rootPath_ || !ensureParents(path)) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !file.resize(size)) {
        return false;
    }
    file.close();
    adoptCreated(path);
    return true;
}

bool FtpServerProcess::makeDir(const QString& relPath) {
    const QString path = localPath(relPath);
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).isDir()) {
        return true;
    }
    if (!ensureParents(path) || !QDir().mkdir(path)) {
        return false;
    }
    adoptCreated(path);
    return true;
}

bool FtpServerProcess::exists(const QString& relPath) const {
    const QString path = localPath(relPath);
    return !path.isEmpty() && QFileInfo::exists(path);
}

QByteArray FtpServerProcess::readFile(const QString& relPath) const {
    const QString path = localPath(relPath);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

bool FtpServerProcess::startProcess(const QString& program, const QStringList& arguments,
                                    bool pipeStdout, const QDeadlineTimer& deadline,
                                    QString* error) {
    killProcess();
    process_ = std::make_unique<QProcess>();
    process_->setProgram(program);
    process_->setArguments(arguments);
    process_->setWorkingDirectory(workPath());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The system interpreter must not pick up another Python's modules.
    environment.remove(QStringLiteral("PYTHONPATH"));
    environment.remove(QStringLiteral("PYTHONHOME"));
    environment.insert(QStringLiteral("PYTHONUNBUFFERED"), QStringLiteral("1"));
    process_->setProcessEnvironment(environment);
    process_->setStandardErrorFile(logPath(), QIODevice::Append);
    if (!pipeStdout) {
        process_->setStandardOutputFile(logPath(), QIODevice::Append);
    }
    // Should the test program die without stopping us, the server dies with it.
    process_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process_->start();
    if (!process_->waitForStarted(remaining(deadline))) {
        *error = QStringLiteral("cannot run %1: %2").arg(program, process_->errorString());
        return false;
    }
    return true;
}

bool FtpServerProcess::readAnnouncedPort(const QDeadlineTimer& deadline, QString* error) {
    static const QRegularExpression portLine(QStringLiteral("^PORT (\\d+)\\s*$"));
    while (true) {
        while (process_->canReadLine()) {
            const QString line = QString::fromUtf8(process_->readLine());
            const QRegularExpressionMatch match = portLine.match(line);
            const int port = match.hasMatch() ? match.captured(1).toInt() : 0;
            if (port > 0 && port < 65536) {
                port_ = static_cast<quint16>(port);
                return true;
            }
        }
        if (process_->state() != QProcess::Running) {
            *error = QStringLiteral("the process exited with code %1 before listening")
                         .arg(process_->exitCode());
            return false;
        }
        if (deadline.hasExpired()) {
            *error = QStringLiteral("no \"PORT <n>\" line within %1 ms").arg(kStartTimeoutMs);
            return false;
        }
        process_->waitForReadyRead(qMin(remaining(deadline), 100));
    }
}

void FtpServerProcess::killProcess() {
    if (!process_) {
        return;
    }
    if (process_->state() != QProcess::NotRunning) {
        // Children first: once the parent is gone they are no longer found.
        const QList<qint64> children = ProcessTree::descendants(process_->processId());
        for (qint64 child : children) {
            ::kill(static_cast<pid_t>(child), SIGKILL);
        }
        process_->terminate();
        if (!process_->waitForFinished(kStopTimeoutMs)) {
            process_->kill();
            process_->waitForFinished(kStopTimeoutMs);
        }
        ProcessTree::waitUntilGone(children, kStopTimeoutMs);
    }
    process_.reset();
}

QString FtpServerProcess::supportScript(const QString& name) {
    const QString here = QFileInfo(QStringLiteral(__FILE__)).absolutePath();
    const QString path = QDir(here).filePath(name);
    if (QFileInfo::exists(path)) {
        return path;
    }
    return QDir::cleanPath(QStringLiteral(VELMORA_TEST_DATA_DIR "/../support/") + name);
}
