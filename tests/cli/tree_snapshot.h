#pragma once

// Folder trees for the velmora-cli transfer tests: written from a table, read
// back as relative path -> "size digest", so that two trees compare byte for
// byte while a difference still prints as one short line per entry.
#include "support/ftp_server_process.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <map>
#include <ostream>
#include <vector>

// One entry of a tree; a path ending in '/' is a folder.
struct TreeEntry {
    QString path;
    QByteArray content;
};

using TreeSnapshot = std::map<QString, QString>;

inline void PrintTo(const TreeSnapshot& tree, std::ostream* os) {
    *os << "{\n";
    for (const auto& [path, what] : tree)
        *os << "  " << path.toStdString() << " = " << what.toStdString() << "\n";
    *os << "}";
}

// Reproducible bytes that are not all alike, so shifted or mixed-up blocks show.
inline QByteArray patternBytes(qint64 size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = seed * 2654435761u + 1;
    for (qint64 i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = char(x >> 24);
    }
    return bytes;
}

inline QString digestOf(const QByteArray& bytes) {
    return QString::number(bytes.size()) + QLatin1Char(' ') +
           QString::fromLatin1(
               QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
}

inline QByteArray readLocalFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeLocalFile(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

// The tree below `root` as found on disk. Links are shown as links, never
// followed; hidden entries are included.
inline TreeSnapshot snapshotTree(const QString& root) {
    TreeSnapshot tree;
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString rel = base.relativeFilePath(info.filePath());
        if (info.isSymLink())
            tree[rel] = QStringLiteral("link -> ") + info.symLinkTarget();
        else if (info.isDir())
            tree[rel + QLatin1Char('/')] = QStringLiteral("folder");
        else
            tree[rel] = digestOf(readLocalFile(info.filePath()));
    }
    return tree;
}

// What snapshotTree gives for `entries` written below `prefix` ("" or "x/").
inline TreeSnapshot expectedTree(const std::vector<TreeEntry>& entries,
                                 const QString& prefix = QString()) {
    TreeSnapshot tree;
    auto addFolders = [&](const QString& path) {
        // Every folder on the way down is an entry of its own.
        const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        QString sofar;
        for (int i = 0; i + 1 < parts.size(); ++i) {
            sofar += parts[i] + QLatin1Char('/');
            tree[sofar] = QStringLiteral("folder");
        }
    };
    for (const TreeEntry& e : entries) {
        const QString path = prefix + e.path;
        addFolders(path);
        if (path.endsWith(QLatin1Char('/')))
            tree[path] = QStringLiteral("folder");
        else
            tree[path] = digestOf(e.content);
    }
    return tree;
}

// The entries below one folder of a table, with paths relative to it.
inline std::vector<TreeEntry> subTree(const std::vector<TreeEntry>& entries,
                                      const QString& folder) {
    std::vector<TreeEntry> out;
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (const TreeEntry& e : entries)
        if (e.path.startsWith(prefix) && e.path != prefix)
            out.push_back({e.path.mid(prefix.size()), e.content});
    return out;
}

inline bool writeLocalTree(const QString& root, const std::vector<TreeEntry>& entries) {
    for (const TreeEntry& e : entries) {
        const QString path = root + QLatin1Char('/') + e.path;
        const bool ok = e.path.endsWith(QLatin1Char('/')) ? QDir().mkpath(path)
                                                          : writeLocalFile(path, e.content);
        if (!ok)
            return false;
    }
    return true;
}

// Below `relRoot` of the server's folder ("" for its root), through the
// fixture so that the server's own account may change what is made.
inline bool writeServerTree(FtpServerProcess& server, const QString& relRoot,
                            const std::vector<TreeEntry>& entries) {
    const QString prefix = relRoot.isEmpty() ? QString() : relRoot + QLatin1Char('/');
    for (const TreeEntry& e : entries) {
        const QString path = prefix + e.path;
        const bool ok = e.path.endsWith(QLatin1Char('/'))
                            ? server.makeDir(path.left(path.size() - 1))
                            : server.writeFile(path, e.content);
        if (!ok)
            return false;
    }
    return true;
}

// Three levels of folders, names with blanks and UTF-8, an empty folder, an
// empty file and files larger than one network read.
inline std::vector<TreeEntry> sampleTree() {
    return {
        {QStringLiteral("top.txt"), "top level\n"},
        {QStringLiteral("with blank.txt"), patternBytes(1000, 1)},
        {QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                           "e \xe2\x80\x93 \xe6\x97\xa5\xe6\x9c\xac.bin"),
         patternBytes(70000, 2)},
        {QStringLiteral("zero.txt"), QByteArray()},
        {QStringLiteral("empty folder/"), QByteArray()},
        {QStringLiteral("lvl1/a file.dat"), patternBytes(300000, 3)},
        {QString::fromUtf8("lvl1/lvl2/\xc3\x9cn\xc3\xafg name.txt"), patternBytes(5000, 4)},
        {QStringLiteral("lvl1/lvl2/lvl3/deep.bin"), patternBytes(1500000, 5)},
        {QStringLiteral("lvl1/lvl2/lvl3/Deep Folder/last.txt"), "the end\n"},
    };
}
