#include "remote/transfer_pool.h"

#include "remote/action_engine.h"
#include "remote/folder_actions.h"
#include "remote/listing_action.h"
#include "session/download_file_group.h"
#include "session/listing_group.h"
#include "session/partial_download.h"
#include "session/publish_plan.h"

#include <algorithm>
#include <array>

namespace {

const FakeGroup* asMarker(const CommandGroup& g, FakeKind kind) {
    if (g.kind() != GroupKind::Fake)
        return nullptr;
    auto* f = static_cast<const FakeGroup*>(&g);
    return f->fakeKind == kind ? f : nullptr;
}

// The refresh an upload queues behind a folder's files: it shows them only
// once they have arrived.
bool isRefreshAfterUpload(const CommandGroup& g) {
    auto* r = dynamic_cast<const RefreshFolderAction*>(&g);
    return r && r->target.mode == RefreshMode::AfterUpload;
}

}  // namespace

TransferPool::TransferPool(ActionEngine& engine, TransportFactory* transports, QObject* parent)
    : QObject(parent), engine_(engine), main_(engine.session()), transports_(transports) {
    main_.setHeadGate(this);
    connect(&main_, &FtpSession::logLine, this, [this](const LogLine& l) { relayLog(l, 1); });
    connect(&main_, &FtpSession::loggedInChanged, this, [this](bool loggedIn) {
        if (loggedIn)
            ceiling_ = kMaxConnections;
        else
            shutDown();
    });
    connect(&main_, &FtpSession::connectionClosed, this, &TransferPool::shutDown);
    // An idle main session lists for the walks.
    connect(&main_, &FtpSession::idle, this, [this] {
        if (!waitingListings_.empty())
            QTimer::singleShot(0, this, &TransferPool::pump);
    });
}

TransferPool::~TransferPool() {
    main_.setHeadGate(nullptr);
    shutDown();
    retired_.clear();
}

void TransferPool::setConnections(int count) {
    wanted_ = std::clamp(count, 0, kMaxConnections);
    pump();
}

int TransferPool::limit() const {
    return std::min(wanted_, ceiling_);
}

void TransferPool::warmUp() {
    if (!main_.loggedIn())
        return;
    while (int(slots_.size()) < limit())
        openSlot(*newSlot());
    pump();
}

// ------------------------------------------------------------------ jobs in

void TransferPool::submitTransfer(const FileTransfer& transfer, const CommandGroup& from) {
    Job j;
    j.id = ++lastJobId_;
    j.batch = batchFor(from);
    j.isFile = true;
    j.transfer = transfer;
    enqueue(std::move(j));
    pump();
}

void TransferPool::submitListing(ListingMaker make, quintptr owner, const CommandGroup& from) {
    Job j;
    j.id = ++lastJobId_;
    j.batch = batchFor(from);
    j.isFile = false;
    j.make = std::move(make);
    j.owner = owner;
    enqueue(std::move(j));
    pump();
}

void TransferPool::appendTransferTask(const QString& startText,
                                      const std::vector<FileTransfer>& transfers,
                                      const QString& completedText, int completionCode) {
    CommandQueue& q = main_.queue();
    q.addFakeStart(startText);
    CommandGroup* marker = q.addFakeCompleted(completionCode, completedText);
    const std::shared_ptr<Batch> batch = batchOfMarker(marker);
    for (const FileTransfer& t : transfers) {
        Job j;
        j.id = ++lastJobId_;
        j.batch = batch;
        j.transfer = t;
        enqueue(std::move(j));
    }
    engine_.sendIfIdle();
    pump();
}

namespace {

// The files a job reads or writes: no two jobs of one of them run at once.
std::array<QByteArray, 2> placesOf(const FileTransfer& t) {
    QByteArray remote = t.info.remoteFolder;
    if (!remote.endsWith('/'))
        remote += '/';
    return {"r:" + remote + t.info.fileName, "l:" + t.info.localPath.toUtf8()};
}

}  // namespace

void TransferPool::enqueue(Job job, bool front) {
    if (job.batch)
        job.batch->outstanding.insert(job.id);
    if (job.isFile) {
        ++queuedFiles_;
        job.places = placesOf(job.transfer);
    }
    // Listings go first: they make the work the connections are waiting for.
    std::deque<Job>& line = job.isFile ? waiting_ : waitingListings_;
    if (front)
        line.push_front(std::move(job));
    else
        line.push_back(std::move(job));
}

bool TransferPool::runsAsJob(const CommandGroup& group) {
    return runningJobOf(&group) != nullptr;
}

bool TransferPool::hasWaiting() const {
    return !waiting_.empty() || !waitingListings_.empty();
}

TransferPool::Job* TransferPool::runningJobOf(const CommandGroup* group) {
    for (const auto& s : slots_)
        if (s->job && s->group == group)
            return &*s->job;
    if (mainJob_ && mainGroup_ == group)
        return &*mainJob_;
    return nullptr;
}

// A job belongs to the task of the work that made it: a job's job to the same
// task, an action of the main queue to the task whose completed entry follows it.
std::shared_ptr<TransferPool::Batch> TransferPool::batchFor(const CommandGroup& from) {
    if (Job* running = runningJobOf(&from))
        return running->batch;
    const CommandQueue& q = main_.queue();
    const int at = q.indexOf(&from);
    if (at < 0)
        return nullptr;
    for (int i = at + 1; i < q.size(); ++i)
        if (asMarker(*q.at(i), FakeKind::Completed))
            return batchOfMarker(q.at(i));
    return nullptr;
}

quint64 TransferPool::taskOf(const Slot& slot) {
    return slot.job && slot.job->batch ? slot.job->batch->taskId : 0;
}

std::shared_ptr<TransferPool::Batch> TransferPool::batchOfMarker(CommandGroup* marker) {
    const auto it = batches_.find(marker);
    if (it != batches_.end())
        return it->second;
    auto batch = std::make_shared<Batch>();
    batch->marker = marker;
    batch->taskId = static_cast<const FakeGroup*>(marker)->taskId;
    batches_[marker] = batch;
    QPointer<TransferPool> guard(this);
    marker->whenDestroyed = [guard, marker] {
        if (guard)
            guard->batches_.erase(marker);
    };
    return batch;
}

// ---------------------------------------------------------- the main's gate

bool TransferPool::holds(const CommandGroup& head) {
    if (released_.erase(&head))
        return false;
    if (batches_.empty())
        return false;
    if (asMarker(head, FakeKind::Completed)) {
        const auto it = batches_.find(&head);
        if (it == batches_.end() || it->second->outstanding.empty())
            return false;
        holding_ = it->second;
        holdingUpTo_ = 0;
        return true;
    }
    if (!asMarker(head, FakeKind::DownloadToFolder) && !isRefreshAfterUpload(head))
        return false;
    // What the task has handed out so far is what this work comes after.
    const CommandQueue& q = main_.queue();
    for (int i = q.indexOf(&head) + 1; i < q.size(); ++i) {
        if (!asMarker(*q.at(i), FakeKind::Completed))
            continue;
        const auto it = batches_.find(q.at(i));
        if (it == batches_.end() || it->second->outstanding.empty())
            return false;
        holding_ = it->second;
        holdingUpTo_ = lastJobId_;
        return true;
    }
    return false;
}

void TransferPool::take(std::unique_ptr<CommandGroup> group) {
    if (!holding_)
        return;  // cannot happen: take follows a hold
    holding_->held.push_back({std::move(group), holdingUpTo_});
    holding_.reset();
    noteCounts();
}

void TransferPool::releaseHeld(Batch& batch) {
    std::vector<std::unique_ptr<CommandGroup>> ready;
    while (!batch.held.empty()) {
        const quint64 upTo = batch.held.front().upTo;
        if (!batch.outstanding.empty() && (upTo == 0 || *batch.outstanding.begin() <= upTo))
            break;
        // The refresh given back before tells the uploads it checked: the
        // task ends after it.
        if (batch.releasedAlive > 0 && asMarker(*batch.held.front().group, FakeKind::Completed))
            break;
        ready.push_back(std::move(batch.held.front().group));
        batch.held.pop_front();
    }
    // A main connection that dropped runs nothing until the user connects
    // again, which lists the views anew: the markers are told now, and the
    // refreshes go (their size checks say the folder was not listed).
    if (!main_.isConnected())
        std::erase_if(ready, [](const auto& g) { return g->kind() != GroupKind::Fake; });
    if (ready.empty())
        return;
    // What goes back into the queue passes the gate there once.
    QPointer<TransferPool> guard(this);
    const std::weak_ptr<Batch> owner = batch.weak_from_this();
    for (const auto& g : ready) {
        const CommandGroup* key = g.get();
        released_.insert(key);
        const bool counted = g->kind() != GroupKind::Fake;
        if (counted)
            ++batch.releasedAlive;
        g->whenDestroyed = [guard, key, counted, owner, before = std::move(g->whenDestroyed)] {
            if (guard)
                guard->released_.erase(key);
            if (counted) {
                if (const std::shared_ptr<Batch> b = owner.lock()) {
                    --b->releasedAlive;
                    if (guard)
                        QTimer::singleShot(0, guard.data(), [guard, owner] {
                            const std::shared_ptr<Batch> again = owner.lock();
                            if (guard && again)
                                guard->releaseHeld(*again);
                        });
                }
            }
            if (before)
                before();
        };
    }
    main_.release(std::move(ready));
}

void TransferPool::holdUntilDone(std::unique_ptr<CommandGroup> group, const CommandGroup& from) {
    Job* job = runningJobOf(&from);
    if (!job || !job->batch) {
        main_.release(std::move(group));
        return;
    }
    Batch& b = *job->batch;
    // Before a completed entry already waiting there: that one stays last.
    auto at = b.held.end();
    if (!b.held.empty() && asMarker(*b.held.back().group, FakeKind::Completed))
        at = b.held.end() - 1;
    b.held.insert(at, Held{std::move(group), lastJobId_});
    noteCounts();
}

// ----------------------------------------------------------- connections

TransferPool::Slot* TransferPool::slotByNumber(int number) {
    for (const auto& s : slots_)
        if (s->number == number)
            return s.get();
    return nullptr;
}

TransferPool::Slot* TransferPool::newSlot() {
    int number = 2;
    while (slotByNumber(number))
        ++number;
    auto slot = std::make_unique<Slot>();
    slot->number = number;
    slot->session = std::make_unique<FtpSession>(transports_);
    slot->timer.setSingleShot(true);
    Slot* s = slot.get();
    slots_.push_back(std::move(slot));
    connectSlot(*s);
    return s;
}

void TransferPool::connectSlot(Slot& slot) {
    FtpSession* session = slot.session.get();
    const int number = slot.number;
    // Slots are found again by number: a signal may come while one is retired.
    auto with = [this, number](auto f) {
        return [this, number, f](auto&&... args) {
            if (Slot* s = slotByNumber(number))
                f(*s, args...);
        };
    };
    connect(session, &FtpSession::logLine, this, with([this](Slot& s, const LogLine& line) {
                if (!s.loggedIn && line.channel == LogChannel::Reply && line.bold)
                    s.refusal = line.text.section(QLatin1Char('\n'), -1);
                relayLog(line, s.number);
            }));
    connect(session, &FtpSession::loggedInChanged, this, with([](Slot& s, bool in) {
                if (in)
                    s.loggedIn = true;
            }));
    connect(session, &FtpSession::idle, this, with([this](Slot& s) { onSlotIdle(s); }));
    connect(session, &FtpSession::disconnected, this, with([this](Slot& s) { onSlotLost(s); }));
    connect(session, &FtpSession::connectFailed, this, with([this](Slot& s) { onSlotLost(s); }));
    connect(session, &FtpSession::failure, this, with([this](Slot& s, const QString& text) {
                if (s.loggedIn && s.session->isConnected())
                    emit failure(text, taskOf(s));
                else
                    s.refusal = text;
            }));
    connect(session, &FtpSession::pinnedCertificateRefused, this,
            with([](Slot& s) { s.certificateRefused = true; }));
    connect(session, &FtpSession::commandRefused, this,
            with([this](Slot& s, const QByteArray& command, int code, const QString& reply) {
                if (s.loggedIn)
                    emit commandRefused(command, code, reply, taskOf(s));
            }));
    connect(session, &FtpSession::headStalled, this,
            with([this](Slot& s, const CommandGroup* group, const QByteArray& command, int code,
                        const QString& reply) {
                if (!s.loggedIn) {
                    // A login refused with a code the login does not expect.
                    if (s.refusal.isEmpty())
                        s.refusal =
                            QStringLiteral("%1 to %2").arg(code).arg(QString::fromUtf8(command));
                    QTimer::singleShot(0, this, [this, number = s.number] {
                        if (Slot* again = slotByNumber(number))
                            refuseSlot(*again);
                    });
                    return;
                }
                // Nobody is there to take a stuck job out by hand: it fails.
                emit commandRefused(command, code, reply, taskOf(s));
                QTimer::singleShot(0, this, [this, number = s.number, group] {
                    Slot* again = slotByNumber(number);
                    if (again && again->session->queue().indexOf(group) >= 0)
                        again->session->removeGroup(const_cast<CommandGroup*>(group));
                });
            }));
    connect(session, &FtpSession::transferStartedSignal, this, &TransferPool::transferStarted);
    connect(session, &FtpSession::transferProgressSignal, this, &TransferPool::transferProgress);
    connect(session, &FtpSession::transferEndedSignal, this, &TransferPool::transferEnded);
    connect(&slot.timer, &QTimer::timeout, this, [this, number] {
        if (Slot* found = slotByNumber(number)) {
            Slot& s = *found;
            if (s.state == SlotState::Reopening) {
                openSlot(s);
            } else if (s.state == SlotState::Ready && !s.job) {
                note(QStringLiteral("Transfer connection %1 closed, no work left for it")
                         .arg(s.number),
                     LogChannel::Trace, s.number);
                eraseSlot(s);
            }
        }
    });
}

void TransferPool::openSlot(Slot& slot) {
    SessionOptions o = main_.options();
    o.askFeatures = false;
    o.knownCapabilities = main_.capabilities();
    // Checksums, MFMT and the rename rule as learnt there: every file's whole
    // chain runs the same on any connection.
    o.knownFeatures = main_.features();
    o.pinnedCertificate =
        main_.controlSecure() ? main_.controlTls().certificate.sha256 : QByteArray();
    o.concernedFile.clear();
    slot.session->setOptions(o);
    slot.state = SlotState::Opening;
    slot.loggedIn = false;
    slot.refusal.clear();
    slot.cursor = std::make_shared<FolderCursor>();
    slot.session->connectNew();
}

void TransferPool::onSlotIdle(Slot& slot) {
    if (!slot.session->loggedIn() || slot.job)
        return;
    slot.state = SlotState::Ready;
    pump();
}

void TransferPool::onSlotLost(Slot& slot) {
    if (slot.state == SlotState::Reopening)
        return;
    const bool wasIn = slot.loggedIn;
    slot.loggedIn = false;
    if (slot.job) {
        // Whatever had not ended goes back; what ended stays done.
        bool ended = slot.result.has_value();
        if (!slot.job->isFile && slot.group)
            ended = static_cast<const ListingGroup*>(slot.group)->finished;
        slot.unfinished = !ended;
        // A listing given back is not a failure yet; the last drop it gets is.
        const bool goesBack =
            !ended && !slot.removed &&
            (slot.job->drops + 1 < kMaxDrops || (!wasIn && !slot.refusal.isEmpty()) ||
             slot.reopenAttempt >= int(timing_.reopenDelaysMs.size()));
        if (goesBack && !slot.job->isFile && slot.group)
            if (auto* listing = dynamic_cast<ListingAction*>(const_cast<CommandGroup*>(slot.group)))
                listing->handedBack = true;
        slot.session->queue().clear();
    }
    if (!wasIn && !slot.refusal.isEmpty()) {
        refuseSlot(slot);
        return;
    }
    // Without work it is not opened again: it would only take a connection
    // the server may count against the main one; work opens one anew.
    if (!slot.job && !hasWaiting()) {
        note(QStringLiteral("Transfer connection %1 closed, no work left for it").arg(slot.number),
             LogChannel::Trace, slot.number);
        eraseSlot(slot);
        return;
    }
    if (slot.reopenAttempt >= int(timing_.reopenDelaysMs.size())) {
        giveUpSlot(slot);
        return;
    }
    const int delay = timing_.reopenDelaysMs[size_t(slot.reopenAttempt++)];
    note(QStringLiteral("Transfer connection %1 lost; opening it again in %2 s")
             .arg(slot.number)
             .arg(delay / 1000.0),
         LogChannel::Status, slot.number);
    slot.state = SlotState::Reopening;
    slot.timer.start(delay);
}

int TransferPool::othersAlive(const Slot& slot) const {
    return int(std::count_if(slots_.begin(), slots_.end(),
                             [&slot](const auto& s) { return s.get() != &slot; }));
}

void TransferPool::refuseSlot(Slot& slot) {
    ceiling_ = std::min(ceiling_, othersAlive(slot));
    const int left = limit();
    if (slot.certificateRefused) {
        // Velmora refused, not the server, and someone may be in between:
        // said as a failure, not as a limit of the server's.
        emit connectionRefused(
            QStringLiteral("Transfer connection %1 refused: %2; going on with %3")
                .arg(slot.number)
                .arg(slot.refusal)
                .arg(left > 0 ? QStringLiteral("%1 transfer connection%2")
                                    .arg(left)
                                    .arg(left == 1 ? "" : "s")
                              : QStringLiteral("the main connection alone")));
        eraseSlot(slot);
        return;
    }
    note(left > 0 ? QStringLiteral("The server refused another connection (%1): going on with %2 "
                                   "transfer connection%3")
                        .arg(slot.refusal)
                        .arg(left)
                        .arg(left == 1 ? "" : "s")
                  : QStringLiteral("The server refused another connection (%1): transfers run on "
                                   "the main connection")
                        .arg(slot.refusal),
         LogChannel::Status);
    eraseSlot(slot);
}

void TransferPool::giveUpSlot(Slot& slot) {
    ceiling_ = std::min(ceiling_, othersAlive(slot));
    note(QStringLiteral("Transfer connection %1 could not be opened again; given up")
             .arg(slot.number),
         LogChannel::Error, slot.number);
    eraseSlot(slot);
}

void TransferPool::eraseSlot(Slot& slot) {
    const auto it = std::find_if(slots_.begin(), slots_.end(),
                                 [&slot](const auto& s) { return s.get() == &slot; });
    if (it == slots_.end())
        return;
    std::unique_ptr<Slot> gone = std::move(*it);
    slots_.erase(it);
    gone->timer.stop();
    if (gone->job) {
        // Its job goes back first in line, as if the connection had broken.
        Job j = std::move(*gone->job);
        gone->job.reset();
        if (gone->result)
            j.lastResult = gone->result;
        if (j.batch)
            j.batch->outstanding.erase(j.id);
        enqueue(std::move(j), true);
    }
    gone->session->disconnect(this);
    gone->session->queue().clear();
    gone->session->closeConnection();
    // It may be in the middle of telling us something: it goes later.
    retired_.push_back(std::move(gone));
    QTimer::singleShot(0, this, [this] { retired_.clear(); });
    pump();
}

void TransferPool::note(const QString& text, LogChannel channel, int connection) {
    LogLine line;
    line.channel = channel;
    line.text = text;
    relayLog(line, connection);
}

void TransferPool::relayLog(const LogLine& line, int number) {
    LogLine tagged = line;
    // A transfer connection's lines always name it, its last ones (closed
    // already) too; the main one's only while others are open.
    tagged.connection = number != 1 || openConnections() > 1 ? number : 0;
    emit logLine(tagged);
}

int TransferPool::openConnections() const {
    int open = main_.isConnected() ? 1 : 0;
    for (const auto& s : slots_)
        if (s->session->isConnected())
            ++open;
    return open;
}

FtpSession* TransferPool::transferSession(int index) const {
    return index >= 0 && index < int(slots_.size()) ? slots_[size_t(index)]->session.get()
                                                    : nullptr;
}

int TransferPool::connectionNumber(int index) const {
    return index >= 0 && index < int(slots_.size()) ? slots_[size_t(index)]->number : 0;
}

// --------------------------------------------------------------- running

void TransferPool::pump() {
    for (const auto& s : slots_) {
        if (!hasWaiting())
            break;
        if (s->state == SlotState::Ready && !s->job && s->session->loggedIn() &&
            s->session->queue().isEmpty()) {
            if (std::optional<Job> job = takeJobFor(*s))
                dispatch(*s, std::move(*job));
        }
    }
    if (hasWaiting())
        openMore();
    // Nothing is left to carry files (the transfer connections gave up, the
    // main one is closed): they fail now with what arrived, for Retry, rather
    // than wait as running until the user connects again.
    if (limit() == 0 && !main_.isConnected() && hasWaiting())
        failWaiting();
    // Without transfer connections the main session runs everything; with
    // them, the listings of walks while it has nothing else to do.
    if (limit() == 0 ? hasWaiting() : !waitingListings_.empty())
        runOnMain(limit() > 0);
    for (const auto& s : slots_) {
        if (s->state != SlotState::Ready || s->job)
            continue;
        const bool surplus = int(slots_.size()) > limit();
        if (!hasWaiting() && (surplus || !s->timer.isActive()))
            s->timer.start(surplus ? 0 : timing_.idleCloseMs);
    }
    noteCounts();
}

void TransferPool::failWaiting() {
    std::deque<Job> files;
    std::deque<Job> listings;
    files.swap(waiting_);
    listings.swap(waitingListings_);
    queuedFiles_ -= int(files.size());
    const QString lost =
        QStringLiteral("The connection to the server was lost and could not be opened again");
    for (Job& j : files) {
        const QString why = lost + QStringLiteral(": ") + describe(j);
        emit failure(why, j.batch ? j.batch->taskId : 0);
        TransferResult r = unfinishedResult(j);
        r.stopped = false;
        r.error = why;
        finishJob(j, r);
    }
    // A folder whose listing never ran is named for Retry, as its files would be.
    for (Job& j : listings) {
        if (std::unique_ptr<CommandGroup> g = j.make ? j.make() : nullptr)
            g->noteProblem(lost);
        finishJob(j, std::nullopt);
    }
}

TransferResult TransferPool::unfinishedResult(const Job& job) {
    if (job.lastResult) {
        // Cut short before: why it was, and how far it got.
        TransferResult r = *job.lastResult;
        r.success = false;
        return r;
    }
    TransferResult r;
    r.info = job.transfer.info;
    // The kind the list of transfers to retry knows it by.
    r.info.socketKind =
        int(job.transfer.direction == FileTransfer::Download ? SocketKind::DownloadFile
                                                             : SocketKind::UploadFile);
    r.position = r.info.startOffset;
    return r;
}

TransferPool::Job TransferPool::takeJob() {
    std::deque<Job>& line = waitingListings_.empty() ? waiting_ : waitingListings_;
    Job j = std::move(line.front());
    line.pop_front();
    return j;
}

std::optional<TransferPool::Job> TransferPool::takeJobFor(const Slot& slot) {
    // Files first: the main session lists while it is idle, the transfer
    // connections only when they have no file to move.
    if (waiting_.empty()) {
        if (waitingListings_.empty())
            return std::nullopt;
        Job j = std::move(waitingListings_.front());
        waitingListings_.pop_front();
        return j;
    }
    QSet<QByteArray> busy;
    std::map<const Batch*, int> moving;
    const auto noteRunning = [&](const std::optional<Job>& job) {
        if (!job || !job->isFile)
            return;
        for (const QByteArray& place : job->places)
            busy.insert(place);
        ++moving[job->batch.get()];
    };
    for (const auto& s : slots_)
        noteRunning(s->job);
    noteRunning(mainJob_);
    // A bounded look: a long queue costs little per file.
    constexpr size_t kScan = 4096;
    const size_t n = std::min(waiting_.size(), kScan);
    std::vector<size_t> free;
    for (size_t i = 0; i < n; ++i) {
        bool blocked = false;
        for (const QByteArray& place : waiting_[i].places) {
            blocked = blocked || busy.contains(place);
            busy.insert(place);  // for the jobs behind it
        }
        if (!blocked)
            free.push_back(i);
    }
    if (free.empty())
        return std::nullopt;
    const Batch* batch = waiting_[free.front()].batch.get();
    for (const size_t i : free) {
        const Batch* b = waiting_[i].batch.get();
        if (moving[b] < moving[batch])
            batch = b;
    }
    // Within the task, a bounded look ahead as well.
    constexpr size_t kLookAhead = 64;
    std::vector<size_t> mine;
    for (const size_t i : free)
        if (waiting_[i].batch.get() == batch && mine.size() < kLookAhead)
            mine.push_back(i);
    const auto folderOf = [this](size_t i) { return waiting_[i].transfer.info.remoteFolder; };
    size_t pick = mine.front();
    bool found = false;
    const QByteArray& here = slot.heading;
    for (const size_t i : mine) {
        if (!found && !here.isEmpty() && folderOf(i) == here)
            pick = i, found = true;
    }
    for (const size_t i : mine) {
        if (found)
            break;
        const bool taken = std::any_of(slots_.begin(), slots_.end(), [&](const auto& s) {
            return s.get() != &slot && s->heading == folderOf(i);
        });
        if (!taken)
            pick = i, found = true;
    }
    Job j = std::move(waiting_[pick]);
    waiting_.erase(waiting_.begin() + std::ptrdiff_t(pick));
    return j;
}

void TransferPool::openMore() {
    const int running = int(
        std::count_if(slots_.begin(), slots_.end(), [](const auto& s) { return bool(s->job); }));
    const int wanted = std::min(limit(), running + int(waiting_.size() + waitingListings_.size()));
    while (int(slots_.size()) < wanted)
        openSlot(*newSlot());
}

void TransferPool::runOnMain(bool listingsOnly) {
    if (mainJob_ || !main_.loggedIn())
        return;
    if (listingsOnly && (waitingListings_.empty() || !main_.queue().isEmpty()))
        return;
    if (!hasWaiting())
        return;
    Job j = takeJob();
    if (j.isFile)
        --queuedFiles_;
    mainResult_.reset();
    // Browsing moves the main session between folders: each job changes to
    // its own.
    std::unique_ptr<CommandGroup> g = buildGroup(j, std::make_shared<FolderCursor>(), 1);
    mainJob_ = std::move(j);
    if (!g) {
        QTimer::singleShot(0, this, [this, id = mainJob_->id] { jobGone(1, id); });
        return;
    }
    mainGroup_ = g.get();
    main_.queue().append(std::move(g));
    engine_.sendIfIdle();
}

void TransferPool::dispatch(Slot& slot, Job job) {
    if (job.isFile) {
        --queuedFiles_;
        slot.heading = job.transfer.info.remoteFolder;
    } else {
        slot.cursor->folder.clear();  // a listing changes folder
        slot.heading.clear();
    }
    slot.timer.stop();
    slot.result.reset();
    slot.unfinished = false;
    slot.removed = false;
    // A connection opened while the main one was still starting has not seen
    // its FEAT: what the main one knows now holds, with what this one learnt.
    ServerFeatures* mine = slot.session->serverFeatures();
    ServerFeatures known = main_.features();
    known.renameOverRefused = known.renameOverRefused || mine->renameOverRefused;
    known.noHashReported = known.noHashReported || mine->noHashReported;
    *mine = known;
    std::unique_ptr<CommandGroup> g = buildGroup(job, slot.cursor, slot.number);
    slot.job = std::move(job);
    if (!g) {
        QTimer::singleShot(0, this, [this, n = slot.number, id = slot.job->id] { jobGone(n, id); });
        return;
    }
    slot.group = g.get();
    slot.session->queue().append(std::move(g));
    slot.session->advance(false);
}

std::unique_ptr<CommandGroup> TransferPool::buildGroup(Job& job,
                                                       std::shared_ptr<FolderCursor> cursor,
                                                       int number) {
    QPointer<TransferPool> guard(this);
    const quint64 id = job.id;
    std::unique_ptr<CommandGroup> g;
    if (job.isFile) {
        g = makeFileTransferGroup(job.transfer, std::move(cursor),
                                  [guard, number, id](const TransferResult& r) {
                                      if (guard)
                                          guard->noteResult(number, id, r);
                                  });
    } else if (job.make) {
        g = job.make();
    }
    if (g) {
        g->whenDestroyed = [guard, number, id] {
            if (guard)
                QTimer::singleShot(0, guard.data(), [guard, number, id] {
                    if (guard)
                        guard->jobGone(number, id);
                });
        };
    }
    return g;
}

void TransferPool::noteResult(int number, quint64 id, const TransferResult& result) {
    if (number == 1) {
        if (mainJob_ && mainJob_->id == id)
            mainResult_ = result;
        return;
    }
    Slot* s = slotByNumber(number);
    if (s && s->job && s->job->id == id)
        s->result = result;
}

void TransferPool::jobGone(int number, quint64 id) {
    if (number == 1) {
        if (!mainJob_ || mainJob_->id != id)
            return;
        Job j = std::move(*mainJob_);
        mainJob_.reset();
        mainGroup_ = nullptr;
        finishJob(j, mainResult_);
        mainResult_.reset();
        pump();
        return;
    }
    Slot* s = slotByNumber(number);
    if (!s || !s->job || s->job->id != id)
        return;
    Job j = std::move(*s->job);
    s->job.reset();
    s->group = nullptr;
    const std::optional<TransferResult> r = std::move(s->result);
    s->result.reset();
    const bool requeue = s->unfinished && !s->removed && !(r && r->success);
    s->unfinished = s->removed = false;
    if (!requeue) {
        if (r && r->success)
            s->reopenAttempt = 0;
        finishJob(j, r);
    } else if (++j.drops < kMaxDrops) {
        if (r)
            j.lastResult = r;
        resumeAfterDrop(j, r);
        enqueue(std::move(j), true);
    } else {
        const QString why = QStringLiteral("Given up after the connection broke %1 times: %2")
                                .arg(kMaxDrops)
                                .arg(describe(j));
        emit failure(why, j.batch ? j.batch->taskId : 0);
        std::optional<TransferResult> failed = r;
        if (failed && failed->error.isEmpty())
            failed->error = why;
        finishJob(j, failed);
    }
    pump();
}

void TransferPool::resumeAfterDrop(Job& job, const std::optional<TransferResult>& result) {
    if (!job.isFile || !result)
        return;
    // An upload goes on in the temporary the broken attempt left, after what the
    // server says it holds (the store asks; the group checks the file is the same
    // version still), or where it can not, is stored again from its start under a
    // temporary of its own (the old one goes once it is in place); a download
    // that was continuing the local file itself continues it from where the
    // data stopped.
    TransferInfo& info = job.transfer.info;
    if (job.transfer.direction == FileTransfer::Upload && !result->keptTemporary.isEmpty()) {
        const QByteArray tag = uploadTemporaryTag(result->keptTemporary);
        const bool canGoOn = !tag.isEmpty() && main_.serverSupportsSize() &&
                             uploadTemporaryName(info.fileName, tag) == result->keptTemporary;
        if (canGoOn) {
            info.publish.temporaryTag = tag;
            info.publish.continuesTemporary = true;
            info.publish.asksTemporarySize = true;
        } else if (result->keptTemporary !=
                   uploadTemporaryName(info.fileName, info.publish.temporaryTag)) {
            info.publish.staleTemporaries.push_back(result->keptTemporary);
        }
    }
    if (job.transfer.direction != FileTransfer::Download || !main_.serverSupportsRest())
        return;
    if (info.startOffset > 0 && !info.continuesKept) {
        if (result->position > info.startOffset)
            info.startOffset = result->position;
        return;
    }
    // A download into its part file continues what the part kept, when it
    // kept any (it says how much, and of which server file).
    const std::optional<KeptPart> kept = PartialDownload::inspect(info.localPath);
    if (kept && kept->length > 0 && kept->source == DownloadFileGroup::sourceOf(info) &&
        (info.total <= 0 || kept->length < info.total)) {
        info.startOffset = kept->length;
        info.continuesKept = true;
    }
}

QString TransferPool::describe(const Job& job) const {
    if (!job.isFile)
        return QStringLiteral("a folder listing");
    const TransferInfo& i = job.transfer.info;
    return QString::fromUtf8(i.remoteFolder.endsWith('/') ? i.remoteFolder + i.fileName
                                                          : i.remoteFolder + '/' + i.fileName);
}

void TransferPool::finishJob(Job& job, const std::optional<TransferResult>& result) {
    // A failure carries its reason into the list of transfers to retry.
    if (job.isFile && result)
        engine_.announceTransfer(*result);
    if (job.batch) {
        job.batch->outstanding.erase(job.id);
        releaseHeld(*job.batch);
    }
}

// ------------------------------------------------------------- the user's

bool TransferPool::removeTransfer(const CommandGroup* group) {
    for (const auto& s : slots_) {
        if (s->job && s->group == group) {
            s->removed = true;
            const quint64 task = taskOf(*s);
            s->session->removeGroup(const_cast<CommandGroup*>(group));
            emit transferRemoved(task);
            return true;
        }
    }
    const int i = main_.queue().indexOf(group);
    if (i < 0)
        return false;
    main_.removeGroup(main_.queue().at(i));
    return true;
}

void TransferPool::clearAll() {
    for (std::deque<Job>* line : {&waiting_, &waitingListings_}) {
        for (Job& j : *line)
            if (j.batch)
                j.batch->outstanding.erase(j.id);
    }
    dropWaiting(QString());
    for (const auto& s : slots_) {
        if (!s->job)
            continue;
        s->removed = true;
        s->session->clearQueue();
    }
    // Work held for the jobs goes unsaid, as the queue's own would.
    std::map<const CommandGroup*, std::shared_ptr<Batch>> doomed;
    doomed.swap(batches_);
    for (auto& [marker, batch] : doomed)
        batch->held.clear();
    doomed.clear();
    released_.clear();
    main_.clearQueue();
    pump();
}

void TransferPool::cancelForOwner(quintptr token) {
    if (token == 0)
        return;
    std::vector<std::shared_ptr<Batch>> touched;
    for (auto it = waitingListings_.begin(); it != waitingListings_.end();) {
        if (it->owner != token) {
            ++it;
            continue;
        }
        if (it->batch) {
            it->batch->outstanding.erase(it->id);
            touched.push_back(it->batch);
        }
        it = waitingListings_.erase(it);
    }
    for (const auto& s : slots_)
        s->session->cancelForOwner(token);
    for (const auto& b : touched)
        releaseHeld(*b);
    pump();
}

void TransferPool::dropWaiting(const QString& why) {
    std::deque<Job> files;
    std::deque<Job> listings;
    files.swap(waiting_);
    listings.swap(waitingListings_);
    queuedFiles_ = 0;
    // Work that never began is told as its queue's own would be: a file as a
    // transfer that did not finish, a folder's listing as the folder.
    for (Job& j : files) {
        TransferResult r = unfinishedResult(j);
        if (r.error.isEmpty()) {
            r.error = why;
            r.stopped = why.isEmpty();
        }
        engine_.announceTransfer(r);
    }
    for (Job& j : listings) {
        std::unique_ptr<CommandGroup> g = j.make ? j.make() : nullptr;
        if (!g)
            continue;
        if (why.isEmpty())
            g->noteStopped();
        else
            g->noteProblem(why);
    }
}

void TransferPool::shutDown() {
    // What runs on a transfer connection ends as the main queue's work does,
    // told as stopped; a job whose connection broke just before is told too.
    for (const auto& slot : slots_) {
        Slot& sl = *slot;
        CommandQueue& q = sl.session->queue();
        for (int i = 0; i < q.size(); ++i)
            if (q.at(i)->problem().isEmpty())
                q.at(i)->noteStopped();
        q.clear();  // a file's result reaches the slot now
        if (!sl.job)
            continue;
        Job j = std::move(*sl.job);
        sl.job.reset();
        if (j.isFile && sl.result)
            engine_.announceTransfer(*sl.result);
        else if (!j.isFile && sl.unfinished)
            enqueue(std::move(j), true);  // its listing was given back
    }
    if (mainJob_ && mainJob_->isFile && mainResult_)
        engine_.announceTransfer(*mainResult_);
    dropWaiting(QString());
    std::vector<std::unique_ptr<Slot>> doomed;
    doomed.swap(slots_);
    for (auto& s : doomed) {
        s->timer.stop();
        s->session->disconnect(this);
        s->session->queue().clear();
        s->session->closeConnection();
        retired_.push_back(std::move(s));
    }
    QTimer::singleShot(0, this, [this] { retired_.clear(); });
    mainJob_.reset();
    mainGroup_ = nullptr;
    mainResult_.reset();
    std::map<const CommandGroup*, std::shared_ptr<Batch>> batches;
    batches.swap(batches_);
    for (auto& [marker, batch] : batches)
        batch->held.clear();
    batches.clear();
    released_.clear();
    holding_.reset();
    noteCounts();
}

// ------------------------------------------------------------------ state

bool TransferPool::carriesOn(quint64 taskId) const {
    // Its completed entry passed the main queue's head, so nothing of the task
    // is left there: only its jobs, which go on without the main connection.
    for (const auto& [marker, batch] : batches_) {
        if (batch->taskId != taskId || batch->outstanding.empty())
            continue;
        for (const Held& h : batch->held)
            if (h.group.get() == batch->marker)
                return true;
    }
    return false;
}

bool TransferPool::busy() const {
    if (hasWaiting() || mainJob_)
        return true;
    for (const auto& s : slots_)
        if (s->job)
            return true;
    for (const auto& [marker, batch] : batches_)
        if (!batch->held.empty())
            return true;
    return false;
}

int TransferPool::runningTransfers() const {
    // One on the main session is counted there, with its queue.
    int n = 0;
    for (const auto& s : slots_)
        if (s->job && s->job->isFile)
            ++n;
    return n;
}

void TransferPool::noteCounts() {
    emit countsChanged();
    const bool now = busy();
    if (wasBusy_ && !now)
        emit idle();
    wasBusy_ = now;
}
