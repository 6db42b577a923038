// Transfers that do not finish tell the truth and can be taken up again: one
// the user stops, one whose server goes away, one that stops moving.
#include "journeys/journey.h"

#include "app/command_ids.h"
#include "app/ui/main_frame.h"
#include "app/ui/main_view.h"
#include "remote/failed_transfers.h"
#include "remote/file_operation_starters.h"
#include "remote/task_list.h"
#include "remote/task_menu_rules.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/task_box_model.h"
#include "remote/ui/task_panel.h"
#include "support/ftp_server_process.h"
#include "support/qt_printers.h"
#include "support/upload_temporaries.h"
#include "workspace/ui/local_explorer.h"
#include "workspace/ui/local_list_view.h"

#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

#include "support/upload_temporaries.h"

#include <gtest/gtest.h>

#include <signal.h>

namespace {

constexpr int kFileSize = 900 * 1024;
const QColor kGreen(0, 96, 0);
const QColor kRed(255, 0, 0);

// A journey on a server that sends slowly enough to be caught mid-transfer.
Journey::Options Slow(int bytesPerSecond) {
    Journey::Options o;
    o.pyftpdlib.sendRate = bytesPerSecond;
    return o;
}

// Starts downloading big.bin (dropped on the local list) and waits until
// some of it has arrived.
void StartBigDownload(Journey& j, const QByteArray& content) {
    ASSERT_TRUE(j.server().writeFile("big.bin", content));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder(j.home()));
    const auto data = Journey::dragOut(j.remoteSide().listView(), {j.remoteRow("big.bin")});
    j.drop(j.frame().localExplorer()->list(), QModelIndex(), *data);
    const TaskList& tasks = j.workbench().tasks();
    ASSERT_TRUE(j.waitFor([&] { return tasks.count() == 1 && tasks.at(0).position > 64 * 1024; }))
        << j.chatText().toStdString();
}

// Starts uploading big.bin (dropped on the remote list) and waits until
// some of it has gone.
void StartBigUpload(Journey& j, const QByteArray& content) {
    ASSERT_TRUE(j.writeLocal("big.bin", content));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder(j.home()));
    j.dropFiles(j.remoteSide().listView(), QModelIndex(), {j.local("big.bin")});
    const TaskList& tasks = j.workbench().tasks();
    ASSERT_TRUE(j.waitFor([&] { return tasks.count() == 1 && tasks.at(0).position > 64 * 1024; }))
        << j.chatText().toStdString();
}

// Selects the failed transfer and clicks one of the panel's buttons.
void ClickOnFailed(Journey& j, int row, QPushButton* button) {
    TaskPanel* panel = j.frame().taskPanel();
    panel->failedView()->setCurrentIndex(panel->failedView()->model()->index(row, 0));
    ASSERT_TRUE(button->isEnabled());
    button->click();
}

QString FailedText(Journey& j, int row) {
    const QAbstractItemModel* m = j.frame().taskPanel()->failedView()->model();
    return m->index(row, 0).data(Qt::AccessibleTextRole).toString();
}

TEST(FailureJourney, DownloadStoppedByTheUserSaysSoAndIsRetried) {
    Journey j(Slow(256 * 1024));
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    const QByteArray content = Journey::bytes(kFileSize, 7);
    StartBigDownload(j, content);

    // On the FTP chat page, a right-click on the box, "Remove selected task".
    j.frame().view()->showPage(MainView::FtpChat);
    TaskPanel* panel = j.frame().taskPanel();
    j.whenMenuOpens(kRemoveSelectedTask);
    j.rightClick(panel->boxView(), panel->model()->index(0));
    ASSERT_TRUE(j.waitFor([&] { return j.menusAnswered() == 1; }));
    ASSERT_TRUE(j.waitIdle());
    EXPECT_EQ(j.taskLine(), "Downloading files stopped");
    EXPECT_NE(j.taskLineColor(), kGreen);
    const QString chat = j.chatText();
    EXPECT_FALSE(chat.contains("un-switched responding number")) << chat.toStdString();
    EXPECT_FALSE(QFile::exists(j.local("big.bin")) &&
                 Journey::readFile(j.local("big.bin")) == content);

    // The stopped transfer waits in the Failed list.
    ASSERT_TRUE(j.waitFor([&] { return j.workbench().failedTransfers().count() == 1; }));
    EXPECT_TRUE(panel->failedView()->isVisibleTo(panel));
    EXPECT_TRUE(FailedText(j, 0).contains("big.bin")) << FailedText(j, 0).toStdString();
    EXPECT_TRUE(FailedText(j, 0).contains("stopped")) << FailedText(j, 0).toStdString();

    // Retried, it goes on from what arrived instead of fetching it all again.
    ClickOnFailed(j, 0, panel->retryButton());
    ASSERT_TRUE(j.waitFor([&] { return j.workbench().failedTransfers().count() == 0; }));
    ASSERT_TRUE(j.waitIdle(60000)) << j.chatText().toStdString();
    EXPECT_EQ(Journey::readFile(j.local("big.bin")), content);
    EXPECT_TRUE(j.chatText().mid(chat.size()).contains(QRegularExpression("REST [1-9]")))
        << j.chatText().mid(chat.size()).toStdString();
    EXPECT_EQ(j.taskLine(), "Downloading files completed");
    EXPECT_EQ(j.taskLineColor(), kGreen);
    EXPECT_FALSE(panel->failedView()->isVisibleTo(panel));
}

// On one connection the broken transfer's box stays, red, until the user
// connects again; a transfer connection instead gives its file back to the
// next one (TransferPool tests).
TEST(FailureJourney, ServerGoneMidDownloadIsResumedAfterReconnecting) {
    Journey::Options o = Slow(256 * 1024);
    o.simultaneousTransfers = 0;
    Journey j(o);
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    const QByteArray content = Journey::bytes(kFileSize, 8);
    StartBigDownload(j, content);

    const quint16 port = j.server().port();
    j.server().stop();
    // The box says what happened, in red, and the task line too.
    const TaskList& tasks = j.workbench().tasks();
    ASSERT_TRUE(j.waitFor([&] { return tasks.count() == 1 && !tasks.at(0).problem.isEmpty(); }))
        << tasks.count() << j.chatText().toStdString();
    EXPECT_TRUE(tasks.at(0).problem.contains("connection", Qt::CaseInsensitive))
        << tasks.at(0).problem.toStdString();
    const QModelIndex box = j.frame().taskPanel()->model()->index(0);
    EXPECT_EQ(box.data(Qt::ForegroundRole).value<QColor>(), kRed);
    EXPECT_TRUE(j.taskLine().startsWith("Downloading files failed")) << j.taskLine().toStdString();
    EXPECT_EQ(j.taskLineColor(), kRed);
    // Refreshed while closed, the list keeps what it showed and says why
    // nothing newer comes (it read as an empty folder).
    QTest::keyClick(j.remoteSide().listView(), Qt::Key_F5);
    EXPECT_EQ(j.remoteNames(), QStringList{"big.bin"});
    EXPECT_TRUE(j.remoteSide().statusLine()->text().endsWith(" (not connected)"))
        << j.remoteSide().statusLine()->text().toStdString();
    // Another folder is not shown as an empty one.
    ASSERT_TRUE(j.remoteSide().goToFolder("/elsewhere"));
    EXPECT_EQ(j.remoteSide().statusLine()->text(),
              "Not connected: connect again to read the folder");

    // The server is back (at full speed); the user connects again.
    PyftpdlibServer::Options again = j.pyftpdlib()->options();
    again.port = port;
    again.sendRate = 0;
    j.pyftpdlib()->setOptions(again);
    ASSERT_TRUE(j.server().start()) << j.server().lastError().toStdString();
    ASSERT_TRUE(j.menuCommand(kCmdReconnect));
    ASSERT_EQ(j.workbench().failedTransfers().count(), 1);
    EXPECT_TRUE(FailedText(j, 0).contains("big.bin"));
    EXPECT_TRUE(FailedText(j, 0).contains("closed")) << FailedText(j, 0).toStdString();
    EXPECT_EQ(tasks.count(), 0);
    // Retry waits for the login.
    TaskPanel* panel = j.frame().taskPanel();
    panel->failedView()->setCurrentIndex(panel->failedView()->model()->index(0, 0));
    EXPECT_FALSE(panel->retryButton()->isEnabled());
    ASSERT_TRUE(j.waitFor([&] { return panel->retryButton()->isEnabled(); }))
        << j.chatText().toStdString();
    EXPECT_TRUE(j.frame().statusBar()->currentMessage().contains("did not finish"))
        << j.frame().statusBar()->currentMessage().toStdString();

    ClickOnFailed(j, 0, panel->retryButton());
    ASSERT_TRUE(j.waitFor([&] { return j.workbench().failedTransfers().count() == 0; }));
    ASSERT_TRUE(j.waitIdle()) << j.chatText().toStdString();
    EXPECT_EQ(Journey::readFile(j.local("big.bin")), content);
    EXPECT_EQ(j.taskLine(), "Downloading files completed");
}

// A folder whose download the server cut short: after re-connecting, what
// was lost (the file on the way, the files queued, the folder not yet listed)
// waits in the Failed list, and retrying all of it brings the whole tree.
// With transfer connections their files are taken up again by themselves,
// and the tree is whole all the same.
TEST(FailureJourney, FolderCutShortComesWholeAfterRetrying) {
    for (const int connections : {0, 2}) {
        SCOPED_TRACE(connections);
        Journey::Options o = Slow(256 * 1024);
        o.simultaneousTransfers = connections;
        Journey j(o);
        ASSERT_TRUE(j.open()) << j.error().toStdString();
        ASSERT_TRUE(j.server().writeFile("site/big.bin", Journey::bytes(kFileSize, 10)));
        ASSERT_TRUE(j.server().writeFile("site/c.txt", Journey::bytes(3000, 11)));
        ASSERT_TRUE(j.server().writeFile("site/sub/a.txt", Journey::bytes(2000, 12)));
        ASSERT_TRUE(j.server().writeFile("site/sub/deeper/b.txt", Journey::bytes(1000, 13)));
        ASSERT_TRUE(j.logIn());
        ASSERT_TRUE(j.openRemoteFolder(j.home()));
        const auto data = Journey::dragOut(j.remoteSide().listView(), {j.remoteRow("site")});
        j.drop(j.frame().localExplorer()->list(), QModelIndex(), *data);
        const TaskList& tasks = j.workbench().tasks();
        ASSERT_TRUE(j.waitFor([&] {
            return tasks.count() >= 1 && tasks.at(0).position > 64 * 1024;
        })) << j.chatText().toStdString();

        const quint16 port = j.server().port();
        j.server().stop();
        ASSERT_TRUE(j.waitFor([&] { return !j.workbench().session().isConnected(); }));
        PyftpdlibServer::Options again = j.pyftpdlib()->options();
        again.port = port;
        again.sendRate = 0;
        j.pyftpdlib()->setOptions(again);
        ASSERT_TRUE(j.server().start()) << j.server().lastError().toStdString();
        ASSERT_TRUE(j.menuCommand(kCmdReconnect));
        TaskPanel* panel = j.frame().taskPanel();
        if (connections == 0) {
            QStringList failed;
            for (int i = 0; i < j.workbench().failedTransfers().count(); ++i)
                failed << FailedText(j, i);
            EXPECT_EQ(failed.size(), 3) << failed.join('\n').toStdString();
            EXPECT_TRUE(failed.join('\n').contains("big.bin")) << failed.join('\n').toStdString();
            EXPECT_TRUE(failed.join('\n').contains("Download folder /site/sub: "))
                << failed.join('\n').toStdString();
        } else {
            // The transfer connections open again and take up their files
            // themselves; what the main one lost waits in the Failed list.
            ASSERT_TRUE(j.waitIdle(60000)) << j.chatText().toStdString();
        }
        if (j.workbench().failedTransfers().count() > 0) {
            ASSERT_TRUE(j.waitFor([&] { return panel->retryButton()->isEnabled(); }));
            panel->failedView()->selectAll();
            panel->retryButton()->click();
            ASSERT_TRUE(j.waitFor([&] { return j.workbench().failedTransfers().count() == 0; }));
            ASSERT_TRUE(j.waitIdle()) << j.chatText().toStdString();
            EXPECT_EQ(j.taskLine(), "Downloading files completed");
        }
        EXPECT_EQ(Journey::tree(j.local("site")), Journey::tree(j.serverPath("site")));
    }
}

// An upload on a transfer connection outlives the main connection: the
// transfer connection opens again by itself and finishes the file, and the
// task line waits for it instead of calling the task failed at the drop.
// Closing the window while an upload runs asks first. An upload stopped half
// way keeps its hidden temporary on the server to go on from; closing the
// window, which forgets it, asks whether it may stay where the site's
// visitors can fetch it.
TEST(FailureJourney, ClosingAsksAboutARunningUploadThenItsTemporary) {
    Journey::Options o;
    o.pyftpdlib.receiveRate = 256 * 1024;
    Journey j(o);
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    StartBigUpload(j, Journey::bytes(kFileSize, 9));
    // Closing while it runs asks first; No keeps the window and the upload.
    j.prompter().answer(false);
    EXPECT_FALSE(j.frame().close());
    ASSERT_FALSE(j.prompter().questions().isEmpty());
    EXPECT_TRUE(j.prompter().questions().last().startsWith(
        "Uploading normal files is still running (1 running"))
        << j.prompter().questions().last().toStdString();
    EXPECT_TRUE(j.frame().isVisible());
    EXPECT_EQ(j.workbench().tasks().count(), 1);
    // A task ended on the main connection meanwhile gives the line back to the
    // upload, which still asks.
    ASSERT_TRUE(FileOperationStarters(j.workbench().engine()).createFolder(j.home(), "made"));
    ASSERT_TRUE(j.waitFor([&] {
        return QFileInfo(j.serverPath(QStringLiteral("made"))).isDir() &&
               j.taskLine().startsWith("Start uploading normal files");
    })) << j.taskLine().toStdString();
    ASSERT_EQ(j.workbench().tasks().count(), 1);
    j.prompter().answer(false);
    EXPECT_FALSE(j.frame().close());
    EXPECT_TRUE(j.prompter().questions().last().startsWith(
        "Uploading normal files is still running (1 running"))
        << j.prompter().questions().last().toStdString();

    // Yes stops it first, so that its temporary is offered too: Cancel keeps
    // the window, the upload stopped and listed as failed.
    const QString question = FailedTransfers::temporariesQuestion(1);
    j.prompter().answer(true);
    j.prompter().expectChoice(question, PromptAnswer::Cancel);
    EXPECT_FALSE(j.frame().close()) << "stops the upload before going";
    ASSERT_TRUE(j.waitFor([&] { return j.prompter().pendingAnswers() == 0; }))
        << j.chatText().toStdString();
    EXPECT_TRUE(j.frame().isVisible());
    EXPECT_TRUE(j.workbench().tasks().isEmpty());
    ASSERT_EQ(j.workbench().failedTransfers().count(), 1);
    const QString temporary =
        QString::fromUtf8(j.workbench().failedTransfers().at(0).result.keptTemporary);
    EXPECT_EQ(untagTemporaries(temporary), ".big.bin.velmora-upload");
    ASSERT_TRUE(QFile::exists(j.serverPath(temporary)));

    j.prompter().expectChoice(question, PromptAnswer::Yes);
    EXPECT_FALSE(j.frame().close()) << "waits for the server to delete it";
    ASSERT_TRUE(j.waitFor([&] { return !j.frame().isVisible(); })) << j.chatText().toStdString();
    EXPECT_FALSE(QFile::exists(j.serverPath(temporary)));
    EXPECT_FALSE(QFile::exists(j.serverPath("big.bin")));
}

// A temporary on a server no longer connected can not be deleted from here:
// closing says where it stays, and No keeps the window to go back there.
TEST(FailureJourney, ClosingWarnsOfATemporaryLeftOnAServerNoLongerConnected) {
    Journey::Options o;
    o.pyftpdlib.receiveRate = 256 * 1024;
    Journey j(o);
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    StartBigUpload(j, Journey::bytes(kFileSize, 4));
    ASSERT_TRUE(j.frame().taskPanel()->runTaskCommand(kRemoveAllTasks, -1));
    ASSERT_TRUE(j.waitFor([&] { return j.workbench().failedTransfers().count() == 1; }));
    ASSERT_TRUE(j.waitIdle());
    ASSERT_TRUE(j.menuCommand(kCmdCloseConnection));
    ASSERT_TRUE(j.waitFor([&] { return !j.workbench().session().isConnected(); }));

    const QString question = j.workbench().failedTransfers().temporariesElsewhereQuestion();
    ASSERT_TRUE(question.contains(j.workbench().failedTransfers().at(0).server));
    j.prompter().expectQuestion(question, false);
    EXPECT_FALSE(j.frame().close());
    EXPECT_TRUE(j.frame().isVisible());
    j.prompter().expectQuestion(question, true);
    EXPECT_TRUE(j.frame().close());
    EXPECT_TRUE(QFile::exists(j.serverPath(
        QString::fromUtf8(j.workbench().failedTransfers().at(0).result.keptTemporary))));
}

TEST(FailureJourney, UploadOnATransferConnectionOutlivesTheMainOne) {
    Journey::Options o;
    o.pyftpdlib.receiveRate = 256 * 1024;
    o.simultaneousTransfers = 1;
    Journey j(o);
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    const QByteArray content = Journey::bytes(kFileSize, 14);
    StartBigUpload(j, content);

    const quint16 port = j.server().port();
    j.server().stop();
    ASSERT_TRUE(j.waitFor([&] { return !j.workbench().session().isConnected(); }));
    EXPECT_TRUE(j.taskLine().startsWith("Start uploading")) << j.taskLine().toStdString();
    PyftpdlibServer::Options again = j.pyftpdlib()->options();
    again.port = port;
    again.receiveRate = 0;
    j.pyftpdlib()->setOptions(again);
    ASSERT_TRUE(j.server().start()) << j.server().lastError().toStdString();
    ASSERT_TRUE(j.waitFor([&] { return j.server().readFile("big.bin") == content; }, 30000))
        << j.chatText().toStdString();
    EXPECT_TRUE(j.waitFor([&] { return j.taskLine() == "Uploading normal files completed"; }))
        << j.taskLine().toStdString();
    EXPECT_EQ(j.taskLineColor(), kGreen);
    EXPECT_EQ(j.workbench().failedTransfers().count(), 0);

    // Connected again, the list shows the file.
    ASSERT_TRUE(j.menuCommand(kCmdReconnect));
    ASSERT_TRUE(j.waitIdle()) << j.chatText().toStdString();
    EXPECT_TRUE(j.waitFor([&] { return j.remoteNames().contains("big.bin"); }))
        << j.remoteNames().join(",").toStdString();
    EXPECT_EQ(j.taskLine(), "Uploading normal files completed");
}

TEST(FailureJourney, TransferThatStopsMovingShowsStalledThenGoesOn) {
    Journey j(Slow(256 * 1024));
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    TaskBoxModel* boxes = j.frame().taskPanel()->model();
    boxes->setInactivityLimitMs(1500);
    const QByteArray content = Journey::bytes(kFileSize, 9);
    StartBigDownload(j, content);

    // The server freezes: nothing moves, and the box says so once the limit passed.
    const QList<qint64> pids = j.server().processIds();
    for (qint64 pid : pids)
        ::kill(pid_t(pid), SIGSTOP);
    const bool stalled = j.waitFor([&] {
        return boxes->rowCount() == 1 &&
               boxes->index(0).data(TaskBoxModel::StateTextRole).toString() == "stalled";
    });
    const QColor colour = boxes->index(0).data(Qt::ForegroundRole).value<QColor>();
    for (qint64 pid : pids)
        ::kill(pid_t(pid), SIGCONT);
    ASSERT_TRUE(stalled);
    EXPECT_EQ(colour, kRed);
    // It moves again: the word goes, and the file arrives whole.
    EXPECT_TRUE(j.waitFor([&] {
        return boxes->rowCount() == 0 ||
               boxes->index(0).data(TaskBoxModel::StateTextRole).toString().isEmpty();
    }));
    ASSERT_TRUE(j.waitIdle());
    EXPECT_EQ(Journey::readFile(j.local("big.bin")), content);
}

}  // namespace
