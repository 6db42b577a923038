#include "support/session_harness.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

CommandIndex SessionHarness::indexOf(const QList<QByteArray>& words) {
    CommandIndex index;
    for (const QByteArray& w : words)
        index.add(w);
    index.sort();
    return index;
}

SessionOptions SessionHarness::defaultOptions() {
    SessionOptions o;
    o.host = QStringLiteral("127.0.0.1");
    o.port = 2121;
    o.user = QStringLiteral("bob");
    o.password = QStringLiteral("secret");
    o.siteName = QStringLiteral("Home");
    o.comment = QStringLiteral("test");
    o.keepAliveInterval = 0;
    return o;
}

QByteArray SessionHarness::pasv(int port, const QByteArray& host) {
    return "227 Entering Passive Mode (" + host + ',' + QByteArray::number(port / 256) + ',' +
           QByteArray::number(port % 256) + ")\r\n";
}

SessionHarness::SessionHarness(const SessionOptions& options) : session(&factory), engine(session) {
    session.setOptions(options);
    QObject::connect(&session, &FtpSession::logLine, [this](const LogLine& l) { log.append(l); });
}

void SessionHarness::connect() {
    const int before = factory.count();
    session.connectNew();
    controlIndex_ = before;
    if (FakeTransport* t = control())
        t->accept();
    settle();
}

void SessionHarness::reconnect() {
    const int before = factory.count();
    session.reconnect();
    controlIndex_ = before;
    if (FakeTransport* t = control())
        t->accept();
    settle();
}

FakeTransport* SessionHarness::control() const {
    return controlIndex_ >= 0 ? factory.transport(controlIndex_) : nullptr;
}

const FakeConnectionRecord& SessionHarness::controlRecord() const {
    return factory.record(controlIndex_);
}

void SessionHarness::reply(const QByteArray& bytes) {
    FakeTransport* t = control();
    EXPECT_NE(t, nullptr) << "no control connection";
    if (t)
        t->feed(bytes);
    settle();
}

void SessionHarness::settle(int maxMs) {
    // Posted calls and zero timers chain into each other: run until nothing has
    // happened for a short while, so quick tests stay quick.
    constexpr qint64 kQuietMs = 1;
    QElapsedTimer timer;
    timer.start();
    QElapsedTimer quiet;
    quiet.start();
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    while (timer.elapsed() < maxMs) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const bool busy = dispatcher && dispatcher->processEvents(QEventLoop::AllEvents);
        if (busy)
            quiet.restart();
        else if (quiet.elapsed() >= kQuietMs)
            break;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void SessionHarness::wait(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void SessionHarness::login(const QByteArray& feat, const QByteArray& help) {
    connect();
    reply("220 Welcome\r\n");
    reply("331 Password required\r\n");
    reply("230 Logged in\r\n");
    reply("200 Type set\r\n");
    reply(feat);
    reply(help);
}

void SessionHarness::finishInitialListing(const QByteArray& folder, const QByteArray& listing) {
    reply("257 \"" + folder + "\" is the current directory\r\n");
    serveData(listing, 5000);
}

void SessionHarness::loginIdle() {
    login();
    finishInitialListing();
}

FakeTransport* SessionHarness::acceptData() {
    FakeTransport* t = factory.last();
    if (t && t != control())
        t->accept();
    settle();
    return t;
}

const FakeConnectionRecord& SessionHarness::serveData(const QByteArray& bytes, int port) {
    const int before = factory.count();
    reply(pasv(port));
    if (factory.count() != before + 1) {
        ADD_FAILURE() << "no data connection was opened";
        static const FakeConnectionRecord none;
        return none;
    }
    const int index = factory.count() - 1;
    FakeTransport* d = acceptData();
    reply("150 Opening data connection\r\n");
    if (d && !bytes.isEmpty())
        d->feed(bytes);
    settle();
    if (d)
        d->hangUp();
    settle();
    reply("226 Transfer complete\r\n");
    return factory.record(index);
}

QStringList SessionHarness::texts(LogChannel channel) const {
    QStringList out;
    for (const LogLine& l : log)
        if (l.channel == channel)
            out << l.text;
    return out;
}

QStringList SessionHarness::logSince(int mark) const {
    QStringList out;
    for (qsizetype i = mark; i < log.size(); ++i)
        out << QString::fromLatin1(channelName(log[i].channel)) + QStringLiteral(": ") +
                   log[i].text;
    return out;
}
