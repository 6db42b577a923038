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
