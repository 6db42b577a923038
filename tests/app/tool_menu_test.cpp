#include "app/tool_menu.h"

#include <gtest/gtest.h>

#include "support/desktop_recorders.h"
#include "support/scripted_prompter.h"

namespace {

ToolRecord Tool(const char* name, const char* path, const char* file, quint8 http) {
    return ToolRecord{QString::fromUtf8(name), QString::fromUtf8(path), QString::fromUtf8(file),
                      http};
}

ToolLists MixedLists() {
    ToolLists lists;
    lists.SearchedTools = {
        Tool("Mozilla Firefox", "/usr/bin", "firefox", 1),
        Tool("Chromium", "", "chromium", 1),  // not found: not offered
        Tool("gedit", "/usr/bin", "gedit", 0),
        Tool("Broken", "/usr/bin", "", 0),  // no file: not offered
    };
    lists.UserTools = {
        Tool("", "/opt/web", "browser.v2.sh", 1),
        Tool("My editor", "/home/u/bin", "ed", 0),
    };
    return lists;
}

// "text@id" for items, "-" for separators.
QStringList Describe(const ToolMenuPlan& plan) {
    QStringList out;
    for (const ToolMenuEntry& e : plan.entries) {
        out << (e.separator ? QStringLiteral("-")
                            : e.text + QLatin1Char('@') + QString::number(e.commandId));
    }
    return out;
}

TEST(ToolMenu, HttpToolsComeFirstThenLocalToolsEachPassEndingInASeparator) {
    const ToolMenuPlan local = BuildToolMenu(MixedLists(), false, 0, true);
    EXPECT_TRUE(local.enabled);
    EXPECT_EQ(0, local.insertPosition);
    EXPECT_EQ(QStringList({"Mozilla Firefox@33972", "browser.v2@33973", "-", "gedit@33974",
                           "My editor@33975", "-"}),
              Describe(local));
    EXPECT_EQ(QStringLiteral("/opt/web/browser.v2.sh"), local.entries[1].tool.programPath());

    // The remote-only flag leaves local files alone.
    EXPECT_EQ(Describe(local), Describe(BuildToolMenu(MixedLists(), false, 0x01, true)));

    const ToolMenuPlan remote = BuildToolMenu(MixedLists(), true, 0, true);
    EXPECT_EQ(2, remote.insertPosition);
    EXPECT_EQ(Describe(local), Describe(remote));

    const ToolMenuPlan remoteHttpOnly = BuildToolMenu(MixedLists(), true, 0x01, true);
    EXPECT_EQ(QStringList({"Mozilla Firefox@33972", "browser.v2@33973", "-"}),
              Describe(remoteHttpOnly));
}

TEST(ToolMenu, OnlyASinglePlainFileGetsToolsAndEmptyPassesAddNothing) {
    const ToolMenuPlan folder = BuildToolMenu(MixedLists(), false, 0, false);
    EXPECT_FALSE(folder.enabled);
    EXPECT_TRUE(folder.entries.empty());

    ToolLists none;
    none.SearchedTools = {Tool("Chromium", "", "chromium", 1)};
    const ToolMenuPlan empty = BuildToolMenu(none, true, 0, true);
    EXPECT_TRUE(empty.enabled);
    EXPECT_TRUE(empty.entries.empty());

    ToolLists localOnly;
    localOnly.UserTools = {Tool("Kate", "/usr/bin", "kate", 0)};
    EXPECT_EQ(QStringList({"Kate@33972", "-"}), Describe(BuildToolMenu(localOnly, false, 0, true)));
    EXPECT_TRUE(BuildToolMenu(localOnly, true, 0x01, true).entries.empty());
}

TEST(ToolMenu, IdsStopAtTheLastToolCommand) {
    ToolLists lists;
    for (int i = 0; i < 250; ++i) {
        lists.SearchedTools.push_back(Tool("t", "/bin", "t", 1));
    }
    lists.UserTools.push_back(Tool("local", "/bin", "l", 0));
    const ToolMenuPlan plan = BuildToolMenu(lists, false, 0, true);
    ASSERT_EQ(202u, plan.entries.size());  // 201 tools and a separator
    EXPECT_EQ(34172, plan.entries[200].commandId);
    EXPECT_TRUE(plan.entries[201].separator);
}

TEST(ToolMenu, ToolCommandsOpenTheTargetWithTheToolOfTheSameMenuPlace) {
    const ToolLists lists = MixedLists();
    RecordingLauncher launcher;
    ScriptedPrompter prompter;
    EXPECT_TRUE(OpenWithTool(33973, QStringLiteral("/home/u/a b.htm"), false, lists, 0, launcher,
                             prompter));
    EXPECT_TRUE(
        OpenWithTool(33975, QStringLiteral("http://h/a.htm"), true, lists, 0, launcher, prompter));
    ASSERT_EQ(2u, launcher.calls.size());
    EXPECT_EQ(QStringLiteral("/opt/web/browser.v2.sh"), launcher.calls[0].program);
    EXPECT_EQ(QStringList{QStringLiteral("/home/u/a b.htm")}, launcher.calls[0].arguments);
    EXPECT_EQ(QStringLiteral("/home/u/bin/ed"), launcher.calls[1].program);
    EXPECT_EQ(QStringList{QStringLiteral("http://h/a.htm")}, launcher.calls[1].arguments);
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST(ToolMenu, AToolThatIsNoLongerThereIsReported) {
    const ToolLists lists = MixedLists();
    RecordingLauncher launcher;
    ScriptedPrompter prompter;
    // With remote files showing only HTTP tools there are two ids.
    EXPECT_FALSE(
        OpenWithTool(33974, QStringLiteral("http://h/a"), true, lists, 0x01, launcher, prompter));
    EXPECT_FALSE(OpenWithTool(33976, QStringLiteral("/a"), false, lists, 0, launcher, prompter));
    EXPECT_FALSE(OpenWithTool(33971, QStringLiteral("/a"), false, lists, 0, launcher, prompter));
    EXPECT_FALSE(OpenWithTool(34173, QStringLiteral("/a"), false, lists, 0, launcher, prompter));
    EXPECT_TRUE(launcher.calls.empty());
    EXPECT_EQ(QStringList(4, QStringLiteral("Can not find selected tool.")), prompter.messages());
}

TEST(ToolMenu, LaunchingPassesTheFileOnlyWhenGiven) {
    RecordingLauncher launcher;
    const ToolRecord tool = Tool("gedit", "/usr/bin", "gedit", 0);
    EXPECT_TRUE(LaunchTool(tool, QString(), launcher));
    EXPECT_TRUE(LaunchTool(tool, QStringLiteral("/tmp/x.txt"), launcher));
    EXPECT_FALSE(LaunchTool(Tool("lost", "", "lost", 0), QString(), launcher));
    ASSERT_EQ(2u, launcher.calls.size());
    EXPECT_EQ(QStringLiteral("/usr/bin/gedit"), launcher.calls[0].program);
    EXPECT_TRUE(launcher.calls[0].arguments.isEmpty());
    EXPECT_EQ(QStringList{QStringLiteral("/tmp/x.txt")}, launcher.calls[1].arguments);
}

}  // namespace
