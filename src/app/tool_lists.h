#pragma once

#include <vector>

#include "app/tool_record.h"

// The two lists of viewing tools: found by "Add by search" and added by hand.
// One lives in the application state; the dialogs work on copies.
struct ToolLists {
    std::vector<ToolRecord> SearchedTools;
    std::vector<ToolRecord> UserTools;
};

// The well-known programs the search starts from, with empty paths.
const std::vector<ToolRecord>& BuiltInTools();

// Appends the built-in tools from position count + 1 on, so SearchedTools holds
// at least one row per built-in tool; a list as long as the built-in one or
// longer gets nothing.
void TopUpSearchedTools(ToolLists& lists);
