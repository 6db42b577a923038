#pragma once

#include "session/tls_status.h"

#include <QObject>
#include <QString>

#include <memory>

// The byte stream under a control or data connection. The real one is TCP; tests
// put a scripted one in its place and see every byte the client sends.
class Transport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Transport() override = default;

    // Starts an asynchronous connect; false when it could not even start.
    virtual bool connectToHost(const QString& host, quint16 port) = 0;
    // Bytes accepted, 0 when the transport cannot take more now (wait for
    // readyWrite), -1 on error.
    virtual qint64 send(const char* data, qint64 size) = 0;
    // Bytes read into buffer, 0 when nothing is waiting.
    virtual qint64 receive(char* buffer, qint64 maxSize) = 0;
    virtual qint64 bytesAvailable() const = 0;
    // Ends the connection at once; with graceful, bytes already taken still go
    // out first (the end of an upload).
    virtual void close(bool graceful = false) = 0;
    // Dotted address of the peer once connected, empty before.
    virtual QString peerAddress() const = 0;
    // Bytes taken by send() that the peer has not acknowledged yet, also after a
    // graceful close while they drain; 0 when that can not be told.
    virtual qint64 unacknowledgedBytes() const { return 0; }

    // Starts a client TLS handshake on the connected stream (or, for a data
    // connection, as soon as it connects); secured() or failed() follows.
    // False when this transport cannot speak TLS.
    virtual bool startTls(const TlsRequest& request) {
        Q_UNUSED(request);
        return false;
    }
    virtual TlsStatus tlsStatus() const { return {}; }
    // The TLS session to resume on further connections to the same server;
    // servers may hand it over only after the handshake, so ask late.
    virtual QByteArray tlsSession() const { return {}; }

signals:
    void connected();
    void readyRead();
    void readyWrite();
    void closed();
    // The TLS handshake finished; the stream is encrypted from here on.
    void secured();
    // A failed connect or a broken connection; the text is for traces.
    void failed(const QString& reason);
};

class TransportFactory {
public:
    virtual ~TransportFactory() = default;
    virtual std::unique_ptr<Transport> create() = 0;
};
