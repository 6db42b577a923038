#pragma once

#include "session/command_group.h"
#include "session/fake_group.h"
#include "session/pure_group.h"

#include <memory>
#include <vector>

// The ordered queue of command groups, head first. Only the head is active;
// sending is the session's (see FtpSession::advance).
class CommandQueue {
public:
    explicit CommandQueue(GroupHost* host = nullptr) : host_(host) {}
    ~CommandQueue();
    CommandQueue(const CommandQueue&) = delete;
    CommandQueue& operator=(const CommandQueue&) = delete;

    GroupHost* host() const { return host_; }
    void setHost(GroupHost* host) { host_ = host; }

    // Generic placement; both return the group now owned by the queue.
    CommandGroup* append(std::unique_ptr<CommandGroup> group);
    CommandGroup* insert(int index, std::unique_ptr<CommandGroup> group);

    PureGroup* addCommand(const QByteArray& name, const QByteArray& argument = QByteArray());
    PureGroup* insertCommand(int index, const QByteArray& name,
                             const QByteArray& argument = QByteArray());
    PureGroup* addCommands(const StepList& steps, quintptr ownerToken = 0);
    PureGroup* insertCommands(int index, const StepList& steps, quintptr ownerToken = 0);
    // A completed entry belongs to the task of the start added last.
    FakeGroup* addFakeStart(const QString& caption);
    FakeGroup* addFakeCompleted(int value, const QString& caption, quintptr ownerToken = 0);
    FakeGroup* insertDownloadToFolder(int index, const QString& folder);

    bool isEmpty() const { return groups_.empty(); }
    int size() const { return int(groups_.size()); }
    CommandGroup* head() const { return groups_.empty() ? nullptr : groups_.front().get(); }
    CommandGroup* at(int index) const { return groups_[size_t(index)].get(); }
    int indexOf(const CommandGroup* group) const;

    // Takes a group out; the caller decides when it is destroyed.
    std::unique_ptr<CommandGroup> takeAt(int index);
    void clear();

    // Removes the pure groups and loop listings of an owner that went away
    // that have not started; true when anything was removed.
    bool cancelForOwner(quintptr token);
    // The task whose completed marker names that owner and is still queued;
    // 0 when none is.
    quint64 ownerTask(quintptr token) const;
    // Index of the first direct download of that file for that purpose, -1
    // when none.
    int findDirectDownload(DirectPurpose purpose, const QByteArray& folder,
                           const QByteArray& name) const;
    bool hasPendingTransfer() const;

    // The group text of log lines: sent step names, the marked one in < >, the
    // unsent ones in { }.
    static QByteArray describe(const CommandGroup& group, int markedIndex = -1);

private:
    GroupHost* host_;
    std::vector<std::unique_ptr<CommandGroup>> groups_;
    quint64 lastTaskId_ = 0;
};
