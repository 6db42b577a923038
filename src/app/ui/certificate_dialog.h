#pragma once

#include "app/certificate_question.h"
#include "app/stored_certificate_judge.h"

#include <QDialog>
#include <QPointer>

class QPushButton;

// The question about a server certificate that did not verify: subject,
// issuer, validity and SHA-256 fingerprint, answered with "Trust once",
// "Always trust" or "Cancel" (the default). A changed certificate of a trusted
// host is announced in red above all else.
class CertificateDialog : public QDialog {
    Q_OBJECT
public:
    CertificateDialog(const CertificateQuestion& question, QWidget* parent = nullptr);

    TrustChoice choice() const { return choice_; }
    QPushButton* trustOnceButton() const { return trustOnce_; }
    QPushButton* alwaysTrustButton() const { return alwaysTrust_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    TrustChoice choice_ = TrustChoice::Cancel;
    QPushButton* trustOnce_ = nullptr;
    QPushButton* alwaysTrust_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Asks through a CertificateDialog opened window-modal over `parent`; the
// event loop goes on while the user reads it.
class DialogCertificateAsker : public CertificateAsker {
public:
    explicit DialogCertificateAsker(QWidget* parent) : parent_(parent) {}
    void ask(const CertificateQuestion& question, std::function<void(TrustChoice)> answer) override;

private:
    QPointer<QWidget> parent_;
};
