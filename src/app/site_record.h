#pragma once

#include "session/transfer_type.h"

#include <QRandomGenerator>
#include <QString>
#include <QtGlobal>

// A fresh identity for a site, valid for one run only.
inline qint32 NewSiteId() {
    QRandomGenerator* random = QRandomGenerator::global();
    const quint32 high = random->bounded(0x10000u);
    const quint32 low = random->bounded(0x10000u);
    return qint32((high << 16) | low);
}

// One site: everything needed to reach and log in to one server and to map its files to web
// addresses. Fields in stored order after Id.
struct SiteRecord {
    // LogonType
    static constexpr quint8 kLogonNormal = 0;
    static constexpr quint8 kLogonAnonymous = 1;
    static constexpr quint8 kLogonAskPassword = 2;
    static constexpr quint8 kLogonInteractive = 3;
    static constexpr quint8 kLogonAccount = 4;
    // TransferType
    static constexpr quint8 kTransferDefault = quint8(::TransferType::Default);
    static constexpr quint8 kTransferBinary = quint8(::TransferType::Binary);
    static constexpr quint8 kTransferAscii = quint8(::TransferType::Ascii);
    // SiteFlags
    static constexpr qint32 kPreferMlsd = 0x01;  // clear: always LIST
    static constexpr qint32 kBypassProxy = 0x02;
    static constexpr qint32 kTlsIfAvailable = 0x04;  // FTP over TLS when the server offers it
    static constexpr qint32 kTlsRequired = 0x08;     // FTP over TLS or no connection

    qint32 Id = NewSiteId();  // never stored
    QString Name;
    QString Comment;
    QString Host;
    qint32 Port = 21;  // negative shows as an empty field
    quint8 LogonType = kLogonNormal;
    QString User;
    QString Password;  // plain text, as stored
    quint8 TransferType = kTransferBinary;
    quint8 TransferMode = 0;  // 0 default, 1 active, 2 passive; stored only
    quint8 NameEncoding = 0;  // 0 default, 1 UTF-8, 2 custom; stored only
    QString LocalProjectFolder;
    QString RemoteProjectFolder;
    QString ConcernedFile;
    QString HttpBase;  // web host (and optional leading path) serving the site's files
    QString AbundantString1 = QStringLiteral("/public_html");
    QString AbundantString2 = QStringLiteral("/www");
    QString AbundantString3;
    qint32 SiteFlags = kPreferMlsd;
    // Not in the stored record: kept after the records of site.set. 1: the password is in the
    // desktop keyring under SiteKeyringKey, and Password stays empty.
    quint8 PasswordInKeyring = 0;

    bool operator==(const SiteRecord&) const = default;
};
