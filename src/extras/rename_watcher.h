#pragma once

#include "session/log_line.h"

#include <QString>

#include <optional>
#include <utility>

// Follows the conversation and reports every rename or move the server
// confirmed, as full paths, whatever started it (the remote views' rename,
// a drag to another folder, a typed command). The session sends one command at
// a time, so each final reply answers the command sent last.
class RenameWatcher {
public:
    struct Rename {
        QString from;
        QString to;
    };

    std::optional<Rename> onLogLine(const LogLine& line);
    // After a new connection nothing of the old one counts.
    void reset() { *this = RenameWatcher(); }

private:
    QString folder_;
    QString command_;
    QString argument_;
    QString renameFrom_;
};

// The concerned path after a rename of `from` to `to`: the same file renamed,
// or a folder above it renamed or moved. Empty when the path is not affected.
QString FollowRenamedPath(const QString& path, const QString& from, const QString& to);
// An absolute path for an argument given relative to the folder the session
// stands in.
QString ResolveRemotePath(const QString& folder, const QString& argument);
