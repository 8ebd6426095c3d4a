#include "FileOperations.h"

#include "Dialogs.h"
#include "FilePaths.h"
#include "FunStatContext.h"
#include "Partitions.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString &path) { return QFile::encodeName(path); }

// A directory stream over a descriptor that is closed however the walk ends.
class TDirWalk {
public:
    explicit TDirWalk(int fd) : Dir(fd >= 0 ? ::fdopendir(fd) : nullptr)
    {
        if (!Dir && fd >= 0)
            ::close(fd);
    }
    ~TDirWalk()
    {
        if (Dir)
            ::closedir(Dir);
    }
    TDirWalk(const TDirWalk &) = delete;
    TDirWalk &operator=(const TDirWalk &) = delete;
    // The next entry other than "." and ".."; null at the end or on an error
    // (errno tells which).
    const dirent *Next()
    {
        for (;;) {
            errno = 0;
            const dirent *entry = ::readdir(Dir);
            if (!entry || (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0))
                return entry;
        }
    }
    DIR *Dir;
};

void MakeOwnerWritable(int dirFd, const char *name, const struct stat &st)
{
    if (!(st.st_mode & S_IWUSR))
        ::fchmodat(dirFd, name, (st.st_mode & 07777) | S_IWUSR, 0);
}

// Deletes what the directory (open as fd) holds; false when it could not be
// read through. Entries that cannot be deleted are left.
bool DeleteContent(int fd, int depth)
{
    TDirWalk walk(fd);
    if (!walk.Dir)
        return false;
    const int dirFd = ::dirfd(walk.Dir);
    while (const dirent *entry = walk.Next()) {
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode) && depth < 256) {
            MakeOwnerWritable(dirFd, entry->d_name, st);
            const int child = ::openat(dirFd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0)
                DeleteContent(child, depth + 1);
            ::unlinkat(dirFd, entry->d_name, AT_REMOVEDIR);
        } else {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
    }
    return errno == 0;
}

bool IsProtectedDirectory(const QString &dir)
{
    if (dir.isEmpty() || IsDrive(dir) || WithDelimiter(ExpandPath(dir)) == QLatin1String("/"))
        return true;
    const QString expanded = WithDelimiter(ExpandPath(dir));
    for (const TPartition &partition : Partitions())
        if (partition.Root == expanded)
            return true;
    return false;
}

// Copies one file whole: the new content is written beside the target and
// renamed over it, with the source's permissions.
bool CopyFileWhole(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    char buffer[65536];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (out.write(buffer, n) != n)
            return false;
    }
    if (!out.commit())
        return false;
    QFile::setPermissions(target, in.permissions());
    return true;
}

bool CopyTree(const QString &source, const QString &destination, TFunStatContext &fsc, const QString &name, int depth)
{
    struct stat sourceStat {};
    if (::stat(Native(source).constData(), &sourceStat) != 0 || !S_ISDIR(sourceStat.st_mode)) {
        fsc.Raise(__FILE__, name, __LINE__, Error, QStringLiteral("Failed to find first file."), source, QString(),
                  errno ? errno : ENOTDIR);
        return false;
    }
    if (::mkdir(Native(destination).constData(), sourceStat.st_mode & 07777) != 0
        && IsSystemErrorExceptExisting(errno)) {
        fsc.Raise(__FILE__, name, __LINE__, Error, QStringLiteral("Failed to create directory."), destination,
                  QString(), errno);
        return false;
    }
    TDirWalk walk(::open(Native(source).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!walk.Dir) {
        fsc.Raise(__FILE__, name, __LINE__, Error, QStringLiteral("Failed to find first file."), source, QString(),
                  errno);
        return false;
    }
    bool ok = true;
    const int dirFd = ::dirfd(walk.Dir);
    while (const dirent *entry = walk.Next()) {
        if (entry->d_name[0] == '.')
            continue; // hidden
        const QString entryName = QFile::decodeName(entry->d_name);
        const QString from = WithDelimiter(source) + entryName;
        const QString to = WithDelimiter(destination) + entryName;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISLNK(st.st_mode)) {
            // The link's own text, so a relative link stays relative.
            QByteArray target(PATH_MAX, '\0');
            const ssize_t length = ::readlinkat(dirFd, entry->d_name, target.data(), target.size());
            ::unlink(Native(to).constData());
            if (length < 0 || ::symlink(target.left(length).constData(), Native(to).constData()) != 0) {
                fsc.Raise(__FILE__, name, __LINE__, Error, QStringLiteral("Failed to copy file."), from, to, errno);
                ok = false;
            }
        } else if (S_ISDIR(st.st_mode)) {
            if (depth >= 256 || !CopyTree(from, to, fsc, name, depth + 1))
                ok = false;
        } else if (S_ISREG(st.st_mode)) {
            ClearReadOnly(to);
            if (!CopyFileWhole(from, to)) {
                fsc.Raise(__FILE__, name, __LINE__, Error, QStringLiteral("Failed to copy file."), from, to, errno);
                ok = false;
            }
        }
    }
    return ok;
}

} // namespace

int64_t GetFileSize(int fileDescriptor)
{
    FUN_BEGIN("GetFileSize");
    int64_t size = 0;
    try {
        struct stat st {};
        if (::fstat(fileDescriptor, &st) != 0 && IsSystemError(errno))
            FUN_RAISE_STATUS(Warning, QStringLiteral("Failed to get file size."), QString(), QString(), errno);
        else
            size = st.st_size;
    }
    FUN_CATCH
    FUN_END;
    return size;
}

int64_t GetFileSize(const QString &path)
{
    FUN_BEGIN("GetFileSize");
    int64_t size = 0;
    try {
        struct stat st {};
        if (path.isEmpty() || ::stat(Native(path).constData(), &st) != 0)
            FUN_RAISE_STATUS(Warning, QStringLiteral("Failed to access file."), path, QString(),
                             path.isEmpty() ? ENOENT : errno);
        else
            size = st.st_size;
    }
    FUN_CATCH
    FUN_END;
    return size;
}

int ClearReadOnly(const QString &path)
{
    struct stat st {};
    if (path.isEmpty() || ::lstat(Native(path).constData(), &st) != 0 || S_ISLNK(st.st_mode) || (st.st_mode & S_IWUSR))
        return 0;
    return ::chmod(Native(path).constData(), (st.st_mode & 07777) | S_IWUSR) == 0 ? 1 : 0;
}

bool MyDeleteFile(const QString &path)
{
    FUN_BEGIN("MyDeleteFile");
    try {
        ClearReadOnly(path);
        if (path.isEmpty() || ::unlink(Native(path).constData()) != 0)
            FUN_RAISE(QStringLiteral("Failed to delete file."), path, QString(), path.isEmpty() ? ENOENT : errno);
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    FUN_END;
    return ok;
}

bool MyRenameFile(const QString &oldName, const QString &newName, bool replace)
{
    FUN_BEGIN("MyRenameFile");
    try {
        const QByteArray from = Native(oldName);
        const QByteArray to = Native(newName);
        int result = -1;
        if (oldName.isEmpty() || newName.isEmpty()) {
            errno = ENOENT;
        } else if (replace) {
            ClearReadOnly(newName);
            result = ::rename(from.constData(), to.constData());
        } else {
            result = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
            if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
                // A file system without the no-replace rename.
                struct stat st {};
                if (::lstat(to.constData(), &st) == 0)
                    errno = EEXIST;
                else
                    result = ::rename(from.constData(), to.constData());
            }
        }
        if (result != 0 && errno == EXDEV) {
            struct stat st {};
            const bool exists = ::lstat(to.constData(), &st) == 0;
            if ((replace || !exists) && CopyFileWhole(oldName, newName) && ::unlink(from.constData()) == 0)
                result = 0;
            else if (!replace && exists)
                errno = EEXIST;
        }
        if (result != 0)
            FUN_RAISE(QStringLiteral("Failed to rename."), oldName, newName, errno);
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    FUN_END;
    return ok;
}

void DeleteDirectoryNoErrors(const QString &dir)
{
    FUN_BEGIN("DeleteDirectoryNoErrors");
    try {
        const int fd = IsProtectedDirectory(dir)
            ? -1
            : ::open(Native(dir).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            FUN_RAISE(QStringLiteral("Can not find directory."), dir, QString(),
                      IsProtectedDirectory(dir) ? EPERM : errno);
        } else {
            struct stat st {};
            if (::fstat(fd, &st) == 0 && !(st.st_mode & S_IWUSR))
                ::fchmod(fd, (st.st_mode & 07777) | S_IWUSR);
            if (!DeleteContent(fd, 0))
                FUN_RAISE(QStringLiteral("Failed to delete directory content."), dir, QString(), errno);
            ClearReadOnly(dir);
            ::rmdir(Native(WithoutDelimiter(dir)).constData());
        }
    }
    FUN_CATCH
    FUN_END;
}

bool CopyDeleteDirectory(const QString &source, const QString &destination, bool copy)
{
    FUN_BEGIN("CopyDeleteDirectory");
    try {
        if (destination.isEmpty())
            FUN_RAISE(QStringLiteral("Empty destination name."), source);
        else if (SameLocation(source, destination)
                 || IsInsideDirectory(WithDelimiter(ExpandPath(source)), WithDelimiter(ExpandPath(destination))))
            FUN_RAISE(QStringLiteral("Failed to create directory."), destination, source, EINVAL);
        else if (CopyTree(source, destination, Fsc_, FunName_, 0) && !copy)
            DeleteDirectoryNoErrors(source);
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    if (!ok)
        ShowDialogBox(QStringLiteral("Error"), QStringLiteral("Failed to process directory."), TDialogKind::Error);
    FUN_END;
    return ok;
}

QString GetTempPathA()
{
    FUN_BEGIN("GetTempPathA");
    QString path;
    try {
        path = QDir::tempPath();
        if (path.isEmpty())
            FUN_RAISE(QStringLiteral("Failed to get path."), QString(), QString(), ENOENT);
        else
            path = WithDelimiter(LongPath(path));
    }
    FUN_CATCH
    FUN_END;
    return path;
}

QString GetSystemDirectoryPath(int folder, bool create)
{
    FUN_BEGIN("GetSystemDirectoryPath");
    QString path;
    try {
        const bool root = ::geteuid() == 0;
        switch (folder) {
        case FolderPersonal: path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation); break;
        case FolderCommonDocuments: path = QStandardPaths::writableLocation(QStandardPaths::PublicShareLocation); break;
        case FolderDesktopDirectory: path = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation); break;
        case FolderPrograms:
            path = root ? QStringLiteral("/usr/local/share/applications")
                        : QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
            break;
        case FolderProgramFiles:
            path = root ? QStringLiteral("/opt") : QDir::homePath() + QStringLiteral("/.local/opt");
            break;
        default: break;
        }
        if (path.isEmpty()) {
            FUN_RAISE(QStringLiteral("Failed to get path."), QString::number(folder), QString(), ENOENT);
        } else if (create && !QDir().mkpath(path)) {
            FUN_RAISE(QStringLiteral("Failed to get path."), path, QString(), errno);
            path.clear();
        } else {
            path = WithDelimiter(path);
        }
    }
    FUN_CATCH
    FUN_END;
    return path;
}
