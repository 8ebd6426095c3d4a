#include "Partitions.h"

#include "FilePaths.h"
#include "FunStatContext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

#include <cerrno>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace {

TVolumeSource g_volumeSource;

const QSet<QString> &PseudoFileSystems()
{
    static const QSet<QString> types{
        QStringLiteral("proc"),
        QStringLiteral("sysfs"),
        QStringLiteral("tmpfs"),
        QStringLiteral("devtmpfs"),
        QStringLiteral("devpts"),
        QStringLiteral("overlay"),
        QStringLiteral("squashfs"),
        QStringLiteral("cgroup"),
        QStringLiteral("cgroup2"),
        QStringLiteral("securityfs"),
        QStringLiteral("debugfs"),
        QStringLiteral("tracefs"),
        QStringLiteral("configfs"),
        QStringLiteral("fusectl"),
        QStringLiteral("mqueue"),
        QStringLiteral("hugetlbfs"),
        QStringLiteral("pstore"),
        QStringLiteral("bpf"),
        QStringLiteral("autofs"),
        QStringLiteral("binfmt_misc"),
        QStringLiteral("efivarfs"),
        QStringLiteral("nsfs"),
        QStringLiteral("rpc_pipefs"),
        QStringLiteral("selinuxfs"),
        QStringLiteral("rootfs"),
        QStringLiteral("nfsd"),
        QStringLiteral("devfs"),
        QStringLiteral("usbfs"),
        QStringLiteral("aufs"),
        QStringLiteral("fuse.gvfsd-fuse"),
        QStringLiteral("fuse.portal"),
        QStringLiteral("fuse.lxcfs"),
        QStringLiteral("fuse.snapfuse"),
        QStringLiteral("none"),
        QStringLiteral("fuse.xdg-document-portal"),
    };
    return types;
}

const QSet<QString> &RemoteFileSystems()
{
    static const QSet<QString> types{
        QStringLiteral("nfs"),         QStringLiteral("nfs4"),
        QStringLiteral("cifs"),        QStringLiteral("smb3"),
        QStringLiteral("smbfs"),       QStringLiteral("sshfs"),
        QStringLiteral("fuse.sshfs"),  QStringLiteral("9p"),
        QStringLiteral("afs"),         QStringLiteral("ceph"),
        QStringLiteral("glusterfs"),   QStringLiteral("fuse.glusterfs"),
        QStringLiteral("davfs"),       QStringLiteral("fuse.davfs"),
        QStringLiteral("fuse.rclone"), QStringLiteral("fuse.s3fs"),
        QStringLiteral("lustre"),      QStringLiteral("ncpfs"),
        QStringLiteral("coda"),        QStringLiteral("fuse.curlftpfs"),
    };
    return types;
}

bool StartsWithDirectory(const QString &path, const QString &dir) { return IsInsideDirectory(dir, path); }

// Whether the block device (a partition or a whole disk) is flagged
// removable by the kernel.
bool IsRemovableDevice(const QString &device)
{
    if (!device.startsWith(QLatin1String("/dev/")))
        return false;
    QString sysPath = QFileInfo(QStringLiteral("/sys/class/block/") + QFileInfo(device).fileName()).canonicalFilePath();
    if (sysPath.isEmpty())
        return false;
    if (QFileInfo::exists(sysPath + QStringLiteral("/partition")))
        sysPath = QFileInfo(sysPath).path();
    QFile flag(sysPath + QStringLiteral("/removable"));
    return flag.open(QIODevice::ReadOnly) && flag.read(1) == "1";
}

QList<TVolumeDescription> SystemVolumes()
{
    QList<TVolumeDescription> volumes;
    const QList<QStorageInfo> infos = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &info : infos) {
        // Files mounted over files (a container's /etc/hosts) are no places.
        struct stat st {};
        if (::stat(QFile::encodeName(info.rootPath()).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            continue;
        TVolumeDescription volume;
        volume.RootPath = info.rootPath();
        volume.Device = QFile::decodeName(info.device());
        volume.FileSystemType = QString::fromLatin1(info.fileSystemType());
        volume.Label = info.name();
        volume.Removable = IsRemovableDevice(volume.Device);
        volumes << volume;
    }
    return volumes;
}

// The listed place whose root is the innermost one holding the path.
const TPartition *PartitionHolding(const QList<TPartition> &partitions, const QString &path)
{
    const TPartition *best = nullptr;
    for (const TPartition &partition : partitions)
        if (StartsWithDirectory(path, partition.Root) && (!best || partition.Root.size() > best->Root.size()))
            best = &partition;
    return best;
}

const TPartition *PartitionOfDrive(const QList<TPartition> &partitions, const QString &drive)
{
    const QString root = DriveDirectory(drive);
    for (const TPartition &partition : partitions)
        if (partition.Root == root)
            return &partition;
    return nullptr;
}

} // namespace

void SetVolumeSource(TVolumeSource source) { g_volumeSource = std::move(source); }

QList<TVolumeDescription> MountedVolumeDescriptions() { return g_volumeSource ? g_volumeSource() : SystemVolumes(); }

bool IsListedVolume(const TVolumeDescription &volume)
{
    const QString root = volume.RootPath;
    if (root == QLatin1String("/"))
        return true;
    if (root.isEmpty() || !root.startsWith(u'/'))
        return false;
    if (PseudoFileSystems().contains(volume.FileSystemType))
        return false;
    for (const char *system : {"/proc", "/sys", "/dev"})
        if (StartsWithDirectory(root, QLatin1String(system)))
            return false;
    if (StartsWithDirectory(root, QStringLiteral("/run")) && !StartsWithDirectory(root, QStringLiteral("/run/media")))
        return false;
    return true;
}

int VolumeType(const TVolumeDescription &volume)
{
    const QString &type = volume.FileSystemType;
    if (RemoteFileSystems().contains(type) || volume.Device.startsWith(QLatin1String("//")))
        return PartitionRemote;
    if (type == QLatin1String("iso9660") || type == QLatin1String("udf"))
        return PartitionCD;
    if (type == QLatin1String("ramfs") || volume.Device.startsWith(QLatin1String("/dev/zram"))
        || volume.Device.startsWith(QLatin1String("/dev/ram")))
        return PartitionRAM;
    if (volume.Removable || StartsWithDirectory(volume.RootPath, QStringLiteral("/media"))
        || StartsWithDirectory(volume.RootPath, QStringLiteral("/run/media")))
        return PartitionRemovable;
    return PartitionFixed;
}

QList<TPartition> PartitionsFrom(const QString &home, const QList<TVolumeDescription> &volumes)
{
    QList<TPartition> partitions;
    QSet<QString> roots;
    auto add = [&](const TPartition &partition) {
        if (roots.contains(partition.Root))
            return;
        roots.insert(partition.Root);
        partitions << partition;
    };
    QList<TPartition> listed;
    for (const TVolumeDescription &volume : volumes) {
        if (IsListedVolume(volume))
            listed << TPartition{WithDelimiter(volume.RootPath), false, volume};
    }
    if (!home.isEmpty() && home.startsWith(u'/')) {
        TPartition homePlace{WithDelimiter(home), true, {}};
        if (const TPartition *holder = PartitionHolding(listed, homePlace.Root))
            homePlace.Volume = holder->Volume;
        add(homePlace);
    }
    bool haveRoot = false;
    for (const TPartition &partition : listed)
        haveRoot = haveRoot || partition.Root == QLatin1String("/");
    if (!haveRoot)
        add(TPartition{QStringLiteral("/"), false, {QStringLiteral("/"), QString(), QString(), QString(), false}});
    for (const TPartition &partition : listed)
        add(partition);
    return partitions;
}

QList<TPartition> Partitions() { return PartitionsFrom(QDir::homePath(), MountedVolumeDescriptions()); }

QString BareDriveOf(const QString &path)
{
    if (IsDrive(path))
        return path;
    if (!path.startsWith(u'/'))
        return QString();
    const QList<TPartition> partitions = Partitions();
    const TPartition *holder = PartitionHolding(partitions, WithDelimiter(path));
    return holder ? DriveOfRoot(holder->Root) : QString();
}

bool DriveRootExists(const QString &path)
{
    const QString drive = BareDriveOf(path);
    return !drive.isEmpty() && PathExists(DriveDirectory(drive));
}

QString ParentDirectory(const QString &dir)
{
    if (dir.isEmpty() || IsDrive(dir))
        return QString();
    const QString withDelimiter = WithDelimiter(dir);
    for (const TPartition &partition : Partitions())
        if (partition.Root == withDelimiter)
            return DriveOfRoot(partition.Root);
    return DirectoryPart(WithoutDelimiter(withDelimiter));
}

int GetPartitionType(const QString &path)
{
    const QString drive = BareDriveOf(path);
    if (drive.isEmpty())
        return PartitionUnknown;
    FUN_BEGIN("GetPartitionType");
    int type = PartitionNoRoot;
    try {
        const QList<TPartition> partitions = Partitions();
        const TPartition *partition = PartitionOfDrive(partitions, drive);
        if (partition && !partition->Volume.RootPath.isEmpty())
            type = VolumeType(partition->Volume);
        else if (partition)
            type = PartitionFixed; // a place on a volume the system does not describe
        else
            FUN_RAISE_STATUS(Warning, QStringLiteral("Failed to get type."), drive, QString(), ENOENT);
    }
    FUN_CATCH
    FUN_END;
    return type;
}

void TPartitionInfo::Clear() { *this = TPartitionInfo(); }

bool TPartitionInfo::Load(TPartitionInfo &info, const QString &path)
{
    FUN_BEGIN("TPartitionInfo::Load");
    bool ok = false;
    try {
        info.Clear();
        const QString drive = BareDriveOf(path);
        const QString root = DriveDirectory(drive);
        struct statvfs st {};
        if (drive.isEmpty() || ::statvfs(QFile::encodeName(root).constData(), &st) != 0) {
            FUN_RAISE(QStringLiteral("Failed to load partition information."), path, QString(),
                      drive.isEmpty() ? ENOENT : errno);
        } else {
            const QList<TPartition> partitions = Partitions();
            const TPartition *partition = PartitionOfDrive(partitions, drive);
            const TVolumeDescription volume = partition ? partition->Volume : TVolumeDescription();
            info.VolumeName = volume.Label.isEmpty() ? volume.Device : volume.Label;
            info.FileSystemName = volume.FileSystemType;
            info.SerialNumber = static_cast<uint32_t>(st.f_fsid);
            info.MaxComponentLength = static_cast<uint32_t>(st.f_namemax);
            info.FileSystemFlags = static_cast<uint32_t>(st.f_flag);
            ok = true;
        }
    }
    FUN_CATCH
    FUN_END;
    return ok;
}

QString GetPartitionSuffix(const QString &path)
{
    if (!IsDrive(path))
        return QString();
    FUN_BEGIN("GetPartitionSuffix");
    QString suffix;
    try {
        const QList<TPartition> partitions = Partitions();
        const TPartition *partition = PartitionOfDrive(partitions, path);
        if (partition && partition->Home) {
            suffix = QStringLiteral(" (Home)");
        } else {
            switch (GetPartitionType(path)) {
            case PartitionRemovable: suffix = QStringLiteral(" (Removable)"); break;
            case PartitionFixed: {
                TPartitionInfo info;
                TPartitionInfo::Load(info, path);
                suffix = QStringLiteral(" (Fixed: \"") + info.VolumeName + QStringLiteral("\")");
                break;
            }
            case PartitionRemote:
                suffix = QStringLiteral(" (Remote: \"") + UniversalPath(path) + QStringLiteral("\")");
                break;
            case PartitionCD: suffix = QStringLiteral(" (CD)"); break;
            case PartitionRAM: suffix = QStringLiteral(" (RAM)"); break;
            default: break;
            }
        }
    }
    FUN_CATCH
    FUN_END;
    return suffix;
}

QString UniversalPath(const QString &path)
{
    if (path.isEmpty())
        return path;
    const QString absolute = IsDrive(path) ? DriveDirectory(path) : ExpandPath(path);
    const QList<TPartition> partitions = Partitions();
    const TPartition *holder = PartitionHolding(partitions, WithDelimiter(absolute));
    const TVolumeDescription volume = holder ? holder->Volume : TVolumeDescription();
    if (VolumeType(volume) == PartitionRemote && !volume.Device.isEmpty() && !volume.RootPath.isEmpty()) {
        const QString rest = WithDelimiter(absolute).mid(WithDelimiter(volume.RootPath).size());
        const QString source = WithoutDelimiter(volume.Device);
        return rest.isEmpty() ? source : WithDelimiter(source) + WithoutDelimiter(rest);
    }
    return IsDrive(path) ? path : absolute;
}

bool SameLocation(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    struct stat sa {
    }, sb{};
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return WithoutDelimiter(UniversalPath(a)) == WithoutDelimiter(UniversalPath(b));
}
