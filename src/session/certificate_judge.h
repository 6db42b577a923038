#pragma once

#include "session/tls_status.h"

#include <QString>

#include <functional>

// A server certificate that did not verify against the system's roots or the
// host name, and where it came from.
struct CertificateCheck {
    QString host;
    int port = 21;
    TlsStatus tls;
};

// Decides whether the login goes on over a certificate that did not verify.
// The session never asks the user itself: the desktop puts a question dialog
// behind this, the command line its --trust list.
class CertificateJudge {
public:
    virtual ~CertificateJudge() = default;
    // Answers through done, at once or later; done(false, why) ends the
    // connection with why as its error line.
    using Done = std::function<void(bool trusted, const QString& why)>;
    virtual void judge(const CertificateCheck& check, Done done) = 0;
};
