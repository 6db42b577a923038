#include "session/socket_group.h"

#include "session/command_queue.h"

const char* socketKindName(int kind) {
    switch (kind) {
        case 0:
            return "SOCKET_LIST";
        case 1:
            return "SOCKET_USER";
        case 2:
            return "SOCKET_UPLOAD_FILE";
        case 3:
            return "SOCKET_DOWNLOAD_FILE";
        case 4:
            return "SOCKET_DIRECT_DOWNLOAD";
        case 5:
            return "SOCKET_DIRECT_UPLOAD";
    }
    return "SOCKET UNKNOWN";
}

SocketGroup::~SocketGroup() = default;

void SocketGroup::announceStart(const TransferInfo& info) {
    if (!announced_ && host()) {
        announced_ = true;
        host()->transferStarted(this, info);
    }
}

void SocketGroup::announceEnd() {
    if (announced_ && host())
        host()->transferEnded(this);
    announced_ = false;
}

bool SocketGroup::startData(const QString& host, int port) {
    if (data_.started())
        return false;
    const int last = lastSentIndex();
    if (last < 0 || !steps()[last].nameIs("PASV"))
        return false;
    GroupHost* h = this->host();
    if (!h)
        return false;
    // The data connection goes to the control connection's peer: a server must
    // not steer us to other hosts, and servers behind NAT announce private ones.
    QString target = host;
    const QString peer = h->controlPeer();
    if (!peer.isEmpty() && peer != host) {
        h->log(LogChannel::Trace, QStringLiteral("Passive address %1 differs from the server's "
                                                 "address %2, connecting to %2")
                                      .arg(host, peer));
        target = peer;
    }
    data_.dataHost = target;
    data_.dataPort = port;
    data_.socket = std::make_unique<AsyncSocket>(h->transportFactory());
    const std::optional<TlsRequest> tls = h->dataTls();
    if (tls)
        data_.socket->setTlsOnConnect(*tls, true);
    QObject::connect(data_.socket.get(), &AsyncSocket::socketEvent, data_.socket.get(),
                     [this](SocketEvent e) { onDataSocketEvent(e); });
    QObject::connect(
        data_.socket.get(), &AsyncSocket::socketFailed, data_.socket.get(),
        [this](const QString& reason) {
            GroupHost* gh = this->host();
            if (!gh)
                return;
            // A refused handshake is why the transfer fails: say it.
            if (data_.socket && data_.socket->handshaking())
                gh->reportFailure(QStringLiteral("TLS on the data connection failed: ") + reason);
            else
                gh->log(LogChannel::Trace, QStringLiteral("Data port error: ") + reason);
        });
    return data_.socket->connect(target, port);
}

void SocketGroup::stepSent(const CommandStep& step) {
    if (data_.socket && !step.nameIs("PASV") && !step.nameIs("REST"))
        data_.socket->releaseTls();
}

void SocketGroup::onDataSocketEvent(SocketEvent event) {
    GroupHost* h = host();
    if (event == SocketEvent::Connect && h)
        h->log(LogChannel::Trace,
               QStringLiteral("Data port opens, count = %1").arg(h->queueCount()));
    if (data_.dataClosed && event != SocketEvent::Close)
        return;
    onDataEvent(event);
    if (event == SocketEvent::Close && !data_.dataClosed) {
        if (data_.socket)
            data_.socket->close();
        data_.dataClosed = true;
        if (h) {
            h->log(LogChannel::Trace,
                   QStringLiteral("Data port closed, count = %1").arg(h->queueCount()));
            h->dataClosed(this);
        }
    }
}

qint64 SocketGroup::receiveAll(QByteArray* out) {
    if (!data_.socket)
        return 0;
    qint64 total = 0;
    for (;;) {
        const qint64 avail = data_.socket->bytesAvailable();
        const qint64 want = avail > 0 ? qMin(avail, kReceiveBlock) : kReceiveBlock;
        const qsizetype old = out->size();
        out->resize(old + want);
        const qint64 n = data_.socket->receive(out->data() + old, want);
        out->resize(old + (n > 0 ? n : 0));
        if (n <= 0)
            break;
        total += n;
    }
    return total;
}

void SocketGroup::finishData() {
    if (data_.dataClosed)
        return;
    data_.dataClosed = true;
    GroupHost* h = host();
    if (data_.socket)
        data_.socket->close(true);
    if (h) {
        h->log(LogChannel::Trace,
               QStringLiteral("Data port closed, count = %1").arg(h->queueCount()));
        h->dataClosed(this);
    }
}

void SocketGroup::resetData() {
    data_.socket.reset();
    data_.dataHost.clear();
    data_.dataPort = -1;
    data_.dataClosed = false;
}
