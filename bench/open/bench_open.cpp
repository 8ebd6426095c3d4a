// Opening books: reading one piece of a large book against a small book
// read whole, decoding and splitting throughput, and lectern-convert of a
// 3 MB book to RTF; then the main window opening books enhanced.
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

// Prose-like lines of about 70 bytes with paragraphs, in UTF-8 when asked.
QByteArray GenerateBook(qint64 size, bool utf8)
{
    static const char *words[] = {"the",    "house", "was",   "quiet", "and",  "she", "walked",  "slowly", "towards",
                                  "window", "where", "light", "fell",  "upon", "old", "letters", "of",     "her"};
    QByteArray book;
    book.reserve(size + 100);
    unsigned seed = 12345;
    int lineInParagraph = 0;
    while (book.size() < size) {
        QByteArray line;
        while (line.size() < 66) {
            seed = seed * 1103515245u + 12345u;
            line += words[(seed >> 16) % (sizeof(words) / sizeof(words[0]))];
            line += ' ';
        }
        if (utf8 && (seed & 7) == 0)
            line += "\xE2\x80\x9Cyes\xE2\x80\x9D ";
        line += "end.\r\n";
        book += line;
        if (++lineInParagraph == 8) {
            book += "\r\n";
            lineInParagraph = 0;
        }
    }
    book.truncate(size);
    return book;
}

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(f.fileName()));
    return f.fileName();
}

// Best of several runs, in seconds.
double Best(int runs, const std::function<void()> &work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    return best;
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
    const QMap<QString, TWindowFigures> figures = RunWindowCases(QCoreApplication::applicationFilePath(),
                                                                 {{QStringLiteral("window_50kb"), small, false},
                                                                  {QStringLiteral("window_piece_of_20mb"), big, true},
                                                                  {QStringLiteral("window_500kb_whole"), half, false},
                                                                  {QStringLiteral("window_3mb_whole"), threeMb, false},
                                                                  {QStringLiteral("window_20mb_whole"), big, false}});
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
    return 0;
}
