#include "app/publish_settings.h"
#include "test_bytes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace test_bytes;

TEST(PublishSettings, FileLayoutWrittenByHand) {
    PublishSettings s;
    EXPECT_TRUE(s.options.atomic);
    EXPECT_TRUE(s.options.keepTimes);
    EXPECT_FALSE(s.options.verify);
    s.options.verify = true;
    s.setOffset("ftp.x.org", 21, 7200);
    s.setOffset("FTP.X.ORG", 21, -1800);  // one entry per server
    s.setOffset("ftp.x.org", 2121, 0);
    const QByteArray expected = hex("01010100") + le32(2) + wide("ftp.x.org") + le32(21) +
                                le32(quint32(-1800)) + wide("ftp.x.org") + le32(2121) + le32(0);
    EXPECT_EQ(s.serialize().toHex(), expected.toHex());

    PublishSettings back;
    EXPECT_TRUE(back.parse(expected));
    EXPECT_EQ(back, s);
    EXPECT_EQ(back.offsetFor("Ftp.X.Org", 21), -1800);
    EXPECT_FALSE(back.offsetFor("ftp.x.org", 22));
    back.clearOffset("ftp.x.org", 21);
    EXPECT_EQ(back.offsets.size(), 1u);
}

TEST(PublishSettings, ADamagedFileKeepsWhatItHeldWhole) {
    const QByteArray whole =
        hex("00000001") + le32(2) + wide("a") + le32(21) + le32(3600) + wide("b") + le32(21);
    PublishSettings s;
    EXPECT_FALSE(s.parse(whole));
    EXPECT_FALSE(s.options.atomic);
    EXPECT_TRUE(s.compareDates);
    ASSERT_EQ(s.offsets.size(), 1u);
    EXPECT_EQ(s.offsets[0], (ListTimeOffset{"a", 21, 3600}));

    EXPECT_FALSE(s.parse(hex("01")));
    EXPECT_EQ(s, PublishSettings()) << "a first field cut short leaves the defaults";

    QTemporaryDir dir;
    const QString path = dir.filePath(PublishSettings::fileName());
    EXPECT_TRUE(LoadPublishSettings(s, path)) << "no file: the defaults";
    s.options.atomic = false;
    ASSERT_TRUE(SavePublishSettings(s, path));
    PublishSettings loaded;
    EXPECT_TRUE(LoadPublishSettings(loaded, path));
    EXPECT_EQ(loaded, s);
}

TEST(PublishSettings, TimeOffsetTexts) {
    const struct {
        const char* text;
        std::optional<qint32> seconds;
    } cases[] = {{"+02:00", 7200},  {"-05:30", -19800}, {"2", 7200},   {"0", 0},
                 {"+14:00", 50400}, {"+24:01", {}},     {"1:5", {}},   {"+2h", {}},
                 {"", {}},          {"--1", {}},        {"+00:60", {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseTimeOffset(c.text), c.seconds);
        if (c.seconds) {
            EXPECT_EQ(parseTimeOffset(timeOffsetText(*c.seconds)), c.seconds);
        }
    }
    EXPECT_EQ(timeOffsetText(-19800), "-05:30");
}

// Two writers: the window keeps what it changed since it loaded, and what
// velmora-cli saved meanwhile survives.
TEST(PublishSettings, SaveMergesWithWhatOthersSavedMeanwhile) {
    const QString a = QStringLiteral("ftp.a.org"), b = QStringLiteral("ftp.b.org");
    PublishSettings base;
    base.setOffset(a, 21, 3600);
    base.setOffset(b, 21, 7200);

    PublishSettings disk = base;
    disk.options.verify = true;                             // another writer switched verify on,
    disk.setOffset(a, 21, -3600);                           // changed a's offset
    disk.setOffset(QStringLiteral("ftp.c.org"), 2121, 60);  // and added c's

    PublishSettings mine = base;
    mine.options.atomic = false;
    mine.clearOffset(b, 21);
    mine.setOffset(QStringLiteral("ftp.d.org"), 21, 1800);

    const PublishSettings merged = MergePublishSettings(disk, base, mine);
    EXPECT_FALSE(merged.options.atomic);
    EXPECT_TRUE(merged.options.verify);
    EXPECT_TRUE(merged.options.keepTimes);
    EXPECT_EQ(merged.offsetFor(a, 21), -3600);
    EXPECT_EQ(merged.offsetFor(b, 21), std::nullopt);
    EXPECT_EQ(merged.offsetFor(QStringLiteral("ftp.c.org"), 2121), 60);
    EXPECT_EQ(merged.offsetFor(QStringLiteral("ftp.d.org"), 21), 1800);
}
