#include "app/certificate_question.h"

#include "session/tls_status.h"

QString CertificateQuestion::title() const {
    return changed() ? QStringLiteral("Certificate changed")
                     : QStringLiteral("Unknown certificate");
}

QString CertificateQuestion::heading() const {
    const QString where = QStringLiteral("%1:%2").arg(check.host).arg(check.port);
    if (changed())
        return QStringLiteral(
                   "WARNING: the certificate of %1 has CHANGED since you chose to trust it.\n"
                   "Someone may be listening in between. Connect only if you know why it "
                   "changed.")
            .arg(where);
    return QStringLiteral(
               "The certificate of %1 could not be verified. Check its fingerprint with the "
               "server's keeper before trusting it.")
        .arg(where);
}

QList<QPair<QString, QString>> CertificateQuestion::details(const QDateTime& now) const {
    const PeerCertificate& c = check.tls.certificate;
    const auto date = [](const QDateTime& d) {
        return d.isValid() ? d.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'"))
                           : QStringLiteral("?");
    };
    QString validity = date(c.notBefore) + QStringLiteral(" to ") + date(c.notAfter);
    if (c.notAfter.isValid() && c.notAfter < now)
        validity += QStringLiteral(" (expired)");
    else if (c.notBefore.isValid() && c.notBefore > now)
        validity += QStringLiteral(" (not yet valid)");
    QList<QPair<QString, QString>> rows{
        {QStringLiteral("Subject"), c.subject},
        {QStringLiteral("Issuer"), c.issuer},
        {QStringLiteral("Valid"), validity},
        {QStringLiteral("SHA-256"), c.fingerprintText()},
    };
    if (changed())
        rows.append({QStringLiteral("Trusted before"), fingerprintText(storedSha256)});
    rows.append({QStringLiteral("Problems"), check.tls.problems.join(QLatin1Char('\n'))});
    if (!check.tls.protocol.isEmpty())
        rows.append({QStringLiteral("Connection"),
                     check.tls.protocol + QStringLiteral(", ") + check.tls.cipher});
    return rows;
}
