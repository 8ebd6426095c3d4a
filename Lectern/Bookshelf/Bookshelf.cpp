#include "Bookshelf.h"

#include <limits>

#include "FunStatContext.h"
#include "Program.h"
#include "StoredTextList.h"

namespace {

const QString MainSection = QStringLiteral("Lectern_Bookshelf_Main");
const QString PositionSection = QStringLiteral("Lectern_Bookshelf_CaretPos");
const QString PieceSection = QStringLiteral("Lectern_Bookshelf_Pieces");
constexpr int MaxInt = std::numeric_limits<int>::max();

QString BookmarkKey(int n, int k) { return QString::number(n) + QLatin1Char('_') + QString::number(k); }

bool IsNumbered(int k) { return k >= 1 && k < TBookmark::Count; }

// How many entry keys to read. A missing count means an empty shelf; a
// count that is out of range or no number at all (a file edited by hand or
// damaged) reads every entry key there is, "0" to "29", so one bad value
// does not lose the books.
int StoredCount(const TStoredTextList &list)
{
    const QString key = QStringLiteral("Count");
    int count = -1;
    list.ReadInt(MainSection, key, count, TBookshelf::MaxBooks, 0);
    if (count >= 0)
        return count;
    return list.Text().Find(MainSection, key) ? TBookshelf::MaxBooks : 0;
}

} // namespace

TBookmark::TBookmark()
{
    Position.fill(-1);
    Piece.fill(1);
}

int TBookshelf::IndexOfBook(const QString &book) const
{
    for (int i = 0; i < BookCount; ++i)
        if (Entries[i].Book == book)
            return i;
    return -1;
}

int TBookshelf::GetBookmark(const QString &book, int k, int &piece) const
{
    const int index = IndexOfBook(book);
    if (index < 0 || k < 0 || k >= TBookmark::Count || Entries[index].Position[k] < 0)
        return -1;
    piece = Entries[index].Piece[k];
    return Entries[index].Position[k];
}

int TBookshelf::GetBookmark(const QString &book, int k) const
{
    int piece = 1;
    return GetBookmark(book, k, piece);
}

void TBookshelf::SetBookmark(const QString &book, int k, int piece, int position)
{
    if (book.isEmpty())
        return;
    const int index = IndexOfBook(book);
    if (IsNumbered(k)) {
        if (index >= 0) {
            Entries[index].Position[k] = position;
            Entries[index].Piece[k] = piece;
        }
        return;
    }
    if (k != 0)
        return;
    if (index >= 0 && index == BookCount - 1) {
        if (position >= 0) {
            Entries[index].Position[0] = position;
            Entries[index].Piece[0] = piece;
        }
        return;
    }
    // The book moves to the most recent place with all its bookmarks, or
    // comes new, pushing the least recently used off a full shelf.
    TBookmark entry;
    if (index >= 0) {
        entry = Entries[index];
        RemoveAt(index);
    }
    if (BookCount == MaxBooks)
        RemoveAt(0);
    entry.Book = book;
    if (position >= 0) {
        entry.Position[0] = position;
        entry.Piece[0] = piece;
    }
    Append(entry);
}

int TBookshelf::ClearBookmark(const QString &book, int k)
{
    const int index = IndexOfBook(book);
    if (index < 0)
        return -1;
    if (k == 0) {
        RemoveAt(index);
    } else if (IsNumbered(k)) {
        Entries[index].Position[k] = -1;
        Entries[index].Piece[k] = 1;
    }
    return index;
}

void TBookshelf::RecordPlace(const QString &book, int piece, int topLine, int position)
{
    if (book.isEmpty() || position < 0)
        return;
    RecentPlaces.Record(book, piece, position);
    if (IndexOfBook(book) < 0)
        return;
    const bool beyondTheOpening = topLine > 4 || piece > 1;
    SetBookmark(book, 0, piece, beyondTheOpening ? position : -1);
}

bool TBookshelf::PlaceOf(const QString &book, int &piece, int &position) const
{
    position = GetBookmark(book, 0, piece);
    if (position >= 0)
        return true;
    TBookPlace place;
    if (!RecentPlaces.Find(book, place))
        return false;
    piece = place.Piece;
    position = place.Position;
    return true;
}

QString TBookshelf::LastReadBook() const
{
    const QString last = RecentPlaces.LastBook();
    return last.isEmpty() ? LastBook() : last;
}

QString TBookshelf::LastBook() const { return BookCount > 0 ? Entries[BookCount - 1].Book : QString(); }

void TBookshelf::Append(const TBookmark &entry) { Entries[BookCount++] = entry; }

void TBookshelf::RemoveAt(int index)
{
    for (int i = index; i + 1 < BookCount; ++i)
        Entries[i] = Entries[i + 1];
    --BookCount;
    Entries[BookCount] = TBookmark();
}

void TBookshelf::Dialog(int x, int y, TDialogMode mode, int helpContext)
{
    FUN_BEGIN("TBookshelf::Dialog");
    try {
        Mode = mode;
        Menu.reset();
        if (!MenuFactory)
            LECTERN_THROW(QStringLiteral("No menu."));
        Menu = MenuFactory();
        for (int i = BookCount - 1; i >= 0; --i) {
            const QString book = Entries[i].Book;
            Menu->AddItem(book, i, helpContext, [this, book] {
                if (OnSelect)
                    OnSelect(book, Mode);
            });
        }
        Menu->Popup(x, y);
    }
    FUN_CATCH
    if (FUN_FAILED())
        Menu.reset();
    FUN_END_SHOW(QStringLiteral("Failed to show menu."));
}

void TBookshelf::LoadFromList(const TStoredTextList &list)
{
    RecentPlaces.LoadFromList(list);
    while (BookCount > 0)
        RemoveAt(BookCount - 1);
    for (int n = 0, count = StoredCount(list); n < count; ++n) {
        const QString key = QString::number(n);
        QString book;
        list.ReadText(MainSection, key, false, book, MaxPathLength);
        if (book.isEmpty())
            continue;
        int position = 0;
        int piece = 1;
        list.ReadInt(PositionSection, key, position, MaxInt, 0);
        list.ReadInt(PieceSection, key, piece, MaxInt, 1);
        SetBookmark(book, 0, piece, position);
        for (int k = 1; k < TBookmark::Count; ++k) {
            int markPosition = -1;
            int markPiece = 1;
            list.ReadInt(PositionSection, BookmarkKey(n, k), markPosition, MaxInt, -1);
            list.ReadInt(PieceSection, BookmarkKey(n, k), markPiece, MaxInt, 1);
            SetBookmark(book, k, markPiece, markPosition);
        }
    }
}

void TBookshelf::SaveToList(TStoredTextList &list) const
{
    list.WriteInt(MainSection, QStringLiteral("Count"), BookCount);
    for (int n = 0; n < BookCount; ++n) {
        const TBookmark &entry = Entries[n];
        const QString key = QString::number(n);
        list.WriteText(MainSection, key, entry.Book);
        list.WriteInt(PositionSection, key, entry.Position[0]);
        list.WriteInt(PieceSection, key, entry.Piece[0]);
        for (int k = 1; k < TBookmark::Count; ++k) {
            if (entry.Position[k] < 0)
                continue;
            list.WriteInt(PositionSection, BookmarkKey(n, k), entry.Position[k]);
            list.WriteInt(PieceSection, BookmarkKey(n, k), entry.Piece[k]);
        }
    }
    RecentPlaces.SaveToList(list);
}
