#include "support/vsftpd_server.h"

#include "support/raw_ftp_control.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

namespace {

const char kVsftpd[] = "/usr/sbin/vsftpd";

int remaining(const QDeadlineTimer& deadline) {
    return static_cast<int>(qMax<qint64>(0, deadline.remainingTime()));
}

// The port a process listens on over TCP/IPv4, 0 while it listens on none:
// its sockets' inodes found in the kernel's table of listening sockets.
quint16 listeningPort(qint64 pid) {
    QSet<QByteArray> inodes;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        const QByteArray target = QFile::encodeName(QFile::symLinkTarget(fds.filePath(fd)));
        // symLinkTarget makes "socket:[N]" a path; only the last part counts.
        const qsizetype at = target.lastIndexOf("socket:[");
        if (at >= 0)
            inodes.insert(target.mid(at + 8).chopped(1));
    }
    QFile table(QStringLiteral("/proc/%1/net/tcp").arg(pid));
    if (inodes.isEmpty() || !table.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : table.readAll().split('\n')) {
        // sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 10 || fields[3] != "0A" || !inodes.contains(fields[9]))
            continue;
        bool ok = false;
        const uint port = fields[1].mid(fields[1].indexOf(':') + 1).toUInt(&ok, 16);
        if (ok && port > 0 && port < 65536)
            return quint16(port);
    }
    return 0;
}

QString chrootDirName() {
    return QStringLiteral("empty");
}

}  // namespace

VsftpdServer::VsftpdServer(const Options& options)
    : FtpServerProcess(QStringLiteral("vsftpd")), options_(options) {
    if (const passwd* account = ::getpwnam("ftp")) {
        ftpUid_ = account->pw_uid;
        ftpGid_ = account->pw_gid;
        haveFtpAccount_ = true;
    }
    // Made now, so tests can fill "pub" before starting.
    QString ignored;
    prepareFolders(&ignored);
}

QString VsftpdServer::configPath() const {
    return QDir(workPath()).filePath(QStringLiteral("vsftpd.conf"));
}

QByteArray VsftpdServer::serverLog() const {
    QFile protocol(QDir(workPath()).filePath(QStringLiteral("vsftpd.log")));
    const QByteArray started = FtpServerProcess::serverLog();
    return protocol.open(QIODevice::ReadOnly) ? started + protocol.readAll() : started;
}

void VsftpdServer::adoptCreated(const QString& absolutePath) {
    if (haveFtpAccount_ && absolutePath != rootPath()) {
        ::chown(QFile::encodeName(absolutePath).constData(), ftpUid_, ftpGid_);
    }
}

bool VsftpdServer::prepareFolders(QString* error) {
    if (rootPath().isEmpty()) {
        *error = QStringLiteral("no temporary root folder");
        return false;
    }
    // vsftpd wants an empty folder of root's to lock its helper process in.
    const QString empty = QDir(workPath()).filePath(chrootDirName());
    if (!QDir().mkpath(empty)) {
        *error = QStringLiteral("cannot create ") + empty;
        return false;
    }
    if (!makeDir(QString::fromLatin1(writableFolder()))) {
        *error = QStringLiteral("cannot create the writable folder");
        return false;
    }
    return true;
}

bool VsftpdServer::writeConfig(quint16 port, const QByteArray& bannerToken, QString* error) const {
    const QByteArray work = QFile::encodeName(workPath());
    const QByteArray root = QFile::encodeName(rootPath());
    QByteArray config;
    config += "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\n";
    config += "listen_port=" + QByteArray::number(port) + "\n";
    config += "background=NO\n";
    config += "pasv_enable=YES\npasv_address=127.0.0.1\nport_enable=NO\n";
    // No sandbox or namespaces: they fail in containers and add nothing to tests.
    config += "seccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\n";
    config += "secure_chroot_dir=" + work + "/" + QFile::encodeName(chrootDirName()) + "\n";
    // Log only to our own file, never to the system's transfer log.
    config += "xferlog_enable=YES\nxferlog_std_format=NO\ndual_log_enable=NO\n";
    config += "syslog_enable=NO\nlog_ftp_protocol=YES\n";
    config += "vsftpd_log_file=" + work + "/vsftpd.log\n";
    config += "local_enable=NO\n";
    config += "anonymous_enable=YES\n";
    config += options_.passwordless ? "no_anon_password=YES\n" : "no_anon_password=NO\n";
    config += "anon_root=" + root + "\n";
    config += "write_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\n";
    config += "anon_other_write_enable=YES\nanon_umask=022\nlocal_umask=022\n";
    config += "force_dot_files=YES\nuse_localtime=NO\n";
    config += "ftpd_banner=Velmora test vsftpd " + bannerToken + "\n";
    if (options_.maxPerIp > 0)
        config += "max_per_ip=" + QByteArray::number(options_.maxPerIp) + "\n";
    if (!options_.tlsCertificate.isEmpty()) {
        config += "ssl_enable=YES\nallow_anon_ssl=YES\n";
        config += "force_anon_logins_ssl=NO\nforce_anon_data_ssl=NO\n";
        config += "require_ssl_reuse=YES\nssl_ciphers=HIGH\n";
        config += "rsa_cert_file=" + QFile::encodeName(options_.tlsCertificate) + "\n";
        config += "rsa_private_key_file=" + QFile::encodeName(options_.tlsKey) + "\n";
    }

    QFile file(configPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(config) != config.size()) {
        *error = QStringLiteral("cannot write ") + configPath();
        return false;
    }
    return true;
}

bool VsftpdServer::waitForGreeting(quint16 port, const QByteArray& bannerToken,
                                   const QDeadlineTimer& deadline, bool* exited) {
    *exited = false;
    while (!deadline.hasExpired()) {
        if (!processRunning()) {
            *exited = true;
            return false;
        }
        RawFtpControl probe;
        RawFtpControl::Reply reply;
        if (probe.connectTo(port, qMin(remaining(deadline), 1000)) &&
            probe.readReply(&reply, qMin(remaining(deadline), 2000))) {
            // Our token tells our server from one another test started there.
            if (reply.code == 220 && reply.text().contains(bannerToken)) {
                probe.command("QUIT", &reply, qMin(remaining(deadline), 1000));
                return true;
            }
            return false;
        }
        QThread::msleep(50);
    }
    return false;
}

bool VsftpdServer::launch(const QDeadlineTimer& deadline, QString* error) {
    if (::geteuid() != 0) {
        *error = QStringLiteral("vsftpd must run as root here (it serves anonymous users)");
        return false;
    }
    if (!haveFtpAccount_) {
        *error = QStringLiteral("the 'ftp' account that the vsftpd package creates is missing");
        return false;
    }
    if (!QFileInfo(QString::fromLatin1(kVsftpd)).isExecutable()) {
        *error = QStringLiteral("%1 is not installed").arg(QString::fromLatin1(kVsftpd));
        return false;
    }
    if (!prepareFolders(error)) {
        return false;
    }
    // Port 0: the system chooses while binding, and the port is read back
    // from the process, so no other test can take it in between.
    const QByteArray token = QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    if (!writeConfig(0, token, error) ||
        !startProcess(QString::fromLatin1(kVsftpd), {configPath()}, false, deadline, error)) {
        return false;
    }
    const qint64 pid = processIds().value(0);
    quint16 port = 0;
    while (processRunning() && !deadline.hasExpired() && (port = listeningPort(pid)) == 0)
        QThread::msleep(20);
    bool exited = !processRunning();
    if (port != 0 && waitForGreeting(port, token, deadline, &exited)) {
        setPort(port);
        return true;
    }
    killProcess();
    if (exited)
        *error = QStringLiteral("vsftpd exited at once (see its log)");
    else if (port == 0)
        *error = QStringLiteral("vsftpd listened on no port within %1 ms").arg(kStartTimeoutMs);
    else
        *error = QStringLiteral("no greeting within %1 ms").arg(kStartTimeoutMs);
    return false;
}
