#include "workspace/project_folders.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/scripted_prompter.h"

namespace {

const QChar kBack = QLatin1Char('\\');
const QChar kSlash = QLatin1Char('/');

struct ContainCase {
    const char* folder;
    const char* path;
    char sep;
    bool inside;
};

TEST(ProjectPathRules, IsInProjectBoundsBySeparatorAndIgnoresCase) {
    const ContainCase cases[] = {
        {"C:\\Web", "c:\\web\\img", '\\', true},
        {"C:\\Web", "C:\\Website", '\\', false},
        {"C:\\Web", "C:\\Web", '\\', true},
        {"C:\\Web", "C:\\WEB", '\\', true},
        {"C:\\Web", "C:\\We", '\\', false},
        {"C:\\Web", "C:\\Web/img", '\\', false},
        {"", "C:\\Web", '\\', false},
        {"", "", '\\', false},
        {"C:\\", "C:\\Web", '\\', true},
        {"/public_html", "/PUBLIC_HTML/docs", '/', true},
        {"/public_html", "/public_html2", '/', false},
        {"/web", "/web/", '/', true},
        {"/web", "/web\\x", '/', false},
        {"/", "/home", '/', true},
        {"/home/u/web", "/home/u/web/a/b", '/', true},
        {"/home/u/web", "/home/u", '/', false},
    };
    for (const ContainCase& c : cases) {
        EXPECT_EQ(c.inside, IsInProject(QString::fromUtf8(c.folder), QString::fromUtf8(c.path),
                                        QLatin1Char(c.sep)))
            << c.folder << " / " << c.path;
    }
}

TEST(ProjectPathRules, ProjectParentIsTheFolderItselfOrAnAncestor) {
    const QString project = QStringLiteral("C:\\Web\\site");
    EXPECT_TRUE(IsProjectParent(project, QStringLiteral("C:\\Web\\site"), kBack));
    EXPECT_TRUE(IsProjectParent(project, QStringLiteral("c:\\web"), kBack));
    EXPECT_TRUE(IsProjectParent(project, QStringLiteral("C:\\"), kBack));
    EXPECT_FALSE(IsProjectParent(project, QStringLiteral("C:\\Web\\site\\img"), kBack));
    EXPECT_FALSE(IsProjectParent(project, QStringLiteral("C:\\We"), kBack));
    EXPECT_FALSE(IsProjectParent(project, QStringLiteral("C:\\Web\\sit"), kBack));
    EXPECT_FALSE(IsProjectParent(QString(), QStringLiteral("/"), kSlash));
    EXPECT_TRUE(IsProjectParent(QStringLiteral("/public_html/site"), QStringLiteral("/"), kSlash));
}

TEST(ProjectPathRules, MapsBetweenTheTwoProjectFoldersKeepingLetterCase) {
    const ProjectFolders windows{QStringLiteral("C:\\Web"), QStringLiteral("/public_html")};
    EXPECT_EQ(QStringLiteral("/public_html/img/small"),
              ToRemoteProjectPath(windows, QStringLiteral("C:\\Web\\img\\small"), kBack));
    EXPECT_EQ(QStringLiteral("/public_html"),
              ToRemoteProjectPath(windows, QStringLiteral("C:\\Web"), kBack));
    EXPECT_EQ(QStringLiteral("/public_html/Img"),
              ToRemoteProjectPath(windows, QStringLiteral("c:\\WEB\\Img"), kBack));
    EXPECT_EQ(QString(), ToRemoteProjectPath(windows, QStringLiteral("C:\\Website\\a"), kBack));
    EXPECT_EQ(QStringLiteral("C:\\Web\\img\\small"),
              ToLocalProjectPath(windows, QStringLiteral("/public_html/img/small"), kBack));
    EXPECT_EQ(QStringLiteral("C:\\Web"),
              ToLocalProjectPath(windows, QStringLiteral("/public_html"), kBack));

    const ProjectFolders linux{QStringLiteral("/home/u/web"), QStringLiteral("/")};
    EXPECT_EQ(QStringLiteral("/img/a.png"),
              ToRemoteProjectPath(linux, QStringLiteral("/home/u/web/img/a.png")));
    EXPECT_EQ(QStringLiteral("/home/u/web/img"), ToLocalProjectPath(linux, QStringLiteral("/img")));
    EXPECT_EQ(QStringLiteral("/home/u/web"), ToLocalProjectPath(linux, QStringLiteral("/")));

    const ProjectFolders halfSet{QStringLiteral("/home/u/web"), QString()};
    EXPECT_EQ(QString(), ToRemoteProjectPath(halfSet, QStringLiteral("/home/u/web/a")));
    EXPECT_EQ(QString(), ToLocalProjectPath(halfSet, QStringLiteral("/a")));
}

class SetProjectFolder : public ::testing::Test {
protected:
    StoreProjectFolder recorder() {
        return [this](const QString& text) { stored.push_back(text); };
    }
    static TakeProjectRoot accept(bool ok) {
        return [ok](const QString&) { return ok; };
    }
    QStringList stored;
    ScriptedPrompter prompter;
};

TEST_F(SetProjectFolder, SameFolderInAnotherCaseAsksNothingAndStoresNothing) {
    EXPECT_EQ(ProjectFolderChange::Unchanged,
              SetLocalProjectFolder(QStringLiteral("/home/u/Web"), QStringLiteral("/HOME/u/web"),
                                    prompter, recorder(), accept(true)));
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_TRUE(stored.isEmpty());
}

TEST_F(SetProjectFolder, FirstFolderIsStoredWithoutQuestion) {
    EXPECT_EQ(ProjectFolderChange::Stored,
              SetLocalProjectFolder(QString(), QStringLiteral("/srv/web"), prompter, recorder(),
                                    accept(true)));
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(QStringList({QStringLiteral("/srv/web")}), stored);
}

TEST_F(SetProjectFolder, ChangingAsksAndNoKeepsTheOldFolder) {
    prompter.expectQuestion(QStringLiteral("Do you want to change local project Folder?"), false)
        .expectQuestion(QStringLiteral("Do you want to change local project Folder?"), true);
    EXPECT_EQ(ProjectFolderChange::Declined,
              SetLocalProjectFolder(QStringLiteral("/a"), QStringLiteral("/b"), prompter,
                                    recorder(), accept(true)));
    EXPECT_TRUE(stored.isEmpty());
    EXPECT_EQ(ProjectFolderChange::Stored,
              SetLocalProjectFolder(QStringLiteral("/a"), QStringLiteral("/b"), prompter,
                                    recorder(), accept(true)));
    EXPECT_EQ(QStringList{QStringLiteral("/b")}, stored);
}

TEST_F(SetProjectFolder, RefusedRootShowsInvalidAndKeepsTheOldFolder) {
    bool offered = false;
    prompter.answer(true);
    EXPECT_EQ(ProjectFolderChange::Refused,
              SetLocalProjectFolder(QStringLiteral("/a"), QStringLiteral("/b"), prompter,
                                    recorder(), [&](const QString& path) {
                                        offered = path == QLatin1String("/b");
                                        return false;
                                    }));
    EXPECT_TRUE(offered);
    EXPECT_TRUE(stored.isEmpty());
    EXPECT_EQ(QStringList{QStringLiteral("The local project Folder is invalid")},
              prompter.messages());
}

TEST_F(SetProjectFolder, DefaultRootCheckWantsAnExistingFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(ProjectFolderChange::Refused,
              SetLocalProjectFolder(QString(), dir.filePath(QStringLiteral("missing")), prompter,
                                    recorder()));
    EXPECT_EQ(ProjectFolderChange::Stored,
              SetLocalProjectFolder(QString(), dir.path(), prompter, recorder()));
    EXPECT_EQ(QStringList{dir.path()}, stored);
}

TEST_F(SetProjectFolder, ClearingAsksItsOwnQuestionAndStoresTheEmptyText) {
    prompter.expectQuestion(QStringLiteral("Remove project Folder?"), false)
        .expectQuestion(QStringLiteral("Remove project Folder?"), true);
    EXPECT_EQ(ProjectFolderChange::Declined,
              ClearLocalProjectFolder(QStringLiteral("/a"), prompter, recorder()));
    EXPECT_TRUE(stored.isEmpty());
    EXPECT_EQ(ProjectFolderChange::Stored,
              ClearLocalProjectFolder(QStringLiteral("/a"), prompter, recorder()));
    EXPECT_EQ(QStringList({QString()}), stored);
    EXPECT_EQ(ProjectFolderChange::Unchanged,
              ClearLocalProjectFolder(QString(), prompter, recorder()));
}

TEST(ProjectGuards, LocalDeleteRefusesParentsAndAsksForSubFolders) {
    const QString project = QStringLiteral("C:\\Web");
    {
        ScriptedPrompter prompter;
        EXPECT_FALSE(
            ConfirmDeleteLocalFolder(project, QStringLiteral("c:\\web"), true, prompter, kBack));
        EXPECT_FALSE(
            ConfirmDeleteLocalFolder(project, QStringLiteral("C:\\"), true, prompter, kBack));
        // Nor as the root of the project page's own tree.
        EXPECT_FALSE(ConfirmDeleteLocalFolder(project, project, false, prompter, kBack));
        // A list's rows: the project folder among them refuses them all.
        EXPECT_FALSE(ConfirmDeleteLocalItems(project, QStringLiteral("C:\\"),
                                             {{"notes.txt", false}, {"web", true}}, true, prompter,
                                             kBack));
        EXPECT_EQ(QStringList(4, QStringLiteral("Can not delete the Folder, because it is parent "
                                                "of project Folder.")),
                  prompter.messages());
        EXPECT_TRUE(prompter.questions().isEmpty());
    }
    {
        ScriptedPrompter prompter;
        prompter
            .expectQuestion(
                QStringLiteral("It is sub-Folder of project, Do you want to delete it?"), true)
            .expectQuestion(QStringLiteral("Delete the Folder?"), false)
            .expectQuestion(QStringLiteral("Delete the Folder?"), true)
            .expectQuestion(QStringLiteral("Delete selected file/folder?"), true);
        EXPECT_TRUE(ConfirmDeleteLocalFolder(project, QStringLiteral("C:\\Web\\img"), true,
                                             prompter, kBack));
        EXPECT_FALSE(ConfirmDeleteLocalFolder(project, QStringLiteral("C:\\Website"), true,
                                              prompter, kBack));
        // The project page's own tree asks only the ordinary question.
        EXPECT_TRUE(ConfirmDeleteLocalFolder(project, QStringLiteral("C:\\Web\\img"), false,
                                             prompter, kBack));
        EXPECT_TRUE(
            ConfirmDeleteLocalItems(project, project, {{"img", true}}, true, prompter, kBack));
        EXPECT_TRUE(prompter.messages().isEmpty());
    }
}

TEST(ProjectGuards, LocalRenameAndMoveOfAParentAsk) {
    ScriptedPrompter prompter;
    prompter
        .expectQuestion(QStringLiteral("It is parent Folder of project, Do you want to rename it?"),
                        false)
        .expectQuestion(QStringLiteral("It is parent Folder of project, Do you want to move it?"),
                        true);
    const QString project = QStringLiteral("/home/u/web");
    EXPECT_FALSE(ConfirmRenameLocalFolder(project, QStringLiteral("/home/u"), true, prompter));
    EXPECT_TRUE(ConfirmRenameLocalFolder(project, QStringLiteral("/home/u/web/a"), true, prompter));
    EXPECT_TRUE(ConfirmRenameLocalFolder(project, QStringLiteral("/home/u"), false, prompter));
    EXPECT_TRUE(ConfirmMoveLocalFolder(project, QStringLiteral("/home"), prompter));
    EXPECT_TRUE(ConfirmMoveLocalFolder(project, QStringLiteral("/home/u/website"), prompter));
}

TEST(ProjectMenus, UploadTextNamesTheRemoteProjectInsideTheLocalProject) {
    const ProjectFolders folders{QStringLiteral("/home/u/web"), QStringLiteral("/public_html")};
    TransferMenuTarget t =
        UploadMenuTarget(folders, QStringLiteral("/home/u/web/img/small"), QStringLiteral("/tmp"));
    EXPECT_EQ(QStringLiteral("Upload to\t(Remote project Folder)/img/small"), t.text);
    EXPECT_EQ(QStringLiteral("/public_html/img/small"), t.folder);
    EXPECT_TRUE(t.inProject);

    t = UploadMenuTarget(folders, QStringLiteral("/home/u/web"), QStringLiteral("/tmp"));
    EXPECT_EQ(QStringLiteral("Upload to\t(Remote project Folder)"), t.text);
    EXPECT_EQ(QStringLiteral("/public_html"), t.folder);

    t = UploadMenuTarget(folders, QStringLiteral("/home/u/website"), QStringLiteral("/incoming"));
    EXPECT_EQ(QStringLiteral("Upload to\t/incoming"), t.text);
    EXPECT_EQ(QStringLiteral("/incoming"), t.folder);
    EXPECT_FALSE(t.inProject);

    const ProjectFolders localOnly{QStringLiteral("/home/u/web"), QString()};
    t = UploadMenuTarget(localOnly, QStringLiteral("/home/u/web/a"), QStringLiteral("/x"));
    EXPECT_EQ(QStringLiteral("Upload to\t/x"), t.text);
}

}  // namespace
