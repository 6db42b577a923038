#include "remote/transfer_conflicts.h"

#include "platform/format.h"
#include "remote/local_name_guard.h"
#include "remote/remote_list_columns.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

TransferConflict conflictWith(const RemoteItem& server, const QFileInfo& local) {
    TransferConflict c;
    c.name = local.fileName();
    c.serverFolder = server.isFolder();
    c.localFolder = local.isDir();
    c.serverSize = server.size;
    c.localSize = local.isDir() ? 0 : local.size();
    c.serverTime = RemoteDateText(server);
    c.localTime = local.lastModified();
    return c;
}

}  // namespace

TransferConflicts DownloadConflicts(const std::vector<RemoteItem>& items,
                                    const QString& localFolder) {
    TransferConflicts result;
    const QDir folder(localFolder);
    for (const RemoteItem& item : items) {
        if (!isSafeLocalName(item.name))
            continue;
        const QFileInfo local(folder.filePath(localNameOf(item.name)));
        if (local.exists() || local.isSymLink())
            result.conflicts.push_back(conflictWith(item, local));
    }
    return result;
}

TransferConflicts UploadConflicts(const LocalFolderRecord& local, const RemoteItemList* listing) {
    TransferConflicts result;
    if (!listing) {
        result.targetUnknown = !local.items.empty();
        return result;
    }
    const QDir folder(local.path);
    for (const LocalItem& item : local.items) {
        const std::optional<RemoteItem> server = listing->itemOf(QFile::encodeName(item.name));
        if (server)
            result.conflicts.push_back(
                conflictWith(*server, QFileInfo(folder.filePath(item.name))));
    }
    return result;
}

QString ConflictSizeText(qint64 size, bool folder) {
    return folder ? QStringLiteral("folder") : FormatGrouped(size);
}

QString ConflictLocalTimeText(const QDateTime& time) {
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd  HH:mm")) : QString();
}

QString ConflictSummary(const TransferConflicts& c, bool upload) {
    if (c.targetUnknown)
        return QStringLiteral(
            "The server folder has not been listed yet, so files of the same "
            "names may be there.");
    const int n = int(c.conflicts.size());
    const QString where = upload ? QStringLiteral("on the server") : QStringLiteral("locally");
    return n == 1 ? QStringLiteral("One item exists %1 already:").arg(where)
                  : QStringLiteral("%1 items exist %2 already:").arg(n).arg(where);
}
