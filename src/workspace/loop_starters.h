#pragma once

#include "workspace/loop_actions.h"

class ActionEngine;

// Starts and stops the three loops. Each start appends its start entry, the
// first listing action and a completed entry (value 5, naming the owner), then
// sends when the session is idle. A busy session starts nothing: the caller
// says so.
class LoopStarters {
public:
    explicit LoopStarters(ActionEngine& engine) : engine_(engine) {}

    bool startCompare(const CompareParams& params, OwnerRef<CompareOwner> owner);
    bool startSearch(const QByteArray& folder, const SearchCriteria& criteria,
                     OwnerRef<SearchOwner> owner);
    bool startChangeCase(const QByteArray& folder, const ChangeCaseOptions& options,
                         OwnerRef<ChangeCaseOwner> owner, bool dryRun = false);
    // Drops the owner's queued work; what runs finishes without starting more.
    void stop(quintptr ownerToken);

private:
    ActionEngine& engine_;
};

// Why a compare cannot start from a local twin, or empty when it can.
QString CompareStartRefusal(const QString& localFolder);

// Window titles.
QString CompareWindowTitle(const QString& remoteProjectFolder, const QString& startFolder);
QString SearchWindowTitle(const QString& folder);
QString ChangeCaseWindowTitle(const QString& folder);
