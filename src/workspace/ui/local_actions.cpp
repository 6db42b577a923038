#include "workspace/ui/local_actions.h"

#include <QFile>
#include <QMimeData>

#include "platform/local_path.h"
#include "platform/prompter.h"
#include "platform/ui/explorer_host.h"
#include "remote/remote_drag_data.h"
#include "workspace/project_folders.h"
#include "workspace/ui/copy_local_path_dialog.h"
#include "workspace/ui/local_name_dialog.h"
#include "workspace/ui/local_properties_dialog.h"
#include "workspace/ui/local_side.h"

LocalActions::LocalActions(LocalSide& side, QWidget* parent, bool guarded)
    : side_(side), parent_(parent), guarded_(guarded) {}

bool LocalActions::createFolder(const QString& parent, const QString& name) {
    if (!CreateLocalFolder(parent, name)) {
        return false;
    }
    side_.announceChanged({parent});
    return true;
}

bool LocalActions::createFile(const QString& folder, const QString& name) {
    if (!IsPlainLocalName(name)) {
        return false;
    }
    QFile file(JoinLocalPath(folder, name));
    // NewOnly: an existing file is never emptied.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return false;
    }
    file.close();
    side_.announceChanged({folder});
    return true;
}

bool LocalActions::deleteTreeFolder(const QString& path) {
    Prompter& prompter = side_.host().prompter();
    if (!ConfirmDeleteLocalFolder(side_.host().localProjectFolder(), path, guarded_, prompter)) {
        return false;
    }
    const bool ok = DeleteLocalFolder(path, side_.showFlags());
    // Also after a failure: what was deleted is gone from the views.
    side_.announceChanged({LocalParentFolder(path), path});
    return ok;
}

bool LocalActions::deleteItems(const QString& folder, const std::vector<LocalItemRef>& items) {
    if (items.empty() ||
        !side_.host().prompter().askYesNo(QString::fromLatin1(LocalTexts::kDeleteSelected))) {
        return false;
    }
    const QStringList failed = DeleteLocalItems(folder, items, side_.showFlags());
    side_.announceChanged({folder});
    return failed.isEmpty();
}

RenameOutcome LocalActions::rename(const QString& folder, const QString& oldName,
                                   const QString& newName, bool isFolder) {
    if (newName == oldName) {
        return RenameOutcome::Unchanged;
    }
    Prompter& prompter = side_.host().prompter();
    const QString oldPath = JoinLocalPath(folder, oldName);
    if (isFolder &&
        !ConfirmRenameLocalFolder(side_.host().localProjectFolder(), oldPath, guarded_, prompter)) {
        return RenameOutcome::Unchanged;
    }
    const RenameOutcome outcome = RenameLocalItem(folder, oldName, newName);
    if (outcome == RenameOutcome::Failed) {
        if (isFolder) {
            prompter.showMessage(QString::fromLatin1(ProjectTexts::kRenameFailed));
        }
        return outcome;
    }
    if (outcome == RenameOutcome::Renamed) {
        if (isFolder) {
            side_.announceMoved(oldPath, JoinLocalPath(folder, newName));
        }
        side_.announceChanged({folder});
    }
    return outcome;
}

void LocalActions::copy(const QString& folder, std::vector<LocalItemRef> items) {
    if (folder.isEmpty() || items.empty()) {
        return;
    }
    side_.setCopied(folder, std::move(items));
}

PasteResult LocalActions::paste(const QString& destination) {
    if (destination.isEmpty() || side_.copyBuffer().isEmpty()) {
        return {};
    }
    PasteResult result = PasteItems(side_.copyBuffer(), destination);
    side_.announceChanged({destination});
    return result;
}

LocalDropDecision LocalActions::decideDrop(const QString& destination,
                                           const QMimeData& data) const {
    if (data.hasFormat(QString::fromLatin1(kRemoteDragMimeType))) {
        const auto remote = DecodeRemoteDrag(data.data(QString::fromLatin1(kRemoteDragMimeType)));
        return DecideRemoteDrop(destination, remote && !remote->items.empty(), side_.canTransfer());
    }
    if (data.hasFormat(QString::fromLatin1(kLocalDragMimeType))) {
        const auto local = DecodeLocalDrag(data.data(QString::fromLatin1(kLocalDragMimeType)));
        if (!local) {
            return {};
        }
        return DecideLocalDrop(destination, local->folder, local->items, local->fromTree);
    }
    // File URLs of other programs are not moved here: the local side moves
    // only what its own views dragged.
    return {};
}

LocalDropDecision LocalActions::drop(const QString& destination, const QMimeData& data) {
    const LocalDropDecision decision = decideDrop(destination, data);
    if (decision.action == LocalDropAction::Refuse) {
        if (!decision.message.isEmpty()) {
            side_.host().prompter().showMessage(decision.message);
        }
        return decision;
    }
    if (decision.action == LocalDropAction::Download) {
        const auto remote = DecodeRemoteDrag(data.data(QString::fromLatin1(kRemoteDragMimeType)));
        side_.startDownload(*remote, destination, parent_);
        return decision;
    }
    const auto local = DecodeLocalDrag(data.data(QString::fromLatin1(kLocalDragMimeType)));
    const MoveResult moved =
        MoveLocalItems(local->folder, destination, local->items, side_.host().localProjectFolder(),
                       side_.host().prompter());
    if (moved.cancelled) {
        return decision;
    }
    for (const LocalItemRef& item : local->items) {
        const QString to = JoinLocalPath(destination, item.name);
        if (item.isFolder && moved.moved.contains(to)) {
            side_.announceMoved(JoinLocalPath(local->folder, item.name), to);
        }
    }
    side_.announceChanged({local->folder, destination});
    return decision;
}

void LocalActions::setProjectFolder(const QString& path) {
    ExplorerHost& host = side_.host();
    const ProjectFolderChange change = SetLocalProjectFolder(
        host.localProjectFolder(), path, host.prompter(),
        [&host](const QString& folder) { host.storeLocalProjectFolder(folder); },
        [this](const QString& folder) { return side_.offerProjectRoot(folder); });
    Q_UNUSED(change);
}

bool LocalActions::askAndCreateFolder(const QString& parent) {
    LocalNameDialog dialog(LocalNameDialog::Purpose::Folder, parent, parent_);
    return dialog.exec() == QDialog::Accepted && createFolder(parent, dialog.name());
}

bool LocalActions::askAndCreateFile(const QString& folder) {
    LocalNameDialog dialog(LocalNameDialog::Purpose::File, folder, parent_);
    return dialog.exec() == QDialog::Accepted && createFile(folder, dialog.name());
}

void LocalActions::showPath(const QString& path) {
    CopyLocalPathDialog dialog(path, parent_);
    dialog.exec();
}

void LocalActions::showProperties(const QString& path) {
    LocalPropertiesDialog dialog(path, parent_);
    dialog.exec();
}
