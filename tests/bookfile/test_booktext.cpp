// Decoding, line ends and end markers over byte buffers.
#include "BookText.h"

#include <QFile>
#include <QtTest>

class TestBookText : public QObject {
    Q_OBJECT
private slots:
    void lineEnds();
    void endMarker();
    void encodings();
    void cutCharactersAreDropped();
    void corpusEncodings();
};

void TestBookText::lineEnds()
{
    QCOMPARE(SplitBookLines(QStringLiteral("a\r\r\nb\r\nc\rd\ne\n\rf")),
             (QStringList{"a", "b", "c", "d", "e", "", "f"}));
    QCOMPARE(SplitBookLines(QStringLiteral("a\r\r\r\nb")), (QStringList{"a", "", "b"}));
    QCOMPARE(SplitBookLines(QStringLiteral("a\r\rb")), (QStringList{"a", "", "b"}));
    QCOMPARE(SplitBookLines(QStringLiteral("a\r\n")), (QStringList{"a"}));
    QCOMPARE(SplitBookLines(QStringLiteral("\n\n")), (QStringList{"", ""}));
    QCOMPARE(SplitBookLines(QString()), QStringList());
}

void TestBookText::endMarker()
{
    QStringList lines{"Title", "text", "  ", "***** End of Book *****", "", " \t", "\x1A"};
    AddEndMarker(lines, 1, 1);
    QCOMPARE(lines, (QStringList{"Title", "text", "", "***** End of Book *****"}));
    AddEndMarker(lines, 1, 1); // marking again changes nothing
    QCOMPARE(lines, (QStringList{"Title", "text", "", "***** End of Book *****"}));

    QStringList piece{"x", "", "  "};
    AddEndMarker(piece, 2, 3);
    QCOMPARE(piece, (QStringList{"x", "", "***** End of Piece 2 / 3 *****"}));

    QStringList onlyMarker{"  ***** End of Book *****"};
    AddEndMarker(onlyMarker, 1, 1);
    QCOMPARE(onlyMarker, (QStringList{"  ***** End of Book *****", "", "***** End of Book *****"}));

    QStringList empty;
    AddEndMarker(empty, 3, 3);
    QCOMPARE(empty, (QStringList{"", "***** End of Book *****"}));
}

void TestBookText::encodings()
{
    // UTF-8 with and without a byte order mark.
    const QByteArray utf8 = "Caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D";
    QCOMPARE(DetectBookEncoding(utf8).Kind, TBookEncoding::Utf8);
    QCOMPARE(DecodeBookBytes(utf8, TBookEncoding()), QStringLiteral(u"Café “quoted”"));
    QCOMPARE(DecodeBookBytes("\xEF\xBB\xBF" + utf8, TBookEncoding()), QStringLiteral(u"Café “quoted”"));

    // Windows-1252 curly quotes become real quotation characters.
    const QByteArray cp1252 = "He said \x93Hello\x94 and it\x92s \x96 fine.";
    const TBookEncoding e1252 = DetectBookEncoding(cp1252);
    QCOMPARE(e1252.Name, QByteArray("WINDOWS-1252"));
    QCOMPARE(DecodeBookBytes(cp1252, e1252), QStringLiteral(u"He said “Hello” and it’s – fine."));
    // Bytes that Windows-1252 leaves undefined show as replacement characters.
    QCOMPARE(DecodeBookBytes("a\x81z", TBookEncoding::Fallback()), QStringLiteral(u"a\uFFFDz"));

    // A Windows-1251 text is recognised and read as Cyrillic.
    const QByteArray cp1251 = "\xcf\xf0\xe8\xe2\xe5\xf2, \xea\xe0\xea \xe4\xe5\xeb\xe0? \xdd\xf2\xee \xf0\xf3\xf1"
                              "\xf1\xea\xe8\xe9 \xf2\xe5\xea\xf1\xf2 \xe4\xeb\xff \xef\xf0\xee\xe2\xe5\xf0\xea\xe8.";
    const TBookEncoding e1251 = DetectBookEncoding(cp1251);
    QCOMPARE(e1251.Name, QByteArray("WINDOWS-1251"));
    QCOMPARE(DecodeBookBytes(cp1251, e1251), QStringLiteral(u"Привет, как дела? Это русский текст для проверки."));

    // Plain ASCII says nothing about the encoding.
    QVERIFY(!DetectBookEncoding(QByteArray("plain text")).IsDecided());
    QCOMPARE(DecodeBookBytes("plain", TBookEncoding()), QStringLiteral("plain"));

    // A few accented letters are not enough to pick another script.
    QCOMPARE(DetectBookEncoding(QByteArray("The caf\xe9 is nice and the day is long.")).Name,
             QByteArray("WINDOWS-1252"));

    // Overlong forms and surrogates are not UTF-8.
    QVERIFY(!IsValidUtf8("\xC0\xAF", 2));
    QVERIFY(!IsValidUtf8("\xED\xA0\x80", 3));
    QVERIFY(IsValidUtf8("\xF0\x9F\x98\x80", 4));
    QCOMPARE(BytesBeforeNul(QByteArray("ab\0cd", 5)), QByteArray("ab"));
}

void TestBookText::cutCharactersAreDropped()
{
    const QByteArray euro = "\xE2\x82\xAC"; // three bytes
    const QByteArray text = euro + "a" + euro + "b" + euro;
    // Cut one byte into the first euro and one byte short of the last one.
    const QByteArray piece = text.mid(1, text.size() - 2);
    QVERIFY(!IsValidUtf8(piece.constData(), piece.size()));
    QVERIFY(IsValidUtf8(piece.constData(), piece.size(), {true, true}));
    const TBookEncoding utf8 = TBookEncoding::MakeUtf8();
    QCOMPARE(DecodeBookBytes(piece, utf8, {true, true}), QStringLiteral(u"a€b"));
    // Without cuts the broken ends are damage and show as such.
    QVERIFY(DecodeBookBytes(piece, utf8, {}).contains(QChar(0xFFFD)));
    // A cut right after a whole character drops nothing.
    QCOMPARE(DecodeBookBytes(text.left(4), utf8, {true, true}), QStringLiteral(u"€a"));
    // A piece that starts with a cut character is still recognised as UTF-8.
    QCOMPARE(DecodeBookBytes(piece, TBookEncoding(), {true, true}), QStringLiteral(u"a€b"));
}

void TestBookText::corpusEncodings()
{
    const QString corpus = qEnvironmentVariable("LECTERN_CORPUS");
    if (corpus.isEmpty() || !QFile::exists(corpus + QStringLiteral("/books")))
        QSKIP("No corpus");
    auto read = [&](const char *name) {
        QFile f(corpus + QStringLiteral("/books/") + QLatin1String(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray kafka = read("die-verwandlung.txt");
    const QByteArray proust = read("du-cote-de-chez-swann.txt");
    const QByteArray dickens = read("great-expectations-crcrlf.txt");
    if (kafka.isEmpty() || proust.isEmpty() || dickens.isEmpty())
        QSKIP("Corpus books missing");

    const TBookEncoding kafkaEncoding = DetectBookEncoding(kafka);
    QCOMPARE(kafkaEncoding.Name, QByteArray("WINDOWS-1252")); // Latin-1 reads as its superset
    const QString kafkaText = DecodeBookBytes(kafka, kafkaEncoding);
    QVERIFY(kafkaText.contains(QStringLiteral(u"Gregor Samsa")));
    QVERIFY(kafkaText.contains(QStringLiteral(u"»")));
    QVERIFY(kafkaText.contains(QStringLiteral(u"ä")));

    const QString proustText = DecodeBookBytes(proust, DetectBookEncoding(proust));
    QVERIFY(!proustText.startsWith(QChar(0xFEFF)));
    QVERIFY(proustText.contains(QStringLiteral(u"Françoise")));

    // Every line of this book ends in CR CR LF: each is one line end, so
    // empty lines stay the paragraph breaks they are (a tenth or so of the
    // lines), instead of following every line.
    const QStringList lines = SplitBookLines(DecodeBookBytes(dickens, DetectBookEncoding(dickens)));
    const qsizetype empty = std::count_if(lines.begin(), lines.end(), [](const QString &l) { return l.isEmpty(); });
    QCOMPARE(lines.size(), dickens.count("\r\r\n"));
    QVERIFY2(empty * 4 < lines.size(), qPrintable(QStringLiteral("%1 of %2").arg(empty).arg(lines.size())));
}

#include "test_booktext.moc"

int RunBookTextTests(int argc, char **argv)
{
    TestBookText test;
    return QTest::qExec(&test, argc, argv);
}
