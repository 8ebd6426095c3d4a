// Path operations and the partitions list.
#include <QtTest>

#include "FakeVolumes.h"
#include "FilePaths.h"
#include "FunStatContext.h"
#include "Partitions.h"

class TestFilePaths : public QObject {
    Q_OBJECT
private slots:
    void splitsPaths_data();
    void splitsPaths();
    void drivesAndDelimiters();
    void matchesFilter_data();
    void matchesFilter();
    void insideDirectory_data();
    void insideDirectory();
    void expandsPaths();

    void partitionsListTheHomeThenRealVolumes();
    void volumeTypes_data();
    void volumeTypes();
    void partitionSuffixes_data();
    void partitionSuffixes();
    void bareDriveIsTheInnermostPlace_data();
    void bareDriveIsTheInnermostPlace();
    void parentDirectoryEndsAtTheBareDrive_data();
    void parentDirectoryEndsAtTheBareDrive();
    void unmountedDriveIsReportedAsWarning();
    void remotePathsNameTheirSource();
    void systemListHasRootAndHome();
};

namespace {

QList<TVolumeDescription> SampleVolumes()
{
    using V = TScopedVolumes;
    return {
        V::Volume("/", "ext4", "/dev/sda2", "System"),
        V::Volume("/proc", "proc", "proc"),
        V::Volume("/sys", "sysfs", "sysfs"),
        V::Volume("/dev/shm", "tmpfs", "tmpfs"),
        V::Volume("/run/user/1000", "tmpfs", "tmpfs"),
        V::Volume("/home", "ext4", "/dev/sda3"),
        V::Volume("/media/ann/STICK", "vfat", "/dev/sdb1", "STICK"),
        V::Volume("/run/media/ann/Card", "exfat", "/dev/mmcblk0p1"),
        V::Volume("/mnt/nas", "nfs4", "nas:/export/books"),
        V::Volume("/mnt/share", "cifs", "//server/share"),
        V::Volume("/mnt/cd", "iso9660", "/dev/sr0", "Classics"),
        V::Volume("/mnt/ram", "ramfs", "ramfs"),
        V::Volume("/data", "xfs", "/dev/sdc1", QString(), true),
        V::Volume("/snap/core/1", "squashfs", "/dev/loop0"),
        V::Volume("/home", "ext4", "/dev/sda3"), // mounted twice
    };
}

} // namespace

void TestFilePaths::splitsPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("name");
    QTest::newRow("directory") << "/home/ann/Books/"
                               << "/home/ann/Books/"
                               << "";
    QTest::newRow("name") << "/home/ann/Books"
                          << "/home/ann/"
                          << "Books";
    QTest::newRow("book") << "/home/ann/Books/War and Peace.txt"
                          << "/home/ann/Books/"
                          << "War and Peace.txt";
    QTest::newRow("root") << "/"
                          << "/"
                          << "";
    QTest::newRow("in root") << "/etc"
                             << "/"
                             << "etc";
    QTest::newRow("bare drive") << "/media/usb:"
                                << ""
                                << "/media/usb:";
    QTest::newRow("root drive") << "/:"
                                << ""
                                << "/:";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("relative") << "Books"
                              << ""
                              << "Books";
    QTest::newRow("colon inside") << "/home/ann/a:b.txt"
                                  << "/home/ann/"
                                  << "a:b.txt";
}

void TestFilePaths::splitsPaths()
{
    QFETCH(QString, path);
    QFETCH(QString, directory);
    QFETCH(QString, name);
    QCOMPARE(DirectoryPart(path), directory);
    QCOMPARE(NamePart(path), name);
}

void TestFilePaths::drivesAndDelimiters()
{
    QVERIFY(IsDrive("/:"));
    QVERIFY(IsDrive("/media/usb:"));
    QVERIFY(!IsDrive(":"));
    QVERIFY(!IsDrive("/media/usb/"));
    QCOMPARE(WithDelimiter(""), QString());
    QCOMPARE(WithDelimiter("/a"), QString("/a/"));
    QCOMPARE(WithDelimiter("/a/"), QString("/a/"));
    QCOMPARE(WithoutDelimiter("/a/"), QString("/a"));
    QCOMPARE(WithoutDelimiter("/"), QString("/"));
    QCOMPARE(DriveDirectory("/media/usb:"), QString("/media/usb/"));
    QCOMPARE(DriveDirectory("/:"), QString("/"));
    QCOMPARE(DriveOfRoot("/"), QString("/:"));
    QCOMPARE(DriveOfRoot("/media/usb/"), QString("/media/usb:"));
    QVERIFY(IsDirectoryPath("/:"));
    QVERIFY(IsDirectoryPath("/"));
    QVERIFY(!PathExists(""));
    QVERIFY(IsLinkFile("/a/Lectern.DESKTOP"));
    QVERIFY(!IsLinkFile("/a/Lectern.desktop.txt"));
}

void TestFilePaths::matchesFilter_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("matches");
    const QString books = QStringLiteral("*.txt; *.rtf");
    QTest::newRow("txt") << "notes.txt" << books << true;
    QTest::newRow("case") << "Notes.TXT" << books << true;
    QTest::newRow("second pattern") << "Book.Rtf" << books << true;
    QTest::newRow("backup") << "notes.txt.bak" << books << false;
    QTest::newRow("no dot") << "txt" << books << false;
    QTest::newRow("only extension") << ".txt" << books << true;
    QTest::newRow("empty filter") << "anything"
                                  << "" << true;
    QTest::newRow("spaces only") << "anything"
                                 << " ; " << true;
    QTest::newRow("question mark") << "a.txt"
                                   << "?.t?t" << true;
    QTest::newRow("question needs one") << ".txt"
                                        << "?.txt" << false;
    QTest::newRow("backtracking") << "aXbYbZc"
                                  << "a*b*c" << true;
    QTest::newRow("backtracking fails") << "aXbYbZ"
                                        << "a*b*c" << false;
    QTest::newRow("accents fold") << "ÉTÉ.TXT"
                                  << "été.*" << true;
    QTest::newRow("no spaces") << "x.rtf"
                               << "*.txt;*.rtf" << true;
}

void TestFilePaths::matchesFilter()
{
    QFETCH(QString, name);
    QFETCH(QString, filter);
    QFETCH(bool, matches);
    QCOMPARE(MatchesFilter(name, filter), matches);
}

void TestFilePaths::insideDirectory_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("inside");
    QTest::newRow("child") << "/a/b"
                           << "/a/b/c" << true;
    QTest::newRow("child of delimited") << "/a/b/"
                                        << "/a/b/c" << true;
    QTest::newRow("itself") << "/a/b"
                            << "/a/b" << true;
    QTest::newRow("sibling prefix") << "/a/b"
                                    << "/a/bc" << false;
    QTest::newRow("case differs") << "/A/b"
                                  << "/a/b/c" << false;
    QTest::newRow("empty dir") << ""
                               << "/a" << false;
    QTest::newRow("empty path") << "/a"
                                << "" << false;
    QTest::newRow("root") << "/"
                          << "/etc" << true;
}

void TestFilePaths::insideDirectory()
{
    QFETCH(QString, dir);
    QFETCH(QString, path);
    QFETCH(bool, inside);
    QCOMPARE(IsInsideDirectory(dir, path), inside);
}

void TestFilePaths::expandsPaths()
{
    const QString current = QDir::currentPath();
    QCOMPARE(ExpandPath(""), QString());
    QCOMPARE(ExpandPath("/media/usb:"), QString("/media/usb:"));
    QCOMPARE(ExpandPath("/a/b/../c"), QString("/a/c"));
    QCOMPARE(ExpandPath("/a/b/"), QString("/a/b/"));
    QCOMPARE(ExpandPath("Books/x.txt"), current + "/Books/x.txt");
    QCOMPARE(ExpandPath("Books/"), current + "/Books/");
}

void TestFilePaths::partitionsListTheHomeThenRealVolumes()
{
    TScopedVolumes volumes("/home/ann", SampleVolumes());
    QStringList roots;
    for (const TPartition &partition : Partitions())
        roots << partition.Root + (partition.Home ? "(home)" : "");
    QCOMPARE(roots,
             QStringList({"/home/ann/(home)", "/", "/home/", "/media/ann/STICK/", "/run/media/ann/Card/", "/mnt/nas/",
                          "/mnt/share/", "/mnt/cd/", "/mnt/ram/", "/data/"}));
    // The home directory lies on the /home volume.
    QCOMPARE(Partitions().constFirst().Volume.Device, QString("/dev/sda3"));

    // A root on a pseudo file system (a live system, a container) is listed
    // all the same, and a home that is a mount point is listed once.
    TScopedVolumes overlay(
        "/data",
        {TScopedVolumes::Volume("/", "overlay", "overlay"), TScopedVolumes::Volume("/data", "ext4", "/dev/sdc1")});
    roots.clear();
    for (const TPartition &partition : Partitions())
        roots << partition.Root + (partition.Home ? "(home)" : "");
    QCOMPARE(roots, QStringList({"/data/(home)", "/"}));
}

void TestFilePaths::volumeTypes_data()
{
    using V = TScopedVolumes;
    QTest::addColumn<TVolumeDescription>("volume");
    QTest::addColumn<int>("type");
    QTest::newRow("disk") << V::Volume("/data", "ext4", "/dev/sda1") << int(PartitionFixed);
    QTest::newRow("nfs") << V::Volume("/mnt/nas", "nfs4", "nas:/export") << int(PartitionRemote);
    QTest::newRow("samba") << V::Volume("/mnt/s", "smb3", "//server/s") << int(PartitionRemote);
    QTest::newRow("ssh") << V::Volume("/mnt/h", "fuse.sshfs", "ann@host:") << int(PartitionRemote);
    QTest::newRow("cd") << V::Volume("/mnt/cd", "iso9660", "/dev/sr0") << int(PartitionCD);
    QTest::newRow("dvd") << V::Volume("/mnt/dvd", "udf", "/dev/sr0") << int(PartitionCD);
    QTest::newRow("ramfs") << V::Volume("/mnt/r", "ramfs", "ramfs") << int(PartitionRAM);
    QTest::newRow("zram") << V::Volume("/mnt/z", "ext4", "/dev/zram1") << int(PartitionRAM);
    QTest::newRow("media") << V::Volume("/media/ann/X", "vfat", "/dev/sdb1") << int(PartitionRemovable);
    QTest::newRow("flagged") << V::Volume("/backup", "ext4", "/dev/sdd1", "", true) << int(PartitionRemovable);
    QTest::newRow("not media") << V::Volume("/mediaX", "ext4", "/dev/sde1") << int(PartitionFixed);
}

void TestFilePaths::volumeTypes()
{
    QFETCH(TVolumeDescription, volume);
    QFETCH(int, type);
    QCOMPARE(VolumeType(volume), type);
}

void TestFilePaths::partitionSuffixes_data()
{
    QTest::addColumn<QString>("drive");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("home") << "/home/ann:"
                          << " (Home)";
    QTest::newRow("labelled disk") << "/:"
                                   << " (Fixed: \"System\")";
    QTest::newRow("disk without label") << "/home:"
                                        << " (Fixed: \"/dev/sda3\")";
    QTest::newRow("removable") << "/media/ann/STICK:"
                               << " (Removable)";
    QTest::newRow("nfs") << "/mnt/nas:"
                         << " (Remote: \"nas:/export/books\")";
    QTest::newRow("samba") << "/mnt/share:"
                           << " (Remote: \"//server/share\")";
    QTest::newRow("cd") << "/mnt/cd:"
                        << " (CD)";
    QTest::newRow("ram") << "/mnt/ram:"
                         << " (RAM)";
    QTest::newRow("root directory, not a drive") << "/"
                                                 << "";
    QTest::newRow("drive root directory") << "/media/ann/STICK/"
                                          << "";
}

void TestFilePaths::partitionSuffixes()
{
    QFETCH(QString, drive);
    QFETCH(QString, suffix);
    TScopedVolumes volumes("/home/ann", SampleVolumes());
    QCOMPARE(GetPartitionSuffix(drive), suffix);
}

void TestFilePaths::bareDriveIsTheInnermostPlace_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("drive");
    QTest::newRow("on a stick") << "/media/ann/STICK/Books/x.txt"
                                << "/media/ann/STICK:";
    QTest::newRow("stick root") << "/media/ann/STICK/"
                                << "/media/ann/STICK:";
    QTest::newRow("stick root without delimiter") << "/media/ann/STICK"
                                                  << "/media/ann/STICK:";
    QTest::newRow("in home") << "/home/ann/Books/"
                             << "/home/ann:";
    QTest::newRow("another home") << "/home/bob/x.txt"
                                  << "/home:";
    QTest::newRow("system") << "/etc/"
                            << "/:";
    QTest::newRow("root") << "/"
                          << "/:";
    QTest::newRow("drive itself") << "/mnt/cd:"
                                  << "/mnt/cd:";
    QTest::newRow("relative") << "Books/x.txt"
                              << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestFilePaths::bareDriveIsTheInnermostPlace()
{
    QFETCH(QString, path);
    QFETCH(QString, drive);
    TScopedVolumes volumes("/home/ann", SampleVolumes());
    QCOMPARE(BareDriveOf(path), drive);
}

void TestFilePaths::parentDirectoryEndsAtTheBareDrive_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("parent");
    QTest::newRow("delimited") << "/home/ann/Books/Old/"
                               << "/home/ann/Books/";
    QTest::newRow("undelimited") << "/home/ann/Books/Old"
                                 << "/home/ann/Books/";
    QTest::newRow("home") << "/home/ann/"
                          << "/home/ann:";
    QTest::newRow("volume root") << "/media/ann/STICK/"
                                 << "/media/ann/STICK:";
    QTest::newRow("root") << "/"
                          << "/:";
    QTest::newRow("drive") << "/:"
                           << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestFilePaths::parentDirectoryEndsAtTheBareDrive()
{
    QFETCH(QString, dir);
    QFETCH(QString, parent);
    TScopedVolumes volumes("/home/ann", SampleVolumes());
    QCOMPARE(ParentDirectory(dir), parent);
}

void TestFilePaths::unmountedDriveIsReportedAsWarning()
{
    TScopedVolumes volumes("/home/ann", SampleVolumes());
    QCOMPARE(GetPartitionType(""), int(PartitionUnknown));
    QCOMPARE(FunStatContext.Status, int(Perfect));
    QCOMPARE(GetPartitionType("/media/ann/GONE:"), int(PartitionNoRoot));
    QCOMPARE(FunStatContext.Status, int(Warning));
    QCOMPARE(FunStatContext.Description, QString("Failed to get type."));
    QCOMPARE(GetPartitionSuffix("/media/ann/GONE:"), QString());
    QCOMPARE(GetPartitionType("/media/ann/STICK/Books/"), int(PartitionRemovable));
}

void TestFilePaths::remotePathsNameTheirSource()
{
    TScopedVolumes volumes("/home/ann", SampleVolumes());
    QCOMPARE(UniversalPath("/mnt/share/Books/x.txt"), QString("//server/share/Books/x.txt"));
    QCOMPARE(UniversalPath("/mnt/nas/"), QString("nas:/export/books"));
    QCOMPARE(UniversalPath("/home/ann/x.txt"), QString("/home/ann/x.txt"));
    QCOMPARE(UniversalPath("/home/ann:"), QString("/home/ann:"));
    QVERIFY(SameLocation("/mnt/share/x/", "/mnt/share/x"));
    QVERIFY(!SameLocation("/mnt/share/x", "/mnt/share/X"));
}

void TestFilePaths::systemListHasRootAndHome()
{
    // Whatever this machine mounts: the home directory first, the root
    // always, every root a directory, and no place twice.
    const QList<TPartition> partitions = Partitions();
    QVERIFY(partitions.size() >= 1);
    QVERIFY(partitions.constFirst().Home || QDir::homePath() == "/");
    QStringList roots;
    for (const TPartition &partition : partitions) {
        QVERIFY2(QFileInfo(partition.Root).isDir(), qPrintable(partition.Root));
        QVERIFY(!roots.contains(partition.Root));
        roots << partition.Root;
    }
    QVERIFY(roots.contains("/"));
}

QTEST_GUILESS_MAIN(TestFilePaths)
#include "test_file_paths.moc"
