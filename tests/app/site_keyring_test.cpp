// Where a site's password lives: the mark kept after the records of site.set, and which
// keyring entries follow renamed and removed sites.
#include "app/site_keyring.h"
#include "app/site_file.h"
#include "app/site_merge.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace {

SiteRecord site(const char* name, const char* host, bool inKeyring) {
    SiteRecord r;
    r.Name = QString::fromUtf8(name);
    r.Host = QString::fromUtf8(host);
    r.PasswordInKeyring = inKeyring;
    if (!inKeyring)
        r.Password = QStringLiteral("pw");
    return r;
}

TEST(SiteKeyringFile, MarkAfterTheRecordsRoundTripsAndIsAbsentWhenUnused) {
    SiteList plain;
    plain.Records = {site("a", "h", false)};
    const QByteArray without = *EncodeSites(plain);
    SiteList list = plain;
    list.Records.push_back(site("b", "h", true));
    list.KeyringOption = SiteList::kKeyringOff;
    const QByteArray with = *EncodeSites(list);
    // The records keep their layout; the mark only follows them when it says something.
    SiteList recordsOnly = list;
    recordsOnly.KeyringOption = SiteList::kKeyringDefault;
    recordsOnly.Records[1].PasswordInKeyring = 0;
    EXPECT_TRUE(with.startsWith(*EncodeSites(recordsOnly)));
    EXPECT_FALSE(without.contains("VLMKEYR1"));
    EXPECT_FALSE(EncodeSites(recordsOnly)->contains("VLMKEYR1"));

    SiteList read;
    EXPECT_EQ(DecodeSites(with, read), SiteFileState::Complete);
    EXPECT_EQ(read.KeyringOption, SiteList::kKeyringOff);
    ASSERT_EQ(read.Records.size(), 2u);
    EXPECT_FALSE(read.Records[0].PasswordInKeyring);
    EXPECT_TRUE(read.Records[1].PasswordInKeyring);
    // A damaged mark is ignored, as any bytes after the records always were.
    QByteArray damaged = with;
    damaged[damaged.size() - 7] = 'X';
    EXPECT_EQ(DecodeSites(damaged, read), SiteFileState::Complete);
    EXPECT_EQ(read.KeyringOption, SiteList::kKeyringDefault);
}

TEST(SiteKeyringFile, OptionFollowsWhoChangedIt) {
    SiteList base;
    SiteList disk = base;
    disk.KeyringOption = SiteList::kKeyringOff;
    EXPECT_EQ(MergeSites(disk, base, base).KeyringOption, SiteList::kKeyringOff);
    SiteList mine = base;
    mine.KeyringOption = SiteList::kKeyringOn;
    EXPECT_EQ(MergeSites(disk, base, mine).KeyringOption, SiteList::kKeyringOn);
}

TEST(SiteKeyringChanges, EntriesFollowRenamesAndRemovals) {
    SiteList before;
    before.Records = {site("a", "h", true), site("b", "h", true), site("c", "h", false),
                      site("d", "h", true), site("d", "h", true)};
    for (SiteRecord& r : before.Records)
        r.Id = before.FreshId();
    before.Records[4].Comment = QStringLiteral("twin");
    SiteList after = before;
    after.Records[0].Name = QStringLiteral("a2");    // renamed: moves
    after.Records[1].Host = QStringLiteral("h2");    // other host: moves
    after.Records[2].Name = QStringLiteral("c2");    // in the file: nothing
    after.Records.erase(after.Records.begin() + 3);  // its twin keeps using "d@h"
    const KeyringChanges changes = KeyringChangesBetween(before, after);
    ASSERT_EQ(changes.moves.size(), 2u);
    EXPECT_EQ(changes.moves[0].from, QStringLiteral("a@h"));
    EXPECT_EQ(changes.moves[0].to, QStringLiteral("a2@h"));
    EXPECT_EQ(changes.moves[1].to, QStringLiteral("b@h2"));
    EXPECT_TRUE(changes.removals.isEmpty());
    after.Records.pop_back();
    EXPECT_EQ(KeyringChangesBetween(before, after).removals, QStringList{"d@h"});
}

TEST(SiteKeyringOption, OnByDefaultUnlessNoStoreAnswered) {
    SiteList list;
    EXPECT_TRUE(KeyringWanted(list, false));
    EXPECT_FALSE(KeyringWanted(list, true));
    list.KeyringOption = SiteList::kKeyringOn;
    EXPECT_TRUE(KeyringWanted(list, true));
    list.KeyringOption = SiteList::kKeyringOff;
    EXPECT_FALSE(KeyringWanted(list, false));
}

}  // namespace
