#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

#include "platform/drives.h"
#include "platform/list_summary.h"
#include "platform/local_places.h"
#include "workspace/local_listing.h"

// What a row of the local list stands for.
enum class LocalRowKind { Drive, Place, Parent, Folder, File };

// One row of the local list.
struct LocalListRow {
    LocalRowKind kind = LocalRowKind::File;
    QString name;  // the entry's name; a drive's root or a place's path; ".." for the parent row
    QString text;  // what "File/Folder" shows
    qint64 size = 0;
    QString typeText;
    QDateTime modified;
    int number = 0;  // "No."; 0 (shown empty) for the ".." row
    bool isSymLink = false;
    bool isSpecial = false;  // fifo, socket, device, dangling link
    DriveType driveType = DriveType::NoDrive;

    bool isFolderLike() const {
        return kind == LocalRowKind::Folder || kind == LocalRowKind::Drive ||
               kind == LocalRowKind::Place || kind == LocalRowKind::Parent;
    }
};

inline constexpr char kDriveTypeText[] = "Driver";
inline constexpr char kPlaceTypeText[] = "Folder";

// "My computer": one row per place, then one per drive, in the given orders,
// each group numbered from 1.
std::vector<LocalListRow> BuildDriveRows(const std::vector<Drive>& drives,
                                         const std::vector<Place>& places = {});

// A folder: the ".." row, then the sub-folders, then the files, each group in
// name order without regard to case and numbered from 1 on its own.
std::vector<LocalListRow> BuildFolderRows(const std::vector<LocalEntry>& entries);

// The Size text: files only, in the user's size style.
QString LocalSizeText(const LocalListRow& row, quint8 sizeStyle);
// The "No." text: empty for the ".." row.
QString LocalNumberText(const LocalListRow& row);

// A row in the status line's counts: drives, places and folders count as
// folders, files with their sizes; the ".." row not at all.
void CountLocalRow(ListCounts& counts, const LocalListRow& row);

// Case-blind name order used by the list and the tree.
bool LocalNameLess(const QString& a, const QString& b);
