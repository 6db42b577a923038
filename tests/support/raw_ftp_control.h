#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTcpSocket>

// A blocking, test-only FTP control connection to a server on 127.0.0.1, used
// to check fixtures and server-side state without the engine. Every wait is
// bounded by the timeout given.
class RawFtpControl {
public:
    struct Reply {
        int code = 0;
        QList<QByteArray> lines;  // without line ends
        QByteArray text() const { return lines.join('\n'); }
    };

    static constexpr int kDefaultTimeoutMs = 5000;

    // Connects; the greeting is left for readReply().
    bool connectTo(quint16 port, int timeoutMs = kDefaultTimeoutMs);
    // Reads one reply, following multi-line replies to their last line.
    bool readReply(Reply* reply, int timeoutMs = kDefaultTimeoutMs);
    // Sends `line` plus CR LF and reads the reply.
    bool command(const QByteArray& line, Reply* reply, int timeoutMs = kDefaultTimeoutMs);
    // Reads the greeting (must be 220), then USER and, unless USER already
    // logged in, PASS. True when the final reply is 230.
    bool login(const QString& user, const QString& password, Reply* last = nullptr,
               int timeoutMs = kDefaultTimeoutMs);
    // PASV, `command`, then reads the data connection until the server closes it
    // and the final reply. `final` gets that reply, or the refusal.
    bool retrieve(const QByteArray& command, QByteArray* data, Reply* final = nullptr,
                  int timeoutMs = kDefaultTimeoutMs);
    // PASV, `command`, then writes `data` on the data connection and closes it.
    bool store(const QByteArray& command, const QByteArray& data, Reply* final = nullptr,
               int timeoutMs = kDefaultTimeoutMs);
    void close();

    QString lastError() const { return lastError_; }
    QTcpSocket& socket() { return socket_; }

private:
    bool readLine(QByteArray* line, int timeoutMs);
    bool openPassive(QTcpSocket* data, int timeoutMs);
    bool startTransfer(const QByteArray& command, QTcpSocket* data, Reply* final, int timeoutMs);
    // The reply that ends a transfer, once its data connection is closed.
    bool finishTransfer(Reply* final, int timeoutMs);
    bool fail(const QString& message);

    QTcpSocket socket_;
    QString lastError_;
};
