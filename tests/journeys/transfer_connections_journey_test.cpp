// Transfer connections as a user meets them, on a server whose every reply
// takes 40 ms: another folder opens while a large download runs, the task
// panel and the status bar count it, the chat page tells the connections apart,
// and "Remove all tasks" stops it without leaving half a file; a task whose
// files are still on the way when the next one starts ends with its own troubles.
#include "journeys/journey.h"

#include "app/ui/main_frame.h"
#include "app/ui/main_view.h"
#include "remote/failed_transfers.h"
#include "remote/remote_menu_rules.h"
#include "remote/task_menu_rules.h"
#include "remote/task_status.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/task_panel.h"
#include "remote/ui/task_status_line.h"
#include "remote/ui/task_summary_button.h"
#include "support/ftp_server_process.h"

#include <QDir>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(TransferConnectionsJourney, AnotherFolderOpensWhileALargeDownloadRuns) {
    Journey::Options o;
    o.pyftpdlib.threaded = true;
    o.pyftpdlib.replyDelayMs = 40;
    o.pyftpdlib.sendRate = 5 * 1000 * 1000;  // 200 MB take forty seconds
    Journey j(o);
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    const auto rel = [&](const char* path) { return QString::fromUtf8(j.remote(path)).mid(1); };
    ASSERT_TRUE(j.server().makeSparseFile(rel("big/huge.bin"), 200LL * 1000 * 1000));
    ASSERT_TRUE(j.server().writeFile(rel("other/a.txt"), "a") &&
                j.server().writeFile(rel("other/b.txt"), "b"));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openLocalFolder(j.local()));
    ASSERT_TRUE(j.openRemoteFolder(j.remote("big")));

    j.selectRemote({"huge.bin"});
    QMenu* menu = j.remoteSide().buildListMenu(&j.frame());
    ASSERT_TRUE(Journey::choose(menu, RemoteMenuId::kListDownload));
    TaskList& tasks = j.workbench().tasks();
    ASSERT_TRUE(j.waitFor([&] { return tasks.count() == 1 && tasks.at(0).position > 0; }))
        << j.chatText().toStdString();

    // The main connection is free: the other folder is listed while the
    // download still runs (on one connection it would wait for all of it).
    ASSERT_TRUE(j.openRemoteFolder(j.remote("other"))) << j.chatText().toStdString();
    EXPECT_EQ(j.remoteNames(), (QStringList{"a.txt", "b.txt"}));
    ASSERT_EQ(tasks.count(), 1);
    EXPECT_LT(tasks.at(0).position, 200LL * 1000 * 1000) << "still running";
    EXPECT_TRUE(j.frame().taskPanel()->statusLine()->describe().contains("1 running"));
    // The Normal page's status bar says so too, and a click shows the task boxes.
    TaskSummaryButton* summary = j.frame().taskSummary();
    EXPECT_TRUE(summary->text().contains("1 running")) << summary->text().toStdString();
    ASSERT_EQ(j.frame().view()->currentPage(), int(MainView::Normal));
    QTest::mouseClick(summary, Qt::LeftButton);
    EXPECT_EQ(j.frame().view()->currentPage(), int(MainView::FtpChat));
    EXPECT_TRUE(j.frame().taskPanel()->isVisible());
    EXPECT_TRUE(j.chatText().contains(QRegularExpression("\\[[2-9]\\] RETR huge\\.bin")))
        << j.chatText().toStdString();

    ASSERT_TRUE(j.frame().taskPanel()->runTaskCommand(kRemoveAllTasks, -1));
    ASSERT_TRUE(j.waitIdle());
    EXPECT_TRUE(tasks.isEmpty());
    // No half file under its name; what arrived waits hidden, to be continued.
    EXPECT_EQ(QDir(j.local()).entryList(QDir::Files), QStringList());
    EXPECT_EQ(QDir(j.local()).entryList(QDir::Files | QDir::Hidden),
              QStringList{".huge.bin.velmora-part"});
    EXPECT_TRUE(j.workbench().session().isConnected());
}

TEST(TransferConnectionsJourney, ATaskOvertakenByTheNextEndsWithItsOwnFailure) {
    Journey::Options o;
    o.pyftpdlib.receiveRate = 256 * 1024;
    o.pyftpdlib.refuseHiddenStor = true;
    o.simultaneousTransfers = 1;
    Journey j(o);
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    ASSERT_TRUE(j.writeLocal(".htaccess", "deny") &&
                j.writeLocal("slow.bin", Journey::bytes(900 * 1024, 3)) &&
                j.writeLocal("next.txt", "next"));
    QStringList lines;
    const TaskStatus& status = j.workbench().taskStatus();
    QObject::connect(&status, &TaskStatus::changed, [&] { lines << status.displayText(); });
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder(j.home()));
    j.dropFiles(j.remoteSide().listView(), QModelIndex(),
                {j.local(".htaccess"), j.local("slow.bin")});
    ASSERT_TRUE(j.waitFor([&] { return j.workbench().failedTransfers().count() == 1; }))
        << j.chatText().toStdString();

    // The next upload starts while slow.bin is still on its way: the first
    // task's refusal is not the second's, nor forgotten by its start.
    j.dropFiles(j.remoteSide().listView(), QModelIndex(), {j.local("next.txt")});
    ASSERT_TRUE(j.waitIdle()) << j.chatText().toStdString();
    ASSERT_TRUE(j.waitFor([&] { return j.server().readFile("next.txt") == "next"; }));
    const QStringList ends = lines.filter(QRegularExpression("completed$|failed:"));
    ASSERT_EQ(ends.size(), 2) << lines.join('\n').toStdString();
    EXPECT_TRUE(ends[0].startsWith("Uploading normal files failed: STOR .htaccess: 553"))
        << ends[0].toStdString();
    EXPECT_EQ(ends[1], "Uploading normal files completed");
}

}  // namespace
