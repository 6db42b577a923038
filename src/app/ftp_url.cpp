#include "app/ftp_url.h"

#include <QUrl>

std::optional<FtpUrl> parseFtpUrl(const QString& text, QString* error) {
    const bool tls = text.startsWith(QLatin1String("ftpes://"), Qt::CaseInsensitive);
    if (!tls && !text.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive)) {
        *error = QStringLiteral("not an ftp:// URL: ") + MaskUrlPassword(text);
        return std::nullopt;
    }
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        // QUrl's own text quotes the input after the first ';', password and all.
        const QString reason = url.isValid() ? QStringLiteral("no host name")
                                             : url.errorString().section(QLatin1Char(';'), 0, 0);
        *error = QStringLiteral("invalid URL: ") + MaskUrlPassword(text) + QStringLiteral(" (") +
                 reason + QLatin1Char(')');
        return std::nullopt;
    }
    FtpUrl u;
    u.tlsRequired = tls;
    u.host = url.host();
    u.port = url.port(21);
    if (!url.userName().isEmpty()) {
        u.user = url.userName(QUrl::FullyDecoded);
        u.password = url.password(QUrl::FullyDecoded);
        u.anonymous = false;
    }
    u.path = url.path(QUrl::FullyDecoded);
    if (u.path == QLatin1String("/") && !text.endsWith(QLatin1Char('/')))
        u.path.clear();
    return u;
}

QString MaskUrlPassword(const QString& text) {
    const qsizetype scheme = text.indexOf(QLatin1String("://"));
    const qsizetype start = scheme < 0 ? 0 : scheme + 3;
    // The password ends at the last '@': one typed with '@' or '/' in it makes the URL
    // ambiguous, and showing too many stars is better than a piece of the password.
    const qsizetype at = text.lastIndexOf(QLatin1Char('@'));
    if (at < start)
        return text;
    const qsizetype colon = text.indexOf(QLatin1Char(':'), start);
    if (colon < 0 || colon > at)
        return text;
    QString masked = text;
    for (qsizetype i = colon + 1; i < at; ++i)
        masked[i] = QLatin1Char('*');
    return masked;
}
