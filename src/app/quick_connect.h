#pragma once

#include "app/ftp_url.h"

#include <QString>

#include <optional>

// The quick-connect fields of the tool bar: a connection without a stored
// site. An ftp:// or ftpes:// address pasted into the host field is taken
// apart into the fields.
struct QuickConnectFields {
    QString host;
    QString user;
    QString password;
    QString port;

    bool operator==(const QuickConnectFields&) const = default;
};

// The fields an address pasted into the host field stands for (the host field
// keeps "ftpes://" in front of the host, so the choice of TLS shows, and the
// folder after it); none when the text is not such an address.
std::optional<QuickConnectFields> FieldsFromAddress(const QString& text);

// Where "Connect" goes: an empty user means anonymous, an empty port 21; a
// folder after the host ("example.org/www") is the remote project folder, as
// in an address.
// None with the reason in `error` when the fields name nothing to connect to.
std::optional<FtpUrl> QuickConnectAddress(const QuickConnectFields& fields, QString* error);
