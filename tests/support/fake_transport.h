#pragma once

#include "session/transport.h"

#include <QByteArray>
#include <QList>
#include <QPointer>

#include <functional>
#include <memory>

// What happened on one scripted connection; it outlives the transport, which
// the session deletes when it closes the socket.
struct FakeConnectionRecord {
    QString host;
    quint16 port = 0;
    QByteArray sent;          // every byte the client sent, in order
    QList<qint64> sendSizes;  // the size offered by each send() call that took bytes
    bool closedByClient = false;
    bool closedGracefully = false;
    // TLS: where in `sent` the handshake started (-1: never) and what was asked.
    qsizetype tlsStartedAt = -1;
    TlsRequest tlsRequest;

    // The sent bytes cut at CR LF.
    QList<QByteArray> sentLines() const;
};

// A transport the test scripts byte by byte: it decides when the connect
// succeeds, what arrives, when the peer closes and whether sending blocks.
class FakeTransport : public Transport {
    Q_OBJECT
public:
    explicit FakeTransport(std::shared_ptr<FakeConnectionRecord> record);

    bool connectToHost(const QString& host, quint16 port) override;
    qint64 send(const char* data, qint64 size) override;
    qint64 receive(char* buffer, qint64 maxSize) override;
    qint64 bytesAvailable() const override { return inbound_.size(); }
    void close(bool graceful = false) override;
    QString peerAddress() const override { return connected_ ? peer : QString(); }
    bool startTls(const TlsRequest& request) override;
    TlsStatus tlsStatus() const override { return secure_ ? tls : TlsStatus(); }
    QByteArray tlsSession() const override { return secure_ ? session : QByteArray(); }

    // The test side.
    void accept();                       // connected, then writable
    void feed(const QByteArray& bytes);  // bytes from the server
    // The server closes; lastBytes arrive with the close, without a read event.
    void hangUp(const QByteArray& lastBytes = QByteArray());
    void setWritable(bool writable);                         // false: send() takes nothing
    void setSendLimit(qint64 limit) { sendLimit_ = limit; }  // bytes per send(), -1 any
    // From now on send() takes at most this many bytes in all, then nothing
    // (like a full socket buffer) until grantSend().
    void setSendBudget(qint64 bytes) { sendBudget_ = bytes; }
    // More room: the budget grows (or becomes unlimited with -1) and the
    // transport signals that it can take bytes again.
    void grantSend(qint64 bytes);

    // The handshake the client started ends: secured with `tls`, or failed.
    void finishTls();
    void failTls(const QString& reason);
    bool tlsStarted() const { return record_->tlsStartedAt >= 0; }

    const FakeConnectionRecord& record() const { return *record_; }
    bool supportsTls = true;
    TlsStatus tls;       // what tlsStatus() says once secured (secure is set then)
    QByteArray session;  // what tlsSession() says once secured
    QString peer = QStringLiteral("127.0.0.1");
    bool refuseConnect = false;

private:
    std::shared_ptr<FakeConnectionRecord> record_;
    QByteArray inbound_;
    bool connected_ = false;
    bool writable_ = false;
    bool secure_ = false;
    qint64 sendLimit_ = -1;
    qint64 sendBudget_ = -1;
};

class FakeTransportFactory : public TransportFactory {
public:
    std::unique_ptr<Transport> create() override;

    int count() const { return int(records_.size()); }
    FakeTransport* transport(int i) const { return transports_.value(i); }
    const FakeConnectionRecord& record(int i) const { return *records_.at(i); }
    FakeTransport* last() const { return transports_.isEmpty() ? nullptr : transports_.last(); }

    // Runs for every new transport, before the session uses it.
    std::function<void(FakeTransport*)> onCreate;

private:
    QList<QPointer<FakeTransport>> transports_;
    QList<std::shared_ptr<FakeConnectionRecord>> records_;
};
