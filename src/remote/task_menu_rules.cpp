#include "remote/task_menu_rules.h"

#include "remote/task_list.h"
#include "remote/transfer_pool.h"
#include "session/ftp_session.h"
#include "session/socket_group.h"

bool TaskMenu::has(int id) const {
    for (const TaskMenuItem& item : items)
        if (item.id == id)
            return true;
    return false;
}

bool TaskMenu::isEnabled(int id) const {
    for (const TaskMenuItem& item : items)
        if (item.id == id)
            return item.enabled;
    return false;
}

TaskMenu taskMenuFor(int boxCount, int clickedIndex) {
    TaskMenu menu;
    if (boxCount <= 0)
        return menu;
    const bool onBox = clickedIndex >= 0 && clickedIndex < boxCount;
    menu.shown = true;
    if (boxCount == 1) {
        // With one box "first" and "selected" are the same task: offer one of
        // them, and "all" would be no different either.
        menu.items.push_back({onBox ? kRemoveSelectedTask : kRemoveFirstTask, true});
        menu.items.push_back({kRemoveAllTasks, false});
        return menu;
    }
    if (!(onBox && clickedIndex == 0))
        menu.items.push_back({kRemoveFirstTask, true});
    if (onBox)
        menu.items.push_back({kRemoveSelectedTask, true});
    menu.items.push_back({kRemoveAllTasks, true});
    return menu;
}

const char* taskMenuText(int id) {
    switch (id) {
        case kRemoveFirstTask:
            return "Remove first task";
        case kRemoveSelectedTask:
            return "Remove selected task";
        case kRemoveAllTasks:
            return "Remove all tasks";
    }
    return "";
}

namespace {

bool removeBoxGroup(const TaskList& boxes, int index, FtpSession& session, TransferPool* pool) {
    if (index < 0 || index >= boxes.count())
        return false;
    if (pool)
        return pool->removeTransfer(boxes.at(index).group);
    // The box only names its group; look it up so a group that already left
    // the queue is never touched.
    const int queued = session.queue().indexOf(boxes.at(index).group);
    if (queued < 0)
        return false;
    session.removeGroup(session.queue().at(queued));
    return true;
}

}  // namespace

bool runTaskMenuCommand(int id, int clickedIndex, const TaskList& boxes, FtpSession& session,
                        TransferPool* pool) {
    switch (id) {
        case kRemoveFirstTask:
            return removeBoxGroup(boxes, 0, session, pool);
        case kRemoveSelectedTask:
            return removeBoxGroup(boxes, clickedIndex, session, pool);
        case kRemoveAllTasks:
            if (pool)
                pool->clearAll();
            else
                session.clearQueue();
            return true;
    }
    return false;
}
