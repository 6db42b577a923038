#include "remote/action_engine.h"

#include "remote/transfer_decision.h"

#include "remote/folder_actions.h"
#include "remote/remote_path.h"
#include "remote/task_status.h"
#include "remote/transfer_pool.h"
#include "session/download_file_group.h"
#include "session/ftp_session.h"
#include "session/stored_size_check.h"

ActionEngine::ActionEngine(FtpSession& session, QObject* parent)
    : QObject(parent), session_(session) {
    session_.setInitialListingFactory([this](const QByteArray& command) {
        return std::make_unique<InitFolderAction>(
            *this, StepList{{"PWD", {}}, {"PASV", {}}, {command, {}}});
    });
}

ActionEngine::~ActionEngine() {
    // The queued actions and transfers report to this engine.
    session_.queue().clear();
    session_.setInitialListingFactory({});
}

TransferPool* ActionEngine::transferPool() const {
    return pool_ && pool_->active() ? pool_ : nullptr;
}

StepList ActionEngine::listingSequence(const QByteArray& folder) const {
    return {{"CWD", folder}, {"PASV", {}}, {session_.listingCommand(), {}}};
}

StepList ActionEngine::shortListingSequence() const {
    return {{"PASV", {}}, {session_.listingCommand(), {}}};
}

void ActionEngine::setRemoteProjectFolder(const QByteArray& folder) {
    // "/www/site/" names the same folder as "/www/site".
    remoteProjectFolder_ = withoutEndSlash(folder);
}

void ActionEngine::refresh(const QByteArray& folder, const RefreshTarget& target) {
    const CommandQueue& q = session_.queue();
    if (!target.window) {
        for (int i = 0; i < q.size(); ++i) {
            const auto* r = dynamic_cast<const RefreshFolderAction*>(q.at(i));
            if (r && r->folder == folder && !r->target.window && r->lastSentIndex() < 0 &&
                r->actionKind() == ActionKind::RefreshFolder)
                return;
        }
    }
    session_.queue().append(
        std::make_unique<RefreshFolderAction>(*this, folder, listingSequence(folder), target));
    sendIfIdle();
}

void ActionEngine::refreshIfShown(const QByteArray& folder) {
    if (isShown(folder))
        refresh(folder);
}

void ActionEngine::sendIfIdle() {
    CommandGroup* head = session_.queue().head();
    if (head && head->lastSentIndex() < 0)
        session_.advance(false);
}

QString ActionEngine::notStartedText(const QString& startText, const QString& reason) {
    return TaskStatus::taskName(startText) + QStringLiteral(" not started: ") + reason;
}

void ActionEngine::appendTask(const QString& startText,
                              std::vector<std::unique_ptr<CommandGroup>> groups,
                              const QString& completedText, int completionCode,
                              quintptr ownerToken) {
    // Lost and waiting for Re-connect, or closed: the next connection empties the queue, so
    // work queued now would only wait, then be dropped.
    if (!session_.isConnected()) {
        const QString reason =
            session_.loggedIn() ? QStringLiteral(
                                      "the connection to the server was lost; use Re-connect, then "
                                      "start it again")
                                : QStringLiteral("not connected to a server");
        session_.log(LogChannel::Error, notStartedText(startText, reason));
        emit taskRefused(startText, reason);
        return;
    }
    CommandQueue& q = session_.queue();
    q.addFakeStart(startText);
    for (auto& g : groups)
        q.append(std::move(g));
    q.addFakeCompleted(completionCode, completedText, ownerToken);
    sendIfIdle();
}

void ActionEngine::announceListing(const ListingAction& action, const RemoteItemList& items) {
    emit listingReady(&action, items);
}

void ActionEngine::announceRoot(const QByteArray& folder, const RemoteItemList& items) {
    emit rootFound(folder, items);
}

void ActionEngine::announceProjectFolder(const QByteArray& folder) {
    emit projectFolderReached(folder);
}

void ActionEngine::announceProjectWalkStopped(const QByteArray& target) {
    emit projectWalkStopped(target);
}

void ActionEngine::announceRefresh(const RefreshTarget& target, const QByteArray& folder,
                                   const RemoteItemList& items) {
    if (target.window)
        emit refreshDelivered(target.window, target.flag, folder, items, target.mode);
}

void ActionEngine::announceDirectUploadListed(const QByteArray& folder, const QByteArray& name,
                                              qint64 size, const QByteArray& modified) {
    emit directUploadListed(folder, name, size, modified);
}

void ActionEngine::announceTransfer(const TransferInfo& info, qint64 position, bool success) {
    emit transferFinished(info, position, success);
}

void ActionEngine::announceTransfer(const TransferResult& result) {
    if (result.info.publish.sizeCheck) {
        // An upload whose size its folder's listing checks is told after that;
        // no result keeps the check (a retry is checked anew).
        const std::shared_ptr<StoredSizeCheck> check = result.info.publish.sizeCheck;
        TransferResult r = result;
        r.info.publish.sizeCheck.reset();
        if (r.success)
            check->hold(std::move(r));
        else
            announceTransfer(r);
        return;
    }
    emit transferFinished(result.info, result.position, result.success);
    if (!result.setAside.isEmpty())
        emit localFileSetAside(
            DownloadFileGroup::setAsideText(result.info.localPath, result.setAside));
    if (!result.success)
        emit transferFailed(result);
}

void ActionEngine::announceUnfinishedFolder(const TransferResult& result) {
    emit folderUnfinished(result);
}

void ActionEngine::reportSkippedLocal(GroupHost* host, const QStringList& paths) {
    if (paths.isEmpty())
        return;
    for (const QString& p : paths) {
        const QString text = QStringLiteral("Skipped, not uploaded: ") + p;
        if (host)
            host->log(LogChannel::Error, text);
        else
            session_.log(LogChannel::Error, text);
    }
    emit localEntriesSkipped(paths);
}

void ActionEngine::reportSkippedFiles(int count, const QString& folder) {
    if (count <= 0)
        return;
    const QString text = SkippedFilesText(count, folder);
    session_.log(LogChannel::Status, text);
    emit filesSkipped(text);
}

void ActionEngine::reportRejectedLines(const ListingAction& action, const RejectedLines& rejected) {
    const QString folder = displayText(action.folder);
    const QString text =
        rejected.count == 1
            ? QStringLiteral("1 line of the listing of %1 could not be read; its entry is left out")
                  .arg(folder)
            : QStringLiteral(
                  "%1 lines of the listing of %2 could not be read; their entries are "
                  "left out")
                  .arg(rejected.count)
                  .arg(folder);
    session_.log(LogChannel::Error, text);
    session_.log(LogChannel::Trace,
                 QStringLiteral("First line not read: ") + displayText(rejected.first));
    emit linesRejected(action.folder, text);
    if (!action.walksEntries())
        return;
    skippedEntries_ += rejected.count;
    emit entriesSkipped(action.folder, rejected.count);
}
