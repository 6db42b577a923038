#pragma once

#include "remote/fetched_copy.h"
#include "remote/folder_actions.h"
#include "remote/listing_action.h"

#include <QByteArray>

// A file fetched for editing goes back only over the copy it was fetched
// from: the folder is listed first, and a file of another size or time there
// (changed on the server since, by someone else or a program writing it), or
// none at all (renamed, moved or deleted since), is not replaced unless that
// editor was told of that very change and uploads again.
class DirectUploadCheckAction : public ListingAction {
public:
    DirectUploadCheckAction(ActionEngine& engine, QByteArray folder, const StepList& steps,
                            QByteArray name, QByteArray content, FetchedCopy fetched,
                            bool concernedFile)
        : ListingAction(engine, ActionKind::DirectUploadCheck, std::move(folder), steps),
          name(std::move(name)),
          content(std::move(content)),
          fetched(std::move(fetched)),
          concernedFile(concernedFile) {}

    QByteArray name;
    QByteArray content;
    FetchedCopy fetched;
    // Which editor sends it: a change told to one is not told to the other.
    bool concernedFile;

protected:
    void process(const RemoteItemList& items) override;
};

// The folder listed once the edited file is stored: the views show it, and
// the editor learns the time the server gave the copy it now holds, for the
// check before its next upload.
class DirectUploadListedAction : public RefreshFolderAction {
public:
    DirectUploadListedAction(ActionEngine& engine, QByteArray folder, const StepList& steps,
                             QByteArray name)
        : RefreshFolderAction(engine, std::move(folder), steps), name(std::move(name)) {}

    QByteArray name;

protected:
    void process(const RemoteItemList& items) override;
};
