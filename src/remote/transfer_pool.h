#pragma once

#include "remote/file_transfer.h"
#include "session/ftp_session.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class ActionEngine;
class TransportFactory;

// Transfer connections: further logins to the main session's server, each a
// whole FtpSession with its own queue, that move files (and the listings of a
// walk) while the main session stays free for browsing. The actions hand their
// files over as jobs instead of queuing them behind themselves; whichever
// connection is free takes the next one, and a job runs whole on one
// connection. Work on the main session that must come after the files of its
// task (the task's completed entry, the local folder shown after a download,
// the refresh after an upload) is held back until they have ended.
//
// Connections are opened on demand with the main session's site, TLS mode and
// certificate (any other certificate is refused), closed after a minute
// without work, re-opened after 1, 2 and 4 s when they break (their job goes
// back to the front, continued where the server allows) and given up after
// that. A server that refuses another login leaves the pool smaller for the
// rest of the main session; when it allows none at all, the jobs run on the
// main session one by one.
class TransferPool : public QObject, public HeadGate {
    Q_OBJECT
public:
    static constexpr int kMaxConnections = 8;
    // A job whose connection broke this often under it fails.
    static constexpr int kMaxDrops = 3;

    struct Timing {
        int idleCloseMs = 60000;
        std::vector<int> reopenDelaysMs{1000, 2000, 4000};
    };

    using ListingMaker = std::function<std::unique_ptr<CommandGroup>()>;

    TransferPool(ActionEngine& engine, TransportFactory* transports, QObject* parent = nullptr);
    ~TransferPool() override;

    // 0: everything runs on the main session as queued there; 1..8 transfer
    // connections beside it.
    void setConnections(int count);
    int connections() const { return wanted_; }
    bool active() const { return wanted_ > 0; }
    void setTiming(const Timing& timing) { timing_ = timing; }
    // Opens the connections now, for work known to come (a script's transfer);
    // they close again after the idle time when none does.
    void warmUp();

    // A file an action decided to move; `from` is the action.
    void submitTransfer(const FileTransfer& transfer, const CommandGroup& from);
    // A listing of a walk, made when a connection is free; `owner` is the
    // loop window it reports to (0: none).
    void submitListing(ListingMaker make, quintptr owner, const CommandGroup& from);
    // Whether the group runs as one of the pool's jobs (on any connection).
    bool runsAsJob(const CommandGroup& group);
    // Work a job on a transfer connection made for the main session, to follow
    // what its task handed out so far (the local folder shown after a
    // download of a folder listed there).
    void holdUntilDone(std::unique_ptr<CommandGroup> group, const CommandGroup& from);
    // A task made of known files: its start and completed entries go to the
    // main queue, the files to the connections.
    void appendTransferTask(const QString& startText, const std::vector<FileTransfer>& transfers,
                            const QString& completedText, int completionCode);

    // Jobs waiting or running, or main-session work held for them.
    bool busy() const;
    // The task's work is all in jobs still going on: a drop of the main
    // connection loses nothing of it, and it ends when they do.
    bool carriesOn(quint64 taskId) const;
    // File transfers running on the transfer connections, and waiting for a
    // connection.
    int runningTransfers() const;
    int queuedTransfers() const { return queuedFiles_; }
    // Open connections, the main one included.
    int openConnections() const;
    // Transfer connections logged in or logging in, and their sessions.
    int transferConnectionCount() const { return int(slots_.size()); }
    FtpSession* transferSession(int index) const;
    // The connection's number as the chat tags it (2 and up).
    int connectionNumber(int index) const;

    // Takes a transfer out of whichever queue holds it; one running is aborted
    // on its own connection. False when no queue holds it.
    bool removeTransfer(const CommandGroup* group);
    // "Remove all tasks": nothing waits or runs any more, on any connection.
    void clearAll();
    // A loop window closed: its waiting listings go, running ones report to
    // nobody.
    void cancelForOwner(quintptr token);

    // HeadGate (the main session's)
    bool holds(const CommandGroup& head) override;
    void take(std::unique_ptr<CommandGroup> group) override;

signals:
    // Every connection's log, tagged with its number while more than one is
    // open.
    void logLine(const LogLine& line);
    void transferStarted(const SocketGroup* group, const TransferInfo& info);
    void transferProgress(const SocketGroup* group, qint64 position);
    void transferEnded(const SocketGroup* group);
    // Refusals and failures of jobs on the transfer connections, with the
    // task they belong to (its markers' id; 0 when not known).
    void commandRefused(const QByteArray& command, int code, const QString& reply, quint64 taskId);
    void failure(const QString& text, quint64 taskId);
    // A transfer connection refused for its certificate: the work goes on with fewer, but
    // someone may be in between, so it is said as a failure of the run.
    void connectionRefused(const QString& text);
    // The user took out a transfer running on a transfer connection.
    void transferRemoved(quint64 taskId);
    void countsChanged();
    // Nothing waits, runs or is held any more.
    void idle();

private:
    struct Batch;
    struct Job {
        quint64 id = 0;
        std::shared_ptr<Batch> batch;
        bool isFile = true;
        FileTransfer transfer;
        std::array<QByteArray, 2> places;  // of a file: the remote and the local path
        ListingMaker make;
        quintptr owner = 0;
        int drops = 0;
        // How it ended when its connection last broke under it.
        std::optional<TransferResult> lastResult;
    };
    // Work of the main queue held until jobs of its task have ended.
    struct Held {
        std::unique_ptr<CommandGroup> group;
        quint64 upTo = 0;  // 0: every job of the task
    };
    // The jobs of one task, known by its completed entry.
    struct Batch : std::enable_shared_from_this<Batch> {
        const CommandGroup* marker = nullptr;
        quint64 taskId = 0;
        std::set<quint64> outstanding;
        std::deque<Held> held;
        // Held work given back to the main queue that has not ended yet: the
        // completed entry does not overtake it.
        int releasedAlive = 0;
    };
    enum class SlotState { Opening, Ready, Reopening };
    struct Slot {
        int number = 0;
        std::unique_ptr<FtpSession> session;
        std::shared_ptr<FolderCursor> cursor;
        QByteArray heading;  // the folder of its last file job
        SlotState state = SlotState::Opening;
        std::optional<Job> job;
        const CommandGroup* group = nullptr;
        std::optional<TransferResult> result;
        bool unfinished = false;  // the job's group had not ended when the connection broke
        bool removed = false;     // the user took the job out
        bool loggedIn = false;    // this opening got through the login
        int reopenAttempt = 0;
        QString refusal;                  // the last error reply before the login
        bool certificateRefused = false;  // it showed another certificate than the main one
        QTimer timer;                     // re-open, or close when idle
    };

    int limit() const;
    static quint64 taskOf(const Slot& slot);
    void enqueue(Job job, bool front = false);
    std::shared_ptr<Batch> batchFor(const CommandGroup& from);
    std::shared_ptr<Batch> batchOfMarker(CommandGroup* marker);
    Job* runningJobOf(const CommandGroup* group);
    void pump();
    bool hasWaiting() const;
    Job takeJob();
    // The next job for a free connection, of the task with the fewest files
    // moving (a small task queued behind a long one does not wait for all of
    // it); within it one in the folder the connection stands in, else one in a
    // folder no other connection works in, else the first. A file never starts
    // while another job of the same file runs or waits before it, so the last
    // one queued is the one that stays. Nothing when every waiting file waits
    // for such a job.
    std::optional<Job> takeJobFor(const Slot& slot);
    void openMore();
    void openSlot(Slot& slot);
    Slot* newSlot();
    void dispatch(Slot& slot, Job job);
    // The job's group, reporting to the slot of that number (1: the main
    // session).
    std::unique_ptr<CommandGroup> buildGroup(Job& job, std::shared_ptr<FolderCursor> cursor,
                                             int number);
    void noteResult(int number, quint64 id, const TransferResult& result);
    void jobGone(int number, quint64 id);
    // No connection can carry the waiting work any more: each file and each
    // folder not yet listed fails.
    void failWaiting();
    // A file job's result when it did not finish: its last one, or none begun.
    static TransferResult unfinishedResult(const Job& job);
    void resumeAfterDrop(Job& job, const std::optional<TransferResult>& result);
    void finishJob(Job& job, const std::optional<TransferResult>& result);
    QString describe(const Job& job) const;
    void releaseHeld(Batch& batch);
    void onSlotIdle(Slot& slot);
    void onSlotLost(Slot& slot);
    int othersAlive(const Slot& slot) const;
    void refuseSlot(Slot& slot);
    void giveUpSlot(Slot& slot);
    void eraseSlot(Slot& slot);
    Slot* slotByNumber(int number);
    void connectSlot(Slot& slot);
    // A line of the pool's own; about one transfer connection, tagged with it.
    void note(const QString& text, LogChannel channel, int connection = 1);
    void relayLog(const LogLine& line, int number);
    // Jobs not begun go, told as stopped (no reason) or as failed for `why`.
    void dropWaiting(const QString& why);
    void shutDown();
    void runOnMain(bool listingsOnly);
    void noteCounts();

    ActionEngine& engine_;
    FtpSession& main_;
    TransportFactory* transports_;
    Timing timing_;
    int wanted_ = 0;
    int ceiling_ = kMaxConnections;  // what the server allows, as far as known
    quint64 lastJobId_ = 0;
    std::deque<Job> waiting_;          // files
    std::deque<Job> waitingListings_;  // listings, handed out first
    std::vector<std::unique_ptr<Slot>> slots_;
    std::vector<std::unique_ptr<Slot>> retired_;  // deleted once they have finished talking
    // A job the main session runs when the server allows no other connection.
    std::optional<Job> mainJob_;
    const CommandGroup* mainGroup_ = nullptr;
    std::optional<TransferResult> mainResult_;
    std::map<const CommandGroup*, std::shared_ptr<Batch>> batches_;
    std::shared_ptr<Batch> holding_;  // between holds() and take()
    quint64 holdingUpTo_ = 0;
    std::set<const CommandGroup*> released_;
    int queuedFiles_ = 0;
    bool wasBusy_ = false;
};
