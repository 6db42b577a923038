#pragma once

#include "remote/remote_path.h"
#include "session/publish_plan.h"
#include "support/session_harness.h"
#include "support/upload_temporaries.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringList>

#include <functional>

#include <gtest/gtest.h>

// One entry of the scripted server's file system.
struct ServerEntry {
    char kind = '-';                       // 'd' folder, '-' file, 'l' link, 'b' / 'c' devices
    QByteArray content;                    // what RETR sends (files and links)
    QByteArray modify = "20240105103000";  // MLSD's modify fact
};

// One STOR the server took: where, from which REST offset, and the bytes that
// came over the data connection.
struct StoredFile {
    QByteArray path;
    qint64 offset = 0;
    QByteArray bytes;
};

// Plays an FTP server with a small file system for a logged-in SessionHarness:
// listings are made from the entries, RETR sends a file's bytes (from the REST
// offset), STOR keeps what the client sent, MKD makes folders. Construct it
// once the session is idle: commands sent before are not answered.
class TransferServer {
public:
    explicit TransferServer(SessionHarness& harness)
        : h_(harness), answered_(int(harness.sent().size())) {}

    QMap<QByteArray, ServerEntry> entries;  // by full path; "/" always exists
    // Listing bytes that replace the made-up listing of a folder (names no
    // path can hold); the folder then exists.
    QMap<QByteArray, QByteArray> rawListings;
    // Whole command lines answered otherwise ("MKD x" -> "550 Denied\r\n").
    QMap<QByteArray, QByteArray> replies;
    // LIST lines instead of MLSD facts.
    bool unixListings = false;
    // run() stops in front of the first line this accepts, unanswered.
    std::function<bool(const QByteArray& line)> pauseAt;

    // RNTO onto an existing name is refused; STOR of a dot name is refused.
    bool refuseRenameOver = false;
    bool refuseHidden = false;
    // HASH answers with a checksum of other bytes.
    bool wrongHash = false;
    // Times set with MFMT, by path.
    QMap<QByteArray, QByteArray> times;

    QByteArray cwd = "/";
    QList<StoredFile> stored;

    // Each of these makes the folders above the path too.
    void addFolder(const QByteArray& path) { addEntry(path, 'd'); }
    void addFile(const QByteArray& path, const QByteArray& content) {
        addEntry(path, '-', content);
    }
    void addEntry(const QByteArray& path, char kind, const QByteArray& content = {}) {
        for (QByteArray p = parentOf(path); p != "/"; p = parentOf(p))
            if (!entries.contains(p))
                entries[p] = {'d', {}};
        entries[path] = {kind, content, ServerEntry().modify};
    }

    bool isFolder(const QByteArray& path) const {
        return path == "/" || rawListings.contains(path) ||
               (entries.contains(path) && entries.value(path).kind == 'd');
    }
    // The upload temporaries there are, by full path.
    QList<QByteArray> temporaries() const {
        QList<QByteArray> found;
        for (auto it = entries.cbegin(); it != entries.cend(); ++it)
            if (isUploadTemporaryName(it.key().mid(it.key().lastIndexOf('/') + 1)))
                found << it.key();
        return found;
    }
    QByteArray contentOf(const QByteArray& path) const {
        return entries.contains(path) ? entries.value(path).content : QByteArray("<missing>");
    }

    static QByteArray parentOf(const QByteArray& path) {
        const qsizetype slash = path.lastIndexOf('/');
        return slash <= 0 ? QByteArray("/") : path.left(slash);
    }

    QByteArray listing(const QByteArray& folder) const {
        if (rawListings.contains(folder))
            return rawListings.value(folder);
        QByteArray out;
        for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
            if (it.key() == "/" || parentOf(it.key()) != folder)
                continue;
            const QByteArray name = it.key().mid(it.key().lastIndexOf('/') + 1);
            out += unixListings ? unixLine(name, it.value()) : mlsdLine(name, it.value());
        }
        return out;
    }

    // The next line not answered yet; empty when the client is quiet.
    QByteArray next() const {
        const QList<QByteArray> lines = h_.sent();
        return answered_ < lines.size() ? lines[answered_] : QByteArray();
    }
    // Counts the next line as answered (the test answered it by hand).
    void skip() { ++answered_; }
    // The data connection of the last PASV; null once the client closed it.
    FakeTransport* data() const {
        return dataIndex_ >= 0 ? h_.factory.transport(dataIndex_) : nullptr;
    }
    const FakeConnectionRecord* dataRecord() const {
        return dataIndex_ >= 0 ? &h_.factory.record(dataIndex_) : nullptr;
    }

    // Answers until the client has nothing more to say or pauseAt stops it;
    // false when it still talks after maxCommands answers.
    bool run(int maxCommands = 2000) {
        for (int n = 0; n < maxCommands; ++n) {
            QByteArray line = next();
            // Work still queued: a loaded machine may need more than one
            // settle before the next command goes out.
            for (int i = 0; i < 10 && line.isEmpty() && !h_.session.queue().isEmpty(); ++i) {
                h_.settle(50);
                line = next();
            }
            if (line.isEmpty())
                return true;
            if (pauseAt && pauseAt(untagTemporaries(line)))
                return true;
            ++answered_;
            answer(line);
        }
        ADD_FAILURE() << "the client did not stop talking";
        return false;
    }

private:
    static QByteArray mlsdLine(const QByteArray& name, const ServerEntry& e) {
        QByteArray type;
        switch (e.kind) {
            case 'd':
                type = "dir";
                break;
            case 'l':
                type = "OS.unix=slink:/elsewhere";
                break;
            case 'b':
                type = "OS.unix=blk-8/0";
                break;
            case 'c':
                type = "OS.unix=chr-8/0";
                break;
            default:
                type = "file";
        }
        QByteArray facts = "type=" + type + ';';
        if (e.kind != 'd')
            facts += "size=" + QByteArray::number(e.content.size()) + ';';
        return facts + "modify=" + e.modify + "; " + name + "\r\n";
    }

    static QByteArray unixLine(const QByteArray& name, const ServerEntry& e) {
        const QByteArray mode = e.kind == 'd'   ? "drwxr-xr-x"
                                : e.kind == 'l' ? "lrwxrwxrwx"
                                : e.kind == 'b' ? "brw-rw----"
                                : e.kind == 'c' ? "crw-rw----"
                                                : "-rw-r--r--";
        QByteArray line =
            mode + "   1 user group " +
            QByteArray::number(e.kind == 'd' ? 4096 : e.content.size()).rightJustified(10) +
            " Jan  5 10:30 " + name;
        if (e.kind == 'l')
            line += " -> /elsewhere";
        return line + "\r\n";
    }

    QByteArray pathOf(const QByteArray& name) const {
        return name.startsWith('/') ? name : joinRemotePath(cwd, name);
    }

    void openData() {
        const int before = h_.factory.count();
        h_.reply(SessionHarness::pasv(5001 + before));
        dataIndex_ = h_.factory.count() > before ? h_.factory.count() - 1 : -1;
        if (dataIndex_ >= 0)
            h_.acceptData();
    }

    void closeData() {
        if (FakeTransport* d = data())
            d->hangUp();
        h_.settle();
    }

    void send(const QByteArray& bytes) {
        h_.reply("150 Opening data connection\r\n");
        if (FakeTransport* d = data(); d && !bytes.isEmpty())
            d->feed(bytes);
        h_.settle();
        closeData();
        h_.reply("226 Transfer complete\r\n");
    }

    void answer(const QByteArray& line) {
        const qsizetype blank = line.indexOf(' ');
        const QByteArray word = blank < 0 ? line : line.left(blank);
        const QByteArray arg = blank < 0 ? QByteArray() : line.mid(blank + 1);
        const bool transfer = word == "RETR" || word == "STOR" || word == "MLSD" || word == "LIST";
        if (replies.contains(untagTemporaries(line))) {
            if (transfer)
                closeData();
            h_.reply(replies.value(untagTemporaries(line)));
            if (transfer)
                rest_ = 0;
            return;
        }
        if (word == "CWD") {
            if (isFolder(arg)) {
                cwd = arg;
                h_.reply("250 Directory changed\r\n");
            } else {
                h_.reply("550 No such directory\r\n");
            }
        } else if (word == "MKD") {
            const QByteArray path = pathOf(arg);
            if (entries.contains(path) || isFolder(path)) {
                h_.reply("550 File exists\r\n");
            } else {
                addFolder(path);
                h_.reply("257 \"" + path + "\" created\r\n");
            }
        } else if (word == "PASV") {
            openData();
        } else if (word == "REST") {
            rest_ = arg.toLongLong();
            h_.reply("350 Restarting at " + arg + "\r\n");
        } else if (word == "MLSD" || word == "LIST") {
            send(listing(cwd));
        } else if (word == "RETR") {
            const QByteArray path = pathOf(arg);
            if (entries.contains(path) && entries.value(path).kind != 'd') {
                send(entries.value(path).content.mid(rest_));
            } else {
                closeData();
                h_.reply("550 No such file\r\n");
            }
            rest_ = 0;
        } else if ((word == "STOR" || word == "APPE") && refuseHidden && arg.startsWith('.')) {
            closeData();
            h_.reply("553 Hidden names not allowed\r\n");
            rest_ = 0;
        } else if (word == "STOR" || word == "APPE") {
            if (word == "APPE")
                rest_ = entries.value(pathOf(arg)).content.size();
            h_.reply("150 Ok to send data\r\n");
            const FakeConnectionRecord* r = dataRecord();
            EXPECT_TRUE(r && r->closedByClient) << "the upload did not end: " << line.data();
            const QByteArray bytes = r ? r->sent : QByteArray();
            const QByteArray path = pathOf(arg);
            const QByteArray old = entries.value(path).content;
            addFile(path, rest_ > 0 ? old.left(rest_) + bytes : bytes);
            stored.append({path, rest_, bytes});
            rest_ = 0;
            h_.reply("226 Transfer complete\r\n");
        } else if (word == "RNFR") {
            renameFrom_ = pathOf(arg);
            h_.reply(entries.contains(renameFrom_) ? "350 Ready\r\n" : "550 No such file\r\n");
        } else if (word == "RNTO") {
            const QByteArray to = pathOf(arg);
            if (!entries.contains(renameFrom_) || (refuseRenameOver && entries.contains(to))) {
                h_.reply("550 Rename refused\r\n");
            } else {
                entries[to] = entries.take(renameFrom_);
                if (times.contains(renameFrom_))
                    times[to] = times.take(renameFrom_);
                h_.reply("250 Renamed\r\n");
            }
            renameFrom_.clear();
        } else if (word == "DELE") {
            h_.reply(entries.remove(pathOf(arg)) ? "250 Deleted\r\n" : "550 No such file\r\n");
        } else if (word == "MFMT") {
            const QByteArray path = pathOf(arg.mid(arg.indexOf(' ') + 1));
            times[path] = arg.left(arg.indexOf(' '));
            h_.reply("213 Modify=" + times[path] + "; " + path + "\r\n");
        } else if (word == "SIZE") {
            const QByteArray path = pathOf(arg);
            h_.reply(entries.contains(path)
                         ? "213 " + QByteArray::number(entries.value(path).content.size()) + "\r\n"
                         : QByteArray("550 No such file\r\n"));
        } else if (word == "MDTM") {
            const QByteArray path = pathOf(arg);
            h_.reply(entries.contains(path) ? "213 " + entries.value(path).modify + "\r\n"
                                            : QByteArray("550 No such file\r\n"));
        } else if (word == "HASH") {
            const QByteArray path = pathOf(arg);
            const QByteArray bytes = entries.value(path).content + (wrongHash ? "x" : "");
            h_.reply("213 SHA-256 0-" + QByteArray::number(bytes.size()) + ' ' +
                     QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + ' ' +
                     arg + "\r\n");
        } else if (word == "ABOR") {
            closeData();
            h_.reply("226 Abort successful\r\n");
        } else {
            h_.reply("502 Not implemented\r\n");
        }
    }

    SessionHarness& h_;
    int answered_;
    int dataIndex_ = -1;
    qint64 rest_ = 0;
    QByteArray renameFrom_;
};

// Local files for transfer tests.
namespace transfer_test {

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

// Bytes 0..250 repeated: every offset has its own pattern position.
inline QByteArray pattern(qint64 size, int shift = 0) {
    QByteArray out(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        out[i] = char((i + shift) % 251);
    return out;
}

// Every entry below a folder, relative, sorted, folders with a trailing '/'.
inline QStringList treeOf(const QString& folder) {
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        out << base.relativeFilePath(path) + (info.isDir() && !info.isSymLink() ? "/" : "");
    }
    out.sort();
    return out;
}

}  // namespace transfer_test
