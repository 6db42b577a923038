#pragma once

#include "session/certificate_judge.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// What the user is asked about a certificate that did not verify.
struct CertificateQuestion {
    CertificateCheck check;
    QByteArray storedSha256;  // the fingerprint trusted before for this host and port, if any

    // A trusted host now shows another certificate: said loudly.
    bool changed() const { return !storedSha256.isEmpty(); }
    QString title() const;
    QString heading() const;
    // "Label: value" rows: subject, issuer, validity, fingerprint, problems.
    QList<QPair<QString, QString>> details(const QDateTime& now) const;
};

enum class TrustChoice { Cancel, TrustOnce, AlwaysTrust };
