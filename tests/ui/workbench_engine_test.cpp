// The engine the window drives decides by the settings as they stand.
#include "workbench_harness.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(WorkbenchEngine, FolderUploadsAndKindsFollowTheSettings) {
    WorkbenchHarness h;
    Workbench& w = *h.workbench;
    ActionEngine& e = w.engine();
    ASSERT_TRUE(bool(e.localReader));

    QTemporaryDir local;
    ASSERT_TRUE(QDir(local.path()).mkdir("css"));
    for (const char* name : {"index.html", ".htaccess"}) {
        QFile f(QDir(local.path()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    auto read = [&] {
        std::vector<LocalItem> items;
        QStringList skipped;
        EXPECT_TRUE(e.localReader(local.path(), &items, &skipped));
        QStringList names;
        for (const LocalItem& i : items)
            names << i.name + (i.isFolder ? "/" : "");
        names.sort();
        return names;
    };
    w.settings().LocalShowFlags = AppSettings().LocalShowFlags;  // hidden files shown
    EXPECT_EQ(read(), (QStringList{".htaccess", "css/", "index.html"}));
    w.settings().LocalShowFlags = 0;
    EXPECT_EQ(read(), (QStringList{"css/", "index.html"}));

    EXPECT_EQ(e.kindFilter.flags, KindFilter::Link);
    const AppSettings before = w.settings();
    w.settings().ServerKindFlags = KindFilter::Link | KindFilter::DeviceB | KindFilter::Unknown;
    w.applySettings(before);
    EXPECT_EQ(e.kindFilter.flags, KindFilter::Link | KindFilter::DeviceB | KindFilter::Unknown);
}

TEST(WorkbenchEngine, TitleNamesTheSiteFromLoginUntilTheConnectionCloses) {
    WorkbenchHarness h;
    Workbench& w = *h.workbench;
    QStringList titles;
    QObject::connect(&w, &Workbench::titleChanged, [&](const QString& title) { titles << title; });
    EXPECT_EQ(w.windowTitle(), "Velmora");
    ASSERT_TRUE(h.login("211 No features\r\n", "214 OK\r\n"));
    ASSERT_FALSE(titles.isEmpty());
    EXPECT_EQ(titles.last(), "Velmora - 127.0.0.1 (Home, test)");
    EXPECT_EQ(w.windowTitle(), titles.last());
    titles.clear();
    w.closeConnection();
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] { return !titles.isEmpty(); }, 5000));
    EXPECT_EQ(titles, QStringList{"Velmora"});
    EXPECT_EQ(w.windowTitle(), "Velmora");
}
