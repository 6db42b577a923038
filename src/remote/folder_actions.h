#pragma once

#include "remote/listing_action.h"
#include "remote/refresh_target.h"

#include <QByteArray>
#include <QList>

#include <memory>

class StoredSizeCheck;

// Whether the walk from `start` goes down to `target`: start is target or one
// of its ancestors.
bool ProjectWalkReaches(const QByteArray& start, const QByteArray& target);

// The walk from the server's start folder down to the remote project folder:
// the first listing (the folder PWD names) ...
class InitFolderAction : public ListingAction {
public:
    InitFolderAction(ActionEngine& engine, const StepList& steps)
        : ListingAction(engine, ActionKind::InitFolder, QByteArray(), steps) {}

protected:
    void process(const RemoteItemList& items) override;
};

// ... and each further step of it.
class SequenceFolderAction : public ListingAction {
public:
    SequenceFolderAction(ActionEngine& engine, QByteArray folder, const StepList& steps)
        : ListingAction(engine, ActionKind::SequenceFolder, std::move(folder), steps) {}

protected:
    void process(const RemoteItemList& items) override;
};

// A fresh listing of a folder for the views; a target, when given, is told too.
class RefreshFolderAction : public ListingAction {
public:
    RefreshFolderAction(ActionEngine& engine, QByteArray folder, const StepList& steps,
                        const RefreshTarget& target = RefreshTarget())
        : ListingAction(engine, ActionKind::RefreshFolder, std::move(folder), steps),
          target(target) {}

    ~RefreshFolderAction() override;

    RefreshTarget target;
    // The uploads into the folder whose stored sizes this listing checks.
    std::shared_ptr<StoredSizeCheck> sizeCheck;
    // Files just deleted: upload temporaries of theirs the listing shows are
    // deleted too, so no part of a deleted file stays readable on the site.
    QList<QByteArray> deletedFiles;

protected:
    void process(const RemoteItemList& items) override;
};
