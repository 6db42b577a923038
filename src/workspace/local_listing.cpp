#include "workspace/local_listing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "session/partial_download.h"
#include "workspace/project_folders.h"

#include <dirent.h>

namespace {

// Names that do not survive decoding and encoding again: Qt leaves them out
// of its listings, so they are looked for in the raw one.
QStringList undecodableNames(const QString& folder) {
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray raw(e->d_name);
        if (QFile::encodeName(QFile::decodeName(raw)) != raw)
            names << QFile::decodeName(raw);
    }
    ::closedir(dir);
    return names;
}

}  // namespace

bool IsHiddenLocalName(const QString& name) {
    return name.startsWith(QLatin1Char('.'));
}

LocalListing ListLocalFolder(const QString& folder, int showFlags) {
    LocalListing listing;
    const QFileInfo folderInfo(folder);
    if (folder.isEmpty() || !folderInfo.isDir() || !folderInfo.isReadable()) {
        return listing;
    }
    listing.ok = true;
    const QDir dir(folder);
    const QFileInfoList infos = dir.entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
    const bool showHidden = (showFlags & LocalShow::HiddenFiles) != 0;
    listing.entries.reserve(infos.size());
    for (const QFileInfo& info : infos) {
        const QString name = info.fileName();
        if (!showHidden && IsHiddenLocalName(name)) {
            continue;
        }
        LocalEntry entry;
        entry.name = name;
        entry.isSymLink = info.isSymLink();
        if (info.isDir()) {
            entry.kind = QLatin1Char('d');
        } else {
            entry.kind = QLatin1Char('-');
            entry.isSpecial = !info.isFile();
            entry.size = entry.isSpecial ? 0 : info.size();
        }
        entry.modified = info.lastModified();
        listing.entries.push_back(std::move(entry));
    }
    for (const QString& name : undecodableNames(folder))
        if (showHidden || !IsHiddenLocalName(name))
            listing.undecodable << name;
    return listing;
}

LocalListing ListLocalFolderForView(const QString& folder, int showFlags) {
    LocalListing listing = ListLocalFolder(folder, showFlags);
    std::erase_if(listing.entries, [](const LocalEntry& entry) {
        return entry.kind != QLatin1Char('d') && PartialDownload::isPartName(entry.name);
    });
    return listing;
}

QString SkippedLocalEntry(const QString& path, bool linkedFolder) {
    return path + (linkedFolder
                       ? QStringLiteral(" (a link to a folder: not followed)")
                       : QStringLiteral(" (not a file or folder: a pipe, socket, device or "
                                        "broken link)"));
}

LocalListing ListLocalFolderForUpload(const QString& folder, int showFlags) {
    LocalListing all = ListLocalFolderForView(folder, showFlags);
    LocalListing walk;
    walk.ok = all.ok;
    for (const QString& name : all.undecodable)
        walk.skipped << JoinLocalPath(folder, name) +
                            QStringLiteral(" (its name is not valid in the system's encoding)");
    for (LocalEntry& entry : all.entries) {
        const bool linkedFolder = entry.kind == QLatin1Char('d') && entry.isSymLink;
        if (linkedFolder || entry.isSpecial) {
            walk.skipped << SkippedLocalEntry(JoinLocalPath(folder, entry.name), linkedFolder);
            continue;
        }
        walk.entries.push_back(std::move(entry));
    }
    return walk;
}
