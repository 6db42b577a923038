#include "session/tls_mode.h"

std::optional<TlsMode> parseTlsMode(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("off"))
        return TlsMode::Off;
    if (t == QLatin1String("auto"))
        return TlsMode::IfAvailable;
    if (t == QLatin1String("require"))
        return TlsMode::Require;
    return std::nullopt;
}

QString tlsModeName(TlsMode mode) {
    switch (mode) {
        case TlsMode::Off:
            return QStringLiteral("off");
        case TlsMode::IfAvailable:
            return QStringLiteral("auto");
        case TlsMode::Require:
            return QStringLiteral("require");
    }
    return QStringLiteral("off");
}
