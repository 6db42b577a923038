#pragma once

#include "remote/listing_action.h"
#include "session/pure_group.h"
#include "workspace/loop_owner.h"
#include "workspace/search_criteria.h"

#include <functional>
#include <memory>
#include <optional>

// The offset of a server's LIST times, found during one compare run from the
// start folder listed by MLSD as well.
struct ListOffsetFinder {
    RemoteItemList facts;  // the MLSD listing
    std::optional<qint64> found;
    // Told once, when an offset was found.
    std::function<void(qint64)> onFound;
};

// What every action of one compare run carries.
struct CompareParams {
    QString localProjectFolder;
    QByteArray remoteProjectFolder;
    quint8 options = 0;
    QByteArray relativePath;  // below the remote project folder, '/'-separated
    // The local twin below the local project folder, where it is spelt
    // otherwise (a folder paired without regard to case); null: the same.
    QString localRelativePath = {};
    QString localRelative() const;
    // Files whose one side changed later are listed too.
    bool dates = false;
    // LIST times: the server's local time minus UTC, in seconds.
    qint64 listOffset = 0;
    // Set by the starter when the offset is to be found on the way.
    std::shared_ptr<ListOffsetFinder> offsetFinder = nullptr;
    // Files of Velmora's own on the server (upload temporaries, the deploy
    // state at the top) count too; else they are no difference.
    bool ownFiles = false;
};

// Lists the compare's start folder by MLSD for the offset of the LIST times
// that the compare itself reads.
class ListOffsetProbeAction : public ListingAction {
public:
    ListOffsetProbeAction(ActionEngine& engine, QByteArray folder, const StepList& steps,
                          std::shared_ptr<ListOffsetFinder> finder, OwnerRef<CompareOwner> owner)
        : ListingAction(engine, ActionKind::CompareItems, std::move(folder), steps),
          finder(std::move(finder)),
          owner(std::move(owner)) {}

    std::shared_ptr<ListOffsetFinder> finder;
    OwnerRef<CompareOwner> owner;

    quintptr ownerToken() const override { return owner.token(); }
    void clearOwner() override { owner.stop(); }

protected:
    void process(const RemoteItemList& items) override { finder->facts = items; }
};

// Lists one remote folder of the project, compares it with its local twin and
// reports the result; with sub-folders, queues one further action per folder
// present on both sides.
class CompareItemsAction : public ListingAction {
public:
    CompareItemsAction(ActionEngine& engine, const StepList& steps, CompareParams params,
                       OwnerRef<CompareOwner> owner);

    CompareParams params;
    OwnerRef<CompareOwner> owner;

    quintptr ownerToken() const override { return owner.token(); }
    void clearOwner() override { owner.stop(); }

protected:
    void process(const RemoteItemList& items) override;
};

// Lists one folder, reports the matching entries and queues one further action
// per folder or link.
class SearchItemsAction : public ListingAction {
public:
    SearchItemsAction(ActionEngine& engine, QByteArray folder, const StepList& steps,
                      SearchCriteria criteria, OwnerRef<SearchOwner> owner);

    SearchCriteria criteria;
    OwnerRef<SearchOwner> owner;

    quintptr ownerToken() const override { return owner.token(); }
    void clearOwner() override { owner.stop(); }

protected:
    void process(const RemoteItemList& items) override;
};

// Change case: the renaming step (kind 13) and the listing after the renames
// that descends under the new names (kind 14).
class ChangeCaseAction : public ListingAction {
public:
    ChangeCaseAction(ActionEngine& engine, ActionKind kind, QByteArray folder,
                     const StepList& steps, ChangeCaseOptions options,
                     OwnerRef<ChangeCaseOwner> owner, bool dryRun);

    ChangeCaseOptions options;
    OwnerRef<ChangeCaseOwner> owner;
    bool dryRun;  // report what would be renamed, send no rename

    quintptr ownerToken() const override { return owner.token(); }
    void clearOwner() override { owner.stop(); }

protected:
    void process(const RemoteItemList& items) override;

private:
    void descend(const std::vector<RemoteItem>& subFolders);
};

// One RNFR/RNTO pair of the loop; its owner learns how it went.
class CaseRenameGroup : public PureGroup {
public:
    CaseRenameGroup(CaseRename rename, OwnerRef<ChangeCaseOwner> owner);

    void onFinished(bool success) override;

    CaseRename rename;
    OwnerRef<ChangeCaseOwner> owner;
};
