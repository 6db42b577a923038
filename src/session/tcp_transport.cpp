#include "session/tcp_transport.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

TcpTransport::TcpTransport() : socket_(new QTcpSocket) {
    // Bounded: TCP flow control holds the sender back while we write to disk.
    socket_->setReadBufferSize(kReadBuffer);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        emit connected();
        emit readyWrite();
    });
    connect(socket_, &QTcpSocket::readyRead, this, &Transport::readyRead);
    // More is asked for once half the window has drained, so that writes stay
    // large instead of topping up the window a sliver at a time.
    connect(socket_, &QTcpSocket::bytesWritten, this, [this](qint64) {
        if (!inSend_ && socket_->bytesToWrite() <= kSendWindow / 2)
            emit readyWrite();
    });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        if (!closedSignalled_) {
            closedSignalled_ = true;
            emit closed();
        }
    });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError)
            return;  // disconnected() follows
        emit failed(socket_->errorString());
    });
}

TcpTransport::~TcpTransport() {
    socket_->disconnect(this);
    if (graceful_ && socket_->state() == QAbstractSocket::ClosingState) {
        // The end of an upload is still on its way out: the socket goes when it
        // has been written, or after a bound.
        QTcpSocket* s = socket_;
        QObject::connect(s, &QAbstractSocket::disconnected, s, &QObject::deleteLater);
        QTimer::singleShot(60000, s, [s] { s->abort(); });
        return;
    }
    socket_->abort();
    // The socket may be inside one of its own signals right now.
    socket_->deleteLater();
}

bool TcpTransport::connectToHost(const QString& host, quint16 port) {
    closedSignalled_ = false;
    socket_->connectToHost(host, port);
    return socket_->state() != QAbstractSocket::UnconnectedState;
}

qint64 TcpTransport::send(const char* data, qint64 size) {
    if (socket_->state() != QAbstractSocket::ConnectedState)
        return -1;
    const qint64 room = kSendWindow - socket_->bytesToWrite();
    if (room <= 0)
        return 0;
    // Handing the bytes to the kernel now saves an event-loop pass per write;
    // the caller is not told about room while it is still in this call.
    inSend_ = true;
    const qint64 n = socket_->write(data, qMin(room, size));
    if (n > 0)
        socket_->flush();
    inSend_ = false;
    return n;
}

qint64 TcpTransport::receive(char* buffer, qint64 maxSize) {
    const qint64 n = socket_->read(buffer, maxSize);
    return n < 0 ? 0 : n;
}

qint64 TcpTransport::bytesAvailable() const {
    return socket_->bytesAvailable();
}

void TcpTransport::close(bool graceful) {
    if (socket_->state() == QAbstractSocket::UnconnectedState)
        return;
    closedSignalled_ = true;  // a close we asked for is not reported back
    if (!graceful) {
        socket_->abort();
        return;
    }
    graceful_ = true;
    socket_->disconnectFromHost();
}

QString TcpTransport::peerAddress() const {
    QHostAddress a = socket_->peerAddress();
    bool ok = false;
    const quint32 v4 = a.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : a.toString();
}
