#include "app/tool_dialog_rules.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/scripted_prompter.h"

namespace {

ToolRecord Tool(const char* name, const char* path, const char* file, quint8 http) {
    return ToolRecord{QString::fromUtf8(name), QString::fromUtf8(path), QString::fromUtf8(file),
                      http};
}

TEST(ToolDialogRules, SearchNeedsARowWithoutPathOrFile) {
    ScriptedPrompter prompter;
    EXPECT_TRUE(CheckSearchRequest({Tool("a", "/a", "a", 0), Tool("b", "", "b", 0)}, prompter));
    EXPECT_TRUE(CheckSearchRequest({Tool("a", "/a", "", 0)}, prompter));
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_FALSE(CheckSearchRequest({Tool("a", "/a", "a", 0), Tool("b", "/b", "b", 1)}, prompter));
    EXPECT_EQ(QStringList{QStringLiteral("Please remove undesirable tools for re-searching.")},
              prompter.messages());
}

TEST(ToolDialogRules, RenamingToNothingIsRefused) {
    ScriptedPrompter prompter;
    EXPECT_TRUE(AcceptToolName(QStringLiteral("x"), prompter));
    EXPECT_FALSE(AcceptToolName(QString(), prompter));
    EXPECT_EQ(QStringList{QStringLiteral("Please input name for the tool.")}, prompter.messages());
}

TEST(ToolDialogRules, NoChangeIgnoresCaseOfPathAndFileOnly) {
    const std::vector<ToolRecord> stored = {Tool("Firefox", "/usr/bin", "firefox", 1),
                                            Tool("Kate", "", "kate", 0)};
    const struct {
        const char* what;
        std::vector<ToolRecord> rows;
        bool same;
    } cases[] = {
        {"identical", stored, true},
        {"path case", {Tool("Firefox", "/USR/Bin", "firefox", 1), stored[1]}, true},
        {"file case", {Tool("Firefox", "/usr/bin", "FireFox", 1), stored[1]}, true},
        {"kind byte 2 is still HTTP", {Tool("Firefox", "/usr/bin", "firefox", 2), stored[1]}, true},
        {"name case", {Tool("firefox", "/usr/bin", "firefox", 1), stored[1]}, false},
        {"kind", {Tool("Firefox", "/usr/bin", "firefox", 0), stored[1]}, false},
        {"path", {stored[0], Tool("Kate", "/usr/bin", "kate", 0)}, false},
        {"count", {stored[0]}, false},
        {"order", {stored[1], stored[0]}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.same, SameToolRows(c.rows, stored)) << c.what;
    }
}

TEST(ToolDialogRules, SavingReplacesOnlyAChangedList) {
    std::vector<ToolRecord> stored = {Tool("Firefox", "/usr/bin", "firefox", 1)};
    ScriptedPrompter prompter;
    EXPECT_EQ(ToolSaveOutcome::NoChange,
              SaveToolRows({Tool("Firefox", "/USR/BIN", "firefox", 1)}, stored, prompter));
    EXPECT_EQ(QStringLiteral("/usr/bin"), stored[0].Path);
    EXPECT_EQ(QStringList{QStringLiteral("No change.")}, prompter.messages());

    EXPECT_EQ(ToolSaveOutcome::Replaced,
              SaveToolRows({Tool("Web", "/usr/bin", "firefox", 1)}, stored, prompter));
    EXPECT_EQ(QStringLiteral("Web"), stored[0].Name);
    EXPECT_EQ(1, prompter.messages().size());
}

TEST(ToolDialogRules, KindColumnReadsHttpInAnyCase) {
    EXPECT_TRUE(ToolKindIsHttp(QStringLiteral("http")));
    EXPECT_TRUE(ToolKindIsHttp(ToolKindText(true)));
    EXPECT_FALSE(ToolKindIsHttp(ToolKindText(false)));
    EXPECT_FALSE(ToolKindIsHttp(QStringLiteral("HTTP ")));
}

TEST(ToolDialogRules, ProgramPathSplitsAtTheLastSlash) {
    const struct {
        const char* input;
        const char* path;
        const char* file;
    } cases[] = {
        {"/usr/bin/vlc", "/usr/bin", "vlc"},
        {"/opt/My Tools/view.sh", "/opt/My Tools", "view.sh"},
        {"/vlc", "/", "vlc"},
        {"vlc", "", ""},
        {"", "", ""},
        {"/usr/bin/", "/usr/bin", ""},
    };
    for (const auto& c : cases) {
        const ProgramPathParts parts = SplitProgramPath(QString::fromUtf8(c.input));
        EXPECT_EQ(QString::fromUtf8(c.path), parts.Path) << c.input;
        EXPECT_EQ(QString::fromUtf8(c.file), parts.File) << c.input;
    }
}

TEST(ToolDialogRules, AddedToolIsNamedAfterItsFileAndEditKeepsTheName) {
    ToolRecord row = NewUserTool(QStringLiteral("/opt/tools/My.Viewer.sh"), true);
    EXPECT_EQ(QStringLiteral("My.Viewer"), row.Name);
    EXPECT_EQ(QStringLiteral("/opt/tools"), row.Path);
    EXPECT_EQ(QStringLiteral("My.Viewer.sh"), row.File);
    EXPECT_TRUE(row.isHttpTool());
    EXPECT_EQ(QStringLiteral("/opt/tools/My.Viewer.sh"), ToolEditText(row));

    EditUserTool(row, QStringLiteral("/usr/bin/gimp"), false);
    EXPECT_EQ(QStringLiteral("My.Viewer"), row.Name);
    EXPECT_EQ(QStringLiteral("/usr/bin/gimp"), ToolEditText(row));
    EXPECT_FALSE(row.isHttpTool());

    EXPECT_EQ(QStringLiteral("gimp"), NewUserTool(QStringLiteral("/usr/bin/gimp"), false).Name);
    EXPECT_EQ(QStringLiteral("/vlc"), ToolEditText(NewUserTool(QStringLiteral("/vlc"), false)));
    EXPECT_EQ(QString(), ToolEditText(ToolRecord{}));
}

TEST(ToolDialogRules, FileInputWantsTextAndInModeAddAnExistingFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("tool"));
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    ScriptedPrompter prompter;
    EXPECT_FALSE(AcceptFileInput(QString(), FileInputMode::Test, prompter));
    EXPECT_FALSE(AcceptFileInput(QString(), FileInputMode::Add, prompter));
    EXPECT_FALSE(
        AcceptFileInput(dir.filePath(QStringLiteral("missing")), FileInputMode::Add, prompter));
    EXPECT_FALSE(AcceptFileInput(dir.path(), FileInputMode::Add, prompter));
    EXPECT_EQ(
        QStringList({QStringLiteral("Please input a file."), QStringLiteral("Please input a file."),
                     QStringLiteral("The file doesn't exist."),
                     QStringLiteral("The file doesn't exist.")}),
        prompter.messages());
    EXPECT_TRUE(AcceptFileInput(program, FileInputMode::Add, prompter));
    // A test file may be a web address: it is not looked for.
    EXPECT_TRUE(AcceptFileInput(QStringLiteral("http://h/a.htm"), FileInputMode::Test, prompter));
    EXPECT_TRUE(AcceptFileInput(QStringLiteral("anything"), FileInputMode::Add, prompter,
                                [](const QString&) { return true; }));
    EXPECT_EQ(4, prompter.messages().size());
}

}  // namespace
