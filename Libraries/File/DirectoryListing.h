// Listing a directory into a list of directories and a list of files that
// match a filter, with the fall-backs to the bare drive and to the parent
// directories when a directory cannot be listed.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// One listed entry.
struct TListedEntry {
    QString Text; // the name, or the full path when asked for
    bool File = false; // a file (tagged "file"); directories and drives are not
    // The name's bytes when they are not valid UTF-8: Text then shows them
    // decoded but does not name the file (see NativePath).
    QByteArray NativeName;
};
using TListedEntries = QList<TListedEntry>;

// Appends the bare drives of the partitions list ("/home/ann:", "/:", ...)
// in its order and sets count to their number.
void LoadPartitionsList(TListedEntries &list, int &count);

// Lists dir: its subdirectories into dirs and its files whose names match the
// filter into files (tagged), names only or full paths. Hidden entries (dot
// files) are not listed, nor "." and "..". Links are followed to decide
// whether an entry is a directory; with resolveLinks a link (symbolic or a
// desktop entry) counts as what it points to, and its full path is that one. At most maxCount entries are looked at
// (negative: all); count says how many were, matching or not. An empty dir or a bare drive lists the partitions list
// into dirs. Failures ("Failed to load directory." with the directory and the system error) are recorded under
// "LoadFilesFromDir"; the lists keep what was appended before.
void LoadFilesFromDir(const QString &dir, const QString &filter, TListedEntries &dirs, bool fullPaths,
                      bool resolveLinks, int maxCount, int &count, TListedEntries &files);

// Called with each directory that could not be listed.
using TFailedDirCallback = std::function<void(const QString &dir)>;

// Lists dir like LoadFilesFromDir, falling back when it cannot: a path whose
// drive root is missing gives the bare drive (the partitions list), and a
// directory that fails to list gives its parent, until one lists. The
// callback (when set) hears of each directory given up; listedDir is the one
// listed at last. Runs under "LoadFilesFromAnyDir".
void LoadFilesFromAnyDir(const QString &dir, const QString &filter, TListedEntries &dirs, QString &listedDir,
                         const TFailedDirCallback &callback, bool fullPaths, bool resolveLinks, int maxCount,
                         int &count, TListedEntries &files);

// The bytes of the path of an entry listed in dir.
QByteArray NativeEntryPath(const QString &dir, const TListedEntry &entry);
// A name that is not valid UTF-8 cannot be handed around as text. This makes
// a link to nativePath in linkDir under a readable name (the decoded one) and
// returns the link's path; empty when it could not be made.
QString MakeReadableLink(const QByteArray &nativePath, const QString &linkDir);
