#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

// Python's own HTTP server over a temporary folder on 127.0.0.1. It binds a
// port the system chooses and says which, so parallel tests never race for one.
class HttpFolderServer {
public:
    static constexpr int kStartTimeoutMs = 10000;

    HttpFolderServer();
    ~HttpFolderServer();
    HttpFolderServer(const HttpFolderServer&) = delete;
    HttpFolderServer& operator=(const HttpFolderServer&) = delete;

    // Empty when listening; otherwise why not.
    const QString& error() const { return error_; }
    bool ready() const { return error_.isEmpty(); }
    quint16 port() const { return port_; }
    QString folder() const { return folder_.path(); }
    bool put(const QString& name, const QByteArray& bytes) const;
    QUrl url(const QString& name) const;

private:
    QTemporaryDir folder_;
    QProcess process_;
    quint16 port_ = 0;
    QString error_;
};
