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

std::optional<FtpUrl> parseFtpUrl(const QString& text, QString* error);
