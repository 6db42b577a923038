#pragma once

#include "session/command_step.h"
#include "session/direct_purpose.h"
#include "session/log_line.h"
#include "session/tls_status.h"

#include <QString>

#include <functional>
#include <optional>

class CommandQueue;
class TransportFactory;
struct Reply;
struct ServerFeatures;

enum class GroupKind { Pure = 0, Fake = 1, Socket = 2 };

const char* groupKindName(int kind);

// What a group may ask of the session it runs in. The session implements it; the
// queue hands it to every group it holds.
class GroupHost {
public:
    virtual ~GroupHost() = default;
    virtual void log(LogChannel channel, const QString& text) = 0;
    virtual void info(int level, const QString& text) = 0;
    // Someone shows information lines of this level: a large text (a whole
    // listing) is only made for the log when it is.
    virtual bool showsInfo(int level) const { return level >= 0; }
    virtual TransportFactory* transportFactory() = 0;
    virtual int queueCount() const = 0;
    // Dotted address of the control connection's peer.
    virtual QString controlPeer() const = 0;
    virtual bool showActiveServerFiles() const = 0;
    // How data connections start TLS; none while they stay plain.
    virtual std::optional<TlsRequest> dataTls() const { return std::nullopt; }
    // Files travel as bytes (TYPE I): their sizes can be compared exactly.
    virtual bool binaryTransfers() const { return false; }
    // The server answers SIZE and files travel as bytes: a stored file's size
    // is asked after the upload.
    virtual bool checksStoredSize() const { return false; }
    // What the server announced and was seen to refuse; none before login.
    virtual ServerFeatures* serverFeatures() { return nullptr; }
    virtual void transferStarted(const class SocketGroup* group,
                                 const struct TransferInfo& info) = 0;
    virtual void transferProgress(const class SocketGroup* group, qint64 position) = 0;
    virtual void transferEnded(const class SocketGroup* group) = 0;
    // A data connection closed: a final reply that waited for it can go on.
    virtual void dataClosed(const class SocketGroup* group) = 0;
    // Bytes of a direct download as they arrive, and the whole content at the
    // end with the file's time as its folder's listing showed it (empty when not known).
    virtual void directData(DirectPurpose purpose, const QByteArray& folder, const QByteArray& name,
                            const QByteArray& chunk) = 0;
    virtual void directContent(DirectPurpose purpose, const QByteArray& folder,
                               const QByteArray& name, const QByteArray& content,
                               const QByteArray& modified) = 0;
    // Something went wrong that no reply code tells: a local file, a lost
    // connection. Written as an error line and counted as a failure.
    virtual void reportFailure(const QString& text) = 0;
};

// A short sequence of command steps that belong together, plus what the group
// needs to finish.
class CommandGroup {
public:
    CommandGroup() = default;
    explicit CommandGroup(const StepList& steps);
    virtual ~CommandGroup();
    CommandGroup(const CommandGroup&) = delete;
    CommandGroup& operator=(const CommandGroup&) = delete;

    virtual GroupKind kind() const = 0;
    virtual bool startData(const QString& host, int port);
    virtual bool isComplete() const = 0;

    // Called when the group enters a queue, and when a step of it went out.
    virtual void onAttached() {}
    virtual void onStepSent(const CommandStep&) {}
    // Called once when the group leaves the queue: success is true when its last
    // reply was one its commands expect.
    virtual void onFinished(bool) {}
    // Called when the group reaches the head, before its first step goes out.
    // A text makes the session drop the group unsent, written as an error line.
    virtual QString prepareToSend();
    // Every reply to a command of this group, before the session acts on it
    // (a reply that has to wait may come again).
    virtual void replyArrived(const Reply&) {}
    // Whether the next step may go out now that the last one was answered.
    virtual bool readyToContinue() const { return true; }
    // A refusal of the step on the wire that the group deals with itself by
    // changing its unsent steps: true when it did. The session then goes on
    // with the group and counts no refusal.
    virtual bool takeRefusal(const CommandStep&, int) { return false; }

    QList<CommandStep>& steps() { return steps_; }
    const QList<CommandStep>& steps() const { return steps_; }
    void addStep(const QByteArray& name, const QByteArray& argument = QByteArray());
    bool hasUnsentStep() const;
    int firstUnsentIndex() const;
    // Index of the most recent sent step, searching from the last; -1 when none.
    int lastSentIndex() const;
    bool hasSentStepNamed(const char* name) const;

    CommandQueue* queue() const { return queue_; }
    GroupHost* host() const;

    // Why the group ends without success, as far as anyone could tell: a
    // refusal, a local failure, a lost connection. The first reason stays.
    void noteProblem(const QString& text) {
        if (problem_.isEmpty())
            problem_ = text;
    }
    const QString& problem() const { return problem_; }
    // The user took the group out (or all work with it).
    void noteStopped() { stopped_ = true; }
    bool stopped() const { return stopped_; }
    // Called from the destructor, however the group ends (finished, removed,
    // the queue emptied). It must not touch the group.
    std::function<void()> whenDestroyed;

private:
    friend class CommandQueue;
    QList<CommandStep> steps_;
    CommandQueue* queue_ = nullptr;
    QString problem_;
    bool stopped_ = false;
};
