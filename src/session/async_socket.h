#pragma once

#include "session/transport.h"

#include <QObject>

#include <memory>
#include <optional>

// The notifications a socket delivers, numbered as the session code knows them.
// Secured: a TLS handshake asked for on an open connection has finished.
enum class SocketEvent { Read = 1, Write = 2, Connect = 16, Close = 32, Secured = 64 };

// One asynchronous socket, shared by the control connection and every data
// connection. It has no transport ("handle -1") before connect and after close.
class AsyncSocket : public QObject {
    Q_OBJECT
public:
    explicit AsyncSocket(TransportFactory* factory, QObject* parent = nullptr);
    ~AsyncSocket() override;

    // Starts the connect; a negative port means 21. False when it did not start.
    bool connect(const QString& host, int port);
    // Safe at any time, also twice. With graceful, bytes already taken are
    // still written before the connection ends.
    void close(bool graceful = false);

    bool isOpen() const { return transport_ != nullptr; }
    bool writable() const { return writable_; }
    void setWritable(bool writable) { writable_ = writable; }

    // Before connect: TLS starts as soon as the connection is made, and the
    // connect is announced only once the handshake is done (data connections).
    // With hold, the handshake waits for releaseTls(): servers expect it only
    // once the transfer command has gone out.
    void setTlsOnConnect(const TlsRequest& request, bool hold = false) {
        tlsOnConnect_ = request;
        tlsHeld_ = hold;
    }
    void releaseTls();
    // On an open connection: starts the handshake; Secured follows. False when
    // the transport cannot speak TLS.
    bool startTls(const TlsRequest& request);
    bool handshaking() const { return handshaking_; }
    TlsStatus tlsStatus() const;
    QByteArray tlsSession() const;

    qint64 send(const char* data, qint64 size);
    // Bytes sent that the peer has not acknowledged, also while a graceful
    // close lets them drain.
    qint64 unacknowledgedBytes() const;
    qint64 receive(char* buffer, qint64 maxSize);
    qint64 bytesAvailable() const;
    QString peerAddress() const;

signals:
    void socketEvent(SocketEvent event);
    void socketFailed(const QString& reason);

private:
    TransportFactory* factory_;
    std::unique_ptr<Transport> transport_;
    // A transport closed gracefully, kept to tell what has not drained yet;
    // it tells nothing else any more.
    std::unique_ptr<Transport> closing_;
    bool writable_ = false;
    bool handshaking_ = false;
    bool tlsHeld_ = false;
    bool tlsStarted_ = false;
    bool connected_ = false;
    std::optional<TlsRequest> tlsOnConnect_;
};
