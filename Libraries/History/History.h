// A history of visited places: the most recent last, at most 1000, each path
// with a little state, and a pop-up menu of the 20 newest.
//
// THistoryList holds the places and their rules; THistoryDialog
// (HistoryDialog.h) adds the menu. The "directory" of a path is its part up to and including the last
// delimiter (a directory path is its own directory); directories are compared
// exactly, as the file system does.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct THistoryEntry {
    QString Path; // a directory (with its trailing delimiter) or a file
    void *Data = nullptr; // handed back to the select handler
    int State = 0; // the browser keeps its list's top index here
    int PairFirst = 0;
    int PairSecond = 0;
};

// What Find and RemoveDir give back.
struct THistoryMatch {
    int Index = -1; // -1: none
    THistoryEntry Entry;
};

class THistoryList {
public:
    static constexpr int MaxCount = 1000;
    static constexpr int MenuCount = 20;

    // Adds a place, unless the path is empty or a bare drive, or is a
    // directory that the history already knows (with a more precise entry).
    // A path in the directory of the newest entry replaces that entry;
    // otherwise it is appended (dropping the oldest of 1000). With `replace`
    // the directory's older entries are removed first, and with `restore` as
    // well the new entry takes over the removed one's state and pair.
    void Add(const QString &path, void *data = nullptr, bool restore = false, bool replace = false, int pairFirst = 0,
             int pairSecond = 0, int state = 0);
    // The newest entry whose directory equals dir; Index -1 (and Entry.Path =
    // dir) when there is none.
    THistoryMatch Find(const QString &dir) const;
    // Removes every entry in the directory of path; gives the last one
    // removed (Index -1 and State -1 when none was).
    THistoryMatch RemoveDir(const QString &path);

    int Count() const { return static_cast<int>(Entries.size()); }
    const THistoryEntry &Entry(int index) const { return Entries.at(index); }
    void Clear() { Entries.clear(); }

    // The menu's first line: title + " (N items)".
    QString MenuTitle(const QString &title) const;
    // Indexes of the entries the menu offers: the 20 newest, newest first.
    QList<int> MenuEntries() const;

    // The directory of a path as the history compares it.
    static QString DirectoryOf(const QString &path);

private:
    QList<THistoryEntry> Entries; // oldest first
};
