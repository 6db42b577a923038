#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "app/command_ids.h"
#include "app/tool_lists.h"

class Launcher;
class Prompter;

// ToolFlags bit: "Only show remote tools for remote file".
inline constexpr int kToolFlagRemoteOnlyHttp = 0x01;

inline constexpr char kCannotFindToolText[] = "Can not find selected tool.";

// One entry to insert into the "View/edit by" submenu.
struct ToolMenuEntry {
    bool separator = false;
    QString text;
    int commandId = 0;
    ToolRecord tool;
};

// What to do with the "View/edit by" submenu when a file's context menu opens.
struct ToolMenuPlan {
    bool enabled = false;    // false: the entry is greyed and nothing is inserted
    int insertPosition = 0;  // 2 for remote files (after "FTP wizard" and a separator), else 0
    std::vector<ToolMenuEntry> entries;
};

// The text of a tool's item: its name, else its file name without extension.
QString ToolMenuText(const ToolRecord& tool);

// The usable tools in the order their ids run: HTTP tools of both lists, then,
// unless a remote file shows only HTTP tools, the local tools of both lists.
// At most as many as there are ids.
std::vector<ToolRecord> ToolsInMenuOrder(const ToolLists& lists, bool remote, int toolFlags);

// singlePlainFile: exactly one item selected and it is a plain file (remote:
// a regular file; local: neither a folder nor a drive).
ToolMenuPlan BuildToolMenu(const ToolLists& lists, bool remote, int toolFlags,
                           bool singlePlainFile);

// The tool behind a tool command, none when the lists changed since the menu
// was built.
std::optional<ToolRecord> ToolForCommand(int commandId, bool remote, const ToolLists& lists,
                                         int toolFlags);

// Runs the tool behind a tool command with the target (a local path, or the
// web address of a remote file) as its one argument. A tool no longer there
// (the lists changed since the menu was built) shows "Can not find selected
// tool."; false then. Whether the program started is not checked.
bool OpenWithTool(int commandId, const QString& target, bool remote, const ToolLists& lists,
                  int toolFlags, Launcher& launcher, Prompter& prompter);

// "Launch only" (empty parameter) and "Execute file" of the tool dialogs.
bool LaunchTool(const ToolRecord& tool, const QString& parameter, Launcher& launcher);
