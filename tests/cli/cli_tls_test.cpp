// velmora-cli over FTP with explicit TLS against real servers: pyftpdlib's TLS
// handler and vsftpd with ssl_enable and require_ssl_reuse (data connections
// must resume the control connection's session), both with a self-signed
// certificate made for the run.
#include "app/trust_store.h"
#include "cli/cli_server_suite.h"
#include "cli/tree_snapshot.h"
#include "support/test_certificate.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace {

template <typename Flavour>
class CliTlsTest : public CliServerSuite<Flavour> {
protected:
    using Suite = CliServerSuite<Flavour>;

    static void SetUpTestSuite() {
        certDir_ = std::make_unique<QTemporaryDir>();
        ::chmod(QFile::encodeName(certDir_->path()).constData(), 0755);
        if (!TestCertificate::make(certDir_->path(), &cert_, &Suite::error_))
            return;
        typename Suite::Server::Options o;
        o.tlsCertificate = cert_.certificatePath;
        o.tlsKey = cert_.keyPath;
        Suite::startServer(o);
    }
    static void TearDownTestSuite() {
        Suite::TearDownTestSuite();
        certDir_.reset();
    }

    static QString url() { return Suite::url(QStringLiteral("ftpes")); }
    static QStringList trusted() { return {"--trust", cert_.fingerprint()}; }

    static inline std::unique_ptr<QTemporaryDir> certDir_;
    static inline TestCertificate cert_;
};

TYPED_TEST_SUITE(CliTlsTest, ServerFlavours, FlavourNames);

TYPED_TEST(CliTlsTest, TransfersOverTlsMatchByteForByte) {
    const QByteArray big = patternBytes(3 * 1024 * 1024 + 17, 7);
    ASSERT_TRUE(this->server_->makeDir(this->serverRel("tls")));
    ASSERT_TRUE(this->server_->writeFile(this->serverRel("tls/big.bin"), big));

    // Listing, with the TLS steps in the log.
    const CliResult ls = this->cli(QStringList{"--log"} + this->trusted() +
                                   QStringList{this->url(), "ls", this->remote("tls")});
    ASSERT_EQ(ls.exitCode, 0) << str(ls.describe());
    EXPECT_TRUE(ls.out.contains("big.bin")) << str(ls.describe());
    const QStringList sent = ls.logLines(QStringLiteral("sent"));
    ASSERT_GE(sent.size(), 5) << str(ls.describe());
    EXPECT_EQ(sent.mid(0, 2), (QStringList{"AUTH TLS", "USER " + this->server_->user()}));
    EXPECT_TRUE(sent.contains("PBSZ 0") && sent.contains("PROT P")) << str(ls.describe());
    EXPECT_FALSE(ls.logLines(QStringLiteral("status"))
                     .filter(QRegularExpression("^TLS connection established: TLSv1\\.[23], "))
                     .isEmpty())
        << str(ls.describe());

    // Download, then a resumed download of a cut copy.
    const CliResult get =
        this->cli(this->trusted() + QStringList{this->url(), "get", this->remote("tls/big.bin"),
                                                this->local("down/")});
    ASSERT_EQ(get.exitCode, 0) << str(get.describe());
    EXPECT_TRUE(readLocalFile(this->local("down/big.bin")) == big);
    QDir().mkpath(this->local("part"));
    ASSERT_TRUE(writeLocalFile(this->local("part/big.bin"), big.left(1000000)));
    const CliResult resume =
        this->cli(this->trusted() + QStringList{this->url(), "get", "--action", "resume",
                                                this->remote("tls/big.bin"), this->local("part")});
    ASSERT_EQ(resume.exitCode, 0) << str(resume.describe());
    const QByteArray resumed = readLocalFile(this->local("part/big.bin"));
    EXPECT_TRUE(resumed == big) << resumed.size() << " bytes " << str(resume.describe());

    // Upload of a tree, then several transfers in one session: every data
    // connection resumes the control connection's session.
    const std::vector<TreeEntry> tree = sampleTree();
    ASSERT_TRUE(writeLocalTree(this->local("src/tree"), tree));
    ASSERT_TRUE(this->server_->makeDir(this->serverRel("tls/up")));
    const CliResult put =
        this->cli(this->trusted() +
                  QStringList{this->url(), "put", this->local("src/tree"), this->remote("tls/up")});
    ASSERT_EQ(put.exitCode, 0) << str(put.describe());
    EXPECT_EQ(snapshotTree(this->serverPath("tls/up")),
              expectedTree(tree, QStringLiteral("tree/")));
}

TYPED_TEST(CliTlsTest, CertificatesAreTrustedOnlyWhenNamed) {
    const QString wrong = QStringLiteral("SHA256:") + QString("00:").repeated(31) + "00";
    struct Row {
        const char* what;
        QStringList options;
        bool storeFingerprint;
        int exitCode;
    };
    const Row rows[] = {
        {"unknown", {}, false, 1},
        {"a wrong fingerprint", {"--trust", wrong}, false, 1},
        {"named for the run", {"--trust", this->cert_.fingerprint()}, false, 0},
        {"stored by Always trust", {}, true, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir settings;
        if (row.storeFingerprint) {
            TrustStore store(QDir(settings.path()).filePath(TrustStore::fileName()));
            store.trust("127.0.0.1", this->server_->port(), this->cert_.sha256);
            ASSERT_TRUE(store.save());
        }
        const CliResult r =
            this->cli(QStringList{"--log"} + row.options + QStringList{this->url(), "ls", "/"},
                      settings.path());
        EXPECT_EQ(r.exitCode, row.exitCode) << str(r.describe());
        if (row.exitCode != 0) {
            // The reason names the fingerprint and how to trust it; nothing of
            // the account went out.
            EXPECT_TRUE(r.err.contains("--trust " + this->cert_.fingerprint()))
                << str(r.describe());
            EXPECT_EQ(r.logLines(QStringLiteral("sent")), QStringList{"AUTH TLS"});
        }
    }
}

TYPED_TEST(CliTlsTest, SitesStoreTheMode) {
    const CliResult add = this->cli({"sites", "add", "tls site", "--host", "127.0.0.1", "--port",
                                     QString::number(this->server_->port()), "--tls", "require",
                                     "--anonymous", "--password", "x@example.com"});
    ASSERT_EQ(add.exitCode, 0) << str(add.describe());
    const CliResult show = this->cli({"sites", "show", "tls site"});
    EXPECT_TRUE(show.out.contains("SiteFlags: 0x09 (prefer MLSD, TLS required)"))
        << str(show.describe());
    const CliResult edit = this->cli({"sites", "edit", "tls site", "--tls", "auto"});
    ASSERT_EQ(edit.exitCode, 0) << str(edit.describe());
    EXPECT_TRUE(this->cli({"sites", "show", "tls site"})
                    .out.contains("SiteFlags: 0x05 (prefer MLSD, TLS if available)"));
    const CliResult bad = this->cli({"sites", "edit", "tls site", "--tls", "maybe"});
    EXPECT_EQ(bad.exitCode, 2) << str(bad.describe());
}

// A server that offers no AUTH TLS: "auto" goes on in plain and says so,
// ftpes:// (require) sends no account at all.
TEST(CliTlsPlainServer, ModesAgainstAServerWithoutTls) {
    PyftpdlibServer server;
    ASSERT_TRUE(server.start()) << str(server.lastError());
    QTemporaryDir settings;
    const QString where = QStringLiteral("velmora:velmora-pass@127.0.0.1:%1/").arg(server.port());
    const QProcessEnvironment env = CliRun::cliEnvironment(settings.path());

    const CliResult autoRun = runCli({"--log", "--tls", "auto", "ftp://" + where, "ls", "/"}, env);
    ASSERT_EQ(autoRun.exitCode, 0) << str(autoRun.describe());
    EXPECT_EQ(autoRun.logLines("sent").mid(0, 2), (QStringList{"AUTH TLS", "USER velmora"}));
    EXPECT_TRUE(autoRun.logLines("status").contains(
        "The server does not offer FTP over TLS; going on without it: the password and files "
        "travel in clear"))
        << str(autoRun.describe());

    const CliResult required = runCli({"--log", "ftpes://" + where, "ls", "/"}, env);
    EXPECT_EQ(required.exitCode, 1) << str(required.describe());
    EXPECT_EQ(required.logLines("sent"), QStringList{"AUTH TLS"});
    EXPECT_TRUE(required.err.contains("requires FTP over TLS")) << str(required.describe());
    // Nor does a --tls that would let ftpes:// go without it.
    for (const char* mode : {"off", "auto"}) {
        const CliResult loosened = runCli({"--log", "--tls", mode, "ftpes://" + where, "ls"}, env);
        EXPECT_EQ(loosened.exitCode, 2) << str(loosened.describe());
        EXPECT_TRUE(loosened.logLines("sent").isEmpty()) << str(loosened.describe());
    }

    const CliResult plain = runCli({"--log", "ftp://" + where, "ls", "/"}, env);
    ASSERT_EQ(plain.exitCode, 0) << str(plain.describe());
    EXPECT_EQ(plain.logLines("sent").first(), "USER velmora");
}

}  // namespace

// Transfer connections shown another certificate than the main one are refused; the deploy
// goes on over the main connection, says why and fails the run, without stopping short.
TEST(CliTlsChangedCertificate, ADeployGoesOnOverTheMainConnection) {
    QTemporaryDir settings, work;
    ChangingCertificateServer changing;
    QString error;
    ASSERT_TRUE(changing.start(&error)) << str(error);
    PyftpdlibServer& server = *changing.server;
    const TestCertificate& first = changing.first;
    const QString project = work.filePath("project");
    ASSERT_TRUE(writeLocalFile(project + "/a.html", "a") &&
                writeLocalFile(project + "/b.html", "b"));
    const QProcessEnvironment env = CliRun::cliEnvironment(settings.path());
    ASSERT_EQ(
        runCli({"sites", "add", "tls", "--host", "127.0.0.1", "--port",
                QString::number(server.port()), "--user", "velmora", "--password", "velmora-pass",
                "--tls", "require", "--local-project", project, "--remote-project", "/"},
               env)
            .exitCode,
        0);
    const CliResult r =
        runCli({"--trust", first.fingerprint(), "--site", "tls", "deploy", "--changed"}, env);
    EXPECT_EQ(r.exitCode, 1) << str(r.describe());
    QList<QByteArray> done = r.outLines();
    std::sort(done.begin(), done.end());
    EXPECT_EQ(done, (QList<QByteArray>{"upload a.html", "upload b.html"})) << str(r.describe());
    EXPECT_TRUE(r.err.contains("Transfer connection")) << str(r.describe());
    EXPECT_EQ(server.readFile("a.html"), "a");
}
