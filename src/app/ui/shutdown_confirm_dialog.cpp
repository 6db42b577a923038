#include "app/ui/shutdown_confirm_dialog.h"

#include "app/completion_actions.h"
#include "platform/program_texts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ShutdownConfirmDialog::ShutdownConfirmDialog(const QString& text, QWidget* parent)
    : QDialog(parent),
      text_(new QLabel(text)),
      apply_(new QPushButton(QStringLiteral("Apply"))),
      cancel_(new QPushButton(QString::fromLatin1(CompletionTexts::kCancel))) {
    setWindowTitle(QString::fromLatin1(CompletionTexts::kConfirmTitle));
    text_->setTextFormat(Qt::PlainText);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(apply_);
    buttons->addWidget(cancel_);
    cancel_->setDefault(true);  // a stray Enter does not arm a shutdown

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
    connect(apply_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

bool ShutdownConfirmPrompter::askYesNo(const QString& text) {
    ShutdownConfirmDialog dialog(text, parent_);
    return dialog.exec() == QDialog::Accepted;
}
