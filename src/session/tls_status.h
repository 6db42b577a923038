#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// What the user needs to judge a server's certificate.
struct PeerCertificate {
    QString subject;
    QString issuer;
    QDateTime notBefore;
    QDateTime notAfter;
    QByteArray sha256;  // raw digest of the DER form

    bool isNull() const { return sha256.isEmpty(); }
    // "SHA256:" followed by the digest as colon-separated upper-case hex pairs.
    QString fingerprintText() const;
};

// "SHA256:AB:CD..." or plain hex, any case, with or without colons, back to the
// raw digest; empty when it is not a SHA-256 digest.
QByteArray parseFingerprint(const QString& text);
QString fingerprintText(const QByteArray& sha256);

// How a TLS connection was set up. problems is empty when the certificate
// chain verified against the system's roots and matched the host name.
struct TlsStatus {
    bool secure = false;
    QString protocol;
    QString cipher;
    PeerCertificate certificate;
    QStringList problems;
};

// What a client asks of a TLS handshake it starts on a transport.
struct TlsRequest {
    QString peerName;  // checked against the certificate (control connection)
    // The control connection's session, resumed by data connections; servers
    // refuse data connections that do not resume it.
    QByteArray session;
    // Data connections: the certificate (when the server sends one) must be the
    // control connection's; the chain is not verified again.
    QByteArray pinnedSha256;
};
