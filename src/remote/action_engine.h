#pragma once

#include "remote/kind_filter.h"
#include "remote/listing_action.h"
#include "remote/local_folder_record.h"
#include "remote/refresh_target.h"
#include "remote/remote_item_list.h"
#include "remote/transfer_alert_options.h"
#include "session/command_step.h"
#include "session/publish_plan.h"
#include "session/transfer_info.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <memory>

class CommandGroup;
class GroupHost;
class FtpSession;
class TransferPool;

// Turns user requests into chains of listing actions in the session's queue and
// tells the views what the listings found.
class ActionEngine : public QObject {
    Q_OBJECT
public:
    explicit ActionEngine(FtpSession& session, QObject* parent = nullptr);
    ~ActionEngine() override;

    FtpSession& session() const { return session_; }

    // Transfer connections beside the session; the actions hand their files
    // (and the compare walk its listings) to them while it has any.
    void setTransferPool(TransferPool* pool) { pool_ = pool; }
    // The pool when it takes work, else null: everything then stays in the
    // session's queue as laid out there.
    TransferPool* transferPool() const;
    // The pool whether it takes work or not (jobs may still run there).
    TransferPool* anyTransferPool() const { return pool_; }

    // CWD folder, PASV and the listing command.
    StepList listingSequence(const QByteArray& folder) const;
    // PASV and the listing command, where the session stands in the folder.
    StepList shortListingSequence() const;

    void setRemoteProjectFolder(const QByteArray& folder);
    QByteArray remoteProjectFolder() const { return remoteProjectFolder_; }

    // A fresh listing of a folder for the views, without log entries. One that
    // waits in the queue already for the views is not asked for twice.
    void refresh(const QByteArray& folder, const RefreshTarget& target = RefreshTarget());
    // Whether a view shows a folder, so work that changes it must list it
    // again; set by the window (without one, nothing is shown).
    using ShownFolders = std::function<bool(const QByteArray& folder)>;
    void setShownFolders(ShownFolders shown) { shown_ = std::move(shown); }
    bool isShown(const QByteArray& folder) const { return shown_ && shown_(folder); }
    // Refreshes a folder that changed when a view shows it.
    void refreshIfShown(const QByteArray& folder);
    // Sends the head's first step when nothing is on the wire yet.
    void sendIfIdle();
    // "Downloading files not started: why", for a task appendTask refused.
    static QString notStartedText(const QString& startText, const QString& reason);
    // Appends a whole task: its start entry, its groups and its completed entry.
    // A loop's completed entry names its owner (the window to tell at the end).
    // While a lost connection waits for Re-connect it is refused (taskRefused).
    void appendTask(const QString& startText, std::vector<std::unique_ptr<CommandGroup>> groups,
                    const QString& completedText, int completionCode, quintptr ownerToken = 0);

    // Called by the actions.
    void announceListing(const ListingAction& action, const RemoteItemList& items);
    void announceRoot(const QByteArray& folder, const RemoteItemList& items);
    void announceProjectFolder(const QByteArray& folder);
    void announceProjectWalkStopped(const QByteArray& target);
    void announceRefresh(const RefreshTarget& target, const QByteArray& folder,
                         const RemoteItemList& items);
    void announceTransfer(const TransferInfo& info, qint64 position, bool success);
    void announceTransfer(const TransferResult& result);
    // Work on a folder that was stopped or failed before its listing was
    // dealt with: the folder (an empty file name: the whole of remoteFolder)
    // and its local twin, for a later retry.
    void announceUnfinishedFolder(const TransferResult& result);
    void announceDirectUploadListed(const QByteArray& folder, const QByteArray& name, qint64 size,
                                    const QByteArray& modified);
    // A listing had lines that could not be read: says so in the log and, when
    // the action works on every entry, counts them as skipped entries.
    void reportRejectedLines(const ListingAction& action, const RejectedLines& rejected);
    // Files a transfer's file action left as they are, in one folder: said in
    // the log and told to whoever reports the run.
    void reportSkippedFiles(int count, const QString& folder);

    // Local entries an upload walk left out (linked folders, special files):
    // each gets an error line in the log of the connection that walked, and
    // whoever counts what was not done is told.
    void reportSkippedLocal(GroupHost* host, const QStringList& paths);

    // Entries that transfers, deletes and the loops skipped because their
    // listing lines could not be read, since the engine was made.
    int skippedEntries() const { return skippedEntries_; }

    // What the transfers and deletes decide by; set by the application.
    TransferAlertOptions downloadOptions;
    TransferAlertOptions uploadOptions;
    KindFilter kindFilter;
    // Temporary names, kept times, checksums. Off here, as plain FTP does;
    // the program and the command line switch them on by default.
    PublishOptions publish;
    // The view-options flag byte passed on with the refresh after an upload.
    quint8 uploadRefreshFlag = 0;
    // Reads local folders for uploads with the local side's filters.
    LocalFolderReader localReader;
    // Size and time a server file was seen at, changed since it was fetched
    // for editing, when an upload of it was refused for that: the user was
    // told, and the next upload over that very change goes ahead.
    QHash<QByteArray, QByteArray> changesShown;

signals:
    void listingReady(const ListingAction* action, const RemoteItemList& items);
    void rootFound(const QByteArray& folder, const RemoteItemList& items);
    void projectFolderReached(const QByteArray& folder);
    // The walk found no way down to the remote project folder.
    void projectWalkStopped(const QByteArray& target);
    void refreshDelivered(quintptr window, quint8 flag, const QByteArray& folder,
                          const RemoteItemList& items, RefreshMode mode);
    // A file transfer left the queue; success only when the server confirmed it
    // and every local step worked.
    void transferFinished(const TransferInfo& info, qint64 position, bool success);
    // The same for a transfer that did not finish, with why. A download that
    // kept data names where (result.keptPath); TransferStarters::retry fetches
    // it again, continuing that data.
    void transferFailed(const TransferResult& result);
    void folderUnfinished(const TransferResult& result);
    // A task was not queued, and why (the connection is lost).
    void taskRefused(const QString& startText, const QString& reason);
    // Work on a folder went on without entries whose lines could not be read.
    void entriesSkipped(const QByteArray& folder, int count);
    // Lines of any listing that could not be read, in words.
    void linesRejected(const QByteArray& folder, const QString& text);
    // Files left as they are by the file action, in words.
    void filesSkipped(const QString& text);
    // A download replaced a local file changed after the server's copy; the
    // old file went to the trash, as the text says.
    void localFileSetAside(const QString& text);
    // An upload went on without these local entries (full paths).
    void localEntriesSkipped(const QStringList& paths);
    // A file stored from memory as listed right after: what its editor's next
    // upload checks the server's copy against.
    void directUploadListed(const QByteArray& folder, const QByteArray& name, qint64 size,
                            const QByteArray& modified);

private:
    FtpSession& session_;
    TransferPool* pool_ = nullptr;
    QByteArray remoteProjectFolder_;
    int skippedEntries_ = 0;
    ShownFolders shown_;
};
