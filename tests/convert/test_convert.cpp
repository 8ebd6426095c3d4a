// The command-line converter: its exit statuses and outputs (run as a
// process), and what it puts into the document (in process).
#include "BookConverter.h"
#include "RichDocument.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestConvert : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void badInputFailsAndWritesNothing();
    void outputThatIsTheBookIsRefused_data();
    void outputThatIsTheBookIsRefused();
    void plainTextOutput();
    void piecesAndOptions();
    void enhanceChoices();
    void encodingChoice();
    void quotesReachTheEngine();
    void booksItalicsInRtf();
    void rtfRoundTrip();

private:
    QString Write(const QString &name, const QByteArray &bytes);
    int Run(const QStringList &arguments, QByteArray *errors = nullptr);
    QByteArray Read(const QString &name);
    QTemporaryDir Dir;
    QString Program;
};

void TestConvert::initTestCase()
{
    Program = qEnvironmentVariable("LECTERN_PACKAGE") + QStringLiteral("/lectern-convert");
    QVERIFY2(QFileInfo(Program).isExecutable(), qPrintable(Program));
}

QString TestConvert::Write(const QString &name, const QByteArray &bytes)
{
    QFile f(Dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(name));
    return f.fileName();
}

QByteArray TestConvert::Read(const QString &name)
{
    QFile f(Dir.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int TestConvert::Run(const QStringList &arguments, QByteArray *errors)
{
    QProcess p;
    p.setWorkingDirectory(Dir.path());
    p.start(Program, arguments);
    if (!p.waitForFinished(60000))
        return -1;
    if (errors)
        *errors = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void TestConvert::badInputFailsAndWritesNothing()
{
    QByteArray errors;
    QCOMPARE(Run({}, &errors), 2);
    QVERIFY(errors.contains("Usage: lectern-convert"));
    Write(QStringLiteral("book.txt"), "Some text.\r\n");
    QCOMPARE(Run({"book.txt", "out.txt", "--bogus"}, &errors), 2);
    QVERIFY(errors.contains("Unknown option: --bogus"));
    QCOMPARE(Run({"book.txt", "out.doc"}), 2);
    QCOMPARE(Run({"book.txt", "out.txt", "--piece-size", "12"}), 2);
    QCOMPARE(Run({"book.txt", "out.txt", "--piece"}), 2);
    QCOMPARE(Run({"--help"}), 0);

    // A failed conversion leaves an existing output as it was.
    Write(QStringLiteral("out.txt"), "previous");
    QCOMPARE(Run({"missing.txt", "out.txt"}, &errors), 1);
    QVERIFY(errors.contains("The book is not a valid text file, or it doesn't exist."));
    Write(QStringLiteral("empty.txt"), QByteArray());
    QCOMPARE(Run({"empty.txt", "out.txt"}, &errors), 1);
    QVERIFY(errors.contains("File is empty."));
    QVERIFY(QDir(Dir.path()).mkdir(QStringLiteral("x.txt")));
    QCOMPARE(Run({"x.txt", "out.txt"}), 1);
    Write(QStringLiteral("fake.rtf"), "This is not RTF at all.");
    QCOMPARE(Run({"fake.rtf", "out.txt"}, &errors), 1);
    QVERIFY(errors.contains("Failed to load book."));
    QCOMPARE(Run({"book.txt", "out.txt", "--piece", "3", "--piece-size", "10000"}, &errors), 1);
    QVERIFY(errors.contains("no piece 3"));
    QCOMPARE(Read(QStringLiteral("out.txt")), QByteArray("previous"));

    // An output that cannot be written: an error, and no file.
    QCOMPARE(Run({"book.txt", "nodir/out.txt"}, &errors), 1);
    QVERIFY(errors.contains("Failed to save."));
    QVERIFY(!QFile::exists(Dir.filePath(QStringLiteral("nodir/out.txt"))));
}

void TestConvert::outputThatIsTheBookIsRefused_data()
{
    QTest::addColumn<QString>("link"); // "", "symbolic" or "hard": OUT made a link to the book first
    QTest::addColumn<QString>("out");
    const QString dirName = QFileInfo(Dir.path()).fileName();
    QTest::newRow("the same name") << QString() << QStringLiteral("same.txt");
    QTest::newRow("./ before it") << QString() << QStringLiteral("./same.txt");
    QTest::newRow("through the parent") << QString() << QStringLiteral("../") + dirName + QStringLiteral("/same.txt");
    QTest::newRow("absolute") << QString() << Dir.filePath(QStringLiteral("same.txt"));
    QTest::newRow("a symbolic link") << QStringLiteral("symbolic") << QStringLiteral("soft-link.txt");
    QTest::newRow("a symbolic link named .rtf") << QStringLiteral("symbolic") << QStringLiteral("soft-link.rtf");
    QTest::newRow("a hard link") << QStringLiteral("hard") << QStringLiteral("hard-link.txt");
}

void TestConvert::outputThatIsTheBookIsRefused()
{
    QFETCH(QString, link);
    QFETCH(QString, out);
    const QByteArray book = "The book's own text.\r\n";
    const QString path = Write(QStringLiteral("same.txt"), book);
    if (!link.isEmpty()) {
        const QString linkPath = Dir.filePath(out);
        QFile::remove(linkPath);
        if (link == QLatin1String("symbolic"))
            QVERIFY(QFile::link(path, linkPath));
        else
            QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(linkPath).constData()), 0);
    }
    QByteArray errors;
    QCOMPARE(Run({QStringLiteral("same.txt"), out}, &errors), 2);
    QVERIFY2(errors.contains("The output is the book itself"), errors.constData());
    QCOMPARE(Read(QStringLiteral("same.txt")), book);
    QVERIFY(QFileInfo(path).isFile() && !QFileInfo(path).isSymLink());
    // Named the other way round, too.
    if (!link.isEmpty()) {
        QCOMPARE(Run({out, QStringLiteral("same.txt")}), 2);
        QCOMPARE(Read(QStringLiteral("same.txt")), book);
    }
}

void TestConvert::plainTextOutput()
{
    // Windows-1252, CR CR LF line ends, trailing blank lines and an old marker.
    Write(QStringLiteral("old.txt"),
          "Title\r\r\n\r\r\nHe said \x93Hello\x94 to me.\r\r\n\r\r\n"
          "***** End of Book *****\r\r\n  \r\r\n");
    QCOMPARE(Run({"old.txt", "old-out.txt"}), 0);
    // The end marker is the reader's: the old one is dropped, no new one written.
    QCOMPARE(Read(QStringLiteral("old-out.txt")),
             QByteArray("Title\r\n\r\nHe said \xE2\x80\x9CHello\xE2\x80\x9D to me.\r\n"));

    // A binary file named .txt shows its readable start.
    Write(QStringLiteral("binary.txt"), QByteArray("Readable start.\n\0\x01\x02\xFF\xFE", 22));
    QCOMPARE(Run({"binary.txt", "binary-out.txt"}), 0);
    QCOMPARE(Read(QStringLiteral("binary-out.txt")), QByteArray("Readable start.\r\n"));
}

void TestConvert::piecesAndOptions()
{
    QByteArray book;
    for (int i = 0; book.size() < 25000; ++i)
        book += "Line " + QByteArray::number(i) + " of a long book.\n";
    Write(QStringLiteral("long.txt"), book);

    QCOMPARE(Run({"long.txt", "p2.txt", "--piece", "2", "--piece-size", "10000"}), 0);
    QVERIFY(!Read(QStringLiteral("p2.txt")).contains("***** End of"));
    QVERIFY(Read(QStringLiteral("p2.txt")).endsWith("\r\n"));
    QCOMPARE(Run({"long.txt", "p3.txt", "--piece", "3", "--piece-size", "10000"}), 0);
    QVERIFY(Read(QStringLiteral("p3.txt")).endsWith(" of a long book.\r\n"));
    QCOMPARE(Run({"long.txt", "whole.txt"}), 0);
    QVERIFY(Read(QStringLiteral("whole.txt")).startsWith("Line 0 of a long book."));

    Write(QStringLiteral("para.txt"), "One.\r\nTwo.\r\n");
    QCOMPARE(Run({"para.txt", "prefixed.txt", "--prefix", "* "}), 0);
    QVERIFY(Read(QStringLiteral("prefixed.txt")).startsWith("* One."));
}

void TestConvert::enhanceChoices()
{
    // Contents lines, two chapters, a compound the book writes with its
    // hyphen, and paragraphs marked by empty lines only.
    QByteArray book = "CONTENTS\n\nCHAPTER I\nCHAPTER II\nCHAPTER III\n\n";
    QByteArray prose = "They walked on through the long day,\n";
    for (int i = 0; i < 9; ++i)
        prose += "and the travellers said nothing to each other,\n";
    prose += "and so it went.\n";
    for (const char *chapter : {"CHAPTER I", "CHAPTER II", "CHAPTER III"})
        book += QByteArray(chapter) + "\n\nIt was to-\nday. They came home.\nIt rained.\n\n" + prose + "\n";
    book += "Said to-day.\n";
    Write(QStringLiteral("choices.txt"), book);

    QCOMPARE(Run({"choices.txt", "default.txt"}), 0);
    const QByteArray enhanced = Read(QStringLiteral("default.txt"));
    QVERIFY(enhanced.contains("\r\nIt was to-day. They came home. It rained.\r\n"));
    QCOMPARE(Run({"choices.txt", "classic.txt", "--classic"}), 0);
    const QByteArray classic = Read(QStringLiteral("classic.txt"));
    QVERIFY(classic.contains("\r\nIt was today. They came home.\r\nIt rained.\r\n"));
    // The classic rules are the three choices off, and poorly written.
    QCOMPARE(Run({"choices.txt", "off.txt", "--poorly-written", "--no-hyphen-check", "--no-smart-chapters"}), 0);
    QCOMPARE(Read(QStringLiteral("off.txt")), classic);
    // An explicit rule set turns detection off.
    QCOMPARE(Run({"choices.txt", "poorly.txt", "--poorly-written"}), 0);
    QVERIFY(Read(QStringLiteral("poorly.txt")).contains("\r\nIt was to-day. They came home.\r\nIt rained.\r\n"));

    // The menu: the chapters of the body, not the contents lines.
    QProcess p;
    p.setWorkingDirectory(Dir.path());
    p.start(Program, {"choices.txt", "--chapters"});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QList<QByteArray> entries = p.readAllStandardOutput().trimmed().split('\n');
    QCOMPARE(entries.size(), 3);
    const int firstBodyChapter = enhanced.indexOf("CHAPTER I\r\n", enhanced.indexOf("CHAPTER III"));
    QCOMPARE(entries.first(), QByteArray::number(firstBodyChapter) + "\tCHAPTER I");
    QVERIFY(!QFile::exists(Dir.filePath(QStringLiteral("--chapters"))));
}

void TestConvert::encodingChoice()
{
    // Windows-1251 Cyrillic: recognised, or read as the encoding chosen.
    Write(QStringLiteral("cp1251.txt"),
          "\xcf\xf0\xe8\xe2\xe5\xf2, \xea\xe0\xea \xe4\xe5\xeb\xe0? \xdd\xf2\xee "
          "\xf0\xf3\xf1\xf1\xea\xe8\xe9 \xf2\xe5\xea\xf1\xf2 \xe4\xeb\xff "
          "\xef\xf0\xee\xe2\xe5\xf0\xea\xe8.\n");
    const QByteArray russian = QStringLiteral(u"Привет, как дела? Это русский текст для проверки.").toUtf8();
    QCOMPARE(Run({"cp1251.txt", "auto.txt"}), 0);
    QVERIFY(Read(QStringLiteral("auto.txt")).startsWith(russian));
    QCOMPARE(Run({"cp1251.txt", "chosen.txt", "--encoding", "windows-1251"}), 0);
    QVERIFY(Read(QStringLiteral("chosen.txt")).startsWith(russian));
    QCOMPARE(Run({"cp1251.txt", "koi8.txt", "--encoding", "KOI8-R"}), 0);
    QVERIFY(!Read(QStringLiteral("koi8.txt")).startsWith(russian));

    // A Japanese text in Shift_JIS, chosen by name.
    Write(QStringLiteral("sjis.txt"), "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x96\x7b\x82\xc5\x82\xb7\x81\x42\n");
    QCOMPARE(Run({"sjis.txt", "sjis-out.txt", "--encoding", "Shift_JIS"}), 0);
    QVERIFY(Read(QStringLiteral("sjis-out.txt")).startsWith(QStringLiteral(u"日本語の本です。").toUtf8()));

    QByteArray errors;
    QCOMPARE(Run({"cp1251.txt", "ebcdic.txt", "--encoding", "EBCDIC"}, &errors), 2);
    QVERIFY(errors.contains("Unknown encoding: EBCDIC"));
    QVERIFY(!QFile::exists(Dir.filePath(QStringLiteral("ebcdic.txt"))));
}

void TestConvert::quotesReachTheEngine()
{
    const QString book = Write(QStringLiteral("quotes.txt"), "He said \x93Hello there\x94 and left.\r\n");
    TConvertOptions options;
    options.Book = book;
    TRichDocument document;
    QString error;
    QVERIFY2(LoadBookIntoDocument(options, document, error), qPrintable(error));
    const QString text = document.GetText();
    const int hello = text.indexOf(QStringLiteral("Hello"));
    QVERIFY(hello > 0);
    QCOMPARE(text.at(hello - 1), QChar(0x201C));
    document.SetSelection(hello, 1);
    QCOMPARE(document.GetCharFormat().TextColor, TColor(0x820000)); // the emphasis colour
    document.SetSelection(0, 1);
    QCOMPARE(document.GetCharFormat().TextColor, TColor(0x000000));
    QCOMPARE(document.GetCharFormat().FaceName, QStringLiteral("Times New Roman"));
    QCOMPARE(document.GetCharFormat().HeightTwips, 320);
    QCOMPARE(document.GetParaFormat().Alignment, PFA_JUSTIFY);
}

// _text_ becomes an italic run without its underscores, unless asked not to.
void TestConvert::booksItalicsInRtf()
{
    Write(QStringLiteral("italics.txt"), "The _Pequod_ sailed from snake_case and __init__ at last.\r\n");
    QCOMPARE(Run({"italics.txt", "italics.rtf"}), 0);
    const QByteArray rtf = Read(QStringLiteral("italics.rtf"));
    QVERIFY(rtf.contains("\\i"));
    QVERIFY(rtf.contains("Pequod"));
    QVERIFY(!rtf.contains("_Pequod_"));
    QVERIFY(rtf.contains("snake_case and __init__"));
    QCOMPARE(Run({"italics.rtf", "italics-back.txt"}), 0);
    QVERIFY(Read(QStringLiteral("italics-back.txt")).contains("The Pequod sailed"));
    QCOMPARE(Run({"italics.txt", "kept.rtf", "--no-emphasis"}), 0);
    const QByteArray kept = Read(QStringLiteral("kept.rtf"));
    QVERIFY(kept.contains("_Pequod_"));
    QVERIFY(!kept.contains("\\i"));
}

void TestConvert::rtfRoundTrip()
{
    const QString corpus = qEnvironmentVariable("LECTERN_CORPUS");
    const QString alice = corpus + QStringLiteral("/books/alice-in-wonderland-1994.txt");
    if (corpus.isEmpty() || !QFile::exists(alice))
        QSKIP("No corpus");
    // The RTF the converter writes reads back as the same paragraphs.
    QCOMPARE(Run({alice, "alice.txt"}), 0);
    QCOMPARE(Run({alice, "alice.rtf"}), 0);
    QVERIFY(Read(QStringLiteral("alice.rtf")).startsWith("{\\rtf1"));
    QCOMPARE(Run({"alice.rtf", "alice-back.txt"}), 0);
    QCOMPARE(Read(QStringLiteral("alice-back.txt")), Read(QStringLiteral("alice.txt")));
}

QTEST_MAIN(TestConvert)
#include "test_convert.moc"
