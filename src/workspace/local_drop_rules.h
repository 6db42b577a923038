#pragma once

#include <QString>

#include <vector>

#include "workspace/copy_buffer.h"

// What a drop on a local view does.
enum class LocalDropAction { Refuse, Move, Download };

struct LocalDropDecision {
    LocalDropAction action = LocalDropAction::Refuse;
    QString message;  // shown when a drop is refused; empty: refused quietly
    bool operator==(const LocalDropDecision&) const = default;
};

// Local items of source dragged onto destination (empty: "My computer").
// fromTree: a folder dragged out of a tree, refused on itself and below itself
// with its own message.
LocalDropDecision DecideLocalDrop(const QString& destination, const QString& source,
                                  const std::vector<LocalItemRef>& items, bool fromTree);

// Remote items dropped onto destination start a download when there is a
// folder to download into, something dragged, and a session logged in.
LocalDropDecision DecideRemoteDrop(const QString& destination, bool haveItems, bool loggedIn);
