#pragma once

#include <QString>

#include <optional>

// ftp://[user[:password]@]host[:port][/path]; no user means anonymous.
// ftpes:// is the same over FTP with explicit TLS, which it requires.
struct FtpUrl {
    QString host;
    int port = 21;
    QString user;
    QString password;
    bool anonymous = true;
    QString path;              // empty when the URL names none
    bool tlsRequired = false;  // ftpes://
};

// The error names the URL with its password masked.
std::optional<FtpUrl> parseFtpUrl(const QString& text, QString* error);

// `text` with every character of a URL's password (between the ':' after the user and the
// '@' before the host) replaced by '*', so the URL can be shown in a message or a log.
// Text that holds no such password comes back unchanged.
QString MaskUrlPassword(const QString& text);
