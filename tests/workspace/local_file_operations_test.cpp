#include "workspace/local_file_operations.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "support/scripted_prompter.h"
#include "workspace/local_listing.h"

namespace {

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    ASSERT_EQ(content.size(), file.write(content));
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray("<missing>");
    }
    return file.readAll();
}

bool MakeFifo(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

class LocalDisk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(outside.isValid());
        WriteFile(outside.filePath(QStringLiteral("keep.txt")), "outside");
    }
    QString at(const QString& relative) const { return root.filePath(relative); }
    void mkdirs(const QString& relative) { ASSERT_TRUE(QDir().mkpath(at(relative))); }

    QTemporaryDir root;
    QTemporaryDir outside;
};

TEST_F(LocalDisk, UniqueCopyNameCountsUpAndTreatsDanglingLinksAsTaken) {
    EXPECT_EQ(QStringLiteral("a.txt"), UniqueCopyName(root.path(), QStringLiteral("a.txt")));
    WriteFile(at("a.txt"), "1");
    EXPECT_EQ(QStringLiteral("Copy of a.txt"),
              UniqueCopyName(root.path(), QStringLiteral("a.txt")));
    ASSERT_TRUE(QFile::link(at("nowhere"), at("Copy of a.txt")));
    EXPECT_EQ(QStringLiteral("Copy (2) of a.txt"),
              UniqueCopyName(root.path(), QStringLiteral("a.txt")));
    mkdirs("Copy (2) of a.txt");
    WriteFile(at("Copy (3) of a.txt"), "3");
    EXPECT_EQ(QStringLiteral("Copy (4) of a.txt"),
              UniqueCopyName(root.path(), QStringLiteral("a.txt")));
}

TEST_F(LocalDisk, PastingAFileTwiceIntoItsOwnFolderMakesNumberedCopies) {
    WriteFile(at("a.txt"), "content");
    CopyBuffer buffer;
    buffer.set(root.path(), {{QStringLiteral("a.txt"), false}});
    PasteResult first = PasteItems(buffer, root.path());
    PasteResult second = PasteItems(buffer, root.path());
    EXPECT_EQ(QStringList{at("Copy of a.txt")}, first.pasted);
    EXPECT_EQ(QStringList{at("Copy (2) of a.txt")}, second.pasted);
    EXPECT_EQ("content", ReadFile(at("Copy of a.txt")));
    EXPECT_EQ("content", ReadFile(at("Copy (2) of a.txt")));
    EXPECT_EQ("content", ReadFile(at("a.txt")));
    EXPECT_TRUE(first.failed.isEmpty());
}

TEST_F(LocalDisk, PastingATreeCopiesHiddenFilesButNeverEntersLinkedFolders) {
    mkdirs("src/tree/sub");
    WriteFile(at("src/tree/top.txt"), "top");
    WriteFile(at("src/tree/.hidden"), "hidden");
    WriteFile(at("src/tree/sub/deep.txt"), "deep");
    ASSERT_TRUE(QFile::link(outside.path(), at("src/tree/linked")));
    ASSERT_TRUE(
        QFile::link(outside.filePath(QStringLiteral("keep.txt")), at("src/tree/file-link")));
    ASSERT_TRUE(MakeFifo(at("src/tree/pipe")));
    mkdirs("dst");

    CopyBuffer buffer;
    buffer.set(at("src"), {{QStringLiteral("tree"), true}});
    const PasteResult result = PasteItems(buffer, at("dst"));

    EXPECT_EQ(QStringList{at("dst/tree")}, result.pasted);
    EXPECT_EQ("top", ReadFile(at("dst/tree/top.txt")));
    EXPECT_EQ("hidden", ReadFile(at("dst/tree/.hidden")));
    EXPECT_EQ("deep", ReadFile(at("dst/tree/sub/deep.txt")));
    // A link to a file gives a plain copy of its content.
    EXPECT_FALSE(QFileInfo(at("dst/tree/file-link")).isSymLink());
    EXPECT_EQ("outside", ReadFile(at("dst/tree/file-link")));
    EXPECT_FALSE(LocalNameTaken(at("dst/tree/linked")));
    EXPECT_FALSE(LocalNameTaken(at("dst/tree/pipe")));
    QStringList skipped = result.skipped;
    skipped.sort();
    EXPECT_EQ(QStringList({SkippedLocalEntry(at("src/tree/linked"), true),
                           SkippedLocalEntry(at("src/tree/pipe"), false)}),
              skipped);
    EXPECT_TRUE(result.failed.isEmpty());
}

TEST_F(LocalDisk, PastingALinkedFolderItselfIsSkipped) {
    ASSERT_TRUE(QFile::link(outside.path(), at("link")));
    mkdirs("dst");
    CopyBuffer buffer;
    buffer.set(root.path(), {{QStringLiteral("link"), true}});
    const PasteResult result = PasteItems(buffer, at("dst"));
    EXPECT_EQ(QStringList{at("link") + " (a link to a folder: not followed)"}, result.skipped);
    EXPECT_TRUE(result.pasted.isEmpty());
    EXPECT_TRUE(QDir(at("dst")).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(LocalDisk, PastingAFolderIntoItselfOrBelowIsRefused) {
    mkdirs("a/b");
    WriteFile(at("a/f.txt"), "f");
    CopyBuffer buffer;
    buffer.set(root.path(), {{QStringLiteral("a"), true}, {QStringLiteral("missing"), false}});
    PasteResult result = PasteItems(buffer, at("a/b"));
    EXPECT_EQ(QStringList({at("a"), at("missing")}), result.failed);
    EXPECT_TRUE(QDir(at("a/b")).isEmpty());
    result = PasteItems(buffer, at("a"));
    EXPECT_EQ(QStringList({at("a"), at("missing")}), result.failed);
    // Its own parent is fine: the copy gets a new name beside it.
    buffer.items.pop_back();
    result = PasteItems(buffer, root.path());
    EXPECT_EQ(QStringList{at("Copy of a")}, result.pasted);
    EXPECT_EQ("f", ReadFile(at("Copy of a/f.txt")));
    EXPECT_TRUE(QFileInfo(at("Copy of a/b")).isDir());
}

TEST_F(LocalDisk, CopyLocalFileReplacesOnlyAfterACompleteCopy) {
    WriteFile(at("new.txt"), "new");
    WriteFile(at("target.txt"), "old");
    EXPECT_TRUE(CopyLocalFile(at("new.txt"), at("target.txt")));
    EXPECT_EQ("new", ReadFile(at("target.txt")));

    // A failed copy leaves the target as it was.
    WriteFile(at("target.txt"), "old");
    EXPECT_FALSE(CopyLocalFile(at("missing.txt"), at("target.txt")));
    EXPECT_EQ("old", ReadFile(at("target.txt")));
    ASSERT_TRUE(MakeFifo(at("pipe")));
    EXPECT_FALSE(CopyLocalFile(at("pipe"), at("target.txt")));
    EXPECT_EQ("old", ReadFile(at("target.txt")));

    // A link as target is replaced as a link: what it pointed to stays.
    const QString keep = outside.filePath(QStringLiteral("keep.txt"));
    ASSERT_TRUE(QFile::link(keep, at("link.txt")));
    EXPECT_TRUE(CopyLocalFile(at("new.txt"), at("link.txt")));
    EXPECT_FALSE(QFileInfo(at("link.txt")).isSymLink());
    EXPECT_EQ("new", ReadFile(at("link.txt")));
    EXPECT_EQ("outside", ReadFile(keep));

    // A folder in the way is never replaced.
    mkdirs("folder");
    EXPECT_FALSE(CopyLocalFile(at("new.txt"), at("folder")));
    EXPECT_TRUE(QFileInfo(at("folder")).isDir());
    const QStringList left = QDir(root.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_TRUE(left.filter(QStringLiteral(".part")).isEmpty()) << qPrintable(left.join(' '));
}

TEST_F(LocalDisk, DeleteRemovesLinksButNeverWhatTheyPointTo) {
    mkdirs("victim/sub/deeper");
    WriteFile(at("victim/a.txt"), "a");
    WriteFile(at("victim/.hidden"), "h");
    WriteFile(at("victim/sub/deeper/b.txt"), "b");
    ASSERT_TRUE(QFile::link(outside.path(), at("victim/sub/to-outside")));
    ASSERT_TRUE(QFile::link(outside.filePath(QStringLiteral("keep.txt")), at("victim/file-link")));
    ASSERT_TRUE(QFile::link(at("gone"), at("victim/dangling")));
    ASSERT_TRUE(MakeFifo(at("victim/pipe")));

    EXPECT_TRUE(DeleteLocalFolder(at("victim"), LocalShow::HiddenFiles));
    EXPECT_FALSE(LocalNameTaken(at("victim")));
    EXPECT_EQ("outside", ReadFile(outside.filePath(QStringLiteral("keep.txt"))));
    EXPECT_TRUE(QFileInfo(outside.path()).isDir());
}

TEST_F(LocalDisk, DeleteLeavesHiddenFilesAndTheFolderWhenHiddenAreNotShown) {
    mkdirs("victim/sub");
    WriteFile(at("victim/a.txt"), "a");
    WriteFile(at("victim/.hidden"), "h");
    mkdirs("victim/.git");
    WriteFile(at("victim/sub/b.txt"), "b");

    EXPECT_FALSE(DeleteLocalFolder(at("victim"), LocalShow::SystemFiles));
    EXPECT_EQ("h", ReadFile(at("victim/.hidden")));
    EXPECT_TRUE(QFileInfo(at("victim/.git")).isDir());
    EXPECT_FALSE(LocalNameTaken(at("victim/a.txt")));
    EXPECT_FALSE(LocalNameTaken(at("victim/sub")));
}

TEST_F(LocalDisk, DeletingALinkedFolderRemovesOnlyTheLink) {
    ASSERT_TRUE(QFile::link(outside.path(), at("link")));
    EXPECT_TRUE(DeleteLocalFolder(at("link"), LocalShow::HiddenFiles));
    EXPECT_FALSE(LocalNameTaken(at("link")));
    EXPECT_EQ("outside", ReadFile(outside.filePath(QStringLiteral("keep.txt"))));

    ASSERT_TRUE(QFile::link(outside.path(), at("link2")));
    WriteFile(at("plain.txt"), "p");
    const QStringList failed = DeleteLocalItems(root.path(),
                                                {{QStringLiteral("link2"), true},
                                                 {QStringLiteral("plain.txt"), false},
                                                 {QStringLiteral("missing"), false}},
                                                LocalShow::HiddenFiles);
    EXPECT_EQ(QStringList{at("missing")}, failed);
    EXPECT_FALSE(LocalNameTaken(at("link2")));
    EXPECT_FALSE(LocalNameTaken(at("plain.txt")));
    EXPECT_EQ("outside", ReadFile(outside.filePath(QStringLiteral("keep.txt"))));
}

TEST_F(LocalDisk, ListingHonoursHiddenFlagAndMarksLinksAndSpecialFiles) {
    mkdirs("dir/sub");
    WriteFile(at("dir/f.bin"), QByteArray(1234, 'x'));
    WriteFile(at("dir/.dot"), "d");
    WriteFile(at("dir/.f.bin.velmora-part"), "half");
    ASSERT_TRUE(QFile::link(outside.path(), at("dir/linked")));
    ASSERT_TRUE(MakeFifo(at("dir/pipe")));
    // A name this system's encoding can not carry: Qt leaves it out.
    const QByteArray raw = QFile::encodeName(at("dir/")) + "\xff\xfe" + "bad.txt";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);

    auto byName = [](const LocalListing& listing, const QString& name) -> const LocalEntry* {
        for (const LocalEntry& e : listing.entries) {
            if (e.name == name) {
                return &e;
            }
        }
        return nullptr;
    };

    const LocalListing plain = ListLocalFolder(at("dir"), LocalShow::SystemFiles);
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(4u, plain.entries.size());
    EXPECT_EQ(nullptr, byName(plain, QStringLiteral(".dot")));
    const LocalEntry* file = byName(plain, QStringLiteral("f.bin"));
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(QLatin1Char('-'), file->kind);
    EXPECT_EQ(1234, file->size);
    const LocalEntry* sub = byName(plain, QStringLiteral("sub"));
    ASSERT_NE(nullptr, sub);
    EXPECT_EQ(QLatin1Char('d'), sub->kind);
    EXPECT_FALSE(sub->isSymLink);
    const LocalEntry* linked = byName(plain, QStringLiteral("linked"));
    ASSERT_NE(nullptr, linked);
    EXPECT_EQ(QLatin1Char('d'), linked->kind);
    EXPECT_TRUE(linked->isSymLink);
    const LocalEntry* pipe = byName(plain, QStringLiteral("pipe"));
    ASSERT_NE(nullptr, pipe);
    EXPECT_TRUE(pipe->isSpecial);

    const LocalListing withHidden = ListLocalFolder(at("dir"), LocalShow::HiddenFiles);
    EXPECT_EQ(6u, withHidden.entries.size());
    EXPECT_NE(nullptr, byName(withHidden, QStringLiteral(".dot")));

    // A download's part data is neither shown nor uploaded, hidden files or not.
    const LocalListing shown = ListLocalFolderForView(at("dir"), LocalShow::HiddenFiles);
    EXPECT_EQ(5u, shown.entries.size());
    EXPECT_EQ(nullptr, byName(shown, QStringLiteral(".f.bin.velmora-part")));
    const LocalListing uploadAll = ListLocalFolderForUpload(at("dir"), LocalShow::HiddenFiles);
    EXPECT_EQ(nullptr, byName(uploadAll, QStringLiteral(".f.bin.velmora-part")));
    EXPECT_NE(nullptr, byName(uploadAll, QStringLiteral(".dot")));

    const LocalListing upload = ListLocalFolderForUpload(at("dir"), 0);
    ASSERT_TRUE(upload.ok);
    EXPECT_EQ(2u, upload.entries.size());
    EXPECT_NE(nullptr, byName(upload, QStringLiteral("f.bin")));
    EXPECT_NE(nullptr, byName(upload, QStringLiteral("sub")));
    QStringList skipped = upload.skipped;
    skipped.sort();
    ASSERT_EQ(3, skipped.size());
    EXPECT_EQ(QStringList({at("dir/linked") + " (a link to a folder: not followed)",
                           at("dir/pipe") + " (not a file or folder: a pipe, socket, device or "
                                            "broken link)"}),
              skipped.mid(0, 2));
    EXPECT_TRUE(skipped[2].endsWith("bad.txt (its name is not valid in the system's encoding)"))
        << skipped[2].toStdString();

    EXPECT_FALSE(ListLocalFolder(at("missing"), LocalShow::HiddenFiles).ok);
    EXPECT_FALSE(ListLocalFolder(at("dir/f.bin"), LocalShow::HiddenFiles).ok);
}

TEST(LocalDrop, RefusesTheSourceAndPlacesBelowADraggedItem) {
    const struct {
        const char* destination;
        const char* source;
        const char* item;
        char sep;
        bool allowed;
    } cases[] = {
        {"C:\\a\\b", "C:", "a", '\\', false},
        {"C:\\ab", "C:", "a", '\\', true},
        {"C:\\a", "C:", "a", '\\', false},
        {"C:\\A\\b", "C:", "a", '\\', false},
        {"C:\\x", "C:\\x", "y", '\\', false},
        {"C:", "C:\\x", "y", '\\', true},
        {"/a/b", "/", "a", '/', false},
        {"/ab", "/", "a", '/', true},
        {"/home/u/a/x", "/home/u", "a", '/', false},
        {"/home/u/b", "/home/u", "a", '/', true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.allowed,
                  CanDropLocal(QString::fromUtf8(c.destination), QString::fromUtf8(c.source),
                               {{QString::fromUtf8(c.item), true}}, QLatin1Char(c.sep)))
            << c.destination << " <- " << c.source << " / " << c.item;
    }
    EXPECT_FALSE(CanDropLocal(QStringLiteral("/s/b/c"), QStringLiteral("/s"),
                              {{QStringLiteral("a"), true}, {QStringLiteral("b"), true}}));
}

TEST_F(LocalDisk, MoveReportsEachFailureAndGoesOn) {
    mkdirs("from/folder");
    mkdirs("to");
    WriteFile(at("from/one.txt"), "1");
    WriteFile(at("from/two.txt"), "2");
    WriteFile(at("from/folder/in.txt"), "in");
    WriteFile(at("to/two.txt"), "existing");

    LocalWalk walk;
    const MoveResult result = MoveLocalItems(at("from"), at("to"),
                                             {{QStringLiteral("one.txt"), false},
                                              {QStringLiteral("two.txt"), false},
                                              {QStringLiteral("folder"), true}},
                                             &walk);
    EXPECT_EQ(QStringList({at("to/one.txt"), at("to/folder")}), result.moved);
    EXPECT_EQ(QStringList{at("from/two.txt")}, result.failed);
    ASSERT_EQ(walk.failures().size(), 1u);
    EXPECT_EQ(
        CannotMoveText(walk.failures()[0]),
        QStringLiteral("Can not move: ") + at("from/two.txt") + QStringLiteral(" (File exists)"));
    EXPECT_EQ("existing", ReadFile(at("to/two.txt")));
    EXPECT_EQ("2", ReadFile(at("from/two.txt")));
    EXPECT_EQ("in", ReadFile(at("to/folder/in.txt")));
}

TEST_F(LocalDisk, MovingAProjectParentAsksAndNoMovesNothing) {
    mkdirs("from/site/web");
    mkdirs("to");
    WriteFile(at("from/loose.txt"), "l");
    const QString project = at("from/site/web");
    const std::vector<LocalItemRef> items = {{QStringLiteral("loose.txt"), false},
                                             {QStringLiteral("site"), true}};
    {
        ScriptedPrompter prompter;
        prompter.expectQuestion(
            QStringLiteral("It is parent Folder of project, Do you want to move it?"), false);
        EXPECT_FALSE(ConfirmMoveLocalItems(at("from"), items, project, prompter));
    }
    {
        ScriptedPrompter prompter;
        prompter.answer(true);
        EXPECT_TRUE(ConfirmMoveLocalItems(at("from"), items, project, prompter));
        const MoveResult result = MoveLocalItems(at("from"), at("to"), items);
        EXPECT_EQ(2, result.moved.size());
        EXPECT_TRUE(QFileInfo(at("to/site/web")).isDir());
    }
}

TEST_F(LocalDisk, RenameAndCreateRefuseBadNamesAndNeverReplace) {
    WriteFile(at("a.txt"), "a");
    WriteFile(at("b.txt"), "b");
    EXPECT_EQ(RenameOutcome::Unchanged,
              RenameLocalItem(root.path(), QStringLiteral("a.txt"), QStringLiteral("a.txt")));
    EXPECT_EQ(RenameOutcome::Failed,
              RenameLocalItem(root.path(), QStringLiteral("a.txt"), QStringLiteral("b.txt")));
    EXPECT_EQ("b", ReadFile(at("b.txt")));
    for (const char* bad : {"", ".", "..", "x/y"}) {
        EXPECT_EQ(RenameOutcome::Failed,
                  RenameLocalItem(root.path(), QStringLiteral("a.txt"), QString::fromUtf8(bad)))
            << bad;
        EXPECT_FALSE(CreateLocalFolder(root.path(), QString::fromUtf8(bad))) << bad;
    }
    EXPECT_EQ(RenameOutcome::Renamed,
              RenameLocalItem(root.path(), QStringLiteral("a.txt"), QStringLiteral("A.txt")));
    EXPECT_EQ("a", ReadFile(at("A.txt")));
    EXPECT_TRUE(CreateLocalFolder(root.path(), QStringLiteral("new")));
    EXPECT_TRUE(QFileInfo(at("new")).isDir());
    EXPECT_FALSE(CreateLocalFolder(root.path(), QStringLiteral("new")));
    EXPECT_FALSE(LocalNameTaken(at("x")));
}

}  // namespace
