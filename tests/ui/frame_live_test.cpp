// The main window against a real server: what a user's clicks reach.
#include "live_frame.h"
#include "workspace/ui/local_explorer.h"
#include "workspace/ui/local_list_view.h"
#include "workspace/ui/local_tree_view.h"

#include <QFile>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(FrameLive, ViewingToolsGetALocalCopyOrTheWebAddress) {
    LiveFrame live;
    ASSERT_TRUE(live.server.makeDir("docs"));
    const QByteArray content("<h1>x</h1>\n");
    ASSERT_TRUE(live.server.writeFile("docs/a.html", content));
    ASSERT_TRUE(live.connect()) << live.server.lastError().toStdString();
    ToolLists& tools = live.workbench->tools();
    tools.SearchedTools.clear();
    tools.UserTools = {{"Editor", "/opt/ed", "edit", 0}, {"Browser", "/opt/web", "browse", 1}};
    ASSERT_TRUE(live.showRemoteFolder("/docs"));
    ASSERT_TRUE(live.selectRemote("a.html"));
    std::unique_ptr<QMenu> menu(live.remote()->buildListMenu(nullptr));

    // The browser gets the web address; the editor a fresh local copy.
    FindMenuAction(menu.get(), "Browser")->trigger();
    EXPECT_EQ(live.fakes.launcher.started().value(0),
              "/opt/web/browse http://127.0.0.1/docs/a.html");
    ASSERT_TRUE(live.server.writeFile("docs/a.html", content + "changed\n"));
    FindMenuAction(menu.get(), "Editor")->trigger();
    ASSERT_TRUE(
        WorkbenchHarness::waitFor([&] { return live.fakes.launcher.started().size() == 2; }));
    const QString started = live.fakes.launcher.started()[1];
    ASSERT_TRUE(started.startsWith("/opt/ed/edit /")) << started.toStdString();
    const QString copy = started.mid(QStringLiteral("/opt/ed/edit ").size());
    EXPECT_TRUE(copy.startsWith(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)));
    EXPECT_TRUE(
        copy.endsWith("/127.0.0.1_" + QString::number(live.server.port()) + "/docs/a.html"));
    QFile f(copy);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), content + "changed\n");
    ASSERT_TRUE(live.idle());

    // A file gone meanwhile opens nothing and says so.
    QFile::remove(live.server.localPath("docs/a.html"));
    FindMenuAction(menu.get(), "Editor")->trigger();
    ASSERT_TRUE(live.idle());
    EXPECT_EQ(live.fakes.launcher.started().size(), 2);
    EXPECT_EQ(live.prompter.messages().value(0),
              "Could not fetch /docs/a.html to view it; the FTP chat says why.");
}

}  // namespace

#include "app/command_ids.h"
#include "app/ui/quick_connect_bar.h"
#include "app/ui/site_name_dialog.h"
#include "when_shown.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

TEST(FrameLive, QuickConnectLogsInWithoutASiteAndSaveAsSiteKeepsIt) {
    LiveFrame live;
    ASSERT_TRUE(live.server.writeFile("hello.txt", "hi"));
    ASSERT_TRUE(live.open()) << live.server.lastError().toStdString();
    QuickConnectBar* bar = live.frame->quickConnectBar();
    ASSERT_TRUE(bar);

    // A pasted address fills the fields; a bad port is refused in words.
    bar->hostEdit()->setFocus();
    bar->hostEdit()->insert(QStringLiteral("ftp://%1:%2@%3:%4")
                                .arg(live.server.user(), live.server.password(), live.server.host(),
                                     QString::number(live.server.port())));
    EXPECT_EQ(bar->hostEdit()->text(), live.server.host());
    EXPECT_EQ(bar->userEdit()->text(), live.server.user());
    EXPECT_EQ(bar->portEdit()->text(), QString::number(live.server.port()));
    bar->portEdit()->setText("0");
    QTest::keyClick(bar->portEdit(), Qt::Key_Return);
    EXPECT_EQ(live.prompter.messages().value(0), "The port is a number from 1 to 65535");
    EXPECT_FALSE(live.session().isConnected());

    bar->portEdit()->setText(QString::number(live.server.port()));
    QTest::keyClick(bar->portEdit(), Qt::Key_Return);
    ASSERT_TRUE(live.idle());
    ASSERT_TRUE(WorkbenchHarness::waitFor(
        [&] { return live.remote()->listModel()->rowOf("hello.txt") >= 0; }));
    EXPECT_TRUE(live.workbench->sites().Records.empty());

    // Kept as a site afterwards, under the name the user gives.
    live.frame->updateMenuState();
    QAction* save = live.frame->action(kCmdSaveAsSite);
    ASSERT_TRUE(save->isEnabled());
    WhenShown modal(WhenShown::modal, [](QWidget* shown) {
        auto* d = qobject_cast<SiteNameDialog*>(shown);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->nameEdit()->text(), "127.0.0.1");
        d->setTexts("Quick", "saved");
        d->okButton()->click();
    });
    save->trigger();
    ASSERT_TRUE(modal.wait());
    ASSERT_EQ(live.workbench->sites().Records.size(), 1u);
    const SiteRecord& kept = live.workbench->sites().Records[0];
    EXPECT_EQ(kept.Name, "Quick");
    EXPECT_EQ(kept.Port, live.server.port());
    EXPECT_EQ(kept.User, live.server.user());
    EXPECT_EQ(kept.Id, live.workbench->sites().Current.Site.Id);
    live.frame->updateMenuState();
    EXPECT_FALSE(save->isEnabled());
}

TEST(FrameLive, RemotePathBarDotDotEnterAndTheSummary) {
    LiveFrame live;
    ASSERT_TRUE(live.server.makeDir("docs/sub"));
    ASSERT_TRUE(live.server.writeFile("docs/sub/deep.txt", "d"));
    ASSERT_TRUE(live.server.writeFile("docs/a.txt", "abc"));
    ASSERT_TRUE(live.server.makeDir("pub"));
    ASSERT_TRUE(live.connect()) << live.server.lastError().toStdString();
    QTemporaryDir local;
    // The tree reaches the folder as its parents load; until then a download
    // would go to the folder selected before (the home folder).
    LocalTreeView* localTree = live.frame->localExplorer()->tree();
    localTree->selectFolder(local.path());
    ASSERT_TRUE(
        WorkbenchHarness::waitFor([&] { return localTree->selectedFolder() == local.path(); }));
    RemoteExplorer* r = live.remote();
    RemoteListModel* m = r->listModel();
    live.workbench->settings().SizeStyle = 2;
    r->setSizeStyle(2);

    // At the server's root: no "..", the bar says where the list is.
    EXPECT_EQ(r->pathBar()->text(), "/");
    EXPECT_FALSE(m->hasParentRow());
    EXPECT_EQ(r->statusLine()->text(), "2 folders, 0 files, total 0");

    // A typed path goes there, relative to the folder shown.
    r->pathBar()->setText("docs/sub");
    QTest::keyClick(r->pathBar(), Qt::Key_Return);
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] {
        return m->folder() == "/docs/sub" && m->rowOf("deep.txt") == 1 && !live.session().isBusy();
    }));
    EXPECT_EQ(r->pathBar()->text(), "/docs/sub");
    EXPECT_EQ(r->treeModel()->pathOf(r->treeView()->currentIndex()), "/docs/sub");
    EXPECT_TRUE(m->isParentRow(0));
    EXPECT_EQ(m->index(0, 0).data().toString(), "..");

    // Enter on ".." goes up, Enter on a folder opens it at its first row.
    r->listView()->setFocus();
    r->listView()->setCurrentIndex(m->index(0, 0));
    QTest::keyClick(r->listView(), Qt::Key_Return);
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] {
        return m->folder() == "/docs" && m->rowOf("a.txt") >= 0 && !live.session().isBusy();
    }));
    EXPECT_EQ(r->statusLine()->text(), "1 folder, 1 file, total 3");
    r->listView()->setCurrentIndex(m->index(m->rowOf("sub"), 0));
    QTest::keyClick(r->listView(), Qt::Key_Return);
    ASSERT_TRUE(WorkbenchHarness::waitFor(
        [&] { return m->folder() == "/docs/sub" && m->rowCount() == 2; }));
    EXPECT_EQ(r->listView()->currentIndex().row(), 0);
    EXPECT_TRUE(r->listView()->hasFocus());

    // Enter on a file downloads it into the local folder open on the page.
    r->listView()->setCurrentIndex(m->index(m->rowOf("deep.txt"), 0));
    QTest::keyClick(r->listView(), Qt::Key_Return);
    ASSERT_TRUE(WorkbenchHarness::waitFor(
        [&] { return QFile::exists(local.filePath("deep.txt")) && !live.session().isBusy(); }));
    QFile got(local.filePath("deep.txt"));
    ASSERT_TRUE(got.open(QIODevice::ReadOnly));
    EXPECT_EQ(got.readAll(), "d");

    // The selection's own counts; ".." never counts.
    r->listView()->selectAll();
    EXPECT_EQ(r->statusLine()->text(), "Selected: 0 folders, 1 file, total 1");

    // A folder the server refuses says so and leaves no trace in the tree.
    r->pathBar()->setText("/nope");
    QTest::keyClick(r->pathBar(), Qt::Key_Return);
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return !live.prompter.messages().isEmpty(); }));
    EXPECT_TRUE(
        live.prompter.messages().value(0).startsWith("Can not open /nope: the server answered 5"))
        << live.prompter.messages().value(0).toStdString();
    EXPECT_FALSE(r->treeModel()->indexOf("/nope").isValid());
    ASSERT_TRUE(live.idle());
}

}  // namespace
