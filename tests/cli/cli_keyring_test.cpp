// velmora-cli keeps site passwords in a real Secret Service of the test's own (its own D-Bus
// session with gnome-keyring-daemon); without one they stay in site.set, with a warning.
#include "app/site_file.h"
#include "cli/cli_server_suite.h"
#include "platform/secret_store.h"
#include "support/pyftpdlib_suite.h"
#include "support/secret_service_session.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kPassword = QStringLiteral("velmora-pass");

QByteArray utf16(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

class CliKeyringTest : public PyftpdlibSuite<CliKeyringTest> {
protected:
    void SetUp() override {
        SecretServiceSession& secrets = SecretServiceSession::shared();
        if (!secrets.isRunning())
            GTEST_SKIP() << "no Secret Service for the test: " << str(secrets.error());
        ASSERT_NO_FATAL_FAILURE(PyftpdlibSuite::SetUp());
    }

    QProcessEnvironment env() const {
        return SecretServiceSession::shared().environment(CliRun::cliEnvironment(settings_.path()));
    }
    CliResult cli(const QStringList& args, const QProcessEnvironment& e) const {
        return runCli(args, e, 60000);
    }
    CliResult cli(const QStringList& args) const { return cli(args, env()); }
    QByteArray siteFile() const {
        QFile f(settings_.filePath(QStringLiteral("site.set")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList addArgs(const QString& name) const {
        return {"sites",
                "add",
                name,
                "--host",
                "127.0.0.1",
                "--port",
                QString::number(server_->port()),
                "--user",
                "velmora",
                "--password",
                kPassword};
    }
    // What the keyring holds under `key`, asked in this process over the same bus.
    static SecretStore::Result stored(const QString& key) {
        KeychainSecretStore store;
        return SecretServiceSession::read(store, key);
    }
    QString key(const QString& name) const { return name + QStringLiteral("@127.0.0.1"); }

    QTemporaryDir settings_;
};

TEST_F(CliKeyringTest, AddConnectRenameRemove) {
    const CliResult add = cli(addArgs(QStringLiteral("shop")));
    ASSERT_EQ(add.exitCode, 0) << str(add.describe());
    EXPECT_TRUE(add.err.isEmpty()) << str(add.describe());
    EXPECT_FALSE(siteFile().contains(utf16(kPassword))) << "the password is not in site.set";
    EXPECT_EQ(stored(key("shop")).secret, kPassword);
    const CliResult show = cli({"sites", "show", "shop"});
    EXPECT_TRUE(show.out.contains("Password: (in the desktop keyring)\n")) << str(show.describe());
    EXPECT_FALSE(show.out.contains(kPassword.toUtf8()));

    const CliResult login = cli({"--log", "--site", "shop", "ls", "/"});
    EXPECT_EQ(login.exitCode, 0) << str(login.describe());
    EXPECT_TRUE(login.logLines(QStringLiteral("reply")).join('\n').contains("230"))
        << str(login.describe());

    const CliResult rename = cli({"sites", "edit", "shop", "--name", "store"});
    ASSERT_EQ(rename.exitCode, 0) << str(rename.describe());
    EXPECT_EQ(stored(key("store")).secret, kPassword);
    EXPECT_EQ(stored(key("shop")).outcome, SecretStore::Outcome::NotFound);
    EXPECT_EQ(cli({"--site", "store", "ls", "/"}).exitCode, 0);

    const CliResult remove = cli({"sites", "remove", "store"});
    ASSERT_EQ(remove.exitCode, 0) << str(remove.describe());
    EXPECT_EQ(stored(key("store")).outcome, SecretStore::Outcome::NotFound);
}

// A login bound to fail is not tried: servers count refusals towards a lockout.
TEST_F(CliKeyringTest, MissingEntryIsReportedAndNothingLogsIn) {
    ASSERT_EQ(cli(addArgs(QStringLiteral("gone"))).exitCode, 0);
    KeychainSecretStore store;
    auto removed = std::make_shared<bool>(false);
    store.remove(key("gone"), [removed](const SecretStore::Result&) { *removed = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return *removed; }, 30000));
    const CliResult r = cli({"--log", "--site", "gone", "ls", "/"});
    EXPECT_EQ(r.exitCode, 1) << str(r.describe());
    EXPECT_TRUE(r.err.contains(
        "The desktop keyring holds no password for gone@127.0.0.1, or was not unlocked."))
        << str(r.describe());
    EXPECT_TRUE(r.err.contains("nothing was sent without a password")) << str(r.describe());
    EXPECT_TRUE(r.logLines("sent").isEmpty()) << str(r.describe());
}

TEST_F(CliKeyringTest, WithoutASecretStoreThePasswordStaysInTheFileWithAWarning) {
    QProcessEnvironment e = env();
    e.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), SecretServiceSession::emptyBusAddress());
    const CliResult add = cli(addArgs(QStringLiteral("plain")), e);
    ASSERT_EQ(add.exitCode, 0) << str(add.describe());
    EXPECT_TRUE(
        add.err.startsWith("velmora-cli: warning: the desktop keyring did not take the "
                           "password"))
        << str(add.describe());
    EXPECT_TRUE(siteFile().contains(utf16(kPassword)));
    EXPECT_EQ(cli({"--site", "plain", "ls", "/"}, e).exitCode, 0);
    EXPECT_TRUE(cli({"sites", "show", "plain"}, e).out.contains("Password: (in site.set)\n"));
}

}  // namespace
