#include "app/window_placement_image.h"

#include <QtEndian>

#include <climits>

namespace {

constexpr int kFieldCount = 11;
static_assert(kFieldCount * 4 == WindowPlacementImage::kSize);

}  // namespace

QByteArray WindowPlacementImage::toBytes() const {
    const qint32 fields[kFieldCount] = {length,       flags,        showCmd,      minPositionX,
                                        minPositionY, maxPositionX, maxPositionY, normalLeft,
                                        normalTop,    normalRight,  normalBottom};
    QByteArray bytes(kSize, '\0');
    for (int i = 0; i < kFieldCount; ++i)
        qToLittleEndian<qint32>(fields[i], bytes.data() + i * 4);
    return bytes;
}

bool WindowPlacementImage::fromBytes(const QByteArray& bytes, WindowPlacementImage* out) {
    if (bytes.size() != kSize)
        return false;
    qint32* fields[kFieldCount] = {&out->length,       &out->flags,        &out->showCmd,
                                   &out->minPositionX, &out->minPositionY, &out->maxPositionX,
                                   &out->maxPositionY, &out->normalLeft,   &out->normalTop,
                                   &out->normalRight,  &out->normalBottom};
    for (int i = 0; i < kFieldCount; ++i)
        *fields[i] = qFromLittleEndian<qint32>(bytes.constData() + i * 4);
    return true;
}

WindowPlacementImage WindowPlacementImage::mainWindowDefault() {
    WindowPlacementImage image;
    image.length = kSize;
    image.showCmd = kShowMaximised;
    return image;
}

WindowGeometry GeometryFromPlacement(const WindowPlacementImage& image) {
    WindowGeometry geometry;
    // A window left minimised comes back in the state it had before.
    geometry.maximised = image.showCmd == WindowPlacementImage::kShowMaximised ||
                         (image.showCmd == WindowPlacementImage::kShowMinimised &&
                          (image.flags & WindowPlacementImage::kRestoreToMaximised));
    const qint64 width = qint64(image.normalRight) - image.normalLeft;
    const qint64 height = qint64(image.normalBottom) - image.normalTop;
    if (width > 0 && height > 0 && width <= INT_MAX && height <= INT_MAX)
        geometry.normal = QRect(image.normalLeft, image.normalTop, int(width), int(height));
    return geometry;
}

WindowPlacementImage PlacementFromGeometry(const WindowGeometry& geometry,
                                           const WindowPlacementImage& base) {
    WindowPlacementImage image = base;
    image.length = WindowPlacementImage::kSize;
    image.flags = 0;
    image.showCmd = geometry.maximised ? WindowPlacementImage::kShowMaximised
                                       : WindowPlacementImage::kShowNormal;
    if (geometry.normal.isValid()) {
        image.normalLeft = geometry.normal.left();
        image.normalTop = geometry.normal.top();
        image.normalRight = geometry.normal.left() + geometry.normal.width();
        image.normalBottom = geometry.normal.top() + geometry.normal.height();
    }
    return image;
}
