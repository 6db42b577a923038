#include "app/window_state.h"
#include "app/screen_fit.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ScreenFit, AWindowFromElsewhereComesBackIntoView) {
    const QRect primary(0, 0, 1600, 1000);
    const QRect second(1600, 0, 1280, 1024);
    struct Case {
        const char* name;
        QRect window;
        QList<QRect> screens;
        QRect placed;
    };
    const Case cases[] = {
        {"inside stays", {100, 80, 900, 600}, {primary}, {100, 80, 900, 600}},
        {"on the second screen stays",
         {1700, 50, 800, 600},
         {primary, second},
         {1700, 50, 800, 600}},
        {"beyond every screen goes to the first",
         {5000, 4000, 800, 600},
         {primary, second},
         {400, 200, 800, 600}},
        {"past the right edge moves in", {1200, 100, 800, 600}, {primary}, {800, 100, 800, 600}},
        {"above the top moves down", {100, -300, 800, 600}, {primary}, {100, 0, 800, 600}},
        // After the scale doubled: the stored size is twice the screen's.
        {"larger than the screen shrinks", {0, 0, 3200, 2000}, {primary}, {0, 0, 1600, 1000}},
        {"mostly on the second screen fits it",
         {1500, 100, 1200, 1200},
         {primary, second},
         {1600, 0, 1200, 1024}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitOntoScreens(c.window, c.screens), c.placed) << c.name;
    EXPECT_EQ(FitOntoScreens({1, 2, 3, 4}, {}), QRect(1, 2, 3, 4));
}

TEST(WindowStateFile, KeepsThePageAndTheBannerAndReadsJunkAsDefaults) {
    QTemporaryDir folder;
    EXPECT_EQ(LoadWindowState(folder.path(), 5), WindowState());
    ASSERT_TRUE(SaveWindowState(folder.path(), {3, false}));
    EXPECT_EQ(LoadWindowState(folder.path(), 5), (WindowState{3, false}));
    // A page the window no longer has gives the first one.
    EXPECT_EQ(LoadWindowState(folder.path(), 3).page, 0);

    QFile junk(folder.filePath(kWindowStateFile));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
    junk.write("\x00\xff[Window\nPage=-7\nBanner=\n");
    junk.close();
    EXPECT_EQ(LoadWindowState(folder.path(), 5).page, 0);
    EXPECT_FALSE(SaveWindowState(QString(), {}));
}

}  // namespace
