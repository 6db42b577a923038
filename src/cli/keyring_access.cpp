#include "cli/keyring_access.h"

#include "cli/cli_commands.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <optional>

SecretStore::Result KeyringAccess::wait(
    const std::function<void(SecretStore::Callback)>& call) const {
    SecretStore::Result none;
    none.outcome = SecretStore::Outcome::Unavailable;
    if (!store_)
        return none;
    // The answer may come after the wait gave up: it then writes into a result nobody reads.
    auto answer = std::make_shared<std::optional<SecretStore::Result>>();
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(timeoutMs_);
    // A locked keyring waits for its prompt on the desktop: the script's log says
    // why nothing happens, rather than staying silent for minutes.
    QTimer notice;
    notice.setSingleShot(true);
    QObject::connect(&notice, &QTimer::timeout, [seconds = timeoutMs_ / 1000] {
        printError(QStringLiteral("waiting for the desktop keyring, at most %1 s (it may be "
                                  "asking on the desktop to be unlocked)")
                       .arg(seconds));
    });
    notice.start(2000);
    const QPointer<QEventLoop> waiting(&loop);
    call([answer, waiting](const SecretStore::Result& result) {
        *answer = result;
        if (waiting)
            waiting->quit();
    });
    if (!answer->has_value())
        loop.exec();
    if (answer->has_value())
        return **answer;
    SecretStore::Result late;
    late.outcome = SecretStore::Outcome::Failed;
    late.message =
        QStringLiteral("the desktop keyring did not answer within %1 s").arg(timeoutMs_ / 1000);
    return late;
}

SecretStore::Result KeyringAccess::read(const QString& key) const {
    return wait([this, key](SecretStore::Callback done) { store_->read(key, done); });
}

SecretStore::Result KeyringAccess::write(const QString& key, const QString& secret) const {
    return wait(
        [this, key, secret](SecretStore::Callback done) { store_->write(key, secret, done); });
}

SecretStore::Result KeyringAccess::remove(const QString& key) const {
    return wait([this, key](SecretStore::Callback done) { store_->remove(key, done); });
}
