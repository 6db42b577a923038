#include "session/tls_status.h"

QString fingerprintText(const QByteArray& sha256) {
    return QStringLiteral("SHA256:") + QString::fromLatin1(sha256.toHex(':').toUpper());
}

QString PeerCertificate::fingerprintText() const {
    return ::fingerprintText(sha256);
}

QByteArray parseFingerprint(const QString& text) {
    QString t = text.trimmed();
    if (t.startsWith(QStringLiteral("SHA256:"), Qt::CaseInsensitive))
        t = t.mid(7);
    t.remove(QLatin1Char(':'));
    if (t.size() != 64)
        return {};
    for (QChar c : t) {
        if (!c.isDigit() && !(c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')))
            return {};
    }
    return QByteArray::fromHex(t.toLatin1());
}
