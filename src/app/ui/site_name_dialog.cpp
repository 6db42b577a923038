#include "app/ui/site_name_dialog.h"

#include "app/site_rules.h"
#include "platform/prompter.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

SiteNameDialog::SiteNameDialog(const SiteList& sites, Mode mode, int editedRow, Prompter& prompter,
                               QWidget* parent)
    : QDialog(parent),
      sites_(sites),
      editedRow_(mode == Mode::Edit ? editedRow : -1),
      prompter_(prompter),
      name_(new QLineEdit),
      comment_(new QLineEdit),
      ok_(new QPushButton(QStringLiteral("OK"))) {
    setWindowTitle(mode == Mode::New ? QStringLiteral("New site") : QStringLiteral("Edit site"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name"), name_);
    auto* commentRow = new QHBoxLayout;
    commentRow->addWidget(comment_, 1);
    commentRow->addWidget(new QLabel(QStringLiteral("(optional)")));
    form->addRow(QStringLiteral("Comment"), commentRow);
    name_->setMinimumWidth(260);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    ok_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &SiteNameDialog::tryAccept);
}

void SiteNameDialog::setTexts(const QString& name, const QString& comment) {
    name_->setText(name);
    comment_->setText(comment);
}

QString SiteNameDialog::name() const {
    return name_->text();
}

QString SiteNameDialog::comment() const {
    return comment_->text();
}

void SiteNameDialog::tryAccept() {
    const QString message = CheckSiteName(sites_, name(), comment(), editedRow_);
    if (!message.isEmpty()) {
        prompter_.showMessage(message);
        return;
    }
    accept();
}
