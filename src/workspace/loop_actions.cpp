#include "workspace/loop_actions.h"

#include "remote/action_engine.h"
#include "remote/folder_actions.h"
#include "remote/local_name_guard.h"
#include "remote/remote_path.h"
#include "remote/remote_time.h"
#include "remote/transfer_pool.h"
#include "session/ftp_session.h"
#include "session/publish_plan.h"
#include "workspace/deploy_state.h"
#include "workspace/project_folders.h"

namespace {

void logError(ActionEngine& engine, const QString& text) {
    engine.session().log(LogChannel::Error, text);
}

// A name that would lead a walk out of its folder (or round in it).
bool walkableName(ActionEngine& engine, const QByteArray& folder, const QByteArray& name) {
    if (isSafeLocalName(name))
        return true;
    logError(engine, QStringLiteral("Not entered, the name can not be a folder of %1: %2")
                         .arg(displayText(folder), displayText(name)));
    return false;
}

}  // namespace

// ------------------------------------------------------------------- compare

QString CompareParams::localRelative() const {
    return localRelativePath.isNull() ? localNameOf(relativePath) : localRelativePath;
}

CompareItemsAction::CompareItemsAction(ActionEngine& engine, const StepList& steps,
                                       CompareParams params, OwnerRef<CompareOwner> owner)
    : ListingAction(engine, ActionKind::CompareItems,
                    joinRemotePath(params.remoteProjectFolder, params.relativePath), steps),
      params(std::move(params)),
      owner(std::move(owner)) {}

void CompareItemsAction::process(const RemoteItemList& items) {
    CompareOwner* o = owner.get();
    if (!o)
        return;
    // Server names become local paths here: those that cannot are left out.
    RemoteItemList usable;
    for (const RemoteItem& item : items) {
        if (!params.ownFiles && item.kind == '-' &&
            (isUploadTemporaryName(item.name) ||
             (params.relativePath.isEmpty() &&
              (item.name == DeployState::kFileName || item.name == DeployState::kTempName))))
            continue;
        if (isSafeLocalName(item.name))
            usable.append(item);
        else
            logError(engine(), QStringLiteral("Not compared, the name can not be a local path: %1")
                                   .arg(displayText(joinRemotePath(folder, item.name))));
    }
    const QString localFolder = JoinLocalPath(params.localProjectFolder, params.localRelative());
    DateJudge dates;
    dates.enabled = params.dates;
    dates.mlsd = hasSentStepNamed("MLSD");
    dates.listOffset = params.listOffset;
    if (ListOffsetFinder* f = params.offsetFinder.get(); f && dates.enabled && !dates.mlsd) {
        if (!f->found && !f->facts.isEmpty()) {
            f->found = listTimeOffset(items, f->facts);
            f->facts = RemoteItemList();
            if (f->found && f->onFound)
                f->onFound(*f->found);
        }
        if (f->found)
            dates.listOffset = *f->found;
    }
    FolderCompareResult result = CompareFolder(localFolder, usable, params.options, dates);
    result.relativePath = params.relativePath;
    if (!result.localReadable)
        logError(engine(), QStringLiteral("Local folder can not be read: ") + localFolder);
    if (!o->compareResult(result))
        return;
    if (!(params.options & CompareOptions::SubFolders) || owner.stopped())
        return;
    for (const CompareItem& item : result.items) {
        o = owner.get();
        if (!o)
            return;
        o->compareProgressStep();
        if (!item.isCommonFolder())
            continue;
        CompareParams child = params;
        child.relativePath = params.relativePath.isEmpty()
                                 ? item.remoteName
                                 : params.relativePath + '/' + item.remoteName;
        child.localRelativePath = JoinLocalPath(params.localRelative(), item.localName);
        const QByteArray remote = joinRemotePath(params.remoteProjectFolder, child.relativePath);
        const std::optional<RemoteItem> listed = items.itemOf(item.remoteName);
        if (!mayEnter(remote, listed ? *listed : RemoteItem()))
            continue;
        if (TransferPool* pool = engine().transferPool()) {
            // The transfer connections list the sub-folders side by side.
            ActionEngine& e = engine();
            pool->submitListing(
                [&e, remote, child, o = owner,
                 walk = sharedWalk()]() -> std::unique_ptr<CommandGroup> {
                    auto action = std::make_unique<CompareItemsAction>(e, e.listingSequence(remote),
                                                                       child, o);
                    action->joinWalk(walk);
                    return action;
                },
                owner.token(), *this);
            continue;
        }
        insertInWalk(std::make_unique<CompareItemsAction>(
            engine(), engine().listingSequence(remote), std::move(child), owner));
    }
}

// -------------------------------------------------------------------- search

SearchItemsAction::SearchItemsAction(ActionEngine& engine, QByteArray folder, const StepList& steps,
                                     SearchCriteria criteria, OwnerRef<SearchOwner> owner)
    : ListingAction(engine, ActionKind::SearchItems, std::move(folder), steps),
      criteria(std::move(criteria)),
      owner(std::move(owner)) {}

void SearchItemsAction::process(const RemoteItemList& items) {
    int matches = 0;
    for (const RemoteItem& item : items) {
        SearchOwner* o = owner.get();
        if (!o)
            return;
        o->searchProgressStep();
        if (MatchesSearch(item, criteria) && !o->searchResult({item, folder, matches++}))
            return;
    }
    if (owner.stopped() || !owner.get())
        return;
    for (const RemoteItem& item : items) {
        if (item.kind != 'd' && item.kind != 'l')
            continue;
        if (!walkableName(engine(), folder, item.name))
            continue;
        const QByteArray path = joinRemotePath(folder, item.name);
        if (!mayEnter(path, item))
            continue;
        insertInWalk(std::make_unique<SearchItemsAction>(
            engine(), path, engine().listingSequence(path), criteria, owner));
    }
}

// --------------------------------------------------------------- change case

ChangeCaseAction::ChangeCaseAction(ActionEngine& engine, ActionKind kind, QByteArray folder,
                                   const StepList& steps, ChangeCaseOptions options,
                                   OwnerRef<ChangeCaseOwner> owner, bool dryRun)
    : ListingAction(engine, kind, std::move(folder), steps),
      options(options),
      owner(std::move(owner)),
      dryRun(dryRun) {}

void ChangeCaseAction::process(const RemoteItemList& items) {
    if (!owner.get())
        return;
    const bool subFolders = options.bits & ChangeCaseOptions::SubFolders;
    if (actionKind() == ActionKind::ChangeCaseFurther) {
        std::vector<RemoteItem> folders;
        for (const RemoteItem& item : items) {
            if (item.kind == 'd' || item.kind == 'l')
                folders.push_back(item);
        }
        descend(folders);
        return;
    }
    for (int i = 0; i < items.size(); ++i) {
        ChangeCaseOwner* o = owner.get();
        if (!o)
            return;
        o->changeCaseProgressStep();
    }
    const CaseChangePlan plan = PlanCaseChanges(folder, items, options);
    for (const CaseRename& clash : plan.clashes) {
        logError(engine(), QStringLiteral("Not renamed, %1 exists already in %2: %3")
                               .arg(displayText(clash.newName), displayText(folder),
                                    displayText(clash.oldName)));
        if (ChangeCaseOwner* o = owner.get())
            o->caseClash(clash);
    }
    if (owner.stopped())
        return;
    for (const CaseRename& r : plan.renames) {
        if (dryRun) {
            if (ChangeCaseOwner* o = owner.get())
                o->caseRenamed(r, true);
        } else {
            insertNext(std::make_unique<CaseRenameGroup>(r, owner));
        }
    }
    const bool descendAfterListing =
        subFolders && !plan.subFolders.empty() && plan.renamedSubFolder && !dryRun;
    // Views that show the folder list it once its names changed. Not left to
    // the descent's listing: a stop drops that one, and the renames sent
    // before it would stay unseen.
    if (!dryRun && !plan.renames.empty() && engine().isShown(folder))
        insertNext(std::make_unique<RefreshFolderAction>(engine(), folder,
                                                         engine().listingSequence(folder)));
    if (!subFolders || plan.subFolders.empty())
        return;
    if (!descendAfterListing) {
        std::vector<RemoteItem> folders;
        for (const QByteArray& name : plan.subFolders)
            if (std::optional<RemoteItem> item = items.itemOf(name))
                folders.push_back(std::move(*item));
        descend(folders);
        return;
    }
    // Listed again once the renames ran, so the descent takes the new names.
    insertInWalk(std::make_unique<ChangeCaseAction>(engine(), ActionKind::ChangeCaseFurther, folder,
                                                    engine().listingSequence(folder), options,
                                                    owner, dryRun));
}

void ChangeCaseAction::descend(const std::vector<RemoteItem>& subFolders) {
    if (owner.stopped() || !(options.bits & ChangeCaseOptions::SubFolders))
        return;
    for (const RemoteItem& item : subFolders) {
        ChangeCaseOwner* o = owner.get();
        if (!o)
            return;
        o->changeCaseProgressStep();
        if (!walkableName(engine(), folder, item.name))
            continue;
        const QByteArray path = joinRemotePath(folder, item.name);
        if (!mayEnter(path, item))
            continue;
        insertInWalk(std::make_unique<ChangeCaseAction>(engine(), ActionKind::ChangeCaseRename,
                                                        path, engine().listingSequence(path),
                                                        options, owner, dryRun));
    }
}

CaseRenameGroup::CaseRenameGroup(CaseRename rename, OwnerRef<ChangeCaseOwner> owner)
    : PureGroup(StepList{{"RNFR", rename.oldName}, {"RNTO", rename.newName}}),
      rename(std::move(rename)),
      owner(std::move(owner)) {
    notifyOwner = true;
    ownerToken = this->owner.token();
}

void CaseRenameGroup::onFinished(bool success) {
    if (ChangeCaseOwner* o = owner.get())
        o->caseRenamed(rename, success);
}
