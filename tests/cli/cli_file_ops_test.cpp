// velmora-cli changing the server's files: delete, create folder, rename, move
// and permissions, each checked on the server's disk afterwards.
#include "cli/cli_server_suite.h"
#include "cli/tree_snapshot.h"
#include "session/publish_plan.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <map>
#include <vector>

namespace {

template <typename Flavour>
class CliFileOpsTest : public CliServerSuite<Flavour> {};

TYPED_TEST_SUITE(CliFileOpsTest, ServerFlavours, FlavourNames);

TYPED_TEST(CliFileOpsTest, RmDeletesTreesFilesAndLinksOnly) {
    ASSERT_TRUE(writeServerTree(*this->server_, this->serverRel("rm/tree"), sampleTree()));
    ASSERT_TRUE(this->server_->writeFile(this->serverRel("rm/file.txt"), "file\n"));
    ASSERT_TRUE(this->server_->writeFile(this->serverRel("rm/keep.txt"), "keep\n"));
    // A link inside the tree goes with the tree; what it points at stays.
    ASSERT_TRUE(QFile::link(QStringLiteral("../keep.txt"), this->serverPath("rm/tree/link")));
    // What an interrupted upload left of a deleted file goes with it; a kept
    // file's stays for its next upload to continue.
    const QByteArray leftover = uploadTemporaryName("file.txt", newUploadTag("0123abcd"));
    const QByteArray kept = uploadTemporaryName("keep.txt", newUploadTag("0123abcd"));
    ASSERT_TRUE(
        this->server_->writeFile(this->serverRel("rm/" + QString::fromUtf8(leftover)), "fi"));
    ASSERT_TRUE(this->server_->writeFile(this->serverRel("rm/" + QString::fromUtf8(kept)), "ke"));

    // A relative path starts in the login folder, as ls takes it.
    auto removeRun =
        this->start({this->url(), "rm", this->remote("rm/tree"), this->serverRel("rm/file.txt")});
    auto missingRun = this->start({this->url(), "rm", this->remote("rm/no such entry")});

    const CliResult r = removeRun->wait();
    EXPECT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_EQ(snapshotTree(this->serverPath("rm")),
              (TreeSnapshot{{QString::fromUtf8(kept), digestOf("ke")},
                            {"keep.txt", digestOf("keep\n")}}));

    const CliResult m = missingRun->wait();
    EXPECT_EQ(m.exitCode, 1) << str(m.describe());
    EXPECT_TRUE(m.err.contains(this->remote("rm/no such entry"))) << str(m.err);
}

TYPED_TEST(CliFileOpsTest, MkdirCreatesAFolderAndRefusesTakenNames) {
    ASSERT_TRUE(this->server_->makeDir(this->serverRel("mk/existing")));
    ASSERT_TRUE(this->server_->writeFile(this->serverRel("mk/file.txt"), "file\n"));
    struct Case {
        QString path;
        int exitCode;
        bool relative;  // to the login folder
    };
    const std::vector<Case> cases = {
        {QString::fromUtf8("mk/new f\xc3\xb6lder"), 0, false},
        {QStringLiteral("mk/existing/inner"), 0, false},
        {QStringLiteral("mk/file.txt"), 1, false},
        {QStringLiteral("mk/relative"), 0, true},
    };
    std::vector<std::unique_ptr<CliRun>> runs;
    for (const Case& c : cases)
        runs.push_back(this->start(
            {this->url(), "mkdir", c.relative ? this->serverRel(c.path) : this->remote(c.path)}));
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(str(cases[i].path));
        const CliResult r = runs[i]->wait();
        EXPECT_EQ(r.exitCode, cases[i].exitCode) << str(r.describe());
    }
    // An existing folder: refused, and nothing changed inside it.
    const CliResult again = this->cli({this->url(), "mkdir", this->remote("mk/existing")});
    EXPECT_EQ(again.exitCode, 1) << str(again.describe());
    EXPECT_TRUE(again.err.contains(this->remote("mk/existing"))) << str(again.err);

    EXPECT_EQ(snapshotTree(this->serverPath("mk")),
              (TreeSnapshot{{QString::fromUtf8("new f\xc3\xb6lder/"), "folder"},
                            {"existing/", "folder"},
                            {"existing/inner/", "folder"},
                            {"relative/", "folder"},
                            {"file.txt", digestOf("file\n")}}));
}

TYPED_TEST(CliFileOpsTest, RenameWithinTheFolder) {
    const QByteArray bytes = patternBytes(5000, 41);
    struct Case {
        const char* what;
        QStringList args;  // after "rename", paths relative to the case folder
        int exitCode;
        std::vector<TreeEntry> before;
        std::vector<TreeEntry> after;
    };
    const std::vector<Case> cases = {
        {"a file",
         {"old.txt", "new name.txt"},
         0,
         {{"old.txt", bytes}, {"other.txt", "other"}},
         {{"new name.txt", bytes}, {"other.txt", "other"}}},
        {"a folder with contents",
         {"dir", QString::fromUtf8("D\xc3\xafr")},
         0,
         {{"dir/in/f.txt", bytes}},
         {{QString::fromUtf8("D\xc3\xafr/in/f.txt"), bytes}}},
        {"onto a taken name",
         {"a.txt", "b.txt"},
         1,
         {{"a.txt", "a"}, {"b.txt", "b"}},
         {{"a.txt", "a"}, {"b.txt", "b"}}},
        {"a missing entry", {"gone.txt", "c.txt"}, 1, {{"a.txt", "a"}}, {{"a.txt", "a"}}},
    };
    std::vector<std::unique_ptr<CliRun>> runs;
    for (size_t i = 0; i < cases.size(); ++i) {
        const QString folder = QStringLiteral("ren%1").arg(i);
        ASSERT_TRUE(writeServerTree(*this->server_, this->serverRel(folder), cases[i].before));
        runs.push_back(
            this->start({this->url(), "rename", this->remote(folder + "/" + cases[i].args[0]),
                         cases[i].args[1]}));
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.what);
        const CliResult r = runs[i]->wait();
        EXPECT_EQ(r.exitCode, c.exitCode) << str(r.describe());
        EXPECT_EQ(snapshotTree(this->serverPath(QStringLiteral("ren%1").arg(i))),
                  expectedTree(c.after));
    }
}

TYPED_TEST(CliFileOpsTest, MvMovesEntriesOfSeveralFoldersIntoOne) {
    const QByteArray a = patternBytes(3000, 42);
    ASSERT_TRUE(writeServerTree(*this->server_, this->serverRel("mv"),
                                {{"src/a.txt", a},
                                 {"src/b b.txt", "b"},
                                 {"src/stays.txt", "stays"},
                                 {"other/sub/c.txt", "c"},
                                 {"dst/", {}}}));
    const CliResult r =
        this->cli({this->url(), "mv", this->remote("mv/src/a.txt"), this->remote("mv/src/b b.txt"),
                   this->remote("mv/other/sub"), this->remote("mv/dst")});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_EQ(snapshotTree(this->serverPath("mv")), expectedTree({{"src/stays.txt", "stays"},
                                                                  {"other/", {}},
                                                                  {"dst/a.txt", a},
                                                                  {"dst/b b.txt", "b"},
                                                                  {"dst/sub/c.txt", "c"}}));

    const CliResult missing =
        this->cli({this->url(), "mv", this->remote("mv/src/none.txt"), this->remote("mv/dst")});
    EXPECT_EQ(missing.exitCode, 1) << str(missing.describe());
    EXPECT_TRUE(missing.err.contains(this->remote("mv/src/none.txt"))) << str(missing.err);
}

TYPED_TEST(CliFileOpsTest, ChmodChangesModesOnDiskWhereTheServerAllows) {
    // Modes before, by path below "perm".
    const std::map<QString, int> before = {
        {"file.txt", 0604},    {"d", 0755},           {"d/f.txt", 0644},
        {"d/sub", 0755},       {"d/sub/g.txt", 0644}, {"d/sub/deeper", 0755},
        {"e", 0755},           {"e/f.txt", 0644},     {"e/sub", 0755},
        {"e/sub/g.txt", 0644},
    };
    for (const auto& [path, mode] : before) {
        const bool file = path.endsWith(QLatin1String(".txt"));
        const QString rel = this->serverRel("perm/" + path);
        ASSERT_TRUE(file ? this->server_->writeFile(rel, path.toUtf8())
                         : this->server_->makeDir(rel));
    }
    for (const auto& [path, mode] : before)
        ASSERT_TRUE(setMode(this->serverPath("perm/" + path), mode)) << str(path);

    // A refusal ends the run at once; the time limit only bounds a run
    // that would wait for ever.
    auto fileRun = this->start(
        {"--timeout", "10", this->url(), "chmod", "640", this->remote("perm/file.txt")});
    auto foldersRun = this->start({"--timeout", "10", this->url(), "chmod", "750",
                                   this->remote("perm/d"), "--recursive", "--folders"});
    // Files only: the files at every depth, no folder (640 would lock them).
    auto filesRun = this->start({"--timeout", "10", this->url(), "chmod", "640",
                                 this->remote("perm/e"), "--recursive", "--files"});

    std::map<QString, int> expected = before;
    if (TypeParam::kChmod) {
        expected["file.txt"] = 0640;
        for (const char* p : {"d", "d/sub", "d/sub/deeper"})
            expected[p] = 0750;
        for (const char* p : {"e/f.txt", "e/sub/g.txt"})
            expected[p] = 0640;
    }
    for (CliRun* run : {fileRun.get(), foldersRun.get(), filesRun.get()}) {
        const CliResult r = run->wait();
        if (TypeParam::kChmod) {
            EXPECT_EQ(r.exitCode, 0) << str(r.describe());
        } else {
            EXPECT_EQ(r.exitCode, 1) << str(r.describe());
            EXPECT_TRUE(r.err.contains(QLatin1String("SITE CHMOD"))) << str(r.describe());
            EXPECT_FALSE(r.err.contains(QLatin1String("timed out"))) << str(r.describe());
        }
    }
    std::map<QString, int> found;
    for (const auto& [path, mode] : before)
        found[path] = modeOf(this->serverPath("perm/" + path));
    EXPECT_EQ(found, expected);
}

}  // namespace
