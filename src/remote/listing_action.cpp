#include "remote/listing_action.h"

#include "remote/action_engine.h"
#include "remote/file_transfer.h"
#include "remote/transfer_pool.h"
#include "session/command_queue.h"

ListingAction::ListingAction(ActionEngine& engine, ActionKind kind, QByteArray folder,
                             const StepList& steps)
    : ListingGroup(kind, std::move(folder), steps), engine_(engine) {}

void ListingAction::showListing(const RemoteItemList& items) {
    engine().announceListing(*this, items);
}

int ListingAction::infoLevel() const {
    switch (actionKind()) {
        case ActionKind::InitFolder:
            return 1;
        case ActionKind::RefreshFolder:
        case ActionKind::RefreshFolderByCreateFolder:
        case ActionKind::RefreshFolderByRename:
            return 2;
        case ActionKind::SequenceFolder:
        case ActionKind::CreateFolder:
        case ActionKind::RenameAtom:
        case ActionKind::MoveInto:
            return 3;
        case ActionKind::DeleteFolder:
        case ActionKind::UploadNormal:
        case ActionKind::UploadPair:
        case ActionKind::Download:
        case ActionKind::ChangePermission:
        case ActionKind::DirectDownload:
        case ActionKind::DirectUploadCheck:
            return 4;
        case ActionKind::ChangeCaseRename:
        case ActionKind::ChangeCaseFurther:
        case ActionKind::SearchItems:
        case ActionKind::CompareItems:
            return -1;
    }
    return 2;
}

bool ListingAction::walksEntries() const {
    switch (actionKind()) {
        case ActionKind::DeleteFolder:
        case ActionKind::UploadNormal:
        case ActionKind::UploadPair:
        case ActionKind::Download:
        case ActionKind::ChangePermission:
        case ActionKind::ChangeCaseRename:
        case ActionKind::ChangeCaseFurther:
        case ActionKind::SearchItems:
        case ActionKind::CompareItems:
            return true;
        default:
            return false;
    }
}

void ListingAction::processListing(const QByteArray& text) {
    RemoteItemList items;
    RejectedLines rejected;
    items.parse(text, usesListCommand(), &rejected);
    // The whole listing as an information line, only when someone shows it:
    // as text it takes twice the listing's bytes.
    const int level = infoLevel();
    if (host() && host()->showsInfo(level))
        host()->info(level,
                     QString::fromUtf8(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    if (rejected.count > 0)
        engine_.reportRejectedLines(*this, rejected);
    nextPosition_ = -1;
    process(items);
}

CommandGroup* ListingAction::insertNext(std::unique_ptr<CommandGroup> group) {
    CommandQueue* q = queue();
    if (!q)
        return nullptr;
    if (nextPosition_ < 0)
        nextPosition_ = q->indexOf(this) + 1;
    CommandGroup* g = q->insert(nextPosition_, std::move(group));
    ++nextPosition_;
    return g;
}

PureGroup* ListingAction::insertNextCommands(const StepList& steps) {
    return static_cast<PureGroup*>(insertNext(std::make_unique<PureGroup>(steps)));
}

void ListingAction::startWalk(const RemoteItem& selected) {
    walk_ = std::make_shared<FolderWalk>(folder, selected.unique);
}

const FolderWalkPtr& ListingAction::walk() {
    if (!walk_)
        walk_ = std::make_shared<FolderWalk>(folder);
    return walk_;
}

bool ListingAction::mayEnter(const QByteArray& path, const RemoteItem& item) {
    const QString refusal = walk()->enter(folder, path, item.unique);
    if (refusal.isEmpty())
        return true;
    if (GroupHost* h = host())
        h->reportFailure(refusal);
    return false;
}

CommandGroup* ListingAction::insertInWalk(std::unique_ptr<ListingAction> action) {
    action->walk_ = walk();
    return insertNext(std::move(action));
}

void ListingAction::queueFileTransfer(const FileTransfer& transfer) {
    ActionEngine& e = engine_;
    if (TransferPool* pool = e.transferPool()) {
        pool->submitTransfer(transfer, *this);
        return;
    }
    insertNext(makeFileTransferGroup(transfer, nullptr,
                                     [&e](const TransferResult& r) { e.announceTransfer(r); }));
}
