#include "remote/task_menu_rules.h"

#include "remote/task_list.h"
#include "session/direct_download_group.h"
#include "support/session_harness.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using Lines = QList<QByteArray>;

namespace {

// The menu as "id" or "id-" for a disabled item, in menu order.
std::vector<QString> Items(const TaskMenu& menu) {
    std::vector<QString> out;
    for (const TaskMenuItem& item : menu.items)
        out.push_back(QString::number(item.id) + (item.enabled ? "" : "-"));
    return out;
}

std::unique_ptr<DirectDownloadGroup> Download(const char* name) {
    TransferInfo info;
    info.remoteFolder = "/";
    info.fileName = name;
    return std::make_unique<DirectDownloadGroup>(DirectPurpose::Stream, info,
                                                 StepList{{"PASV", {}}, {"RETR", name}});
}

// A session with two downloads queued; the first is running (its RETR is out
// and the data connection is open).
struct TwoDownloads {
    SessionHarness h;
    TaskList boxes;
    int sentBefore = 0;

    TwoDownloads() {
        h.loginIdle();
        boxes.connectTo(h.session);
        h.session.queue().append(Download("one"));
        h.session.queue().append(Download("two"));
        sentBefore = int(h.sent().size());
        h.session.advance(false);
        h.reply(SessionHarness::pasv(5001));
        h.acceptData();
        h.reply("150 Opening data connection\r\n");
    }
};

}  // namespace

TEST(TaskMenuRules, ItemsDependOnBoxCountAndClick) {
    const QString first = QString::number(kRemoveFirstTask);
    const QString selected = QString::number(kRemoveSelectedTask);
    const QString all = QString::number(kRemoveAllTasks);
    const QString allDisabled = all + "-";
    const struct {
        int count;
        int clicked;
        bool shown;
        std::vector<QString> items;
    } cases[] = {
        {0, -1, false, {}},
        {0, 0, false, {}},
        {1, 0, true, {selected, allDisabled}},
        {1, -1, true, {first, allDisabled}},
        {1, 3, true, {first, allDisabled}},  // a box that no longer exists
        {2, -1, true, {first, all}},
        {2, 0, true, {selected, all}},
        {2, 1, true, {first, selected, all}},
        {5, 4, true, {first, selected, all}},
        {5, 9, true, {first, all}},
    };
    for (const auto& c : cases) {
        const TaskMenu menu = taskMenuFor(c.count, c.clicked);
        EXPECT_EQ(c.shown, menu.shown) << c.count << "/" << c.clicked;
        EXPECT_EQ(c.items, Items(menu)) << c.count << "/" << c.clicked;
    }
    const TaskMenu one = taskMenuFor(1, 0);
    EXPECT_TRUE(one.has(kRemoveAllTasks));
    EXPECT_FALSE(one.isEnabled(kRemoveAllTasks));
    EXPECT_FALSE(one.has(kRemoveFirstTask));
    EXPECT_FALSE(one.isEnabled(kRemoveFirstTask));
    EXPECT_STREQ("Remove first task", taskMenuText(kRemoveFirstTask));
    EXPECT_STREQ("Remove selected task", taskMenuText(kRemoveSelectedTask));
    EXPECT_STREQ("Remove all tasks", taskMenuText(kRemoveAllTasks));
}

TEST(TaskMenuRules, RemovingTheRunningTaskAbortsItAndStartsTheNext) {
    TwoDownloads s;
    ASSERT_EQ(2, s.boxes.count());
    const CommandGroup* next = s.h.session.queue().at(1);
    ASSERT_TRUE(runTaskMenuCommand(kRemoveSelectedTask, 0, s.boxes, s.h.session));
    EXPECT_EQ((Lines{"PASV", "RETR one", "ABOR"}), s.h.sentSince(s.sentBefore));
    ASSERT_EQ(1, s.boxes.count());
    EXPECT_EQ(next, s.boxes.at(0).group);
    s.h.reply("226 ABOR command successful\r\n");
    EXPECT_EQ((Lines{"PASV", "RETR one", "ABOR", "PASV"}), s.h.sentSince(s.sentBefore));
}

TEST(TaskMenuRules, RemovingTheFirstOrASelectedWaitingTask) {
    {
        // The click on the second box removes that one; nothing is aborted.
        TwoDownloads s;
        const CommandGroup* running = s.h.session.queue().at(0);
        ASSERT_TRUE(runTaskMenuCommand(kRemoveSelectedTask, 1, s.boxes, s.h.session));
        EXPECT_EQ((Lines{"PASV", "RETR one"}), s.h.sentSince(s.sentBefore));
        ASSERT_EQ(1, s.boxes.count());
        EXPECT_EQ(running, s.boxes.at(0).group);
        EXPECT_EQ(1, s.h.session.queue().size());
    }
    {
        // "Remove first task" from the empty part takes the top box.
        TwoDownloads s;
        const CommandGroup* second = s.h.session.queue().at(1);
        ASSERT_TRUE(runTaskMenuCommand(kRemoveFirstTask, -1, s.boxes, s.h.session));
        EXPECT_EQ((Lines{"PASV", "RETR one", "ABOR"}), s.h.sentSince(s.sentBefore));
        ASSERT_EQ(1, s.boxes.count());
        EXPECT_EQ(second, s.boxes.at(0).group);
    }
}

TEST(TaskMenuRules, RemoveAllEmptiesQueueAndPanel) {
    TwoDownloads s;
    ASSERT_TRUE(runTaskMenuCommand(kRemoveAllTasks, -1, s.boxes, s.h.session));
    EXPECT_TRUE(s.boxes.isEmpty());
    EXPECT_EQ("ABOR", s.h.sent().last());
    s.h.reply("226 ABOR command successful\r\n");
    EXPECT_TRUE(s.h.session.queue().isEmpty());
}

TEST(TaskMenuRules, NothingToRemoveDoesNothing) {
    TwoDownloads s;
    // A click index past the boxes, an unknown command, and a box whose
    // transfer has left the queue behind the panel's back.
    EXPECT_FALSE(runTaskMenuCommand(kRemoveSelectedTask, 5, s.boxes, s.h.session));
    EXPECT_FALSE(runTaskMenuCommand(12345, 0, s.boxes, s.h.session));
    TaskList stale;
    stale.onTransferStarted(s.boxes.at(1).group, TransferInfo{});
    std::unique_ptr<CommandGroup> taken = s.h.session.queue().takeAt(1);
    EXPECT_FALSE(runTaskMenuCommand(kRemoveFirstTask, -1, stale, s.h.session));
    EXPECT_EQ(1, s.h.session.queue().size());
    EXPECT_EQ((Lines{"PASV", "RETR one"}), s.h.sentSince(s.sentBefore));
    TaskList empty;
    EXPECT_FALSE(runTaskMenuCommand(kRemoveFirstTask, -1, empty, s.h.session));
}
