// Opening books: reading one piece of a large book against a small book
// read whole, decoding and splitting throughput, and lectern-convert of a
// 3 MB book to RTF; then the main window opening books enhanced.
#include "BenchCommon.h"
#include "BookFile.h"
#include "bench_open_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// The book without its empty lines (lines of blanks only count as empty).
QByteArray WithoutEmptyLines(const QByteArray &book)
{
    QByteArray result;
    result.reserve(book.size());
    for (const QByteArray &line : book.split('\n'))
        if (!line.trimmed().isEmpty())
            result += line + '\n';
    return result;
}

// An RTF document of the paragraphs of a plain-text book in ASCII (lines
// joined, paragraphs ended by empty lines), one RTF paragraph each or, with
// `oneParagraph`, all of them in a single paragraph.
QByteArray RtfOfBook(const QByteArray &book, bool oneParagraph)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0\\fs32\r\n";
    rtf.reserve(book.size() + 1000);
    bool empty = true; // the paragraph so far
    for (QByteArray line : book.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty()) {
            if (!empty && !oneParagraph)
                rtf += "\\par\r\n";
            empty = empty || !oneParagraph;
            continue;
        }
        if (!empty)
            rtf += ' ';
        rtf += line.replace('\\', "\\\\").replace('{', "\\{").replace('}', "\\}");
        empty = false;
    }
    return rtf + (empty ? "}" : "\\par}");
}

void Line(const char *key, double value, const char *unit) { printf("%s: %.3f %s\n", key, value, unit); }

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 5 && QByteArray(argv[1]) == "--window-case")
        return RunWindowCase(argc, argv);
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString big = WriteFile(dir, QStringLiteral("big.txt"), GenerateBook(20000000, true));
    const QString small = WriteFile(dir, QStringLiteral("small.txt"), GenerateBook(50000, true));

    // One 50 KB piece from the middle of a 20 MB book against a 50 KB book
    // read whole: lines, decoded, split and marked.
    QStringList lines;
    const int pieces = PieceCount(20000000, 50000);
    const double pieceTime = Best(30, [&] { ReadBookLines(big, pieces / 2, pieces, 50000, lines); });
    const double smallTime = Best(30, [&] { ReadBookLines(small, 1, 1, 50000, lines); });
    // Changing piece: the window keeps the book's encoding, nothing else is read.
    TBookEncoding known;
    ReadBookLines(big, 1, pieces, 50000, lines, &known);
    const double nextTime = Best(30, [&] { ReadBookLines(big, pieces / 2, pieces, 50000, lines, &known); });
    Line("piece_of_20mb_book", pieceTime * 1000, "ms");
    Line("piece_of_20mb_book_encoding_known", nextTime * 1000, "ms");
    Line("whole_50kb_book", smallTime * 1000, "ms");
    printf("ratio: %.2f (goal ≤ 1.5)\n", pieceTime / smallTime);

    // Decoding and splitting a whole book, UTF-8 and a single-byte code page.
    const QString corpus = qEnvironmentVariable("LECTERN_CORPUS");
    QString three = corpus + QStringLiteral("/books/war-and-peace.txt");
    if (corpus.isEmpty() || !QFile::exists(three))
        three = WriteFile(dir, QStringLiteral("three.txt"), GenerateBook(3226652, false));
    QFile threeFile(three);
    threeFile.open(QIODevice::ReadOnly);
    const QByteArray threeBytes = threeFile.readAll();
    QByteArray latin = threeBytes;
    for (qsizetype i = 97; i < latin.size(); i += 97)
        if (latin[i] == 'e')
            latin[i] = char(0xE9);
    const QByteArray utf8 = GenerateBook(threeBytes.size(), true);
    const double mb = threeBytes.size() / 1e6;
    for (auto [name, bytes] :
         {std::pair{"utf8", &utf8}, std::pair{"cp1252", static_cast<const QByteArray *>(&latin)}}) {
        TBookEncoding encoding = DetectBookEncoding(SampleBookEncoding(*bytes));
        const double t = Best(5, [&] { lines = BookLinesFromBytes(*bytes, {}, encoding); });
        printf("decode_split_%s: %.0f MB/s (%s, %lld lines)\n", name, mb / t, encoding.Name.constData(),
               static_cast<long long>(lines.size()));
    }
    const double wholeRead = Best(5, [&] { ReadBookLines(three, 1, 1, 50000, lines); });
    Line("read_3mb_book_whole", wholeRead * 1000, "ms");

    // The converter, as a user runs it: 3 MB plain text to RTF.
    const QString convert = qEnvironmentVariable("LECTERN_PACKAGE") + QStringLiteral("/lectern-convert");
    if (QFileInfo(convert).isExecutable()) {
        int status = 0;
        const double t = Best(3, [&] {
            QProcess p;
            p.start(convert, {three, dir.filePath(QStringLiteral("out.rtf"))});
            p.waitForFinished(120000);
            status = p.exitCode();
        });
        Line("convert_3mb_to_rtf", t, "s");
        printf("convert_status: %d\n", status);
        printf("ratio: %.2f (goal ≤ 1.0)\n", t / 1.0);
    } else {
        printf("convert_3mb_to_rtf: skipped (no %s)\n", qPrintable(convert));
    }
    fflush(stdout);

    // The window: a 50 KB book, one 50 KB piece of the 20 MB book, and whole
    // books of 500 KB, 3 MB and 20 MB, all enhanced.
    const QString half = WriteFile(dir, QStringLiteral("half.txt"), GenerateBook(500000, true));
    const QString threeMb = WriteFile(dir, QStringLiteral("threemb.txt"), GenerateBook(3000000, true));
    // Long paragraphs: the 3 MB book without its empty lines, opened well
    // written (its paragraphs then end only at headings and the like)
    // against the same book as it is; a 19 MB RTF of ordinary paragraphs
    // against the same text as plain text; and the same RTF as one paragraph.
    const QString threeWithoutEmpty
        = WriteFile(dir, QStringLiteral("three-without-empty-lines.txt"), WithoutEmptyLines(threeBytes));
    const QByteArray nineteen = GenerateBook(19000000, false);
    const QString nineteenText = WriteFile(dir, QStringLiteral("nineteen.txt"), nineteen);
    const QString nineteenRtf = WriteFile(dir, QStringLiteral("nineteen.rtf"), RtfOfBook(nineteen, false));
    const QString nineteenOne = WriteFile(dir, QStringLiteral("nineteen-one.rtf"), RtfOfBook(nineteen, true));
    const QMap<QString, TWindowFigures> figures = RunWindowCases(
        QCoreApplication::applicationFilePath(),
        {{QStringLiteral("window_50kb"), small, false},
         {QStringLiteral("window_piece_of_20mb"), big, true},
         {QStringLiteral("window_500kb_whole"), half, false},
         {QStringLiteral("window_3mb_whole"), threeMb, false},
         {QStringLiteral("window_20mb_whole"), big, false},
         {QStringLiteral("window_3mb_book_well_written"), three, false, true},
         {QStringLiteral("window_3mb_book_no_empty_lines_well_written"), threeWithoutEmpty, false, true},
         {QStringLiteral("window_19mb_text"), nineteenText, false},
         {QStringLiteral("window_19mb_rtf"), nineteenRtf, false},
         {QStringLiteral("window_19mb_rtf_one_paragraph"), nineteenOne, false}});
    auto ratio = [&figures](const char *name, const char *floor, double TWindowFigures::*time, const char *goal,
                            const char *what) {
        if (figures.contains(QLatin1String(name)) && figures.contains(QLatin1String(floor)))
            printf("ratio: %.2f (goal ≤ %s) %s\n",
                   figures[QLatin1String(name)].*time / figures[QLatin1String(floor)].*time, goal, what);
    };
    ratio("window_piece_of_20mb", "window_50kb", &TWindowFigures::FirstScreenMs, "1.5",
          "first screen of a 20 MB book's piece against a 50 KB book");
    if (figures.contains(QStringLiteral("window_20mb_whole")))
        printf("ratio: %.2f (goal ≤ 1.0) first screen of a whole 20 MB book, in seconds\n",
               figures[QStringLiteral("window_20mb_whole")].FirstScreenMs / 1000);
    for (auto [time, what] : {std::pair{&TWindowFigures::FirstScreenMs, "first screen"},
                              std::pair{&TWindowFigures::FullLayoutMs, "full layout"}}) {
        const QByteArray noEmpty = QByteArray(what) + " of the 3 MB book without empty lines against the book as it is";
        ratio("window_3mb_book_no_empty_lines_well_written", "window_3mb_book_well_written", time, "2",
              noEmpty.constData());
        const QByteArray rtf = QByteArray(what) + " of a 19 MB RTF against the same text as plain text";
        ratio("window_19mb_rtf", "window_19mb_text", time, "1.5", rtf.constData());
    }
    return 0;
}
