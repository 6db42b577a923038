#include "platform/secret_store.h"

#include <qt6keychain/keychain.h>

namespace {

SecretStore::Outcome outcomeOf(QKeychain::Error error) {
    switch (error) {
        case QKeychain::NoError:
            return SecretStore::Outcome::Done;
        case QKeychain::EntryNotFound:
            return SecretStore::Outcome::NotFound;
        case QKeychain::AccessDeniedByUser:
        case QKeychain::AccessDenied:
            return SecretStore::Outcome::Refused;
        case QKeychain::NoBackendAvailable:
        case QKeychain::NotImplemented:
            return SecretStore::Outcome::Unavailable;
        default:
            return SecretStore::Outcome::Failed;
    }
}

// Runs `job`, answering `done` from its end; the store is the context, so an answer after
// the store is gone reaches nobody.
void run(QObject* context, QKeychain::Job* job, const QString& key,
         const SecretStore::Callback& done) {
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, context, [done](QKeychain::Job* finished) {
        SecretStore::Result result;
        result.outcome = outcomeOf(finished->error());
        if (result.outcome != SecretStore::Outcome::Done)
            result.message = finished->errorString();
        else if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(finished))
            result.secret = read->textData();
        done(result);
    });
    job->start();
}

}  // namespace

KeychainSecretStore::KeychainSecretStore(const QString& service, QObject* parent)
    : QObject(parent), service_(service) {}

void KeychainSecretStore::read(const QString& key, Callback done) {
    run(this, new QKeychain::ReadPasswordJob(service_), key, done);
}

void KeychainSecretStore::write(const QString& key, const QString& secret, Callback done) {
    auto* job = new QKeychain::WritePasswordJob(service_);
    job->setTextData(secret);
    run(this, job, key, done);
}

void KeychainSecretStore::remove(const QString& key, Callback done) {
    run(this, new QKeychain::DeletePasswordJob(service_), key, done);
}
