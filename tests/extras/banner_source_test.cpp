#include "extras/banner_source.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

int freePort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

// Python's own HTTP server over a temporary folder on 127.0.0.1.
class HttpFolderServer {
public:
    HttpFolderServer() {
        port_ = freePort();
        process_.setProgram(QStringLiteral("/usr/bin/python3"));
        process_.setArguments({"-m", "http.server", QString::number(port_), "--bind", "127.0.0.1",
                               "--directory", folder_.path()});
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.start();
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, quint16(port_));
            if (probe.waitForConnected(200)) {
                ready_ = true;
                break;
            }
            QTest::qWait(50);
        }
    }
    ~HttpFolderServer() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    bool ready() const { return ready_; }
    void put(const QString& name, const QByteArray& bytes) {
        QFile f(QDir(folder_.path()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QUrl url(const QString& name) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(port_).arg(name));
    }

private:
    QTemporaryDir folder_;
    QProcess process_;
    int port_ = 0;
    bool ready_ = false;
};

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
    ASSERT_TRUE(server.ready());
    server.put("banners.htm", bannerPage(7));
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
    ASSERT_TRUE(server.ready());
    server.put("long.htm", bannerPage(3) + QByteArray(10 * 1024 * 1024, ' '));
    server.put("keyless.htm", "<html><head></head><div><div>a</div><div>b</div></div></html>");
    QUrl closed = server.url("x.htm");
    closed.setPort(freePort());
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
