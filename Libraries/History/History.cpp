#include "History.h"

#include "FilePaths.h"

QString THistoryList::DirectoryOf(const QString &path) { return DirectoryPart(path); }

void THistoryList::Add(const QString &path, void *data, bool restore, bool replace, int pairFirst, int pairSecond,
                       int state)
{
    if (path.isEmpty() || IsDrive(path))
        return;
    if (NamePart(path).isEmpty() && Find(path).Index >= 0)
        return; // the directory is known with a more precise entry
    THistoryEntry entry{path, data, state, pairFirst, pairSecond};
    if (Entries.isEmpty() || DirectoryOf(path) != DirectoryOf(Entries.constLast().Path)) {
        if (replace) {
            const THistoryMatch removed = RemoveDir(path);
            if (restore && removed.Index >= 0) {
                entry.State = removed.Entry.State;
                entry.PairFirst = removed.Entry.PairFirst;
                entry.PairSecond = removed.Entry.PairSecond;
            }
        }
        if (Entries.size() >= MaxCount)
            Entries.removeFirst();
        Entries.append(entry);
    } else {
        Entries.last() = entry;
    }
}

THistoryMatch THistoryList::Find(const QString &dir) const
{
    for (int i = Count() - 1; i >= 0; --i)
        if (DirectoryOf(Entries.at(i).Path) == dir)
            return THistoryMatch{i, Entries.at(i)};
    THistoryMatch none;
    none.Entry.Path = dir;
    return none;
}

THistoryMatch THistoryList::RemoveDir(const QString &path)
{
    const QString dir = DirectoryOf(path);
    THistoryMatch removed;
    removed.Entry.State = -1;
    for (int i = 0; i < Count();) {
        if (DirectoryOf(Entries.at(i).Path) == dir) {
            removed = THistoryMatch{i, Entries.takeAt(i)};
        } else {
            ++i;
        }
    }
    return removed;
}

QString THistoryList::MenuTitle(const QString &title) const
{
    return title + QStringLiteral(" (") + QString::number(Count()) + QStringLiteral(" items)");
}

QList<int> THistoryList::MenuEntries() const
{
    QList<int> indexes;
    for (int i = Count() - 1; i >= 0 && indexes.size() < MenuCount; --i)
        indexes << i;
    return indexes;
}
