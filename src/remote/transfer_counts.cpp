#include "remote/transfer_counts.h"

#include "remote/action_engine.h"
#include "remote/failed_transfers.h"
#include "remote/task_list.h"
#include "remote/transfer_pool.h"
#include "session/ftp_session.h"

TransferCounts::TransferCounts(FtpSession& session, ActionEngine& engine, const TaskList& tasks,
                               TransferPool* pool, const FailedTransfers& failed, QObject* parent)
    : QObject(parent), session_(session), tasks_(tasks), pool_(pool) {
    connect(&tasks_, &TaskList::boxAdded, this, &TransferCounts::recount);
    connect(&tasks_, &TaskList::boxRemoved, this, &TransferCounts::recount);
    // A transfer starts sending on the main session: it moves from queued to
    // running without a box changing.
    connect(&session_, &FtpSession::transferProgressSignal, this,
            [this](const SocketGroup*, qint64) {
                if (mainRunning())
                    recount();
            });
    connect(&engine, &ActionEngine::transferFinished, this, &TransferCounts::recount);
    // A file failing again replaces its entry (changed) but is a failure too.
    const auto failure = [this] {
        ++failed_;
        recount();
    };
    connect(&failed, &FailedTransfers::added, this, failure);
    connect(&failed, &FailedTransfers::changed, this, failure);
    // Entries retried or removed are no failures the list still shows.
    connect(&failed, &FailedTransfers::removed, this, [this, &failed] {
        failed_ = qMin(failed_, failed.count());
        recount();
    });
    if (pool_)
        connect(pool_, &TransferPool::countsChanged, this, &TransferCounts::recount);
}

bool TransferCounts::mainRunning() const {
    const CommandGroup* head = session_.queue().head();
    if (!head || head->kind() != GroupKind::Socket || head->lastSentIndex() < 0)
        return false;
    const int kind = int(static_cast<const SocketGroup*>(head)->socketKind());
    return kind >= int(SocketKind::UploadFile) && kind <= int(SocketKind::DirectUpload);
}

int TransferCounts::running() const {
    return (mainRunning() ? 1 : 0) + (pool_ ? pool_->runningTransfers() : 0);
}

int TransferCounts::queued() const {
    // Every transfer in a queue has its box; those not running wait there.
    const int boxed = tasks_.count() - running();
    return qMax(0, boxed) + (pool_ ? pool_->queuedTransfers() : 0);
}

QString TransferCounts::text() const {
    const int r = running();
    const int q = queued();
    if (r == 0 && q == 0 && failed_ == 0)
        return {};
    QString t = QStringLiteral("%1 running, %2 queued").arg(r).arg(q);
    if (failed_ > 0)
        t += QStringLiteral(", %1 failed").arg(failed_);
    return t;
}

void TransferCounts::recount() {
    const bool idle = running() == 0 && queued() == 0;
    // Work beginning again after a pause: the failures of before are told.
    if (idle_ && !idle)
        failed_ = 0;
    idle_ = idle;
    emit changed();
}
