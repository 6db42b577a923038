#include "support/test_certificate.h"

#include "session/tls_status.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QSslCertificate>

QString TestCertificate::fingerprint() const {
    return fingerprintText(sha256);
}

bool TestCertificate::make(const QString& folder, TestCertificate* out, QString* error) {
    out->certificatePath = QDir(folder).filePath(QStringLiteral("server-cert.pem"));
    out->keyPath = QDir(folder).filePath(QStringLiteral("server-key.pem"));
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(
        QStringLiteral("openssl"),
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
         QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
         QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
         QStringLiteral("-keyout"), out->keyPath, QStringLiteral("-out"), out->certificatePath,
         QStringLiteral("-days"), QStringLiteral("3"), QStringLiteral("-subj"),
         QStringLiteral("/CN=localhost/O=Velmora tests"), QStringLiteral("-addext"),
         QStringLiteral("subjectAltName=DNS:localhost,IP:127.0.0.1")});
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        *error = QStringLiteral("openssl could not make a certificate: ") +
                 QString::fromLocal8Bit(openssl.readAll()) + openssl.errorString();
        openssl.kill();
        openssl.waitForFinished(1000);
        return false;
    }
    const QList<QSslCertificate> certs = QSslCertificate::fromPath(out->certificatePath);
    if (certs.isEmpty()) {
        *error = QStringLiteral("the certificate openssl made cannot be read");
        return false;
    }
    out->sha256 = certs.first().digest(QCryptographicHash::Sha256);
    return true;
}
