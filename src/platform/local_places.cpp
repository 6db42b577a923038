#include "platform/local_places.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QUrl>

Q_LOGGING_CATEGORY(lcPlaces, "velmora.places")

namespace {

// A bookmarks file is a few lines; more than this is not one.
constexpr qint64 kMaxBookmarksBytes = 1 << 20;
constexpr qsizetype kMaxLineBytes = 8192;

QString FolderName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

bool IsFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

}  // namespace

std::optional<Place> ParseBookmarkLine(const QByteArray& raw, bool* damaged) {
    if (damaged)
        *damaged = false;
    QByteArray line = raw;
    if (line.endsWith('\r'))
        line.chop(1);
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith('#'))
        return std::nullopt;
    const qsizetype blank = line.indexOf(' ');
    const QByteArray uri = blank < 0 ? line : line.left(blank);
    if (!uri.toLower().startsWith("file://"))
        return std::nullopt;  // a bookmark of another kind
    const QUrl url = QUrl::fromEncoded(uri, QUrl::StrictMode);
    const bool thisMachine = url.host().isEmpty() || url.host() == QLatin1String("localhost");
    const QString path =
        url.isValid() && thisMachine ? QDir::cleanPath(url.path(QUrl::FullyDecoded)) : QString();
    if (line.size() > kMaxLineBytes || line.contains('\0') || !thisMachine ||
        !QDir::isAbsolutePath(path) || path.contains(QChar(0))) {
        if (damaged)
            *damaged = true;
        return std::nullopt;
    }
    const QString label = blank < 0 ? QString() : QString::fromUtf8(line.mid(blank + 1)).trimmed();
    return Place{path, label.isEmpty() ? FolderName(path) : label, PlaceKind::Bookmark};
}

PlaceList PlacesFrom(const PlaceSources& sources) {
    PlaceList list;
    QStringList seen;
    const auto add = [&](const QString& path, const QString& label, PlaceKind kind) {
        const QString clean = QDir::cleanPath(path);
        if (seen.contains(clean) || !IsFolder(clean))
            return;
        seen << clean;
        list.places.push_back({clean, label, kind});
    };
    if (!sources.home.isEmpty())
        add(sources.home, QStringLiteral("Home"), PlaceKind::Home);
    for (const QString& folder : sources.userFolders)
        add(folder, FolderName(QDir::cleanPath(folder)), PlaceKind::UserFolder);
    for (const QByteArray& line : sources.bookmarks.split('\n')) {
        bool damaged = false;
        if (const std::optional<Place> place = ParseBookmarkLine(line, &damaged))
            add(place->path, place->label, PlaceKind::Bookmark);
        list.damagedLines += damaged ? 1 : 0;
    }
    return list;
}

QString BookmarksFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/gtk-3.0/bookmarks");
}

std::vector<Place> ListPlaces() {
    PlaceSources sources;
    sources.home = QDir::homePath();
    for (QStandardPaths::StandardLocation location :
         {QStandardPaths::DesktopLocation, QStandardPaths::DocumentsLocation,
          QStandardPaths::DownloadLocation, QStandardPaths::MusicLocation,
          QStandardPaths::PicturesLocation, QStandardPaths::MoviesLocation})
        sources.userFolders << QStandardPaths::writableLocation(location);
    const QString file = BookmarksFilePath();
    QFile bookmarks(file);
    if (bookmarks.exists()) {
        if (bookmarks.open(QIODevice::ReadOnly))
            sources.bookmarks = bookmarks.read(kMaxBookmarksBytes);
        else
            qCWarning(lcPlaces).noquote()
                << "Bookmarks in" << file << "could not be read:" << bookmarks.errorString();
    }
    PlaceList list = PlacesFrom(sources);
    if (list.damagedLines > 0)
        qCWarning(lcPlaces).noquote() << list.damagedLines << "line(s) of" << file
                                      << "are not bookmarks of folders and were left out";
    return std::move(list.places);
}

QString StartLocalFolder(bool settingsLoaded, const QString& lastLocalFolder, const QString& home) {
    return settingsLoaded ? lastLocalFolder : home;
}
