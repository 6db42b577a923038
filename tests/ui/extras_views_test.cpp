#include "extras/ui/about_box.h"
#include "extras/ui/banner_panel.h"
#include "extras/ui/markup_view.h"

#include "support/http_folder_server.h"
#include "support/timers_due_within.h"
#include "workbench_harness.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include "velmora_paths.h"

namespace {

QString helpFolder() {
    return QStringLiteral(VELMORA_SOURCE_HELP_DIR);
}

}  // namespace

TEST(MarkupView, LinksOpenThroughTheLauncherOrTheOwnerAndTheRollWraps) {
    RecordingLauncher launcher;
    MarkupView view(launcher);
    view.resize(300, 400);
    std::vector<std::pair<int, QString>> actions;
    view.setInternalHandler([&](int action, const std::optional<QString>& argument) {
        actions.emplace_back(action, argument.value_or(QStringLiteral("-")));
    });
    view.setMarkup(QStringLiteral(
        "<font size='20'><a href='https://example.org/'>web</a><br><a href='#9'>nine</a><br>"
        "<a href='#topic.htm#1'>help</a><br>plain</font>"));
    view.show();
    ASSERT_EQ(view.rendering().links.size(), 3u);
    const int h = view.rendering().contentHeight;
    ASSERT_GT(h, 0);
    ASSERT_LT(h, view.height());

    for (int i = 0; i < 3; ++i) {
        const QRect r = view.rendering().links[size_t(i)].rect;
        QTest::mouseClick(&view, Qt::LeftButton, {}, r.center());
    }
    EXPECT_EQ(launcher.links, QStringList{"https://example.org/"});
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[0], std::make_pair(9, QStringLiteral("-")));
    EXPECT_EQ(actions[1], std::make_pair(1, QStringLiteral("topic.htm")));

    // The roll: one pixel per tick, back to 1 past the content; links move
    // with it, and the copy below the content is live too.
    const QRect web = view.rendering().links[0].rect;
    for (int i = 0; i < 5; ++i)
        view.tick();
    EXPECT_EQ(view.scrollOffset(), 5);
    EXPECT_EQ(view.linkAtView(web.center() - QPoint(0, 5)), 0);
    EXPECT_EQ(view.linkAtView(web.center() - QPoint(0, 5) + QPoint(0, h)), 0);
    for (int i = 5; i < h; ++i)
        view.tick();
    EXPECT_EQ(view.scrollOffset(), h);
    view.tick();
    EXPECT_EQ(view.scrollOffset(), 1);
    EXPECT_EQ(view.tickMilliseconds(), 40);
}

TEST(AboutBox, ShowsNameVersionAndAHelpLink) {
    RecordingLauncher launcher;
    RecordingHelp help;
    AboutBox box(help, launcher);
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_TRUE(AboutBox::firstBlock().contains("Velmora"));
    EXPECT_TRUE(AboutBox::firstBlock().contains("Version 1.02"));
    box.show();
    const int before = box.view()->rendering().contentHeight;
    ASSERT_EQ(box.view()->rendering().links.size(), 1u);
    box.view()->activateLink(0);
    EXPECT_EQ(help.topics, QStringList{"About.htm"});
    // The second block arrives once, shortly after opening.
    EXPECT_TRUE(WorkbenchHarness::waitFor(
        [&] { return box.view()->rendering().contentHeight > before; }, 3000));
    const int after = box.view()->rendering().contentHeight;
    // A repeat would be due one interval (300 ms) after the first.
    ASSERT_TRUE(RunTimersDueWithin(400));
    EXPECT_EQ(box.view()->rendering().contentHeight, after);
}

TEST(BannerPanel, FallbackWithoutBannersRotationWithThem) {
    RecordingLauncher launcher;
    QTemporaryDir work;
    // Without an address nothing is fetched: the fallbacks stay, no tabs.
    {
        BannerHub hub(helpFolder(), work.filePath("Banners"), 900, launcher);
        BannerPanel* local = hub.makePanel(BannerPanel::Side::Local, nullptr);
        std::unique_ptr<BannerPanel> owner(local);
        QSignalSpy pages(&hub, &BannerHub::pagesReady);
        hub.start(QUrl());
        ASSERT_TRUE(pages.wait(2000));
        EXPECT_TRUE(pages.at(0).at(0).value<QList<BannerSource::PageFile>>().isEmpty());
        EXPECT_TRUE(local->toPlainText().contains("Your computer"));
        EXPECT_FALSE(local->rotating());
    }

    // A page served over HTTP: panels rotate, one tab per page.
    HttpFolderServer http;
    ASSERT_TRUE(http.ready()) << http.error().toStdString();
    ASSERT_TRUE(http.put(
        "banners.htm",
        "TIMER-ELAPSE: 1\r\nBANNER-HEIGHT: 300\r\nLABEL-NAMES: Tools\r\n"
        "<html><head><title>b</title></head><body>"
        "<div><div><a href='https://one.example/'>first banner</a></div><div>p1</div></div>"
        "<div><div>second banner</div><div>p2</div></div></body></html>"));
    BannerHub hub(helpFolder(), work.filePath("Banners"), 772, launcher);
    std::unique_ptr<BannerPanel> remote(hub.makePanel(BannerPanel::Side::Remote, nullptr));
    EXPECT_TRUE(remote->toPlainText().contains("The server"));
    QSignalSpy pages(&hub, &BannerHub::pagesReady);
    hub.start(http.url("banners.htm"));
    ASSERT_TRUE(pages.wait(15000));
    const auto files = pages.at(0).at(0).value<QList<BannerSource::PageFile>>();
    ASSERT_EQ(files.size(), 1);  // (772 - 172) / 300 = 2 banners a page
    EXPECT_EQ(files[0].label, "Tools");
    std::unique_ptr<BannerPage> tab(hub.makePage(files[0].path, nullptr));
    EXPECT_TRUE(tab->toPlainText().contains("p1"));
    EXPECT_TRUE(tab->toPlainText().contains("p2"));

    EXPECT_TRUE(remote->rotating());
    EXPECT_EQ(remote->intervalMs(), 2000);
    EXPECT_EQ(remote->shown(), 0);
    EXPECT_TRUE(remote->toPlainText().contains("first banner"));
    remote->next();
    EXPECT_EQ(remote->shown(), 1);
    EXPECT_TRUE(remote->toPlainText().contains("second banner"));
    remote->next();
    EXPECT_EQ(remote->shown(), 0);
    emit remote->anchorClicked(QUrl("https://one.example/"));
    emit remote->anchorClicked(QUrl("file:///etc/passwd"));
    EXPECT_EQ(launcher.links, QStringList{"https://one.example/"});
}
