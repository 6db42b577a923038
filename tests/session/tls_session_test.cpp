#include "support/session_harness.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

using Lines = QList<QByteArray>;

namespace {

SessionOptions tlsOptions(TlsMode mode) {
    SessionOptions o = SessionHarness::defaultOptions();
    o.tls = mode;
    return o;
}

TlsStatus goodTls(const QStringList& problems = {}) {
    TlsStatus s;
    s.protocol = QStringLiteral("TLSv1.3");
    s.cipher = QStringLiteral("TLS_AES_128_GCM_SHA256");
    s.certificate.subject = QStringLiteral("CN=ftp.example.com");
    s.certificate.issuer = QStringLiteral("CN=ftp.example.com");
    s.certificate.sha256 = QByteArray(32, '\x5a');
    s.problems = problems;
    return s;
}

// Welcome and AUTH TLS answered; the control handshake has been started.
void startTls(SessionHarness& h, const TlsStatus& status = goodTls()) {
    h.connect();
    h.control()->tls = status;
    h.control()->session = "control-session";
    h.reply("220 Welcome\r\n");
    h.reply("234 AUTH TLS OK.\r\n");
}

// Records every question and answers when the test says so.
class ScriptedJudge : public CertificateJudge {
public:
    void judge(const CertificateCheck& check, Done done) override {
        checks.append(check);
        pending = std::move(done);
    }
    QList<CertificateCheck> checks;
    Done pending;
};

}  // namespace

TEST(TlsSession, RequiredTlsGoesUpBeforeTheAccountAndProtectsData) {
    SessionHarness h(tlsOptions(TlsMode::Require));
    startTls(h);
    // The handshake starts right after AUTH TLS; nothing else is on the wire.
    EXPECT_EQ(h.sent(), (Lines{"AUTH TLS"}));
    EXPECT_EQ(h.controlRecord().tlsStartedAt, qsizetype(strlen("AUTH TLS\r\n")));
    EXPECT_EQ(h.controlRecord().tlsRequest.peerName, "127.0.0.1");
    EXPECT_EQ(h.session.tlsPhase(), FtpSession::TlsPhase::Handshake);

    const int m = h.mark();
    h.control()->finishTls();
    h.settle();
    EXPECT_EQ(h.logSince(m),
              (QStringList{"status: TLS connection established: TLSv1.3, TLS_AES_128_GCM_SHA256",
                           "status: Certificate verified: CN=ftp.example.com", "sent: USER bob"}));
    h.reply("331 Password required\r\n");
    h.reply("230 Logged in\r\n");
    h.reply("200 PBSZ=0\r\n");
    h.reply("200 Protection set to Private\r\n");
    EXPECT_TRUE(h.session.dataProtected());
    EXPECT_TRUE(h.texts(LogChannel::Status).contains("Listings and files travel over TLS"));
    h.reply("200 Type set\r\n");
    h.reply("211 End\r\n");
    h.reply("214 Help OK.\r\n");
    EXPECT_EQ(h.sent(), (Lines{"AUTH TLS", "USER bob", "PASS secret", "PBSZ 0", "PROT P", "TYPE I",
                               "FEAT", "HELP", "PWD"}));

    // The data connection starts TLS as it connects, resuming the control
    // connection's session and pinned to its certificate; it counts as open
    // only once the handshake is done.
    h.reply("257 \"/\" is the current directory\r\n");
    h.reply(SessionHarness::pasv(5000));
    FakeTransport* d = h.acceptData();
    ASSERT_NE(d, h.control());
    EXPECT_EQ(d->record().tlsStartedAt, 0);
    EXPECT_EQ(d->record().tlsRequest.session, "control-session");
    EXPECT_EQ(d->record().tlsRequest.pinnedSha256, QByteArray(32, '\x5a'));
    EXPECT_FALSE(h.session.options().host.isEmpty());
    const int beforeOpen = h.mark();
    d->finishTls();
    h.settle();
    EXPECT_TRUE(h.logSince(beforeOpen).filter("Data port opens").size() == 1);
}

TEST(TlsSession, RefusedAuthFollowsTheMode) {
    struct Row {
        TlsMode mode;
        QByteArray refusal;
        Lines sent;
        bool closed;
        QString line;
    };
    const Row rows[] = {
        {TlsMode::IfAvailable,
         "500 Command \"AUTH\" not understood.\r\n",
         {"AUTH TLS", "USER bob"},
         false,
         "status: The server does not offer FTP over TLS; going on without it: the password "
         "and files travel in clear"},
        {TlsMode::IfAvailable,
         "530 Please login with USER and PASS.\r\n",
         {"AUTH TLS", "USER bob"},
         false,
         {}},
        {TlsMode::Require,
         "502 Command not implemented\r\n",
         {"AUTH TLS"},
         true,
         "error: The server refused AUTH TLS, but the site requires FTP over TLS: connection "
         "closed, nothing of the account was sent"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.refusal.toStdString());
        SessionHarness h(tlsOptions(row.mode));
        QSignalSpy failures(&h.session, &FtpSession::failure);
        h.connect();
        h.reply("220 Welcome\r\n");
        h.reply(row.refusal);
        EXPECT_EQ(h.sent(), row.sent);
        EXPECT_EQ(h.controlRecord().closedByClient, row.closed);
        EXPECT_EQ(h.controlRecord().tlsStartedAt, -1);
        EXPECT_EQ(failures.size(), row.closed ? 1 : 0);
        if (!row.line.isEmpty()) {
            EXPECT_TRUE(h.logSince(0).contains(row.line)) << h.logSince(0).join('\n').toStdString();
        }
        if (!row.closed) {
            // The rest of the login is plain FTP as before: no PBSZ or PROT.
            h.reply("331 Password required\r\n");
            h.reply("230 Logged in\r\n");
            EXPECT_EQ(h.sent().mid(row.sent.size()), (Lines{"PASS secret", "TYPE I"}));
        }
    }
}

TEST(TlsSession, PlainSitesNeverAskForTls) {
    SessionHarness h(tlsOptions(TlsMode::Off));
    h.login();
    EXPECT_EQ(h.sent(), (Lines{"USER bob", "PASS secret", "TYPE I", "FEAT", "HELP", "PWD"}));
    EXPECT_EQ(h.controlRecord().tlsStartedAt, -1);
}

TEST(TlsSession, AnUnverifiedCertificateWaitsForTheJudge) {
    struct Row {
        bool haveJudge;
        bool trusted;
        bool closeFirst;  // the connection ends while the user decides
        Lines sent;
    };
    const Row rows[] = {
        {false, false, false, {"AUTH TLS"}},
        {true, false, false, {"AUTH TLS"}},
        {true, true, false, {"AUTH TLS", "USER bob"}},
        {true, true, true, {"AUTH TLS"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.haveJudge << row.trusted << row.closeFirst);
        SessionHarness h(tlsOptions(TlsMode::Require));
        ScriptedJudge judge;
        if (row.haveJudge)
            h.session.setCertificateJudge(&judge);
        startTls(h, goodTls({"The certificate is self-signed, and untrusted"}));
        h.control()->finishTls();
        h.settle();
        // Nothing of the account goes out while the question is open.
        EXPECT_EQ(h.sent(), (Lines{"AUTH TLS"}));
        if (row.haveJudge) {
            ASSERT_EQ(judge.checks.size(), 1);
            EXPECT_EQ(judge.checks[0].host, "127.0.0.1");
            EXPECT_EQ(judge.checks[0].port, 2121);
            EXPECT_EQ(judge.checks[0].tls.certificate.sha256, QByteArray(32, '\x5a'));
            if (row.closeFirst) {
                h.control()->hangUp();
                h.settle();
            }
            QSignalSpy secured(&h.session, &FtpSession::secured);
            judge.pending(row.trusted,
                          row.trusted ? QStringLiteral("Trusted once") : QStringLiteral("Refused"));
            h.settle();
            // An answer for a connection that is gone changes nothing.
            EXPECT_EQ(secured.count(), row.trusted && !row.closeFirst ? 1 : 0);
            EXPECT_EQ(h.texts(LogChannel::Status).contains("Trusted once"),
                      row.trusted && !row.closeFirst);
        } else {
            EXPECT_TRUE(h.texts(LogChannel::Error)
                            .contains("Certificate not trusted (SHA256:" +
                                      QString("5A:").repeated(31) + "5A), connection closed"));
        }
        EXPECT_EQ(h.sent(), row.sent);
        // Closed by the refusal, or after the server hung up.
        EXPECT_EQ(h.controlRecord().closedByClient, !row.trusted || row.closeFirst);
    }
}

TEST(TlsSession, AFailedHandshakeEndsTheConnectionWithAReason) {
    const std::function<void(FakeTransport*)> endings[] = {
        [](FakeTransport* t) { t->hangUp(); },
        [](FakeTransport* t) { t->failTls(QStringLiteral("handshake alert")); },
    };
    const QString lines[] = {
        "TLS handshake failed: the server closed the connection",
        "TLS handshake failed: handshake alert",
    };
    for (int i = 0; i < 2; ++i) {
        SessionHarness h(tlsOptions(TlsMode::IfAvailable));
        QSignalSpy failures(&h.session, &FtpSession::failure);
        QSignalSpy gone(&h.session, &FtpSession::disconnected);
        startTls(h);
        endings[i](h.control());
        h.settle();
        EXPECT_EQ(h.sent(), (Lines{"AUTH TLS"}));
        EXPECT_TRUE(h.texts(LogChannel::Error).contains(lines[i]));
        EXPECT_EQ(failures.size(), 1);
        EXPECT_EQ(gone.size(), 1);
        EXPECT_FALSE(h.session.isConnected());
    }
}

TEST(TlsSession, AHandshakeThatNeverEndsTimesOut) {
    SessionOptions o = tlsOptions(TlsMode::Require);
    o.welcomeTimeoutMs = 50;
    SessionHarness h(o);
    startTls(h);
    h.wait(150);
    EXPECT_TRUE(h.texts(LogChannel::Error)
                    .contains("TLS handshake failed: the server did not answer in time"));
    EXPECT_FALSE(h.session.isConnected());
}

TEST(TlsSession, RefusedProtectionFollowsTheMode) {
    for (TlsMode mode : {TlsMode::IfAvailable, TlsMode::Require}) {
        SessionHarness h(tlsOptions(mode));
        startTls(h);
        h.control()->finishTls();
        h.settle();
        h.reply("230 Logged in\r\n");
        h.reply("200 PBSZ=0\r\n");
        h.reply("534 Protection level not supported\r\n");
        EXPECT_FALSE(h.session.dataProtected());
        if (mode == TlsMode::Require) {
            EXPECT_TRUE(h.controlRecord().closedByClient);
            EXPECT_EQ(h.sent().last(), "PROT P");
            continue;
        }
        EXPECT_TRUE(h.texts(LogChannel::Status)
                        .contains("The server refused PROT P; listings and files travel in clear"));
        EXPECT_EQ(h.sent().last(), "TYPE I");
        h.reply("200 Type set\r\n");
        h.reply("211 End\r\n");
        h.reply("214 Help OK.\r\n");
        h.reply("257 \"/\" is the current directory\r\n");
        const FakeConnectionRecord& data = h.serveData({}, 5000);
        EXPECT_EQ(data.tlsStartedAt, -1);
    }
}

TEST(TlsSession, DataTlsWaitsForTheTransferCommand) {
    SessionHarness h(tlsOptions(TlsMode::Require));
    startTls(h);
    h.control()->finishTls();
    h.settle();
    h.reply("230 Logged in\r\n");
    h.reply("200 PBSZ=0\r\n");
    h.reply("200 Protection set to Private\r\n");
    h.reply("200 Type set\r\n");
    h.reply("211 End\r\n");
    h.reply("214 Help OK.\r\n");
    h.reply("257 \"/\" is the current directory\r\n");
    h.serveData({}, 5000);  // the initial listing; the session is idle now
    ASSERT_TRUE(h.session.queue().isEmpty());

    // REST only prepares the transfer: servers start the data connection's
    // TLS once the transfer command has come.
    h.session.sendGroup(StepList{{"PASV", {}}, {"REST", "100"}, {"RETR", "f"}});
    h.reply(SessionHarness::pasv(5002));
    FakeTransport* d = h.acceptData();
    EXPECT_EQ(h.sent().last(), "REST 100");
    EXPECT_FALSE(d->tlsStarted());
    h.reply("350 Restarting at position 100.\r\n");
    EXPECT_EQ(h.sent().last(), "RETR f");
    EXPECT_TRUE(d->tlsStarted());
}
