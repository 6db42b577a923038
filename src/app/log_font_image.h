#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QtGlobal>

#include <array>

#include "app/settings_archive.h"

// The 92-byte image of a Windows LOGFONTW kept in the settings files, so the files stay
// interchangeable with other installs. Every byte of the image maps to a field, so decoding
// and encoding again gives the same bytes.
struct LogFontImage {
    static constexpr int kSize = 92;
    static constexpr int kFaceNameUnits = 32;

    qint32 lfHeight = 0;  // negative: character height in pixels; positive: cell height
    qint32 lfWidth = 0;
    qint32 lfEscapement = 0;
    qint32 lfOrientation = 0;
    qint32 lfWeight = 0;  // 0 = don't care, 400 normal, 700 bold
    quint8 lfItalic = 0;
    quint8 lfUnderline = 0;
    quint8 lfStrikeOut = 0;
    quint8 lfCharSet = 0;
    quint8 lfOutPrecision = 0;
    quint8 lfClipPrecision = 0;
    quint8 lfQuality = 0;
    quint8 lfPitchAndFamily = 0;
    std::array<char16_t, kFaceNameUnits> lfFaceName{};  // NUL-terminated unless full

    // The stored order of the fields, for reading and writing alike.
    bool walk(SettingsArchive& archive, SettingsArchive::Direction direction);

    QString faceName() const;
    // Keeps at most 31 units so the name stays terminated.
    void setFaceName(const QString& name);

    // The font of the text pages: height -12, face "Courier New", all else zero.
    static LogFontImage textPageDefault();

    bool operator==(const LogFontImage&) const = default;
};

QFont FontFromLogFont(const LogFontImage& image);
// Fields a QFont does not describe (escapement, charset, quality, ...) are taken from `base`.
// A size given in points is turned into pixels at `dpi`.
LogFontImage LogFontFromFont(const QFont& font, const LogFontImage& base = {}, int dpi = 96);
