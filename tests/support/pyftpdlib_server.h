#pragma once

#include "support/ftp_server_process.h"
#include "support/test_certificate.h"

#include <QTemporaryDir>

#include <memory>
#include <optional>

// pyftpdlib (Debian's python3-pyftpdlib) run by /usr/bin/python3 through
// pyftpd_server.py. It offers MLSD/MLST (unless noMlsd), REST for downloads
// and uploads, MKD/RMD/DELE/RNFR/RNTO, SITE CHMOD and MFMT, all with full
// permissions for the account, anonymous or not, in every folder.
// Its MLSD sends no UNIX.mode by default; with unixFacts it adds UNIX.mode,
// UNIX.uid and UNIX.gid, the mode written by Python as "0o644".
class PyftpdlibServer : public FtpServerProcess {
public:
    struct Options {
        bool anonymous = false;  // the account is "anonymous" (any password)
        bool noMlsd = false;     // no MLSD/MLST: FEAT and HELP omit them, clients must LIST
        bool unixFacts = false;  // MLSD lines carry UNIX.mode/uid/gid
        QString user = QStringLiteral("velmora");
        QString password = QStringLiteral("velmora-pass");
        QString passivePorts;  // "first-last"; empty lets the system choose
        // The control port; 0 lets the system choose (a restart may ask for
        // the port it had, so that clients find it again).
        quint16 port = 0;
        // Bytes per second the server sends data at; 0: no limit. Plain only.
        int sendRate = 0;
        // Bytes per second it takes uploads at; 0: no limit. Plain only.
        int receiveRate = 0;
        // The kernel's receive buffer of data connections; 0: its own, which
        // grows to megabytes on loopback where a slow link keeps it small.
        int receiveBuffer = 0;
        bool hash = false;   // HASH (SHA-256 current, SHA-1, MD5, CRC32; OPTS HASH)
        bool xHash = false;  // XSHA256, XSHA1, XMD5, XCRC
        // One byte of every file stored and of every file sent is changed.
        bool corrupt = false;
        bool noRenameOver = false;      // RNTO onto an existing name: 550
        bool refuseHiddenStor = false;  // STOR/APPE of a dot name: 553
        bool noMfmt = false;
        // LIST shows local times this many minutes ahead of UTC (MLSD and MDTM
        // stay UTC); nothing: LIST in UTC.
        std::optional<int> listOffsetMinutes;
        // With both: FTP over TLS offered (AUTH TLS, PBSZ, PROT), not required.
        QString tlsCertificate;
        QString tlsKey;
        // With both: connections after the first show this certificate instead.
        QString laterTlsCertificate;
        QString laterTlsKey;
        bool threaded = false;             // one thread per connection: a slow one holds no other
        int replyDelayMs = 0;              // every reply and each data connection's first byte wait
        int maxConnectionsPerAddress = 0;  // further logins refused with 421; 0: no limit
        // The first RETR or STOR of a file of this name loses its control and data
        // connection halfway (a STOR after 64 KiB).
        QString dropOnce;
    };

    PyftpdlibServer() : PyftpdlibServer(Options()) {}
    explicit PyftpdlibServer(const Options& options);

    QString user() const override;
    QString password() const override;
    const Options& options() const { return options_; }
    // Takes effect at the next start().
    void setOptions(const Options& options) { options_ = options; }

protected:
    bool launch(const QDeadlineTimer& deadline, QString* error) override;

private:
    Options options_;
};

// A threaded TLS server that shows `first` on its first connection and another certificate on
// every later one.
struct ChangingCertificateServer {
    QTemporaryDir certificates;
    TestCertificate first;
    std::unique_ptr<PyftpdlibServer> server;
    // False with the reason in error.
    bool start(QString* error);
};
