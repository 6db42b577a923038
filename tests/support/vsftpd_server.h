#pragma once

#include "support/ftp_server_process.h"

// vsftpd (Debian's /usr/sbin/vsftpd) with a private configuration file. It
// offers LIST and NLST only (no MLSD/MLST), REST for downloads and uploads.
//
// Login is anonymous: user() is "anonymous", and any password is accepted
// after the usual 331 (with passwordless, USER alone is answered 230). vsftpd
// locks anonymous users into the root, which must not be writable for them, so
// the root is read-only and writableFolder() "/pub" is where they may upload
// (also over an existing file, and resume), create folders (MKD), delete files
// and folders (DELE, RMD) and rename or move (RNFR/RNTO). SITE CHMOD is always
// refused for anonymous users ("550 Permission denied."): tests of permission
// changes need PyftpdlibServer. Files and folders made through the helpers are
// handed to the 'ftp' account, so the server may overwrite or delete them.
// LIST shows numeric owner and group ids, times in UTC, and dot files.
//
// Needs root (it runs as root in CI) and the 'ftp' account the vsftpd package
// creates; start() fails with the reason otherwise.
class VsftpdServer : public FtpServerProcess {
public:
    struct Options {
        bool passwordless = false;  // USER anonymous is answered 230 at once
        // With both: ssl_enable=YES for anonymous users too, TLS not forced, and
        // vsftpd's default require_ssl_reuse=YES (data connections must resume
        // the control connection's TLS session).
        QString tlsCertificate;
        QString tlsKey;
        // Logins from one address beyond this many are refused with 421 (0: no limit).
        int maxPerIp = 0;
    };

    VsftpdServer() : VsftpdServer(Options()) {}
    explicit VsftpdServer(const Options& options);

    QString user() const override { return QStringLiteral("anonymous"); }
    QString password() const override { return QStringLiteral("guest@example.com"); }
    QByteArray writableFolder() const override { return "/pub"; }
    QString configPath() const;
    // Its start-up messages followed by its protocol log.
    QByteArray serverLog() const override;

protected:
    bool launch(const QDeadlineTimer& deadline, QString* error) override;
    void adoptCreated(const QString& absolutePath) override;

private:
    bool prepareFolders(QString* error);
    bool writeConfig(quint16 port, const QByteArray& bannerToken, QString* error) const;
    // Waits until the server greets with our banner; false when it exits or
    // the deadline passes. `exited` tells the two apart.
    bool waitForGreeting(quint16 port, const QByteArray& bannerToken,
                         const QDeadlineTimer& deadline, bool* exited);

    Options options_;
    uint ftpUid_ = 0;
    uint ftpGid_ = 0;
    bool haveFtpAccount_ = false;
};
