#include "FileBrowser.h"

#include "DirectoryListing.h"
#include "FileOperations.h"
#include "FilePaths.h"
#include "History.h"
#include "MyMath.h"
#include "Partitions.h"

#include <QCollator>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

const QString TFileBrowser::BookFilter = QStringLiteral("*.txt; *.rtf");

const QString TFileBrowser::ListHint = QStringLiteral(
    "Double-click [LMB] (or press [Enter]) to open the file, or enter the directory. Click [Backspace] to explore "
    "the parent directory. Press [/] to load the partitions list.");

namespace {

// Sorts without regard to case in the collation of the reader's language;
// names equal but for case keep a fixed order.
void SortByName(TListedEntries &entries)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QCollatorSortKey, int>> keys;
    keys.reserve(entries.size());
    // Folded first: the collation of the C locale orders by code and would
    // put every capital before every small letter.
    for (int i = 0; i < entries.size(); ++i)
        keys.emplace_back(collator.sortKey(entries.at(i).Text.toCaseFolded()), i);
    std::stable_sort(keys.begin(), keys.end(), [&](const auto &a, const auto &b) {
        const int order = a.first.compare(b.first);
        return order != 0 ? order < 0 : entries.at(a.second).Text < entries.at(b.second).Text;
    });
    TListedEntries sorted;
    sorted.reserve(entries.size());
    for (const auto &key : keys)
        sorted.append(std::move(entries[key.second]));
    entries.swap(sorted);
}

TBrowserItem ItemFrom(TListedEntry &entry)
{
    TBrowserItem item;
    item.Text = std::move(entry.Text);
    item.File = entry.File;
    item.NativeName = std::move(entry.NativeName);
    if (IsDrive(item.Text))
        item.Suffix = GetPartitionSuffix(item.Text);
    return item;
}

} // namespace

TFileBrowser::TFileBrowser(THistoryList &history) : History(history) {}

TFileBrowser::~TFileBrowser() = default;

TBrowserListing TFileBrowser::LoadContent(const QString &path, const QString &selectedText, int currentTop)
{
    TBrowserListing listing;
    QString name = NamePart(path);
    if (name.isEmpty())
        name = selectedText; // the selection of the listing being replaced
    const QString leftDir = BrowserDir;
    BrowserDir = DirectoryPart(path);

    TListedEntries dirs, files;
    QString listedDir;
    int count = 0;
    LoadFilesFromAnyDir(
        BrowserDir, BookFilter, dirs, listedDir, [this](const QString &dir) { History.RemoveDir(ExpandPath(dir)); },
        false, false, -1, count, files);
    BrowserDir = listedDir;

    // The path joins the history when its directory could be listed (a
    // directory given up has just left it). The top index of the listing
    // being replaced belongs to its own directory only; a path elsewhere
    // keeps the top its directory had.
    if (BrowserDir == DirectoryPart(path)) {
        int state = currentTop;
        if (BrowserDir != leftDir) {
            const THistoryMatch known = History.Find(BrowserDir);
            state = known.Index >= 0 ? known.Entry.State : 0;
        }
        History.Add(path, nullptr, false, false, 0, 0, state);
    }
    const THistoryMatch match = History.Find(BrowserDir);
    if (match.Index >= 0) {
        name = NamePart(match.Entry.Path);
        listing.Remembered = true;
        listing.StoredTop = match.Entry.State;
    }
    listing.NameToSelect = name;

    // The partitions list keeps its own order: the home directory first.
    if (!BrowserDir.isEmpty()) {
        SortByName(dirs);
        SortByName(files);
    }
    QList<TBrowserItem> items;
    items.reserve(dirs.size() + files.size());
    for (TListedEntry &entry : dirs)
        items.append(ItemFrom(entry));
    for (TListedEntry &entry : files)
        items.append(ItemFrom(entry));
    ItemList.swap(items);
    return listing;
}

TBrowserSelection TFileBrowser::SelectionFor(const TBrowserListing &listing, int visibleRows) const
{
    TBrowserSelection selection;
    if (ItemList.isEmpty())
        return selection;
    if (listing.NameToSelect.isEmpty()) {
        selection.Index = 0;
        return selection;
    }
    selection.Index = std::max(IndexOf(listing.NameToSelect), 0);
    if (listing.Remembered && listing.StoredTop <= selection.Index
        && selection.Index < listing.StoredTop + std::max(visibleRows, 1))
        selection.TopIndex = listing.StoredTop;
    return selection;
}

int TFileBrowser::IndexOf(const QString &text) const
{
    // An exact match first: Book.txt and book.txt are two books here.
    for (int i = 0; i < Count(); ++i)
        if (ItemList.at(i).Text == text)
            return i;
    for (int i = 0; i < Count(); ++i)
        if (ItemList.at(i).Text.compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TFileBrowser::NoteSelection(int index, int topIndex)
{
    if (index < 0 || index >= Count() || DirectoryPart(BrowserDir).isEmpty())
        return;
    History.Add(BrowserDir + ItemList.at(index).Text, nullptr, false, false, 0, 0, topIndex);
}

TBrowserAction TFileBrowser::OpenItem(int index)
{
    TBrowserAction action;
    if (index < 0 || index >= Count())
        return action;
    const TBrowserItem &item = ItemList.at(index);
    if (item.File) {
        action.Kind = TBrowserAction::OpenBook;
        action.Path = ItemPath(index);
        if (action.Path.isEmpty())
            action.Kind = TBrowserAction::None;
        return action;
    }
    action.Kind = TBrowserAction::Enter;
    action.Path = (BrowserDir.isEmpty() || IsDrive(item.Text)) ? DriveDirectory(item.Text)
                                                               : WithDelimiter(BrowserDir + item.Text);
    return action;
}

QString TFileBrowser::UpPath() const
{
    if (BrowserDir.isEmpty())
        return QString();
    const QString parent = ParentDirectory(BrowserDir);
    return IsDrive(parent) ? parent : WithoutDelimiter(BrowserDir);
}

QString TFileBrowser::PartitionsPath() const { return BareDriveOf(BrowserDir); }

QString TFileBrowser::TypeLabel(const TBrowserItem &item)
{
    if (!item.File)
        return QStringLiteral("Dir");
    return item.Text.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive) ? QStringLiteral("Form")
                                                                          : QStringLiteral("Plain");
}

QString TFileBrowser::PlainName(int index) const
{
    if (index < 0 || index >= Count())
        return QString();
    const QString &text = ItemList.at(index).Text;
    return IsDrive(text) ? WithoutDelimiter(DriveDirectory(text)) : text;
}

QString TFileBrowser::DisplayName(int index) const
{
    if (index < 0 || index >= Count())
        return QString();
    return PlainName(index) + ItemList.at(index).Suffix;
}

QString TFileBrowser::ItemHint(int index) const
{
    QString part;
    if (index >= 0 && index < Count()) {
        const TBrowserItem &item = ItemList.at(index);
        // A name that is not valid UTF-8 cannot be asked its size by name.
        if (item.File && item.NativeName.isEmpty())
            part = QStringLiteral(" SIZE ") + FormatIntegerText(GetFileSize(WithDelimiter(BrowserDir) + item.Text))
                + QStringLiteral(" characters.");
        QString in = NamePart(WithoutDelimiter(BrowserDir));
        if (in.isEmpty())
            in = BrowserDir; // the root directory
        part += QStringLiteral(" NAME \"") + PlainName(index) + QStringLiteral("\" (IN \"") + in
            + QStringLiteral("\").");
    }
    return ListHint + part;
}

QString TFileBrowser::ItemPath(int index)
{
    if (index < 0 || index >= Count())
        return QString();
    const TBrowserItem &item = ItemList.at(index);
    if (item.NativeName.isEmpty())
        return WithDelimiter(BrowserDir) + item.Text;
    if (!LinkDir) {
        LinkDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/lectern-names-XXXXXX"));
        if (!LinkDir->isValid())
            LinkDir.reset();
    }
    return LinkDir
        ? MakeReadableLink(NativeEntryPath(BrowserDir, TListedEntry{item.Text, true, item.NativeName}), LinkDir->path())
        : QString();
}
