#pragma once

#include "app/tool_record.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <map>

class ActionEngine;
class Launcher;
class Prompter;
struct TransferInfo;

// Where the private copy of a server file for a local viewing tool goes:
// below the cache root, one folder per host and port, then the server folder's
// path. Names that could leave that folder ("..", empty, with a NUL) are
// dropped; none when the file's own name is one of them.
QString ViewCopyPath(const QString& cacheRoot, const QString& host, int port,
                     const QByteArray& remotePath);

// A server file opened with a local viewing tool: a local tool works on a
// path on this disk, so the file is fetched whole into its private copy first
// and the tool gets that copy's path once the transfer confirmed it. A fetch
// that brought nothing says so.
class RemoteViewCopies : public QObject {
    Q_OBJECT
public:
    RemoteViewCopies(ActionEngine& engine, Launcher& launcher, Prompter& prompter,
                     QString cacheRoot, QObject* parent = nullptr);

    // Queues the fetch; false (and a message) when the path names no file.
    bool open(const ToolRecord& tool, const QByteArray& remotePath, const QString& host, int port);

    const QString& cacheRoot() const { return cacheRoot_; }

private:
    struct Pending {
        ToolRecord tool;
        QByteArray folder;
        QByteArray name;
        QString localPath;
        bool opened = false;
    };
    void onTransfer(const TransferInfo& info, bool success);
    void onMarker(int fakeKind, quintptr owner);

    ActionEngine& engine_;
    Launcher& launcher_;
    Prompter& prompter_;
    QString cacheRoot_;
    std::map<quintptr, Pending> pending_;
    quintptr nextTicket_ = 1;
};
