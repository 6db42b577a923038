#include "workspace/ui/local_actions.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QProgressDialog>

#include "platform/local_path.h"
#include "platform/program_texts.h"
#include "platform/prompter.h"
#include "platform/ui/explorer_host.h"
#include "remote/remote_drag_data.h"
#include "workspace/local_file_job.h"
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
        side_.host().prompter().showMessage(
            QFileInfo::exists(file.fileName())
                ? QStringLiteral("Can not create the file: %1 exists already.").arg(name)
                : QStringLiteral("Can not create the file %1: %2").arg(name, file.errorString()));
        return false;
    }
    file.close();
    side_.announceChanged({folder});
    return true;
}

void LocalActions::runJob(std::unique_ptr<LocalFileJob> owned,
                          std::function<void(const LocalFileJob&)> done) {
    LocalFileJob* job = owned.release();
    // Shown only when the job takes a while; the window keeps answering.
    auto* dialog = new QProgressDialog(job->caption() + QStringLiteral(" ..."),
                                       QStringLiteral("Cancel"), 0, 0, parent_);
    dialog->setWindowTitle(job->caption());
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(500);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    // Starts the clock of the delayed showing: without a value set it never shows.
    dialog->setValue(0);
    job->setParent(dialog);
    QObject::connect(
        job, &LocalFileJob::progress, dialog, [dialog, job](int entries, const QString& path) {
            dialog->setLabelText(
                QStringLiteral("%1: %2 entries\n%3").arg(job->caption()).arg(entries).arg(path));
        });
    QObject::connect(dialog, &QProgressDialog::canceled, job, &LocalFileJob::cancel);
    LocalSide* side = &side_;
    QObject::connect(job, &LocalFileJob::finished, dialog, [side, dialog, job, done] {
        // Its delayed showing must not come up over the message below, which
        // it would block.
        dialog->reset();
        dialog->hide();
        // Also after a failure or a cancel: what is gone is gone from the views.
        if (done) {
            done(*job);
        }
        side->announceChanged(job->changedFolders());
        const QString text = job->endText();
        if (!text.isEmpty()) {
            side->host().prompter().showMessage(text);
        }
        dialog->deleteLater();
    });
    side_.queueJob(job);
}

bool LocalActions::deleteTreeFolder(const QString& path) {
    Prompter& prompter = side_.host().prompter();
    if (!ConfirmDeleteLocalFolder(side_.host().localProjectFolder(), path, guarded_, prompter)) {
        return false;
    }
    runJob(LocalFileJob::deleteFolder(path, side_.showFlags()));
    return true;
}

bool LocalActions::deleteItems(const QString& folder, const std::vector<LocalItemRef>& items) {
    if (items.empty() || !ConfirmDeleteLocalItems(side_.host().localProjectFolder(), folder, items,
                                                  guarded_, side_.host().prompter())) {
        return false;
    }
    runJob(LocalFileJob::deleteItems(folder, items, side_.showFlags()));
    return true;
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
        // A file's name snapping back without a word reads as a rename done.
        if (isFolder)
            prompter.showMessage(QString::fromLatin1(ProjectTexts::kRenameFailed));
        else if (QFileInfo::exists(JoinLocalPath(folder, newName)))
            prompter.showMessage(
                QStringLiteral("Can not rename the file: %1 exists already.").arg(newName));
        else
            prompter.showMessage(QStringLiteral("Can not rename the file %1.").arg(oldName));
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

bool LocalActions::paste(const QString& destination) {
    if (destination.isEmpty() || side_.copyBuffer().isEmpty()) {
        return false;
    }
    runJob(LocalFileJob::paste(side_.copyBuffer(), destination));
    return true;
}

LocalDropDecision LocalActions::decideDrop(const QString& destination,
                                           const QMimeData& data) const {
    if (HasRemoteDrag(&data)) {
        const auto remote = RemoteDragOf(&data);
        return DecideRemoteDrop(destination, remote && !remote->items.empty(), side_.canTransfer());
    }
    if (HasLocalDrag(&data)) {
        const auto local = LocalDragOf(&data);
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
        const auto remote = RemoteDragOf(&data);
        side_.startDownload(*remote, destination, parent_);
        return decision;
    }
    const auto local = LocalDragOf(&data);
    if (!ConfirmMoveLocalItems(local->folder, local->items, side_.host().localProjectFolder(),
                               side_.host().prompter())) {
        return decision;
    }
    LocalSide* side = &side_;
    runJob(
        LocalFileJob::move(local->folder, destination, local->items),
        [side, source = local->folder, destination, items = local->items](const LocalFileJob& job) {
            for (const LocalItemRef& item : items) {
                const QString to = JoinLocalPath(destination, item.name);
                if (item.isFolder && job.result().done.contains(to)) {
                    side->announceMoved(JoinLocalPath(source, item.name), to);
                }
            }
        });
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
