#include "remote/task_list.h"

#include "remote/transfer_pool.h"
#include "session/ftp_session.h"
#include "session/socket_group.h"

TaskList::TaskList(QObject* parent) : QObject(parent) {}

void TaskList::connectTo(FtpSession& session) {
    connect(&session, &FtpSession::transferStartedSignal, this, &TaskList::onTransferStarted);
    connect(&session, &FtpSession::transferProgressSignal, this, &TaskList::onTransferProgress);
    connect(&session, &FtpSession::transferEndedSignal, this, &TaskList::onTransferEnded);
    connect(
        &session, &FtpSession::headStalled, this,
        [this](const CommandGroup* group, const QByteArray& command, int, const QString& reply) {
            onHeadStalled(group, QString::fromUtf8(command) + QStringLiteral(": ") + reply);
        });
    connect(&session, &FtpSession::disconnected, this, &TaskList::onDisconnected);
}

void TaskList::onHeadStalled(const CommandGroup* group, const QString& reply) {
    for (size_t i = 0; i < boxes_.size(); ++i) {
        if (static_cast<const CommandGroup*>(boxes_[i].group) == group) {
            boxes_[i].problem = reply + QStringLiteral(" (remove the task to go on)");
            emit boxChanged(int(i));
        }
    }
}

void TaskList::onDisconnected() {
    for (size_t i = 0; i < boxes_.size(); ++i) {
        const QString why = boxes_[i].group->problem();
        boxes_[i].problem = (why.isEmpty() ? QStringLiteral("The connection was closed") : why) +
                            QStringLiteral("; retry after re-connecting");
        emit boxChanged(int(i));
    }
}

void TaskList::connectTo(TransferPool& pool) {
    connect(&pool, &TransferPool::transferStarted, this, &TaskList::onTransferStarted);
    connect(&pool, &TransferPool::transferProgress, this, &TaskList::onTransferProgress);
    connect(&pool, &TransferPool::transferEnded, this, &TaskList::onTransferEnded);
}

int TaskList::indexOf(const SocketGroup* group) const {
    for (size_t i = 0; i < boxes_.size(); ++i)
        if (boxes_[i].group == group)
            return int(i);
    return -1;
}

void TaskList::onTransferStarted(const SocketGroup* group, const TransferInfo& info) {
    if (!group)
        return;
    TaskBox box;
    box.group = group;
    box.info = info;
    box.position = info.startOffset;
    // A group reported twice keeps its one box.
    const int existing = indexOf(group);
    if (existing >= 0) {
        boxes_[size_t(existing)] = box;
        emit boxChanged(existing);
        return;
    }
    boxes_.push_back(box);
    emit boxAdded(count() - 1);
}

void TaskList::onTransferProgress(const SocketGroup* group, qint64 position) {
    const int index = indexOf(group);
    if (index < 0)
        return;
    boxes_[size_t(index)].position = position;
    emit boxChanged(index);
}

void TaskList::onTransferEnded(const SocketGroup* group) {
    const int index = indexOf(group);
    if (index < 0)
        return;
    boxes_.erase(boxes_.begin() + index);
    emit boxRemoved(index);
}
