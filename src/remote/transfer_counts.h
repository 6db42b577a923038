#pragma once

#include <QObject>
#include <QString>

class ActionEngine;
class FailedTransfers;
class FtpSession;
class TaskList;
class TransferPool;

// What the task panel's status line counts: file transfers running (one per
// connection at most), queued (in a connection's queue or waiting for one)
// and failed since work last began with nothing else in hand: the failures the
// Failed list takes, so the two agree.
class TransferCounts : public QObject {
    Q_OBJECT
public:
    TransferCounts(FtpSession& session, ActionEngine& engine, const TaskList& tasks,
                   TransferPool* pool, const FailedTransfers& failed, QObject* parent = nullptr);

    int running() const;
    int queued() const;
    int failed() const { return failed_; }
    // "2 running, 14 queued, 1 failed"; empty when all three are 0.
    QString text() const;

signals:
    void changed();

private:
    // The main session's head is a file transfer that has started.
    bool mainRunning() const;
    void recount();

    FtpSession& session_;
    const TaskList& tasks_;
    TransferPool* pool_;
    int failed_ = 0;
    bool idle_ = true;
};
