#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Kinds of drive with the numbers the settings and views use. Floppy kinds are
// kept for their labels; mounted volumes on Linux never produce them.
enum class DriveType : int {
    NoDrive = 0,
    Removable = 2,
    Fixed = 3,
    Network = 4,
    Optical = 5,
    RamDisk = 6,
    Floppy35 = 7,
    Floppy525 = 8,
};

// What the system tells about one mounted volume.
struct VolumeFacts {
    QByteArray fileSystemType;  // "ext4", "nfs4", "tmpfs" ...
    QByteArray device;          // "/dev/sda1", "server:/export" ...
    QString rootPath;           // the mount point
    QString name;               // the volume label, often empty
    bool readOnly = false;
};

// One entry under "My computer".
struct Drive {
    QString rootPath;
    QString label;  // the volume name, else the label of its type
    DriveType type = DriveType::NoDrive;
};

// Kind of a mounted volume; NoDrive for pseudo and runtime file systems that
// are not shown. Depends on nothing but its arguments.
DriveType ClassifyVolume(const VolumeFacts& volume);

// The label shown for a type when the volume has no name; empty for NoDrive.
QString DriveTypeLabel(DriveType type);

// The volume name when not empty, else the type's label.
QString DriveLabel(DriveType type, const QString& volumeName);

// "Harddisk (/)": the label, a blank when it is not empty, then the root in brackets.
QString DriveDisplayText(const Drive& drive);

// The shown drives among the given volumes, ordered by root path; a mount point
// listed twice keeps its last (uppermost) mount.
std::vector<Drive> DrivesFromVolumes(const std::vector<VolumeFacts>& volumes);

// The drives of this machine ("My computer").
std::vector<Drive> ListDrives();

// Root paths of the fixed drives, in order.
QStringList ListHardDisks();
