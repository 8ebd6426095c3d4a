// The command-line converter: its exit statuses and outputs (run as a
// process), and what it puts into the document (in process).
#include "BookConverter.h"
#include "RichDocument.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestConvert : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void badInputFailsAndWritesNothing();
    void plainTextOutput();
    void piecesAndOptions();
    void quotesReachTheEngine();
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

void TestConvert::plainTextOutput()
{
    // Windows-1252, CR CR LF line ends, trailing blank lines and an old marker.
    Write(QStringLiteral("old.txt"),
          "Title\r\r\n\r\r\nHe said \x93Hello\x94 to me.\r\r\n\r\r\n"
          "***** End of Book *****\r\r\n  \r\r\n");
    QCOMPARE(Run({"old.txt", "old-out.txt"}), 0);
    QCOMPARE(
        Read(QStringLiteral("old-out.txt")),
        QByteArray("Title\r\n\r\nHe said \xE2\x80\x9CHello\xE2\x80\x9D to me.\r\n\r\n***** End of Book *****\r\n"));

    // A binary file named .txt shows its readable start.
    Write(QStringLiteral("binary.txt"), QByteArray("Readable start.\n\0\x01\x02\xFF\xFE", 22));
    QCOMPARE(Run({"binary.txt", "binary-out.txt"}), 0);
    QCOMPARE(Read(QStringLiteral("binary-out.txt")), QByteArray("Readable start.\r\n\r\n***** End of Book *****\r\n"));
}

void TestConvert::piecesAndOptions()
{
    QByteArray book;
    for (int i = 0; book.size() < 25000; ++i)
        book += "Line " + QByteArray::number(i) + " of a long book.\n";
    Write(QStringLiteral("long.txt"), book);

    QCOMPARE(Run({"long.txt", "p2.txt", "--piece", "2", "--piece-size", "10000"}), 0);
    QVERIFY(Read(QStringLiteral("p2.txt")).endsWith("\r\n\r\n***** End of Piece 2 / 3 *****\r\n"));
    QCOMPARE(Run({"long.txt", "p3.txt", "--piece", "3", "--piece-size", "10000"}), 0);
    QVERIFY(Read(QStringLiteral("p3.txt")).endsWith("\r\n\r\n***** End of Book *****\r\n"));
    QCOMPARE(Run({"long.txt", "whole.txt"}), 0);
    QVERIFY(Read(QStringLiteral("whole.txt")).startsWith("Line 0 of a long book."));

    Write(QStringLiteral("para.txt"), "One.\r\nTwo.\r\n");
    QCOMPARE(Run({"para.txt", "prefixed.txt", "--prefix", "* "}), 0);
    QVERIFY(Read(QStringLiteral("prefixed.txt")).startsWith("* One."));
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
