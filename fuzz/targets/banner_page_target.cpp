#include "fuzz_check.h"
#include "fuzz_targets.h"

#include "extras/banner_set.h"

// Input: two bytes of desktop height, then the downloaded banner page.
int fuzzBannerPage(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const int desktopHeight = in.word() % 8192;
    const QByteArray body = in.rest();
    const BannerSet set = ParseBannerPage(body, desktopHeight);

    FUZZ_CHECK(set.bannerHeight >= 1);
    const int interval = BannerIntervalSeconds(set.timerElapse);
    FUZZ_CHECK(interval >= 2 && interval <= 120);
    if (set.head.isEmpty()) {
        FUZZ_CHECK(set.singles.isEmpty() && set.pages.isEmpty());
    } else {
        FUZZ_CHECK(set.head.startsWith("<head") && set.head.endsWith("</head>"));
        FUZZ_CHECK(body.contains(set.head));
    }
    // Banners are the page's own blocks, cut whole.
    for (const QByteArray& single : set.singles) {
        FUZZ_CHECK(single.startsWith("<div") && single.endsWith("</div>"));
        FUZZ_CHECK(body.contains(single));
    }
    // Every banner lands on exactly one page; all pages but the last are full.
    const int perPage = qMax(1, (desktopHeight - 172) / set.bannerHeight);
    const qsizetype pages = (set.singles.size() + perPage - 1) / perPage;
    FUZZ_CHECK(set.pages.size() == pages);
    for (qsizetype i = 0; i < set.pages.size(); ++i) {
        FUZZ_CHECK(set.pages[i].endsWith("\r\n\r\n"));
        const QByteArray file = BannerPageFile(set.head, set.pages[i]);
        FUZZ_CHECK(file.startsWith(set.head) && file.contains(set.pages[i]));
    }
    for (int i = 0; i < set.labels.size() + 2; ++i) {
        const QString label = BannerTabLabel(set.labels, i);
        FUZZ_CHECK(!label.isEmpty());
    }
    return 0;
}
