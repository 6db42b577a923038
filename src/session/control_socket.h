#pragma once

#include "session/async_socket.h"

#include <QByteArray>
#include <QList>

// The control connection's byte layer: the receive buffer cut into lines and the
// send buffer flushed as the socket accepts it.
class ControlSocket : public AsyncSocket {
    Q_OBJECT
public:
    // A hostile server must not make us buffer without end.
    static constexpr qsizetype kMaxLineLength = 64 * 1024;

    using AsyncSocket::AsyncSocket;

    bool open(const QString& host, int port);
    // Appends the text and CR LF and flushes; what the socket takes is announced
    // through bytesSent.
    void sendLine(const QByteArray& text);
    void flush();

    // Reads what has arrived and returns the complete lines (line feed included,
    // a CR stays part of the line). False when a line grew past the bound.
    bool readLines(QList<QByteArray>* lines);

    qsizetype pendingSendBytes() const { return sendBuffer_.size(); }

signals:
    void bytesSent(const QByteArray& bytes);

private:
    QByteArray receiveBuffer_;
    QByteArray sendBuffer_;
};
