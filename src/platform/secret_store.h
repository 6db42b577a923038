#pragma once

#include <QObject>
#include <QString>

#include <functional>

// The desktop's secret store (the Secret Service of GNOME Keyring or KWallet), asked without
// waiting: every call answers once through its callback, on the event loop. A locked store
// asks the user through its own prompt before it answers.
class SecretStore {
public:
    enum class Outcome {
        Done,         // read, written or removed
        NotFound,     // no secret under that key
        Refused,      // the user declined to unlock, or access was denied
        Unavailable,  // no secret store answers on this desktop
        Failed,       // anything else; `message` says what
    };
    struct Result {
        Outcome outcome = Outcome::Failed;
        QString secret;   // after a read that was Done
        QString message;  // the store's own words when not Done
    };
    using Callback = std::function<void(const Result&)>;

    virtual ~SecretStore() = default;
    virtual void read(const QString& key, Callback done) = 0;
    virtual void write(const QString& key, const QString& secret, Callback done) = 0;
    virtual void remove(const QString& key, Callback done) = 0;
};

// QtKeychain under one service name ("Velmora"). It never falls back to a plain file: a
// desktop without a secret store answers Unavailable. Answers to calls still running when the
// store is destroyed are dropped.
class KeychainSecretStore : public QObject, public SecretStore {
    Q_OBJECT
public:
    explicit KeychainSecretStore(const QString& service = QStringLiteral("Velmora"),
                                 QObject* parent = nullptr);

    void read(const QString& key, Callback done) override;
    void write(const QString& key, const QString& secret, Callback done) override;
    void remove(const QString& key, Callback done) override;

private:
    QString service_;
};
