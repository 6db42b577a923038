#pragma once

#include <QByteArray>
#include <QString>

// A self-signed server certificate made with openssl for the TLS fixtures:
// CN and subjectAltName "localhost" and IP 127.0.0.1, valid for a few days.
struct TestCertificate {
    QString certificatePath;
    QString keyPath;
    QByteArray sha256;  // raw digest of the certificate

    QString fingerprint() const;  // "SHA256:AB:..."
    // Makes the pair in folder; false with the reason in error.
    static bool make(const QString& folder, TestCertificate* out, QString* error);
};
