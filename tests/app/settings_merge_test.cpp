// Saving over a settings file that another writer changed since it was loaded: only what this
// writer changed is written over the file's current content.
#include "app/settings_merge.h"
#include "app/app_settings.h"
#include "app/settings_lock.h"
#include "app/site_merge.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

namespace {

TEST(SettingsMerge, FieldsChangedHereWinOthersKeepTheFile) {
    AppSettings base;
    base.LastLocalFolder = QStringLiteral("/home/a");
    AppSettings disk = base;  // another window changed two fields
    disk.ChatInfoLevel = 3;
    disk.BeepMinutes = 9;
    AppSettings mine = base;  // this one changed one of them and two others
    mine.BeepMinutes = 20;
    mine.SizeStyle = 2;
    mine.LastLocalFolder = QStringLiteral("/home/a/longer/folder");
    mine.Loaded = true;

    const AppSettings merged = MergeRecordFields(disk, base, mine, &SerializeAppSettings);
    EXPECT_EQ(merged.ChatInfoLevel, 3);  // theirs
    EXPECT_EQ(merged.BeepMinutes, 20);   // both changed it: this writer's
    EXPECT_EQ(merged.SizeStyle, 2);
    EXPECT_EQ(merged.LastLocalFolder, QStringLiteral("/home/a/longer/folder"));
    EXPECT_EQ(merged.ConcernedFont, base.ConcernedFont);  // after the longer text, intact
    EXPECT_TRUE(merged.Loaded);                           // not stored: this writer's
}

TEST(SettingsMerge, ToolListsChangedHereReplaceTheFilesOthersStay) {
    const ToolRecord vi{"vi", "/usr/bin", "vi", 0};
    const ToolRecord web{"web", "/usr/bin", "firefox", 1};
    ToolLists base;
    base.SearchedTools = {vi};
    ToolLists disk = base;
    disk.UserTools = {web};
    ToolLists mine = base;
    mine.SearchedTools = {vi, web};
    const ToolLists merged = MergeToolLists(disk, base, mine);
    EXPECT_EQ(merged.SearchedTools, mine.SearchedTools);
    EXPECT_EQ(merged.UserTools, disk.UserTools);
}

SiteRecord site(const char* name, const char* host = "h", const char* comment = "") {
    SiteRecord r;
    r.Name = QString::fromUtf8(name);
    r.Comment = QString::fromUtf8(comment);
    r.Host = QString::fromUtf8(host);
    return r;
}

QStringList describe(const SiteList& list) {
    QStringList out;
    for (const SiteRecord& r : list.Records)
        out << r.Name + (r.Comment.isEmpty() ? QString() : u'/' + r.Comment) + u'@' + r.Host;
    return out;
}

// The window loaded `base`; `window` and `other` change copies of it; the merge must give
// `expected` (name[/comment]@host in order).
struct SiteMergeCase {
    const char* name;
    std::function<void(SiteList& window)> window;
    std::function<void(SiteList& other)> other;
    QStringList expected;
};

class SiteMergeTest : public testing::TestWithParam<SiteMergeCase> {};

TEST_P(SiteMergeTest, AppliesOnlyTheWindowsChanges) {
    SiteList base;
    for (const char* n : {"a", "b", "c"}) {
        base.Records.push_back(site(n));
        base.Records.back().User = QString::fromUtf8(n);
        base.Records.back().Id = base.FreshId();
    }
    SiteList window = base;
    SiteList other = base;
    for (SiteRecord& r : other.Records)
        r.Id = other.FreshId();  // the file's Ids are its reader's own
    GetParam().window(window);
    GetParam().other(other);
    const SiteList merged = MergeSites(other, base, window);
    EXPECT_EQ(describe(merged), GetParam().expected);
    // The window's sites keep their identity (Id), so the current site stays current.
    for (const SiteRecord& r : window.Records) {
        if (const SiteRecord* kept = merged.FindSite(r.Id)) {
            EXPECT_EQ(kept->User, r.User);
        }
    }
}

const auto nothing = [](SiteList&) {};

INSTANTIATE_TEST_SUITE_P(
    , SiteMergeTest,
    testing::Values(SiteMergeCase{"AddedElsewhereIsKept",
                                  nothing,
                                  [](SiteList& o) { o.Records.push_back(site("cli")); },
                                  {"a@h", "b@h", "c@h", "cli@h"}},
                    SiteMergeCase{"AddedOnBothSidesBothKept",
                                  [](SiteList& w) {
                                      w.Records.push_back(site("win"));
                                      w.Records.back().Id = w.FreshId();
                                  },
                                  [](SiteList& o) { o.Records.push_back(site("cli")); },
                                  {"a@h", "b@h", "c@h", "win@h", "cli@h"}},
                    SiteMergeCase{"AddedOnBothSidesUnderOneNameBothKept",
                                  [](SiteList& w) {
                                      w.Records.push_back(site("dup", "x1"));
                                      w.Records.back().Id = w.FreshId();
                                  },
                                  [](SiteList& o) { o.Records.push_back(site("dup", "x2")); },
                                  {"a@h", "b@h", "c@h", "dup (2)@x1", "dup@x2"}},
                    SiteMergeCase{"RenamedElsewhereEditedHereKeepsTheNewName",
                                  [](SiteList& w) { w.Records[1].Host = QStringLiteral("win"); },
                                  [](SiteList& o) { o.Records[1].Name = QStringLiteral("main"); },
                                  {"a@h", "main@win", "c@h"}},
                    SiteMergeCase{"EditedElsewhereUntouchedHereKeepsTheEdit",
                                  nothing,
                                  [](SiteList& o) { o.Records[1].Host = QStringLiteral("new"); },
                                  {"a@h", "b@new", "c@h"}},
                    SiteMergeCase{"RenamedHereEditedElsewhereKeepsBoth",
                                  [](SiteList& w) { w.Records[1].Name = QStringLiteral("main"); },
                                  [](SiteList& o) { o.Records[1].Host = QStringLiteral("cli"); },
                                  {"a@h", "main@cli", "c@h"}},
                    SiteMergeCase{"EditedOnBothSidesTheWindowWins",
                                  [](SiteList& w) { w.Records[1].Host = QStringLiteral("win"); },
                                  [](SiteList& o) { o.Records[1].Host = QStringLiteral("cli"); },
                                  {"a@h", "b@win", "c@h"}},
                    SiteMergeCase{"RemovedElsewhereStaysRemoved",
                                  nothing,
                                  [](SiteList& o) { o.Records.erase(o.Records.begin()); },
                                  {"b@h", "c@h"}},
                    SiteMergeCase{"RemovedHereIsRemovedFromTheFile",
                                  [](SiteList& w) { w.Records.erase(w.Records.begin() + 2); },
                                  [](SiteList& o) { o.Records.push_back(site("cli")); },
                                  {"a@h", "b@h", "cli@h"}},
                    SiteMergeCase{"RenamedHereReplacesTheOldName",
                                  [](SiteList& w) { w.Records[0].Name = QStringLiteral("z"); },
                                  nothing,
                                  {"z@h", "b@h", "c@h"}},
                    SiteMergeCase{"CommentChangedElsewhereStillMatchesByName",
                                  nothing,
                                  [](SiteList& o) {
                                      o.Records[2].Comment = QStringLiteral("live");
                                      o.Records[2].Host = QStringLiteral("new");
                                  },
                                  {"a@h", "b@h", "c/live@new"}},
                    SiteMergeCase{"ReorderedHereKeepsTheWindowsOrder",
                                  [](SiteList& w) { std::swap(w.Records[0], w.Records[2]); },
                                  [](SiteList& o) { o.Records[0].Host = QStringLiteral("new"); },
                                  {"c@h", "b@h", "a@new"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SiteMerge, SelectionFollowsWhoChangedIt) {
    SiteList base;
    for (const char* n : {"a", "b", "c"}) {
        base.Records.push_back(site(n));
        base.Records.back().Id = base.FreshId();
    }
    base.SelectedIndex = 0;
    SiteList other = base;
    other.Records.insert(other.Records.begin(), site("first"));
    other.SelectedIndex = 3;  // c, one row further down now
    SiteList window = base;
    // Unchanged here: the file's choice, "c", wherever it lands.
    SiteList merged = MergeSites(other, base, window);
    ASSERT_GE(merged.SelectedIndex, 0);
    EXPECT_EQ(merged.Records[size_t(merged.SelectedIndex)].Name, QStringLiteral("c"));
    // Chosen here: the window's choice.
    window.SelectedIndex = 1;
    merged = MergeSites(other, base, window);
    EXPECT_EQ(merged.Records[size_t(merged.SelectedIndex)].Name, QStringLiteral("b"));
}

TEST(SettingsLock, HeldLockGivesAClearErrorAnOldOneIsBroken) {
    QTemporaryDir dir;
    QLockFile holder(dir.filePath(SettingsLock::fileName()));
    ASSERT_TRUE(holder.lock());
    {
        const SettingsLock lock(dir.path(), 200, 60000);
        EXPECT_FALSE(lock.isLocked());
        EXPECT_TRUE(lock.error().contains(dir.path())) << lock.error().toStdString();
        EXPECT_TRUE(lock.error().contains(QString::number(QCoreApplication::applicationPid())))
            << lock.error().toStdString();
    }
    // The same lock left behind by a run that ended without removing it, older than any
    // save takes: broken within the wait.
    QFile file(dir.filePath(SettingsLock::fileName()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    file.close();
    holder.unlock();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                 QFileDevice::FileModificationTime));
    file.close();
    const SettingsLock lock(dir.path(), 2000, 1000);
    EXPECT_TRUE(lock.isLocked()) << lock.error().toStdString();
}

TEST(SettingsLock, FolderThatCannotBeMadeIsNamed) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const QString folder = dir.filePath(QStringLiteral("file/Setting"));
    const SettingsLock lock(folder, 100);
    EXPECT_FALSE(lock.isLocked());
    EXPECT_TRUE(lock.error().contains(folder + QStringLiteral(": Not a directory")))
        << lock.error().toStdString();
}

}  // namespace
