#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A downloaded banner page cut into single banners and pages of banners.
// Everything stays the page's own bytes.
struct BannerSet {
    QByteArray head;       // "<head" ... "</head>", inclusive
    int timerElapse = -1;  // seconds; -1 when absent
    int bannerHeight = 60;
    QList<QByteArray> labels;
    QList<QByteArray> singles;
    QList<QByteArray> pages;
};

// Pages longer than this are refused whole.
inline constexpr qsizetype kMaxBannerPageBytes = 1024 * 1024;

// Parses as far as the page allows; a page without its keys or head gives a
// set without banners. `desktopHeight` is the height of the desktop's work
// area, which decides how many banners fit on one page.
BannerSet ParseBannerPage(const QByteArray& body, int desktopHeight);

// The rotation interval in seconds: the page's value kept within 2 ... 120.
int BannerIntervalSeconds(int timerElapse);
// The label of tab `index`: the page's label, or "Unknown 003".
QString BannerTabLabel(const QList<QByteArray>& labels, int index);
// "page000.htm" ...
QString BannerPageFileName(int index);
// The whole HTML file of one page of banners, and of one single banner.
QByteArray BannerPageFile(const QByteArray& head, const QByteArray& page);
QByteArray BannerSingleFile(const QByteArray& head, const QByteArray& single);

inline constexpr char kBannerSingleTemp[] = "banner-single-temp.htm";
inline constexpr char kBannerFallbackLocal[] = "banner-single-local.htm";
inline constexpr char kBannerFallbackRemote[] = "banner-single-remote.htm";
