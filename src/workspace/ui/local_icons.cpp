#include "workspace/ui/local_icons.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStyle>

#include "workspace/file_category.h"

namespace {

QIcon Themed(std::initializer_list<const char*> names, QStyle::StandardPixmap fallback) {
    for (const char* name : names) {
        const QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
        if (!icon.isNull()) {
            return icon;
        }
    }
    return QApplication::style()->standardIcon(fallback);
}

const char* CategoryIconName(FileCategory category) {
    switch (category) {
        case FileCategory::Archive:
            return "package-x-generic";
        case FileCategory::Image:
            return "image-x-generic";
        case FileCategory::WebPage:
            return "text-html";
        case FileCategory::Document:
            return "x-office-document";
        case FileCategory::Video:
            return "video-x-generic";
        case FileCategory::Audio:
            return "audio-x-generic";
        case FileCategory::Program:
            return "application-x-executable";
        case FileCategory::Other:
            break;
    }
    return "text-x-generic";
}

}  // namespace

QIcon LocalIcons::computer() {
    if (computer_.isNull()) {
        computer_ = Themed({"computer", "user-desktop"}, QStyle::SP_ComputerIcon);
    }
    return computer_;
}

QIcon LocalIcons::drive(DriveType type) {
    const int key = int(type);
    auto it = drives_.constFind(key);
    if (it != drives_.cend()) {
        return *it;
    }
    QIcon icon;
    switch (type) {
        case DriveType::Removable:
        case DriveType::Floppy35:
        case DriveType::Floppy525:
            icon = Themed({"drive-removable-media", "drive-harddisk"}, QStyle::SP_DriveFDIcon);
            break;
        case DriveType::Network:
            icon = Themed({"folder-remote", "network-server"}, QStyle::SP_DriveNetIcon);
            break;
        case DriveType::Optical:
            icon = Themed({"drive-optical", "media-optical"}, QStyle::SP_DriveCDIcon);
            break;
        default:
            icon = Themed({"drive-harddisk"}, QStyle::SP_DriveHDIcon);
            break;
    }
    drives_.insert(key, icon);
    return icon;
}

QIcon LocalIcons::folder() {
    if (folder_.isNull()) {
        folder_ = Themed({"folder"}, QStyle::SP_DirIcon);
    }
    return folder_;
}

QIcon LocalIcons::parentFolder() {
    if (parent_.isNull()) {
        parent_ = Themed({"go-up", "folder"}, QStyle::SP_FileDialogToParent);
    }
    return parent_;
}

QIcon LocalIcons::file(const QString& name) {
    const QString extension = FileTypeText(name).toLower();
    auto it = files_.constFind(extension);
    if (it != files_.cend()) {
        return *it;
    }
    QIcon icon;
    if (!extension.isEmpty()) {
        const QMimeDatabase mimes;
        const QMimeType mime =
            mimes.mimeTypeForFile(QStringLiteral("x.") + extension, QMimeDatabase::MatchExtension);
        if (mime.isValid() && !mime.isDefault()) {
            icon = QIcon::fromTheme(mime.iconName());
            if (icon.isNull()) {
                icon = QIcon::fromTheme(mime.genericIconName());
            }
        }
    }
    if (icon.isNull()) {
        icon = Themed({CategoryIconName(ClassifyFileName(name))}, QStyle::SP_FileIcon);
    }
    files_.insert(extension, icon);
    return icon;
}
