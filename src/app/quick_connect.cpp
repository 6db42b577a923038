#include "app/quick_connect.h"

#include "app/site_rules.h"

namespace {

bool isAddress(const QString& text) {
    return text.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("ftpes://"), Qt::CaseInsensitive);
}

}  // namespace

std::optional<QuickConnectFields> FieldsFromAddress(const QString& text) {
    const QString trimmed = text.trimmed();
    if (!isAddress(trimmed))
        return std::nullopt;
    QString error;
    const std::optional<FtpUrl> url = parseFtpUrl(trimmed, &error);
    if (!url)
        return std::nullopt;
    QuickConnectFields f;
    // The folder stays in sight after the host, where it can be changed.
    f.host = (url->tlsRequired ? QStringLiteral("ftpes://") : QString()) + url->host + url->path;
    if (!url->anonymous) {
        f.user = url->user;
        f.password = url->password;
    }
    f.port = url->port == 21 ? QString() : QString::number(url->port);
    return f;
}

std::optional<FtpUrl> QuickConnectAddress(const QuickConnectFields& fields, QString* error) {
    const QString host = fields.host.trimmed();
    if (host.isEmpty()) {
        *error = SiteMessages::kInputHost;
        return std::nullopt;
    }
    FtpUrl url;
    if (isAddress(host)) {
        std::optional<FtpUrl> parsed = parseFtpUrl(host, error);
        if (!parsed)
            return std::nullopt;
        url = *parsed;
    } else {
        // A bare host name or address, maybe with a folder after it: nothing
        // that would end up elsewhere.
        const qsizetype slash = host.indexOf(QLatin1Char('/'));
        const QString name = slash < 0 ? host : host.left(slash);
        for (QChar c : name) {
            if (c.isSpace() || c == QLatin1Char('@') || c == QLatin1Char('\\')) {
                *error = QStringLiteral("Not a host name: ") + host;
                return std::nullopt;
            }
        }
        if (name.isEmpty() || HasLineBreakOrNul(host)) {
            *error = QStringLiteral("Not a host name: ") + host;
            return std::nullopt;
        }
        url.host = name;
        if (slash >= 0 && host.size() > slash + 1)
            url.path = host.mid(slash);
    }
    const QString port = fields.port.trimmed();
    if (!port.isEmpty()) {
        bool ok = false;
        const int n = port.toInt(&ok);
        if (!ok || n < 1 || n > 65535) {
            *error = SiteMessages::kBadPort;
            return std::nullopt;
        }
        url.port = n;
    }
    if (!fields.user.isEmpty()) {
        if (HasLineBreakOrNul(fields.user) || HasLineBreakOrNul(fields.password)) {
            *error = QStringLiteral("User name and password are one line each");
            return std::nullopt;
        }
        url.user = fields.user;
        url.password = fields.password;
        url.anonymous = false;
    }
    return url;
}
