#include "remote/ui/remote_icons.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStyle>

namespace {

QIcon Themed(const QString& name, const QIcon& fallback) {
    return QIcon::hasThemeIcon(name) ? QIcon::fromTheme(name) : fallback;
}

QIcon Standard(QStyle::StandardPixmap pixmap) {
    return QApplication::style()->standardIcon(pixmap);
}

}  // namespace

void RemoteIcons::load() {
    if (loaded_)
        return;
    loaded_ = true;
    folder_ = Themed(QStringLiteral("folder"), Standard(QStyle::SP_DirIcon));
    unlisted_ = Themed(QStringLiteral("folder-remote"), Standard(QStyle::SP_DirClosedIcon));
    link_ = Themed(QStringLiteral("emblem-symbolic-link"),
                   Themed(QStringLiteral("inode-symlink"), Standard(QStyle::SP_FileLinkIcon)));
    device_ = Themed(QStringLiteral("drive-harddisk"), Standard(QStyle::SP_DriveHDIcon));
    unknown_ = Themed(QStringLiteral("unknown"), Standard(QStyle::SP_FileIcon));
}

QIcon RemoteIcons::folder(bool listed) {
    load();
    return listed ? folder_ : unlisted_;
}

QIcon RemoteIcons::link() {
    load();
    return link_;
}

QIcon RemoteIcons::forItem(const RemoteItemView& item) {
    load();
    switch (item.kind) {
        case 'd':
            return folder_;
        case 'l':
            return link_;
        case 'b':
        case 'c':
            return device_;
        case '-': {
            const qsizetype dot = item.name.lastIndexOf('.');
            const QString extension =
                dot > 0 ? QString::fromUtf8(item.name.sliced(dot + 1)).toLower() : QString();
            return forExtension(extension);
        }
        default:
            return unknown_;
    }
}

QIcon RemoteIcons::forExtension(const QString& extension) {
    const auto found = byExtension_.constFind(extension);
    if (found != byExtension_.constEnd())
        return *found;
    const QMimeDatabase mimes;
    const QMimeType type = extension.isEmpty()
                               ? mimes.mimeTypeForName(QStringLiteral("application/octet-stream"))
                               : mimes.mimeTypeForFile(QStringLiteral("x.") + extension,
                                                       QMimeDatabase::MatchExtension);
    const QIcon fallback = Standard(QStyle::SP_FileIcon);
    const QIcon icon =
        Themed(type.iconName(),
               Themed(type.genericIconName(), Themed(QStringLiteral("text-x-generic"), fallback)));
    byExtension_.insert(extension, icon);
    return icon;
}
