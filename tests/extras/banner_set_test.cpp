#include "extras/banner_set.h"

#include <gtest/gtest.h>

namespace {

// A banner block as the page carries it: an outer div holding the single
// banner and the banner of the page tabs.
QByteArray block(int n) {
    const QByteArray i = QByteArray::number(n);
    return "<div class=\"b\">\r\n <div id=\"s" + i + "\"><div>nested " + i +
           "</div></div>\r\n <div id=\"p" + i + "\">page " + i + "</div>\r\n</div>\r\n";
}

QByteArray page(const QByteArray& keys, int blocks) {
    QByteArray body =
        "<html>\r\n<!-- " + keys + " -->\r\n<head><title>B</title></head>\r\n<body>\r\n";
    for (int n = 0; n < blocks; ++n)
        body += block(n);
    return body + "</body></html>\r\n";
}

}  // namespace

TEST(BannerSet, ReadsKeysBannersAndPages) {
    const QByteArray keys =
        "TIMER-ELAPSE : 500\r\nBANNER-HEIGHT:0\r\nLABEL-NAMES: News,  Tools ,Tips \t\r\n";
    // Desktop of 772 pixels: (772 - 172) / 60 = 10 banners a page.
    const BannerSet set = ParseBannerPage(page(keys, 45), 772);
    EXPECT_EQ(set.timerElapse, 500);
    EXPECT_EQ(set.bannerHeight, 60);
    EXPECT_EQ(set.labels, (QList<QByteArray>{"News", "Tools ", "Tips"}));
    EXPECT_EQ(set.head, "<head><title>B</title></head>");
    ASSERT_EQ(set.singles.size(), 45);
    EXPECT_EQ(set.singles[0], "<div id=\"s0\"><div>nested 0</div></div>");
    ASSERT_EQ(set.pages.size(), 5);
    EXPECT_TRUE(set.pages[0].startsWith("<div id=\"p0\">page 0</div>\r\n\r\n<div id=\"p1\">"));
    EXPECT_TRUE(set.pages[4].endsWith("<div id=\"p44\">page 44</div>\r\n\r\n"));
    EXPECT_EQ(set.pages[4].count("<div"), 5);

    EXPECT_EQ(BannerIntervalSeconds(set.timerElapse), 120);
    EXPECT_EQ(BannerIntervalSeconds(1), 2);
    EXPECT_EQ(BannerIntervalSeconds(-1), 2);
    EXPECT_EQ(BannerIntervalSeconds(30), 30);
    const QStringList labels{BannerTabLabel(set.labels, 0), BannerTabLabel(set.labels, 1),
                             BannerTabLabel(set.labels, 2), BannerTabLabel(set.labels, 3),
                             BannerTabLabel(set.labels, 4)};
    EXPECT_EQ(labels, (QStringList{"News", "Tools ", "Tips", "Unknown 003", "Unknown 004"}));
    EXPECT_EQ(BannerTabLabel({"", "x"}, 0), "Unknown 000");
    EXPECT_EQ(BannerPageFileName(7), "page007.htm");
    EXPECT_EQ(BannerPageFile("<head></head>", "<div>a</div>\r\n\r\n"),
              "<head></head>\r\n\r\n<body>\r\n\r\n<div>a</div>\r\n\r\n\r\n\r\n</body>");
}

TEST(BannerSet, DamagedPagesGiveNoBanners) {
    const QByteArray keys = "TIMER-ELAPSE: 1\r\nBANNER-HEIGHT: 100\r\n";
    QByteArray unbalanced = page(keys, 0);
    unbalanced.replace("<body>\r\n", "<body>\r\n<div><div>a</div><div>b</div>\r\n");
    QByteArray oneInner = page(keys, 0);
    oneInner.replace("<body>\r\n", "<body>\r\n<div><div>only one</div></div>\r\n");
    QByteArray huge = page(keys, 3);
    huge.append(QByteArray(10 * 1024 * 1024, ' '));
    const struct {
        const char* name;
        QByteArray body;
        int timerElapse;
    } cases[] = {
        {"empty", QByteArray(), -1},
        {"no keys", page("", 3), -1},
        {"no colon", page("TIMER-ELAPSE 5\r\nBANNER-HEIGHT: 5", 3), -1},
        {"no height", page("TIMER-ELAPSE: 5\r\n", 3), 5},
        {"no number", page("TIMER-ELAPSE: x5\r\nBANNER-HEIGHT: 5", 3), -1},
        {"no head", QByteArray(keys + block(0) + block(1)), 1},
        {"unclosed head", QByteArray(keys + "<head>" + block(0)), 1},
        {"unbalanced div", unbalanced, 1},
        {"one inner div", oneInner, 1},
        {"10 MB", huge, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BannerSet set = ParseBannerPage(c.body, 900);
        EXPECT_TRUE(set.singles.isEmpty());
        EXPECT_TRUE(set.pages.isEmpty());
        EXPECT_EQ(set.timerElapse, c.timerElapse);
    }
}

TEST(BannerSet, StopsAtTheFirstBlockThatCannotBeSplit) {
    QByteArray body = page("TIMER-ELAPSE: 9 BANNER-HEIGHT: 300", 3);
    body.replace("</body>", "<div><div>lonely</div></div>\r\n" + block(9) + "</body>");
    // A tiny desktop still shows one banner a page.
    const BannerSet set = ParseBannerPage(body, 100);
    EXPECT_EQ(set.singles.size(), 3);
    EXPECT_EQ(set.pages.size(), 3);
    EXPECT_TRUE(set.labels.isEmpty());
}
