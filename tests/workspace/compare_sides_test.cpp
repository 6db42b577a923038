#include "workspace/compare_sides.h"
#include "support/scripted_prompter.h"
#include "workspace/compare_folder_sends.h"
#include "workspace/loop_row_texts.h"

#include <gtest/gtest.h>

#include <optional>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

CompareItem Item(quint8 flags, const char* name, char remoteKind = 0) {
    CompareItem i;
    i.flags = flags;
    if (flags & CompareItem::Local)
        i.localName = QString::fromUtf8(name);
    if (flags & CompareItem::Remote) {
        i.remoteName = name;
        i.remoteKind = remoteKind;
    }
    return i;
}

constexpr quint8 kBoth = CompareItem::Local | CompareItem::Remote;
constexpr quint8 kBothFolder = kBoth | CompareItem::LocalFolder;

}  // namespace

TEST(CompareSides, MapsResultsIntoBothProjectFolders) {
    struct Case {
        const char* remoteProject;
        const char* start;
        const char* startRelative;
        const char* remoteFolder;  // of "a.htm" below the start's "sub"
        const char* localPath;
    };
    const Case cases[] = {
        {"/www/", "/www", "", "/www/sub", "/home/u/web/sub/a.htm"},
        {"/www", "/www/docs/", "docs", "/www/docs/sub", "/home/u/web/docs/sub/a.htm"},
        {"/", "/docs", "docs", "/docs/sub", "/home/u/web/docs/sub/a.htm"},
        {"/", "/", "", "/sub", "/home/u/web/sub/a.htm"},
        // A start beside the project (www2 is not below www) maps nowhere.
        {"/www", "/www2", "", "/www/sub", "/home/u/web/sub/a.htm"},
    };
    for (const Case& c : cases) {
        const CompareSides sides(
            {QStringLiteral("/home/u/web"), QString::fromLatin1(c.remoteProject)}, c.start);
        EXPECT_EQ(sides.startRelative(), QByteArray(c.startRelative)) << c.start;
        CompareTree tree;
        tree.setBase(sides.startRelative());
        const QByteArray sub =
            sides.startRelative().isEmpty() ? QByteArray("sub") : sides.startRelative() + "/sub";
        ASSERT_TRUE(tree.add({sides.startRelative(), {Item(kBothFolder, "sub", 'd')}}));
        ASSERT_TRUE(tree.add({sub, {Item(CompareItem::Remote, "a.htm", '-')}}));
        const CompareNode* file = tree.find(sub)->children.front().get();
        EXPECT_EQ(sides.remoteFolderOf(file), QByteArray(c.remoteFolder)) << c.start;
        EXPECT_EQ(sides.localPathOf(file), QString::fromLatin1(c.localPath)) << c.start;
        EXPECT_EQ(sides.projectPath(file), sub + "/a.htm") << c.start;
    }
}

TEST(CompareSides, LaterListingsAndTransfersSettleResults) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("sub"));
    const CompareSides sides({dir.path(), QStringLiteral("/www")}, "/www");
    CompareTree tree;
    ASSERT_TRUE(tree.add({"", {Item(kBothFolder, "sub", 'd')}}));
    ASSERT_TRUE(tree.add({"sub",
                          {Item(CompareItem::Remote, "gone.htm", '-'),
                           Item(CompareItem::Remote, "kept.htm", '-')}}));

    // The server's folder now holds only kept.htm: gone.htm differs no more.
    RemoteItemList fresh;
    RemoteItem kept;
    kept.kind = '-';
    kept.name = "kept.htm";
    fresh.append(kept);
    const auto stale = sides.staleAfterListing(tree, "/www/sub/", fresh, 0);
    ASSERT_EQ(stale.size(), 1u);
    EXPECT_EQ(stale[0]->item.remoteName, QByteArray("gone.htm"));
    EXPECT_TRUE(sides.staleAfterListing(tree, "/other/sub", fresh, 0).empty());
    EXPECT_TRUE(sides.staleAfterListing(tree, "/www/missing", fresh, 0).empty());

    CompareNode* settled = sides.settledByTransfer(tree, "/www/sub/kept.htm");
    ASSERT_NE(settled, nullptr);
    EXPECT_EQ(settled->item.remoteName, QByteArray("kept.htm"));
    EXPECT_EQ(sides.settledByTransfer(tree, "/elsewhere/kept.htm"), nullptr);
    EXPECT_EQ(sides.settledByTransfer(tree, "/www"), nullptr);
}

TEST(CompareSides, DeletesOnlyTheLocalFileOfAResult) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("sub"));
    for (const char* name : {"sub/old.htm", "sub/other.htm"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const CompareSides sides({dir.path(), QStringLiteral("/www")}, "/www");
    CompareTree tree;
    ASSERT_TRUE(tree.add({"", {Item(kBothFolder, "sub", 'd')}}));
    ASSERT_TRUE(
        tree.add({"sub",
                  {Item(CompareItem::Local, "old.htm"), Item(CompareItem::Local, "missing.htm"),
                   Item(CompareItem::Remote, "remote.htm", '-')}}));
    const auto& items = tree.find("sub")->children;

    EXPECT_EQ(sides.deleteLocalFile(items[0].get()), QString());
    EXPECT_FALSE(QFile::exists(dir.filePath("sub/old.htm")));
    EXPECT_TRUE(QFile::exists(dir.filePath("sub/other.htm")));
    EXPECT_EQ(sides.deleteLocalFile(items[1].get()), QStringLiteral("Can not delete the file"));
    EXPECT_EQ(sides.deleteLocalFile(items[2].get()), QStringLiteral("Can not delete the file"));
    // A folder result is never deleted as a file.
    EXPECT_FALSE(sides.deleteLocalFile(tree.find("sub")).isEmpty());
    EXPECT_TRUE(QDir(dir.filePath("sub")).exists());
}

TEST(CompareSides, SeveralResultsTravelAsOneTransferAFolder) {
    const CompareSides sides({QStringLiteral("/home/u/web"), QStringLiteral("/www")}, "/www");
    CompareTree tree;
    ASSERT_TRUE(tree.add({"",
                          {Item(CompareItem::Local, "a.htm"), Item(kBoth, "b.htm", '-'),
                           Item(CompareItem::Remote, "c.htm", '-'), Item(kBoth, "x", 'd'),
                           Item(kBothFolder, "sub", 'd')}}));
    ASSERT_TRUE(
        tree.add({"sub",
                  {Item(CompareItem::Local, "d.htm"), Item(CompareItem::Remote, "e.htm", '-'),
                   Item(CompareItem::Local | CompareItem::LocalFolder, "blog"),
                   Item(CompareItem::Remote, "archive", 'd')}}));
    std::vector<const CompareNode*> all;
    for (const char* path : {"a.htm", "b.htm", "c.htm", "x", "sub", "sub/d.htm", "sub/e.htm",
                             "sub/blog", "sub/archive"})
        all.push_back(tree.find(path));

    // With case ignored a result shows the server's spelling: files below a
    // folder spelt otherwise here are read and written there, and a pair spelt
    // otherwise goes neither way (it would land beside its twin).
    tree.find("b.htm")->item.localName = QStringLiteral("B.htm");
    tree.find("sub")->item.localName = QStringLiteral("Sub");

    // A local file facing a server folder, the folder itself and the server-only
    // files do not go up; each folder's files go in one part.
    const auto up = sides.uploadParts(all);
    ASSERT_EQ(up.size(), 2u);
    EXPECT_EQ(up[0].relativePath, QByteArray(""));
    EXPECT_EQ(up[0].local.path, QStringLiteral("/home/u/web"));
    ASSERT_EQ(up[0].local.items.size(), 1u);
    EXPECT_EQ(up[1].relativePath, QByteArray("sub"));
    EXPECT_EQ(up[1].local.path, QStringLiteral("/home/u/web/Sub"));
    // A folder only this side has goes up whole, one only the server has down.
    ASSERT_EQ(up[1].local.items.size(), 2u);
    EXPECT_TRUE(up[1].local.items[1].isFolder);

    const auto down = sides.downloadParts(all);
    ASSERT_EQ(down.size(), 2u);
    EXPECT_EQ(down[0].selection.size(), 1);  // c.htm
    EXPECT_EQ(down[1].remoteFolder, QByteArray("/www/sub"));
    EXPECT_EQ(down[1].localFolder, QStringLiteral("/home/u/web/Sub"));
    EXPECT_EQ(CompareSideText(tree.find("b.htm")->item), "sizes differ, spelt B.htm here");
    ASSERT_EQ(down[1].selection.size(), 2);
    EXPECT_EQ(down[1].selection.at(1).kind, 'd');

    // Chosen together, only the transfers are offered; alone, all a file takes.
    const CompareItemCommands several = CompareCommandsFor({all[0], all[2]});
    EXPECT_TRUE(several.upload && several.download);
    EXPECT_FALSE(several.deleteLocal || several.deleteRemote || several.view || several.properties);
    EXPECT_TRUE(CompareCommandsFor({all[0]}).deleteLocal);
}

// A file newer here but of the server's size stays a result after a later
// listing of its folder when the run compared dates, and only then.
TEST(CompareSides, LaterListingsJudgeDatesAsTheRunDid) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("page.html"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("1234567") == 7);
    file.close();
    const CompareSides sides({dir.path(), QStringLiteral("/www")}, "/www");
    RemoteItem listed;
    listed.kind = '-';
    listed.name = "page.html";
    listed.size = 7;
    listed.year = 2024;
    listed.month = 5;
    listed.day = 6;
    listed.time = "07:08:30";
    RemoteItemList fresh;
    fresh.append(listed);
    DateJudge dates;
    dates.enabled = true;
    for (const bool judged : {true, false}) {
        SCOPED_TRACE(judged);
        CompareTree tree;
        CompareItem newer = Item(kBoth, "page.html", '-');
        newer.newer = CompareItem::Newer::Local;
        ASSERT_TRUE(tree.add({"", {newer}}));
        tree.root()->item.flags |= CompareItem::Visited;
        const auto stale = sides.staleAfterListing(tree, "/www", fresh, CompareOptions::FileSize,
                                                   judged ? dates : DateJudge{});
        EXPECT_EQ(stale.size(), judged ? 0u : 1u);
    }
}

// Folders sent whole settle when the window's last task ends clean; a failure
// in any task under way keeps them, and a lost connection forgets them.
TEST(CompareFolderSends, FoldersSettleOnlyWhenEveryTaskEndedClean) {
    using Paths = std::vector<QByteArray>;
    struct Step {
        char event;  // 's' started, 'e' ended, 'l' connection lost
        Paths folders;
        bool clean;
        Paths settled;
    };
    const struct {
        const char* what;
        std::vector<Step> steps;
    } cases[] = {
        {"one clean task", {{'s', {"blog"}, true, {}}, {'e', {}, true, {"blog"}}}},
        {"one failed task", {{'s', {"blog"}, true, {}}, {'e', {}, false, {}}}},
        {"two tasks, the first failed",
         {{'s', {"blog"}, true, {}},
          {'s', {"archive"}, true, {}},
          {'e', {}, false, {}},
          {'e', {}, true, {}}}},
        {"files only, then a folder",
         {{'s', {}, true, {}},
          {'e', {}, true, {}},
          {'s', {"a"}, true, {}},
          {'e', {}, true, {"a"}}}},
        {"the connection lost, then a stray end",
         {{'s', {"blog"}, true, {}}, {'l', {}, true, {}}, {'e', {}, true, {}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CompareFolderSends sends;
        for (const Step& step : c.steps) {
            Paths settled;
            if (step.event == 's')
                sends.started(step.folders);
            else if (step.event == 'e')
                settled = sends.ended(step.clean);
            else
                sends.forget();
            EXPECT_EQ(settled, step.settled);
        }
        EXPECT_EQ(sends.inFlight(), 0);
    }
}

TEST(CompareSides, AsksBeforeOlderCopiesReplaceNewerOnes) {
    const CompareSides sides({QStringLiteral("/home/u/web"), QStringLiteral("/www")}, "/www");
    CompareTree tree;
    std::vector<CompareItem> items;
    for (const auto& [name, newer] : {std::pair{"a.htm", CompareItem::Newer::Server},
                                      std::pair{"b.htm", CompareItem::Newer::Server},
                                      std::pair{"c.htm", CompareItem::Newer::Local}}) {
        CompareItem i = Item(kBoth, name, '-');
        i.newer = newer;
        items.push_back(i);
    }
    ASSERT_TRUE(tree.add({"", items}));
    std::vector<const CompareNode*> all, server, local;
    for (const auto& child : tree.root()->children)
        all.push_back(child.get());
    server = {all[0], all[1]};
    local = {all[2]};
    const QString upTwo =
        "2 of the chosen files were changed later on the server than the copies that would "
        "replace them. Replace them with the older copies from this computer?";
    const QString downOne =
        "c.htm was changed later here than the copy that would replace it. Replace it with "
        "the older copy from the server?";
    const QString upOne =
        "a.htm was changed later on the server than the copy that would replace it. Replace it "
        "with the older copy from this computer?";
    struct Case {
        const char* what;
        std::vector<const CompareNode*> chosen;
        bool upload;
        QString question;                    // empty: none is asked
        std::optional<PromptAnswer> answer;  // none: a Yes/No question, answered No
        std::vector<const CompareNode*> sent;
    };
    const Case cases[] = {
        {"up, Yes sends all", all, true, upTwo + " No sends only the other chosen items.",
         PromptAnswer::Yes, all},
        {"up, No sends the rest", all, true, upTwo + " No sends only the other chosen items.",
         PromptAnswer::No, local},
        {"up, Cancel sends nothing",
         all,
         true,
         upTwo + " No sends only the other chosen items.",
         PromptAnswer::Cancel,
         {}},
        {"down, No fetches the rest", all, false,
         downOne + " No fetches only the other chosen items.", PromptAnswer::No, server},
        {"nothing changed later on the other side", local, true, {}, {}, local},
        {"nothing changed later here", server, false, {}, {}, server},
        {"only one chosen, No sends nothing", {all[0]}, true, upOne, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPrompter prompter;
        if (c.answer)
            prompter.expectChoice(c.question, *c.answer);
        else if (!c.question.isEmpty())
            prompter.expectQuestion(c.question, false);
        EXPECT_EQ(sides.confirmOlderOverNewer(c.chosen, c.upload, prompter), c.sent);
    }
}
