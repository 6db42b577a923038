#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include "app/settings_archive.h"
#include "app/test_bytes.h"

using test_bytes::hex;
using test_bytes::le32;
using Direction = SettingsArchive::Direction;

namespace {

TEST(SettingsArchiveTest, WritesLittleEndianFieldsWithoutPadding) {
    SettingsArchive archive;
    quint8 byte = 0xAB;
    qint32 int32 = -2;
    qint64 int64 = 0x0102030405060708LL;
    QByteArray raw = hex("c0ffee");
    QString wide = QStringLiteral("A\u00e9\u20ac");
    QByteArray narrow("x\xff", 2);
    ASSERT_TRUE(archive.byteField(Direction::Write, byte));
    ASSERT_TRUE(archive.int32Field(Direction::Write, int32));
    ASSERT_TRUE(archive.int64Field(Direction::Write, int64));
    ASSERT_TRUE(archive.rawField(Direction::Write, raw, 3));
    ASSERT_TRUE(archive.wideText(Direction::Write, wide));
    ASSERT_TRUE(archive.narrowText(Direction::Write, narrow));

    const QByteArray expected = hex("ab") + hex("feffffff") + hex("0807060504030201") +
                                hex("c0ffee") +
                                hex("06000000"
                                    "4100"
                                    "e900"
                                    "ac20") +
                                hex("02000000"
                                    "78ff");
    EXPECT_EQ(archive.data().toHex(), expected.toHex());
}

TEST(SettingsArchiveTest, ReadsWhatTheBytesSay) {
    SettingsArchive archive(hex("7f") + hex("78563412") + hex("ffffffffffffffff") +
                            hex("04000000"
                                "3d d8 00 de") +
                            hex("03000000"
                                "616263"));
    quint8 byte = 0;
    qint32 int32 = 0;
    qint64 int64 = 0;
    QString wide;
    QByteArray narrow;
    ASSERT_TRUE(archive.byteField(Direction::Read, byte));
    ASSERT_TRUE(archive.int32Field(Direction::Read, int32));
    ASSERT_TRUE(archive.int64Field(Direction::Read, int64));
    ASSERT_TRUE(archive.wideText(Direction::Read, wide));
    ASSERT_TRUE(archive.narrowText(Direction::Read, narrow));
    EXPECT_EQ(byte, 0x7F);
    EXPECT_EQ(int32, 0x12345678);
    EXPECT_EQ(int64, -1);
    EXPECT_EQ(wide, QString::fromUtf8("\xF0\x9F\x98\x80"));  // a surrogate pair stays whole
    EXPECT_EQ(narrow, QByteArray("abc"));
    EXPECT_EQ(archive.remaining(), 0);
}

// A read that fails must leave both the value and the position alone, so the caller's
// defaults survive and nothing is misread.
struct BadField {
    const char* name;
    QByteArray bytes;
    enum Kind { Byte, Int32, Int64, Raw4, Wide, Narrow } kind;
};

void PrintTo(const BadField& field, std::ostream* os) {
    *os << field.name;
}

class SettingsArchiveBadFieldTest : public testing::TestWithParam<BadField> {};

TEST_P(SettingsArchiveBadFieldTest, FailsWithoutChangingAnything) {
    const BadField& field = GetParam();
    SettingsArchive archive(hex("aa") + field.bytes);
    quint8 skip = 0;
    ASSERT_TRUE(archive.byteField(Direction::Read, skip));

    quint8 byte = 9;
    qint32 int32 = 9;
    qint64 int64 = 9;
    QByteArray raw = "keep";
    QString wide = QStringLiteral("keep");
    QByteArray narrow = "keep";
    bool ok = true;
    switch (field.kind) {
        case BadField::Byte:
            ok = archive.byteField(Direction::Read, byte);
            break;
        case BadField::Int32:
            ok = archive.int32Field(Direction::Read, int32);
            break;
        case BadField::Int64:
            ok = archive.int64Field(Direction::Read, int64);
            break;
        case BadField::Raw4:
            ok = archive.rawField(Direction::Read, raw, 4);
            break;
        case BadField::Wide:
            ok = archive.wideText(Direction::Read, wide);
            break;
        case BadField::Narrow:
            ok = archive.narrowText(Direction::Read, narrow);
            break;
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(archive.readPosition(), 1);
    EXPECT_EQ(byte, 9);
    EXPECT_EQ(int32, 9);
    EXPECT_EQ(int64, 9);
    EXPECT_EQ(raw, QByteArray("keep"));
    EXPECT_EQ(wide, QStringLiteral("keep"));
    EXPECT_EQ(narrow, QByteArray("keep"));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, SettingsArchiveBadFieldTest,
    testing::Values(BadField{"ByteAtEnd", QByteArray(), BadField::Byte},
                    BadField{"Int32Short", hex("010203"), BadField::Int32},
                    BadField{"Int64Short", hex("01020304050607"), BadField::Int64},
                    BadField{"RawShort", hex("010203"), BadField::Raw4},
                    BadField{"WideLengthShort", hex("0200"), BadField::Wide},
                    BadField{"WideNegative", le32(quint32(-2)) + hex("41004200"), BadField::Wide},
                    BadField{"WideOdd", le32(3) + hex("410042"), BadField::Wide},
                    BadField{"WideOverLong", le32(6) + hex("41004200"), BadField::Wide},
                    BadField{"WideHuge", le32(0x7FFFFFFE) + hex("4100"), BadField::Wide},
                    BadField{"NarrowNegative", le32(quint32(-1)) + hex("41"), BadField::Narrow},
                    BadField{"NarrowOverLong", le32(5) + hex("41424344"), BadField::Narrow},
                    BadField{"NarrowHuge", le32(0x7FFFFFFF) + hex("41"), BadField::Narrow}),
    [](const testing::TestParamInfo<BadField>& info) { return std::string(info.param.name); });

TEST(SettingsArchiveTest, RawWriteOfWrongSizeIsRefused) {
    SettingsArchive archive;
    QByteArray block = hex("0102");
    EXPECT_FALSE(archive.rawField(Direction::Write, block, 3));
    EXPECT_EQ(archive.size(), 0);
}

}  // namespace
