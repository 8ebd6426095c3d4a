// Pieces that show whole lines: the pieces of a book share nothing, miss
// nothing, never cut a word, and start where a paragraph does when one is
// near.
#include <QtTest>

#include "BookText.h"
#include "PieceSeams.h"

namespace {

TBookEncoding Encoding(const char *name)
{
    TBookEncoding encoding;
    EncodingFromName(QString::fromLatin1(name), encoding);
    return encoding;
}

// Paragraphs of wrapped lines separated by empty lines (or not).
QByteArray Prose(int bytes, const QByteArray &lineEnd, bool emptyLines)
{
    const QByteArray words[] = {"river", "mill", "miller", "sacks", "flour", "evening", "bell", "valley"};
    QByteArray text;
    int n = 0;
    while (text.size() < bytes) {
        QByteArray line;
        while (line.size() < 60)
            line += words[n++ % 8] + ' ';
        text += line.trimmed() + lineEnd;
        if (emptyLines && n % 40 < 8)
            text += lineEnd;
    }
    return text;
}

} // namespace

class TestPieceSeams : public QObject {
    Q_OBJECT
private slots:
    void piecesCoverTheBookOnce_data();
    void piecesCoverTheBookOnce();
    void seamsPreferParagraphs();
    void longLineIsCutBetweenWords();
    void utf16SeamsFallOnCharacters_data();
    void utf16SeamsFallOnCharacters();
};

void TestPieceSeams::piecesCoverTheBookOnce_data()
{
    QTest::addColumn<QByteArray>("book");
    QTest::addColumn<int>("pieceSize");
    QTest::newRow("LF, empty lines") << Prose(120000, "\n", true) << 10000;
    QTest::newRow("CR LF, no empty lines") << Prose(120000, "\r\n", false) << 10000;
    QTest::newRow("CR CR LF") << Prose(60000, "\r\r\n", true) << 10000;
    QTest::newRow("CR only") << Prose(60000, "\r", false) << 20000;
    QTest::newRow("smaller than a piece") << Prose(3000, "\n", true) << 10000;
}

void TestPieceSeams::piecesCoverTheBookOnce()
{
    QFETCH(QByteArray, book);
    QFETCH(int, pieceSize);
    const TBookEncoding encoding = Encoding("UTF-8");
    const int count = PieceCount(book.size(), pieceSize);
    qint64 next = 0;
    for (int piece = 1; piece <= count; ++piece) {
        const TSeamedPiece seamed = SeamedPieceRange(book, piece, pieceSize, encoding);
        QVERIFY(seamed.Ok);
        QCOMPARE(seamed.Range.Start, next);
        QVERIFY2(seamed.Range.Length > 0, qPrintable(QString::number(piece)));
        QVERIFY(!seamed.Edges.CutAtStart && !seamed.Edges.CutAtEnd);
        if (piece > 1) {
            const char before = book.at(seamed.Range.Start - 1);
            QVERIFY2(before == '\n' || before == '\r', qPrintable(QString::number(piece)));
            QVERIFY(book.at(seamed.Range.Start) != '\n');
            // Near its nominal edge, before it only for the book's last line.
            QVERIFY(seamed.Range.Start >= qint64(piece - 1) * pieceSize || piece == count);
            QVERIFY(seamed.Range.Start < qint64(piece - 1) * pieceSize + SeamWindow);
        }
        next = seamed.Range.Start + seamed.Range.Length;
    }
    QCOMPARE(next, qint64(book.size()));
}

void TestPieceSeams::seamsPreferParagraphs()
{
    const QByteArray book = Prose(100000, "\n", true);
    for (int piece = 2; piece < PieceCount(book.size(), 10000); ++piece) {
        const qint64 start = SeamedPieceRange(book, piece, 10000, Encoding("UTF-8")).Range.Start;
        QVERIFY2(book.mid(start - 2, 2) == "\n\n", qPrintable(QString::number(piece)));
    }
}

// A book of one line (or of one word): cut between words, else between
// characters, never inside one.
void TestPieceSeams::longLineIsCutBetweenWords()
{
    QByteArray line;
    while (line.size() < 100000)
        line += "word\xC3\xA9 ";
    const TSeamedPiece second = SeamedPieceRange(line, 2, 10000, Encoding("UTF-8"));
    QCOMPARE(line.at(second.Range.Start - 1), ' ');
    QVERIFY(second.Range.Start < 10000 + 20);

    const QByteArray word = QByteArray("\xC3\xA9").repeated(60000);
    const TSeamedPiece cut = SeamedPieceRange(word, 2, 10000, Encoding("UTF-8"));
    QCOMPARE(cut.Range.Start % 2, 0); // on a character
    QCOMPARE(uchar(word.at(cut.Range.Start)), uchar(0xC3));
}

void TestPieceSeams::utf16SeamsFallOnCharacters_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("little endian") << QByteArray("UTF-16LE");
    QTest::newRow("big endian") << QByteArray("UTF-16BE");
}

void TestPieceSeams::utf16SeamsFallOnCharacters()
{
    QFETCH(QByteArray, name);
    const QString text = QString::fromLatin1(Prose(50000, "\n", true));
    const QByteArray book = name == "UTF-16LE" ? QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2)
                                               : QStringEncoder(QStringEncoder::Utf16BE).encode(text);
    const TBookEncoding encoding = Encoding(name.constData());
    QVERIFY(encoding.IsUtf16());
    for (int piece = 2; piece <= PieceCount(book.size(), 10001); ++piece) {
        const qint64 start = SeamedPieceRange(book, piece, 10001, encoding).Range.Start;
        QCOMPARE(start % 2, 0);
        QCOMPARE(text.at(start / 2 - 1), QLatin1Char('\n'));
    }
}

int RunPieceSeamsTests(int argc, char **argv)
{
    TestPieceSeams test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_pieceseams.moc"
