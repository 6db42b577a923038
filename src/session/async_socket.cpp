#include "session/async_socket.h"

AsyncSocket::AsyncSocket(TransportFactory* factory, QObject* parent)
    : QObject(parent), factory_(factory) {}

AsyncSocket::~AsyncSocket() {
    close();
}

bool AsyncSocket::connect(const QString& host, int port) {
    close();
    connected_ = tlsStarted_ = false;
    if (!factory_)
        return false;
    transport_ = factory_->create();
    if (!transport_)
        return false;
    Transport* t = transport_.get();
    QObject::connect(t, &Transport::connected, this, [this] {
        if (!tlsOnConnect_) {
            emit socketEvent(SocketEvent::Connect);
            return;
        }
        connected_ = true;
        handshaking_ = true;
        if (!tlsHeld_)
            releaseTls();
    });
    QObject::connect(t, &Transport::readyRead, this, [this] {
        if (!handshaking_)
            emit socketEvent(SocketEvent::Read);
    });
    QObject::connect(t, &Transport::readyWrite, this, [this] {
        if (handshaking_)
            return;  // nothing goes out before the handshake is done
        writable_ = true;
        emit socketEvent(SocketEvent::Write);
    });
    QObject::connect(t, &Transport::secured, this, [this] {
        handshaking_ = false;
        emit socketEvent(tlsOnConnect_ ? SocketEvent::Connect : SocketEvent::Secured);
        // Data that arrived with the end of the handshake.
        if (transport_ && transport_->bytesAvailable() > 0)
            emit socketEvent(SocketEvent::Read);
    });
    QObject::connect(t, &Transport::closed, this, [this] { emit socketEvent(SocketEvent::Close); });
    QObject::connect(t, &Transport::failed, this, &AsyncSocket::socketFailed);
    const quint16 p = port < 0 ? 21 : static_cast<quint16>(port);
    if (!t->connectToHost(host, p)) {
        close();
        return false;
    }
    return true;
}

void AsyncSocket::releaseTls() {
    tlsHeld_ = false;
    if (!tlsOnConnect_ || !connected_ || tlsStarted_ || !transport_)
        return;
    tlsStarted_ = true;
    if (!transport_->startTls(*tlsOnConnect_)) {
        handshaking_ = false;
        emit socketFailed(QStringLiteral("TLS is not available"));
        emit socketEvent(SocketEvent::Close);
    }
}

bool AsyncSocket::startTls(const TlsRequest& request) {
    if (!transport_ || handshaking_)
        return false;
    writable_ = false;
    handshaking_ = transport_->startTls(request);
    return handshaking_;
}

TlsStatus AsyncSocket::tlsStatus() const {
    return transport_ ? transport_->tlsStatus() : TlsStatus();
}

QByteArray AsyncSocket::tlsSession() const {
    return transport_ ? transport_->tlsSession() : QByteArray();
}

void AsyncSocket::close(bool graceful) {
    writable_ = false;
    handshaking_ = false;
    // We may be inside one of the transports' own signals: they go later.
    if (closing_)
        closing_.release()->deleteLater();
    if (!transport_)
        return;
    transport_->disconnect(this);
    transport_->close(graceful);
    if (graceful)
        closing_ = std::move(transport_);
    else
        transport_.release()->deleteLater();
}

qint64 AsyncSocket::unacknowledgedBytes() const {
    if (transport_)
        return transport_->unacknowledgedBytes();
    return closing_ ? closing_->unacknowledgedBytes() : 0;
}

qint64 AsyncSocket::send(const char* data, qint64 size) {
    return transport_ ? transport_->send(data, size) : -1;
}

qint64 AsyncSocket::receive(char* buffer, qint64 maxSize) {
    return transport_ ? transport_->receive(buffer, maxSize) : 0;
}

qint64 AsyncSocket::bytesAvailable() const {
    return transport_ ? transport_->bytesAvailable() : 0;
}

QString AsyncSocket::peerAddress() const {
    return transport_ ? transport_->peerAddress() : QString();
}
