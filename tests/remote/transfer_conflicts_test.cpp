#include "remote/transfer_conflicts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

RemoteItem serverEntry(char kind, const QByteArray& name, qint64 size) {
    RemoteItem i;
    i.kind = kind;
    i.name = name;
    i.size = size;
    i.year = 2023;
    i.month = 4;
    i.day = 5;
    i.time = "06:07";
    return i;
}

bool write(const QString& path, int bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(QByteArray(bytes, 'x')) == bytes;
}

TEST(TransferConflicts, ADownloadMeetsOnlyWhatExistsLocally) {
    QTemporaryDir local;
    ASSERT_TRUE(write(local.filePath("same.txt"), 1200));
    ASSERT_TRUE(QDir(local.path()).mkdir("site"));
    const std::vector<RemoteItem> items = {
        serverEntry('-', "new.txt", 10), serverEntry('-', "same.txt", 1234567),
        serverEntry('d', "site", 0),     serverEntry('d', "fresh", 0),
        serverEntry('-', "..", 1),  // never a local path
    };
    const TransferConflicts c = DownloadConflicts(items, local.path());
    EXPECT_FALSE(c.targetUnknown);
    ASSERT_EQ(c.conflicts.size(), 2u);
    const TransferConflict& file = c.conflicts[0];
    EXPECT_EQ(file.name, "same.txt");
    EXPECT_EQ(ConflictSizeText(file.serverSize, file.serverFolder), "1,234,567");
    EXPECT_EQ(ConflictSizeText(file.localSize, file.localFolder), "1,200");
    EXPECT_EQ(file.serverTime, "2023-04-05  06:07");
    EXPECT_EQ(ConflictLocalTimeText(file.localTime),
              QFileInfo(local.filePath("same.txt")).lastModified().toString("yyyy-MM-dd  HH:mm"));
    EXPECT_TRUE(c.conflicts[1].serverFolder && c.conflicts[1].localFolder);
    EXPECT_EQ(ConflictSizeText(0, true), "folder");
    EXPECT_EQ(ConflictSummary(c, false), "2 items exist locally already:");

    EXPECT_FALSE(DownloadConflicts({serverEntry('-', "new.txt", 1)}, local.path()).worthAsking());
}

TEST(TransferConflicts, AnUploadIsCheckedAgainstTheKnownListingOnly) {
    QTemporaryDir local;
    ASSERT_TRUE(write(local.filePath("a.html"), 5));
    LocalFolderRecord record;
    record.path = local.path();
    record.items = {{"a.html", false, 5}, {"b.html", false, 7}};
    RemoteItemList listing;
    listing.append(serverEntry('-', "a.html", 9));
    listing.append(serverEntry('-', "A.HTML", 9));

    const TransferConflicts known = UploadConflicts(record, &listing);
    ASSERT_EQ(known.conflicts.size(), 1u);
    EXPECT_EQ(known.conflicts[0].serverSize, 9);
    EXPECT_EQ(known.conflicts[0].localSize, 5);
    EXPECT_EQ(ConflictSummary(known, true), "One item exists on the server already:");

    const TransferConflicts unknown = UploadConflicts(record, nullptr);
    EXPECT_TRUE(unknown.targetUnknown);
    EXPECT_TRUE(unknown.worthAsking());
    EXPECT_EQ(ConflictSummary(unknown, true),
              "The server folder has not been listed yet, so files of the same names may be "
              "there.");
    EXPECT_FALSE(UploadConflicts({local.path(), {}, 0}, nullptr).worthAsking());
    RemoteItemList empty;
    EXPECT_FALSE(UploadConflicts(record, &empty).worthAsking());
}

}  // namespace
