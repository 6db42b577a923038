#pragma once

#include "session/transport.h"

#include <QPointer>

class QSslSocket;
class LingeringClose;

// TCP under QSslSocket, which speaks plain TCP until a TLS handshake is asked
// for. Qt buffers writes without limit, so send() stops taking bytes while more
// than a send window is queued (plain and encrypted alike): large uploads then read
// the file at the pace of the network instead of loading it into memory.
class TcpTransport : public Transport {
    Q_OBJECT
public:
    static constexpr qint64 kSendWindow = 512 * 1024;
    static constexpr qint64 kReadBuffer = 4 * 1024 * 1024;
    // Under TLS Qt takes the kernel's bytes in blocks of up to the read buffer's
    // size; larger blocks come from fresh mappings each time, and their page
    // faults cost more CPU than the decryption.
    static constexpr qint64 kTlsReadBuffer = 64 * 1024;

    TcpTransport();
    ~TcpTransport() override;

    bool connectToHost(const QString& host, quint16 port) override;
    qint64 send(const char* data, qint64 size) override;
    qint64 receive(char* buffer, qint64 maxSize) override;
    qint64 bytesAvailable() const override;
    void close(bool graceful = false) override;
    QString peerAddress() const override;
    qint64 unacknowledgedBytes() const override;

    bool startTls(const TlsRequest& request) override;
    TlsStatus tlsStatus() const override;
    QByteArray tlsSession() const override;

    // Whether this build's Qt can speak TLS at all.
    static bool tlsAvailable();

private:
    qint64 queuedBytes() const;
    void onEncrypted();
    void reportClosed();
    void lingerAfterClose();

    QSslSocket* socket_;
    // Holds the connection after a graceful close; its descriptor still tells
    // what the kernel has not got acknowledged.
    QPointer<LingeringClose> linger_;
    bool closedSignalled_ = false;
    bool graceful_ = false;
    bool inSend_ = false;
    QStringList tlsProblems_;
    QByteArray pinnedSha256_;
};

class TcpTransportFactory : public TransportFactory {
public:
    std::unique_ptr<Transport> create() override { return std::make_unique<TcpTransport>(); }
};
