#pragma once

#include "remote/action_engine.h"
#include "session/command_index.h"
#include "session/ftp_session.h"
#include "support/fake_transport.h"
#include "support/qt_printers.h"

#include <QList>
#include <QStringList>

// A session on scripted transports: the test plays the server byte by byte and
// reads back every line the client sent and every log line it wrote.
class SessionHarness {
public:
    explicit SessionHarness(const SessionOptions& options = defaultOptions());

    static SessionOptions defaultOptions();
    // "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)" with CR LF.
    static QByteArray pasv(int port, const QByteArray& host = "127,0,0,1");
    // A sorted index of the words, as a FEAT or HELP reply naming them gives.
    static CommandIndex indexOf(const QList<QByteArray>& words);

    FakeTransportFactory factory;
    FtpSession session;
    ActionEngine engine;
    QList<LogLine> log;

    // Connects and accepts the control connection (no welcome yet).
    void connect();
    // "Re-connect", accepted like connect().
    void reconnect();
    // The current control connection (the last one the session opened for it).
    FakeTransport* control() const;
    const FakeConnectionRecord& controlRecord() const;
    QList<QByteArray> sent() const { return controlRecord().sentLines(); }
    // Bytes from the server on the control connection, then the event loop runs.
    void reply(const QByteArray& bytes);
    // Runs the event loop until it has been quiet for a moment (bounded by maxMs).
    void settle(int maxMs = 40);
    // Runs the event loop for the whole time, for tests that need timers to fire.
    void wait(int ms);
    // Welcome, USER, PASS and the start-up replies up to the initial listing's
    // PASV; the FEAT and HELP bodies are given.
    void login(const QByteArray& feat =
                   "211-Features:\r\n MLST type*;size*;modify*;\r\n REST STREAM\r\n211 End\r\n",
               const QByteArray& help =
                   "214-The following commands are recognized.\r\n LIST MLSD NLST REST RETR "
                   "STOR\r\n214 Help OK.\r\n");
    // Answers the initial listing that login() leaves waiting for its PWD: the
    // folder, the passive reply, the listing bytes, and 226. The session is idle
    // afterwards.
    void finishInitialListing(const QByteArray& folder = "/", const QByteArray& listing = {});
    // login() and finishInitialListing() with an empty root.
    void loginIdle();
    // The data transport the session opened most recently, accepted.
    FakeTransport* acceptData();
    // Answers a running socket group: 227, accepts the data connection, 150,
    // the bytes, the peer's close, 226. Returns the data connection's record.
    const FakeConnectionRecord& serveData(const QByteArray& bytes, int port = 5001);

    // Log texts of one channel.
    QStringList texts(LogChannel channel) const;
    // Position in the log, and every line from there as "channel: text".
    int mark() const { return int(log.size()); }
    QStringList logSince(int mark) const;
    // Lines sent on the control connection from a line count on.
    QList<QByteArray> sentSince(int count) const { return sent().mid(count); }

private:
    int controlIndex_ = -1;
};
