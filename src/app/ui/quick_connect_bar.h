#pragma once

#include "app/quick_connect.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

// The tool bar's quick connection: host, user, password and port, and
// "Connect". An ftp:// or ftpes:// address pasted into the host field (or
// typed and left there) fills the other fields. Enter in any field connects.
class QuickConnectBar : public QWidget {
    Q_OBJECT
public:
    explicit QuickConnectBar(QWidget* parent = nullptr);

    QuickConnectFields fields() const;
    void setFields(const QuickConnectFields& fields);

    QLineEdit* hostEdit() const { return host_; }
    QLineEdit* userEdit() const { return user_; }
    QLineEdit* passwordEdit() const { return password_; }
    QLineEdit* portEdit() const { return port_; }
    QPushButton* connectButton() const { return connect_; }

signals:
    void connectRequested(const QuickConnectFields& fields);

private:
    void takeApartHost();

    QString typedHost_;
    QLineEdit* host_;
    QLineEdit* user_;
    QLineEdit* password_;
    QLineEdit* port_;
    QPushButton* connect_;
};
