#pragma once

#include "remote/listing_action.h"
#include "support/session_harness.h"
#include "support/upload_temporaries.h"

#include <QMap>
#include <QStringList>

#include <functional>
#include <optional>

#include <gtest/gtest.h>

// Plays a small FTP server for a logged-in SessionHarness: every command the
// client sends is answered from a table of folders (path -> listing bytes) and
// of replies, and listings go over the fake data transport. Tests then compare
// the whole transcript with the one they expect.
class FolderServer {
public:
    // Construct once the session is idle: commands sent before are not answered.
    explicit FolderServer(SessionHarness& harness)
        : h_(harness), answered_(int(harness.sent().size())) {}

    // The listing of a folder; a folder without one does not exist (CWD 550).
    QMap<QByteArray, QByteArray> listings;
    // Consulted for folders the table lacks, for trees without end.
    std::function<std::optional<QByteArray>(const QByteArray& path)> moreListings;
    // Whole command lines answered otherwise ("RMD a" -> "550 Not empty\r\n").
    QMap<QByteArray, QByteArray> replies;
    QByteArray cwd = "/";

    std::optional<QByteArray> listingOf(const QByteArray& path) const {
        if (listings.contains(path))
            return listings.value(path);
        if (moreListings)
            return moreListings(path);
        return std::nullopt;
    }

    // Answers until the client has nothing more to say; false when it still
    // talks after maxCommands answers.
    bool run(int maxCommands = 2000) {
        for (int n = 0; n < maxCommands; ++n) {
            const QList<QByteArray> lines = h_.sent();
            if (answered_ >= lines.size())
                return true;
            answer(lines[answered_++]);
        }
        ADD_FAILURE() << "the client did not stop talking";
        return false;
    }

private:
    void answer(const QByteArray& line) {
        const qsizetype blank = line.indexOf(' ');
        const QByteArray word = blank < 0 ? line : line.left(blank);
        const QByteArray argument = blank < 0 ? QByteArray() : line.mid(blank + 1);
        if (replies.contains(line)) {
            h_.reply(replies.value(line));
            return;
        }
        if (word == "CWD") {
            if (listingOf(argument)) {
                cwd = argument;
                h_.reply("250 Directory changed\r\n");
            } else {
                h_.reply("550 No such directory\r\n");
            }
        } else if (word == "PASV") {
            h_.serveData(listingOf(cwd).value_or(QByteArray()));
            // serveData answered the listing command that followed the 227.
            const QList<QByteArray> lines = h_.sent();
            EXPECT_LT(answered_, lines.size()) << "no listing command after PASV";
            if (answered_ < lines.size()) {
                EXPECT_TRUE(lines[answered_] == "MLSD" || lines[answered_] == "LIST")
                    << lines[answered_].toStdString();
                ++answered_;
            }
        } else if (word == "DELE" || word == "RMD" || word == "RNTO") {
            h_.reply("250 Done\r\n");
        } else if (word == "MKD") {
            h_.reply("257 \"" + argument + "\" created\r\n");
        } else if (word == "RNFR") {
            h_.reply("350 Ready for RNTO\r\n");
        } else if (word == "SITE") {
            h_.reply("200 SITE CHMOD successful\r\n");
        } else {
            h_.reply("502 Not implemented\r\n");
        }
    }

    SessionHarness& h_;
    int answered_;
};

// The commands sent and the task markers reached, in the order they happened:
// "CWD /a", "start: Start rename", "completed 0: Rename completed".
class Timeline {
public:
    explicit Timeline(FtpSession& session) {
        QObject::connect(&session, &FtpSession::logLine, &guard_, [this](const LogLine& l) {
            if (l.channel == LogChannel::Sent)
                events << untagTemporaries(l.text);
            else if (l.channel == LogChannel::Error)
                errors << l.text;
        });
        QObject::connect(&session, &FtpSession::taskMarker, &guard_,
                         [this](int kind, int value, const QString& caption, quintptr) {
                             if (kind == 1)
                                 events << QStringLiteral("start: ") + caption;
                             else
                                 events
                                     << QStringLiteral("completed %1: %2").arg(value).arg(caption);
                         });
    }

    QStringList events;
    QStringList errors;

private:
    QObject guard_;
};

// Lines of listings, so tests read like the folders they describe.
inline QByteArray mlsdDir(const QByteArray& name) {
    return "type=dir;modify=20240105103000;UNIX.mode=0755; " + name + "\r\n";
}
inline QByteArray mlsdFile(const QByteArray& name, const QByteArray& mode = "0644") {
    return "type=file;size=5;modify=20240105103000;UNIX.mode=" + mode + "; " + name + "\r\n";
}
inline QByteArray mlsdLink(const QByteArray& name) {
    return "type=OS.unix=slink:/elsewhere;modify=20240105103000;UNIX.mode=0777; " + name + "\r\n";
}
inline QByteArray mlsdDevice(char kind, const QByteArray& name) {
    return QByteArray("type=OS.unix=") + (kind == 'b' ? "blk" : "chr") +
           "-8/0;modify=20240105103000; " + name + "\r\n";
}
inline QByteArray unixDir(const QByteArray& name) {
    return "drwxr-xr-x   2 user group     4096 Jan  5 10:30 " + name + "\r\n";
}
inline QByteArray unixFile(const QByteArray& name) {
    return "-rw-r--r--   1 user group        5 Jan  5 10:30 " + name + "\r\n";
}
inline QByteArray unixLink(const QByteArray& name) {
    return "lrwxrwxrwx   1 user group        9 Jan  5 10:30 " + name + " -> /elsewhere\r\n";
}

// An item as a view would pass it to a starter.
inline RemoteItem remoteItem(char kind, const QByteArray& name,
                             const QByteArray& permissions = QByteArray()) {
    RemoteItem item;
    item.kind = kind;
    item.name = name;
    item.permissions = permissions;
    return item;
}
