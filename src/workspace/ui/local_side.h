#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

#include "remote/file_action_dialog_rules.h"
#include "remote/transfer_alert_options.h"
#include "remote/transfer_conflicts.h"
#include "remote/ui/remote_transfers.h"
#include "workspace/copy_buffer.h"
#include "workspace/local_upload_plan.h"
#include "workspace/project_folders.h"

class ActionEngine;
class ExplorerHost;
class FtpSession;
class LocalFileJob;
class QFileSystemWatcher;
class QWidget;
struct RemoteDragData;

// What every local tree and list shares: the engine objects they start work
// with, the window's host, the copy buffer, the display settings the frame
// sets, and the news of folders changed on disk, so that a folder created,
// renamed, moved or deleted in one view shows in all of them. The frame makes
// one and hands it to every local view.
class LocalSide : public QObject {
    Q_OBJECT
public:
    LocalSide(ActionEngine& engine, FtpSession& session, ExplorerHost& host,
              QObject* parent = nullptr);

    ActionEngine& engine() const { return engine_; }
    FtpSession& session() const { return session_; }
    ExplorerHost& host() const { return host_; }

    // --- settings the frame sets when the options change -------------------
    void setSizeStyle(quint8 style);  // AppSettings::SizeStyle
    quint8 sizeStyle() const { return sizeStyle_; }
    void setShowFlags(int flags);  // AppSettings::LocalShowFlags
    int showFlags() const { return showFlags_; }
    void setViewFlags(int flags);  // AppSettings::ViewFlags
    int viewFlags() const { return viewFlags_; }

    // --- the remote side -----------------------------------------------------
    // The folder open in the remote views (server bytes), asked each time an
    // upload target is shown or used; empty when none is open.
    using RemoteFolderSource = std::function<QByteArray()>;
    void setRemoteFolderSource(RemoteFolderSource source) { remoteFolder_ = std::move(source); }
    QByteArray openRemoteFolder() const { return remoteFolder_ ? remoteFolder_() : QByteArray(); }
    // True when an upload or a download can be queued now.
    bool canTransfer() const;

    // Asked before a transfer when the direction's options say so and
    // something of the same name is at the target (or the server folder was
    // never listed); true goes ahead and may have changed the options. The
    // default shows the file-action dialog; tests put their own.
    using FileActionAsker = std::function<bool(TransferDirection, TransferAlertOptions&)>;
    void setFileActionAsker(FileActionAsker asker) { asker_ = std::move(asker); }
    bool confirmFileAction(TransferDirection direction, const TransferConflicts& conflicts,
                           QWidget* parent);
    // The server listings the remote views hold.
    void setKnownListing(KnownListing known) { known_ = std::move(known); }

    // Starts an upload; false when nothing was queued.
    bool startUpload(const LocalUploadPlan& plan, QWidget* parent);
    // Downloads remote items into a local folder; false when nothing was queued.
    bool startDownload(const RemoteDragData& drag, const QString& localFolder, QWidget* parent);

    ProjectFolders projectFolders() const;

    // --- shared local state ----------------------------------------------------
    const CopyBuffer& copyBuffer() const { return copyBuffer_; }
    void setCopied(const QString& folder, std::vector<LocalItemRef> items);

    // The project page's tree takes new roots through this; without one, any
    // existing folder is accepted.
    void setProjectRootTaker(TakeProjectRoot taker) { rootTaker_ = std::move(taker); }
    bool offerProjectRoot(const QString& folder) const;
    // The site's local project folder changed elsewhere (another site was
    // connected): the project tree re-roots.
    void reloadProjectFolder();

    // A folder's entries changed on disk: views showing or holding it re-read.
    void announceChanged(const QStringList& folders);
    // A folder was renamed or moved: a project folder inside it follows, and
    // views re-read what held it.
    void announceMoved(const QString& oldPath, const QString& newPath);

    // What a view shows, watched for changes other programs make: the folder,
    // and its files while there are few (a file written in place changes no
    // folder), and the nearest folder above it that exists, which tells when
    // the shown folder is renamed away or comes back. Changes come back,
    // gathered, as foldersChanged (entries came or went, or the folder itself)
    // and filesChanged (a file's size or time). An empty folder stops the
    // view's watch.
    void watchShown(const QObject* view, const QString& folder, const QStringList& files = {});
    QStringList watchedPaths() const;

    // Local deletes, pastes and moves run one after another, each on a worker
    // thread: a later one waits for the one before, so two never work on the
    // same files at once. A job deleted before its turn is dropped.
    void queueJob(LocalFileJob* job);
    static constexpr int kWatchedFilesLimit = 256;

signals:
    void sizeStyleChanged();
    void showFlagsChanged();
    void foldersChanged(const QStringList& folders);
    // Files written in place: their rows take their new size and time.
    void filesChanged(const QStringList& paths);
    void projectFolderChanged(const QString& folder);
    // The session finished a download into this folder and asks the views to
    // show it.
    void showFolderRequested(const QString& folder);
    void copyBufferChanged();

private:
    ActionEngine& engine_;
    FtpSession& session_;
    ExplorerHost& host_;
    quint8 sizeStyle_ = 0;
    int showFlags_ = 0x02;
    int viewFlags_ = 0;
    RemoteFolderSource remoteFolder_;
    FileActionAsker asker_;
    KnownListing known_;
    CopyBuffer copyBuffer_;
    TakeProjectRoot rootTaker_;

    void rewatch();
    void startNextJob();
    std::deque<QPointer<LocalFileJob>> jobs_;
    QPointer<LocalFileJob> runningJob_;
    struct Shown {
        QString folder;
        QStringList files;
    };
    QHash<const QObject*, Shown> shown_;
    // Whether each shown folder was there at the last look.
    QHash<QString, bool> present_;
    QFileSystemWatcher* watcher_;
    QSet<QString> changed_;
    QSet<QString> changedFiles_;
    QTimer changedTimer_;
};
