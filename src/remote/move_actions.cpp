#include "remote/move_actions.h"

#include "remote/action_engine.h"
#include "remote/folder_actions.h"
#include "remote/remote_path.h"
#include "session/command_queue.h"
#include "session/log_line.h"

namespace {

// The renames of a move. When they stop early (the source folder refused, the
// group removed) the session does not stand in the source, and the short
// refresh queued behind would show another folder's entries as the source's:
// it is dropped too.
class MoveRenamesGroup : public PureGroup {
public:
    MoveRenamesGroup(const StepList& steps, const RefreshFolderAction* sourceRefresh)
        : PureGroup(steps), sourceRefresh_(sourceRefresh), source_(sourceRefresh->folder) {}

    void onFinished(bool) override {
        CommandQueue* q = queue();
        if (!q || !hasUnsentStep())
            return;
        const int index = q->indexOf(sourceRefresh_);
        if (index < 0)
            return;  // the user removed it already
        // The address alone could belong to a newer group by now.
        auto* refresh = dynamic_cast<RefreshFolderAction*>(q->at(index));
        if (refresh && refresh->folder == source_ && refresh->lastSentIndex() < 0)
            q->takeAt(index);
    }

private:
    const RefreshFolderAction* sourceRefresh_;
    QByteArray source_;
};

}  // namespace

void MoveIntoAction::process(const RemoteItemList& items) {
    StepList renames{{"CWD", request.sourceFolder}};
    for (const QByteArray& name : request.names) {
        if (items.contains(name)) {
            if (GroupHost* h = host())
                h->reportFailure(QStringLiteral("Not moved, %1 exists already in %2")
                                     .arg(displayText(name), displayText(folder)));
            continue;
        }
        renames.append({"RNFR", name});
        renames.append({"RNTO", joinRemotePath(folder, name)});
    }
    if (renames.size() == 1)
        return;
    // The session stands in the source after the renames.
    auto sourceRefresh = std::make_unique<RefreshFolderAction>(engine(), request.sourceFolder,
                                                               engine().shortListingSequence());
    insertNext(std::make_unique<MoveRenamesGroup>(renames, sourceRefresh.get()));
    insertNext(std::move(sourceRefresh));
    insertNext(
        std::make_unique<RefreshFolderAction>(engine(), folder, engine().listingSequence(folder)));
}
