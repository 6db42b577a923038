#include "session/control_socket.h"

static QByteArray hostBytes(const QString& host) {
    // Low byte of each code unit, at most 127 characters.
    QByteArray out;
    for (QChar c : host.left(127))
        out.append(static_cast<char>(c.unicode() & 0xff));
    return out;
}

bool ControlSocket::open(const QString& host, int port) {
    close();
    // Half a reply or an unsent command of the last connection must not reach
    // the new one.
    receiveBuffer_.clear();
    sendBuffer_.clear();
    if (!connect(QString::fromLatin1(hostBytes(host)), port)) {
        close();
        return false;
    }
    return true;
}

void ControlSocket::sendLine(const QByteArray& text) {
    sendBuffer_.append(text);
    sendBuffer_.append("\r\n", 2);
    flush();
}

void ControlSocket::flush() {
    while (writable() && !sendBuffer_.isEmpty()) {
        const qint64 n = send(sendBuffer_.constData(), sendBuffer_.size());
        if (n == 0) {
            setWritable(false);
            return;
        }
        if (n < 0)
            return;
        const QByteArray sent = sendBuffer_.left(n);
        sendBuffer_.remove(0, n);
        emit bytesSent(sent);
    }
}

bool ControlSocket::readLines(QList<QByteArray>* lines) {
    char chunk[4096];
    for (;;) {
        const qint64 n = receive(chunk, sizeof chunk);
        if (n <= 0)
            break;
        receiveBuffer_.append(chunk, n);
        qsizetype start = 0;
        for (;;) {
            const qsizetype lf = receiveBuffer_.indexOf('\n', start);
            if (lf < 0)
                break;
            lines->append(receiveBuffer_.mid(start, lf + 1 - start));
            start = lf + 1;
        }
        receiveBuffer_.remove(0, start);
        if (receiveBuffer_.size() > kMaxLineLength)
            return false;
    }
    return true;
}
