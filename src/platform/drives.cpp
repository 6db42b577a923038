#include "platform/drives.h"

#include "platform/path_containment.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <map>

namespace {

// Kernel and desktop plumbing that is never a place to keep files.
bool IsPseudoFileSystem(const QByteArray& type) {
    static const char* const kPseudo[] = {
        "proc",       "sysfs",     "devtmpfs", "devpts",      "cgroup",          "cgroup2",
        "securityfs", "pstore",    "debugfs",  "tracefs",     "configfs",        "fusectl",
        "mqueue",     "hugetlbfs", "bpf",      "autofs",      "binfmt_misc",     "efivarfs",
        "rpc_pipefs", "nsfs",      "squashfs", "fuse.portal", "fuse.gvfsd-fuse", "fuse.lxcfs",
        "selinuxfs",  "none",
    };
    return std::any_of(std::begin(kPseudo), std::end(kPseudo),
                       [&](const char* p) { return type == p; });
}

bool IsNetworkFileSystem(const QByteArray& type) {
    static const char* const kNetwork[] = {
        "nfs",         "nfs4",        "cifs",  "smb3",      "smbfs",     "fuse.sshfs",     "sshfs",
        "9p",          "afs",         "ceph",  "fuse.ceph", "glusterfs", "fuse.glusterfs", "davfs",
        "fuse.davfs2", "fuse.rclone", "ncpfs", "coda",
    };
    return std::any_of(std::begin(kNetwork), std::end(kNetwork),
                       [&](const char* p) { return type == p; });
}

}  // namespace

DriveType ClassifyVolume(const VolumeFacts& volume) {
    const QByteArray type = volume.fileSystemType.toLower();
    const QString& root = volume.rootPath;
    if (root.isEmpty() || !root.startsWith(QLatin1Char('/'))) {
        return DriveType::NoDrive;
    }
    const bool removableMedia = IsSameOrBelow(QStringLiteral("/media"), root) ||
                                IsSameOrBelow(QStringLiteral("/run/media"), root);
    // Runtime trees hold only the system's own mounts; desktop media mounted
    // under /run/media are the exception.
    if (!removableMedia && (IsSameOrBelow(QStringLiteral("/proc"), root) ||
                            IsSameOrBelow(QStringLiteral("/sys"), root) ||
                            IsSameOrBelow(QStringLiteral("/dev"), root) ||
                            IsSameOrBelow(QStringLiteral("/run"), root) ||
                            IsSameOrBelow(QStringLiteral("/var/run"), root) ||
                            IsSameOrBelow(QStringLiteral("/var/lib/docker"), root) ||
                            IsSameOrBelow(QStringLiteral("/snap"), root))) {
        return DriveType::NoDrive;
    }
    if (IsPseudoFileSystem(type)) {
        return DriveType::NoDrive;
    }
    // Containers mount the system root as an overlay; elsewhere overlays are
    // container layers.
    if (type == "overlay" && root != QLatin1String("/")) {
        return DriveType::NoDrive;
    }
    if (IsNetworkFileSystem(type)) {
        return DriveType::Network;
    }
    if (type == "iso9660" || type == "udf") {
        return DriveType::Optical;
    }
    if (type == "tmpfs" || type == "ramfs") {
        // A read-only RAM disk was filled by the system (sandboxes, images);
        // nobody keeps files there.
        return volume.readOnly ? DriveType::NoDrive : DriveType::RamDisk;
    }
    if (removableMedia) {
        return DriveType::Removable;
    }
    return DriveType::Fixed;
}

QString DriveTypeLabel(DriveType type) {
    switch (type) {
        case DriveType::Removable:
            return QStringLiteral("Removable");
        case DriveType::Fixed:
            return QStringLiteral("Harddisk");
        case DriveType::Network:
            return QStringLiteral("Remote");
        case DriveType::Optical:
            return QStringLiteral("CDROM");
        case DriveType::RamDisk:
            return QStringLiteral("Ram disk");
        case DriveType::Floppy35:
            return QStringLiteral("3") + QChar(189) + QStringLiteral(" Floppy");
        case DriveType::Floppy525:
            return QStringLiteral("5") + QChar(188) + QStringLiteral(" Floppy");
        case DriveType::NoDrive:
            break;
    }
    return {};
}

QString DriveLabel(DriveType type, const QString& volumeName) {
    if (type == DriveType::NoDrive) {
        return {};
    }
    return volumeName.isEmpty() ? DriveTypeLabel(type) : volumeName;
}

QString DriveDisplayText(const Drive& drive) {
    QString text = drive.label;
    if (!text.isEmpty()) {
        text += QLatin1Char(' ');
    }
    return text + QLatin1Char('(') + drive.rootPath + QLatin1Char(')');
}

std::vector<Drive> DrivesFromVolumes(const std::vector<VolumeFacts>& volumes) {
    std::map<QString, Drive> byRoot;  // ordered by root path
    for (const VolumeFacts& volume : volumes) {
        const DriveType type = ClassifyVolume(volume);
        if (type == DriveType::NoDrive) {
            // A hidden mount on top of a shown one hides it as well.
            byRoot.erase(volume.rootPath);
            continue;
        }
        byRoot[volume.rootPath] = Drive{volume.rootPath, DriveLabel(type, volume.name), type};
    }
    std::vector<Drive> drives;
    drives.reserve(byRoot.size());
    for (auto& entry : byRoot) {
        drives.push_back(std::move(entry.second));
    }
    return drives;
}

std::vector<Drive> ListDrives() {
    std::vector<VolumeFacts> volumes;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        const QString root = storage.rootPath();
        // Containers bind single files (/etc/hosts); only folders are drives.
        if (!QFileInfo(root).isDir()) {
            continue;
        }
        volumes.push_back(VolumeFacts{storage.fileSystemType(), storage.device(), root,
                                      storage.name(), storage.isReadOnly()});
    }
    return DrivesFromVolumes(volumes);
}

QStringList ListHardDisks() {
    QStringList roots;
    for (const Drive& drive : ListDrives()) {
        if (drive.type == DriveType::Fixed) {
            roots << drive.rootPath;
        }
    }
    return roots;
}
