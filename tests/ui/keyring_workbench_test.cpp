// The window keeps site passwords in a real Secret Service of the test's own: file passwords
// move there on the first save, the field is emptied once the keyring took them, and a later
// start logs in with what the keyring holds. Renamed and removed sites take their entries along.
#include "app/site_file.h"
#include "app/site_keyring.h"
#include "platform/secret_store.h"
#include "session/tcp_transport.h"
#include "support/pyftpdlib_server.h"
#include "support/qt_printers.h"
#include "support/secret_service_session.h"
#include "support/server_account.h"
#include "workbench_harness.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray fileOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray utf16(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

TEST(KeyringWorkbench, FilePasswordMovesThereAndTheNextStartLogsIn) {
    SecretServiceSession& secrets = SecretServiceSession::shared();
    if (!secrets.isRunning())
        GTEST_SKIP() << "no Secret Service for the test: " << secrets.error().toStdString();
    PyftpdlibServer server;
    ASSERT_TRUE(server.start()) << server.lastError().toStdString();
    QTemporaryDir folder;
    const QString sitePath = folder.filePath(QStringLiteral("site.set"));
    SiteList sites;
    sites.Records.push_back(SiteFor(server, QStringLiteral("Shop")));
    ASSERT_TRUE(SaveSites(sites, sitePath));
    ASSERT_TRUE(fileOf(sitePath).contains(utf16(server.password())));

    KeychainSecretStore store;
    TcpTransportFactory transports;
    WorkbenchHarness fakes;
    const Workbench::Services services = fakes.services(transports, &store);
    {
        Workbench first(folder.path(), services);
        first.load();
        EXPECT_TRUE(first.keyringWanted());
        EXPECT_TRUE(first.save().isEmpty());
        // Emptied only once the keyring confirmed, and saved then.
        EXPECT_TRUE(WorkbenchHarness::waitFor(
            [&] { return !fileOf(sitePath).contains(utf16(server.password())); }, 30000));
    }
    EXPECT_EQ(SecretServiceSession::read(store, QStringLiteral("Shop@127.0.0.1")).secret,
              server.password());

    Workbench next(folder.path(), services);
    next.load();
    ASSERT_EQ(next.sites().Records.size(), 1u);
    EXPECT_TRUE(next.sites().Records[0].Password.isEmpty());
    EXPECT_TRUE(next.sites().Records[0].PasswordInKeyring);
    next.sites().SelectedIndex = 0;
    ASSERT_TRUE(next.connectSelectedSite());
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] { return next.session().loggedIn(); }, 30000));
    next.closeConnection();

    // Renamed: the entry follows. Removed: it goes.
    next.sites().Records[0].Name = QStringLiteral("Store");
    EXPECT_TRUE(next.save().isEmpty());
    EXPECT_TRUE(WorkbenchHarness::waitFor(
        [&] {
            return SecretServiceSession::read(store, QStringLiteral("Shop@127.0.0.1")).outcome ==
                   SecretStore::Outcome::NotFound;
        },
        30000));
    EXPECT_EQ(SecretServiceSession::read(store, QStringLiteral("Store@127.0.0.1")).secret,
              server.password());
    next.sites().Records.clear();
    EXPECT_TRUE(next.save().isEmpty());
    EXPECT_TRUE(WorkbenchHarness::waitFor(
        [&] {
            return SecretServiceSession::read(store, QStringLiteral("Store@127.0.0.1")).outcome ==
                   SecretStore::Outcome::NotFound;
        },
        30000));
    EXPECT_FALSE(fileOf(sitePath).contains(utf16(server.password())));
}

}  // namespace

namespace {

// A keyring whose unlock prompt the user cancels: the one answer a test can
// not get from the real daemon without a person at the prompt.
struct CancelledKeyring : SecretStore {
    int writes = 0;
    void read(const QString&, Callback done) override { done({Outcome::Refused, {}, {}}); }
    void write(const QString&, const QString&, Callback done) override {
        ++writes;
        QMetaObject::invokeMethod(
            qApp,
            [done] {
                done({Outcome::Refused, {}, QStringLiteral("prompt dismissed")});
            },
            Qt::QueuedConnection);
    }
    void remove(const QString&, Callback done) override { done({Outcome::Refused, {}, {}}); }
};

}  // namespace

// One prompt, not one a site: a cancel stops the rest, and later saves do not ask again.
TEST(KeyringWorkbench, ACancelledPromptIsNotAskedAgainForEachSite) {
    QTemporaryDir folder;
    SiteList sites;
    for (const char* name : {"One", "Two", "Three"}) {
        SiteRecord r;
        r.Name = QString::fromLatin1(name);
        r.Host = QStringLiteral("h.example");
        r.User = QStringLiteral("u");
        r.Password = QStringLiteral("secret");
        sites.Records.push_back(r);
    }
    ASSERT_TRUE(SaveSites(sites, folder.filePath(QStringLiteral("site.set"))));
    CancelledKeyring store;
    TcpTransportFactory transports;
    WorkbenchHarness fakes;
    const Workbench::Services services = fakes.services(transports, &store);
    Workbench w(folder.path(), services);
    w.load();
    EXPECT_TRUE(w.save().isEmpty());
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return !w.keyringWanted(); }, 5000));
    EXPECT_TRUE(w.save().isEmpty());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(store.writes, 1);
    for (const SiteRecord& r : w.sites().Records)
        EXPECT_EQ(r.Password, QStringLiteral("secret"));
}
