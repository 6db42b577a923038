#include "app/log_font_image.h"

#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

constexpr int kIntCount = 5;
constexpr int kByteCount = 8;
constexpr int kFaceOffset = kIntCount * 4 + kByteCount;
static_assert(kFaceOffset + LogFontImage::kFaceNameUnits * 2 == LogFontImage::kSize);

constexpr quint8 kFixedPitch = 0x01;
constexpr quint8 kFamilyMask = 0xF0;
constexpr quint8 kFamilyRoman = 0x10;
constexpr quint8 kFamilySwiss = 0x20;
constexpr quint8 kFamilyModern = 0x30;
constexpr quint8 kFamilyScript = 0x40;
constexpr quint8 kFamilyDecorative = 0x50;

}  // namespace

QByteArray LogFontImage::toBytes() const {
    QByteArray bytes(kSize, '\0');
    char* p = bytes.data();
    const qint32 ints[kIntCount] = {lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight};
    for (int i = 0; i < kIntCount; ++i)
        qToLittleEndian<qint32>(ints[i], p + i * 4);
    const quint8 small[kByteCount] = {lfItalic,  lfUnderline,     lfStrikeOut,
                                      lfCharSet, lfOutPrecision,  lfClipPrecision,
                                      lfQuality, lfPitchAndFamily};
    std::memcpy(p + kIntCount * 4, small, kByteCount);
    for (int i = 0; i < kFaceNameUnits; ++i)
        qToLittleEndian<quint16>(lfFaceName[i], p + kFaceOffset + i * 2);
    return bytes;
}

bool LogFontImage::fromBytes(const QByteArray& bytes, LogFontImage* out) {
    if (bytes.size() != kSize)
        return false;
    const char* p = bytes.constData();
    LogFontImage image;
    image.lfHeight = qFromLittleEndian<qint32>(p);
    image.lfWidth = qFromLittleEndian<qint32>(p + 4);
    image.lfEscapement = qFromLittleEndian<qint32>(p + 8);
    image.lfOrientation = qFromLittleEndian<qint32>(p + 12);
    image.lfWeight = qFromLittleEndian<qint32>(p + 16);
    const auto* small = reinterpret_cast<const quint8*>(p + kIntCount * 4);
    image.lfItalic = small[0];
    image.lfUnderline = small[1];
    image.lfStrikeOut = small[2];
    image.lfCharSet = small[3];
    image.lfOutPrecision = small[4];
    image.lfClipPrecision = small[5];
    image.lfQuality = small[6];
    image.lfPitchAndFamily = small[7];
    for (int i = 0; i < kFaceNameUnits; ++i)
        image.lfFaceName[i] = qFromLittleEndian<quint16>(p + kFaceOffset + i * 2);
    *out = image;
    return true;
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
