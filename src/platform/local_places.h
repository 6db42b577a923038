#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The folders a user keeps files in, listed under "My computer" above the
// drives: the home folder, the desktop's user folders (Documents,
// Downloads ...) and the file manager's bookmarked folders.
enum class PlaceKind { Home, UserFolder, Bookmark };

struct Place {
    QString path;
    QString label;
    PlaceKind kind = PlaceKind::Bookmark;
    bool operator==(const Place&) const = default;
};

// One line of the file manager's bookmarks file ("file:///home/u/My%20site
// Site"): a local folder with its label, the folder's name when the line has
// none. Comments, empty lines and other schemes (sftp://, smb://) give nothing
// and are no fault; *damaged is set for a line that cannot be read.
std::optional<Place> ParseBookmarkLine(const QByteArray& line, bool* damaged = nullptr);

struct PlaceSources {
    QString home;
    QStringList userFolders;  // as the desktop names them, existing or not
    QByteArray bookmarks;     // the bookmarks file, empty when there is none
};

struct PlaceList {
    std::vector<Place> places;
    int damagedLines = 0;  // bookmark lines that could not be read
};

// Home first, then the user folders that exist, then the bookmarked folders
// that exist; a folder listed once, at its first place.
PlaceList PlacesFrom(const PlaceSources& sources);

// The bookmarks file of the desktop's file manager.
QString BookmarksFilePath();

// This machine's places. A bookmarks file that cannot be read whole gives
// what could be read, and one warning naming it.
std::vector<Place> ListPlaces();

// The folder the local side opens on: the one it was left on, or the home
// folder on the first start (no settings were read yet).
QString StartLocalFolder(bool settingsLoaded, const QString& lastLocalFolder, const QString& home);
