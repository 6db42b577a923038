#include "platform/drives.h"

#include <gtest/gtest.h>

namespace {

VolumeFacts Volume(const char* type, const char* device, const char* root, const char* name = "",
                   bool readOnly = false) {
    return VolumeFacts{QByteArray(type), QByteArray(device), QString::fromUtf8(root),
                       QString::fromUtf8(name), readOnly};
}

TEST(Drives, ClassifiesVolumesByFileSystemAndPlace) {
    const struct {
        VolumeFacts volume;
        DriveType type;
    } cases[] = {
        {Volume("ext4", "/dev/sda2", "/"), DriveType::Fixed},
        {Volume("overlay", "overlay", "/"), DriveType::Fixed},
        {Volume("btrfs", "/dev/nvme0n1p3", "/home"), DriveType::Fixed},
        {Volume("vfat", "/dev/sda1", "/boot/efi"), DriveType::Fixed},
        {Volume("vfat", "/dev/sdb1", "/media/u/STICK"), DriveType::Removable},
        {Volume("exfat", "/dev/sdc1", "/run/media/u/CARD"), DriveType::Removable},
        {Volume("iso9660", "/dev/sr0", "/media/u/DVD"), DriveType::Optical},
        {Volume("udf", "/dev/sr0", "/mnt/disc"), DriveType::Optical},
        {Volume("nfs4", "server:/export", "/srv/share"), DriveType::Network},
        {Volume("cifs", "//nas/share", "/mnt/nas"), DriveType::Network},
        {Volume("fuse.sshfs", "u@host:", "/home/u/remote"), DriveType::Network},
        {Volume("tmpfs", "tmpfs", "/tmp"), DriveType::RamDisk},
        {Volume("ramfs", "ramfs", "/mnt/ram"), DriveType::RamDisk},
        {Volume("tmpfs", "tmpfs", "/mnt/sandbox/python", "", true), DriveType::NoDrive},
        {Volume("iso9660", "/dev/sr0", "/media/u/DVD", "", true), DriveType::Optical},
        {Volume("tmpfs", "tmpfs", "/run"), DriveType::NoDrive},
        {Volume("tmpfs", "tmpfs", "/run/user/1000"), DriveType::NoDrive},
        {Volume("tmpfs", "tmpfs", "/dev/shm"), DriveType::NoDrive},
        {Volume("proc", "proc", "/proc"), DriveType::NoDrive},
        {Volume("sysfs", "sysfs", "/sys"), DriveType::NoDrive},
        {Volume("cgroup2", "cgroup2", "/sys/fs/cgroup"), DriveType::NoDrive},
        {Volume("squashfs", "/dev/loop3", "/snap/core/123"), DriveType::NoDrive},
        {Volume("squashfs", "/dev/loop4", "/opt/image"), DriveType::NoDrive},
        {Volume("overlay", "overlay", "/var/lib/docker/overlay2/x/merged"), DriveType::NoDrive},
        {Volume("overlay", "overlay", "/srv/layer"), DriveType::NoDrive},
        {Volume("ext4", "/dev/sda2", ""), DriveType::NoDrive},
        {Volume("ext4", "/dev/sda2", "relative"), DriveType::NoDrive},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.type, ClassifyVolume(c.volume))
            << c.volume.fileSystemType.constData() << " at " << qPrintable(c.volume.rootPath);
    }
}

TEST(Drives, LabelIsTheVolumeNameElseTheTypeLabel) {
    EXPECT_EQ(QStringLiteral("Harddisk"), DriveLabel(DriveType::Fixed, QString()));
    EXPECT_EQ(QStringLiteral("DATA"), DriveLabel(DriveType::Fixed, QStringLiteral("DATA")));
    EXPECT_EQ(QStringLiteral("Removable"), DriveTypeLabel(DriveType::Removable));
    EXPECT_EQ(QStringLiteral("Remote"), DriveTypeLabel(DriveType::Network));
    EXPECT_EQ(QStringLiteral("CDROM"), DriveTypeLabel(DriveType::Optical));
    EXPECT_EQ(QStringLiteral("Ram disk"), DriveTypeLabel(DriveType::RamDisk));
    EXPECT_EQ(QString::fromUtf8("3\u00bd Floppy"), DriveTypeLabel(DriveType::Floppy35));
    EXPECT_EQ(QString::fromUtf8("5\u00bc Floppy"), DriveTypeLabel(DriveType::Floppy525));
    EXPECT_EQ(QString(), DriveLabel(DriveType::NoDrive, QStringLiteral("x")));
    EXPECT_EQ(
        QStringLiteral("Harddisk (/)"),
        DriveDisplayText({QStringLiteral("/"), QStringLiteral("Harddisk"), DriveType::Fixed}));
    EXPECT_EQ(QStringLiteral("(/x)"),
              DriveDisplayText({QStringLiteral("/x"), QString(), DriveType::Fixed}));
}

TEST(Drives, ListIsOrderedAndAMountOnTopReplacesTheOneBelow) {
    const std::vector<Drive> drives = DrivesFromVolumes({
        Volume("ext4", "/dev/sda3", "/home", "HOME"),
        Volume("proc", "proc", "/proc"),
        Volume("ext4", "/dev/sda2", "/"),
        Volume("ext4", "/dev/sdb1", "/mnt/data"),
        Volume("cifs", "//nas/x", "/mnt/data"),
        Volume("ext4", "/dev/sdc1", "/srv/hidden"),
        Volume("squashfs", "/dev/loop1", "/srv/hidden"),
    });
    ASSERT_EQ(3u, drives.size());
    EXPECT_EQ(QStringLiteral("/"), drives[0].rootPath);
    EXPECT_EQ(QStringLiteral("Harddisk"), drives[0].label);
    EXPECT_EQ(QStringLiteral("/home"), drives[1].rootPath);
    EXPECT_EQ(QStringLiteral("HOME"), drives[1].label);
    EXPECT_EQ(QStringLiteral("/mnt/data"), drives[2].rootPath);
    EXPECT_EQ(DriveType::Network, drives[2].type);
    EXPECT_EQ(QStringLiteral("Remote"), drives[2].label);
}

TEST(Drives, ThisMachineShowsItsRootAndHardDisksAreFixedDrives) {
    const std::vector<Drive> drives = ListDrives();
    bool rootShown = false;
    int fixed = 0;
    for (const Drive& drive : drives) {
        rootShown = rootShown || drive.rootPath == QLatin1String("/");
        fixed += drive.type == DriveType::Fixed ? 1 : 0;
        EXPECT_NE(DriveType::NoDrive, drive.type);
        EXPECT_FALSE(drive.rootPath.startsWith(QLatin1String("/proc")));
        EXPECT_FALSE(drive.label.isEmpty());
    }
    EXPECT_TRUE(rootShown);
    EXPECT_EQ(fixed, ListHardDisks().size());
}

}  // namespace
