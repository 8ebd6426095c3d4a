// Where the reader is in a book: the auto-bookmark rule of the shelf and the
// recent places kept for every book read, shelved or not.
#include <QtTest>

#include "Bookshelf.h"
#include "StoredTextList.h"

namespace {

QString Book(int i) { return QStringLiteral("/books/Book %1.txt").arg(i); }

} // namespace

class TestPlaces : public QObject {
    Q_OBJECT
private slots:
    void bookReadIsNeverShelved();
    void shelvedAutoBookmarkFollows_data();
    void shelvedAutoBookmarkFollows();
    void removedBookStaysRemoved();
    void shelfPlaceComesFirst();
    void mostRecentPlacesKept();
    void placesRoundTripWhateverTheCount_data();
    void placesRoundTripWhateverTheCount();
};

void TestPlaces::bookReadIsNeverShelved()
{
    TBookshelf shelf;
    shelf.RecordPlace(Book(1), 2, 40, 5288);
    QCOMPARE(shelf.Count(), 0);
    int piece = 0;
    int position = 0;
    QVERIFY(shelf.PlaceOf(Book(1), piece, position));
    QCOMPARE(piece, 2);
    QCOMPARE(position, 5288);
    QCOMPARE(shelf.LastReadBook(), Book(1));
    QVERIFY(!shelf.PlaceOf(Book(2), piece, position));
    // A place before the start of a book means nothing.
    shelf.RecordPlace(Book(3), 1, 0, -1);
    QCOMPARE(shelf.LastReadBook(), Book(1));
}

void TestPlaces::shelvedAutoBookmarkFollows_data()
{
    QTest::addColumn<int>("piece");
    QTest::addColumn<int>("topLine");
    QTest::addColumn<int>("stored");
    QTest::newRow("deep in piece 1") << 1 << 200 << 9000;
    QTest::newRow("line 5 of piece 1") << 1 << 5 << 9000;
    QTest::newRow("line 4 of piece 1 keeps the place") << 1 << 4 << 700;
    QTest::newRow("top of piece 2") << 2 << 0 << 9000;
}

void TestPlaces::shelvedAutoBookmarkFollows()
{
    QFETCH(int, piece);
    QFETCH(int, topLine);
    QFETCH(int, stored);
    TBookshelf shelf;
    shelf.SetBookmark(Book(1), 0, 1, 700);
    shelf.SetBookmark(Book(2), 0, 1, 10);
    shelf.RecordPlace(Book(1), piece, topLine, 9000);
    QCOMPARE(shelf.LastBook(), Book(1)); // the book read is the most recent
    int storedPiece = 0;
    QCOMPARE(shelf.GetBookmark(Book(1), 0, storedPiece), stored);
    QCOMPARE(storedPiece, stored == 700 ? 1 : piece);
}

void TestPlaces::removedBookStaysRemoved()
{
    TBookshelf shelf;
    shelf.SetBookmark(Book(1), 0, 1, 100);
    shelf.SetBookmark(Book(1), 3, 1, 400);
    QCOMPARE(shelf.ClearBookmark(Book(1), 0), 0);
    shelf.RecordPlace(Book(1), 1, 90, 4000);
    QCOMPARE(shelf.Count(), 0);
    QCOMPARE(shelf.GetBookmark(Book(1), 3), -1);
    int piece = 0;
    int position = 0;
    QVERIFY(shelf.PlaceOf(Book(1), piece, position)); // its place is still known
    QCOMPARE(position, 4000);
}

// A shelved book opens at its auto-bookmark, which the first lines of the
// book do not move, even where its recent place says otherwise.
void TestPlaces::shelfPlaceComesFirst()
{
    TBookshelf shelf;
    shelf.SetBookmark(Book(1), 0, 1, 3000);
    shelf.RecordPlace(Book(1), 1, 2, 40);
    int piece = 0;
    int position = 0;
    QVERIFY(shelf.PlaceOf(Book(1), piece, position));
    QCOMPARE(position, 3000);
}

void TestPlaces::mostRecentPlacesKept()
{
    TBookshelf shelf;
    for (int i = 0; i < TRecentPlaces::MaxPlaces + 20; ++i)
        shelf.RecordPlace(Book(i), 1, 10, i);
    QCOMPARE(shelf.Places().Count(), TRecentPlaces::MaxPlaces);
    int piece = 0;
    int position = 0;
    QVERIFY(!shelf.PlaceOf(Book(19), piece, position));
    QVERIFY(shelf.PlaceOf(Book(20), piece, position));
    // Reading a book again makes it the most recent without a second entry.
    shelf.RecordPlace(Book(20), 3, 10, 77);
    QCOMPARE(shelf.Places().Count(), TRecentPlaces::MaxPlaces);
    QCOMPARE(shelf.LastReadBook(), Book(20));
}

void TestPlaces::placesRoundTripWhateverTheCount_data()
{
    QTest::addColumn<QString>("count");
    QTest::newRow("as written") << QString();
    QTest::newRow("too big") << QStringLiteral("99999");
    QTest::newRow("negative") << QStringLiteral("-4");
    QTest::newRow("not a number") << QStringLiteral("many");
}

void TestPlaces::placesRoundTripWhateverTheCount()
{
    QFETCH(QString, count);
    TBookshelf shelf;
    shelf.RecordPlace(Book(1), 1, 50, 1200);
    shelf.RecordPlace(Book(2), 4, 0, 0);
    shelf.SetBookmark(Book(3), 0, 1, 9);
    TStoredTextList list;
    shelf.SaveToList(list);
    QByteArray bytes = list.SaveToBytes();
    QVERIFY(bytes.contains("[Lectern_Places]\r\nCount=2\r\n"));
    if (!count.isEmpty())
        bytes.replace("[Lectern_Places]\r\nCount=2", "[Lectern_Places]\r\nCount=" + count.toUtf8());
    TStoredTextList read;
    read.LoadFromBytes(bytes);
    TBookshelf back;
    back.LoadFromList(read);
    int piece = 0;
    int position = 0;
    QVERIFY(back.PlaceOf(Book(1), piece, position));
    QCOMPARE(position, 1200);
    QVERIFY(back.PlaceOf(Book(2), piece, position));
    QCOMPARE(piece, 4);
    QCOMPARE(back.LastReadBook(), Book(2));
    QCOMPARE(back.Count(), 1);
}

QTEST_GUILESS_MAIN(TestPlaces)
#include "test_places.moc"
