// Saving books without the window: the name a chosen file becomes, the
// questions before writing, the bytes of plain text and RTF, and writing
// whole or not at all.
#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "BookSave.h"
#include "FakeHyphenation.h"
#include "RichDocument.h"
#include "Rtf.h"

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Limits the size of the files this process writes, like a disk that fills
// up: writing past the limit fails with EFBIG instead of a signal.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &Old);
        OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = Old;
        limit.rlim_cur = bytes;
        Active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &Old);
        std::signal(SIGXFSZ, OldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;
    bool Active = false;

private:
    rlimit Old{};
    void (*OldHandler)(int) = nullptr;
};

} // namespace

class TestBookSave : public QObject {
    Q_OBJECT
private slots:
    void target_data();
    void target();
    void proposedName_data();
    void proposedName();
    void questions_data();
    void questions();
    void sameFileThroughLink();
    void plainTextBytes();
    void plainTextEnds_data();
    void plainTextEnds();
    void rtfBytesReadBack();
    void endMarkerIsNeverSaved_data();
    void endMarkerIsNeverSaved();
    void softHyphensAreNeverSaved_data();
    void softHyphensAreNeverSaved();
    void writeReplacesWhole();
    void failedWriteLeavesOldFile_data();
    void failedWriteLeavesOldFile();
    void fullDiskLeavesOldFile();
};

void TestBookSave::target_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("rtf");
    QTest::newRow("no extension") << "/b/copy"
                                  << "/b/copy.txt" << false;
    QTest::newRow("rtf any case") << "/b/copy.RTF"
                                  << "/b/copy.RTF" << true;
    QTest::newRow("other extension") << "/b/copy.doc"
                                     << "/b/copy.txt" << false;
    QTest::newRow("txt stays") << "/b/copy.TXT"
                               << "/b/copy.txt" << false;
    QTest::newRow("last extension only") << "/b/copy.rtf.bak"
                                         << "/b/copy.rtf.txt" << false;
    QTest::newRow("dot in directory") << "/b/v1.2/copy"
                                      << "/b/v1.2/copy.txt" << false;
    QTest::newRow("leading dot is a name") << "/b/.notes"
                                           << "/b/.notes.txt" << false;
    QTest::newRow("trailing dot") << "/b/copy."
                                  << "/b/copy.txt" << false;
}

void TestBookSave::target()
{
    QFETCH(QString, chosen);
    QFETCH(QString, fileName);
    QFETCH(bool, rtf);
    const TBookSaveTarget t = BookSaveTarget(chosen);
    QCOMPARE(t.FileName, fileName);
    QCOMPARE(t.Format == TBookSaveFormat::Rtf, rtf);
}

void TestBookSave::proposedName_data()
{
    QTest::addColumn<QString>("book");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("txt") << "/books/Emma.txt"
                         << "/books/Emma";
    QTest::newRow("dotted directory") << "/books/v1.2/Emma"
                                      << "/books/v1.2/Emma";
    QTest::newRow("no book") << QString() << QString();
}

void TestBookSave::proposedName()
{
    QFETCH(QString, book);
    QFETCH(QString, proposed);
    QCOMPARE(ProposedSaveName(book), proposed);
}

void TestBookSave::questions_data()
{
    QTest::addColumn<QString>("name"); // in the test directory; "old.txt" exists
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("commands");
    QTest::addColumn<QString>("openBook");
    QTest::addColumn<QStringList>("expected");
    const QString prefixQ = NoPrefixQuestionText(), commandsQ = CommandsQuestionText();
    const QString existsQ = BookExistsQuestionText(), openQ = OverwriteOpenBookQuestionText();
    QTest::newRow("text, no prefix") << "new.txt" << QString() << false << "other.txt" << QStringList{prefixQ};
    QTest::newRow("rtf, no prefix") << "new.rtf" << QString() << false << "other.txt" << QStringList();
    QTest::newRow("text, tab prefix") << "new.txt"
                                      << "\t" << false << "other.txt" << QStringList();
    QTest::newRow("text, commands") << "new.txt"
                                    << "  " << true << "other.txt" << QStringList{commandsQ};
    QTest::newRow("rtf, commands") << "new.rtf"
                                   << "  " << true << "other.txt" << QStringList();
    QTest::newRow("exists") << "old.txt"
                            << "\t" << false << "other.txt" << QStringList{existsQ};
    QTest::newRow("open book") << "old.txt"
                               << "\t" << false << "old.txt" << QStringList{existsQ, openQ};
    QTest::newRow("all four in order") << "old.txt" << QString() << true << "old.txt"
                                       << QStringList{prefixQ, commandsQ, existsQ, openQ};
    QTest::newRow("case differs: another file") << "OLD.txt"
                                                << "\t" << false << "old.txt" << QStringList();
}

void TestBookSave::questions()
{
    QFETCH(QString, name);
    QFETCH(QString, prefix);
    QFETCH(bool, commands);
    QFETCH(QString, openBook);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QVERIFY(WriteAll(dir.filePath(QStringLiteral("old.txt")), "old"));
    TBookSaveSituation situation;
    situation.ParagraphPrefix = prefix;
    situation.CommandsUsed = commands;
    situation.OpenBookPath = dir.filePath(openBook);
    QCOMPARE(BookSaveQuestions(BookSaveTarget(dir.filePath(name)), situation), expected);
}

void TestBookSave::sameFileThroughLink()
{
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("book.txt"));
    QVERIFY(WriteAll(book, "text"));
    QVERIFY(QFile::link(book, dir.filePath(QStringLiteral("link.txt"))));
    QVERIFY(IsSameFile(dir.filePath(QStringLiteral("link.txt")), book));
    const QString hard = dir.filePath(QStringLiteral("hard.txt"));
    QCOMPARE(::link(QFile::encodeName(book).constData(), QFile::encodeName(hard).constData()), 0);
    QVERIFY(IsSameFile(hard, book)); // another name of the same inode
    QVERIFY(IsSameFile(dir.path() + QStringLiteral("/./sub/../book.txt"), book));
    QVERIFY(!IsSameFile(dir.filePath(QStringLiteral("other.txt")), book));
    QVERIFY(!IsSameFile(QString(), QString()));
}

// UTF-8 without a byte order mark, CR LF after every paragraph and line
// break, the paragraph prefix and the picture's object character kept.
void TestBookSave::plainTextBytes()
{
    TRichDocument document;
    document.AppendText(QStringLiteral("\tПривет, мир. Καλημέρα."));
    document.AppendText(QStringLiteral("\tFirst line\u2028second line"));
    document.AppendText(QStringLiteral("A picture \uFFFC here"));
    const QByteArray bytes = BookSaveBytes(document, TBookSaveFormat::PlainText);
    QCOMPARE(bytes,
             QStringLiteral("\tПривет, мир. Καλημέρα.\r\n\tFirst line\r\nsecond line\r\nA picture \uFFFC here\r\n")
                 .toUtf8());
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!bytes.contains('?'));
}

void TestBookSave::plainTextEnds_data()
{
    QTest::addColumn<QString>("text"); // paragraphs split at CR LF
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("one line") << "a" << QByteArray("a\r\n");
    QTest::newRow("last paragraph empty") << "a\r\n" << QByteArray("a\r\n");
    QTest::newRow("two empty paragraphs") << "\r\n" << QByteArray("\r\n");
    QTest::newRow("empty ones between") << "a\r\n\r\n\r\nb" << QByteArray("a\r\n\r\n\r\nb\r\n");
    QTest::newRow("line break last") << "a\u2028" << QByteArray("a\r\n");
    QTest::newRow("beyond the BMP") << "\U0001F600 smile" << QByteArray("\xF0\x9F\x98\x80 smile\r\n");
    QTest::newRow("two and three bytes") << "é€" << QByteArray("\xC3\xA9\xE2\x82\xAC\r\n");
    QTest::newRow("quotes share the lead byte") << "\u201Ca\u201D\u2028"
                                                << QByteArray("\xE2\x80\x9C"
                                                              "a\xE2\x80\x9D\r\n");
}

// Every paragraph ends with CR LF, as the rich document's own plain text
// says, except an empty last one.
void TestBookSave::plainTextEnds()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    TRichDocument document;
    document.SetPlainText(text);
    QCOMPARE(BookSaveBytes(document, TBookSaveFormat::PlainText), bytes);
    QCOMPARE(BookSaveBytes(document, TBookSaveFormat::PlainText), document.ToPlainTextCrLf().toUtf8());
}

void TestBookSave::rtfBytesReadBack()
{
    TRichDocument document;
    document.AppendText(QStringLiteral("Première ligne — Привет"));
    TCharFormat bold;
    bold.Mask = CFM_BOLD;
    bold.Effects = CFE_BOLD;
    document.SetSelection(0, 8);
    document.SetCharFormat(bold, false);
    const QByteArray bytes = BookSaveBytes(document, TBookSaveFormat::Rtf);
    QVERIFY(bytes.startsWith("{\\rtf1"));
    TRichDocument back;
    QVERIFY(ReadRtf(bytes, back));
    QCOMPARE(back.GetText(), document.GetText());
    back.SetSelection(1, 0);
    QVERIFY(back.GetCharFormat().Effects & CFE_BOLD);
}

void TestBookSave::endMarkerIsNeverSaved_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("book");
    QTest::newRow("book end") << "One.\r\nTwo.\r\n\r\n***** End of Book *****"
                              << "One.\r\nTwo.";
    QTest::newRow("piece end") << "One.\r\n\r\n***** End of Piece 2 / 5 *****"
                               << "One.";
    QTest::newRow("empty lines typed before it") << "One.\r\n\r\n\r\n\r\n***** End of Book *****"
                                                 << "One.";
    QTest::newRow("only the marker") << "\r\n***** End of Book *****"
                                     << "";
}

// The marker closes what the reader sees; written into the book it would
// come back as a second marker at the next opening.
void TestBookSave::endMarkerIsNeverSaved()
{
    QFETCH(QString, text);
    QFETCH(QString, book);
    TRichDocument document;
    document.SetPlainText(text);
    MarkEndMarker(document);
    QVERIFY(document.HasEndMarker());
    QCOMPARE(document.BookTextEnd(), book.size());
    const QByteArray plain = BookSaveBytes(document, TBookSaveFormat::PlainText);
    QCOMPARE(plain, book.isEmpty() ? QByteArray("\r\n") : book.toUtf8() + "\r\n");
    TRichDocument back;
    QVERIFY(ReadRtf(BookSaveBytes(document, TBookSaveFormat::Rtf), back));
    QVERIFY(!back.GetText().contains(QStringLiteral("***** End of")));
    QCOMPARE(back.GetText().trimmed(), book);
    // The document shown keeps it.
    QVERIFY(document.GetText().endsWith(QStringLiteral(" *****")));
}

void TestBookSave::softHyphensAreNeverSaved_data()
{
    QTest::addColumn<bool>("marker");
    QTest::newRow("whole book") << false;
    QTest::newRow("with the end marker") << true;
}

// The soft hyphens of a hyphenated page stay out of both formats and the
// spaces it holds are saved as spaces; a soft hyphen of the book's own is
// saved.
void TestBookSave::softHyphensAreNeverSaved()
{
    QFETCH(bool, marker);
    const QStringList paragraphs
        = {QStringLiteral("Extraordinary harpooneers everywhere."), QStringLiteral("co\u00ADoperation"), QString()};
    TRichDocument document;
    document.SetHyphenation(EveryThirdLetter);
    document.BeginBulk();
    for (const QString &paragraph : paragraphs)
        document.AppendParagraph(paragraph);
    if (marker)
        document.AppendParagraph(QStringLiteral("***** End of Book *****"));
    document.EndBulk();
    MarkEndMarker(document);
    QCOMPARE(document.HasEndMarker(), marker);
    QVERIFY(document.SoftHyphens().Count() >= 4);
    const int space = document.ToQtPosition(int(paragraphs.first().indexOf(QLatin1Char(' '))));
    QVERIFY(document.ChangeLineBreaks(0, document.Document()->characterCount(), {space}, {}));
    const QByteArray plain = BookSaveBytes(document, TBookSaveFormat::PlainText);
    QCOMPARE(plain.count("\xC2\xAD"), 1); // the book's own
    QVERIFY(!plain.contains("\xC2\xA0"));
    QVERIFY(plain.startsWith("Extraordinary harpooneers everywhere.\r\nco\xC2\xAD"
                             "operation\r\n"));
    const QByteArray rtf = BookSaveBytes(document, TBookSaveFormat::Rtf);
    QVERIFY(!rtf.contains("\\~"));
    TRichDocument back;
    QVERIFY(ReadRtf(rtf, back));
    QVERIFY(back.GetText().startsWith(QStringLiteral("Extraordinary harpooneers everywhere.\r\nco\u00ADoperation")));
    QCOMPARE(back.GetText().count(QChar(0x00AD)), 1);
}

void TestBookSave::writeReplacesWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.txt"));
    QVERIFY(WriteAll(path, QByteArray(5000, 'x')));
    QVERIFY(WriteBookFile(path, "short"));
    QCOMPARE(ReadAll(path), QByteArray("short"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("book.txt")});
}

void TestBookSave::failedWriteLeavesOldFile_data()
{
    QTest::addColumn<QString>("target"); // relative to the test directory
    QTest::newRow("vanished directory") << "gone/book.txt";
    QTest::newRow("directory named like the book") << "dir.txt";
    QTest::newRow("directory below a file") << "old.txt/book.txt";
    QTest::newRow("read-only directory") << "locked/book.txt";
}

void TestBookSave::failedWriteLeavesOldFile()
{
    QFETCH(QString, target);
    QTemporaryDir dir;
    QVERIFY(WriteAll(dir.filePath(QStringLiteral("old.txt")), "old"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dir.txt")));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    const QString locked = dir.filePath(QStringLiteral("locked/book.txt"));
    QVERIFY(WriteAll(locked, "locked book"));
    QFile::setPermissions(dir.filePath(QStringLiteral("locked")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    auto unlock = qScopeGuard([&] {
        QFile::setPermissions(dir.filePath(QStringLiteral("locked")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    });
    if (target.startsWith(QLatin1String("locked"))) {
        QFile probe(dir.filePath(QStringLiteral("locked/probe")));
        if (probe.open(QIODevice::WriteOnly))
            QSKIP("this user writes into read-only directories");
    }
    const QString path = dir.filePath(target);
    const QByteArray before = QFileInfo(path).isFile() ? ReadAll(path) : QByteArray();
    QString error;
    int code = 0;
    QVERIFY(!WriteBookFile(path, "new text", &error, &code));
    QVERIFY(!error.isEmpty());
    QCOMPARE(ReadAll(dir.filePath(QStringLiteral("old.txt"))), QByteArray("old"));
    QCOMPARE(ReadAll(locked), QByteArray("locked book"));
    if (QFileInfo(path).isFile())
        QCOMPARE(ReadAll(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.txt")});
}

// A disk that fills up while the new book is written keeps the old book
// byte for byte and no half-written file beside it.
void TestBookSave::fullDiskLeavesOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.txt"));
    QVERIFY(WriteAll(path, "the old book"));
    bool ok = true;
    int code = 0;
    {
        TFileSizeLimit limit(4096);
        if (!limit.Active)
            QSKIP("file size limit not available");
        ok = WriteBookFile(path, QByteArray(100000, 'n'), nullptr, &code);
    }
    QVERIFY(!ok);
    QCOMPARE(code, EFBIG);
    QCOMPARE(ReadAll(path), QByteArray("the old book"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("book.txt")});
}

QTEST_GUILESS_MAIN(TestBookSave)
#include "test_booksave.moc"
