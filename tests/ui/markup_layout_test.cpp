#include "extras/markup_layout.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>

// The layout needs fonts, so it is tested with the widget tests.

TEST(MarkupLayout, LinkRectanglesFollowTheirText) {
    const int width = 400;
    const QString markup = QStringLiteral(
        "<font face='Tahoma' size='20' align='left'>Top line<br>"
        "<a href='https://example.org/a'>first link</a> and "
        "<a href='#7' style='u'>second</a></font><vspace size='30'>"
        "<font align='right' size='16'><a href='#x#2'>right</a></font>");
    const MarkupRendering r = RenderMarkup(markup, width);
    ASSERT_EQ(r.links.size(), 3u);
    EXPECT_EQ(r.links[0].target, "https://example.org/a");
    EXPECT_EQ(r.links[1].target, "#7");
    EXPECT_EQ(r.links[2].target, "#x#2");

    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(20);
    const QFontMetrics m(f);
    const QRect first = r.links[0].rect, second = r.links[1].rect, right = r.links[2].rect;
    // Left aligned on the second line, as wide as the text.
    EXPECT_EQ(first.left(), 0);
    EXPECT_EQ(first.top(), m.height());
    EXPECT_EQ(first.width(), m.horizontalAdvance(QStringLiteral("first link")));
    EXPECT_EQ(second.top(), first.top());
    EXPECT_EQ(second.left(), first.width() + m.horizontalAdvance(QStringLiteral(" and ")));
    // After 30 pixels of space, flush right.
    EXPECT_EQ(right.top(), 2 * m.height() + 30);
    EXPECT_EQ(right.right(), width - 1);
    EXPECT_EQ(r.contentHeight, right.bottom() + 1);
    EXPECT_EQ(r.image.size(), QSize(width, r.contentHeight));

    EXPECT_EQ(r.linkAt(first.center()), 0);
    EXPECT_EQ(r.linkAt(second.center()), 1);
    EXPECT_EQ(r.linkAt(right.center()), 2);
    EXPECT_EQ(r.linkAt(QPoint(width - 2, 2)), -1);
    // Something was drawn where the first link stands, nothing right of it.
    bool inked = false;
    for (int x = first.left(); x < first.right(); ++x)
        inked = inked || qAlpha(r.image.pixel(x, first.center().y())) > 0;
    EXPECT_TRUE(inked);
    EXPECT_EQ(qAlpha(r.image.pixel(width - 2, first.center().y())), 0);
}

TEST(MarkupLayout, WrapsCutsAndScrollsRound) {
    // A link wider than the window wraps onto the next line: two rectangles.
    const QString words = QStringLiteral("word ").repeated(40);
    const MarkupRendering wrapped =
        RenderMarkup(QStringLiteral("<a href='x'>") + words + QStringLiteral("</a>"), 200);
    ASSERT_GE(wrapped.links.size(), 2u);
    for (const MarkupLink& l : wrapped.links) {
        EXPECT_LE(l.rect.width(), 200);
        EXPECT_EQ(l.target, "x");
    }
    EXPECT_GT(wrapped.links[1].rect.top(), wrapped.links[0].rect.top());

    // Taller than the limit: cut at the limit.
    const MarkupRendering tall = RenderMarkup(
        QStringLiteral("<font size='100'>") + QStringLiteral("x<br>").repeated(80), 300);
    EXPECT_EQ(tall.contentHeight, kMarkupMaxHeight);
    EXPECT_EQ(tall.image.height(), kMarkupMaxHeight);

    // Broken markup still renders its text.
    const MarkupRendering broken =
        RenderMarkup(QStringLiteral("<font size='20>Hello <blink>there<a href='y"), 300);
    EXPECT_GT(broken.contentHeight, 0);

    EXPECT_EQ(NextScrollOffset(0, 100), 1);
    EXPECT_EQ(NextScrollOffset(99, 100), 100);
    EXPECT_EQ(NextScrollOffset(100, 100), 1);
    EXPECT_EQ(NextScrollOffset(5, 0), 1);
}
