#include "support/scripted_ftp_server.h"

#include <QDir>
#include <QFile>

namespace {

const char kPython[] = "/usr/bin/python3";

}  // namespace

ScriptedFtpServer::ScriptedFtpServer(const ScriptedFtpScript& script)
    : FtpServerProcess(QStringLiteral("scripted"), QStringLiteral("uploads")) {
    setScript(script);
}

bool ScriptedFtpServer::setScript(const ScriptedFtpScript& script) {
    scriptPath_ = QDir(workPath()).filePath(QStringLiteral("script.json"));
    QFile file(scriptPath_);
    const QByteArray json = script.toJson();
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(json) == json.size();
}

QString ScriptedFtpServer::transcriptPath() const {
    return QDir(workPath()).filePath(QStringLiteral("transcript.txt"));
}

QList<QByteArray> ScriptedFtpServer::transcript() const {
    QFile file(transcriptPath());
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

void ScriptedFtpServer::clearTranscript() {
    QFile file(transcriptPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.close();
    }
}

bool ScriptedFtpServer::launch(const QDeadlineTimer& deadline, QString* error) {
    if (!QFile::exists(scriptPath_)) {
        *error = QStringLiteral("no script: ") + scriptPath_;
        return false;
    }
    const QStringList arguments{supportScript(QStringLiteral("scripted_ftp_server.py")),
                                QStringLiteral("--script"),
                                scriptPath_,
                                QStringLiteral("--transcript"),
                                transcriptPath(),
                                QStringLiteral("--upload-dir"),
                                rootPath(),
                                QStringLiteral("--port"),
                                QStringLiteral("0")};
    return startProcess(QString::fromLatin1(kPython), arguments, true, deadline, error) &&
           readAnnouncedPort(deadline, error);
}
