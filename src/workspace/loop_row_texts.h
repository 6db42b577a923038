#pragma once

#include "workspace/compare_tree.h"
#include "workspace/loop_owner.h"

#include <QStringList>

#include <vector>

// How the loop windows show sizes and permissions (the general settings').
struct LoopDisplayOptions {
    quint8 sizeStyle = 0;
    bool numericPermissions = false;
};

// The seven cells of a search result row: name, size, type, last modified,
// permission, owner/group, under path (only where `showFolder`: the row
// above shows another folder).
QStringList SearchRowTexts(const SearchRow& row, const LoopDisplayOptions& options,
                           bool showFolder);

// What the compare result menu offers for an item: each command acts only on a
// side where the item exists; a transfer takes a file, or a folder the other
// side lacks (a server name that cannot be a local path is never transferred).
struct CompareItemCommands {
    bool upload = false;
    bool download = false;
    bool deleteLocal = false;
    bool deleteRemote = false;
    bool view = false;
    bool properties = false;
};
CompareItemCommands CompareCommandsFor(const CompareNode* node);
// Several results chosen at once: only the transfers, each enabled when one of
// them can take it (it then goes to those that can).
CompareItemCommands CompareCommandsFor(const std::vector<const CompareNode*>& nodes);
