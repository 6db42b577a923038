#include "app/stored_certificate_judge.h"

#include <QPointer>

StoredCertificateJudge::StoredCertificateJudge(TrustStore& store, CertificateAsker* asker,
                                               QList<QByteArray> trustedForRun, QObject* parent)
    : QObject(parent), store_(store), asker_(asker), trustedForRun_(std::move(trustedForRun)) {}

void StoredCertificateJudge::judge(const CertificateCheck& check, Done done) {
    const QByteArray fp = check.tls.certificate.sha256;
    const QString fpText = check.tls.certificate.fingerprintText();
    if (!fp.isEmpty() && trustedForRun_.contains(fp)) {
        done(true, QStringLiteral("Certificate trusted for this run: ") + fpText);
        return;
    }
    const std::optional<QByteArray> stored = store_.find(check.host, check.port);
    if (!fp.isEmpty() && stored && *stored == fp) {
        done(true, QStringLiteral("Certificate trusted, its fingerprint is stored: ") + fpText);
        return;
    }
    CertificateQuestion question{check, stored.value_or(QByteArray())};
    if (fp.isEmpty()) {
        done(false, QStringLiteral("The server sent no certificate, connection closed"));
        return;
    }
    if (!asker_) {
        QString why;
        if (question.changed())
            why = QStringLiteral(
                      "WARNING: the certificate of %1:%2 has CHANGED since it was "
                      "trusted (trusted %3, now %4); connection closed. ")
                      .arg(check.host)
                      .arg(check.port)
                      .arg(fingerprintText(*stored), fpText);
        else
            why = QStringLiteral("Certificate of %1:%2 not trusted (%3; %4); connection closed. ")
                      .arg(check.host)
                      .arg(check.port)
                      .arg(fpText, check.tls.problems.join(QStringLiteral("; ")));
        why += QStringLiteral("To trust it, run again with --trust ") + fpText;
        done(false, why);
        return;
    }
    QPointer<StoredCertificateJudge> self(this);
    asker_->ask(question, [self, check, fp, fpText, done](TrustChoice choice) {
        if (choice == TrustChoice::Cancel || !self) {
            done(false,
                 QStringLiteral("Certificate not trusted (%1), connection closed").arg(fpText));
            return;
        }
        if (choice == TrustChoice::TrustOnce) {
            done(true, QStringLiteral("Certificate trusted once: ") + fpText);
            return;
        }
        self->store_.trust(check.host, check.port, fp);
        if (!self->store_.save())
            emit self->storeFailed(self->store_.path());
        done(true, QStringLiteral("Certificate trusted and stored: ") + fpText);
    });
}
