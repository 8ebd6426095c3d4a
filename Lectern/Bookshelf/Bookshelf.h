// The bookshelf: the reader's books in progress, at most 30, each with its
// auto-bookmark (where the reader stopped) and five numbered bookmarks. A
// bookmark is a rich-box position with the piece of the book it belongs to.
// The shelf is kept in Lectern.ini in three sections. Book paths are
// compared exactly: Book.txt and book.txt are two books.
#pragma once

#include <QString>
#include <QStringList>

#include "RecentPlaces.h"

#include <array>
#include <functional>
#include <memory>

class TStoredTextList;

struct TBookmark {
    static constexpr int Count = 6; // 0 the auto-bookmark, 1..5 the numbered ones

    QString Book; // full path
    std::array<int, Count> Position; // -1: not set
    std::array<int, Count> Piece; // 1 when not set

    TBookmark();
};

// The popup menu of the shelf: one item per book, most recent first. The
// window gives a widget menu; tests give a recording one.
class TBookshelfMenu {
public:
    virtual ~TBookshelfMenu() = default;
    virtual void AddItem(const QString &caption, int tag, int helpContext, std::function<void()> click) = 0;
    // Shows the menu with its top-left corner at a point of the screen.
    virtual void Popup(int x, int y) = 0;
};
using TBookshelfMenuFactory = std::function<std::unique_ptr<TBookshelfMenu>()>;

class TBookshelf {
public:
    static constexpr int MaxBooks = 30;
    enum TDialogMode { OpenMode = 0, RemoveMode = 1 };

    TBookshelf() = default;
    TBookshelf(const TBookshelf &) = delete;
    TBookshelf &operator=(const TBookshelf &) = delete;

    int Count() const { return BookCount; }
    // Entry `index`, 0 the least recently used.
    const TBookmark &Entry(int index) const { return Entries[index]; }

    int IndexOfBook(const QString &book) const;
    // Position of bookmark k (0..5) of the book, with its piece; -1 when the
    // book is not on the shelf or the bookmark is not set.
    int GetBookmark(const QString &book, int k, int &piece) const;
    int GetBookmark(const QString &book, int k) const;
    // k = 0 puts the book on the shelf as the most recent one (dropping the
    // least recently used when the shelf is full) and, for a position >= 0,
    // stores its auto-bookmark; k = 1..5 stores a numbered bookmark of a book
    // on the shelf. Nothing for an empty book.
    void SetBookmark(const QString &book, int k, int piece, int position);
    // k = 0 takes the book off the shelf; k = 1..5 clears that bookmark.
    // Returns the entry's (former) index, -1 when the book is not shelved.
    int ClearBookmark(const QString &book, int k);
    // The most recent book, or empty text.
    QString LastBook() const;

    // Where the reader is in a book: `position` is the first position of
    // the top line `topLine` (from 0) of piece `piece`. The place is kept
    // among the recent places of every book read; a book on the shelf also
    // becomes the most recent one there and its auto-bookmark moves to the
    // place, unless the place is one of the first five lines of the first
    // piece (where a book shows itself before the reader has gone anywhere).
    // A book that is not on the shelf is not put there.
    void RecordPlace(const QString &book, int piece, int topLine, int position);
    // The place to open a book at: its auto-bookmark when it is on the
    // shelf, else its recent place. False when it has neither.
    bool PlaceOf(const QString &book, int &piece, int &position) const;
    // The book read last, on the shelf or not; empty when none.
    QString LastReadBook() const;
    const TRecentPlaces &Places() const { return RecentPlaces; }

    // Shows the menu of the books at (x, y), most recent first; a pick calls
    // OnSelect with the book and the mode. "Failed to show menu." when it
    // cannot be shown.
    void Dialog(int x, int y, TDialogMode mode, int helpContext);
    TBookshelfMenuFactory MenuFactory;
    std::function<void(const QString &book, TDialogMode mode)> OnSelect;
    TDialogMode LastDialogMode() const { return Mode; }

    // The three "Lectern_Bookshelf_*" sections of the settings file, and the
    // recent places.
    void LoadFromList(const TStoredTextList &list);
    void SaveToList(TStoredTextList &list) const;

private:
    void Append(const TBookmark &entry);
    void RemoveAt(int index);

    std::array<TBookmark, MaxBooks> Entries;
    int BookCount = 0;
    TDialogMode Mode = OpenMode;
    std::unique_ptr<TBookshelfMenu> Menu;
    TRecentPlaces RecentPlaces;
};
