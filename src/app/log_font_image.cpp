#include "app/log_font_image.h"

#include <cmath>

namespace {

constexpr quint8 kFixedPitch = 0x01;
constexpr quint8 kFamilyMask = 0xF0;
constexpr quint8 kFamilyRoman = 0x10;
constexpr quint8 kFamilySwiss = 0x20;
constexpr quint8 kFamilyModern = 0x30;
constexpr quint8 kFamilyScript = 0x40;
constexpr quint8 kFamilyDecorative = 0x50;

}  // namespace

bool LogFontImage::walk(SettingsArchive& archive, SettingsArchive::Direction direction) {
    bool whole =
        archive.int32Field(direction, lfHeight) && archive.int32Field(direction, lfWidth) &&
        archive.int32Field(direction, lfEscapement) &&
        archive.int32Field(direction, lfOrientation) && archive.int32Field(direction, lfWeight) &&
        archive.byteField(direction, lfItalic) && archive.byteField(direction, lfUnderline) &&
        archive.byteField(direction, lfStrikeOut) && archive.byteField(direction, lfCharSet) &&
        archive.byteField(direction, lfOutPrecision) &&
        archive.byteField(direction, lfClipPrecision) && archive.byteField(direction, lfQuality) &&
        archive.byteField(direction, lfPitchAndFamily);
    for (char16_t& unit : lfFaceName) {
        quint16 value = unit;
        whole = whole && archive.uint16Field(direction, value);
        unit = value;
    }
    return whole;
}

QString LogFontImage::faceName() const {
    int length = 0;
    while (length < kFaceNameUnits && lfFaceName[length] != 0)
        ++length;
    return QString::fromUtf16(lfFaceName.data(), length);
}

void LogFontImage::setFaceName(const QString& name) {
    lfFaceName.fill(0);
    const int length = qMin<int>(name.size(), kFaceNameUnits - 1);
    for (int i = 0; i < length; ++i)
        lfFaceName[i] = name.at(i).unicode();
}

LogFontImage LogFontImage::textPageDefault() {
    LogFontImage image;
    image.lfHeight = -12;
    image.setFaceName(QStringLiteral("Courier New"));
    return image;
}

QFont FontFromLogFont(const LogFontImage& image) {
    QFont font;
    const QString face = image.faceName();
    if (!face.isEmpty())
        font.setFamily(face);
    // Both signs are taken as pixels; the cell height of a positive value is close enough.
    if (image.lfHeight != 0)
        font.setPixelSize(std::abs(image.lfHeight));
    if (image.lfWeight > 0)
        font.setWeight(static_cast<QFont::Weight>(qBound(1, int(image.lfWeight), 1000)));
    font.setItalic(image.lfItalic != 0);
    font.setUnderline(image.lfUnderline != 0);
    font.setStrikeOut(image.lfStrikeOut != 0);
    const quint8 family = image.lfPitchAndFamily & kFamilyMask;
    if ((image.lfPitchAndFamily & kFixedPitch) || family == kFamilyModern) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    } else if (family == kFamilyRoman) {
        font.setStyleHint(QFont::Serif);
    } else if (family == kFamilySwiss) {
        font.setStyleHint(QFont::SansSerif);
    } else if (family == kFamilyScript) {
        font.setStyleHint(QFont::Cursive);
    } else if (family == kFamilyDecorative) {
        font.setStyleHint(QFont::Decorative);
    }
    return font;
}

LogFontImage LogFontFromFont(const QFont& font, const LogFontImage& base, int dpi) {
    LogFontImage image = base;
    if (font.pixelSize() > 0)
        image.lfHeight = -font.pixelSize();
    else if (font.pointSizeF() > 0)
        image.lfHeight = -static_cast<qint32>(std::lround(font.pointSizeF() * dpi / 72.0));
    image.lfWeight = font.weight();
    image.lfItalic = font.italic() ? 1 : 0;
    image.lfUnderline = font.underline() ? 1 : 0;
    image.lfStrikeOut = font.strikeOut() ? 1 : 0;
    image.setFaceName(font.family());
    return image;
}
