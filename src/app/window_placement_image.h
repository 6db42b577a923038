#pragma once

#include <QByteArray>
#include <QRect>
#include <QtGlobal>

#include "app/settings_archive.h"

// The 44-byte image of a Windows WINDOWPLACEMENT kept in setting.set.
struct WindowPlacementImage {
    static constexpr int kSize = 44;
    static constexpr qint32 kShowNormal = 1;
    static constexpr qint32 kShowMinimised = 2;
    static constexpr qint32 kShowMaximised = 3;
    static constexpr qint32 kRestoreToMaximised = 0x02;  // in `flags`

    qint32 length = 0;
    qint32 flags = 0;
    qint32 showCmd = 0;
    qint32 minPositionX = 0;
    qint32 minPositionY = 0;
    qint32 maxPositionX = 0;
    qint32 maxPositionY = 0;
    qint32 normalLeft = 0;
    qint32 normalTop = 0;
    qint32 normalRight = 0;  // exclusive, as a Windows RECT
    qint32 normalBottom = 0;

    // The stored order of the fields, for reading and writing alike.
    bool walk(SettingsArchive& archive, SettingsArchive::Direction direction);

    // `length` 44 and shown maximised, all else zero.
    static WindowPlacementImage mainWindowDefault();

    bool operator==(const WindowPlacementImage&) const = default;
};

struct WindowGeometry {
    QRect normal;  // restored geometry; not valid when the image holds no usable rectangle
    bool maximised = false;
};

WindowGeometry GeometryFromPlacement(const WindowPlacementImage& image);
// Fields a geometry does not describe (minimised and maximised positions) come from `base`.
WindowPlacementImage PlacementFromGeometry(
    const WindowGeometry& geometry,
    const WindowPlacementImage& base = WindowPlacementImage::mainWindowDefault());
