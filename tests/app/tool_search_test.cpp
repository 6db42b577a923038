#include "app/tool_search.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class ToolSearch : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tree.isValid()); }

    QString at(const QString& relative) const { return tree.filePath(relative); }

    // A program file; executable unless said otherwise.
    void program(const QString& relative, bool executable = true) {
        const QString path = at(relative);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        QFileDevice::Permissions mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        if (executable) {
            mode |= QFileDevice::ExeOwner;
        }
        ASSERT_TRUE(file.setPermissions(mode));
    }
    void folder(const QString& relative) { ASSERT_TRUE(QDir().mkpath(at(relative))); }

    ToolSearchRoots walking(const QString& relative) const {
        ToolSearchRoots roots;
        roots.walkRoots << at(relative);
        return roots;
    }

    QTemporaryDir tree;
};

TEST_F(ToolSearch, PathFoldersAreLookedIntoBeforeAnyWalk) {
    folder("bin1");
    program("bin2/viewer");
    program("walk/deep/viewer");
    ToolSearchRoots roots = walking("walk");
    roots.pathFolders << at("bin1") << at("bin2") << at("missing");
    EXPECT_EQ(at("bin2"), FindToolFolder(QStringLiteral("viewer"), roots).folder);
    roots.pathFolders.clear();
    EXPECT_EQ(at("walk/deep"), FindToolFolder(QStringLiteral("viewer"), roots).folder);
}

TEST_F(ToolSearch, OnlyExecutableFilesCountAndAFolderIsCheckedBeforeItsChildren) {
    program("walk/a/viewer", false);
    folder("walk/b/viewer");
    program("walk/c/d/viewer");
    EXPECT_EQ(at("walk/c/d"), FindToolFolder(QStringLiteral("viewer"), walking("walk")).folder);
    program("walk/viewer");
    EXPECT_EQ(at("walk"), FindToolFolder(QStringLiteral("viewer"), walking("walk")).folder);
    EXPECT_TRUE(FindToolFolder(QStringLiteral("other"), walking("walk")).folder.isEmpty());
}

TEST_F(ToolSearch, LinkedAndExcludedFoldersAreNotEntered) {
    program("elsewhere/viewer");
    folder("walk/sub");
    ASSERT_TRUE(QFile::link(at("elsewhere"), at("walk/sub/link")));
    // A link back up would loop forever if it were followed.
    ASSERT_TRUE(QFile::link(at("walk"), at("walk/sub/loop")));
    QStringList visited;
    const ToolSearchHit hit =
        FindToolFolder(QStringLiteral("viewer"), walking("walk"), [&](const QString& f) {
            visited << f;
            return true;
        });
    EXPECT_TRUE(hit.folder.isEmpty());
    EXPECT_FALSE(hit.stopped);
    visited.sort();
    EXPECT_EQ(QStringList({at("walk"), at("walk/sub")}), visited);

    program("walk/skip/viewer");
    ToolSearchRoots roots = walking("walk");
    roots.excluded << at("walk/skip");
    EXPECT_TRUE(FindToolFolder(QStringLiteral("viewer"), roots).folder.isEmpty());
    // Only whole folder names are excluded.
    program("walk/skipped/viewer");
    EXPECT_EQ(at("walk/skipped"), FindToolFolder(QStringLiteral("viewer"), roots).folder);
    // A root given as a link is not walked either.
    ToolSearchRoots viaLink;
    viaLink.walkRoots << at("walk/sub/link");
    EXPECT_TRUE(FindToolFolder(QStringLiteral("viewer"), viaLink).folder.isEmpty());
}

TEST_F(ToolSearch, ProgressCanStopTheSearchAndNamesMustBePlain) {
    program("walk/a/b/viewer");
    int calls = 0;
    const ToolSearchHit hit = FindToolFolder(QStringLiteral("viewer"), walking("walk"),
                                             [&](const QString&) { return ++calls < 2; });
    EXPECT_TRUE(hit.stopped);
    EXPECT_TRUE(hit.folder.isEmpty());
    EXPECT_EQ(2, calls);

    program("walk/a/b/c/x");
    for (const char* bad : {"", ".", "..", "c/x", "../a"}) {
        EXPECT_TRUE(FindToolFolder(QString::fromUtf8(bad), walking("walk")).folder.isEmpty())
            << bad;
    }
}

TEST_F(ToolSearch, RowsWithoutAPathGetTheFolderFound) {
    program("walk/x/viewer");
    program("walk/y/editor");
    std::vector<ToolRecord> rows = {
        ToolRecord{QStringLiteral("Kept"), QStringLiteral("/keep"), QStringLiteral("viewer"), 1},
        ToolRecord{QStringLiteral("Viewer"), QString(), QStringLiteral("viewer"), 1},
        ToolRecord{QStringLiteral("No file"), QString(), QString(), 0},
        ToolRecord{QStringLiteral("Missing"), QString(), QStringLiteral("missing"), 0},
        ToolRecord{QStringLiteral("Editor"), QString(), QStringLiteral("editor"), 0},
    };
    std::vector<int> found;
    const ToolSearchSummary summary =
        SearchToolRows(rows, walking("walk"), {}, [&](int row) { found.push_back(row); });
    EXPECT_EQ(3, summary.searched);
    EXPECT_EQ(2, summary.found);
    EXPECT_FALSE(summary.stopped);
    EXPECT_EQ((std::vector<int>{1, 4}), found);
    EXPECT_EQ(QStringLiteral("/keep"), rows[0].Path);
    EXPECT_EQ(at("walk/x"), rows[1].Path);
    EXPECT_TRUE(rows[3].Path.isEmpty());
    EXPECT_EQ(at("walk/y"), rows[4].Path);
}

TEST(ToolSearchRootsTest, DefaultsWalkTheUsualPlacesAndSkipTheSystemTrees) {
    const QByteArray saved = qgetenv("PATH");
    qputenv("PATH", "/usr/local/bin:relative/bin::/usr/bin/:/usr/bin");
    const ToolSearchRoots roots = DefaultToolSearchRoots();
    qputenv("PATH", saved);
    EXPECT_EQ(QStringList({QStringLiteral("/usr/local/bin"), QStringLiteral("/usr/bin")}),
              roots.pathFolders);
    for (const char* root : {"/usr", "/opt", "/snap"}) {
        EXPECT_TRUE(roots.walkRoots.contains(QString::fromLatin1(root))) << root;
    }
    for (const char* root : {"/proc", "/sys", "/dev", "/run"}) {
        EXPECT_TRUE(roots.excluded.contains(QString::fromLatin1(root))) << root;
    }
}

}  // namespace
