#include "app/ftp_url.h"

#include <QUrl>

std::optional<FtpUrl> parseFtpUrl(const QString& text, QString* error) {
    const bool tls = text.startsWith(QLatin1String("ftpes://"), Qt::CaseInsensitive);
    if (!tls && !text.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive)) {
        *error = QStringLiteral("not an ftp:// URL: ") + text;
        return std::nullopt;
    }
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        *error = QStringLiteral("invalid URL: ") + text;
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
