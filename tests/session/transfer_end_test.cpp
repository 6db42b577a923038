// How work that does not finish is told: a transfer's result says why it
// ended, a refused login closes the connection with the server's words, the
// ABOR the user asked for is no error, and a login anew says so.
#include "session/download_file_group.h"
#include "support/session_harness.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

bool AnyContains(const QStringList& lines, const QString& text) {
    for (const QString& l : lines)
        if (l.contains(text))
            return true;
    return false;
}

struct EndCase {
    const char* name;
    // What happens once the download's data flows: "refused", "stopped",
    // "closed" (the server goes away), "stalled then stopped".
    const char* how;
    const char* problem;
    bool stopped;
};

class TransferEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(TransferEnd, ResultSaysWhy) {
    const EndCase& c = GetParam();
    const QString how = QString::fromLatin1(c.how);
    std::optional<TransferResult> result;
    QTemporaryDir dir;
    SessionHarness h;
    h.loginIdle();
    QSignalSpy refused(&h.session, &FtpSession::commandRefused);
    TransferInfo info;
    info.remoteFolder = "/www";
    info.fileName = "a.txt";
    info.localPath = dir.filePath("a.txt");
    auto g = std::make_unique<DownloadFileGroup>(info, StepList{{"PASV", {}}, {"RETR", "a.txt"}});
    g->onResult = [&result](const TransferResult& r) { result = r; };
    DownloadFileGroup* group = g.get();
    h.session.queue().append(std::move(g));
    h.engine.sendIfIdle();
    h.reply(SessionHarness::pasv(5010));
    FakeTransport* d = h.acceptData();
    d->feed("some bytes");
    h.settle();
    const int m = h.mark();

    if (how == "refused") {
        h.reply("550 Failed to open file\r\n");
    } else if (how.startsWith("stopped")) {
        h.session.removeGroup(group);
        h.settle();
        ASSERT_EQ(h.sent().last(), "ABOR");
        // The server's word on the transfer it stopped, then on the ABOR:
        // 226, or 225 as the standard also allows.
        h.reply(how == "stopped" ? "426 Transfer aborted.\r\n226 ABOR successful.\r\n"
                                 : "426 Transfer aborted.\r\n225 ABOR command successful.\r\n");
        EXPECT_EQ(refused.count(), 0);
        EXPECT_TRUE(
            h.logSince(m).contains("status: Transfer stopped as asked: 426 Transfer "
                                   "aborted."))
            << h.logSince(m).join('\n').toStdString();
    } else if (how == "closed") {
        h.control()->hangUp();
        h.settle();
        EXPECT_FALSE(result.has_value());  // it waits for a re-connect
        h.reconnect();
    } else {
        h.reply("451 Local error in processing\r\n");
        EXPECT_FALSE(result.has_value());
        h.session.removeGroup(group);
        h.settle();
    }
    ASSERT_TRUE(result.has_value());
    EXPECT_FALSE(result->success);
    EXPECT_EQ(result->error, QString::fromLatin1(c.problem));
    EXPECT_EQ(result->stopped, c.stopped);
    // Only a reply nobody expected is logged as one.
    EXPECT_EQ(how == "stalled", AnyContains(h.logSince(m), "un-switched"))
        << h.logSince(m).join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    , TransferEnd,
    ::testing::Values(
        EndCase{"refused", "refused", "550 Failed to open file", false},
        EndCase{"stopped", "stopped", "", true}, EndCase{"stoppedWith225", "stopped225", "", true},
        EndCase{"connectionLost", "closed", "The server closed the connection", false},
        EndCase{"stalledThenStopped", "stalled", "451 Local error in processing", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoginRefusal, ClosesTheConnectionWithTheServersWords) {
    const struct {
        bool atPassword;
        QByteArray reply;
    } cases[] = {
        {false, "530 This FTP server is anonymous only.\r\n"},
        {true, "530 Login incorrect.\r\n"},
        {true, "430 Invalid user name or password\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        SessionHarness h;
        QSignalSpy refusedLogin(&h.session, &FtpSession::loginRefused);
        QSignalSpy stalled(&h.session, &FtpSession::headStalled);
        h.connect();
        h.reply("220 Welcome\r\n");
        if (c.atPassword)
            h.reply("331 Password please\r\n");
        const int m = h.mark();
        h.reply(c.reply);
        const QString words = QString::fromLatin1(c.reply.trimmed());
        ASSERT_EQ(refusedLogin.count(), 1);
        EXPECT_EQ(refusedLogin.at(0).at(0).toString(), words);
        EXPECT_EQ(stalled.count(), 0);
        EXPECT_FALSE(h.session.isConnected());
        EXPECT_TRUE(h.logSince(m).contains("error: The server refused the login: " + words))
            << h.logSince(m).join('\n').toStdString();
    }
}

TEST(LoginAgain, OnlyALoginWithoutItsStartUpListingSaysSo) {
    SessionHarness h;
    QSignalSpy again(&h.session, &FtpSession::loggedInAgain);
    h.loginIdle();
    EXPECT_EQ(again.count(), 0);
    EXPECT_TRUE(h.session.loggedInNow());
    h.reconnect();
    EXPECT_FALSE(h.session.loggedInNow());
    EXPECT_TRUE(h.session.loggedIn());  // the flags stay over a re-connect
    h.reply("220 Welcome\r\n");
    h.reply("331 Password please\r\n");
    h.reply("230 Logged in\r\n");
    EXPECT_EQ(again.count(), 1);
    EXPECT_TRUE(h.session.loggedInNow());
}

}  // namespace
