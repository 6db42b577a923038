// velmora-cli's loops against real servers: compare of a project pair with
// known differences, deploy --changed with its state file on the server, find
// and case.
#include "cli/cli_server_suite.h"
#include "cli/tree_snapshot.h"
#include "session/publish_plan.h"
#include "support/pyftpdlib_suite.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <map>

namespace {

class CliPairTest : public PyftpdlibSuite<CliPairTest> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(PyftpdlibSuite::SetUp());
        ASSERT_TRUE(settings_.isValid() && work_.isValid());
    }
    CliResult cli(const QStringList& args) const {
        return runCli(QStringList{"--setting-dir", settings_.path()} + args,
                      CliRun::cliEnvironment(settings_.path()));
    }
    // A site pairing a local folder of this test with a server folder.
    void addPair(const QString& site, const QString& local, const QString& remote) const {
        const CliResult r =
            cli({"sites", "add", site, "--host", "127.0.0.1", "--port",
                 QString::number(server_->port()), "--user", "velmora", "--password",
                 "velmora-pass", "--local-project", local, "--remote-project", remote});
        ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    }
    static QStringList sorted(QList<QByteArray> lines) {
        QStringList out;
        for (const QByteArray& l : lines)
            out << QString::fromUtf8(l);
        out.sort();
        return out;
    }

    QTemporaryDir settings_, work_;
};

}  // namespace

TEST_F(CliPairTest, CompareTellsDifferencesByExitStatusAndLines) {
    const QString project = work_.filePath("cmp");
    ASSERT_TRUE(writeLocalTree(project, {{"same.txt", "same\n"},
                                         {"Index.HTML", "<p>\n"},
                                         {"sized.txt", "local version\n"},
                                         {"local-only.txt", "x"},
                                         {".hidden", "h"},
                                         {"sub/deep/changed.txt", "12345"},
                                         {"sub/deep/equal.txt", "e"},
                                         {"quiet/a.txt", "a"},
                                         {"clash/", {}}}));
    ASSERT_TRUE(server_->makeDir("cmp"));
    ASSERT_TRUE(writeServerTree(*server_, "cmp",
                                {{"same.txt", "same\n"},
                                 {"index.html", "<p>\n"},
                                 {"Index.html", "<p>\n"},
                                 {"sized.txt", "remote\n"},
                                 {"remote-only.txt", "r"},
                                 {"sub/deep/changed.txt", "1234"},
                                 {"sub/deep/equal.txt", "e"},
                                 {"quiet/a.txt", "a"},
                                 {"clash", "a file"}}));
    ASSERT_NO_FATAL_FAILURE(addPair("cmp", project, "/cmp"));
    ASSERT_TRUE(writeLocalTree(work_.filePath("same"), {{"a.txt", "a"}, {"f/b.txt", "b"}}));
    ASSERT_TRUE(server_->makeDir("same"));
    ASSERT_TRUE(writeServerTree(*server_, "same", {{"a.txt", "a"}, {"f/b.txt", "b"}}));
    ASSERT_NO_FATAL_FAILURE(addPair("same", work_.filePath("same"), "/same"));
    // A local project folder that went after the site was set up.
    ASSERT_TRUE(QDir().mkpath(work_.filePath("missing")));
    ASSERT_NO_FATAL_FAILURE(addPair("nolocal", work_.filePath("missing"), "/same"));
    ASSERT_TRUE(QDir(work_.filePath("missing")).removeRecursively());
    ASSERT_NO_FATAL_FAILURE(addPair("noremote", work_.filePath("same"), "/not-there"));

    struct Case {
        const char* what;
        QStringList args;
        int exitCode;
        QStringList lines;  // sorted
    };
    const Case cases[] = {
        {"recursive with sizes, case ignored",
         {"--site", "cmp", "compare", "--recursive", "--sizes", "--ignore-hidden", "--tsv"},
         1,
         {"Index.html\t\t\tfile\t4\tremote-only", "clash\tfolder\t\tfile\t6\tkind",
          "local-only.txt\tfile\t1\t\t\tlocal-only", "remote-only.txt\t\t\tfile\t1\tremote-only",
          "sized.txt\tfile\t14\tfile\t7\tsize", "sub/deep/changed.txt\tfile\t5\tfile\t4\tsize"}},
        {"case kept, no sizes, hidden shown, one level",
         {"--site", "cmp", "compare", "--case-sensitive", "--tsv"},
         1,
         {".hidden\tfile\t1\t\t\tlocal-only", "Index.HTML\tfile\t4\t\t\tlocal-only",
          "Index.html\t\t\tfile\t4\tremote-only", "clash\tfolder\t\tfile\t6\tkind",
          "index.html\t\t\tfile\t4\tremote-only", "local-only.txt\tfile\t1\t\t\tlocal-only",
          "remote-only.txt\t\t\tfile\t1\tremote-only"}},
        {"a relative folder",
         {"--site", "cmp", "compare", "--sizes", "--tsv", "sub/deep"},
         1,
         {"sub/deep/changed.txt\tfile\t5\tfile\t4\tsize"}},
        {"a server path in the project",
         {"--site", "cmp", "compare", "--sizes", "--tsv", "/cmp/sub/deep/"},
         1,
         {"sub/deep/changed.txt\tfile\t5\tfile\t4\tsize"}},
        {"a server path beside it", {"--site", "cmp", "compare", "/cmp2"}, 2, {}},
        {"for people",
         {"--site", "cmp", "compare", "--sizes", "sub/deep"},
         1,
         {"size          sub/deep/changed.txt  (local: file 5, remote: file 4)"}},
        {"no difference", {"--site", "same", "compare", "--recursive", "--sizes"}, 0, {}},
        {"no local folder", {"--site", "nolocal", "compare"}, 3, {}},
        {"no remote folder", {"--site", "noremote", "compare"}, 3, {}},
        {"no such site", {"--site", "nobody", "compare"}, 3, {}},
        {"usage", {"--site", "same", "compare", "--bogus"}, 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliResult r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << str(r.describe());
        EXPECT_EQ(sorted(r.outLines()), c.lines) << str(r.describe());
    }
}

TEST_F(CliPairTest, DeployChangedSendsOnlyNewAndChangedFilesAndDeletesOnlyItsOwn) {
    const QString project = work_.filePath("dep");
    ASSERT_TRUE(writeLocalTree(project, {{"index.html", "<h1>Hello</h1>\n"},
                                         {"same.css", "body{}\n"},
                                         {"img/logo.svg", "<svg/>"},
                                         {"old/page.html", "old page"}}));
    ASSERT_TRUE(server_->makeDir("dep"));
    ASSERT_TRUE(writeServerTree(
        *server_, "dep",
        {{"same.css", "body{}\n"}, {"index.html", "old"}, {"logs/access.log", "users' log"}}));
    ASSERT_NO_FATAL_FAILURE(addPair("dep", project, "/dep"));
    // Files are stored under their temporary names and renamed.
    auto uploads = [](const CliResult& r) {
        QStringList out;
        for (const QString& line : r.logLines("sent")) {
            if (!line.startsWith("STOR "))
                continue;
            const QByteArray name = line.mid(5).toUtf8();
            const QByteArray target = uploadTemporaryTarget(name);
            out << QString::fromUtf8(target.isEmpty() ? name : target);
        }
        out.sort();
        return out;
    };

    // First run: no state yet, by size; the state goes up before the files too, so a run cut
    // short knows what it sent.
    CliResult r = cli({"--log", "--site", "dep", "deploy", "--changed"});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_EQ(uploads(r), (QStringList{".velmora-deploy.part", ".velmora-deploy.part", "index.html",
                                       "logo.svg", "page.html"}));
    EXPECT_TRUE(server_->exists("dep/.velmora-deploy"));
    EXPECT_FALSE(server_->exists("dep/.velmora-deploy.part"));
    EXPECT_FALSE(server_->exists("dep/.index.html.velmora-upload"));
    // Only its owner reads the state: the site's visitors do not.
    EXPECT_EQ(QFileInfo(server_->localPath("dep/.velmora-deploy")).permissions() &
                  (QFile::ReadGroup | QFile::ReadOther),
              0);
    EXPECT_EQ(server_->readFile("dep/img/logo.svg"), "<svg/>");

    // A same-size edit, a new file, a removed file; the record came down with
    // the site, as a get of the project brings it.
    ASSERT_TRUE(
        writeLocalFile(project + "/.velmora-deploy", server_->readFile("dep/.velmora-deploy")));
    ASSERT_TRUE(writeLocalFile(project + "/index.html", "<h1>Hallo</h1>\n"));
    ASSERT_TRUE(writeLocalFile(project + "/img/new.png", "png"));
    ASSERT_TRUE(QFile::remove(project + "/old/page.html"));
    r = cli({"--site", "dep", "deploy", "--changed", "--delete", "--dry-run"});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_EQ(sorted(r.outLines()),
              (QStringList{"delete old/page.html", "upload img/new.png", "upload index.html"}));
    EXPECT_TRUE(server_->exists("dep/old/page.html")) << "a dry run changes nothing";

    // Temporaries cut-short uploads left go with their files' upload or delete.
    const QString leftUp = "dep/.index.html.0123abcd4567.velmora-upload";
    const QString leftGone = "dep/old/.page.html.0123abcd4567.velmora-upload";
    // ...and with --delete that of a file that never arrived and is gone here.
    const QString leftNever = "dep/.draft.html.0123abcd4567.velmora-upload";
    for (const QString& left : {leftUp, leftGone, leftNever})
        ASSERT_TRUE(server_->writeFile(left, "<h1>"));
    r = cli({"--log", "--site", "dep", "deploy", "--changed", "--delete"});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    for (const QString& left : {leftUp, leftGone, leftNever})
        EXPECT_FALSE(server_->exists(left)) << str(left);
    // The state without the files about to go is stored first: cut short, the
    // next run sends them again rather than trusting their old hashes.
    EXPECT_EQ(uploads(r), (QStringList{".velmora-deploy.part", ".velmora-deploy.part", "index.html",
                                       "new.png"}));
    EXPECT_EQ(r.logLines("sent").filter("STOR ").value(0), "STOR .velmora-deploy.part");
    EXPECT_EQ(server_->readFile("dep/index.html"), "<h1>Hallo</h1>\n");
    EXPECT_FALSE(server_->exists("dep/old/page.html"));
    EXPECT_TRUE(server_->exists("dep/logs/access.log")) << "never a file the state does not list";

    // Nothing changed: nothing but the state goes.
    r = cli({"--log", "--site", "dep", "deploy", "--changed", "--delete"});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_EQ(uploads(r), QStringList{".velmora-deploy.part"});

    // Folders removed locally: --delete takes the files the state lists there,
    // at any depth, and leaves the folders and everything else in them.
    ASSERT_TRUE(writeLocalFile(project + "/docs/api/ref.html", "ref"));
    r = cli({"--log", "--site", "dep", "deploy", "--changed"});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_EQ(uploads(r),
              (QStringList{".velmora-deploy.part", ".velmora-deploy.part", "ref.html"}));
    ASSERT_TRUE(QDir(project + "/docs").removeRecursively());
    ASSERT_TRUE(QDir(project + "/img").removeRecursively());
    ASSERT_TRUE(server_->writeFile("dep/img/mine.txt", "not deployed"));
    // A run without --delete keeps them in the state for a later one with it.
    r = cli({"--site", "dep", "deploy", "--changed"});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    r = cli({"--site", "dep", "deploy", "--changed", "--delete", "--dry-run"});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_EQ(sorted(r.outLines()), (QStringList{"delete docs/api/ref.html", "delete img/logo.svg",
                                                 "delete img/new.png", "keep docs/", "keep img/"}));
    EXPECT_TRUE(server_->exists("dep/img/logo.svg")) << "a dry run changes nothing";
    r = cli({"--site", "dep", "deploy", "--changed", "--delete"});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    for (const char* gone : {"dep/docs/api/ref.html", "dep/img/logo.svg", "dep/img/new.png"})
        EXPECT_FALSE(server_->exists(gone)) << gone;
    EXPECT_TRUE(server_->exists("dep/img/mine.txt"));
    EXPECT_TRUE(server_->exists("dep/docs/api")) << "folders are left in place";
    r = cli({"--site", "dep", "deploy", "--changed", "--delete", "--dry-run"});
    EXPECT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_TRUE(r.outLines().isEmpty()) << str(r.describe());

    // A damaged state is reported and the deploy goes by size.
    ASSERT_TRUE(server_->writeFile("dep/.velmora-deploy", "garbage\n"));
    ASSERT_TRUE(writeLocalFile(project + "/index.html", "<h1>Hullo</h1>\n"));
    r = cli({"--site", "dep", "deploy", "--changed", "--dry-run"});
    EXPECT_EQ(r.exitCode, 0) << str(r.describe());
    EXPECT_TRUE(r.err.contains("not a deploy state file")) << str(r.describe());
    EXPECT_TRUE(r.outLines().isEmpty()) << str(r.describe());

    // A linked folder is left out and named, and the run is not done; the
    // state is still written, else every later run would send everything.
    ASSERT_TRUE(QFile::link(work_.path(), project + "/linked"));
    r = cli({"--site", "dep", "deploy", "--changed"});
    EXPECT_EQ(r.exitCode, 1) << str(r.describe());
    EXPECT_TRUE(r.err.contains(project + "/linked")) << str(r.describe());
    EXPECT_TRUE(server_->readFile("dep/.velmora-deploy").startsWith("velmora-deploy"));
}

// With the files spread over transfer connections, the new state still goes
// only after the last file has arrived: the server's 226 of every file comes
// before the state's STOR. The project folder is new: the deploy makes it.
TEST_F(CliPairTest, DeployChangedWritesItsStateAfterEveryFileOfEveryConnection) {
    const QString project = work_.filePath("wide");
    std::vector<TreeEntry> files;
    for (const char* folder : {"a", "b", "c"})
        for (int i = 0; i < 6; ++i)
            files.push_back({QStringLiteral("%1/f%2.txt").arg(QLatin1String(folder)).arg(i),
                             patternBytes(2000 + i, i)});
    ASSERT_TRUE(writeLocalTree(project, files));
    ASSERT_NO_FATAL_FAILURE(addPair("wide", project, "/wide/new"));
    // Not on the server yet: a dry run plans every file and makes nothing.
    const CliResult plan = cli({"--site", "wide", "deploy", "--changed", "--dry-run"});
    EXPECT_EQ(plan.exitCode, 0) << str(plan.describe());
    EXPECT_EQ(plan.outLines().size(), qsizetype(files.size())) << str(plan.describe());
    EXPECT_FALSE(server_->exists("wide"));

    const CliResult r = cli({"--log", "--site", "wide", "deploy", "--changed", "--parallel", "4"});
    ASSERT_EQ(r.exitCode, 0) << str(r.describe());
    const QStringList lines = r.err.split('\n');
    int state = -1;
    std::map<QString, int> storing;  // connection tag -> line of its STOR waiting for 226
    QList<int> arrived;
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^(sent|reply): (\\[\\d+\\] )?(.*)$"))
                .match(lines[i]);
        if (!m.hasMatch())
            continue;
        const QString tag = m.captured(2);
        if (m.captured(1) == "sent" && m.captured(3) == "STOR .velmora-deploy.part")
            state = i;
        else if (m.captured(1) == "sent" && m.captured(3).startsWith("STOR "))
            storing[tag] = i;
        else if (m.captured(1) == "reply" && m.captured(3).startsWith("226") &&
                 storing.count(tag)) {
            arrived << i;
            storing.erase(tag);
        }
    }
    ASSERT_GE(state, 0) << str(r.describe());
    ASSERT_EQ(arrived.size(), 18) << str(r.describe());
    for (int line : arrived)
        EXPECT_LT(line, state) << str(r.describe());
    EXPECT_FALSE(r.logLines("sent", 3).filter(QRegularExpression("^STOR ")).isEmpty())
        << "spread out";
    for (const TreeEntry& f : files)
        EXPECT_EQ(server_->readFile("wide/new/" + f.path), f.content) << str(f.path);
    EXPECT_TRUE(server_->exists("wide/new/.velmora-deploy"));
}

namespace {

template <typename Flavour>
class CliLoopTest : public CliServerSuite<Flavour> {};

TYPED_TEST_SUITE(CliLoopTest, ServerFlavours, FlavourNames);

}  // namespace

TYPED_TEST(CliLoopTest, FindMatchesNamesAtAnyDepth) {
    ASSERT_TRUE(writeServerTree(*this->server_, this->serverRel("find"),
                                {{"index.html", "1"},
                                 {"index", "1"},
                                 {"a/index.php", "12"},
                                 {"a/b/big.bin", patternBytes(1001, 3)},
                                 {"a/b/small.bin", patternBytes(1000, 4)},
                                 {"a/index/", {}}}));
    const QString base = this->remote("find");
    struct Case {
        QStringList args;
        int exitCode;
        QStringList lines;
    };
    const Case cases[] = {
        {{"index.*", base}, 0, {base + "/a/index.php", base + "/index.html"}},
        {{"index", base}, 0, {base + "/a/index/", base + "/index"}},
        {{"index", "--kinds", "folder", base}, 0, {base + "/a/index/"}},
        {{"*.bin", "--at-most", "1kb", base}, 0, {base + "/a/b/small.bin"}},
        {{"*.bin", this->serverRel("find")}, 0, {base + "/a/b/big.bin", base + "/a/b/small.bin"}},
        {{"*.BIN", "--case-sensitive", base}, 0, {}},
        {{"*.*", base}, 2, {}},
        {{"a**", base}, 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(str(c.args.join(' ')));
        const CliResult r = this->cli(QStringList{this->url(), "find"} + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << str(r.describe());
        QStringList lines;
        for (const QByteArray& l : r.outLines())
            lines << QString::fromUtf8(l);
        lines.sort();
        EXPECT_EQ(lines, c.lines) << str(r.describe());
    }
    const CliResult bad = this->cli({this->url(), "find", "*.*", base});
    EXPECT_TRUE(bad.err.contains("Error: searching for all files is not allowed."))
        << str(bad.describe());
}

TYPED_TEST(CliLoopTest, CaseRenamesAndDescendsUnderTheNewNames) {
    ASSERT_TRUE(writeServerTree(
        *this->server_, this->serverRel("case"),
        {{"ReadMe.TXT", "r"}, {"Img/Logo.GIF", "g"}, {"taken", "t"}, {"TAKEN", "T"}}));
    const QString base = this->remote("case");
    CliResult r = this->cli({this->url(), "case", "upper", "--recursive", "--dry-run", base});
    EXPECT_EQ(r.exitCode, 1) << "the clash is a failure: " << str(r.describe());
    EXPECT_TRUE(this->server_->exists(this->serverRel("case/ReadMe.TXT")));

    r = this->cli({this->url(), "case", "lower", "--recursive", base});
    EXPECT_EQ(r.exitCode, 1) << str(r.describe());
    QStringList lines;
    for (const QByteArray& l : r.outLines())
        lines << QString::fromUtf8(l);
    EXPECT_EQ(lines, (QStringList{base + "/Img -> img", base + "/ReadMe.TXT -> readme.txt",
                                  base + "/img/Logo.GIF -> logo.gif"}))
        << str(r.describe());
    EXPECT_TRUE(r.err.contains("taken exists already")) << str(r.describe());
    const TreeSnapshot after = snapshotTree(this->serverPath("case"));
    QStringList names;
    for (const auto& [path, what] : after)
        names << path;
    EXPECT_EQ(names, (QStringList{"TAKEN", "img/", "img/logo.gif", "readme.txt", "taken"}));
}
