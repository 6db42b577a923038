#include "extras/rename_watcher.h"

#include "platform/local_path.h"
#include "platform/path_containment.h"
#include "remote/remote_path.h"
#include "session/reply.h"

QString ResolveRemotePath(const QString& folder, const QString& argument) {
    // Not a plain join: an absolute argument stands alone, and before the
    // first PWD the session is taken to stand in the root.
    if (argument.startsWith(QLatin1Char('/')))
        return argument;
    const QByteArray from = folder.isEmpty() ? QByteArrayLiteral("/") : folder.toUtf8();
    return QString::fromUtf8(joinRemotePath(from, argument.toUtf8()));
}

QString FollowRenamedPath(const QString& path, const QString& from, const QString& to) {
    if (path.isEmpty() || from.isEmpty() || to.isEmpty() || from == to)
        return {};
    if (!IsSameOrBelow(from, path))
        return {};
    return JoinPath(to, PathBelow(from, path, QLatin1Char('/')), QLatin1Char('/'));
}

std::optional<RenameWatcher::Rename> RenameWatcher::onLogLine(const LogLine& line) {
    if (line.channel == LogChannel::Sent) {
        const qsizetype space = line.text.indexOf(QLatin1Char(' '));
        command_ = (space < 0 ? line.text : line.text.left(space)).toUpper();
        argument_ = space < 0 ? QString() : line.text.mid(space + 1);
        return std::nullopt;
    }
    if (line.channel != LogChannel::Reply || line.lines.isEmpty())
        return std::nullopt;
    const int code = line.lines.last().left(3).toInt();
    if (code < 200)
        return std::nullopt;  // preliminary: the command is still running
    const QString command = command_;
    command_.clear();
    if (command == QLatin1String("CWD") && code == 250) {
        folder_ = ResolveRemotePath(folder_, argument_);
    } else if (command == QLatin1String("PWD") && code == 257) {
        if (const std::optional<QByteArray> path = QuotedPathOf(line.lines.last()))
            folder_ = QString::fromUtf8(*path);
    } else if (command == QLatin1String("RNFR")) {
        renameFrom_ = code == 350 ? ResolveRemotePath(folder_, argument_) : QString();
    } else if (command == QLatin1String("RNTO")) {
        const QString from = renameFrom_;
        renameFrom_.clear();
        if (code >= 200 && code < 300 && !from.isEmpty())
            return Rename{from, ResolveRemotePath(folder_, argument_)};
    }
    return std::nullopt;
}
