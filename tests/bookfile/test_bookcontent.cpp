// Telling text books from other files: UTF-16 without a byte order mark,
// binary files named like books, and the verdict the window asks about.
#include "BookContent.h"
#include "BookFile.h"
#include "TempTree.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray Utf16Bytes(const QString &text, bool bigEndian)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

QByteArray RandomBytes(qsizetype size)
{
    QRandomGenerator random(4711);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

QByteArray RepeatedBytes(const QByteArray &line, qsizetype size)
{
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += line;
    return bytes;
}

QString RepeatedText(const QString &line, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

// The bytes of a literal, NULs included.
template<qsizetype N> QByteArray Bytes(const char (&literal)[N]) { return QByteArray(literal, N - 1); }

TEncodingSample SampleOf(const QByteArray &bytes) { return SampleBookEncoding(bytes); }

} // namespace

class TestBookContent : public QObject {
    Q_OBJECT
private slots:
    void utf16WithoutBom_data();
    void utf16WithoutBom();
    void utf16PiecesAtOddOffsets();
    void notUtf16_data();
    void notUtf16();
    void looksLikeText_data();
    void looksLikeText();
    void openVerdicts();
    void corpusBooksAreText();

private:
    QString Write(const QString &name, const QByteArray &bytes) { return Tree.File(name, bytes); }
    TTempTree Tree;
};

void TestBookContent::utf16WithoutBom_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bigEndian");
    const QString latin
        = RepeatedText(QStringLiteral(u"It was the best of times, it was the worst of times; café.\r\n"), 300);
    const QString cyrillic = RepeatedText(QStringLiteral(u"Все счастливые семьи похожи друг на друга.\r\n"), 300);
    const QString japanese = RepeatedText(QStringLiteral(u"　吾輩は猫である。名前はまだ無い。一二三。\r\n"), 300);
    const QString chinese = RepeatedText(QStringLiteral(u"天下大势，分久必合，合久必分。\n"), 300);
    for (const bool big : {false, true}) {
        const char *order = big ? ", BE" : ", LE";
        QTest::addRow("Latin%s", order) << latin << big;
        QTest::addRow("Cyrillic%s", order) << cyrillic << big;
        QTest::addRow("Japanese with ideographic spaces%s", order) << japanese << big;
        QTest::addRow("Chinese%s", order) << chinese << big;
        QTest::addRow("a short line%s", order) << QStringLiteral("Hello there") << big;
        QTest::addRow("emoji and letters%s", order)
            << RepeatedText(QString::fromUtf8("Smile \xF0\x9F\x98\x80 please.\n"), 100) << big;
    }
}

void TestBookContent::utf16WithoutBom()
{
    QFETCH(QString, text);
    QFETCH(bool, bigEndian);
    const QByteArray bytes = Utf16Bytes(text, bigEndian);
    const TBookEncoding encoding = DetectBookEncoding(bytes);
    QVERIFY(encoding.IsUtf16());
    QCOMPARE(encoding.IsBigEndian(), bigEndian);
    QCOMPARE(DecodeBookBytes(bytes, TBookEncoding()), text);
    QVERIFY(LooksLikeTextBook(SampleOf(bytes)));

    // Read from a file, whole: the lines are the text's.
    const QString path = Write(QStringLiteral("utf16.txt"), bytes);
    QStringList lines;
    TBookEncoding found;
    QVERIFY(ReadWholeBook(path, lines, &found));
    QCOMPARE(found.Name, encoding.Name);
    QCOMPARE(lines, SplitBookLines(text));
}

void TestBookContent::utf16PiecesAtOddOffsets()
{
    // A piece size of 10001 makes every other piece start at an odd offset;
    // each piece reads the characters of its range, none garbled.
    const QString text = RepeatedText(QStringLiteral(u"Grüße aus dem Buch ohne Byte-Order-Mark, Привет мир.\n"), 800);
    for (const bool big : {false, true}) {
        const QString path = Write(big ? QStringLiteral("be.txt") : QStringLiteral("le.txt"), Utf16Bytes(text, big));
        const int pieceSize = 10001;
        const int count = PieceCount(text.size() * 2, pieceSize);
        QVERIFY(count > 4);
        TBookEncoding encoding;
        for (int piece = 1; piece <= count; ++piece) {
            QStringList lines;
            QVERIFY(LoadPieceFromFile(path, lines, piece, pieceSize, &encoding));
            QCOMPARE(encoding.IsBigEndian(), big);
            const QString joined = lines.join(QLatin1Char('\n'));
            QVERIFY2(!joined.contains(QChar(0xFFFD)), qPrintable(QStringLiteral("piece %1").arg(piece)));
            // The piece starts at the character its byte range starts in (or the next one).
            const qint64 start = PieceByteRange(piece, pieceSize, text.size() * 2).Start;
            QVERIFY2(text.mid((start + 1) / 2).startsWith(joined.left(40)), qPrintable(joined.left(40)));
        }
    }
}

void TestBookContent::notUtf16_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("looksLikeText");
    QTest::newRow("ASCII text") << RepeatedBytes(QByteArray("An ordinary line of text.\r\n"), 20000) << true;
    QByteArray nulls = RepeatedBytes(QByteArray("Text with a stray NUL now and then.\n"), 20000);
    for (qsizetype at = 17; at < nulls.size(); at += 4001)
        nulls[at] = '\0';
    QTest::newRow("8-bit text with a stray NUL now and then") << nulls << true;
    QTest::newRow("random bytes") << RandomBytes(70000) << false;
    QByteArray words;
    for (int i = 0; words.size() < 70000; ++i)
        words += QByteArray::number(i * 7919, 16) + QByteArray(i % 3 + 1, '\0');
    QTest::newRow("NUL-separated records") << words << false;
}

void TestBookContent::notUtf16()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, looksLikeText);
    QVERIFY(!Utf16FromPattern(SampleOf(bytes)).IsDecided());
    QVERIFY(!DetectBookEncoding(SampleOf(bytes)).IsUtf16());
    QCOMPARE(LooksLikeTextBook(SampleOf(bytes)), looksLikeText);
}

void TestBookContent::looksLikeText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("text");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("Windows-1252 with accents")
        << RepeatedBytes(QByteArray("\x93\xC0 la fa\xE7on de l\x92\xE9t\xE9\x94, dit-il \x96 na\xEFve.\r\n"), 100000)
        << true;
    QTest::newRow("Windows-1251") << RepeatedBytes(
        QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2, \xea\xe0\xea \xe4\xe5\xeb\xe0? \xdd\xf2\xee \xf2\xe5\xea\xf1\xf2.\n"),
        50000) << true;
    QTest::newRow("UTF-8") << RepeatedBytes(QStringLiteral(u"Grüße, “Anführung” — 日本語.\n").toUtf8(), 50000) << true;
    QTest::newRow("form feeds and ESC") << RepeatedBytes(
        QByteArray("Page text goes here and on.\r\n\x0C\x1B[1mBold\x1B[0m title\r\n"), 60000)
                                        << true;
    QTest::newRow("a DOS end of file") << QByteArray("The end.\r\n\x1A") << true;
    QTest::newRow("UTF-16 LE with its mark")
        << "\xFF\xFE" + Utf16Bytes(QStringLiteral("Marked text.\r\n"), false) << true;
    QTest::newRow("UTF-16 LE mark before binary") << "\xFF\xFE" + RandomBytes(5000) << false;
    QTest::newRow("random bytes") << RandomBytes(200000) << false;
    QTest::newRow("PNG") << Bytes("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\1\0") << false;
    QTest::newRow("PDF") << QByteArray("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Type /Catalog >>\nendobj\n") << false;
    QTest::newRow("JPEG") << Bytes("\xFF\xD8\xFF\xE0\0\x10JFIF\0") << false;
    QTest::newRow("GIF") << Bytes("GIF89a\x01\0\x01\0") << false;
    QTest::newRow("ZIP, EPUB, DOCX") << Bytes("PK\3\4\x14\0\0\0\0\0mimetypeapplication/epub+zip") << false;
    QTest::newRow("gzip") << Bytes("\x1F\x8B\x08\0\0\0\0\0") << false;
    QTest::newRow("ELF") << Bytes("\x7F"
                                  "ELF\2\1\1\0")
                         << false;
    QTest::newRow("control characters") << RepeatedBytes(QByteArray("Bell\x07 and backspace\x08 in every line.\n"),
                                                         50000)
                                        << false;
}

void TestBookContent::looksLikeText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, text);
    QCOMPARE(LooksLikeTextBook(SampleOf(bytes)), text);
}

void TestBookContent::openVerdicts()
{
    // Five megabytes of random bytes named .txt: the question, and what the
    // size checks decided for the Yes.
    const QString random = Write(QStringLiteral("random.txt"), RandomBytes(5000000));
    TBookOpenCheck check = CheckBookForOpening(random, false, 50000);
    QCOMPARE(check.Verdict, TBookOpenVerdict::AskNotText);
    QCOMPARE(check.Text, QStringLiteral("This file does not look like a text book. Open it anyway?"));
    QVERIFY(!check.LooksLikeText);
    QCOMPARE(check.SizeVerdict, TBookOpenVerdict::AskOnePiece);
    QCOMPARE(check.PieceCount, 100);
    const TBookOpenCheck yes = OpenNotTextAnyway(check);
    QCOMPARE(yes.Verdict, TBookOpenVerdict::AskOnePiece);
    QCOMPARE(yes.Text, OnePieceQuestionText());
    QCOMPARE(yes.PieceCount, 100);
    check = CheckBookForOpening(random, true, 50000);
    QCOMPARE(check.SizeVerdict, TBookOpenVerdict::Open);
    QCOMPARE(check.ListCount, 100);
    QCOMPARE(OpenNotTextAnyway(check).Verdict, TBookOpenVerdict::Open);
    QVERIFY(OpenNotTextAnyway(check).Text.isEmpty());

    // A picture named .txt; a text book; an empty file.
    const QString png = Write(QStringLiteral("picture.txt"), Bytes("\x89PNG\r\n\x1A\n\0\0\0\rIHDR"));
    QCOMPARE(CheckBookForOpening(png, true, 50000).Verdict, TBookOpenVerdict::AskNotText);
    const QString book = Write(QStringLiteral("book.txt"), "A short book.\r\n");
    check = CheckBookForOpening(book, true, 50000);
    QCOMPARE(check.Verdict, TBookOpenVerdict::Open);
    QVERIFY(check.LooksLikeText);
    QCOMPARE(OpenNotTextAnyway(check).Verdict, TBookOpenVerdict::Open);
    check = CheckBookForOpening(Write(QStringLiteral("empty.txt"), QByteArray()), true, 50000);
    QCOMPARE(check.Verdict, TBookOpenVerdict::Empty);
    QVERIFY(check.LooksLikeText);

    // RTF names: RTF is left to its reader; anything else is judged.
    const QString rtf = Write(QStringLiteral("doc.rtf"), Bytes("\xEF\xBB\xBF{\\rtf1\\ansi \\'e9\\bin4 \0\1\2\3}"));
    QCOMPARE(CheckBookForOpening(rtf, true, 50000).Verdict, TBookOpenVerdict::Open);
    const QString fake = Write(QStringLiteral("fake.rtf"), RandomBytes(3000));
    QCOMPARE(CheckBookForOpening(fake, true, 50000).Verdict, TBookOpenVerdict::AskNotText);
    const QString plain = Write(QStringLiteral("plain.rtf"), "Plain text named .rtf.\n");
    QCOMPARE(CheckBookForOpening(plain, true, 50000).Verdict, TBookOpenVerdict::Open);
}

void TestBookContent::corpusBooksAreText()
{
    QStringList books;
    const QString corpus = qEnvironmentVariable("LECTERN_CORPUS");
    for (const char *kind : {"books", "rtf"}) {
        const QDir dir(corpus + QLatin1Char('/') + QLatin1String(kind));
        if (!corpus.isEmpty() && dir.exists())
            for (const QString &name : dir.entryList({QStringLiteral("*.txt"), QStringLiteral("*.rtf")}, QDir::Files))
                books << dir.filePath(name);
    }
    const QString source = qEnvironmentVariable("LECTERN_SOURCE");
    if (!source.isEmpty())
        for (const char *name :
             {"package/Welcome.txt", "package/Readme.txt", "package/BackSounds/README.txt", "package/ErrorFix.rtf"})
            if (QFile::exists(source + QLatin1Char('/') + QLatin1String(name)))
                books << source + QLatin1Char('/') + QLatin1String(name);
    if (books.isEmpty())
        QSKIP("Neither the shared corpus nor the package's books are available.");
    for (const QString &path : std::as_const(books)) {
        const TBookOpenCheck check = CheckBookForOpening(path, true, 50000);
        QVERIFY2(check.LooksLikeText, qPrintable(path));
        QVERIFY2(check.Verdict != TBookOpenVerdict::AskNotText, qPrintable(path));
    }
}

#include "test_bookcontent.moc"

int RunBookContentTests(int argc, char **argv)
{
    TestBookContent test;
    return QTest::qExec(&test, argc, argv);
}
