#include "remote/remote_drop_rules.h"

#include <QDir>
#include <QFileInfo>

#include "platform/path_containment.h"
#include "platform/program_texts.h"
#include "remote/remote_path.h"
#include "remote/remote_project_guard.h"

RemoteDropDecision DecideRemoteTreeDrop(const RemoteDragData& drag, bool fromTree,
                                        const QByteArray& target, bool guarded,
                                        const QString& remoteProjectFolder) {
    const RemoteDropDecision refuse{RemoteDropDecision::Refuse,
                                    QString::fromLatin1(CommonTexts::kCannotDrop)};
    if (drag.items.empty() || target.isEmpty())
        return {};
    for (const RemoteItem& item : drag.items) {
        const QByteArray path = joinRemotePath(drag.folder, item.name);
        // A link is moved as an entry, never entered, so only folders can
        // swallow themselves.
        if ((item.isFolder() || fromTree) && IsSameOrBelow(path, target))
            return refuse;
        if (guarded && IsRemoteProjectParent(remoteProjectFolder, QString::fromUtf8(path)))
            return refuse;
    }
    if (target == drag.folder)
        return {};
    return {RemoteDropDecision::Move, QString()};
}

RemoteDropSource RemoteDropSourceOf(bool hasRemoteDrag, bool hasLocalFiles) {
    if (hasRemoteDrag) {
        return RemoteDropSource::RemoteItems;
    }
    return hasLocalFiles ? RemoteDropSource::LocalFiles : RemoteDropSource::Other;
}

QByteArray RemoteTreeDropFolder(RemoteDropSource source, const QByteArray& node,
                                const QByteArray& root) {
    if (source == RemoteDropSource::Other) {
        return {};
    }
    if (!node.isEmpty()) {
        return node;
    }
    return source == RemoteDropSource::LocalFiles ? root : QByteArray();
}

QByteArray RemoteListDropFolder(RemoteDropSource source, const QByteArray& shown,
                                const RemoteItem* row) {
    const bool moved = source == RemoteDropSource::RemoteItems;
    if ((source != RemoteDropSource::LocalFiles && !moved) || shown.isEmpty()) {
        return {};
    }
    if (!row || !row->isFolder()) {
        return moved ? QByteArray() : shown;
    }
    // Uploading into "shown/.." would name the folder above by a detour that
    // neither the known listings nor the project mapping understand.
    return row->name == ".." ? remoteParentFolder(shown) : joinRemotePath(shown, row->name);
}

std::vector<LocalFolderRecord> UploadRecordsFromPaths(const QStringList& localPaths,
                                                      QStringList* missing) {
    std::vector<LocalFolderRecord> records;
    for (const QString& path : localPaths) {
        const QFileInfo info(path);
        if (!info.exists() || info.fileName().isEmpty()) {
            if (missing)
                missing->append(path);
            continue;
        }
        const QString folder = QDir::cleanPath(info.absolutePath());
        auto record = std::find_if(records.begin(), records.end(),
                                   [&](const LocalFolderRecord& r) { return r.path == folder; });
        if (record == records.end()) {
            records.push_back(LocalFolderRecord{folder, {}, 0});
            record = records.end() - 1;
        }
        record->items.push_back({info.fileName(), info.isDir(), info.isDir() ? 0 : info.size()});
    }
    return records;
}

RemoteUploadRoute UploadRouteFor(const QByteArray& remoteProjectFolder, const QByteArray& target) {
    RemoteUploadRoute route;
    if (remoteProjectFolder.isEmpty() ||
        !IsInRemoteFolder(QString::fromUtf8(remoteProjectFolder), QString::fromUtf8(target)))
        return route;
    route.inProject = true;
    QByteArray rest = target.mid(remoteProjectFolder.size());
    while (rest.startsWith('/'))
        rest.remove(0, 1);
    route.relativePath = rest;
    return route;
}
