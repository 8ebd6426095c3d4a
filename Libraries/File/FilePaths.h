// Path operations: splitting, joining, wildcard filters, existence and the
// absolute forms of paths. "/" is the delimiter.
//
// A volume's "bare drive" is the volume's root directory followed by a
// colon: "/:" for the root file system, "/media/usb:" for a stick mounted
// there, "/home/ann:" for the home directory, which the partitions list
// offers too. A bare drive names the volume itself: listing it shows the
// partitions list with that volume selected, while its root directory
// ("/media/usb/") lists the files on it.
#pragma once

#include <QString>
#include <QStringList>

// The delimiter of paths.
constexpr char16_t PathDelimiter = u'/';

// True when the path has at least 2 characters and ends in ":".
bool IsDrive(const QString &path);
// The path with one trailing delimiter added if missing; empty stays empty.
QString WithDelimiter(const QString &path);
// The path without its trailing delimiter ("/" itself stays "/").
QString WithoutDelimiter(const QString &path);
// Empty for a bare drive; otherwise the path up to and including its last
// delimiter (empty when it has none).
QString DirectoryPart(const QString &path);
// A bare drive itself; otherwise the text after the last delimiter (empty
// when the path ends in one).
QString NamePart(const QString &path);
// The root directory of a bare drive, with its delimiter ("/media/usb:" gives
// "/media/usb/", "/:" gives "/"); other paths are returned unchanged.
QString DriveDirectory(const QString &drive);
// The bare drive of a volume's root directory ("/media/usb/" or "/media/usb"
// gives "/media/usb:").
QString DriveOfRoot(const QString &rootDirectory);

// False for an empty path; otherwise whether something exists there (links
// are followed: a broken link does not exist).
bool PathExists(const QString &path);
// True when the path is a directory (links followed) or a bare drive.
bool IsDirectoryPath(const QString &path);
// True when the extension is ".desktop", the links of this desktop (any case).
bool IsLinkFile(const QString &path);
// The extension a link to the file takes: ".desktop".
QString LinkExtensionFor(const QString &path);
// The long form of the path. Every name on this system is already long, so
// the path is returned unchanged.
QString LongPath(const QString &path);
// Empty stays empty and a bare drive stays as it is; any other path becomes
// its absolute, clean form (relative to the current directory), keeping a
// trailing delimiter.
QString ExpandPath(const QString &path);
// True when the name matches the filter: a list of wildcard patterns ("*"
// any text, "?" one character) separated by ";" with optional spaces, such as
// "*.txt; *.rtf", compared without regard to case. An empty filter matches
// every name.
bool MatchesFilter(const QString &name, const QString &filter);
// True when both are given and the path is dir itself or lies inside it.
// Paths are compared exactly, as the file system does.
bool IsInsideDirectory(const QString &dir, const QString &path);

// A wildcard filter compiled once, for matching many names.
class TNameFilter {
public:
    explicit TNameFilter(const QString &filter);
    bool Matches(const QString &name) const;
    bool IsEmpty() const { return Patterns.isEmpty(); }

private:
    QStringList Patterns; // case-folded
};
