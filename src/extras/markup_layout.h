#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <vector>

// The markup laid out line by line at a given width into an off-screen
// picture (transparent where nothing is drawn), with the rectangles of its
// links in content coordinates.
inline constexpr int kMarkupMaxHeight = 5000;

struct MarkupLink {
    QRect rect;
    QString target;
};

struct MarkupRendering {
    QImage image;
    int contentHeight = 0;  // bottom of the last line, cut at the height limit
    std::vector<MarkupLink> links;

    // Index of the link at a content position, -1 when none.
    int linkAt(const QPoint& contentPos) const;
};

MarkupRendering RenderMarkup(const QString& markup, int width, int maxHeight = kMarkupMaxHeight);

// One scroll step: +1, and back to 1 once past the content.
int NextScrollOffset(int offset, int contentHeight);
