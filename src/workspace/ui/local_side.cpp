#include "workspace/ui/local_side.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>

#include "platform/local_path.h"
#include "platform/ui/explorer_host.h"
#include "remote/action_engine.h"
#include "remote/remote_drag_data.h"
#include "remote/remote_path.h"
#include "remote/transfer_starters.h"
#include "session/ftp_session.h"
#include "workspace/local_file_job.h"

namespace {
// ViewFlags bit: show the folder a download went to.
constexpr int kExpandOnDownload = 0x02;
}  // namespace

LocalSide::LocalSide(ActionEngine& engine, FtpSession& session, ExplorerHost& host, QObject* parent)
    : QObject(parent),
      engine_(engine),
      session_(session),
      host_(host),
      watcher_(new QFileSystemWatcher(this)) {
    // Changes come in bursts (a copy, a download): one re-read for them all.
    changedTimer_.setSingleShot(true);
    changedTimer_.setInterval(150);
    connect(&changedTimer_, &QTimer::timeout, this, [this] {
        const QStringList folders(changed_.begin(), changed_.end());
        const QStringList files(changedFiles_.begin(), changedFiles_.end());
        changed_.clear();
        changedFiles_.clear();
        if (!folders.isEmpty()) {
            emit foldersChanged(folders);
        }
        if (!files.isEmpty()) {
            emit filesChanged(files);
        }
    });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString& path) {
        changed_.insert(QDir::cleanPath(path));
        // A shown folder renamed away says nothing itself; the folder above does.
        for (auto it = present_.cbegin(); it != present_.cend(); ++it) {
            if (QFileInfo(it.key()).isDir() != it.value()) {
                rewatch();
                break;
            }
        }
        changedTimer_.start();
    });
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
        changedFiles_.insert(path);
        changedTimer_.start();
    });
    connect(&session_, &FtpSession::downloadToFolder, this, [this](const QString& folder) {
        const QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder));
        emit foldersChanged({path});
        if (viewFlags_ & kExpandOnDownload) {
            emit showFolderRequested(path);
        }
    });
}

void LocalSide::setSizeStyle(quint8 style) {
    if (style != sizeStyle_) {
        sizeStyle_ = style;
        emit sizeStyleChanged();
    }
}

void LocalSide::setShowFlags(int flags) {
    if (flags != showFlags_) {
        showFlags_ = flags;
        emit showFlagsChanged();
    }
}

void LocalSide::setViewFlags(int flags) {
    viewFlags_ = flags;
}

bool LocalSide::canTransfer() const {
    return session_.isConnected() && session_.loggedIn();
}

bool LocalSide::confirmFileAction(TransferDirection direction, const TransferConflicts& conflicts,
                                  QWidget* parent) {
    TransferAlertOptions& options =
        direction == TransferDirection::Upload ? engine_.uploadOptions : engine_.downloadOptions;
    if (!options.showAlert || !conflicts.worthAsking()) {
        return true;
    }
    if (asker_) {
        return asker_(direction, options);
    }
    return ConfirmFileAction(engine_, direction, conflicts, host_.help(), parent);
}

bool LocalSide::startUpload(const LocalUploadPlan& plan, QWidget* parent) {
    if (!plan.valid || !canTransfer()) {
        return false;
    }
    const QByteArray target =
        plan.project ? joinRemotePath(plan.remoteFolder, plan.relativePath) : plan.remoteFolder;
    const std::shared_ptr<const RemoteItemList> listing = known_ ? known_(target) : nullptr;
    if (!confirmFileAction(TransferDirection::Upload, UploadConflicts(plan.record, listing.get()),
                           parent)) {
        return false;
    }
    TransferStarters starters(engine_);
    if (plan.project) {
        return starters.uploadProject(plan.remoteFolder, plan.relativePath, plan.record);
    }
    return starters.uploadNormal(plan.record, plan.remoteFolder);
}

bool LocalSide::startDownload(const RemoteDragData& drag, const QString& localFolder,
                              QWidget* parent) {
    if (drag.items.empty() || localFolder.isEmpty() || !canTransfer()) {
        return false;
    }
    if (!confirmFileAction(TransferDirection::Download, DownloadConflicts(drag.items, localFolder),
                           parent)) {
        return false;
    }
    RemoteItemList selection;
    for (const RemoteItem& item : drag.items) {
        selection.append(item);
    }
    TransferStarters(engine_).download(drag.folder, localFolder, selection);
    return true;
}

ProjectFolders LocalSide::projectFolders() const {
    return {host_.localProjectFolder(), host_.remoteProjectFolder()};
}

bool LocalSide::offerProjectRoot(const QString& folder) const {
    return rootTaker_ ? rootTaker_(folder) : IsUsableLocalProjectRoot(folder);
}

void LocalSide::reloadProjectFolder() {
    emit projectFolderChanged(host_.localProjectFolder());
}

void LocalSide::setCopied(const QString& folder, std::vector<LocalItemRef> items) {
    copyBuffer_.set(folder, std::move(items));
    emit copyBufferChanged();
}

void LocalSide::announceChanged(const QStringList& folders) {
    emit foldersChanged(folders);
}

void LocalSide::watchShown(const QObject* view, const QString& folder, const QStringList& files) {
    if (folder.isEmpty()) {
        if (shown_.remove(view)) {
            rewatch();
        }
        return;
    }
    Shown s{QDir::cleanPath(folder), files.size() <= kWatchedFilesLimit ? files : QStringList()};
    auto it = shown_.find(view);
    if (it != shown_.end() && it->folder == s.folder && it->files == s.files) {
        return;
    }
    if (it == shown_.end()) {
        // A view going away takes its watch with it.
        connect(view, &QObject::destroyed, this, [this, view] { watchShown(view, QString()); });
    }
    shown_.insert(view, s);
    rewatch();
}

void LocalSide::rewatch() {
    QSet<QString> wanted;
    QHash<QString, bool> present;
    for (const Shown& s : std::as_const(shown_)) {
        const bool here = QFileInfo(s.folder).isDir();
        present.insert(s.folder, here);
        // Gone or back since the last look, whoever looks: the views hear of it.
        if (present_.value(s.folder, here) != here) {
            changed_.insert(s.folder);
            changedTimer_.start();
        }
        if (here) {
            wanted.insert(s.folder);
            for (const QString& f : s.files) {
                wanted.insert(JoinLocalPath(s.folder, f));
            }
        }
        QString lookout = LocalParentFolder(s.folder);
        while (!lookout.isEmpty() && !QFileInfo(lookout).isDir()) {
            lookout = LocalParentFolder(lookout);
        }
        if (!lookout.isEmpty()) {
            wanted.insert(lookout);
        }
    }
    present_ = present;
    const QStringList now = watcher_->files() + watcher_->directories();
    QStringList gone;
    for (const QString& p : now) {
        if (!wanted.contains(p)) {
            gone << p;
        }
    }
    if (!gone.isEmpty()) {
        watcher_->removePaths(gone);
    }
    QStringList added;
    for (const QString& p : std::as_const(wanted)) {
        if (!now.contains(p)) {
            added << p;
        }
    }
    if (!added.isEmpty()) {
        watcher_->addPaths(added);
    }
}

QStringList LocalSide::watchedPaths() const {
    return watcher_->files() + watcher_->directories();
}

void LocalSide::announceMoved(const QString& oldPath, const QString& newPath) {
    const QString project = host_.localProjectFolder();
    if (!project.isEmpty() && IsProjectParent(project, oldPath, kLocalSeparator)) {
        // The project folder moved with its parent: keep pointing at it.
        const QString moved = JoinLocalPath(newPath, project.mid(oldPath.size()));
        const QString cleaned = QDir::cleanPath(moved);
        host_.storeLocalProjectFolder(cleaned);
        emit projectFolderChanged(cleaned);
    }
}

void LocalSide::queueJob(LocalFileJob* job) {
    jobs_.push_back(job);
    connect(job, &LocalFileJob::finished, this, [this, job] {
        if (runningJob_ == job) {
            runningJob_ = nullptr;
            startNextJob();
        }
    });
    // A job taken away while it ran (its view closed) lets the next one go.
    connect(job, &QObject::destroyed, this, [this] { startNextJob(); });
    startNextJob();
}

void LocalSide::startNextJob() {
    if (runningJob_) {
        return;
    }
    while (!jobs_.empty()) {
        const QPointer<LocalFileJob> next = jobs_.front();
        jobs_.pop_front();
        if (next) {
            runningJob_ = next;
            next->start();
            return;
        }
    }
}
