#include "remote/folder_actions.h"

#include "remote/action_engine.h"
#include "remote/remote_path.h"
#include "session/command_queue.h"
#include "session/publish_plan.h"
#include "session/pure_group.h"
#include "session/stored_size_check.h"

#include <functional>

bool ProjectWalkReaches(const QByteArray& start, const QByteArray& target) {
    if (start.isEmpty() || target.isEmpty() || start.size() > target.size() ||
        !target.startsWith(start))
        return false;
    // "/ww" begins "/www/site" but is no ancestor of it.
    return start.size() == target.size() || start.endsWith('/') || target[start.size()] == '/';
}

namespace {

// One step of the walk: queue the listing of the next component of the remote
// project folder when this listing holds it.
void continueWalk(ListingAction& action, const RemoteItemList& items, bool first,
                  const std::function<CommandGroup*(std::unique_ptr<CommandGroup>)>& insertNext) {
    ActionEngine& engine = action.engine();
    const QByteArray target = engine.remoteProjectFolder();
    if (target.isEmpty())
        return;
    const QByteArray& folder = action.folder;
    if (!ProjectWalkReaches(folder, target))
        return;
    if (folder == target) {
        engine.announceProjectFolder(target);
        return;
    }
    qsizetype start = folder.size();
    if (target[start] == '/')
        ++start;
    qsizetype end = target.indexOf('/', start);
    if (end < 0)
        end = target.size();
    const QByteArray component = target.mid(start, end - start);
    if (component.isEmpty() || !items.contains(component)) {
        engine.announceProjectWalkStopped(target);
        return;
    }
    const QByteArray next = joinRemotePath(folder, component);
    auto step = std::make_unique<SequenceFolderAction>(engine, next, engine.listingSequence(next));
    if (first) {
        insertNext(std::make_unique<FakeGroup>(
            FakeKind::Start, 0, QStringLiteral("Start initializing project Folder")));
        insertNext(std::move(step));
        insertNext(std::make_unique<FakeGroup>(
            FakeKind::Completed, 0, QStringLiteral("Initializing project Folder completed")));
    } else {
        insertNext(std::move(step));
    }
}

}  // namespace

void InitFolderAction::process(const RemoteItemList& items) {
    engine().announceRoot(folder, items);
    continueWalk(*this, items, true,
                 [this](std::unique_ptr<CommandGroup> g) { return insertNext(std::move(g)); });
}

void SequenceFolderAction::process(const RemoteItemList& items) {
    engine().announceListing(*this, items);
    continueWalk(*this, items, false,
                 [this](std::unique_ptr<CommandGroup> g) { return insertNext(std::move(g)); });
}

RefreshFolderAction::~RefreshFolderAction() {
    if (!sizeCheck || sizeCheck->settled())
        return;
    // Without the listing the uploads stand as the server confirmed them.
    if (GroupHost* h = host())
        h->log(LogChannel::Error,
               QStringLiteral("Sizes of the files stored in %1 not checked: the folder was not "
                              "listed")
                   .arg(displayText(folder)));
    sizeCheck->release();
}

void RefreshFolderAction::process(const RemoteItemList& items) {
    if (sizeCheck) {
        QStringList unlisted;
        const QStringList failures = sizeCheck->settle(
            [&items](const QByteArray& name) {
                const std::optional<RemoteItem> item = items.itemOf(name);
                return item && item->kind == '-' ? std::optional<qint64>(item->size) : std::nullopt;
            },
            &unlisted);
        if (GroupHost* h = host()) {
            for (const QString& path : unlisted)
                h->log(LogChannel::Status,
                       QStringLiteral("Size of %1 not checked: the listing does not show it")
                           .arg(path));
            for (const QString& text : failures)
                h->reportFailure(text);
        }
    }
    engine().announceListing(*this, items);
    engine().announceRefresh(target, folder, items);
    if (deletedFiles.isEmpty())
        return;
    StepList leftovers{{"CWD", folder}};
    for (int i = 0; i < items.size(); ++i) {
        // A file the server would not delete keeps its temporaries to resume.
        const QByteArray name = items.view(i).name.toByteArray();
        const QByteArray target = uploadTemporaryTarget(name);
        if (items.view(i).kind == '-' && deletedFiles.contains(target) && !items.contains(target))
            leftovers.append({"DELE", name});
    }
    if (leftovers.size() == 1)
        return;
    insertNext(std::make_unique<PureGroup>(leftovers));
    insertNext(std::make_unique<RefreshFolderAction>(engine(), folder,
                                                     engine().listingSequence(folder), target));
}
