#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include <QFile>
#include <QTemporaryDir>

#include "app/mixed_settings.h"
#include "app/test_bytes.h"

using test_bytes::hex;
using test_bytes::le32;

namespace {

QByteArray serialise(MixedSettings settings) {
    SettingsArchive archive;
    EXPECT_TRUE(SerializeMixedSettings(archive, SettingsArchive::Direction::Write, settings));
    return archive.data();
}

TEST(MixedSettingsLayoutTest, DefaultsAre31HandWrittenBytes) {
    const QByteArray expected = hex("00000000")            // search item kinds
                                + hex("00")                // size condition
                                + hex("0000000000000000")  // size
                                + hex("00")                // size unit
                                + hex("01")                // case sensitive
                                + hex("00"
                                      "00"
                                      "00")        // dot, title wildcards
                                + hex("00000000")  // title
                                + hex("00"
                                      "00")        // extension wildcards
                                + hex("00000000")  // extension
                                + hex("00"
                                      "00"
                                      "00");  // compare, case target, case items
    ASSERT_EQ(expected.size(), 31);
    EXPECT_EQ(serialise(MixedSettings{}).toHex(), expected.toHex());
}

TEST(MixedSettingsLayoutTest, TextsAreNarrowAndSizeIs64Bit) {
    MixedSettings s;
    s.SearchItemKinds = 0x21;
    s.SearchSize = 0x100000000LL;
    s.SearchTitle = "ab";
    s.SearchExtension = "htm";
    s.ChangeCaseItems = 0x41;
    const QByteArray expected = hex("21000000") + hex("00") + hex("0000000001000000") +
                                hex("00"
                                    "01"
                                    "00"
                                    "00"
                                    "00") +
                                le32(2) + "ab" +
                                hex("00"
                                    "00") +
                                le32(3) + "htm" +
                                hex("00"
                                    "00"
                                    "41");
    ASSERT_EQ(expected.size(), 31 + 5);
    EXPECT_EQ(serialise(s).toHex(), expected.toHex());
}

TEST(MixedSettingsFileTest, RoundTripAndTruncation) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mixed.set"));
    MixedSettings s;
    s.SearchItemKinds = 0x3F;
    s.SearchSizeCondition = 2;
    s.SearchSize = -5;
    s.SearchSizeUnit = 1;
    s.SearchCaseSensitive = 0;
    s.SearchNameHasDot = 1;
    s.SearchTitleStartsWithWildcard = 1;
    s.SearchTitleEndsWithWildcard = 1;
    s.SearchTitle = QByteArray("t\xc3\xa9", 3);
    s.SearchExtensionStartsWithWildcard = 1;
    s.SearchExtensionEndsWithWildcard = 1;
    s.SearchExtension = "php";
    s.CompareOptions = 0x1F;
    s.ChangeCaseTarget = 1;
    s.ChangeCaseItems = 0x7F;
    ASSERT_TRUE(SaveMixedSettings(s, path));

    MixedSettings loaded;
    EXPECT_TRUE(LoadMixedSettings(loaded, path));
    EXPECT_EQ(serialise(loaded), serialise(s));

    // Cut inside the extension text: the fields before it keep the file's values.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray whole = file.readAll();
    file.resize(whole.size() - 5);
    file.close();
    EXPECT_FALSE(LoadMixedSettings(loaded, path));
    EXPECT_EQ(loaded.SearchTitle, s.SearchTitle);
    EXPECT_EQ(loaded.SearchExtensionEndsWithWildcard, 1);
    EXPECT_TRUE(loaded.SearchExtension.isEmpty());
    EXPECT_EQ(loaded.CompareOptions, 0);
    EXPECT_EQ(loaded.ChangeCaseItems, 0);
}

}  // namespace
