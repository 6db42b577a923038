#pragma once

#include "session/transfer_info.h"

#include <QObject>
#include <QString>

#include <vector>

class CommandGroup;
class FtpSession;
class SocketGroup;
class TransferPool;

// One box of the task panel: a transfer in the queue and how far it has got.
struct TaskBox {
    const SocketGroup* group = nullptr;  // identifies the box; alive while the box is
    TransferInfo info;                   // as the transfer reported its start
    qint64 position = 0;
    // Why the transfer can not go on (a refusal it waits on, a lost
    // connection); empty while it is sound.
    QString problem;
};

// The boxes of the running transfers, top to bottom in the order the transfers
// were queued. The data connections report start, progress and end; the panel
// widget draws from here.
class TaskList : public QObject {
    Q_OBJECT
public:
    explicit TaskList(QObject* parent = nullptr);

    void connectTo(FtpSession& session);
    // The boxes of the transfer connections too.
    void connectTo(TransferPool& pool);

    int count() const { return int(boxes_.size()); }
    bool isEmpty() const { return boxes_.empty(); }
    const TaskBox& at(int index) const { return boxes_[size_t(index)]; }
    const std::vector<TaskBox>& boxes() const { return boxes_; }
    // -1 when the group has no box.
    int indexOf(const SocketGroup* group) const;

public slots:
    void onTransferStarted(const SocketGroup* group, const TransferInfo& info);
    void onTransferProgress(const SocketGroup* group, qint64 position);
    void onTransferEnded(const SocketGroup* group);
    // The head waits on a failure no command of it expects.
    void onHeadStalled(const CommandGroup* group, const QString& reply);
    // The connection ended under every transfer in the queue.
    void onDisconnected();

signals:
    void boxAdded(int index);
    void boxChanged(int index);
    void boxRemoved(int index);

private:
    std::vector<TaskBox> boxes_;
};
