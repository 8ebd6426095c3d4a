// The scan of a whole book in pieces: its lines as the pieces read them,
// the chapters of the whole book on their lines, stopping when asked, and
// the open book that maps its places through it.
#include <QtTest>

#include <QSignalSpy>

#include "BookFile.h"
#include "BookScan.h"
#include "EnhancedRichEdit.h"
#include "OpenBook.h"
#include "RichDocument.h"
#include "TempTree.h"

namespace {

TBookEncoding Utf8()
{
    TBookEncoding encoding;
    EncodingFromName(QStringLiteral("UTF-8"), encoding);
    return encoding;
}

// A book of `chapters` chapters of wrapped paragraphs.
QByteArray ChapterBook(int chapters)
{
    QByteArray text = "THE TITLE\n\n";
    for (int c = 1; c <= chapters; ++c) {
        text += "CHAPTER " + QByteArray::number(c) + "\n\n";
        for (int p = 0; p < 12; ++p) {
            for (int l = 0; l < 4; ++l)
                text += "the river ran past the mill and the miller counted the sacks of flour\n";
            text += "\n";
        }
    }
    return text;
}

TBookScanRequest Request(int pieceSize)
{
    TBookScanRequest request;
    request.Encoding = Utf8();
    request.PieceSize = pieceSize;
    return request;
}

} // namespace

class TestBookScan : public QObject {
    Q_OBJECT
private slots:
    void linesAreThoseOfThePieces();
    void chaptersOfTheWholeBookOnTheirLines();
    void cancelledScanIsNotComplete();
    void oddBooksEndToo_data();
    void oddBooksEndToo();
    void scanRunsOffTheThreadAndTells();
    void openBookFindsItsLines();
    void mobyDickHasEveryChapter();
};

void TestBookScan::linesAreThoseOfThePieces()
{
    TTempTree tree;
    const QByteArray bytes = ChapterBook(40);
    const QString path = tree.File(QStringLiteral("book.txt"), bytes);
    const TBookScanResult scan = ScanBook(bytes, Request(10000));
    QVERIFY(scan.Complete);
    QCOMPARE(scan.PieceCount, PieceCount(bytes.size(), 10000));
    QCOMPARE(int(scan.PieceFirstLine.size()), scan.PieceCount + 1);
    QCOMPARE(scan.LineCount, int(bytes.count('\n')));
    TBookEncoding encoding = Utf8();
    for (int piece = 1; piece <= scan.PieceCount; ++piece) {
        QStringList lines;
        QVERIFY(LoadPieceFromFile(path, lines, piece, 10000, &encoding, true));
        QCOMPARE(int(lines.size()), scan.PieceFirstLine[size_t(piece)] - scan.PieceFirstLine[size_t(piece - 1)]);
    }
    QCOMPARE(scan.PieceOfLine(0), 1);
    QCOMPARE(scan.PieceOfLine(scan.LineCount - 1), scan.PieceCount);
    const int second = scan.PieceFirstLine[1];
    QCOMPARE(scan.PieceOfLine(second), 2);
    QCOMPARE(scan.LineInPiece(second + 3), 3);
}

void TestBookScan::chaptersOfTheWholeBookOnTheirLines()
{
    const QByteArray bytes = ChapterBook(40);
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    const TBookScanResult scan = ScanBook(bytes, Request(10000));
    QVERIFY(scan.Chapters);
    QCOMPARE(scan.Chapters->Count(), 40);
    for (int i = 0; i < scan.Chapters->Count(); ++i) {
        const TChapterItem &item = scan.Chapters->Item(i);
        QCOMPARE(lines.at(item.Tag), QStringLiteral("CHAPTER %1").arg(i + 1));
    }
    QVERIFY(scan.LayoutDetected);
    QVERIFY(!scan.PoorlyWritten);
}

void TestBookScan::cancelledScanIsNotComplete()
{
    std::atomic<bool> cancelled{true};
    const TBookScanResult scan = ScanBook(ChapterBook(10), Request(10000), &cancelled);
    QVERIFY(!scan.Complete);
}

void TestBookScan::oddBooksEndToo_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray noise(300000, 0);
    quint32 seed = 99;
    for (char &c : noise) {
        seed = seed * 1103515245u + 12345u;
        c = char(seed >> 24);
    }
    QTest::newRow("one line") << QByteArray("word ").repeated(60000);
    QTest::newRow("random bytes") << noise;
    QTest::newRow("empty lines only") << QByteArray(200000, '\n');
}

void TestBookScan::oddBooksEndToo()
{
    QFETCH(QByteArray, bytes);
    const TBookScanResult scan = ScanBook(bytes, Request(10000));
    QVERIFY(scan.Complete);
    QCOMPARE(scan.PieceCount, PieceCount(bytes.size(), 10000));
}

void TestBookScan::scanRunsOffTheThreadAndTells()
{
    TTempTree tree;
    TBookScanRequest request = Request(10000);
    request.Path = tree.File(QStringLiteral("book.txt"), ChapterBook(30));
    TBookScan scan(request);
    QSignalSpy finished(&scan, &TBookScan::Finished);
    QVERIFY(finished.wait(20000));
    QVERIFY(scan.Result() && scan.Result()->Complete);
    QCOMPARE(scan.Result()->Chapters->Count(), 30);

    // A scan destroyed while it runs stops and tells nothing.
    request.Path = tree.File(QStringLiteral("big.txt"), ChapterBook(3000));
    auto running = std::make_unique<TBookScan>(request);
    running.reset();
}

void TestBookScan::openBookFindsItsLines()
{
    TTempTree tree;
    const QByteArray bytes = ChapterBook(40);
    const QString path = tree.File(QStringLiteral("book.txt"), bytes);
    const TBookOpenCheck check = CheckBookForOpening(path, true, 10000);
    TOpenBook book;
    book.Open(path, check, 10000, true, TBookEncoding());
    QVERIFY(book.WholeBook());
    QCOMPARE(book.BookLineAt(0), -1); // not before the scan
    QVERIFY(book.ScanNow(TBookFormatOptions(), true));
    QCOMPARE(book.LineCount(), int(bytes.count('\n')));
    int piece = 0;
    int line = 0;
    const int chapter = book.Scan()->Chapters->Item(30).Tag;
    QVERIFY(book.FindBookLine(chapter, piece, line));
    QVERIFY(piece > 1);
    TEnhancedRichEdit engine;
    TRichDocument document;
    QVERIFY(book.ReadPlainPiece(piece, TBookFormatOptions(), true, engine, document));
    QVERIFY(book.ShownWithScan());
    const int position = book.PositionOfLine(line);
    QVERIFY(document.GetTextRange(position, position + 10).startsWith(QStringLiteral("CHAPTER 31")));
    QCOMPARE(book.BookLineAt(position), chapter);
    QCOMPARE(book.BookLineAt(position + 3), chapter);
}

void TestBookScan::mobyDickHasEveryChapter()
{
    const QString corpus = qEnvironmentVariable("LECTERN_CORPUS");
    QFile file(corpus + QStringLiteral("/books/moby-dick.txt"));
    if (corpus.isEmpty() || !file.open(QIODevice::ReadOnly))
        QSKIP("the shared corpus is not here");
    const QByteArray bytes = file.readAll();
    const TBookScanResult scan = ScanBook(bytes, Request(50000));
    QVERIFY(scan.Complete);
    QVERIFY(scan.PieceCount >= 20);
    // As many as the whole book enhanced at once gives.
    QVERIFY(scan.Chapters);
    int items = 0;
    for (const TChapterItem &item : scan.Chapters->Items())
        items += item.Caption.startsWith(QStringLiteral("CHAPTER")) ? 1 : 0;
    QVERIFY2(items >= 135, qPrintable(QString::number(items)));
}

QTEST_GUILESS_MAIN(TestBookScan)
#include "test_bookscan.moc"
