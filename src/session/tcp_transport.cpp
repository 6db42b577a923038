#include "session/tcp_transport.h"

#include <QCryptographicHash>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QSslCipher>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>

namespace {

QString protocolName(QSsl::SslProtocol p) {
    switch (p) {
        case QSsl::TlsV1_3:
            return QStringLiteral("TLSv1.3");
        case QSsl::TlsV1_2:
            return QStringLiteral("TLSv1.2");
        default:
            return QStringLiteral("an older TLS version");
    }
}

QString names(const QSslCertificate& c, bool issuer) {
    const auto attr = [&](QSslCertificate::SubjectInfo a) {
        const QStringList v = issuer ? c.issuerInfo(a) : c.subjectInfo(a);
        return v.join(QStringLiteral(", "));
    };
    QStringList parts;
    const QString cn = attr(QSslCertificate::CommonName);
    const QString o = attr(QSslCertificate::Organization);
    if (!cn.isEmpty())
        parts << QStringLiteral("CN=") + cn;
    if (!o.isEmpty())
        parts << QStringLiteral("O=") + o;
    if (parts.isEmpty())
        return issuer ? c.issuerDisplayName() : c.subjectDisplayName();
    return parts.join(QStringLiteral(", "));
}

// Bytes in the kernel's send queue of a descriptor that the peer has not
// acknowledged; 0 when it can not be told.
qint64 kernelUnacknowledged(int fd) {
    int n = 0;
    if (fd < 0 || ::ioctl(fd, SIOCOUTQ, &n) != 0 || n < 0)
        return 0;
    return n;
}

}  // namespace

// Keeps a TCP connection open after Qt closed its descriptor: the write side
// is shut once Qt is done (the last bytes and the close notice are out), and
// what the peer still sends is read and dropped until it closes. Closing a
// socket with unread bytes (a TLS server's post-handshake messages may come at
// any time) makes the kernel reset the connection, and a reset drops the end of
// an upload at the server. Meanwhile its descriptor tells how much of that end
// the peer has not acknowledged.
class LingeringClose : public QObject {
public:
    static constexpr int kBoundMs = 30000;

    LingeringClose(int fd, QSslSocket* socket) : fd_(fd), notifier_(fd, QSocketNotifier::Read) {
        notifier_.setEnabled(false);
        connect(&notifier_, &QSocketNotifier::activated, this, &LingeringClose::drain);
        QTimer::singleShot(kBoundMs, this, &LingeringClose::finish);
        connect(socket, &QAbstractSocket::stateChanged, this,
                [this](QAbstractSocket::SocketState s) {
                    if (s == QAbstractSocket::UnconnectedState)
                        shutWrite();
                });
        connect(socket, &QObject::destroyed, this, &LingeringClose::shutWrite);
    }
    ~LingeringClose() override {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int descriptor() const { return fd_; }
    void shutWrite() {
        if (shut_ || fd_ < 0)
            return;
        shut_ = true;
        ::shutdown(fd_, SHUT_WR);
        notifier_.setEnabled(true);
    }

private:
    void drain() {
        char buffer[16384];
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
                return;
            finish();  // the peer closed, or the connection broke
            return;
        }
    }
    void finish() {
        notifier_.setEnabled(false);
        deleteLater();
    }

    int fd_;
    bool shut_ = false;
    QSocketNotifier notifier_;
};

void TcpTransport::lingerAfterClose() {
    const int fd = ::dup(int(socket_->socketDescriptor()));
    if (fd < 0)
        return;
    linger_ = new LingeringClose(fd, socket_);
    if (socket_->state() == QAbstractSocket::UnconnectedState)
        linger_->shutWrite();
}

bool TcpTransport::tlsAvailable() {
    return QSslSocket::supportsSsl();
}

TcpTransport::TcpTransport() : socket_(new QSslSocket) {
    // Bounded: TCP flow control holds the sender back while we write to disk.
    socket_->setReadBufferSize(kReadBuffer);
    connect(socket_, &QSslSocket::connected, this, [this] {
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        emit connected();
        emit readyWrite();
    });
    connect(socket_, &QSslSocket::readyRead, this, &Transport::readyRead);
    // More is asked for once half the send window has drained, so that writes stay
    // large instead of topping up the send window a sliver at a time. Encrypted
    // bytes leave through the second signal.
    auto drained = [this](qint64) {
        if (!inSend_ && queuedBytes() <= kSendWindow / 2)
            emit readyWrite();
    };
    connect(socket_, &QSslSocket::bytesWritten, this, drained);
    connect(socket_, &QSslSocket::encryptedBytesWritten, this, drained);
    connect(socket_, &QSslSocket::disconnected, this, &TcpTransport::reportClosed);
    connect(socket_, &QSslSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError) {
            // Over TLS the peer's close notice ends the stream, but the TCP
            // connection may stay open: servers wait for our side to close
            // before they answer 226. Without TLS disconnected() follows.
            if (socket_->isEncrypted())
                QMetaObject::invokeMethod(this, &TcpTransport::reportClosed, Qt::QueuedConnection);
            return;
        }
        emit failed(socket_->errorString());
    });
    // Verification problems are collected, not fatal here: the session judges
    // the certificate once the handshake is done, before anything is sent.
    connect(socket_, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
        for (const QSslError& e : errors) {
            if (!tlsProblems_.contains(e.errorString()))
                tlsProblems_ << e.errorString();
        }
        socket_->ignoreSslErrors();
    });
    connect(socket_, &QSslSocket::encrypted, this, &TcpTransport::onEncrypted);
}

TcpTransport::~TcpTransport() {
    socket_->disconnect(this);
    if (graceful_ && socket_->state() == QAbstractSocket::ClosingState) {
        // The end of an upload is still on its way out: the socket goes when it
        // has been written, or after a bound.
        QSslSocket* s = socket_;
        QObject::connect(s, &QAbstractSocket::disconnected, s, &QObject::deleteLater);
        QObject::connect(s, &QIODevice::readyRead, s, [s] { s->readAll(); });
        QTimer::singleShot(60000, s, [s] { s->abort(); });
        return;
    }
    socket_->abort();
    // The socket may be inside one of its own signals right now.
    socket_->deleteLater();
}

void TcpTransport::reportClosed() {
    if (!closedSignalled_) {
        closedSignalled_ = true;
        emit closed();
    }
}

bool TcpTransport::connectToHost(const QString& host, quint16 port) {
    closedSignalled_ = false;
    socket_->connectToHost(host, port);
    return socket_->state() != QAbstractSocket::UnconnectedState;
}

qint64 TcpTransport::queuedBytes() const {
    return socket_->bytesToWrite() + socket_->encryptedBytesToWrite();
}

qint64 TcpTransport::send(const char* data, qint64 size) {
    if (socket_->state() != QAbstractSocket::ConnectedState)
        return -1;
    const qint64 room = kSendWindow - queuedBytes();
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
    lingerAfterClose();
    // Over TLS this first sends the close notice, which servers want to see at
    // the end of an upload.
    socket_->disconnectFromHost();
}

qint64 TcpTransport::unacknowledgedBytes() const {
    const QAbstractSocket::SocketState s = socket_->state();
    const bool open = s == QAbstractSocket::ConnectedState || s == QAbstractSocket::ClosingState;
    const int fd = linger_ ? linger_->descriptor() : int(socket_->socketDescriptor());
    return (open ? queuedBytes() : 0) + kernelUnacknowledged(fd);
}

QString TcpTransport::peerAddress() const {
    QHostAddress a = socket_->peerAddress();
    bool ok = false;
    const quint32 v4 = a.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : a.toString();
}

bool TcpTransport::startTls(const TlsRequest& request) {
    if (!QSslSocket::supportsSsl() || socket_->state() != QAbstractSocket::ConnectedState ||
        socket_->isEncrypted())
        return false;
    QSslConfiguration c = QSslConfiguration::defaultConfiguration();
    c.setProtocol(QSsl::TlsV1_2OrLater);
    // Keep the session so that data connections can resume it.
    c.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    if (!request.session.isEmpty())
        c.setSessionTicket(request.session);
    // Data connections are bound to the control connection by the resumed
    // session and the pinned certificate; the chain was judged once.
    c.setPeerVerifyMode(request.pinnedSha256.isEmpty() ? QSslSocket::VerifyPeer
                                                       : QSslSocket::QueryPeer);
    socket_->setSslConfiguration(c);
    socket_->setPeerVerifyName(request.peerName);
    pinnedSha256_ = request.pinnedSha256;
    tlsProblems_.clear();
    socket_->setReadBufferSize(kTlsReadBuffer);
    socket_->startClientEncryption();
    return true;
}

void TcpTransport::onEncrypted() {
    if (!pinnedSha256_.isEmpty()) {
        const QSslCertificate c = socket_->peerCertificate();
        if (!c.isNull() && c.digest(QCryptographicHash::Sha256) != pinnedSha256_) {
            emit failed(QStringLiteral(
                "the data connection's certificate is not the control connection's"));
            socket_->abort();
            return;
        }
    }
    emit secured();
    emit readyWrite();
}

TlsStatus TcpTransport::tlsStatus() const {
    TlsStatus s;
    s.secure = socket_->isEncrypted();
    if (!s.secure)
        return s;
    s.protocol = protocolName(socket_->sessionProtocol());
    s.cipher = socket_->sessionCipher().name();
    const QSslCertificate c = socket_->peerCertificate();
    if (!c.isNull()) {
        s.certificate.subject = names(c, false);
        s.certificate.issuer = names(c, true);
        s.certificate.notBefore = c.effectiveDate();
        s.certificate.notAfter = c.expiryDate();
        s.certificate.sha256 = c.digest(QCryptographicHash::Sha256);
    } else if (pinnedSha256_.isEmpty()) {
        s.problems << QStringLiteral("The server sent no certificate");
    }
    s.problems += tlsProblems_;
    return s;
}

QByteArray TcpTransport::tlsSession() const {
    return socket_->sslConfiguration().sessionTicket();
}
