// The browser's state and rules, without widgets: the directory it shows,
// its items (subdirectories first, then books, each group sorted), what to
// select when a directory is listed again, what opening an item does, and
// the texts of its list (type labels, names, hints).
//
// The list shows either the partitions list (the directory is empty) or one
// directory. The browser remembers, in its history, which item was selected
// in each directory and how far the list was scrolled, so a directory comes
// back as it was left.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

class QTemporaryDir;
class THistoryList;

struct TBrowserItem {
    QString Text; // a name in the directory, or a bare drive in the partitions list
    bool File = false; // a book; directories and drives are not
    QByteArray NativeName; // the name's bytes when they are not valid UTF-8
    QString Suffix; // for a bare drive: " (Fixed: "label")" and the like
};

// What a listing found to select.
struct TBrowserListing {
    QString NameToSelect; // empty: none
    bool Remembered = false; // the history knew the directory
    int StoredTop = 0; // the top index it remembered
};

// Where the list goes after a listing.
struct TBrowserSelection {
    int Index = -1; // -1: nothing (an empty list)
    int TopIndex = -1; // -1: leave the scrolling to the list
};

// What opening the selected item does.
struct TBrowserAction {
    enum TKind { None, OpenBook, Enter };
    TKind Kind = None;
    QString Path; // the book, or the directory to list
};

class TFileBrowser {
public:
    // The books the browser lists.
    static const QString BookFilter; // "*.txt; *.rtf"

    explicit TFileBrowser(THistoryList &history);
    ~TFileBrowser();
    TFileBrowser(const TFileBrowser &) = delete;
    TFileBrowser &operator=(const TFileBrowser &) = delete;

    // The listed directory with its trailing delimiter; empty while the
    // partitions list is shown.
    const QString &Dir() const { return BrowserDir; }
    const QList<TBrowserItem> &Items() const { return ItemList; }
    int Count() const { return static_cast<int>(ItemList.size()); }

    // Lists the directory that path names (a directory with its delimiter, a
    // file or directory in it, a bare drive, or empty for the partitions
    // list) and finds the name to select: the one the history remembers for
    // the directory, else the path's own name, else (for a path without a
    // name) the item selected before. A directory that cannot be listed
    // falls back to its parent and leaves the history. `selectedText` and
    // `currentTop` describe the listing being replaced.
    TBrowserListing LoadContent(const QString &path, const QString &selectedText, int currentTop);
    // The item to select and the top index to restore: the remembered top
    // only when the item shows with it among `visibleRows` rows.
    TBrowserSelection SelectionFor(const TBrowserListing &listing, int visibleRows) const;

    // Remembers the selected item of the listed directory with the list's
    // top index (nothing for the partitions list).
    void NoteSelection(int index, int topIndex);

    // Opening item `index`: a book is opened, a directory or drive entered.
    TBrowserAction OpenItem(int index);
    // The path "Up" lists: the parent with this directory selected; from the
    // root of a place of the partitions list, its bare drive.
    QString UpPath() const;
    // The path "/" lists: the bare drive of the directory (the partitions
    // list with it selected).
    QString PartitionsPath() const;

    // "Dir", "Plain" (a .txt book) or "Form" (a .rtf book).
    static QString TypeLabel(const TBrowserItem &item);
    // The name shown: the item's text, or a drive's root with its suffix.
    QString DisplayName(int index) const;
    // The name the hint gives: the text, or a drive's root.
    QString PlainName(int index) const;
    // The list's hint with the part for the item under the pointer (-1: none).
    QString ItemHint(int index) const;
    static const QString ListHint;

    // A path that opens the item; for a name that is not valid UTF-8 a link
    // to it under a readable name (empty when none could be made).
    QString ItemPath(int index);
    // Index of the item with this text (case ignored), -1 when absent.
    int IndexOf(const QString &text) const;

private:
    THistoryList &History;
    QString BrowserDir;
    QList<TBrowserItem> ItemList;
    std::unique_ptr<QTemporaryDir> LinkDir; // readable links to odd names
};
