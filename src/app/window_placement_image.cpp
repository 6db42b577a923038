#include "app/window_placement_image.h"

#include <climits>

bool WindowPlacementImage::walk(SettingsArchive& archive, SettingsArchive::Direction direction) {
    return archive.int32Field(direction, length) && archive.int32Field(direction, flags) &&
           archive.int32Field(direction, showCmd) && archive.int32Field(direction, minPositionX) &&
           archive.int32Field(direction, minPositionY) &&
           archive.int32Field(direction, maxPositionX) &&
           archive.int32Field(direction, maxPositionY) &&
           archive.int32Field(direction, normalLeft) && archive.int32Field(direction, normalTop) &&
           archive.int32Field(direction, normalRight) &&
           archive.int32Field(direction, normalBottom);
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
