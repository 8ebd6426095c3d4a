// RTF files from other projects' test suites (the shared corpus, when it is
// there): every file loads, our text matches their expected outputs, and
// what we write of each reads back to the same text. The interoperability
// group compares with LibreOffice and pandoc when they are installed.
#include "RtfTestUtil.h"

#include "RichDocument.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString CorpusDir(const QString &sub)
{
    const QString root = qEnvironmentVariable("LECTERN_CORPUS");
    if (root.isEmpty() || !QDir(root + QLatin1Char('/') + sub).exists())
        return QString();
    return root + QLatin1Char('/') + sub;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The Str pieces of a pandoc "native" AST, Haskell escapes decoded.
QStringList PandocWords(const QByteArray &native)
{
    QString text = QString::fromUtf8(native);
    // The document's metadata comes first; only its blocks show as text.
    const qsizetype blocks = text.indexOf(QRegularExpression(QStringLiteral("\n  \\[ ")));
    if (text.contains(QLatin1String("unMeta")) && blocks > 0)
        text = text.mid(blocks);
    text.remove(QStringLiteral("[ Str \"image\" ]")); // pandoc's own alt text for pictures
    QStringList words;
    qsizetype at = 0;
    while ((at = text.indexOf(QLatin1String("Str \""), at)) >= 0) {
        at += 5;
        QString word;
        while (at < text.size() && text.at(at) != QLatin1Char('"')) {
            QChar c = text.at(at++);
            if (c != QLatin1Char('\\') || at >= text.size()) {
                word += c;
                continue;
            }
            c = text.at(at);
            if (c.isDigit()) {
                uint code = 0;
                while (at < text.size() && text.at(at).isDigit())
                    code = code * 10 + uint(text.at(at++).digitValue());
                word += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
            } else if (c == QLatin1Char('&')) {
                ++at;
            } else {
                word += (c == QLatin1Char('n')) ? QChar(QLatin1Char('\n')) : c;
                ++at;
            }
        }
        words << word;
    }
    return words;
}

// Letters and digits only, words separated by single spaces: what two
// programs' plain texts of one document should agree on.
QString Words(const QString &text)
{
    QString result;
    bool space = false;
    for (const QChar c : text) {
        if (c.isLetterOrNumber()) {
            if (space && !result.isEmpty())
                result += QLatin1Char(' ');
            result += c.toLower();
            space = false;
        } else {
            space = true;
        }
    }
    return result;
}

bool Run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(180000))
        return false;
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A book as a rich document: its lines as paragraphs, with some formats.
void BuildBook(TRichDocument &doc, const QString &text)
{
    doc.BeginBulk();
    TCharFormat heading;
    heading.Mask = CFM_BOLD | CFM_UNDERLINE;
    heading.Effects = CFE_BOLD | CFE_UNDERLINE;
    TParaFormat para;
    para.Mask = PFM_ALIGNMENT | PFM_STARTINDENT;
    para.Alignment = PFA_JUSTIFY;
    para.StartIndent = 360;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        const bool isHeading = trimmed.startsWith(QLatin1String("CHAPTER"), Qt::CaseInsensitive);
        doc.AppendParagraph(trimmed, isHeading ? &heading : nullptr, &para);
    }
    doc.EndBulk();
}

} // namespace

class TestRtfCorpus : public QObject {
    Q_OBJECT

private slots:
    void EveryFileLoads();
    void ExpectedPlainText();
    void ExpectedPandocText();
    void SpecialFiles();
    void KeptPicturesAndBookmarks();
    void LibreOffice();
    void Pandoc();
};

void TestRtfCorpus::EveryFileLoads()
{
    const QString dir = CorpusDir(QStringLiteral("rtf"));
    if (dir.isEmpty())
        QSKIP("The shared corpus is not available (LECTERN_CORPUS).");
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString &name : files) {
        const QByteArray bytes = ReadFile(dir + QLatin1Char('/') + name);
        TRichDocument doc;
        QString error;
        QVERIFY2(ReadRtf(bytes, doc, &error), qPrintable(name + QLatin1String(": ") + error));
        // What we write of it reads back to the same text.
        TRichDocument again;
        QVERIFY2(ReadRtf(WriteRtf(doc), again, &error), qPrintable(name));
        QVERIFY2(again.GetText() == doc.GetText(), qPrintable(name));
        // Every prefix of the file (a truncated download) loads too.
        for (int cut = 1; cut < 8; ++cut) {
            TRtfRecordingSink sink;
            ReadRtf(bytes.left(bytes.size() * cut / 8), sink, &error);
        }
    }
}

void TestRtfCorpus::ExpectedPlainText()
{
    const QString dir = CorpusDir(QStringLiteral("rtf"));
    if (dir.isEmpty())
        QSKIP("The shared corpus is not available (LECTERN_CORPUS).");
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString &name : files) {
        const QString base = dir + QLatin1Char('/') + name.chopped(4);
        if (!QFile::exists(base + QLatin1String(".rtf")))
            continue;
        QString expected = QString::fromUtf8(ReadFile(base + QLatin1String(".txt")));
        // That reader writes a link's target after its text.
        static const QRegularExpression target(QStringLiteral("\\(\"[^\"]*\"\\)"));
        expected.remove(target);
        expected.replace(QLatin1Char('|'), QLatin1Char(' ')); // and a bar after each table cell
        QString actual = TextOf(ReadFile(base + QLatin1String(".rtf")));
        actual.remove(QChar(QChar::ObjectReplacementCharacter));
        actual.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
        actual.replace(QLatin1Char('|'), QLatin1Char(' '));
        QCOMPARE(NormalizeSpace(actual), NormalizeSpace(expected));
    }
}

void TestRtfCorpus::ExpectedPandocText()
{
    const QString dir = CorpusDir(QStringLiteral("rtf"));
    if (dir.isEmpty())
        QSKIP("The shared corpus is not available (LECTERN_CORPUS).");
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.native")}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString &name : files) {
        const QString base = dir + QLatin1Char('/') + name.chopped(7);
        const QByteArray native = ReadFile(base + QLatin1String(".native"));
        const QString text = TextOf(ReadFile(base + QLatin1String(".rtf"))).toLower();
        for (const QString &word : PandocWords(native))
            QVERIFY2(text.contains(word.toLower()), qPrintable(name + QLatin1String(": ") + word));
        // Pictures pandoc finds, we show.
        QVERIFY2(text.count(QChar(QChar::ObjectReplacementCharacter))
                     == QString::fromUtf8(native).count(QRegularExpression(QStringLiteral("\\bImage\\b"))),
                 qPrintable(name));
    }
}

void TestRtfCorpus::SpecialFiles()
{
    const QString dir = CorpusDir(QStringLiteral("rtf"));
    if (dir.isEmpty())
        QSKIP("The shared corpus is not available (LECTERN_CORPUS).");
    auto text = [&dir](const char *name) { return TextOf(ReadFile(dir + QLatin1Char('/') + QLatin1String(name))); };
    QCOMPARE(NormalizeSpace(text("libreoffice-bin-skipping.rtf")), QStringLiteral("text"));
    QVERIFY(!text("pandoc-formatting.rtf").contains(QLatin1String("secret")));
    QVERIFY(!text("pandoc-table_nested.rtf").contains(QLatin1String("FALLBACK")));
    QVERIFY(text("osxcart-RtfInterpreterTest_13.rtf").contains(QStringLiteral("\u30D0\u30FC\u30B8\u30E7\u30F3 8.5")));
    const QString big5 = text("rtfpipe-Issue52.rtf");
    QVERIFY(!big5.contains(QChar(QChar::ReplacementCharacter)));
    QVERIFY(big5.count(QRegularExpression(QStringLiteral("[\u4E00-\u9FFF]"))) > 5);
    // Its quoted mail nests 2713 groups deep; the text down there is kept.
    QVERIFY(big5.contains(QLatin1String("Chinese Patent Application No. 999999999999.9")));
    QCOMPARE(text("osxcart-RtfInterpreterTest_fail_1.rtf"), QString());
    QVERIFY(text("pandoc-writer.rtf").contains(QLatin1String("Headers")));
}

// Metafiles and bookmarks of documents from other programs survive a
// round trip through the rich document: the same pictures, byte for byte,
// and the same bookmarks.
void TestRtfCorpus::KeptPicturesAndBookmarks()
{
    const QString dir = CorpusDir(QStringLiteral("rtf"));
    if (dir.isEmpty())
        QSKIP("The shared corpus is not available (LECTERN_CORPUS).");
    auto kept = [](const TRtfRecordingSink &sink, int *pictures, int *bookmarks) {
        QStringList items;
        for (const auto &event : sink.Events) {
            if (event.Kind == TRtfRecordingSink::TKind::KeptPicture) {
                items << QString::fromLatin1(event.ImageFormat + ' ' + event.Data.toHex());
                ++*pictures;
            } else if (event.Kind == TRtfRecordingSink::TKind::Bookmark && event.Start) {
                items << event.Text;
                ++*bookmarks;
            }
        }
        return items;
    };
    int pictures = 0, bookmarks = 0, unused = 0;
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    for (const QString &name : files) {
        const QByteArray bytes = ReadFile(dir + QLatin1Char('/') + name);
        const QStringList before = kept(Record(bytes), &pictures, &bookmarks);
        TRichDocument doc;
        QVERIFY(ReadRtf(bytes, doc));
        QVERIFY2(kept(Record(WriteRtf(doc)), &unused, &unused) == before, qPrintable(name));
    }
    QVERIFY(pictures > 0);
    QVERIFY(bookmarks > 0);

    // The internal link of a word processor's document finds its bookmark.
    TRichDocument doc;
    QVERIFY(ReadRtf(ReadFile(dir + QStringLiteral("/rtfpipe-rtf2xml-Hyperlink.rtf")), doc));
    QVERIFY(doc.FindBookmark(QStringLiteral("bookmark_1")) > 0);
}

void TestRtfCorpus::LibreOffice()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice is not installed (scripts/deps-interop).");
    const QString books = CorpusDir(QStringLiteral("books"));
    if (books.isEmpty())
        QSKIP("The shared corpus is not available (LECTERN_CORPUS).");
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString profile = QLatin1String("-env:UserInstallation=file://") + temp.path() + QLatin1String("/profile");
    const QString book = books + QLatin1String("/art-of-war.txt");
    const QString text = QString::fromLatin1(ReadFile(book)).remove(QLatin1Char('\r'));

    // LibreOffice reads our RTF to the same text.
    TRichDocument doc;
    BuildBook(doc, text);
    QFile ours(temp.filePath(QStringLiteral("ours.rtf")));
    QVERIFY(ours.open(QIODevice::WriteOnly));
    ours.write(WriteRtf(doc));
    ours.close();
    QVERIFY(Run(soffice,
                {profile, QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                 QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("--outdir"),
                 temp.filePath(QStringLiteral("out")), ours.fileName()}));
    const QString theirs = QString::fromUtf8(ReadFile(temp.filePath(QStringLiteral("out/ours.txt"))));
    QVERIFY(!theirs.isEmpty());
    QCOMPARE(Words(theirs), Words(doc.GetText()));

    // We read LibreOffice's RTF of the book to the same text.
    QFile::copy(book, temp.filePath(QStringLiteral("book.txt")));
    QVERIFY(Run(soffice,
                {profile, QStringLiteral("--headless"), QStringLiteral("--infilter=Text (encoded):UTF8"),
                 QStringLiteral("--convert-to"), QStringLiteral("rtf"), QStringLiteral("--outdir"),
                 temp.filePath(QStringLiteral("rtf")), temp.filePath(QStringLiteral("book.txt"))}));
    TRichDocument fromThem;
    QString error;
    QVERIFY(ReadRtf(ReadFile(temp.filePath(QStringLiteral("rtf/book.rtf"))), fromThem, &error));
    QCOMPARE(Words(fromThem.GetText()), Words(text));
}

void TestRtfCorpus::Pandoc()
{
    const QString pandoc = QStandardPaths::findExecutable(QStringLiteral("pandoc"));
    if (pandoc.isEmpty())
        QSKIP("pandoc is not installed (scripts/deps-interop).");
    const QString books = CorpusDir(QStringLiteral("books"));
    if (books.isEmpty())
        QSKIP("The shared corpus is not available (LECTERN_CORPUS).");
    QTemporaryDir temp;
    const QString text
        = QString::fromUtf8(ReadFile(books + QLatin1String("/pride-and-prejudice.txt"))).remove(QLatin1Char('\r'));
    TRichDocument doc;
    BuildBook(doc, text.left(60000));
    QFile ours(temp.filePath(QStringLiteral("ours.rtf")));
    QVERIFY(ours.open(QIODevice::WriteOnly));
    ours.write(WriteRtf(doc));
    ours.close();
    QByteArray output;
    QVERIFY(Run(pandoc,
                {QStringLiteral("-f"), QStringLiteral("rtf"), QStringLiteral("-t"), QStringLiteral("plain"),
                 QStringLiteral("--wrap=none"), ours.fileName()},
                &output));
    QCOMPARE(Words(QString::fromUtf8(output)), Words(doc.GetText()));

    // Punctuation and letters outside Windows-1252 next to each other.
    TRichDocument small;
    small.SetPlainText(QStringLiteral("\u201C\u043C\u0438\u0440\u201D \u2014 caf\u00E9 \u20AC5"));
    QFile mixed(temp.filePath(QStringLiteral("mixed.rtf")));
    QVERIFY(mixed.open(QIODevice::WriteOnly));
    mixed.write(WriteRtf(small));
    mixed.close();
    QVERIFY(Run(
        pandoc,
        {QStringLiteral("-f"), QStringLiteral("rtf"), QStringLiteral("-t"), QStringLiteral("plain"), mixed.fileName()},
        &output));
    QCOMPARE(QString::fromUtf8(output).trimmed(), small.GetText());
}

QTEST_MAIN(TestRtfCorpus)
#include "test_rtf_corpus.moc"
