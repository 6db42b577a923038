#pragma once

#include "platform/secret_store.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A Secret Service of the tests' own: a private session bus on which nothing starts by itself,
// and gnome-keyring-daemon on it with its login keyring unlocked by a test password, all
// under a temporary home. Nothing of the user's desktop is touched.
class SecretServiceSession {
public:
    static constexpr char kTestPassword[] = "velmora-keyring-test";

    // Starts bus and daemon; error() says why when it could not (a missing package says so).
    SecretServiceSession();
    ~SecretServiceSession();
    SecretServiceSession(const SecretServiceSession&) = delete;
    SecretServiceSession& operator=(const SecretServiceSession&) = delete;

    bool isRunning() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }
    const QString& busAddress() const { return address_; }

    // `base` pointed at this bus and home, for child processes.
    QProcessEnvironment environment(QProcessEnvironment base) const;

    // One per test program, started on first use, its bus made this process's session bus
    // (the secret store's library keeps the first bus it met, so it is never changed).
    static SecretServiceSession& shared();

    // A private bus with no secret store on it (nothing can be started there either).
    static QString emptyBusAddress();

    // What `store` holds under `key`: asked and its answer awaited here (at most
    // 30 s; then an answer that says so).
    static SecretStore::Result read(SecretStore& store, const QString& key);

private:
    QTemporaryDir home_;
    QTemporaryDir runtime_;
    QProcess bus_;
    QProcess daemon_;
    QString address_;
    QString error_;
};
