#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The resources live in the ui library; a program links them in by asking.
static void initResources() {
    Q_INIT_RESOURCE(velmora);
}

namespace {

// Share of pixels that are drawn (not transparent) in an icon at one size.
double coverage(const QImage& image) {
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 0;
    return double(drawn) / (image.width() * image.height());
}

// The fallbacks of the tool bar (desktops without an icon theme show these)
// are in the program's resources and draw something at the sizes used.
TEST(ToolBarIcons, EveryFallbackIsBundledAndDraws) {
    initResources();
    const char* names[] = {
        "network-server",    "view-refresh",    "network-offline", "preferences-system",
        "view-list-details", "dialog-question", "help-contents",   "velmora"};
    for (const char* name : names) {
        const QIcon icon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
        for (int size : {16, 24, 48}) {
            const QImage image = icon.pixmap(size, size).toImage();
            ASSERT_FALSE(image.isNull()) << name << " at " << size;
            const double c = coverage(image);
            EXPECT_GT(c, 0.1) << name << " at " << size;
            EXPECT_LT(c, 0.95) << name << " at " << size;  // an icon, not a filled square
        }
    }
}

}  // namespace
