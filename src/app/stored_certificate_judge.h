#pragma once

#include "app/certificate_question.h"
#include "app/trust_store.h"
#include "session/certificate_judge.h"

#include <QList>
#include <QObject>

#include <functional>

// Shows the certificate question to the user; answers later through the callback.
class CertificateAsker {
public:
    virtual ~CertificateAsker() = default;
    virtual void ask(const CertificateQuestion& question,
                     std::function<void(TrustChoice)> answer) = 0;
};

// Judges certificates that did not verify: fingerprints trusted for this run
// (the command line's --trust) and those in the trust store pass; others go to
// the asker, or, without one, are refused with how to trust them.
class StoredCertificateJudge : public QObject, public CertificateJudge {
    Q_OBJECT
public:
    StoredCertificateJudge(TrustStore& store, CertificateAsker* asker,
                           QList<QByteArray> trustedForRun = {}, QObject* parent = nullptr);

    void judge(const CertificateCheck& check, Done done) override;
    // The desktop installs its question dialog once its window exists.
    void setAsker(CertificateAsker* asker) { asker_ = asker; }

signals:
    // "Always trust" could not be written to the trust store.
    void storeFailed(const QString& path);

private:
    TrustStore& store_;
    CertificateAsker* asker_;
    QList<QByteArray> trustedForRun_;
};
