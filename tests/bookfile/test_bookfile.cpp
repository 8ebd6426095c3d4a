// Reading books from files: pieces, limits, failures.
#include "BookFile.h"
#include "Dialogs.h"
#include "ReportRecorder.h"

#include <sys/stat.h>

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestBookFile : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void piecesOfA120000ByteBook();
    void sizeLimitsAndVerdicts();
    void failuresAreReported();
    void piecesAgreeOnTheEncoding();
    void nulEndsTheText();

private:
    QString Write(const QString &name, const QByteArray &bytes);
    QTemporaryDir Dir;
};

QString TestBookFile::Write(const QString &name, const QByteArray &bytes)
{
    const QString path = Dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestBookFile::piecesOfA120000ByteBook()
{
    // Lines of ten bytes, each naming its own offset.
    QByteArray book;
    for (int offset = 0; offset < 120000; offset += 10)
        book += QByteArray::number(offset).rightJustified(9, '0') + '\n';
    const QString path = Write(QStringLiteral("book.txt"), book);

    QCOMPARE(PieceCount(120000, 50000), 3);
    QCOMPARE(PieceCount(100000, 50000), 2);
    QCOMPARE(PieceCount(0, 50000), 0);
    QCOMPARE(PieceByteRange(1, 50000, 120000).Length, qint64(50020));
    QCOMPARE(PieceByteRange(2, 50000, 120000).Start, qint64(49980));
    QCOMPARE(PieceByteRange(2, 50000, 120000).Length, qint64(50020)); // .. 99999
    QCOMPARE(PieceByteRange(3, 50000, 120000).Start, qint64(99980));
    QCOMPARE(PieceByteRange(3, 50000, 120000).Length, qint64(20020)); // .. 119999

    QStringList lines;
    QVERIFY(ReadBookLines(path, 2, 3, 50000, lines));
    QCOMPARE(lines.first(), QStringLiteral("000049980"));
    QCOMPARE(lines.at(lines.size() - 3), QStringLiteral("000099990"));
    QCOMPARE(lines.size(), 5002 + 2);
    QCOMPARE(lines.last(), QStringLiteral("***** End of Piece 2 / 3 *****"));
    QCOMPARE(lines.at(lines.size() - 2), QString());

    QVERIFY(ReadBookLines(path, 3, 3, 50000, lines));
    QCOMPARE(lines.first(), QStringLiteral("000099980"));
    QCOMPARE(lines.at(lines.size() - 3), QStringLiteral("000119990"));
    QCOMPARE(lines.last(), QStringLiteral("***** End of Book *****"));

    // One piece: the whole book, piece number ignored.
    QVERIFY(ReadBookLines(path, 3, 1, 50000, lines));
    QCOMPARE(lines.size(), 12000 + 2);
    QCOMPARE(lines.first(), QStringLiteral("000000000"));
    QCOMPARE(lines.last(), QStringLiteral("***** End of Book *****"));

    // A cut in the middle of a line gives a line fragment, not lost bytes.
    QVERIFY(LoadPieceFromFile(path, lines, 2, 10005));
    QCOMPARE(lines.first(), QStringLiteral("9980")); // bytes 9985.. of the line "000009980"
}

void TestBookFile::sizeLimitsAndVerdicts()
{
    auto sparse = [&](const QString &name, qint64 size) {
        const QString path = Write(name, QByteArray());
        QFile f(path);
        f.resize(size);
        return path;
    };
    auto text = [&](const QString &name, const QByteArray &start, qint64 size) {
        QByteArray bytes = start;
        while (bytes.size() < size)
            bytes += "A line of a long book.\n";
        return Write(name, bytes.left(size));
    };
    const QString big = text(QStringLiteral("big.txt"), QByteArray(), 600000);
    const QString bigRtf = text(QStringLiteral("big.RTF"), "{\\rtf1 ", 600000);
    const QString huge = sparse(QStringLiteral("huge.txt"), MaxBookSize + 1);
    const QString edge = sparse(QStringLiteral("edge.txt"), MaxBookSize);

    TBookOpenCheck c = CheckBookForOpening(big, false, 50000);
    QCOMPARE(c.Verdict, TBookOpenVerdict::AskOnePiece);
    QCOMPARE(c.ListCount, 1);
    QVERIFY(c.Text.startsWith(QStringLiteral("You are trying to open in one piece a book bigger than 500,000 "
                                             "characters.\nThe opening")));
    // The question is asked with Yes and No, and names only those.
    QVERIFY(c.Text.contains(QStringLiteral("choose \"No\"")));
    QVERIFY(!c.Text.contains(QStringLiteral("Cancel")));
    QCOMPARE(CheckBookForOpening(bigRtf, false, 50000).Verdict, TBookOpenVerdict::Open);
    c = CheckBookForOpening(big, true, 50000);
    QCOMPARE(c.Verdict, TBookOpenVerdict::Open);
    QCOMPARE(c.PieceCount, 12);
    QCOMPARE(c.ListCount, 12);
    QCOMPARE(CheckBookForOpening(bigRtf, true, 50000).ListCount, 1); // RTF is never cut
    QCOMPARE(CheckBookForOpening(big, true, 7).PieceCount, 12); // bad size: the default

    c = CheckBookForOpening(huge, true, 50000);
    QCOMPARE(c.Verdict, TBookOpenVerdict::TooBig);
    QCOMPARE(c.Text, QStringLiteral("You can't open books bigger than 20,000,000 characters."));
    c = CheckBookForOpening(edge, true, 50000);
    QCOMPARE(c.PieceCount, 400);
    QCOMPARE(c.Verdict, TBookOpenVerdict::AskNotText); // nothing but NUL bytes
    QCOMPARE(c.SizeVerdict, TBookOpenVerdict::Open);

    QCOMPARE(ValidPieceSize(9999), DefaultPieceSize);
    QCOMPARE(ValidPieceSize(500000), 500000);
    QCOMPARE(PieceSizeChoices().size(), 18);
    QCOMPARE(NormalisePiece(4, 3), 1);
    QCOMPARE(NormalisePiece(-1, 3), 1);
    QCOMPARE(NormalisePiece(3, 3), 3);
}

void TestBookFile::failuresAreReported()
{
    TReportRecorder reports;
    QStringList lines{"old"};

    // Empty file: a verdict for the window, and a failure for the piece reader.
    const QString empty = Write(QStringLiteral("empty.txt"), QByteArray());
    TBookOpenCheck c = CheckBookForOpening(empty, true, 50000);
    QCOMPARE(c.Verdict, TBookOpenVerdict::Empty);
    QCOMPARE(c.Text, QStringLiteral("File is empty."));
    QVERIFY(!LoadPieceFromFile(empty, lines, 1, 50000));
    QVERIFY(lines.isEmpty());
    QCOMPARE(reports.Messages, QStringList{QStringLiteral("Failed to load.")});
    QVERIFY(reports.Reports.last().contains(QStringLiteral("Empty file.")));
    QCOMPARE(FunStatContext.Status, int32_t(Perfect)); // shown, then cleared

    // A directory named like a book, a missing file, a name that is no book.
    QVERIFY(QDir(Dir.path()).mkdir(QStringLiteral("x.txt")));
    const QString dir = Dir.filePath(QStringLiteral("x.txt"));
    QCOMPARE(CheckBookForOpening(dir, true, 50000).Verdict, TBookOpenVerdict::NotValid);
    QCOMPARE(CheckBookForOpening(dir, true, 50000).Text,
             QStringLiteral("The book is not a valid text file, or it doesn't exist."));
    QCOMPARE(CheckBookForOpening(Dir.filePath(QStringLiteral("none.txt")), true, 50000).Verdict,
             TBookOpenVerdict::NotValid);
    QCOMPARE(CheckBookForOpening(Write(QStringLiteral("a.doc"), "x"), true, 50000).Verdict, TBookOpenVerdict::NotValid);
    // A pipe or a device named like a book would block or never end.
    const QString pipe = Dir.filePath(QStringLiteral("pipe.txt"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString device = Dir.filePath(QStringLiteral("zero.txt"));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), device));
    for (const QString &path : {pipe, device}) {
        QCOMPARE(CheckBookForOpening(path, true, 50000).Verdict, TBookOpenVerdict::NotValid);
        QVERIFY(!HasBookFile(path));
    }

    QVERIFY(!LoadPieceFromFile(dir, lines, 1, 50000));
    QVERIFY(reports.Reports.last().contains(QStringLiteral("* System error code: %1").arg(EISDIR)));
    QVERIFY(reports.Reports.last().contains(dir));

    // A file removed after the check: the read fails cleanly.
    const QString gone = Write(QStringLiteral("gone.txt"), "text");
    QCOMPARE(CheckBookForOpening(gone, true, 50000).Verdict, TBookOpenVerdict::Open);
    QFile::remove(gone);
    QVERIFY(!LoadPieceFromFile(gone, lines, 1, 50000));
    QVERIFY(reports.Reports.last().contains(QStringLiteral("* System error code: %1").arg(ENOENT)));
    QCOMPARE(reports.Messages.size(), 3);

    // A whole book leaves its failure for the caller, with the end marker only.
    QVERIFY(!ReadBookLines(gone, 1, 1, 50000, lines));
    QCOMPARE(FunStatContext.Status, int32_t(Error));
    QCOMPARE(FunStatContext.RaiseFunction, QStringLiteral("TLecternForm::LoadFromFile"));
    QCOMPARE(FunStatContext.Description, QStringLiteral("Failed to load."));
    QCOMPARE(lines, (QStringList{"", "***** End of Book *****"}));
    QCOMPARE(reports.Messages.size(), 3);

    // The size query of a vanished file.
    QCOMPARE(QueryBookFileSize(gone), qint64(0));
    QCOMPARE(FunStatContext.Status, int32_t(Warning));
    QCOMPARE(FunStatContext.Description, QStringLiteral("Failed to access file."));

    if (::geteuid() == 0)
        QSKIP("Running as root: file permissions do not stop reading");
    const QString locked = Write(QStringLiteral("locked.txt"), "secret");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    QVERIFY(!LoadPieceFromFile(locked, lines, 1, 50000));
    QVERIFY(reports.Reports.last().contains(QStringLiteral("* System error code: %1").arg(EACCES)));
}

void TestBookFile::piecesAgreeOnTheEncoding()
{
    // An ASCII head, then UTF-8 three-byte characters: every piece, even one
    // that holds no multi-byte character, is read as UTF-8, and the cuts that
    // fall inside a character lose it cleanly.
    QByteArray book(70000, 'a');
    for (int i = 0; i < 70000; ++i)
        book += (i % 50 == 49) ? QByteArray("\n") : QByteArray("\xE2\x82\xAC");
    const QString path = Write(QStringLiteral("mixed.txt"), book);

    TBookEncoding encoding;
    QStringList lines;
    for (int piece = 1; piece <= PieceCount(book.size(), 10000); ++piece) {
        QVERIFY(LoadPieceFromFile(path, lines, piece, 10000, &encoding));
        QCOMPARE(encoding.Kind, TBookEncoding::Utf8);
        for (const QString &line : lines)
            QVERIFY2(!line.contains(QChar(0xFFFD)), qPrintable(QStringLiteral("piece %1").arg(piece)));
    }
    QVERIFY(LoadPieceFromFile(path, lines, 9, 10000)); // 79980: one byte into a character
    QVERIFY(lines.first().startsWith(QStringLiteral(u"€€")));
}

void TestBookFile::nulEndsTheText()
{
    QByteArray binary("Readable start\r\nsecond line\0\x01\x02\xFF\xFEgarbage\nmore", 44);
    const QString path = Write(QStringLiteral("binary.txt"), binary);
    QStringList lines;
    QVERIFY(ReadBookLines(path, 1, 1, 50000, lines));
    QCOMPARE(lines, (QStringList{"Readable start", "second line", "", "***** End of Book *****"}));
    QVERIFY(LoadPieceFromFile(path, lines, 1, 50000));
    QCOMPARE(lines, (QStringList{"Readable start", "second line"}));

    // The garbage after the NUL does not decide how the readable start is read.
    const QString utf8
        = Write(QStringLiteral("utf8-binary.txt"), QByteArray("Caf\xC3\xA9 au lait\n\0\xFF\xFE\x80\x93", 20));
    QVERIFY(ReadBookLines(utf8, 1, 1, 50000, lines));
    QCOMPARE(lines.first(), QStringLiteral(u"Café au lait"));
}

int RunBookTextTests(int argc, char **argv);
int RunBookContentTests(int argc, char **argv);
int RunBookSessionTests(int argc, char **argv);
int RunPieceSeamsTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TestBookFile bookFile;
    int status = QTest::qExec(&bookFile, argc, argv);
    status |= RunBookTextTests(argc, argv);
    status |= RunBookContentTests(argc, argv);
    status |= RunBookSessionTests(argc, argv);
    status |= RunPieceSeamsTests(argc, argv);
    return status;
}

#include "test_bookfile.moc"
