// The bookshelf without a window: the order of the books, the 30-book limit,
// bookmarks that follow their book, the settings sections and the menu.
#include <QtTest>

#include "Bookshelf.h"
#include "ReportRecorder.h"
#include "StoredTextList.h"

namespace {

QString Book(int i) { return QStringLiteral("/books/Book %1.txt").arg(i); }

QStringList Books(const TBookshelf &shelf)
{
    QStringList books;
    for (int i = 0; i < shelf.Count(); ++i)
        books << shelf.Entry(i).Book;
    return books;
}

// A menu that remembers its items and what was asked of it.
class TRecordingMenu : public TBookshelfMenu {
public:
    struct TItem {
        QString Caption;
        int Tag;
        std::function<void()> Click;
    };
    explicit TRecordingMenu(QList<TItem> *items, QPoint *shownAt) : Items(items), ShownAt(shownAt) { items->clear(); }
    void AddItem(const QString &caption, int tag, int, std::function<void()> click) override
    {
        Items->append({caption, tag, std::move(click)});
    }
    void Popup(int x, int y) override { *ShownAt = QPoint(x, y); }
    QList<TItem> *Items;
    QPoint *ShownAt;
};

} // namespace

class TestBookshelf : public QObject {
    Q_OBJECT
private slots:
    void booksComeNewestLast();
    void theThirtyFirstBookDropsTheOldest();
    void aShelvedBookMovesUpWithItsBookmarks();
    void autoBookmarkUpdates_data();
    void autoBookmarkUpdates();
    void numberedBookmarksNeedAShelvedBook();
    void clearingBookmarksAndBooks();
    void pathsAreComparedExactly();
    void savedAndLoadedSections();
    void badStoredValues();
    void unusableCountReadsTheEntriesThere_data();
    void unusableCountReadsTheEntriesThere();
    void dialogListsNewestFirst();
};

void TestBookshelf::booksComeNewestLast()
{
    TBookshelf shelf;
    QCOMPARE(shelf.LastBook(), QString());
    shelf.SetBookmark(Book(1), 0, 1, 10);
    shelf.SetBookmark(Book(2), 0, 3, 20);
    shelf.SetBookmark(QString(), 0, 1, 5); // nothing for no book
    QCOMPARE(Books(shelf), QStringList({Book(1), Book(2)}));
    QCOMPARE(shelf.LastBook(), Book(2));
    int piece = -1;
    QCOMPARE(shelf.GetBookmark(Book(2), 0, piece), 20);
    QCOMPARE(piece, 3);
    // A book that is not on the shelf leaves the piece alone.
    piece = -1;
    QCOMPARE(shelf.GetBookmark(Book(3), 0, piece), -1);
    QCOMPARE(piece, -1);
}

void TestBookshelf::theThirtyFirstBookDropsTheOldest()
{
    TBookshelf shelf;
    for (int i = 1; i <= 30; ++i)
        shelf.SetBookmark(Book(i), 0, 1, i);
    shelf.SetBookmark(Book(1), 2, 1, 99);
    QCOMPARE(shelf.Count(), 30);
    shelf.SetBookmark(Book(31), 0, 1, 31);
    QCOMPARE(shelf.Count(), 30);
    QCOMPARE(shelf.IndexOfBook(Book(1)), -1);
    QCOMPARE(shelf.Entry(0).Book, Book(2));
    QCOMPARE(shelf.LastBook(), Book(31));
    // Book 1 comes back fresh: its old bookmarks went with it.
    shelf.SetBookmark(Book(1), 0, 1, 0);
    QCOMPARE(shelf.GetBookmark(Book(1), 2), -1);
}

void TestBookshelf::aShelvedBookMovesUpWithItsBookmarks()
{
    TBookshelf shelf;
    shelf.SetBookmark(Book(1), 0, 2, 100);
    shelf.SetBookmark(Book(1), 3, 4, 300);
    shelf.SetBookmark(Book(2), 0, 1, 5);
    shelf.SetBookmark(Book(3), 0, 1, 5);
    shelf.SetBookmark(Book(1), 0, 1, 700);
    QCOMPARE(Books(shelf), QStringList({Book(2), Book(3), Book(1)}));
    int piece = 0;
    QCOMPARE(shelf.GetBookmark(Book(1), 3, piece), 300);
    QCOMPARE(piece, 4);
    QCOMPARE(shelf.GetBookmark(Book(1), 0, piece), 700);
    QCOMPARE(piece, 1);
}

void TestBookshelf::autoBookmarkUpdates_data()
{
    QTest::addColumn<bool>("mostRecent");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("expectedPosition");
    QTest::addColumn<bool>("expectedLast");
    // Position -1 only makes the book the most recent one and keeps the
    // stored place (the top lines of a book are no place to remember).
    QTest::newRow("most recent, new place") << true << 500 << 500 << true;
    QTest::newRow("most recent, keep place") << true << -1 << 100 << true;
    QTest::newRow("older, new place") << false << 500 << 500 << true;
    QTest::newRow("older, keep place") << false << -1 << 100 << true;
}

void TestBookshelf::autoBookmarkUpdates()
{
    QFETCH(bool, mostRecent);
    QFETCH(int, position);
    QFETCH(int, expectedPosition);
    QFETCH(bool, expectedLast);
    TBookshelf shelf;
    shelf.SetBookmark(Book(2), 0, 1, 7);
    shelf.SetBookmark(Book(1), 0, 1, 100);
    if (!mostRecent)
        shelf.SetBookmark(Book(2), 0, 1, 7);
    shelf.SetBookmark(Book(1), 0, 1, position);
    QCOMPARE(shelf.GetBookmark(Book(1), 0), expectedPosition);
    QCOMPARE(shelf.LastBook() == Book(1), expectedLast);
    QCOMPARE(shelf.Count(), 2);
}

void TestBookshelf::numberedBookmarksNeedAShelvedBook()
{
    TBookshelf shelf;
    shelf.SetBookmark(Book(1), 3, 1, 40);
    QCOMPARE(shelf.Count(), 0);
    shelf.SetBookmark(Book(1), 0, 1, 0);
    shelf.SetBookmark(Book(1), 3, 2, 40);
    shelf.SetBookmark(Book(1), 6, 1, 1); // no such bookmark
    int piece = 0;
    QCOMPARE(shelf.GetBookmark(Book(1), 3, piece), 40);
    QCOMPARE(piece, 2);
    QCOMPARE(shelf.GetBookmark(Book(1), 6), -1);
    QCOMPARE(shelf.GetBookmark(Book(1), 1), -1);
}

void TestBookshelf::clearingBookmarksAndBooks()
{
    TBookshelf shelf;
    shelf.SetBookmark(Book(1), 0, 1, 0);
    shelf.SetBookmark(Book(2), 0, 1, 0);
    shelf.SetBookmark(Book(3), 0, 1, 0);
    shelf.SetBookmark(Book(2), 5, 3, 90);
    QCOMPARE(shelf.ClearBookmark(Book(2), 5), 1);
    int piece = 7;
    QCOMPARE(shelf.GetBookmark(Book(2), 5, piece), -1);
    QCOMPARE(shelf.Entry(1).Piece[5], 1);
    QCOMPARE(shelf.ClearBookmark(Book(2), 0), 1);
    QCOMPARE(Books(shelf), QStringList({Book(1), Book(3)}));
    QCOMPARE(shelf.ClearBookmark(Book(2), 0), -1);
    QCOMPARE(shelf.ClearBookmark(Book(3), 0), 1);
    QCOMPARE(shelf.LastBook(), Book(1));
}

void TestBookshelf::pathsAreComparedExactly()
{
    TBookshelf shelf;
    shelf.SetBookmark(QStringLiteral("/books/Book.txt"), 0, 1, 10);
    shelf.SetBookmark(QStringLiteral("/books/book.txt"), 0, 1, 20);
    QCOMPARE(shelf.Count(), 2);
    QCOMPARE(shelf.GetBookmark(QStringLiteral("/books/Book.txt"), 0), 10);
    QCOMPARE(shelf.GetBookmark(QStringLiteral("/BOOKS/book.txt"), 0), -1);
}

void TestBookshelf::savedAndLoadedSections()
{
    const QString deep = QLatin1Char('/') + QString(300, QLatin1Char('d')) + QStringLiteral("/Deep Book.txt");
    TBookshelf shelf;
    shelf.SetBookmark(Book(1), 0, 1, 0);
    shelf.SetBookmark(Book(1), 2, 1, 1500);
    shelf.SetBookmark(deep, 0, 4, 123456);
    shelf.SetBookmark(deep, 5, 3, 77);
    TStoredTextList list;
    shelf.SaveToList(list);
    QCOMPARE(list.SaveToBytes(),
             QByteArray("[Lectern_Bookshelf_Main]\r\nCount=2\r\n0=/books/Book 1.txt\r\n1=") + deep.toUtf8()
                 + "\r\n\r\n[Lectern_Bookshelf_CaretPos]\r\n0=0\r\n0_2=1500\r\n1=123456\r\n"
                   "1_5=77\r\n\r\n[Lectern_Bookshelf_Pieces]\r\n0=1\r\n0_2=1\r\n1=4\r\n1_5=3\r\n");

    TStoredTextList file;
    file.LoadFromBytes(list.SaveToBytes());
    TBookshelf again;
    again.SetBookmark(Book(9), 0, 1, 1); // replaced by what the file holds
    again.LoadFromList(file);
    QCOMPARE(Books(again), QStringList({Book(1), deep}));
    int piece = 0;
    QCOMPARE(again.GetBookmark(deep, 0, piece), 123456);
    QCOMPARE(piece, 4);
    QCOMPARE(again.GetBookmark(deep, 5, piece), 77);
    QCOMPARE(piece, 3);
    QCOMPARE(again.GetBookmark(Book(1), 2), 1500);
    QCOMPARE(again.GetBookmark(Book(1), 1), -1);
}

void TestBookshelf::badStoredValues()
{
    TStoredTextList file;
    file.LoadFromBytes("[Lectern_Bookshelf_Main]\nCount=4\n0=/a.txt\n1=\n3=/c.txt\n"
                       "[Lectern_Bookshelf_CaretPos]\n0=-5\n0_1=-2\n0_2=abc\n3=12\n3_4=9\n"
                       "[Lectern_Bookshelf_Pieces]\n0=0\n3=2\n3_4=-1\n");
    TBookshelf shelf;
    shelf.LoadFromList(file);
    // Entries without a book are skipped; bad numbers take their defaults.
    QCOMPARE(Books(shelf), QStringList({"/a.txt", "/c.txt"}));
    int piece = 0;
    QCOMPARE(shelf.GetBookmark(QStringLiteral("/a.txt"), 0, piece), 0);
    QCOMPARE(piece, 1);
    QCOMPARE(shelf.GetBookmark(QStringLiteral("/a.txt"), 1), -1);
    QCOMPARE(shelf.GetBookmark(QStringLiteral("/c.txt"), 4, piece), 9);
    QCOMPARE(piece, 1);

    // A count out of range reads the entries that are there.
    file.LoadFromBytes("[Lectern_Bookshelf_Main]\nCount=31\n0=/a.txt\n");
    shelf.LoadFromList(file);
    QCOMPARE(Books(shelf), QStringList({"/a.txt"}));
}

void TestBookshelf::unusableCountReadsTheEntriesThere_data()
{
    QTest::addColumn<QByteArray>("count");
    QTest::addColumn<int>("expected");
    QTest::newRow("far too large") << QByteArray("Count=99999\n") << 12;
    QTest::newRow("31") << QByteArray("Count=31\n") << 12;
    QTest::newRow("negative") << QByteArray("Count=-3\n") << 12;
    QTest::newRow("no number") << QByteArray("Count=twelve\n") << 12;
    QTest::newRow("empty") << QByteArray("Count=\n") << 12;
    QTest::newRow("beyond int") << QByteArray("Count=99999999999999999999\n") << 12;
    QTest::newRow("in range counts") << QByteArray("Count=5\n") << 5;
    QTest::newRow("missing: an empty shelf") << QByteArray() << 0;
}

void TestBookshelf::unusableCountReadsTheEntriesThere()
{
    QFETCH(QByteArray, count);
    QFETCH(int, expected);
    // Twelve books with their bookmarks, as the program writes them, and
    // keys beyond the 30 a shelf holds.
    TBookshelf written;
    for (int i = 0; i < 12; ++i) {
        written.SetBookmark(Book(i), 0, 1 + i % 3, 100 * i);
        written.SetBookmark(Book(i), 2, 2, 1000 + i);
    }
    TStoredTextList list;
    written.SaveToList(list);
    list.WriteText(QStringLiteral("Lectern_Bookshelf_Main"), QStringLiteral("30"), Book(30));
    QByteArray bytes = list.SaveToBytes();
    bytes.replace("Count=12\r\n", count);

    TStoredTextList file;
    file.LoadFromBytes(bytes);
    TBookshelf shelf;
    shelf.LoadFromList(file);
    QCOMPARE(shelf.Count(), expected);
    for (int i = 0; i < expected; ++i) {
        QCOMPARE(shelf.Entry(i).Book, Book(i));
        int piece = 0;
        QCOMPARE(shelf.GetBookmark(Book(i), 0, piece), 100 * i);
        QCOMPARE(piece, 1 + i % 3);
        QCOMPARE(shelf.GetBookmark(Book(i), 2, piece), 1000 + i);
        QCOMPARE(piece, 2);
    }
}

void TestBookshelf::dialogListsNewestFirst()
{
    TReportRecorder reports;
    QList<TRecordingMenu::TItem> items;
    QPoint shownAt;
    TBookshelf shelf;
    shelf.MenuFactory = [&] { return std::make_unique<TRecordingMenu>(&items, &shownAt); };
    QStringList picked;
    shelf.OnSelect = [&](const QString &book, TBookshelf::TDialogMode mode) {
        picked << book + (mode == TBookshelf::RemoveMode ? "/remove" : "/open");
    };
    shelf.SetBookmark(Book(1), 0, 1, 0);
    shelf.SetBookmark(Book(2), 0, 1, 0);
    shelf.Dialog(5, 60, TBookshelf::RemoveMode, 100);
    QCOMPARE(shownAt, QPoint(5, 60));
    QCOMPARE(items.size(), 2);
    QCOMPARE(items[0].Caption, Book(2));
    QCOMPARE(items[0].Tag, 1);
    items[1].Click();
    QCOMPARE(picked, QStringList({Book(1) + "/remove"}));

    // Without a menu to show, the reader is told.
    shelf.MenuFactory = nullptr;
    shelf.Dialog(0, 0, TBookshelf::OpenMode, 100);
    QCOMPARE(reports.Messages, QStringList({"Failed to show menu."}));
}

QTEST_GUILESS_MAIN(TestBookshelf)
#include "test_bookshelf.moc"
