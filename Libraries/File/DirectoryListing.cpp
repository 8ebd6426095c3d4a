#include "DirectoryListing.h"

#include "FileLinks.h"
#include "FilePaths.h"
#include "FunStatContext.h"
#include "Partitions.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a directory stream however the listing ends.
class TDirStream {
public:
    explicit TDirStream(const QByteArray &path) : Dir(::opendir(path.constData())) {}
    ~TDirStream()
    {
        if (Dir)
            ::closedir(Dir);
    }
    TDirStream(const TDirStream &) = delete;
    TDirStream &operator=(const TDirStream &) = delete;
    DIR *Dir;
};

bool IsPlainAscii(const char *name)
{
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(name); *c; ++c)
        if (*c >= 0x80)
            return false;
    return true;
}

} // namespace

void LoadPartitionsList(TListedEntries &list, int &count)
{
    count = 0;
    for (const TPartition &partition : Partitions()) {
        list.append(TListedEntry{DriveOfRoot(partition.Root), false, QByteArray()});
        ++count;
    }
}

void LoadFilesFromDir(const QString &dir, const QString &filter, TListedEntries &dirs, bool fullPaths,
                      bool resolveLinks, int maxCount, int &count, TListedEntries &files)
{
    FUN_BEGIN("LoadFilesFromDir");
    count = 0;
    try {
        if (dir.isEmpty() || DirectoryPart(dir).isEmpty()) {
            LoadPartitionsList(dirs, count);
        } else {
            const QString base = WithDelimiter(dir);
            errno = 0;
            TDirStream stream(QFile::encodeName(base));
            if (!stream.Dir) {
                FUN_RAISE(QStringLiteral("Failed to load directory."), dir, QString(), errno);
            } else {
                const int fd = ::dirfd(stream.Dir);
                const TNameFilter nameFilter(filter);
                while (maxCount < 0 || count < maxCount) {
                    errno = 0;
                    const dirent *entry = ::readdir(stream.Dir);
                    if (!entry) {
                        if (errno != 0)
                            FUN_RAISE(QStringLiteral("Failed to load directory."), dir, QString(), errno);
                        break;
                    }
                    const char *name = entry->d_name;
                    if (name[0] == '.')
                        continue; // hidden entries, "." and ".."
                    TListedEntry listed;
                    const QString decoded = QFile::decodeName(name);
                    if (!IsPlainAscii(name) && QFile::encodeName(decoded) != name)
                        listed.NativeName = QByteArray(name);
                    bool isDirectory = entry->d_type == DT_DIR;
                    const bool isLink = entry->d_type == DT_LNK;
                    if (entry->d_type == DT_UNKNOWN || isLink) {
                        // Links count as what they point to; a broken link or
                        // a loop of links is no directory.
                        struct stat st {};
                        isDirectory = ::fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
                    }
                    if (fullPaths || resolveLinks) {
                        QString full = base + decoded;
                        if (resolveLinks && (isLink || IsLinkFile(decoded))) {
                            full = GetWhenReference(full);
                            isDirectory = IsDirectoryPath(full);
                        }
                        listed.Text = fullPaths ? full : decoded;
                    } else {
                        listed.Text = decoded;
                    }
                    if (isDirectory) {
                        dirs.append(std::move(listed));
                    } else if (nameFilter.Matches(decoded)) {
                        listed.File = true;
                        files.append(std::move(listed));
                    }
                    ++count;
                }
            }
        }
    }
    FUN_CATCH
    FUN_END;
}

void LoadFilesFromAnyDir(const QString &dir, const QString &filter, TListedEntries &dirs, QString &listedDir,
                         const TFailedDirCallback &callback, bool fullPaths, bool resolveLinks, int maxCount,
                         int &count, TListedEntries &files)
{
    FUN_BEGIN("LoadFilesFromAnyDir");
    QString current = dir;
    try {
        for (;;) {
            if (!IsDrive(current) && !DriveRootExists(current)) {
                if (!current.isEmpty() && callback)
                    callback(current);
                current = BareDriveOf(current);
            }
            LoadFilesFromDir(current, filter, dirs, fullPaths, resolveLinks, maxCount, count, files);
            if (FunStatContext.Status <= Warning)
                break;
            if (callback)
                callback(current);
            current = ParentDirectory(current);
            if (current.isEmpty())
                break;
        }
    }
    FUN_CATCH
    listedDir = current;
    FUN_END;
}

QByteArray NativeEntryPath(const QString &dir, const TListedEntry &entry)
{
    if (entry.NativeName.isEmpty())
        return QFile::encodeName(WithDelimiter(dir) + entry.Text);
    return QFile::encodeName(WithDelimiter(dir)) + entry.NativeName;
}

QString MakeReadableLink(const QByteArray &nativePath, const QString &linkDir)
{
    if (linkDir.isEmpty())
        return QString();
    const QString name = QFile::decodeName(nativePath.mid(nativePath.lastIndexOf('/') + 1));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString link
            = WithDelimiter(linkDir) + (attempt == 0 ? name : QString::number(attempt) + QLatin1Char(' ') + name);
        if (::symlink(nativePath.constData(), QFile::encodeName(link).constData()) == 0)
            return link;
        if (errno != EEXIST)
            break;
    }
    return QString();
}
