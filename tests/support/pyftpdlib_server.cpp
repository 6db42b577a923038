#include "support/pyftpdlib_server.h"

#include <QDir>

namespace {

// Debian's interpreter: the one earlier on PATH may lack pyftpdlib.
const char kPython[] = "/usr/bin/python3";

}  // namespace

PyftpdlibServer::PyftpdlibServer(const Options& options)
    : FtpServerProcess(QStringLiteral("pyftpdlib")), options_(options) {}

QString PyftpdlibServer::user() const {
    return options_.anonymous ? QStringLiteral("anonymous") : options_.user;
}

QString PyftpdlibServer::password() const {
    return options_.anonymous ? QStringLiteral("guest@example.com") : options_.password;
}

bool PyftpdlibServer::launch(const QDeadlineTimer& deadline, QString* error) {
    QStringList arguments{supportScript(QStringLiteral("pyftpd_server.py")),
                          QStringLiteral("--root"), rootPath(), QStringLiteral("--port"),
                          QString::number(options_.port)};
    if (options_.anonymous) {
        arguments << QStringLiteral("--anonymous");
    } else {
        arguments << QStringLiteral("--user") << options_.user << QStringLiteral("--password")
                  << options_.password;
    }
    if (options_.noMlsd) {
        arguments << QStringLiteral("--no-mlsd");
    }
    if (options_.unixFacts) {
        arguments << QStringLiteral("--unix-facts");
    }
    if (!options_.passivePorts.isEmpty()) {
        arguments << QStringLiteral("--passive-ports") << options_.passivePorts;
    }
    if (options_.sendRate > 0) {
        arguments << QStringLiteral("--send-rate") << QString::number(options_.sendRate);
    }
    if (options_.receiveRate > 0)
        arguments << QStringLiteral("--receive-rate") << QString::number(options_.receiveRate);
    if (options_.receiveBuffer > 0)
        arguments << QStringLiteral("--receive-buffer") << QString::number(options_.receiveBuffer);
    const std::pair<bool, const char*> flags[] = {
        {options_.hash, "--hash"},
        {options_.xHash, "--x-hash"},
        {options_.corrupt, "--corrupt"},
        {options_.noRenameOver, "--no-rename-over"},
        {options_.refuseHiddenStor, "--refuse-hidden-stor"},
        {options_.noMfmt, "--no-mfmt"},
    };
    if (options_.listOffsetMinutes)
        arguments << QStringLiteral("--list-offset")
                  << QString::number(*options_.listOffsetMinutes);
    for (const auto& [on, flag] : flags)
        if (on)
            arguments << QString::fromLatin1(flag);
    if (!options_.tlsCertificate.isEmpty()) {
        arguments << QStringLiteral("--tls-cert") << options_.tlsCertificate
                  << QStringLiteral("--tls-key") << options_.tlsKey;
    }
    if (!options_.laterTlsCertificate.isEmpty()) {
        arguments << QStringLiteral("--later-tls-cert") << options_.laterTlsCertificate
                  << QStringLiteral("--later-tls-key") << options_.laterTlsKey;
    }
    if (options_.threaded)
        arguments << QStringLiteral("--threaded");
    if (options_.replyDelayMs > 0)
        arguments << QStringLiteral("--delay-ms") << QString::number(options_.replyDelayMs);
    if (options_.maxConnectionsPerAddress > 0)
        arguments << QStringLiteral("--max-cons-per-ip")
                  << QString::number(options_.maxConnectionsPerAddress);
    if (!options_.dropOnce.isEmpty())
        arguments << QStringLiteral("--drop-once") << options_.dropOnce;
    return startProcess(QString::fromLatin1(kPython), arguments, true, deadline, error) &&
           readAnnouncedPort(deadline, error);
}

bool ChangingCertificateServer::start(QString* error) {
    const QDir dir(certificates.path());
    TestCertificate second;
    if (!certificates.isValid() || !dir.mkpath(QStringLiteral("one")) ||
        !dir.mkpath(QStringLiteral("two"))) {
        *error = QStringLiteral("can not make a folder for the certificates");
        return false;
    }
    if (!TestCertificate::make(dir.filePath(QStringLiteral("one")), &first, error) ||
        !TestCertificate::make(dir.filePath(QStringLiteral("two")), &second, error))
        return false;
    PyftpdlibServer::Options o;
    o.threaded = true;
    o.tlsCertificate = first.certificatePath;
    o.tlsKey = first.keyPath;
    o.laterTlsCertificate = second.certificatePath;
    o.laterTlsKey = second.keyPath;
    server = std::make_unique<PyftpdlibServer>(o);
    if (server->start())
        return true;
    *error = server->lastError();
    return false;
}
