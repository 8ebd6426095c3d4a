// The partitions list: the places a reader starts from. The home directory
// comes first, then the root of each mounted real volume (no pseudo file
// systems, no duplicates); the root file system is always there. Each place
// has a bare drive (FilePaths.h) and a type: fixed, removable, remote, CD or
// RAM, shown as a suffix after its name.
#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

enum TPartitionType : int {
    PartitionUnknown = 0,
    PartitionNoRoot = 1, // no listed volume holds the path
    PartitionRemovable = 2,
    PartitionFixed = 3,
    PartitionRemote = 4,
    PartitionCD = 5,
    PartitionRAM = 6,
};

// A mounted volume as the system describes it.
struct TVolumeDescription {
    QString RootPath; // the mount point
    QString Device; // "/dev/sda1", "server:/export", "//server/share"
    QString FileSystemType; // "ext4", "nfs4", "iso9660", ...
    QString Label; // the volume label; may be empty
    bool Removable = false; // the system flags the device as removable
};

// One place of the partitions list.
struct TPartition {
    QString Root; // its root directory, with a trailing delimiter
    bool Home = false; // the user's home directory
    TVolumeDescription Volume; // the volume (for the home directory: the one holding it)
};

// The mounted volumes come from the system (QStorageInfo, only those mounted
// on directories); tests give their own. An empty source restores the
// system's.
using TVolumeSource = std::function<QList<TVolumeDescription>()>;
void SetVolumeSource(TVolumeSource source);
QList<TVolumeDescription> MountedVolumeDescriptions();

// Whether the volume belongs in the partitions list: a real file system;
// proc, sys, tmpfs, overlay, squashfs and the other
// pseudo file systems do not, nor mounts under /proc, /sys, /dev or /run
// (except /run/media). The root file system always belongs.
bool IsListedVolume(const TVolumeDescription &volume);
// The type of a volume, from its file system, device and mount point.
int VolumeType(const TVolumeDescription &volume);
// The partitions list built from a home directory and the volumes.
QList<TPartition> PartitionsFrom(const QString &home, const QList<TVolumeDescription> &volumes);
// The partitions list of this system.
QList<TPartition> Partitions();

// The bare drive holding a path: that of the innermost place of the
// partitions list whose root contains it. A bare drive is its own; an empty or
// relative path has none (empty).
QString BareDriveOf(const QString &path);
// Whether the root of the path's bare drive exists.
bool DriveRootExists(const QString &path);
// The parent directory, with a trailing delimiter: "/a/b/" and "/a/b" both
// give "/a/". The root of a place of the partitions list gives its bare drive
// (which lists the partitions); a bare drive gives empty.
QString ParentDirectory(const QString &dir);

// The type of the volume of the path's bare drive. An empty drive gives 0;
// a drive that is not mounted gives PartitionNoRoot with a Warning "Failed to
// get type." under "GetPartitionType".
int GetPartitionType(const QString &path);

// Volume information of the drive that holds a path.
struct TPartitionInfo {
    QString VolumeName; // the label, or the device when there is none
    QString FileSystemName;
    uint32_t SerialNumber = 0;
    uint32_t MaxComponentLength = 0;
    uint32_t FileSystemFlags = 0;

    void Clear();
    // Fills the record; on failure clears it and records "Failed to load
    // partition information." under "TPartitionInfo::Load".
    static bool Load(TPartitionInfo &info, const QString &path);
};

// The suffix shown after a bare drive in the partitions list: " (Home)",
// " (Fixed: "label")", " (Removable)", " (Remote: "source")", " (CD)" or
// " (RAM)". Empty for a path that is not a bare drive.
QString GetPartitionSuffix(const QString &path);

// The absolute path, or for a path on a network volume the volume's source
// followed by the rest of the path ("//server/share/Books"). A bare drive
// keeps its form unless it is remote.
QString UniversalPath(const QString &path);
// Whether two paths name the same file or directory: the same file on disk
// when both exist, else the same universal path.
bool SameLocation(const QString &a, const QString &b);
