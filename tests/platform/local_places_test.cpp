#include "platform/local_places.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace {

TEST(LocalPlaces, BookmarkLines) {
    const struct {
        QByteArray line;
        const char* path;  // nullptr: no place
        const char* label;
        bool damaged;
    } cases[] = {
        {"file:///home/u/site", "/home/u/site", "site", false},
        {"file:///home/u/My%20Site Web site", "/home/u/My Site", "Web site", false},
        {"file:///home/u/caf%C3%A9", "/home/u/caf\u00e9", "caf\u00e9", false},
        {"file:///srv/www/  Two  words  \r", "/srv/www", "Two  words", false},
        {"FILE://localhost/srv/a/../b", "/srv/b", "b", false},
        {"file:///", "/", "/", false},
        {"sftp://host.example/var/www Server", nullptr, nullptr, false},
        {"smb://nas/share", nullptr, nullptr, false},
        {"# file:///commented/out", nullptr, nullptr, false},
        {"   ", nullptr, nullptr, false},
        {"file://otherhost/srv/www", nullptr, nullptr, true},
        {"file:///bad%zzescape", nullptr, nullptr, true},
        {"file:///a" + QByteArray(9000, 'x'), nullptr, nullptr, true},
        {QByteArray("file:///a\0b", 11), nullptr, nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.left(60).toStdString());
        bool damaged = !c.damaged;
        const std::optional<Place> place = ParseBookmarkLine(c.line, &damaged);
        EXPECT_EQ(damaged, c.damaged);
        ASSERT_EQ(place.has_value(), c.path != nullptr);
        if (!place)
            continue;
        EXPECT_EQ(place->path, QString::fromUtf8(c.path));
        EXPECT_EQ(place->label, QString::fromUtf8(c.label));
        EXPECT_EQ(place->kind, PlaceKind::Bookmark);
    }
}

TEST(LocalPlaces, HomeThenUserFoldersThenBookmarksThatExist) {
    QTemporaryDir disk;
    const QString home = disk.filePath(QStringLiteral("home"));
    for (const char* folder : {"home/Desktop", "home/Documents", "home/My Site", "elsewhere"})
        ASSERT_TRUE(QDir().mkpath(disk.filePath(QString::fromLatin1(folder))));
    PlaceSources in;
    in.home = home;
    in.userFolders = {home + QStringLiteral("/Desktop"), home + QStringLiteral("/Music"),
                      home,  // a user folder the desktop points at home itself
                      home + QStringLiteral("/Documents/")};
    in.bookmarks = "file://" + QUrl::toPercentEncoding(home + QStringLiteral("/My Site"), "/") +
                   " Site\n"
                   "file://" +
                   QFile::encodeName(home) +
                   "/Documents Docs again\n"
                   "file://" +
                   QFile::encodeName(disk.path()) +
                   "/gone\n"
                   "sftp://example.org/www\n"
                   "file://nas/share\n"
                   "file://" +
                   QFile::encodeName(disk.path()) + "/elsewhere";
    const PlaceList list = PlacesFrom(in);
    const std::vector<Place> expected{
        {home, QStringLiteral("Home"), PlaceKind::Home},
        {home + QStringLiteral("/Desktop"), QStringLiteral("Desktop"), PlaceKind::UserFolder},
        {home + QStringLiteral("/Documents"), QStringLiteral("Documents"), PlaceKind::UserFolder},
        {home + QStringLiteral("/My Site"), QStringLiteral("Site"), PlaceKind::Bookmark},
        {disk.filePath(QStringLiteral("elsewhere")), QStringLiteral("elsewhere"),
         PlaceKind::Bookmark},
    };
    EXPECT_EQ(list.places, expected);
    EXPECT_EQ(list.damagedLines, 1);
}

// This machine's places come from its home, the desktop's folder settings and
// the bookmarks file; a missing or damaged file loses only its own lines.
TEST(LocalPlaces, ReadsTheDesktopsFiles) {
    QTemporaryDir disk;
    const QString home = disk.filePath(QStringLiteral("home"));
    const QString config = disk.filePath(QStringLiteral("config"));
    ASSERT_TRUE(QDir().mkpath(home + QStringLiteral("/Papers")));
    ASSERT_TRUE(QDir().mkpath(home + QStringLiteral("/www")));
    ASSERT_TRUE(QDir().mkpath(config + QStringLiteral("/gtk-3.0")));
    QFile dirs(config + QStringLiteral("/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n");
    dirs.close();
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    const auto paths = [] {
        QStringList out;
        for (const Place& p : ListPlaces())
            out << p.label;
        return out;
    };
    const QStringList withoutBookmarks = paths();
    QFile bookmarks(BookmarksFilePath());
    ASSERT_TRUE(bookmarks.open(QIODevice::WriteOnly));
    bookmarks.write(QByteArray("\x00\xff\xfe garbage\n", 12) + "file://" + QFile::encodeName(home) +
                    "/www Web\n\xc3(\n");
    bookmarks.close();
    const QStringList withBookmarks = paths();
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);

    EXPECT_EQ(withoutBookmarks, (QStringList{"Home", "Papers"}));
    EXPECT_EQ(withBookmarks, (QStringList{"Home", "Papers", "Web"}));
}

TEST(LocalPlaces, FirstStartOpensAtHome) {
    EXPECT_EQ(StartLocalFolder(false, QString(), QStringLiteral("/home/u")),
              QStringLiteral("/home/u"));
    EXPECT_EQ(StartLocalFolder(false, QStringLiteral("/srv"), QStringLiteral("/home/u")),
              QStringLiteral("/home/u"));
    // "My computer" (empty) when the window was left there.
    EXPECT_EQ(StartLocalFolder(true, QString(), QStringLiteral("/home/u")), QString());
    EXPECT_EQ(StartLocalFolder(true, QStringLiteral("/srv/www"), QStringLiteral("/home/u")),
              QStringLiteral("/srv/www"));
}

}  // namespace
