#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// What the scripted FTP server answers, built in a test and written as the
// JSON file scripted_ftp_server.py reads. Listing texts, file contents and raw
// replies travel base64-encoded, so every byte arrives exactly as given.
// Remote paths are absolute and UTF-8; the server collapses "." and "..".
struct ScriptedFtpScript {
    struct Folder {
        QByteArray list;  // LIST answer
        QByteArray mlsd;  // MLSD answer
        QByteArray nlst;  // NLST answer
    };
    struct File {
        QByteArray content;
        bool refuse = false;    // RETR and STOR answered 550
        qint64 failAfter = -1;  // >= 0: send that many bytes, close, answer 426
        // > 0: RETR sends the content in pieces of this many bytes with a
        // pause of pauseMs after each, a slow transfer that keeps moving.
        qint64 pieceBytes = 0;
        int pauseMs = 0;
        qint64 shortAfter = -1;     // >= 0: send that many bytes, close, answer 226
        bool announceSize = false;  // the 150 reply to RETR ends "(N bytes)."
        qint64 storeLimit = -1;     // >= 0: STOR keeps at most that many bytes
    };

    QByteArray banner = "220 Scripted test server ready.";  // lines joined by '\n'
    QByteArray startFolder = "/";  // named by PWD; CWD reaches only folders listed here
    bool mlsd = true;              // MLSD/MLST in FEAT and HELP, and MLSD answered
    bool rest = true;              // REST STREAM in FEAT, REST in HELP, and REST answered
    QByteArray pasvAddress;        // "h1,h2,h3,h4" written in 227; empty: 127,0,0,1
    QMap<QByteArray, Folder> folders;
    QMap<QByteArray, File> files;
    // Paths below a key are those below its value: a folder listed inside itself.
    QMap<QByteArray, QByteArray> loops;
    QMap<QByteArray, QByteArray> replies;     // command -> reply lines joined by '\n'
    QMap<QByteArray, QByteArray> rawReplies;  // command -> exact bytes, no line end added

    ScriptedFtpScript& addFolder(const QByteArray& path, const QByteArray& list,
                                 const QByteArray& mlsd = {}, const QByteArray& nlst = {});
    ScriptedFtpScript& addFile(const QByteArray& path, const QByteArray& content);
    ScriptedFtpScript& addRefusedFile(const QByteArray& path);
    ScriptedFtpScript& addBrokenFile(const QByteArray& path, const QByteArray& content,
                                     qint64 failAfter);

    QByteArray toJson() const;
};
