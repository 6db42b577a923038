#include "extras/banner_source.h"
#include "support/closed_port.h"
#include "support/http_folder_server.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

QByteArray bannerPage(int banners) {
    QByteArray body =
        "<html>TIMER-ELAPSE: 5\r\nBANNER-HEIGHT: 100\r\nLABEL-NAMES: Alpha, Beta\r\n"
        "<head><meta charset=\"utf-8\"></head><body>\r\n";
    for (int i = 0; i < banners; ++i)
        body += "<div><div>single " + QByteArray::number(i) + "</div><div>paged " +
                QByteArray::number(i) + "</div></div>\r\n";
    return body + "</body></html>";
}

bool runToEnd(BannerSource& source, int ms) {
    QSignalSpy done(&source, &BannerSource::finished);
    return done.wait(ms) || !done.isEmpty();
}

}  // namespace

TEST(BannerSource, FetchesCutsAndWritesThePages) {
    HttpFolderServer server;
    ASSERT_TRUE(server.ready()) << server.error().toStdString();
    ASSERT_TRUE(server.put("banners.htm", bannerPage(7)));
    QTemporaryDir work;
    // (472 - 172) / 100 = 3 banners a page: three pages.
    BannerSource source(work.filePath("Banners"), 472);
    source.start(server.url("banners.htm"));
    ASSERT_TRUE(runToEnd(source, 15000));
    EXPECT_TRUE(source.error().isEmpty()) << source.error().toStdString();
    EXPECT_EQ(source.banners().singles.size(), 7);
    ASSERT_EQ(source.pageFiles().size(), 3);
    EXPECT_EQ(source.pageFiles()[0].label, "Alpha");
    EXPECT_EQ(source.pageFiles()[1].label, "Beta");
    EXPECT_EQ(source.pageFiles()[2].label, "Unknown 002");
    QFile page(source.pageFiles()[2].path);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_EQ(page.readAll(),
              "<head><meta charset=\"utf-8\"></head>\r\n\r\n<body>\r\n\r\n"
              "<div>paged 6</div>\r\n\r\n\r\n\r\n</body>");
    EXPECT_TRUE(page.fileName().endsWith("/Banners/page002.htm"));
}

TEST(BannerSource, FailuresEndWithoutBanners) {
    HttpFolderServer server;
    ASSERT_TRUE(server.ready()) << server.error().toStdString();
    ASSERT_TRUE(server.put("long.htm", bannerPage(3) + QByteArray(10 * 1024 * 1024, ' ')));
    ASSERT_TRUE(
        server.put("keyless.htm", "<html><head></head><div><div>a</div><div>b</div></div></html>"));
    const ClosedPort nobody;
    ASSERT_NE(nobody.port(), 0);
    QUrl closed = server.url("x.htm");
    closed.setPort(nobody.port());
    const struct {
        const char* name;
        QUrl url;
    } cases[] = {
        {"missing page", server.url("nothing.htm")},
        {"10 MB page", server.url("long.htm")},
        {"page without keys", server.url("keyless.htm")},
        {"no server", closed},
        {"no address", QUrl()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir work;
        BannerSource source(work.filePath("Banners"), 900);
        source.setRetryPause(50);
        source.start(c.url);
        ASSERT_TRUE(runToEnd(source, 20000));
        EXPECT_TRUE(source.banners().singles.isEmpty());
        EXPECT_TRUE(source.pageFiles().isEmpty());
        EXPECT_FALSE(source.running());
        EXPECT_FALSE(QDir(work.filePath("Banners")).exists());
    }
}

TEST(BannerSource, AddressComesFromTheEnvironmentOrTheSettingFolder) {
    QTemporaryDir setting;
    EXPECT_TRUE(BannerAddress(setting.path(), {}, false).isEmpty());
    QFile f(setting.filePath("banner-address.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("  http://banners.example.org/software/banners/banners.htm \nsecond line\n");
    f.close();
    EXPECT_EQ(BannerAddress(setting.path(), {}, false).toString(),
              "http://banners.example.org/software/banners/banners.htm");
    EXPECT_EQ(BannerAddress(setting.path(), {}, true).toString(),
              "http://banners.example.org/software/banners/banners-test.htm");
    EXPECT_EQ(BannerAddress(setting.path(), "https://other.example/b.htm", false).toString(),
              "https://other.example/b.htm");
    EXPECT_TRUE(BannerAddress(setting.path(), "file:///etc/passwd", false).isEmpty());
    EXPECT_TRUE(BannerAddress(setting.path(), "ftp://x/b.htm", false).isEmpty());
}
