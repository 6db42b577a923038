#pragma once

#include <QString>

#include <optional>

// Whether a site's connection uses FTP over TLS (explicit, AUTH TLS).
enum class TlsMode {
    Off = 0,          // plain FTP
    IfAvailable = 1,  // TLS when the server offers it, plain otherwise (said so)
    Require = 2,      // no account is sent before TLS is up
};

// "off", "auto", "require" (any case).
std::optional<TlsMode> parseTlsMode(const QString& text);
QString tlsModeName(TlsMode mode);
