#include "FilePaths.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {

const QChar Delimiter(PathDelimiter);
const QChar DriveMark(u':');

// "*" and "?" wildcards over a case-folded pattern and a name folded as it
// is read, with backtracking to the last star only (linear for the usual
// patterns).
bool WildcardMatch(QStringView pattern, QStringView name)
{
    qsizetype p = 0, n = 0, star = -1, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            starName = n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool IsDrive(const QString &path) { return path.size() >= 2 && path.endsWith(DriveMark); }

QString WithDelimiter(const QString &path)
{
    if (path.isEmpty() || path.endsWith(Delimiter))
        return path;
    return path + Delimiter;
}

QString WithoutDelimiter(const QString &path)
{
    if (path.size() > 1 && path.endsWith(Delimiter))
        return path.left(path.size() - 1);
    return path;
}

QString DirectoryPart(const QString &path)
{
    if (IsDrive(path))
        return QString();
    const qsizetype at = path.lastIndexOf(Delimiter);
    return at < 0 ? QString() : path.left(at + 1);
}

QString NamePart(const QString &path)
{
    if (IsDrive(path))
        return path;
    return path.mid(path.lastIndexOf(Delimiter) + 1);
}

QString DriveDirectory(const QString &drive)
{
    if (!IsDrive(drive))
        return drive;
    return WithDelimiter(drive.left(drive.size() - 1));
}

QString DriveOfRoot(const QString &rootDirectory)
{
    if (rootDirectory.isEmpty())
        return QString();
    return WithoutDelimiter(rootDirectory) + DriveMark;
}

bool PathExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    struct stat st {};
    return ::stat(QFile::encodeName(IsDrive(path) ? DriveDirectory(path) : path).constData(), &st) == 0;
}

bool IsDirectoryPath(const QString &path)
{
    if (IsDrive(path))
        return true;
    struct stat st {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsLinkFile(const QString &path) { return path.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive); }

QString LinkExtensionFor(const QString &path)
{
    Q_UNUSED(path);
    return QStringLiteral(".desktop");
}

QString LongPath(const QString &path) { return path; }

QString ExpandPath(const QString &path)
{
    if (path.isEmpty() || IsDrive(path))
        return path;
    QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    if (path.endsWith(Delimiter))
        absolute = WithDelimiter(absolute);
    return LongPath(absolute);
}

bool MatchesFilter(const QString &name, const QString &filter) { return TNameFilter(filter).Matches(name); }

bool IsInsideDirectory(const QString &dir, const QString &path)
{
    if (dir.isEmpty() || path.isEmpty() || !path.startsWith(dir))
        return false;
    return path.size() == dir.size() || dir.endsWith(Delimiter) || path.at(dir.size()) == Delimiter;
}

TNameFilter::TNameFilter(const QString &filter)
{
    for (const QString &pattern : filter.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (!trimmed.isEmpty())
            Patterns << trimmed.toCaseFolded();
    }
}

bool TNameFilter::Matches(const QString &name) const
{
    if (Patterns.isEmpty())
        return true;
    for (const QString &pattern : Patterns)
        if (WildcardMatch(pattern, name))
            return true;
    return false;
}
