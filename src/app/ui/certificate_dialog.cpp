#include "app/ui/certificate_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CertificateDialog::CertificateDialog(const CertificateQuestion& question, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(question.title());
    auto* heading = new QLabel(question.heading());
    heading->setWordWrap(true);
    if (question.changed())
        heading->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0); font-weight: bold;"));

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    for (const auto& [label, value] : question.details(QDateTime::currentDateTimeUtc())) {
        const bool digest =
            label == QLatin1String("SHA-256") || label == QLatin1String("Trusted before");
        // A fingerprint reads best as two rows of sixteen pairs.
        auto* field = new QLabel(digest && value.size() > 55
                                     ? value.left(55) + QLatin1Char('\n') + value.mid(55)
                                     : value);
        field->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (digest)
            field->setFont(QFont(QStringLiteral("monospace")));
        form->addRow(label + QLatin1Char(':'), field);
    }

    auto* buttons = new QDialogButtonBox;
    trustOnce_ = buttons->addButton(QStringLiteral("Trust once"), QDialogButtonBox::AcceptRole);
    alwaysTrust_ = buttons->addButton(QStringLiteral("Always trust"), QDialogButtonBox::AcceptRole);
    cancel_ = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(trustOnce_, &QPushButton::clicked, this, [this] {
        choice_ = TrustChoice::TrustOnce;
        accept();
    });
    connect(alwaysTrust_, &QPushButton::clicked, this, [this] {
        choice_ = TrustChoice::AlwaysTrust;
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        choice_ = TrustChoice::Cancel;
        reject();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addSpacing(8);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setMinimumWidth(560);
    // Enter must not trust a certificate by accident.
    trustOnce_->setAutoDefault(false);
    alwaysTrust_->setAutoDefault(false);
    cancel_->setDefault(true);
    cancel_->setFocus();
    adjustSize();
}

void DialogCertificateAsker::ask(const CertificateQuestion& question,
                                 std::function<void(TrustChoice)> answer) {
    auto* dialog = new CertificateDialog(question, parent_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, answer = std::move(answer)](int) { answer(dialog->choice()); });
    dialog->open();
}
