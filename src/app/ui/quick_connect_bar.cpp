#include "app/ui/quick_connect_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {

// Fields share the bar by weight and give way in a narrow window.
QLineEdit* field(const QString& label, const QString& accessible, int stretch, QHBoxLayout* row,
                 QWidget* parent) {
    auto* caption = new QLabel(label, parent);
    auto* edit = new QLineEdit(parent);
    edit->setAccessibleName(accessible);
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 4);
    caption->setBuddy(edit);
    row->addWidget(caption);
    row->addWidget(edit, stretch);
    return edit;
}

}  // namespace

QuickConnectBar::QuickConnectBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("quickConnectBar"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 0, 4, 0);
    host_ = field(QStringLiteral("&Host:"), QStringLiteral("Quick connect host"), 22, row, this);
    user_ = field(QStringLiteral("&User:"), QStringLiteral("Quick connect user"), 12, row, this);
    password_ = field(QStringLiteral("Pass&word:"), QStringLiteral("Quick connect password"), 12,
                      row, this);
    port_ = field(QStringLiteral("&Port:"), QStringLiteral("Quick connect port"), 6, row, this);
    password_->setEchoMode(QLineEdit::Password);
    // Digits only; the range is the rule's to explain.
    port_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,5}")), port_));
    port_->setMaximumWidth(port_->fontMetrics().averageCharWidth() * 8 + 12);
    host_->setPlaceholderText(QStringLiteral("host or ftp://..."));
    user_->setPlaceholderText(QStringLiteral("anonymous"));
    port_->setPlaceholderText(QStringLiteral("21"));
    row->addStretch(1);
    connect_ = new QPushButton(QStringLiteral("Connect"), this);
    connect_->setAccessibleName(QStringLiteral("Quick connect"));
    row->addWidget(connect_);

    // An address pasted into the host field, or left there, is taken apart;
    // typing one goes on undisturbed until the field is left.
    connect(host_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text.size() - typedHost_.size() > 1)
            takeApartHost();
        typedHost_ = host_->text();
    });
    connect(host_, &QLineEdit::editingFinished, this, &QuickConnectBar::takeApartHost);
    const auto request = [this] {
        takeApartHost();
        emit connectRequested(fields());
    };
    connect(connect_, &QPushButton::clicked, this, request);
    for (QLineEdit* e : {host_, user_, password_, port_})
        connect(e, &QLineEdit::returnPressed, this, request);
}

void QuickConnectBar::takeApartHost() {
    const auto parsed = FieldsFromAddress(host_->text());
    if (!parsed)
        return;
    // Parts the address does not name keep what was typed.
    host_->setText(parsed->host);
    if (!parsed->user.isEmpty()) {
        user_->setText(parsed->user);
        password_->setText(parsed->password);
    }
    if (!parsed->port.isEmpty())
        port_->setText(parsed->port);
    typedHost_ = host_->text();
}

QuickConnectFields QuickConnectBar::fields() const {
    return {host_->text(), user_->text(), password_->text(), port_->text()};
}

void QuickConnectBar::setFields(const QuickConnectFields& f) {
    host_->setText(f.host);
    typedHost_ = f.host;
    user_->setText(f.user);
    password_->setText(f.password);
    port_->setText(f.port);
}
