#pragma once

#include "support/ftp_server_process.h"
#include "support/scripted_ftp_script.h"

#include <QList>

// scripted_ftp_server.py: a scripted, possibly hostile server for tests that
// need exact control. It logs in any user (220, 331, 230), answers from the
// script (ScriptedFtpScript, or a JSON file of the same form) and writes every
// command line it receives to a transcript. Uploads (STOR, with REST) land in
// rootPath() under their remote path: readFile("/home/up.bin") reads them.
// MKD, RMD, DELE, RNFR, RNTO and SITE are answered positively and change
// nothing; other commands get 502 unless the script gives a reply.
class ScriptedFtpServer : public FtpServerProcess {
public:
    ScriptedFtpServer() : ScriptedFtpServer(ScriptedFtpScript()) {}
    explicit ScriptedFtpServer(const ScriptedFtpScript& script);

    // Takes effect at the next start().
    bool setScript(const ScriptedFtpScript& script);
    // Uses an existing JSON script instead; takes effect at the next start().
    void setScriptFile(const QString& path) { scriptPath_ = path; }
    QString scriptPath() const { return scriptPath_; }

    QString user() const override { return QStringLiteral("tester"); }
    QString password() const override { return QStringLiteral("secret"); }

    // Every command line received so far, line end removed, bytes as sent.
    QList<QByteArray> transcript() const;
    QString transcriptPath() const;
    void clearTranscript();

protected:
    bool launch(const QDeadlineTimer& deadline, QString* error) override;

private:
    QString scriptPath_;
};
