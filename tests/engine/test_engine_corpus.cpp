// Smoke tests on the real books of the shared corpus: no crash, sensible
// paragraph counts, chapters found, and (when the reference paragraphs are
// there) how many reference paragraphs the rebuild reproduces exactly.
#include "BookFile.h"
#include "EngineTestHelpers.h"
#include "FunStatContext.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QtTest>

class TestEngineCorpus : public QObject {
    Q_OBJECT
private slots:
    void books_data();
    void books();
};

// The book as lines, decoded and split as the reader does it.
static QStringList ReadLines(const QByteArray &bytes)
{
    // Read exactly as the reader reads a whole book.
    return BookLinesFromBytes(bytes, TByteEdges(), DetectBookEncoding(bytes));
}

// Whitespace collapsed, typographic quotes and dashes as their plain forms
// (the reference comes from the HTML editions).
static QString Collapse(const QString &text)
{
    QString plain = text.simplified();
    plain.replace(QChar(0x2018), QLatin1Char('\'')).replace(QChar(0x2019), QLatin1Char('\''));
    plain.replace(QChar(0x60), QLatin1Char('\''));
    plain.replace(QChar(0x201C), QLatin1Char('"')).replace(QChar(0x201D), QLatin1Char('"'));
    plain.replace(QChar(0x2014), QLatin1String("--"));
    return plain;
}

void TestEngineCorpus::books_data()
{
    QTest::addColumn<QString>("path");
    const QString corpus = qEnvironmentVariable("LECTERN_CORPUS");
    const QDir books(corpus + QStringLiteral("/books"));
    if (corpus.isEmpty() || !books.exists()) {
        QTest::newRow("no-corpus") << QString();
        return;
    }
    for (const QString &name : books.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        QTest::newRow(name.toUtf8().constData()) << books.filePath(name);
}

void TestEngineCorpus::books()
{
    QFETCH(QString, path);
    if (path.isEmpty())
        QSKIP("LECTERN_CORPUS is not set or has no books");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = ReadLines(file.readAll());
    QVERIFY(lines.size() > 100);

    const QString stem = QFileInfo(path).completeBaseName();
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    // The program's default options (poorly written, empty lines kept) with
    // the "Blanks" prefix: every line is accounted for.
    FunStatContext.Reset();
    Enhance(engine, sink, lines, false, true, QStringLiteral("Blanks"));
    QCOMPARE(FunStatContext.Status, int(Perfect));
    QVERIFY(sink.ParagraphCount <= lines.size());
    for (const QString &text : sink.Texts())
        QVERIFY(text.isEmpty() || text.startsWith(QLatin1String("  ")) || TEnhancedRichEdit::IsChapterHeading(text));

    // The options that suit most of these books.
    const bool poorly = stem == QLatin1String("far-from-the-madding-crowd");
    FunStatContext.Reset();
    Enhance(engine, sink, lines, true, poorly);
    QCOMPARE(FunStatContext.Status, int(Perfect));
    QVERIFY(sink.Ended);
    // Paragraphs: fewer than lines, but not absurdly few.
    QVERIFY2(sink.ParagraphCount < lines.size(), qPrintable(QString::number(sink.ParagraphCount)));
    QVERIFY2(sink.ParagraphCount > lines.size() / 60, qPrintable(QString::number(sink.ParagraphCount)));
    QVERIFY(engine.ChapterItemCount() <= 30);
    QCOMPARE(engine.ChapterItemCount() == 0, engine.ChaptersMenu() == nullptr);
    if (stem == QLatin1String("pride-and-prejudice") || stem == QLatin1String("moby-dick")
        || stem == QLatin1String("war-and-peace") || stem == QLatin1String("huckleberry-finn-hyphenated"))
        QCOMPARE(engine.ChapterItemCount(), 30);
    if (stem == QLatin1String("treasure-island") || stem == QLatin1String("sherlock-holmes"))
        QVERIFY(engine.ChapterItemCount() > 0);
    if (stem == QLatin1String("art-of-war"))
        QCOMPARE(engine.ChapterItemCount(), 0);
    if (!engine.ChaptersMenu())
        return;
    // Positions grow and match the paragraphs before them.
    qint64 position = 0;
    QHash<int, QString> starts;
    for (const QString &text : sink.Texts()) {
        starts.insert(int(position), text);
        position += text.size() + 2;
    }
    for (const TChapterItem &item : engine.ChaptersMenu()->Items()) {
        QVERIFY(item.Caption.size() <= 50);
        QVERIFY(starts.value(item.Tag).startsWith(item.Caption));
    }

    // The soft accuracy figure against the reference paragraphs.
    const QString truthDir = qEnvironmentVariable("LECTERN_TRUTH");
    QFile truth(truthDir + QLatin1Char('/') + stem + QStringLiteral(".paras"));
    if (truthDir.isEmpty() || !truth.open(QIODevice::ReadOnly))
        return;
    QSet<QString> built;
    for (const QString &text : sink.Texts())
        built.insert(Collapse(text));
    int total = 0;
    int found = 0;
    for (QString line : QString::fromUtf8(truth.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("# ")))
            line = line.mid(2);
        line = Collapse(line);
        if (line.isEmpty())
            continue;
        ++total;
        if (built.contains(line))
            ++found;
    }
    qInfo("%s: %d lines, %d paragraphs, %d chapters; reference paragraphs rebuilt exactly: %d of %d (%.1f %%)",
          qPrintable(stem), int(lines.size()), sink.ParagraphCount, engine.ChapterItemCount(), found, total,
          total ? 100.0 * found / total : 0.0);
    QVERIFY(total > 0);
}

QTEST_GUILESS_MAIN(TestEngineCorpus)
#include "test_engine_corpus.moc"
