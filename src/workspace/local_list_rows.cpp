#include "workspace/local_list_rows.h"

#include <algorithm>

#include "platform/format.h"
#include "workspace/file_category.h"

bool LocalNameLess(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    // Names that differ only in case keep a fixed order.
    return c != 0 ? c < 0 : a < b;
}

std::vector<LocalListRow> BuildDriveRows(const std::vector<Drive>& drives,
                                         const std::vector<Place>& places) {
    std::vector<LocalListRow> rows;
    rows.reserve(places.size() + drives.size());
    int number = 0;
    for (const Place& place : places) {
        LocalListRow row;
        row.kind = LocalRowKind::Place;
        row.name = place.path;
        row.text = place.label;
        row.typeText = QString::fromLatin1(kPlaceTypeText);
        row.number = ++number;
        rows.push_back(std::move(row));
    }
    number = 0;
    for (const Drive& drive : drives) {
        if (drive.type == DriveType::NoDrive) {
            continue;
        }
        LocalListRow row;
        row.kind = LocalRowKind::Drive;
        row.name = drive.rootPath;
        row.text = DriveDisplayText(drive);
        row.typeText = QString::fromLatin1(kDriveTypeText);
        row.driveType = drive.type;
        row.number = ++number;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<LocalListRow> BuildFolderRows(const std::vector<LocalEntry>& entries) {
    std::vector<const LocalEntry*> folders;
    std::vector<const LocalEntry*> files;
    for (const LocalEntry& entry : entries) {
        (entry.kind == QLatin1Char('d') ? folders : files).push_back(&entry);
    }
    const auto byName = [](const LocalEntry* a, const LocalEntry* b) {
        return LocalNameLess(a->name, b->name);
    };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);

    std::vector<LocalListRow> rows;
    rows.reserve(entries.size() + 1);
    LocalListRow up;
    up.kind = LocalRowKind::Parent;
    up.name = up.text = QStringLiteral("..");
    rows.push_back(up);
    const auto add = [&rows](const std::vector<const LocalEntry*>& group, LocalRowKind kind) {
        int number = 0;
        for (const LocalEntry* entry : group) {
            LocalListRow row;
            row.kind = kind;
            row.name = row.text = entry->name;
            row.size = entry->size;
            row.typeText = kind == LocalRowKind::File ? FileTypeText(entry->name) : QString();
            row.modified = entry->modified;
            row.number = ++number;
            row.isSymLink = entry->isSymLink;
            row.isSpecial = entry->isSpecial;
            rows.push_back(std::move(row));
        }
    };
    add(folders, LocalRowKind::Folder);
    add(files, LocalRowKind::File);
    return rows;
}

QString LocalSizeText(const LocalListRow& row, quint8 sizeStyle) {
    if (row.kind != LocalRowKind::File) {
        return {};
    }
    return FormatSize(row.size, sizeStyle);
}

QString LocalNumberText(const LocalListRow& row) {
    return row.number > 0 ? QString::number(row.number) : QString();
}

void CountLocalRow(ListCounts& counts, const LocalListRow& row) {
    if (row.kind != LocalRowKind::Parent)
        counts.add(row.kind != LocalRowKind::File, row.size);
}
