#include "support/raw_ftp_control.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QRegularExpression>

namespace {

int remaining(const QDeadlineTimer& deadline) {
    return static_cast<int>(qMax<qint64>(0, deadline.remainingTime()));
}

}  // namespace

bool RawFtpControl::fail(const QString& message) {
    lastError_ = message;
    return false;
}

bool RawFtpControl::connectTo(quint16 port, int timeoutMs) {
    socket_.abort();
    socket_.connectToHost(QHostAddress::LocalHost, port);
    if (!socket_.waitForConnected(timeoutMs)) {
        return fail(
            QStringLiteral("cannot connect to port %1: %2").arg(port).arg(socket_.errorString()));
    }
    return true;
}

bool RawFtpControl::readLine(QByteArray* line, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!socket_.canReadLine()) {
        if (deadline.hasExpired() || socket_.state() != QAbstractSocket::ConnectedState) {
            if (!socket_.canReadLine()) {
                return fail(QStringLiteral("no complete reply line (have \"%1\"): %2")
                                .arg(QString::fromUtf8(socket_.peek(200)), socket_.errorString()));
            }
            break;
        }
        socket_.waitForReadyRead(qMin(remaining(deadline), 200));
    }
    QByteArray text = socket_.readLine();
    while (text.endsWith('\n') || text.endsWith('\r')) {
        text.chop(1);
    }
    *line = text;
    return true;
}

bool RawFtpControl::readReply(Reply* reply, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    *reply = Reply();
    QByteArray line;
    if (!readLine(&line, remaining(deadline))) {
        return false;
    }
    reply->lines.append(line);
    static const QRegularExpression codePattern(QStringLiteral("^([1-5][0-9][0-9])([ -]|$)"));
    const QRegularExpressionMatch match = codePattern.match(QString::fromLatin1(line));
    if (!match.hasMatch()) {
        return fail(QStringLiteral("not a reply line: \"%1\"").arg(QString::fromUtf8(line)));
    }
    reply->code = match.captured(1).toInt();
    if (match.captured(2) == QLatin1String("-")) {
        const QByteArray end = line.left(3) + ' ';
        do {
            if (!readLine(&line, remaining(deadline))) {
                return false;
            }
            reply->lines.append(line);
        } while (!line.startsWith(end) && line != end.trimmed());
    }
    return true;
}

bool RawFtpControl::command(const QByteArray& line, Reply* reply, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    socket_.write(line + "\r\n");
    if (!socket_.waitForBytesWritten(remaining(deadline)) && socket_.bytesToWrite() > 0) {
        return fail(QStringLiteral("cannot send \"%1\": %2")
                        .arg(QString::fromUtf8(line), socket_.errorString()));
    }
    return readReply(reply, remaining(deadline));
}

bool RawFtpControl::login(const QString& user, const QString& password, Reply* last,
                          int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    Reply reply;
    if (!readReply(&reply, remaining(deadline))) {
        return false;
    }
    if (reply.code != 220) {
        return fail(QStringLiteral("greeting is not 220: ") + QString::fromUtf8(reply.text()));
    }
    if (!command("USER " + user.toUtf8(), &reply, remaining(deadline))) {
        return false;
    }
    if (reply.code == 331 && !command("PASS " + password.toUtf8(), &reply, remaining(deadline))) {
        return false;
    }
    if (last) {
        *last = reply;
    }
    if (reply.code != 230) {
        return fail(QStringLiteral("login refused: ") + QString::fromUtf8(reply.text()));
    }
    return true;
}

bool RawFtpControl::openPassive(QTcpSocket* data, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    Reply reply;
    if (!command("PASV", &reply, remaining(deadline))) {
        return false;
    }
    static const QRegularExpression numbers(
        QStringLiteral("(\\d+),(\\d+),(\\d+),(\\d+),(\\d+),(\\d+)"));
    const QRegularExpressionMatch match = numbers.match(QString::fromLatin1(reply.text()));
    if (reply.code != 227 || !match.hasMatch()) {
        return fail(QStringLiteral("bad PASV reply: ") + QString::fromUtf8(reply.text()));
    }
    // Like the client, connect to the control connection's peer, not the announced host.
    const int port = match.captured(5).toInt() * 256 + match.captured(6).toInt();
    data->connectToHost(socket_.peerAddress(), static_cast<quint16>(port));
    if (!data->waitForConnected(remaining(deadline))) {
        return fail(QStringLiteral("cannot open the data connection to port %1: %2")
                        .arg(port)
                        .arg(data->errorString()));
    }
    return true;
}

bool RawFtpControl::startTransfer(const QByteArray& command, QTcpSocket* data, Reply* final,
                                  int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    if (!openPassive(data, remaining(deadline))) {
        return false;
    }
    Reply reply;
    if (!this->command(command, &reply, remaining(deadline))) {
        return false;
    }
    if (reply.code != 150 && reply.code != 125) {
        if (final) {
            *final = reply;
        }
        return fail(QStringLiteral("transfer refused: ") + QString::fromUtf8(reply.text()));
    }
    return true;
}

bool RawFtpControl::finishTransfer(Reply* final, int timeoutMs) {
    Reply reply;
    if (!readReply(&reply, timeoutMs)) {
        return false;
    }
    if (final) {
        *final = reply;
    }
    if (reply.code != 226 && reply.code != 250) {
        return fail(QStringLiteral("transfer failed: ") + QString::fromUtf8(reply.text()));
    }
    return true;
}

bool RawFtpControl::retrieve(const QByteArray& command, QByteArray* data, Reply* final,
                             int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    QTcpSocket channel;
    data->clear();
    if (!startTransfer(command, &channel, final, remaining(deadline))) {
        return false;
    }
    while (channel.state() == QAbstractSocket::ConnectedState) {
        if (deadline.hasExpired()) {
            return fail(QStringLiteral("data connection stayed open"));
        }
        channel.waitForReadyRead(qMin(remaining(deadline), 200));
        data->append(channel.readAll());
    }
    data->append(channel.readAll());
    return finishTransfer(final, remaining(deadline));
}

bool RawFtpControl::store(const QByteArray& command, const QByteArray& data, Reply* final,
                          int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    QTcpSocket channel;
    if (!startTransfer(command, &channel, final, remaining(deadline))) {
        return false;
    }
    channel.write(data);
    while (channel.bytesToWrite() > 0) {
        if (deadline.hasExpired() || !channel.waitForBytesWritten(remaining(deadline))) {
            return fail(QStringLiteral("cannot send the data: ") + channel.errorString());
        }
    }
    channel.disconnectFromHost();
    if (channel.state() != QAbstractSocket::UnconnectedState) {
        channel.waitForDisconnected(remaining(deadline));
    }
    return finishTransfer(final, remaining(deadline));
}

void RawFtpControl::close() {
    socket_.abort();
}
