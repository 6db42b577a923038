#pragma once

#include "remote/remote_item_list.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <vector>

// The compare window's check boxes, kept with the loops' stored options.
struct CompareOptions {
    static constexpr quint8 CaseSensitive = 0x01;
    static constexpr quint8 FileSize = 0x02;
    static constexpr quint8 SubFolders = 0x04;
    static constexpr quint8 IgnoreSystem = 0x08;
    static constexpr quint8 IgnoreHidden = 0x10;
};

// How a compare tells which side of a file changed last.
struct DateJudge {
    // Seconds either way in which two times count as the same.
    static constexpr qint64 kTolerance = 2;

    bool enabled = false;
    bool mlsd = true;       // the remote times are MLSD's (UTC); else LIST's
    qint64 listOffset = 0;  // LIST: the server's local time minus UTC, in seconds
};

// One line of a folder's comparison.
struct CompareItem {
    enum class Newer : quint8 { Neither, Local, Server };

    static constexpr quint8 Local = 0x01;
    static constexpr quint8 Remote = 0x02;
    static constexpr quint8 LocalFolder = 0x04;
    static constexpr quint8 LocalSystem = 0x08;
    static constexpr quint8 LocalHidden = 0x10;
    static constexpr quint8 Visited = 0x20;

    quint8 flags = 0;
    QString localName;
    qint64 localSize = 0;
    QByteArray remoteName;  // the server's bytes
    char remoteKind = 0;
    qint64 remoteSize = 0;
    // With dates judged: both times (UTC seconds; -1 unknown) and which side
    // changed later, beyond what the listing leaves open.
    qint64 localTime = -1;
    qint64 remoteTime = -1;
    Newer newer = Newer::Neither;

    bool isLocal() const { return flags & Local; }
    bool isRemote() const { return flags & Remote; }
    bool isLocalFolder() const { return flags & LocalFolder; }
    // The name shown: the server's spelling when the item exists there.
    QString name() const;
    // A folder on both sides that a recursive run enters.
    bool isCommonFolder() const;

    bool operator==(const CompareItem&) const = default;
};

// The result of one folder: its path below the remote project folder ('/'
// separated, empty for the project folder itself) and its items in order.
struct FolderCompareResult {
    QByteArray relativePath;
    std::vector<CompareItem> items;
    bool localReadable = true;  // false: the local folder could not be read
};

// Compares the entries of a local folder with a remote listing. A local folder
// that cannot be read gives no items at all.
FolderCompareResult CompareFolder(const QString& localFolder, const RemoteItemList& remote,
                                  quint8 options, const DateJudge& dates = {});

// The comparison itself, on local entries already read (hidden = dot names;
// Linux has no system attribute).
struct LocalCompareEntry {
    QString name;
    bool folder = false;
    qint64 size = 0;
    bool hidden = false;
    bool system = false;
    qint64 modified = -1;  // UTC seconds
};
std::vector<CompareItem> CompareEntries(const std::vector<LocalCompareEntry>& local,
                                        const RemoteItemList& remote, quint8 options,
                                        const DateJudge& dates = {});

// Sorts by local key, remote key and name without regard to case.
void SortCompareItems(std::vector<CompareItem>& items);

// Image index of a result item.
int CompareItemImage(const CompareItem& item);

// Where a result item stands. A file changed later on one side (dates
// compared) counts as that before any size difference.
enum class CompareResultKind : quint8 {
    LocalOnly,
    ServerOnly,
    CommonFolder,
    KindsDiffer,
    NewerHere,
    NewerOnServer,
    SizesDiffer,
};
CompareResultKind CompareResultKindOf(const CompareItem& item);

// The same in words, so the side never rests on its colour alone: "local
// only", "server only", "newer here", "newer on the server", "sizes differ",
// "kinds differ" or "folder on both sides".
QString CompareSideText(const CompareItem& item);
// The line under the result tree that explains the colours and words.
QString CompareLegendHtml();
