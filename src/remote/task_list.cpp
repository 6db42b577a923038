#include "remote/task_list.h"

#include "session/ftp_session.h"

TaskList::TaskList(QObject* parent) : QObject(parent) {}

void TaskList::connectTo(FtpSession& session) {
    connect(&session, &FtpSession::transferStartedSignal, this, &TaskList::onTransferStarted);
    connect(&session, &FtpSession::transferProgressSignal, this, &TaskList::onTransferProgress);
    connect(&session, &FtpSession::transferEndedSignal, this, &TaskList::onTransferEnded);
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
    box.kind = info.socketKind;
    box.remoteFolder = info.remoteFolder;
    box.fileName = info.fileName;
    box.localPath = info.localPath;
    box.total = info.total;
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
