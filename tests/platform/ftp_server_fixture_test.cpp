#include "support/process_tree.h"
#include "support/pyftpdlib_server.h"
#include "support/raw_ftp_control.h"
#include "support/scripted_ftp_server.h"
#include "support/vsftpd_server.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <functional>
#include <memory>
#include <ostream>

namespace {

using Reply = RawFtpControl::Reply;

std::string str(const QString& text) {
    return text.toStdString();
}

std::string str(const QByteArray& bytes) {
    return bytes.toStdString();
}

// Every byte value, so that a fixture that mangles binary data is caught.
QByteArray allByteValues(int repeat) {
    QByteArray bytes;
    for (int i = 0; i < 256 * repeat; ++i) {
        bytes.append(static_cast<char>(i % 256));
    }
    return bytes;
}

bool portAcceptsConnections(quint16 port) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(2000);
}

QByteArray remotePath(const FtpServerProcess& server, const QByteArray& name) {
    const QByteArray folder = server.writableFolder();
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

struct ServerKind {
    const char* name;
    std::function<std::unique_ptr<FtpServerProcess>()> make;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ServerKind& kind, std::ostream* out) {
    *out << kind.name;
}

std::unique_ptr<FtpServerProcess> makePyftpd(bool anonymous, bool noMlsd) {
    PyftpdlibServer::Options options;
    options.anonymous = anonymous;
    options.noMlsd = noMlsd;
    return std::make_unique<PyftpdlibServer>(options);
}

std::unique_ptr<FtpServerProcess> makeVsftpd(bool passwordless) {
    VsftpdServer::Options options;
    options.passwordless = passwordless;
    return std::make_unique<VsftpdServer>(options);
}

const ServerKind kRealServers[] = {
    {"Pyftpdlib", [] { return makePyftpd(false, false); }},
    {"PyftpdlibAnonymous", [] { return makePyftpd(true, false); }},
    {"PyftpdlibNoMlsd", [] { return makePyftpd(false, true); }},
    {"Vsftpd", [] { return makeVsftpd(false); }},
    {"VsftpdPasswordless", [] { return makeVsftpd(true); }},
};

const ServerKind kScripted[] = {
    {"Scripted", [] { return std::make_unique<ScriptedFtpServer>(); }},
};

std::string kindName(const testing::TestParamInfo<ServerKind>& info) {
    return info.param.name;
}

// What every fixture must do, whatever server it runs.
class FtpServerFixtureTest : public testing::TestWithParam<ServerKind> {
protected:
    void startServer(FtpServerProcess& server) {
        ASSERT_TRUE(server.start()) << str(server.lastError());
        ASSERT_TRUE(server.isRunning());
        ASSERT_NE(server.port(), 0);
    }
};

TEST_P(FtpServerFixtureTest, GreetsWith220AndLogsIn) {
    const auto server = GetParam().make();
    startServer(*server);

    RawFtpControl control;
    ASSERT_TRUE(control.connectTo(server->port())) << str(control.lastError());
    Reply greeting;
    ASSERT_TRUE(control.readReply(&greeting)) << str(control.lastError());
    EXPECT_EQ(greeting.code, 220) << str(greeting.text());

    Reply reply;
    ASSERT_TRUE(control.command("USER " + server->user().toUtf8(), &reply));
    if (reply.code == 331) {
        ASSERT_TRUE(control.command("PASS " + server->password().toUtf8(), &reply));
    }
    EXPECT_EQ(reply.code, 230) << str(reply.text());
    ASSERT_TRUE(control.command("PWD", &reply));
    EXPECT_EQ(reply.code, 257) << str(reply.text());
    ASSERT_TRUE(control.command("QUIT", &reply));
    EXPECT_EQ(reply.code, 221) << str(reply.text());
}

TEST_P(FtpServerFixtureTest, RestartsOnTheSameRoot) {
    const auto server = GetParam().make();
    startServer(*server);
    const QString root = server->rootPath();
    server->stop();
    EXPECT_FALSE(server->isRunning());
    EXPECT_EQ(server->port(), 0);

    // A stopped fixture starts again on the same root.
    startServer(*server);
    EXPECT_EQ(server->rootPath(), root);
    RawFtpControl control;
    ASSERT_TRUE(control.connectTo(server->port()));
    EXPECT_TRUE(control.login(server->user(), server->password())) << str(control.lastError());
}

TEST_P(FtpServerFixtureTest, StopClosesThePortAndLeavesNoProcess) {
    const auto server = GetParam().make();
    startServer(*server);
    const quint16 port = server->port();

    // A logged-in session makes vsftpd fork; those processes must go as well.
    RawFtpControl control;
    ASSERT_TRUE(control.connectTo(port));
    ASSERT_TRUE(control.login(server->user(), server->password())) << str(control.lastError());
    const QList<qint64> processes = server->processIds();
    ASSERT_FALSE(processes.isEmpty());

    server->stop();
    EXPECT_FALSE(server->isRunning());
    EXPECT_TRUE(ProcessTree::waitUntilGone(processes, 3000));
    EXPECT_FALSE(portAcceptsConnections(port));
}

TEST_P(FtpServerFixtureTest, TwoServersOfTheSameKindRunSideBySide) {
    const auto first = GetParam().make();
    const auto second = GetParam().make();
    startServer(*first);
    startServer(*second);
    EXPECT_NE(first->port(), second->port());
    EXPECT_NE(first->rootPath(), second->rootPath());
    for (FtpServerProcess* server : {first.get(), second.get()}) {
        RawFtpControl control;
        ASSERT_TRUE(control.connectTo(server->port()));
        EXPECT_TRUE(control.login(server->user(), server->password())) << str(control.lastError());
    }
}

TEST_P(FtpServerFixtureTest, DestructionRemovesTheTemporaryFolder) {
    QString root;
    {
        const auto server = GetParam().make();
        startServer(*server);
        root = server->rootPath();
        ASSERT_TRUE(server->writeFile(QStringLiteral("left.txt"), "x"));
        ASSERT_TRUE(QFileInfo::exists(root));
    }
    EXPECT_FALSE(QFileInfo::exists(root));
}

TEST_P(FtpServerFixtureTest, FileHelpersStayInsideTheRoot) {
    const auto server = GetParam().make();
    const QByteArray bytes = allByteValues(3);

    ASSERT_TRUE(server->writeFile(QStringLiteral("deep/er/file.bin"), bytes));
    EXPECT_EQ(server->readFile(QStringLiteral("deep/er/file.bin")), bytes);
    EXPECT_EQ(server->readFile(QStringLiteral("/deep/./er/file.bin")), bytes);
    EXPECT_TRUE(server->makeDir(QStringLiteral("made/inner")));
    EXPECT_TRUE(QFileInfo(server->localPath(QStringLiteral("made/inner"))).isDir());

    const qint64 sparseSize = 64LL * 1024 * 1024;
    ASSERT_TRUE(server->makeSparseFile(QStringLiteral("big/sparse.bin"), sparseSize));
    const QString sparse = server->localPath(QStringLiteral("big/sparse.bin"));
    EXPECT_EQ(QFileInfo(sparse).size(), sparseSize);
    struct stat facts {};
    ASSERT_EQ(::stat(QFile::encodeName(sparse).constData(), &facts), 0);
    EXPECT_LT(static_cast<qint64>(facts.st_blocks) * 512, sparseSize / 4);

    for (const char* escape : {"../outside.txt", "a/../../outside.txt", "/../outside.txt"}) {
        SCOPED_TRACE(escape);
        EXPECT_TRUE(server->localPath(QString::fromLatin1(escape)).isEmpty());
        EXPECT_FALSE(server->writeFile(QString::fromLatin1(escape), "x"));
        EXPECT_FALSE(server->makeDir(QString::fromLatin1(escape)));
        EXPECT_FALSE(server->makeSparseFile(QString::fromLatin1(escape), 10));
    }
    EXPECT_FALSE(QFileInfo::exists(server->rootPath() + QStringLiteral("/../outside.txt")));
    EXPECT_FALSE(server->exists(QStringLiteral("missing.txt")));
    EXPECT_TRUE(server->readFile(QStringLiteral("missing.txt")).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Real, FtpServerFixtureTest, testing::ValuesIn(kRealServers), kindName);
INSTANTIATE_TEST_SUITE_P(Scripted, FtpServerFixtureTest, testing::ValuesIn(kScripted), kindName);

// Transfers through the real servers, both ways, on the passive data channel.
class RealFtpServerTest : public FtpServerFixtureTest {
protected:
    void SetUp() override {
        server_ = GetParam().make();
        startServer(*server_);
        ASSERT_TRUE(control_.connectTo(server_->port()));
        ASSERT_TRUE(control_.login(server_->user(), server_->password()))
            << str(control_.lastError());
        Reply reply;
        ASSERT_TRUE(control_.command("TYPE I", &reply));
        ASSERT_EQ(reply.code, 200) << str(reply.text());
    }

    std::unique_ptr<FtpServerProcess> server_;
    RawFtpControl control_;
};

TEST_P(RealFtpServerTest, ServesFilesMadeByTheHelpers) {
    const QByteArray bytes = allByteValues(40);
    const QByteArray path = remotePath(*server_, "sub/data.bin");
    ASSERT_TRUE(server_->writeFile(QString::fromUtf8(path), bytes));
    ASSERT_TRUE(server_->makeSparseFile(QString::fromUtf8(remotePath(*server_, "huge.bin")),
                                        5'000'000'000LL));

    QByteArray received;
    ASSERT_TRUE(control_.retrieve("RETR " + path, &received)) << str(control_.lastError());
    EXPECT_EQ(received, bytes);

    Reply reply;
    ASSERT_TRUE(control_.command("SIZE " + remotePath(*server_, "huge.bin"), &reply));
    EXPECT_EQ(reply.text(), "213 5000000000");

    QByteArray listing;
    ASSERT_TRUE(control_.command("CWD " + remotePath(*server_, "sub"), &reply));
    ASSERT_EQ(reply.code, 250) << str(reply.text());
    ASSERT_TRUE(control_.retrieve("LIST", &listing)) << str(control_.lastError());
    EXPECT_TRUE(listing.contains(" data.bin\r\n")) << str(listing);
    EXPECT_TRUE(listing.contains(QByteArray::number(bytes.size()))) << str(listing);
}

TEST_P(RealFtpServerTest, UploadsLandInTheRootAndResume) {
    const QByteArray path = remotePath(*server_, "up.bin");
    const QByteArray bytes = allByteValues(20);
    ASSERT_TRUE(control_.store("STOR " + path, bytes)) << str(control_.lastError());
    EXPECT_EQ(server_->readFile(QString::fromUtf8(path)), bytes);

    // Resuming continues a file the helpers made: the server must own it.
    const QByteArray made = remotePath(*server_, "made.bin");
    ASSERT_TRUE(server_->writeFile(QString::fromUtf8(made), bytes.left(1000)));
    Reply reply;
    ASSERT_TRUE(control_.command("REST 1000", &reply));
    ASSERT_EQ(reply.code, 350) << str(reply.text());
    ASSERT_TRUE(control_.store("STOR " + made, bytes.mid(1000))) << str(control_.lastError());
    EXPECT_EQ(server_->readFile(QString::fromUtf8(made)), bytes);

    ASSERT_TRUE(control_.command("RNFR " + made, &reply));
    EXPECT_EQ(reply.code, 350) << str(reply.text());
    ASSERT_TRUE(control_.command("RNTO " + remotePath(*server_, "moved.bin"), &reply));
    EXPECT_EQ(reply.code, 250) << str(reply.text());
    ASSERT_TRUE(control_.command("DELE " + path, &reply));
    EXPECT_EQ(reply.code, 250) << str(reply.text());
    EXPECT_FALSE(server_->exists(QString::fromUtf8(path)));
    EXPECT_EQ(server_->readFile(QString::fromUtf8(remotePath(*server_, "moved.bin"))), bytes);
}

INSTANTIATE_TEST_SUITE_P(Real, RealFtpServerTest, testing::ValuesIn(kRealServers), kindName);

// Which listing commands and facts each pyftpdlib variant offers.
TEST(PyftpdlibServerTest, OptionsDecideMlsdAndUnixFacts) {
    struct Case {
        const char* name;
        bool noMlsd;
        bool unixFacts;
    };
    for (const Case& c : {Case{"default", false, false}, Case{"noMlsd", true, false},
                          Case{"unixFacts", false, true}}) {
        SCOPED_TRACE(c.name);
        PyftpdlibServer::Options options;
        options.noMlsd = c.noMlsd;
        options.unixFacts = c.unixFacts;
        PyftpdlibServer server(options);
        ASSERT_TRUE(server.writeFile(QStringLiteral("file.txt"), "hello"));
        ASSERT_TRUE(server.start()) << str(server.lastError());
        RawFtpControl control;
        ASSERT_TRUE(control.connectTo(server.port()));
        ASSERT_TRUE(control.login(server.user(), server.password()));

        Reply feat;
        Reply help;
        ASSERT_TRUE(control.command("FEAT", &feat));
        ASSERT_TRUE(control.command("HELP", &help));
        EXPECT_EQ(feat.text().contains("MLST"), !c.noMlsd) << str(feat.text());
        EXPECT_EQ(help.text().contains("MLSD"), !c.noMlsd) << str(help.text());
        EXPECT_TRUE(feat.text().contains("REST STREAM"));

        QByteArray listing;
        const bool listed = control.retrieve("MLSD", &listing);
        EXPECT_EQ(listed, !c.noMlsd) << str(control.lastError());
        if (listed) {
            EXPECT_TRUE(listing.contains("; file.txt\r\n")) << str(listing);
            EXPECT_EQ(listing.toLower().contains("unix.mode="), c.unixFacts) << str(listing);
        }
        ASSERT_TRUE(control.retrieve("LIST", &listing)) << str(control.lastError());
        EXPECT_TRUE(listing.contains(" file.txt\r\n")) << str(listing);
    }
}

TEST(PyftpdlibServerTest, CredentialsAreChecked) {
    PyftpdlibServer::Options options;
    options.user = QStringLiteral("someone");
    options.password = QStringLiteral("pass with blanks");
    PyftpdlibServer server(options);
    ASSERT_TRUE(server.start()) << str(server.lastError());
    EXPECT_EQ(server.user(), options.user);

    RawFtpControl wrong;
    ASSERT_TRUE(wrong.connectTo(server.port()));
    EXPECT_FALSE(wrong.login(server.user(), QStringLiteral("pass")));
    RawFtpControl right;
    ASSERT_TRUE(right.connectTo(server.port()));
    EXPECT_TRUE(right.login(server.user(), server.password())) << str(right.lastError());
}

TEST(VsftpdServerTest, OffersListOnlyAndLocksTheAnonymousRoot) {
    VsftpdServer server;
    ASSERT_TRUE(server.writeFile(QStringLiteral("pub/file.txt"), "hello"));
    ASSERT_TRUE(server.start()) << str(server.lastError());
    RawFtpControl control;
    ASSERT_TRUE(control.connectTo(server.port()));
    ASSERT_TRUE(control.login(server.user(), server.password())) << str(control.lastError());

    Reply reply;
    ASSERT_TRUE(control.command("FEAT", &reply));
    EXPECT_FALSE(reply.text().contains("MLST")) << str(reply.text());
    EXPECT_TRUE(reply.text().contains("REST STREAM")) << str(reply.text());
    ASSERT_TRUE(control.command("HELP", &reply));
    EXPECT_FALSE(reply.text().contains("MLSD")) << str(reply.text());

    ASSERT_TRUE(control.command("CWD /pub", &reply));
    QByteArray listing;
    EXPECT_FALSE(control.retrieve("MLSD", &listing));
    ASSERT_TRUE(control.retrieve("LIST", &listing)) << str(control.lastError());
    EXPECT_TRUE(listing.contains(" file.txt\r\n")) << str(listing);

    // What the header promises later tests: no chmod, no writes in the root.
    ASSERT_TRUE(control.command("SITE CHMOD 600 /pub/file.txt", &reply));
    EXPECT_EQ(reply.code, 550) << str(reply.text());
    EXPECT_FALSE(control.store("STOR /top.txt", "x"));
    EXPECT_FALSE(server.exists(QStringLiteral("top.txt")));
    ASSERT_TRUE(control.command("MKD /pub/folder", &reply));
    EXPECT_EQ(reply.code, 257) << str(reply.text());
    ASSERT_TRUE(control.command("RMD /pub/folder", &reply));
    EXPECT_EQ(reply.code, 250) << str(reply.text());
}

// The scripted server answers from its script, byte for byte.
class ScriptedFtpServerTest : public testing::Test {
protected:
    void start(const ScriptedFtpScript& script) {
        server_.setScript(script);
        ASSERT_TRUE(server_.start()) << str(server_.lastError());
        ASSERT_TRUE(control_.connectTo(server_.port()));
        ASSERT_TRUE(control_.login(server_.user(), server_.password()))
            << str(control_.lastError());
    }

    ScriptedFtpServer server_;
    RawFtpControl control_;
};

TEST_F(ScriptedFtpServerTest, BrokenScriptFailsTheStartWithTheReason) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("broken.json"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"tree\": ");
    file.close();

    server_.setScriptFile(path);
    EXPECT_FALSE(server_.start());
    // The start saw the process end; it did not wait out its time limit.
    EXPECT_TRUE(server_.lastError().contains(QStringLiteral("exited with code")))
        << str(server_.lastError());
    EXPECT_FALSE(server_.isRunning());
    EXPECT_EQ(server_.port(), 0);
    EXPECT_TRUE(server_.lastError().contains(QStringLiteral("JSONDecodeError")))
        << str(server_.lastError());
}

TEST_F(ScriptedFtpServerTest, RecordsEveryCommandLineInItsTranscript) {
    start(ScriptedFtpScript());
    Reply reply;
    ASSERT_TRUE(control_.command("NOOP", &reply));
    ASSERT_TRUE(control_.command("XYZZY odd  argument ", &reply));
    EXPECT_EQ(reply.code, 502);
    ASSERT_TRUE(control_.command("QUIT", &reply));

    const QList<QByteArray> expected{"USER tester", "PASS secret", "NOOP", "XYZZY odd  argument ",
                                     "QUIT"};
    EXPECT_EQ(server_.transcript(), expected);
    server_.clearTranscript();
    EXPECT_TRUE(server_.transcript().isEmpty());
}

TEST_F(ScriptedFtpServerTest, ListsFoldersExactlyAsScripted) {
    const QByteArray hostile =
        "-rw-r--r-- 1 u g 5 Jan 01 2020 ../x\r\n-rw-r--r-- 1 u g 5 Jan 01 2020 a/b\r\n"
        "drwxr-xr-x 2 u g 0 Jan 01 2020 \xff\xfe name";  // no final line feed
    const QByteArray facts = "type=file;size=5; ../x\r\n";
    ScriptedFtpScript script;
    script.startFolder = "/home/me";
    script.addFolder("/home/me", hostile, facts);
    script.addFolder("/home/me/sub", "sub listing\r\n");
    start(script);

    Reply reply;
    ASSERT_TRUE(control_.command("PWD", &reply));
    EXPECT_EQ(reply.text(), "257 \"/home/me\" is the current directory.");
    QByteArray data;
    ASSERT_TRUE(control_.retrieve("LIST", &data)) << str(control_.lastError());
    EXPECT_EQ(data, hostile);
    ASSERT_TRUE(control_.retrieve("MLSD", &data)) << str(control_.lastError());
    EXPECT_EQ(data, facts);

    struct Step {
        const char* command;
        int code;
        const char* folder;
    };
    for (const Step& step :
         {Step{"CWD sub", 250, "/home/me/sub"}, Step{"CWD /nowhere", 550, "/home/me/sub"},
          Step{"CWD ../sub/./", 250, "/home/me/sub"}, Step{"CDUP", 250, "/home/me"},
          Step{"CWD ..", 550, "/home/me"}}) {
        SCOPED_TRACE(step.command);
        ASSERT_TRUE(control_.command(step.command, &reply));
        EXPECT_EQ(reply.code, step.code) << str(reply.text());
        ASSERT_TRUE(control_.command("PWD", &reply));
        EXPECT_TRUE(reply.text().contains(QByteArray("\"") + step.folder + "\""))
            << str(reply.text());
    }
}

TEST_F(ScriptedFtpServerTest, FeatAndHelpFollowTheScript) {
    struct Case {
        bool mlsd;
        bool rest;
    };
    for (const Case& c :
         {Case{true, true}, Case{false, true}, Case{true, false}, Case{false, false}}) {
        SCOPED_TRACE(testing::Message() << "mlsd " << c.mlsd << " rest " << c.rest);
        server_.stop();
        control_.close();
        ScriptedFtpScript script;
        script.mlsd = c.mlsd;
        script.rest = c.rest;
        start(script);
        Reply feat;
        Reply help;
        Reply rest;
        ASSERT_TRUE(control_.command("FEAT", &feat));
        ASSERT_TRUE(control_.command("HELP", &help));
        ASSERT_TRUE(control_.command("REST 5", &rest));
        EXPECT_EQ(feat.code, 211);
        EXPECT_EQ(help.code, 214);
        EXPECT_EQ(feat.text().contains("MLST"), c.mlsd) << str(feat.text());
        EXPECT_EQ(help.text().contains("MLSD"), c.mlsd) << str(help.text());
        EXPECT_EQ(feat.text().contains("REST"), c.rest) << str(feat.text());
        EXPECT_EQ(help.text().contains("REST"), c.rest) << str(help.text());
        EXPECT_EQ(rest.code, c.rest ? 350 : 502);
    }
}

TEST_F(ScriptedFtpServerTest, RetrieveServesRefusesBreaksAndResumes) {
    const QByteArray content = allByteValues(4);
    ScriptedFtpScript script;
    script.addFile("/ok.bin", content)
        .addRefusedFile("/secret.txt")
        .addBrokenFile("/broken.bin", content, 100);
    start(script);

    QByteArray data;
    Reply final;
    ASSERT_TRUE(control_.retrieve("RETR ok.bin", &data)) << str(control_.lastError());
    EXPECT_EQ(data, content);

    EXPECT_FALSE(control_.retrieve("RETR secret.txt", &data, &final));
    EXPECT_EQ(final.code, 550);
    EXPECT_FALSE(control_.retrieve("RETR missing.txt", &data, &final));
    EXPECT_EQ(final.code, 550);

    EXPECT_FALSE(control_.retrieve("RETR broken.bin", &data, &final));
    EXPECT_EQ(final.code, 426);
    EXPECT_EQ(data, content.left(100));

    ASSERT_TRUE(control_.command("REST 1000", &final));
    ASSERT_TRUE(control_.retrieve("RETR /ok.bin", &data)) << str(control_.lastError());
    EXPECT_EQ(data, content.mid(1000));
    // The offset is used once.
    ASSERT_TRUE(control_.retrieve("RETR /ok.bin", &data)) << str(control_.lastError());
    EXPECT_EQ(data, content);
}

TEST_F(ScriptedFtpServerTest, StoresUploadsUnderTheirRemotePath) {
    ScriptedFtpScript script;
    script.startFolder = "/home";
    script.addRefusedFile("/home/locked.bin");
    start(script);
    const QByteArray content = allByteValues(2);

    ASSERT_TRUE(control_.store("STOR up.bin", content)) << str(control_.lastError());
    EXPECT_EQ(server_.readFile(QStringLiteral("/home/up.bin")), content);

    Reply reply;
    ASSERT_TRUE(control_.command("REST 10", &reply));
    ASSERT_TRUE(control_.store("STOR up.bin", "tail")) << str(control_.lastError());
    EXPECT_EQ(server_.readFile(QStringLiteral("/home/up.bin")), content.left(10) + "tail");

    // ".." cannot lead an upload out of the upload folder.
    ASSERT_TRUE(control_.store("STOR ../../../escape.bin", "x")) << str(control_.lastError());
    EXPECT_EQ(server_.readFile(QStringLiteral("escape.bin")), "x");
    EXPECT_FALSE(control_.store("STOR locked.bin", "x", &reply));
    EXPECT_EQ(reply.code, 550);
}

TEST_F(ScriptedFtpServerTest, ScriptedRepliesAndPassiveAddressAreSentAsGiven) {
    ScriptedFtpScript script;
    script.pasvAddress = "10,9,8,7";
    script.replies.insert("SYST", "215-first\n215 UNIX");
    script.rawReplies.insert("STAT", QByteArray("211 no line end"));
    script.addFolder("/", "listing\r\n");
    start(script);

    Reply reply;
    ASSERT_TRUE(control_.command("SYST", &reply));
    EXPECT_EQ(reply.lines, (QList<QByteArray>{"215-first", "215 UNIX"}));
    ASSERT_TRUE(control_.command("PASV", &reply));
    EXPECT_TRUE(reply.text().startsWith("227 Entering Passive Mode (10,9,8,7,"))
        << str(reply.text());
    // The data port still listens on 127.0.0.1, where a careful client connects.
    QByteArray data;
    ASSERT_TRUE(control_.retrieve("LIST", &data)) << str(control_.lastError());
    EXPECT_EQ(data, "listing\r\n");

    control_.socket().write("STAT\r\n");
    QByteArray raw;
    for (int i = 0; i < 20 && raw.size() < 15; ++i) {
        control_.socket().waitForReadyRead(100);
        raw += control_.socket().readAll();
    }
    EXPECT_EQ(raw, "211 no line end");
}

}  // namespace
