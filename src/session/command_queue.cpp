#include "session/command_queue.h"

#include "session/direct_download_group.h"
#include "session/listing_group.h"
#include "session/socket_group.h"

CommandQueue::~CommandQueue() {
    clear();
}

CommandGroup* CommandQueue::append(std::unique_ptr<CommandGroup> group) {
    return insert(size(), std::move(group));
}

CommandGroup* CommandQueue::insert(int index, std::unique_ptr<CommandGroup> group) {
    index = qBound(0, index, size());
    CommandGroup* g = group.get();
    g->queue_ = this;
    groups_.insert(groups_.begin() + index, std::move(group));
    g->onAttached();
    return g;
}

PureGroup* CommandQueue::addCommand(const QByteArray& name, const QByteArray& argument) {
    return insertCommand(size(), name, argument);
}

PureGroup* CommandQueue::insertCommand(int index, const QByteArray& name,
                                       const QByteArray& argument) {
    return insertCommands(index, {{name, argument}});
}

PureGroup* CommandQueue::addCommands(const StepList& steps, quintptr ownerToken) {
    return insertCommands(size(), steps, ownerToken);
}

PureGroup* CommandQueue::insertCommands(int index, const StepList& steps, quintptr ownerToken) {
    auto g = std::make_unique<PureGroup>(steps);
    g->notifyOwner = ownerToken != 0;
    g->ownerToken = ownerToken;
    return static_cast<PureGroup*>(insert(index, std::move(g)));
}

FakeGroup* CommandQueue::addFakeStart(const QString& caption) {
    auto g = std::make_unique<FakeGroup>(FakeKind::Start, 0, caption);
    g->taskId = ++lastTaskId_;
    return static_cast<FakeGroup*>(append(std::move(g)));
}

FakeGroup* CommandQueue::addFakeCompleted(int value, const QString& caption, quintptr ownerToken) {
    auto g = std::make_unique<FakeGroup>(FakeKind::Completed, value, caption);
    g->ownerToken = ownerToken;
    g->taskId = lastTaskId_;
    return static_cast<FakeGroup*>(append(std::move(g)));
}

FakeGroup* CommandQueue::insertDownloadToFolder(int index, const QString& folder) {
    return static_cast<FakeGroup*>(insert(
        index, std::make_unique<FakeGroup>(FakeKind::DownloadToFolder, 0, QString(), folder)));
}

int CommandQueue::indexOf(const CommandGroup* group) const {
    for (size_t i = 0; i < groups_.size(); ++i)
        if (groups_[i].get() == group)
            return int(i);
    return -1;
}

std::unique_ptr<CommandGroup> CommandQueue::takeAt(int index) {
    if (index < 0 || index >= size())
        return nullptr;
    std::unique_ptr<CommandGroup> g = std::move(groups_[size_t(index)]);
    groups_.erase(groups_.begin() + index);
    return g;
}

void CommandQueue::clear() {
    // Destructors may look at the queue (counts in traces): empty it first.
    std::vector<std::unique_ptr<CommandGroup>> doomed;
    doomed.swap(groups_);
    doomed.clear();
}

bool CommandQueue::cancelForOwner(quintptr token) {
    if (token == 0)
        return false;
    bool removed = false;
    for (int i = size() - 1; i >= 0; --i) {
        CommandGroup* g = at(i);
        bool drop = false;
        if (g->kind() == GroupKind::Pure) {
            auto* p = static_cast<PureGroup*>(g);
            bool anySent = false;
            for (const CommandStep& s : p->steps())
                anySent = anySent || s.sent;
            drop = p->notifyOwner && p->ownerToken == token && !anySent;
        } else if (g->kind() == GroupKind::Socket &&
                   static_cast<SocketGroup*>(g)->socketKind() == SocketKind::List) {
            auto* l = static_cast<ListingGroup*>(g);
            const int k = int(l->actionKind());
            if (k >= 13 && k <= 16 && l->ownerToken() == token) {
                l->clearOwner();
                // One whose command is on the wire stays: its reply is due.
                drop = l->lastSentIndex() < 0;
            }
        }
        if (drop) {
            takeAt(i);
            removed = true;
        }
    }
    return removed;
}

quint64 CommandQueue::ownerTask(quintptr token) const {
    if (token == 0)
        return 0;
    for (int i = 0; i < size(); ++i) {
        const CommandGroup* g = at(i);
        if (g->kind() != GroupKind::Fake)
            continue;
        const auto* f = static_cast<const FakeGroup*>(g);
        if (f->fakeKind == FakeKind::Completed && f->ownerToken == token)
            return f->taskId;
    }
    return 0;
}

int CommandQueue::findDirectDownload(DirectPurpose purpose, const QByteArray& folder,
                                     const QByteArray& name) const {
    for (int i = 0; i < size(); ++i) {
        CommandGroup* g = at(i);
        if (g->kind() != GroupKind::Socket ||
            static_cast<SocketGroup*>(g)->socketKind() != SocketKind::DirectDownload)
            continue;
        auto* d = static_cast<DirectDownloadGroup*>(g);
        if (d->purpose == purpose && d->info().remoteFolder == folder &&
            d->info().fileName == name && d->info().remoteFolder.isNull() == folder.isNull() &&
            d->info().fileName.isNull() == name.isNull())
            return i;
    }
    return -1;
}

bool CommandQueue::hasPendingTransfer() const {
    for (const auto& up : groups_) {
        if (up->kind() != GroupKind::Socket)
            continue;
        auto* s = static_cast<SocketGroup*>(up.get());
        const int sk = int(s->socketKind());
        if (sk == int(SocketKind::List)) {
            const int k = int(static_cast<ListingGroup*>(s)->actionKind());
            if (k == 8 || k == 9 || k == 10 || k == 12)
                return true;
        } else if (sk >= 2 && sk <= 5 && !s->isComplete()) {
            return true;
        }
    }
    return false;
}

QByteArray CommandQueue::describe(const CommandGroup& group, int markedIndex) {
    QByteArray text;
    QList<QByteArray> unsent;
    bool first = true;
    const auto& steps = group.steps();
    for (int i = 0; i < steps.size(); ++i) {
        if (!steps[i].sent) {
            unsent.append(steps[i].name);
            continue;
        }
        if (!first)
            text += ", ";
        first = false;
        text += i == markedIndex ? '<' + steps[i].name + '>' : steps[i].name;
    }
    if (!unsent.isEmpty()) {
        if (!text.isEmpty())
            text += "  ";
        text += '{';
        text += unsent.join(", ");
        text += '}';
    }
    return text;
}
