#pragma once

#include "remote/remote_command_ids.h"

#include <vector>

class FtpSession;
class TaskList;
class TransferPool;

// The right-click menu of the task panel, apart from its widgets.

struct TaskMenuItem {
    int id = 0;
    bool enabled = true;
};

struct TaskMenu {
    bool shown = false;
    std::vector<TaskMenuItem> items;  // in menu order

    bool has(int id) const;
    // False for an item that is not in the menu.
    bool isEnabled(int id) const;
};

// The menu for a click with `boxCount` boxes in the panel; `clickedIndex` is the
// box under the click, -1 for the panel's empty part.
TaskMenu taskMenuFor(int boxCount, int clickedIndex);

// The menu texts by command id; empty for other ids.
const char* taskMenuText(int id);

// Carries out a menu choice: the first box's or the clicked box's transfer
// leaves the queue holding it (a running one is aborted on its own
// connection), or every queue is emptied. False when there was nothing to do
// (an unknown id, a box that is gone, or a transfer no longer queued).
bool runTaskMenuCommand(int id, int clickedIndex, const TaskList& boxes, FtpSession& session,
                        TransferPool* pool = nullptr);
