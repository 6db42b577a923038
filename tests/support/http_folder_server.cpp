#include "support/http_folder_server.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

HttpFolderServer::HttpFolderServer() {
    // Unbuffered, so the "Serving HTTP on ... port N" line comes as soon as it is bound.
    process_.setProgram(QStringLiteral("/usr/bin/python3"));
    process_.setArguments(
        {"-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", folder_.path()});
    process_.setStandardErrorFile(QProcess::nullDevice());
    process_.start();
    static const QRegularExpression announced(QStringLiteral(" port (\\d+) "));
    const QDeadlineTimer deadline(kStartTimeoutMs);
    QByteArray said;
    while (port_ == 0) {
        if (process_.canReadLine()) {
            said = process_.readLine();
            const QRegularExpressionMatch m = announced.match(QString::fromUtf8(said));
            if (m.hasMatch())
                port_ = quint16(m.captured(1).toUInt());
            continue;
        }
        if (process_.state() == QProcess::NotRunning) {
            error_ = QStringLiteral("python3 -m http.server ended: ") + process_.errorString();
            return;
        }
        if (deadline.hasExpired()) {
            error_ = QStringLiteral("no port announced within %1 ms (last said: %2)")
                         .arg(kStartTimeoutMs)
                         .arg(QString::fromUtf8(said));
            return;
        }
        process_.waitForReadyRead(int(qBound(qint64(1), deadline.remainingTime(), qint64(200))));
    }
}

HttpFolderServer::~HttpFolderServer() {
    process_.kill();
    process_.waitForFinished(5000);
}

bool HttpFolderServer::put(const QString& name, const QByteArray& bytes) const {
    QFile f(QDir(folder_.path()).filePath(name));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QUrl HttpFolderServer::url(const QString& name) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(port_).arg(name));
}
