#include "support/fake_transport.h"

QList<QByteArray> FakeConnectionRecord::sentLines() const {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = sent.indexOf("\r\n", start);
        if (end < 0)
            break;
        lines.append(sent.mid(start, end - start));
        start = end + 2;
    }
    if (start < sent.size())
        lines.append(sent.mid(start));
    return lines;
}

FakeTransport::FakeTransport(std::shared_ptr<FakeConnectionRecord> record)
    : record_(std::move(record)) {}

bool FakeTransport::connectToHost(const QString& host, quint16 port) {
    record_->host = host;
    record_->port = port;
    return !refuseConnect;
}

qint64 FakeTransport::send(const char* data, qint64 size) {
    if (!connected_ || record_->closedByClient)
        return -1;
    if (!writable_)
        return 0;
    qint64 n = sendLimit_ >= 0 ? qMin(size, sendLimit_) : size;
    if (sendBudget_ >= 0)
        n = qMin(n, sendBudget_);
    if (n <= 0)
        return 0;
    if (sendBudget_ >= 0)
        sendBudget_ -= n;
    record_->sent.append(data, n);
    record_->sendSizes.append(size);
    return n;
}

qint64 FakeTransport::receive(char* buffer, qint64 maxSize) {
    const qint64 n = qMin<qint64>(maxSize, inbound_.size());
    memcpy(buffer, inbound_.constData(), size_t(n));
    inbound_.remove(0, n);
    return n;
}

void FakeTransport::close(bool graceful) {
    record_->closedByClient = true;
    record_->closedGracefully = graceful;
}

bool FakeTransport::startTls(const TlsRequest& request) {
    if (!supportsTls || !connected_ || record_->tlsStartedAt >= 0)
        return false;
    record_->tlsStartedAt = record_->sent.size();
    record_->tlsRequest = request;
    return true;
}

void FakeTransport::finishTls() {
    secure_ = true;
    tls.secure = true;
    emit secured();
    emit readyWrite();
}

void FakeTransport::failTls(const QString& reason) {
    emit failed(reason);
}

void FakeTransport::accept() {
    connected_ = true;
    writable_ = true;
    emit connected();
    emit readyWrite();
}

void FakeTransport::feed(const QByteArray& bytes) {
    inbound_.append(bytes);
    emit readyRead();
}

void FakeTransport::hangUp(const QByteArray& lastBytes) {
    inbound_.append(lastBytes);
    emit closed();
}

void FakeTransport::grantSend(qint64 bytes) {
    if (bytes < 0)
        sendBudget_ = -1;
    else if (sendBudget_ >= 0)
        sendBudget_ += bytes;
    if (writable_)
        emit readyWrite();
}

void FakeTransport::setWritable(bool writable) {
    writable_ = writable;
    if (writable)
        emit readyWrite();
}

std::unique_ptr<Transport> FakeTransportFactory::create() {
    auto record = std::make_shared<FakeConnectionRecord>();
    auto t = std::make_unique<FakeTransport>(record);
    records_.append(record);
    transports_.append(t.get());
    if (onCreate)
        onCreate(t.get());
    return t;
}
