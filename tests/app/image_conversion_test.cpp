#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include <QFont>

#include "app/log_font_image.h"
#include "app/test_bytes.h"
#include "app/window_placement_image.h"

using test_bytes::hex;
using test_bytes::le32;
using test_bytes::zeros;

namespace {

TEST(LogFontImageTest, DecodesTheFieldsFromTheirOffsets) {
    QByteArray bytes = le32(quint32(-16)) + le32(7) + le32(900) + le32(450) + le32(700) +
                       hex("01"
                           "01"
                           "00"
                           "cc"
                           "03"
                           "02"
                           "05"
                           "31");
    for (char c : QByteArray("Arial"))
        bytes.append(c).append('\0');
    bytes += zeros(64 - 10);
    ASSERT_EQ(bytes.size(), LogFontImage::kSize);

    LogFontImage image;
    ASSERT_TRUE(RecordFromBytes(bytes, &image));
    EXPECT_EQ(image.lfHeight, -16);
    EXPECT_EQ(image.lfWidth, 7);
    EXPECT_EQ(image.lfEscapement, 900);
    EXPECT_EQ(image.lfOrientation, 450);
    EXPECT_EQ(image.lfWeight, 700);
    EXPECT_EQ(image.lfItalic, 1);
    EXPECT_EQ(image.lfUnderline, 1);
    EXPECT_EQ(image.lfStrikeOut, 0);
    EXPECT_EQ(image.lfCharSet, 0xCC);
    EXPECT_EQ(image.lfPitchAndFamily, 0x31);
    EXPECT_EQ(image.faceName(), QStringLiteral("Arial"));
    EXPECT_EQ(RecordBytes(image), bytes);
}

TEST(LogFontImageTest, AnyImageSurvivesDecodeAndEncode) {
    QByteArray bytes;
    for (int i = 0; i < LogFontImage::kSize; ++i)
        bytes.append(char(i * 37 + 11));  // also an unterminated face name
    LogFontImage image;
    ASSERT_TRUE(RecordFromBytes(bytes, &image));
    EXPECT_EQ(RecordBytes(image), bytes);
    EXPECT_FALSE(RecordFromBytes(bytes.left(91), &image));
}

TEST(LogFontImageTest, FaceNameIsCutToStayTerminated) {
    LogFontImage image;
    image.setFaceName(QString(40, u'x'));
    EXPECT_EQ(image.faceName().size(), 31);
    EXPECT_EQ(image.lfFaceName[31], 0);
}

TEST(LogFontImageTest, ToFontAndBack) {
    LogFontImage image = LogFontImage::textPageDefault();
    image.lfWeight = 700;
    image.lfItalic = 1;
    image.lfCharSet = 0xA1;
    const QFont font = FontFromLogFont(image);
    EXPECT_EQ(font.pixelSize(), 12);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.italic());
    EXPECT_EQ(font.family(), QStringLiteral("Courier New"));

    const LogFontImage back = LogFontFromFont(font, image);
    EXPECT_EQ(back, image);  // the charset comes from the base
}

TEST(LogFontImageTest, PointSizesBecomeNegativePixelHeights) {
    QFont font(QStringLiteral("Sans"));
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    const LogFontImage image = LogFontFromFont(font, {}, 96);
    EXPECT_EQ(image.lfHeight, -12);
    EXPECT_EQ(image.lfWeight, 400);
    EXPECT_EQ(image.lfItalic, 0);
}

TEST(WindowPlacementImageTest, DefaultImageIsLength44Maximised) {
    const QByteArray expected = hex("2c000000"
                                    "00000000"
                                    "03000000") +
                                zeros(32);
    EXPECT_EQ(RecordBytes(WindowPlacementImage::mainWindowDefault()), expected);
}

TEST(WindowPlacementImageTest, RoundTripsEveryByte) {
    QByteArray bytes;
    for (int i = 0; i < WindowPlacementImage::kSize; ++i)
        bytes.append(char(255 - i * 5));
    WindowPlacementImage image;
    ASSERT_TRUE(RecordFromBytes(bytes, &image));
    EXPECT_EQ(RecordBytes(image), bytes);
    EXPECT_FALSE(RecordFromBytes(bytes + "x", &image));
}

TEST(WindowPlacementImageTest, GeometryUsesTheExclusiveRectangle) {
    WindowPlacementImage image = WindowPlacementImage::mainWindowDefault();
    image.showCmd = WindowPlacementImage::kShowNormal;
    image.normalLeft = 100;
    image.normalTop = 50;
    image.normalRight = 900;
    image.normalBottom = 650;
    WindowGeometry geometry = GeometryFromPlacement(image);
    EXPECT_EQ(geometry.normal, QRect(100, 50, 800, 600));
    EXPECT_FALSE(geometry.maximised);

    const WindowPlacementImage back = PlacementFromGeometry(geometry, image);
    EXPECT_EQ(back, image);

    geometry.maximised = true;
    EXPECT_EQ(PlacementFromGeometry(geometry).showCmd, WindowPlacementImage::kShowMaximised);
}

TEST(WindowPlacementImageTest, MaximisedStates) {
    struct Case {
        qint32 showCmd;
        qint32 flags;
        bool maximised;
    };
    for (const Case& c :
         {Case{3, 0, true}, Case{1, 0, false}, Case{2, 0, false},
          Case{2, WindowPlacementImage::kRestoreToMaximised, true}, Case{0, 0, false}}) {
        WindowPlacementImage image;
        image.showCmd = c.showCmd;
        image.flags = c.flags;
        EXPECT_EQ(GeometryFromPlacement(image).maximised, c.maximised) << c.showCmd;
    }
}

TEST(WindowPlacementImageTest, EmptyOrInvertedRectangleGivesNoGeometry) {
    WindowPlacementImage image = WindowPlacementImage::mainWindowDefault();
    EXPECT_FALSE(GeometryFromPlacement(image).normal.isValid());
    image.normalLeft = 500;
    image.normalRight = 100;
    image.normalBottom = 300;
    EXPECT_FALSE(GeometryFromPlacement(image).normal.isValid());
    image.normalLeft = INT_MIN;
    image.normalRight = INT_MAX;
    EXPECT_FALSE(GeometryFromPlacement(image).normal.isValid());
}

}  // namespace
