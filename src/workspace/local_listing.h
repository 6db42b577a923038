#pragma once

#include <QChar>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

// Bits of LocalShowFlags ("Local side" options, "Show and upload"). Hidden
// files are names beginning with a dot; Linux has no system attribute, so the
// "System files" bit is stored but changes nothing.
struct LocalShow {
    static constexpr int SystemFiles = 0x01;
    static constexpr int HiddenFiles = 0x02;
};

// One entry of a local folder.
struct LocalEntry {
    QChar kind = QLatin1Char('-');  // 'd' folder (also a link to one), '-' anything else
    QString name;
    qint64 size = 0;  // 0 for folders
    QDateTime modified;
    bool isSymLink = false;  // the entry itself is a symbolic link
    bool isSpecial =
        false;  // neither a regular file nor a folder: fifo, socket, device, dangling link
};

struct LocalListing {
    bool ok = false;  // false when the folder could not be read
    std::vector<LocalEntry> entries;
    QStringList skipped;  // full paths left out by a walk (linked folders, special files)
    // Names the system's encoding can not carry (shown with replacement
    // characters): no operation can reach them, so they are only named.
    QStringList undecodable;
};

// A name hidden by the "Hidden files" option.
bool IsHiddenLocalName(const QString& name);

// The entries of a folder in the order the system returns them, without "."
// and ".."; hidden names only when showFlags has LocalShow::HiddenFiles.
LocalListing ListLocalFolder(const QString& folder, int showFlags);

// The entries the local list shows: as ListLocalFolder, without the data of
// downloads that run or stopped short (".NAME.velmora-part").
LocalListing ListLocalFolderForView(const QString& folder, int showFlags);

// A path a walk leaves out, with why: a linked folder is never entered, and
// anything else that is neither file nor folder can not be read as a file.
QString SkippedLocalEntry(const QString& path, bool linkedFolder);

// The entries an upload walks: as ListLocalFolderForView, but linked folders (never
// entered, so a link cannot lead the walk elsewhere or round in a loop) and
// special files (which cannot be read as files) go to skipped instead.
LocalListing ListLocalFolderForUpload(const QString& folder, int showFlags);
