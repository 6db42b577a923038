#include <gtest/gtest.h>

#include "platform/program_texts.h"
#include "support/desktop_recorders.h"
#include "support/qt_printers.h"
#include "support/scripted_prompter.h"
#include "workbench_harness.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "app/tool_dialog_rules.h"
#include "app/ui/tool_list_dialog.h"

namespace {

using Harness = WorkbenchHarness;

void makeProgram(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A tree wide and deep enough that walking all of it takes a while.
void makeTree(const QString& root, int width, int depth) {
    if (depth == 0)
        return;
    QDir dir(root);
    for (int i = 0; i < width; ++i) {
        const QString name = QStringLiteral("d%1").arg(i);
        ASSERT_TRUE(dir.mkdir(name));
        makeTree(dir.filePath(name), width, depth - 1);
    }
}

ToolRecord tool(const char* name, const char* file) {
    ToolRecord t;
    t.Name = QString::fromLatin1(name);
    t.File = QString::fromLatin1(file);
    return t;
}

struct ToolDialogFixture : ::testing::Test {
    QTemporaryDir folder;
    RecordingLauncher launcher;
    ScriptedPrompter prompter;
    RecordingHelp help;
};

TEST_F(ToolDialogFixture, SearchRunsInTheBackgroundAndCanBeStopped) {
    const QString bin = folder.filePath(QStringLiteral("bin"));
    const QString tree = folder.filePath(QStringLiteral("tree"));
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(tree));
    makeProgram(bin + QStringLiteral("/vtool"));
    makeTree(tree, 22, 3);  // over 10000 folders, none holding "absent"

    std::vector<ToolRecord> stored = {tool("V tool", "vtool"), tool("Absent", "absent")};
    ToolListDialog dialog(stored, ToolListDialog::Mode::Search, launcher, prompter, help);
    dialog.setSearchRoots({{bin}, {tree}, {}});
    dialog.show();

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(1);

    dialog.searchButton()->click();
    EXPECT_TRUE(dialog.searching());  // the click came back before the walk ended
    // The found row shows at once, while the walk for the other one goes on.
    ASSERT_TRUE(Harness::waitFor([&] { return dialog.table()->item(0, 1)->text() == bin; }, 5000));
    // The status line follows the walk.
    ASSERT_TRUE(Harness::waitFor([&] { return dialog.status()->text().startsWith(tree); }, 5000))
        << dialog.status()->text().toStdString();
    EXPECT_TRUE(dialog.searching());
    EXPECT_GT(ticks, 0);
    EXPECT_FALSE(dialog.searchButton()->isEnabled());

    dialog.stopButton()->click();
    ASSERT_TRUE(Harness::waitFor([&] { return !dialog.searching(); }, 5000));
    EXPECT_NE(dialog.note()->text(), QString::fromLatin1(ToolTexts::kSearchCompleted));
    EXPECT_TRUE(dialog.searchButton()->isEnabled());
    EXPECT_TRUE(dialog.rows()[1].Path.isEmpty());

    // Saved: the found path goes into the stored list.
    dialog.save();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(stored[0].Path, bin);
}

TEST_F(ToolDialogFixture, FinishedSearchSaysSoAndClosingStopsARunningOne) {
    const QString bin = folder.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    makeProgram(bin + QStringLiteral("/vtool"));
    std::vector<ToolRecord> stored = {tool("V tool", "vtool")};
    {
        ToolListDialog dialog(stored, ToolListDialog::Mode::Search, launcher, prompter, help);
        dialog.setSearchRoots({{}, {folder.path()}, {}});
        dialog.show();
        dialog.search();
        ASSERT_TRUE(Harness::waitFor([&] { return !dialog.searching(); }, 5000));
        EXPECT_EQ(dialog.note()->text(), QString::fromLatin1(ToolTexts::kSearchCompleted));
        EXPECT_EQ(dialog.rows()[0].Path, bin);

        // Every row has a program now: nothing to search for.
        dialog.search();
        EXPECT_EQ(prompter.messages(),
                  QStringList{QString::fromLatin1(ToolTexts::kRemoveForResearch)});
    }
    const QString tree = folder.filePath(QStringLiteral("tree"));
    ASSERT_TRUE(QDir().mkpath(tree));
    makeTree(tree, 22, 3);
    std::vector<ToolRecord> absent = {tool("Absent", "absent")};
    ToolListDialog dialog(absent, ToolListDialog::Mode::Search, launcher, prompter, help);
    dialog.setSearchRoots({{}, {tree}, {}});
    dialog.show();
    dialog.search();
    ASSERT_TRUE(Harness::waitFor([&] { return !dialog.status()->text().isEmpty(); }, 5000));
    dialog.reject();
    // The walk ends as stopped, not by running to the end of the tree.
    ASSERT_TRUE(Harness::waitFor([&] { return !dialog.searching(); }, 5000));
    EXPECT_EQ(dialog.note()->text(), QString::fromLatin1(ToolTexts::kSearchNote));
}

TEST_F(ToolDialogFixture, UserToolsAreAddedEditedLaunchedAndSaved) {
    std::vector<ToolRecord> stored;
    ToolListDialog dialog(stored, ToolListDialog::Mode::User, launcher, prompter, help);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Add user tools"));
    EXPECT_EQ(dialog.table()->horizontalHeaderItem(3)->text(), QStringLiteral("HTTP/local tool"));
    QList<FileInputMode> asked;
    QStringList answers = {QStringLiteral("/usr/bin/vim.basic"), QStringLiteral("/tmp/a.txt"),
                           QStringLiteral("/opt/ff/firefox")};
    dialog.setFileInputAsker(
        [&](FileInputMode mode,
            const ToolListDialog::FileInput&) -> std::optional<ToolListDialog::FileInput> {
            asked << mode;
            return ToolListDialog::FileInput{answers.takeFirst(), mode == FileInputMode::Add};
        });
    dialog.show();

    dialog.save();  // nothing yet
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("No change.")});

    dialog.addTool();
    ASSERT_EQ(dialog.rows().size(), 1u);
    EXPECT_EQ(dialog.table()->item(0, 0)->text(), QStringLiteral("vim"));
    EXPECT_EQ(dialog.table()->item(0, 3)->text(), QStringLiteral("HTTP"));
    dialog.executeFile(0);
    dialog.launchOnly(0);
    EXPECT_EQ(launcher.started(), (QStringList{QStringLiteral("/usr/bin/vim.basic /tmp/a.txt"),
                                               QStringLiteral("/usr/bin/vim.basic ")}));
    dialog.editRow(0);
    EXPECT_EQ(asked,
              (QList<FileInputMode>{FileInputMode::Add, FileInputMode::Test, FileInputMode::Add}));
    EXPECT_EQ(dialog.rows()[0].Name, QStringLiteral("vim"));  // the name stays
    EXPECT_EQ(dialog.rows()[0].programPath(), QStringLiteral("/opt/ff/firefox"));

    // Renaming in place to nothing is refused and the old name comes back.
    dialog.table()->item(0, 0)->setText(QString());
    EXPECT_EQ(prompter.messages().last(), QString::fromLatin1(ToolTexts::kInputName));
    EXPECT_EQ(dialog.table()->item(0, 0)->text(), QStringLiteral("vim"));
    dialog.table()->item(0, 0)->setText(QStringLiteral("Firefox"));

    dialog.save();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].Name, QStringLiteral("Firefox"));
    EXPECT_EQ(stored[0].Path, QStringLiteral("/opt/ff"));
}

}  // namespace
