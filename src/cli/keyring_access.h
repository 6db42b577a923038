#pragma once

#include "platform/secret_store.h"

// The secret store asked from a script: each call runs the event loop until the store answers,
// at most `timeoutMs` (a locked keyring waits for its prompt to be answered).
class KeyringAccess {
public:
    explicit KeyringAccess(SecretStore* store, int timeoutMs = 120000)
        : store_(store), timeoutMs_(timeoutMs) {}

    bool isPresent() const { return store_ != nullptr; }
    SecretStore::Result read(const QString& key) const;
    SecretStore::Result write(const QString& key, const QString& secret) const;
    SecretStore::Result remove(const QString& key) const;

private:
    SecretStore::Result wait(const std::function<void(SecretStore::Callback)>& call) const;

    SecretStore* store_;
    int timeoutMs_;
};
