#include "app/connection_security.h"

ConnectionSecurity ConnectionSecurityOf(bool loggedIn, bool secure, const TlsStatus& tls) {
    if (!loggedIn)
        return {};
    if (!secure)
        return {QStringLiteral("Not encrypted"),
                QStringLiteral("The password, the listings and the files travel in clear. "
                               "Choose \"Require FTP over TLS\" in the site's settings when the "
                               "server offers it."),
                false};
    const QString how = tls.protocol.isEmpty() || tls.cipher.isEmpty()
                            ? QStringLiteral("Encrypted with TLS")
                            : QStringLiteral("Encrypted with %1, %2").arg(tls.protocol, tls.cipher);
    if (tls.problems.isEmpty())
        return {QStringLiteral("TLS"),
                QStringLiteral("%1; the server's certificate was verified.").arg(how), true};
    return {
        QStringLiteral("TLS, certificate not verified"),
        QStringLiteral("%1; the server's certificate did not verify (%2) and was accepted "
                       "by you: %3.")
            .arg(how, tls.problems.join(QStringLiteral("; ")), tls.certificate.fingerprintText()),
        true};
}
