#pragma once

#include "session/server_features.h"
#include "session/tls_mode.h"
#include "session/transfer_type.h"

#include <QByteArray>
#include <QString>

// What the session needs to know of the site and the settings; filled by the
// application from the current site and the general settings.
struct SessionOptions {
    QString host;
    int port = 21;
    int logonType = 0;  // 1: anonymous
    QString user;
    QString password;
    TransferType transferType = TransferType::Binary;
    QString siteName;
    QString comment;
    bool preferMlsd = true;
    QString concernedFile;
    TlsMode tls = TlsMode::Off;

    int keepAliveInterval = 1;  // 0 off, 1..4: 2, 5, 7, 10 minutes
    int keepAliveCommand1 = 0;  // 0 MLST, 1 MLSD or LIST
    int keepAliveCommand2 = 0;  // 0 NOOP, 1 PWD
    bool showActiveServerFiles = false;

    // A connection beside another one to the same server: FEAT and HELP are
    // not asked again, what the other learnt (AnnouncedMlsd, AnnouncedRest,
    // the checksum, MFMT and rename facts) holds instead, and no initial
    // listing is made.
    bool askFeatures = true;
    quint8 knownCapabilities = 0;
    ServerFeatures knownFeatures;
    // When set, the server must show exactly this certificate (SHA-256 of its
    // DER form): the one judged on the other connection. Any other is refused,
    // whether it verifies or not.
    QByteArray pinnedCertificate;

    // The connect time-out, the wait for the welcome once connected, and the
    // keep-alive minute, shortened by tests.
    int connectTimeoutMs = 5000;
    int welcomeTimeoutMs = 30000;
    int keepAliveMinuteMs = 60000;
};
