#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/app_settings.h"
#include "app/test_bytes.h"

using test_bytes::courierNewFont;
using test_bytes::hex;
using test_bytes::le32;
using test_bytes::zeros;

namespace {

// Fields 1-11 with the default values, offsets 0-28.
QByteArray defaultHead() {
    return hex("00")          // ChatInfoLevel
           + hex("02000000")  // CommonFlags
           + hex("02000000")  // LocalShowFlags
           + hex("01"
                 "00"
                 "00")         // keep-alive interval, command 1, command 2
           + hex("01000000")   // ServerKindFlags
           + hex("00")         // SizeStyle
           + hex("ffffd200")   // LocalPageColor 0x00D2FFFF
           + hex("f0ffff00")   // RemotePageColor 0x00FFFFF0
           + hex("0c000000");  // ViewFlags
}

// Fields 12-21 with the default values, offsets 29-108.
QByteArray defaultMiddle() {
    return hex("2c000000"
               "00000000"
               "03000000") +
           zeros(32)           // MainPlacement
           + hex("13000000")   // BeepFlags
           + hex("05000000")   // BeepMinutes
           + hex("e8030000")   // BeepFrequency
           + hex("00000000")   // ToolFlags
           + hex("00000000")   // reserved
           + hex("1e005000")   // MainSplit
           + hex("3c002d00")   // NormalSplit
           + hex("41003200")   // LocalPageSplit
           + hex("46003200");  // RemotePageSplit
}

QByteArray defaultFile() {
    return defaultHead() + defaultMiddle() + le32(0) + courierNewFont() + courierNewFont();
}

// Fields 1-11 all different from their defaults.
QByteArray changedHead() {
    return hex("04") + hex("0e000000") + hex("03000000") +
           hex("04"
               "01"
               "01") +
           hex("0f000000") + hex("02") + hex("11223300") + hex("44556600") + hex("13000000");
}

QByteArray serialise(AppSettings settings) {
    SettingsArchive archive;
    EXPECT_TRUE(SerializeAppSettings(archive, SettingsArchive::Direction::Write, settings));
    return archive.data();
}

class AppSettingsFileTest : public testing::Test {
protected:
    QString path() const { return dir_.filePath(QStringLiteral("setting.set")); }
    void writeFile(const QByteArray& bytes) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray readFile() {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    void expectHeadChanged(const AppSettings& s) {
        EXPECT_EQ(s.ChatInfoLevel, 4);
        EXPECT_EQ(s.CommonFlags, 0x0E);
        EXPECT_EQ(s.LocalShowFlags, 0x03);
        EXPECT_EQ(s.KeepAliveInterval, 4);
        EXPECT_EQ(s.KeepAliveCommand1, 1);
        EXPECT_EQ(s.KeepAliveCommand2, 1);
        EXPECT_EQ(s.ServerKindFlags, 0x0F);
        EXPECT_EQ(s.SizeStyle, 2);
        EXPECT_EQ(s.LocalPageColor, 0x00332211);
        EXPECT_EQ(s.RemotePageColor, 0x00665544);
        EXPECT_EQ(s.ViewFlags, 0x13);
    }
    void expectTailDefault(const AppSettings& s) {
        const AppSettings defaults;
        EXPECT_EQ(s.MainPlacement, defaults.MainPlacement);
        EXPECT_EQ(s.BeepFlags, 0x13);
        EXPECT_EQ(s.BeepMinutes, 5);
        EXPECT_EQ(s.BeepFrequency, 1000);
        EXPECT_EQ(s.MainSplit, 0x0050001E);
        EXPECT_EQ(s.RemotePageSplit, 0x00320046);
        EXPECT_TRUE(s.LastLocalFolder.isEmpty());
        EXPECT_EQ(s.ConcernedFont, defaults.ConcernedFont);
        EXPECT_EQ(s.WizardFont, defaults.WizardFont);
    }

    QTemporaryDir dir_;
};

TEST(AppSettingsLayoutTest, DefaultRecordIs297HandWrittenBytes) {
    const QByteArray expected = defaultFile();
    ASSERT_EQ(expected.size(), 297);
    EXPECT_EQ(serialise(AppSettings{}).toHex(), expected.toHex());
}

TEST(AppSettingsLayoutTest, FourCharacterFolderMakes305Bytes) {
    AppSettings settings;
    settings.LastLocalFolder = QStringLiteral("/srv");
    const QByteArray expected = defaultHead() + defaultMiddle() +
                                hex("08000000"
                                    "2f00730072007600") +
                                courierNewFont() + courierNewFont();
    ASSERT_EQ(expected.size(), 305);
    EXPECT_EQ(serialise(settings).toHex(), expected.toHex());
}

TEST(AppSettingsLayoutTest, EveryFieldLandsAtItsOffset) {
    AppSettings s;
    s.MainPlacement.showCmd = 1;
    s.MainPlacement.normalLeft = 10;
    s.MainPlacement.normalBottom = 0x300;
    s.BeepFlags = 0x0F;
    s.BeepMinutes = 60;
    s.BeepFrequency = 10000;
    s.ToolFlags = 1;
    s.Reserved = 0x01020304;
    s.MainSplit = 0x5DE72219;
    s.WizardFont.lfWeight = 700;
    s.WizardFont.lfItalic = 1;
    const QByteArray bytes = serialise(s);
    ASSERT_EQ(bytes.size(), 297);
    EXPECT_EQ(bytes.mid(29 + 8, 4), le32(1));
    EXPECT_EQ(bytes.mid(29 + 28, 4), le32(10));
    EXPECT_EQ(bytes.mid(29 + 40, 4), le32(0x300));
    EXPECT_EQ(bytes.mid(73, 4), le32(0x0F));
    EXPECT_EQ(bytes.mid(77, 4), le32(60));
    EXPECT_EQ(bytes.mid(81, 4), le32(10000));
    EXPECT_EQ(bytes.mid(85, 4), le32(1));
    EXPECT_EQ(bytes.mid(89, 4), hex("04030201"));
    EXPECT_EQ(bytes.mid(93, 4), hex("1922e75d"));
    EXPECT_EQ(bytes.mid(205 + 16, 4), le32(700));
    EXPECT_EQ(bytes.mid(205 + 20, 1), hex("01"));
    EXPECT_EQ(bytes.mid(113, 92), courierNewFont());
}

TEST_F(AppSettingsFileTest, HandWrittenFileLoadsWhole) {
    writeFile(changedHead() + defaultMiddle() +
              hex("04000000"
                  "41004200") +
              courierNewFont() + courierNewFont());
    AppSettings s;
    EXPECT_TRUE(LoadAppSettings(s, path()));
    EXPECT_TRUE(s.Loaded);
    expectHeadChanged(s);
    EXPECT_EQ(s.LastLocalFolder, QStringLiteral("AB"));
}

TEST_F(AppSettingsFileTest, TwentyNineBytesRestoreFieldsOneToEleven) {
    writeFile(changedHead());
    ASSERT_EQ(changedHead().size(), 29);
    AppSettings s;
    EXPECT_FALSE(LoadAppSettings(s, path()));
    EXPECT_FALSE(s.Loaded);
    expectHeadChanged(s);
    expectTailDefault(s);
}

TEST_F(AppSettingsFileTest, FileCutInsideAFieldKeepsTheFieldDefault) {
    // The placement needs 44 bytes; only 43 follow.
    writeFile(changedHead() +
              hex("2c000000"
                  "00000000"
                  "01000000") +
              zeros(31));
    AppSettings s;
    EXPECT_FALSE(LoadAppSettings(s, path()));
    expectHeadChanged(s);
    EXPECT_EQ(s.MainPlacement.showCmd, 3);
}

TEST_F(AppSettingsFileTest, BadFolderTextLeavesEverythingAfterItDefault) {
    for (const QByteArray& badText : {le32(7) + hex("41004200410042"),      // odd
                                      le32(quint32(-4)) + hex("41004200"),  // negative
                                      le32(400) + hex("41004200")}) {       // over-long
        SCOPED_TRACE(badText.toHex().toStdString());
        QByteArray middle = defaultMiddle();
        middle.replace(93 - 29, 4, le32(0x40004000));  // MainSplit from the file
        writeFile(changedHead() + middle + badText + courierNewFont() + courierNewFont());
        AppSettings s;
        s.LastLocalFolder = QStringLiteral("left over");
        EXPECT_FALSE(LoadAppSettings(s, path()));
        EXPECT_FALSE(s.Loaded);
        expectHeadChanged(s);
        EXPECT_EQ(s.MainSplit, 0x40004000);
        EXPECT_TRUE(s.LastLocalFolder.isEmpty());
    }
}

TEST_F(AppSettingsFileTest, BytesAfterTheLastFieldAreIgnored) {
    writeFile(changedHead() + defaultMiddle() + le32(0) + courierNewFont() + courierNewFont() +
              hex("deadbeef"));
    AppSettings s;
    EXPECT_TRUE(LoadAppSettings(s, path()));
    expectHeadChanged(s);
}

TEST_F(AppSettingsFileTest, MissingOrEmptyFileGivesDefaults) {
    AppSettings s;
    s.SizeStyle = 2;
    s.Loaded = true;
    EXPECT_FALSE(LoadAppSettings(s, path()));
    EXPECT_EQ(s.SizeStyle, 0);
    EXPECT_FALSE(s.Loaded);

    writeFile(QByteArray());
    s.BeepMinutes = 30;
    EXPECT_FALSE(LoadAppSettings(s, path()));
    EXPECT_EQ(s.BeepMinutes, 5);
    EXPECT_EQ(s.KeepAliveInterval, 1);
    EXPECT_EQ(s.BeepFlags, AppSettings::kBeepDownload | AppSettings::kBeepUpload |
                               AppSettings::kBeepNotContinually);
}

TEST_F(AppSettingsFileTest, SaveAndLoadRoundTripEveryField) {
    AppSettings s;
    s.ChatInfoLevel = 3;
    s.CommonFlags = 0x0C;
    s.KeepAliveCommand2 = 1;
    s.SizeStyle = 1;
    s.RemotePageColor = 0x00010203;
    s.MainPlacement.showCmd = 1;
    s.MainPlacement.normalRight = 1024;
    s.BeepFrequency = 440;
    s.Reserved = -7;
    s.LocalPageSplit = 0x12345678;
    s.LastLocalFolder = QStringLiteral("/home/\u00e9t\u00e9/web");
    s.ConcernedFont.setFaceName(QStringLiteral("DejaVu Sans Mono"));
    s.WizardFont.lfHeight = -20;
    ASSERT_TRUE(SaveAppSettings(s, path()));
    EXPECT_EQ(readFile().size(), 297 + 2 * s.LastLocalFolder.size());

    AppSettings loaded;
    EXPECT_TRUE(LoadAppSettings(loaded, path()));
    s.Loaded = true;
    EXPECT_EQ(loaded.ChatInfoLevel, s.ChatInfoLevel);
    EXPECT_EQ(loaded.CommonFlags, s.CommonFlags);
    EXPECT_EQ(loaded.KeepAliveCommand2, s.KeepAliveCommand2);
    EXPECT_EQ(loaded.SizeStyle, s.SizeStyle);
    EXPECT_EQ(loaded.RemotePageColor, s.RemotePageColor);
    EXPECT_EQ(loaded.MainPlacement, s.MainPlacement);
    EXPECT_EQ(loaded.BeepFrequency, s.BeepFrequency);
    EXPECT_EQ(loaded.Reserved, s.Reserved);
    EXPECT_EQ(loaded.LocalPageSplit, s.LocalPageSplit);
    EXPECT_EQ(loaded.LastLocalFolder, s.LastLocalFolder);
    EXPECT_EQ(loaded.ConcernedFont, s.ConcernedFont);
    EXPECT_EQ(loaded.WizardFont, s.WizardFont);
}

TEST_F(AppSettingsFileTest, SaveCreatesAMissingFolder) {
    const QString nested = dir_.filePath(QStringLiteral("a/b/setting.set"));
    ASSERT_TRUE(SaveAppSettings(AppSettings{}, nested));
    QFile file(nested);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), defaultFile());
}

}  // namespace
