// The control connection's TLS handshake on real sockets: a server that hangs
// up in the middle of it, and one with a real certificate through the judge.
#include "session/ftp_session.h"
#include "session/tcp_transport.h"
#include "support/pyftpdlib_server.h"
#include "support/test_certificate.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

namespace {

class RecordingJudge : public CertificateJudge {
public:
    void judge(const CertificateCheck& check, Done done) override {
        checks.append(check);
        done(answer, answer ? QStringLiteral("trusted by the test") : QStringLiteral("refused"));
    }
    bool answer = true;
    QList<CertificateCheck> checks;
};

}  // namespace

TEST(TlsHandshake, QtCanSpeakTls) {
    EXPECT_TRUE(TcpTransport::tlsAvailable());
}

// Accepts AUTH TLS, then closes as soon as the client's hello arrives.
TEST(TlsHandshake, AServerClosingDuringTheHandshakeEndsTheLoginClearly) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QByteArray received;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* s = server.nextPendingConnection();
        s->write("220 hello\r\n");
        QObject::connect(s, &QTcpSocket::readyRead, [s, &received] {
            const bool authSeen = received.contains("AUTH TLS\r\n");
            received += s->readAll();
            if (!authSeen && received.contains("AUTH TLS\r\n"))
                s->write("234 go ahead\r\n");
            else if (authSeen)
                s->abort();
        });
    });

    TcpTransportFactory factory;
    FtpSession session(&factory);
    SessionOptions o;
    o.host = QStringLiteral("127.0.0.1");
    o.port = server.serverPort();
    o.user = QStringLiteral("bob");
    o.password = QStringLiteral("secret");
    o.keepAliveInterval = 0;
    o.tls = TlsMode::IfAvailable;
    session.setOptions(o);
    QStringList errors;
    QObject::connect(&session, &FtpSession::logLine, [&](const LogLine& l) {
        if (l.channel == LogChannel::Error)
            errors << l.text;
    });
    QSignalSpy gone(&session, &FtpSession::disconnected);
    session.connectNew();
    ASSERT_TRUE(waitUntil([&] { return !gone.isEmpty(); }, 8000)) << received.toStdString();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("TLS handshake failed: ")) << errors[0].toStdString();
    EXPECT_FALSE(received.contains("USER"));
    EXPECT_FALSE(session.isConnected());
}

TEST(TlsHandshake, ASelfSignedCertificateGoesToTheJudgeWithItsFacts) {
    QTemporaryDir dir;
    TestCertificate cert;
    QString error;
    ASSERT_TRUE(TestCertificate::make(dir.path(), &cert, &error)) << error.toStdString();
    PyftpdlibServer::Options so;
    so.tlsCertificate = cert.certificatePath;
    so.tlsKey = cert.keyPath;
    PyftpdlibServer server(so);
    ASSERT_TRUE(server.start()) << server.lastError().toStdString();

    for (bool answer : {false, true}) {
        TcpTransportFactory factory;
        FtpSession session(&factory);
        RecordingJudge judge;
        judge.answer = answer;
        session.setCertificateJudge(&judge);
        SessionOptions o;
        o.host = QStringLiteral("127.0.0.1");
        o.port = server.port();
        o.user = server.user();
        o.password = server.password();
        o.keepAliveInterval = 0;
        o.tls = TlsMode::Require;
        session.setOptions(o);
        QSignalSpy gone(&session, &FtpSession::disconnected);
        session.connectNew();
        ASSERT_TRUE(waitUntil([&] { return session.loggedIn() || !gone.isEmpty(); }, 8000));
        EXPECT_EQ(session.loggedIn(), answer);
        ASSERT_EQ(judge.checks.size(), 1);
        const TlsStatus& tls = judge.checks[0].tls;
        EXPECT_EQ(tls.certificate.sha256, cert.sha256);
        EXPECT_EQ(tls.certificate.subject, "CN=localhost, O=Velmora tests");
        EXPECT_TRUE(tls.certificate.notAfter > QDateTime::currentDateTimeUtc());
        EXPECT_FALSE(tls.problems.isEmpty());
        if (answer) {
            EXPECT_TRUE(session.controlSecure());
            EXPECT_TRUE(waitUntil([&] { return session.dataProtected(); }, 5000));
        }
    }
}
