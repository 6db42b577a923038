// The main window against a real server: what a user's clicks reach.
#include "live_frame.h"

#include <QFile>
#include <QStandardPaths>

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
    EXPECT_EQ(live.fakes.launcher.started.value(0), "/opt/web/browse http://127.0.0.1/docs/a.html");
    ASSERT_TRUE(live.server.writeFile("docs/a.html", content + "changed\n"));
    FindMenuAction(menu.get(), "Editor")->trigger();
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return live.fakes.launcher.started.size() == 2; }));
    const QString started = live.fakes.launcher.started[1];
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
    EXPECT_EQ(live.fakes.launcher.started.size(), 2);
    EXPECT_EQ(live.prompter.messages().value(0),
              "Could not fetch /docs/a.html to view it; the FTP chat says why.");
}

}  // namespace

#include "app/command_ids.h"
#include "app/ui/quick_connect_bar.h"
#include "app/ui/site_name_dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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
    QTimer::singleShot(100, [] {
        auto* d = qobject_cast<SiteNameDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(d);
        EXPECT_EQ(d->nameEdit()->text(), "127.0.0.1");
        d->setTexts("Quick", "saved");
        d->okButton()->click();
    });
    save->trigger();
    ASSERT_EQ(live.workbench->sites().Records.size(), 1u);
    const SiteRecord& kept = live.workbench->sites().Records[0];
    EXPECT_EQ(kept.Name, "Quick");
    EXPECT_EQ(kept.Port, live.server.port());
    EXPECT_EQ(kept.User, live.server.user());
    EXPECT_EQ(kept.Id, live.workbench->sites().Current.Site.Id);
    live.frame->updateMenuState();
    EXPECT_FALSE(save->isEnabled());
}

}  // namespace
