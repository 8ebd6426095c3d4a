// How faithfully the enhancement rebuilds real books: paragraph F1 against
// the reference paragraphs of the shared corpus (scored by the shared
// score.py), for the books as they are and with every empty line removed,
// under the classic rules and with each choice of the rule set, against
// the per-book better choice; the line-end hyphens kept and dropped; and
// whether the chapters menu reaches the reference chapter headings without
// pointing into a table of contents. When calibre's ebook-convert is
// installed, its heuristic text conversion of the same inputs is scored the
// same way (its outputs kept by input digest beside the benchmark, since a
// first run takes minutes).
#include "BookFile.h"
#include "ChapterHeadings.h"
#include "EnhancedRichEdit.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

struct TMode {
    const char *Name;
    bool Choices; // hyphen check and chapters (and detection when Detect)
    bool Detect;
    bool PoorlyWritten;
};

const TMode Modes[] = {
    {"classic_poorly", false, false, true}, {"classic_well", false, false, false}, {"poorly", true, false, true},
    {"well", true, false, false},           {"detect", true, true, false},
};
constexpr int ModeCount = int(sizeof(Modes) / sizeof(Modes[0]));
const char *const Variants[] = {"as_is", "no_empty"};

struct TRun {
    QStringList Texts;
    bool PoorlyWritten = false;
    int WrapWidth = 0;
    int HyphensKept = 0;
    int HyphensDropped = 0;
    QVector<TChapterItem> Chapters;
};

TRun Enhance(const QStringList &lines, const TMode &mode)
{
    TEnhancedRichEdit engine;
    engine.Choices.DetectTextLayout = mode.Detect;
    engine.Choices.CheckHyphens = mode.Choices;
    engine.Choices.SmartChapters = mode.Choices;
    TRecordingParagraphSink sink;
    engine.EnhanceText(lines, QStringLiteral("None"), false, mode.PoorlyWritten, sink);
    TRun run;
    run.Texts = sink.Texts();
    run.PoorlyWritten = engine.PoorlyWritten;
    run.WrapWidth = engine.WrapWidth;
    run.HyphensKept = engine.HyphensKept;
    run.HyphensDropped = engine.HyphensDropped;
    if (engine.ChaptersMenu())
        run.Chapters = engine.ChaptersMenu()->Items();
    return run;
}

// Letters and digits in upper case, anything else one space.
QString Folded(const QString &text)
{
    QString out;
    for (QChar c : text)
        out += c.isLetterOrNumber() ? c.toUpper() : QLatin1Char(' ');
    return out.simplified();
}

bool SameHeading(const QString &truth, const QString &caption, bool captionCut)
{
    return caption == truth || caption.startsWith(truth + QLatin1Char(' ')) || truth.startsWith(caption + QLatin1Char(' '))
        || (captionCut && truth.startsWith(caption));
}

struct TChapterCheck {
    int TruthHeadings = 0;
    int Found = 0;
    int ContentsEntries = 0;
};

// The reference's chapter headings (its "# " lines that read as headings)
// found in order among the menu's entries; and the entries after which the
// next paragraph (past empty ones and the entry's title) is another heading
// of the same or a higher level: entries of a table of contents.
TChapterCheck CheckChapters(const TRun &run, const QStringList &truthLines)
{
    TChapterCheck check;
    QStringList captions;
    for (const TChapterItem &item : run.Chapters)
        captions << Folded(item.Caption);
    int next = 0;
    for (const QString &line : truthLines) {
        if (!line.startsWith(QLatin1String("# ")))
            continue;
        QString heading = line.mid(2);
        heading.replace(QChar(0x2014), QLatin1String("--")).replace(QChar(0x2019), QLatin1Char('\''));
        if (ChapterHeadings::Parse(heading.trimmed()).Level == 0)
            continue;
        ++check.TruthHeadings;
        const QString wanted = Folded(heading);
        for (int k = next; k < captions.size() && k < next + 60; ++k) {
            if (SameHeading(wanted, captions.at(k), run.Chapters.at(k).Caption.size() >= 50)) {
                ++check.Found;
                next = k + 1;
                break;
            }
        }
    }
    QHash<int, int> paragraphAt;
    qint64 position = 0;
    for (int i = 0; i < run.Texts.size(); ++i) {
        paragraphAt.insert(int(position), i);
        position += run.Texts.at(i).size() + 2;
    }
    for (const TChapterItem &item : run.Chapters) {
        int i = paragraphAt.value(item.Tag, -1);
        if (i < 0)
            continue;
        const int level = ChapterHeadings::Parse(run.Texts.at(i)).Level;
        ++i;
        while (i < run.Texts.size()
               && (run.Texts.at(i).isEmpty()
                   || (item.Caption.size() > run.Texts.at(i).size() && item.Caption.endsWith(run.Texts.at(i)))))
            ++i;
        if (i < run.Texts.size()) {
            const int after = ChapterHeadings::Parse(run.Texts.at(i)).Level;
            if (after > 0 && after <= level)
                ++check.ContentsEntries;
        }
    }
    return check;
}

bool WriteLines(const QString &path, const QStringList &texts)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(texts.join(QLatin1Char('\n')).toUtf8() + '\n') >= 0;
}

// F1 of each "OUT<TAB>TRUTH" pair, by the shared scorer in one process.
QVector<double> Score(const QString &fidelityDir, const QStringList &pairs)
{
    const QString program = QStringLiteral("import sys\n"
                                           "sys.path.insert(0, sys.argv[1])\n"
                                           "import score\n"
                                           "for line in sys.stdin:\n"
                                           "    out, truth = line.rstrip('\\n').split('\\t')\n"
                                           "    f1 = score.score(score.load_output(out), score.load_truth(truth))[2]\n"
                                           "    print('%.6f' % f1, flush=True)\n");
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), program, fidelityDir});
    if (!python.waitForStarted())
        return {};
    python.write(pairs.join(QLatin1Char('\n')).toUtf8() + '\n');
    python.closeWriteChannel();
    python.waitForFinished(-1);
    QVector<double> f1;
    for (const QByteArray &line : python.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            f1.append(line.toDouble());
    if (f1.size() != pairs.size())
        std::fprintf(stderr, "%s", python.readAllStandardError().constData());
    return f1;
}

const QStringList CalibreOptions = {QStringLiteral("--paragraph-type"),  QStringLiteral("auto"),
                                    QStringLiteral("--formatting-type"), QStringLiteral("plain"),
                                    QStringLiteral("--enable-heuristics"), QStringLiteral("--input-encoding"),
                                    QStringLiteral("utf-8"),             QStringLiteral("--txt-output-encoding"),
                                    QStringLiteral("utf-8"),             QStringLiteral("--max-line-length"),
                                    QStringLiteral("0")};

// calibre's conversion of the lines (as a UTF-8 text file) to text, one
// paragraph a line: the cached file, made first when ebook-convert is there.
// Empty when there is none.
QString CalibreOutput(const QString &program, const QString &cacheDir, const QString &workDir, const QStringList &lines)
{
    const QByteArray input = lines.join(QLatin1Char('\n')).toUtf8() + '\n';
    QCryptographicHash digest(QCryptographicHash::Sha1);
    digest.addData(input);
    digest.addData(CalibreOptions.join(QLatin1Char(' ')).toUtf8());
    const QString cached = cacheDir + QLatin1Char('/') + QString::fromLatin1(digest.result().toHex()) + ".txt";
    if (QFile::exists(cached))
        return cached;
    if (program.isEmpty())
        return QString();
    const QString in = workDir + QStringLiteral("/calibre-input.txt");
    const QString out = workDir + QStringLiteral("/calibre-output.txt");
    QFile file(in);
    if (!file.open(QIODevice::WriteOnly) || file.write(input) != input.size())
        return QString();
    file.close();
    QFile::remove(out);
    QProcess convert;
    convert.setProcessChannelMode(QProcess::MergedChannels);
    convert.start(program, QStringList{in, out} + CalibreOptions);
    if (!convert.waitForFinished(-1) || convert.exitCode() != 0 || !QFile::exists(out)) {
        std::fprintf(stderr, "ebook-convert failed: %s\n", convert.readAll().right(400).constData());
        return QString();
    }
    QDir().mkpath(cacheDir);
    return QFile::rename(out, cached) || QFile::copy(out, cached) ? cached : QString();
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString corpus = qEnvironmentVariable("LECTERN_CORPUS");
    const QString fidelityDir = corpus + QStringLiteral("/../fidelity");
    const QDir truthDir(fidelityDir + QStringLiteral("/truth"));
    const QStringList truthFiles = truthDir.entryList({QStringLiteral("*.paras")}, QDir::Files, QDir::Name);
    if (corpus.isEmpty() || truthFiles.isEmpty() || !QFile::exists(fidelityDir + QStringLiteral("/score.py"))) {
        std::printf("skipped: no corpus with reference paragraphs\n");
        return 0;
    }
    QTemporaryDir work;
    if (qEnvironmentVariableIsSet("LECTERN_BENCH_KEEP")) {
        work.setAutoRemove(false); // the outputs, to look at with score.py --show
        std::printf("outputs: %s\n", qPrintable(work.path()));
    }
    QStringList books;
    QStringList pairs;
    QHash<QString, TRun> detected; // book and variant: the run with every choice
    const QString calibre = QStandardPaths::findExecutable(QStringLiteral("ebook-convert"));
    const QString calibreCache = QCoreApplication::applicationDirPath() + QStringLiteral("/../calibre-cache");
    QStringList calibrePairs;
    QVector<int> calibreAt; // per book and variant: index in calibrePairs, or -1
    for (const QString &truthFile : truthFiles) {
        const QString name = truthFile.chopped(6);
        const QString bookPath = corpus + QStringLiteral("/books/") + name + QStringLiteral(".txt");
        QStringList lines;
        if (!QFile::exists(bookPath) || !ReadBookLines(bookPath, 1, 1, 50000, lines))
            continue;
        books << name;
        QStringList flat;
        for (const QString &line : lines)
            if (!line.trimmed().isEmpty())
                flat << line;
        for (const char *variant : Variants) {
            const QStringList &source = qstrcmp(variant, "as_is") == 0 ? lines : flat;
            for (const TMode &mode : Modes) {
                TRun run = Enhance(source, mode);
                const QString out = work.filePath(QStringLiteral("%1.%2.%3.txt").arg(name, variant, mode.Name));
                if (!WriteLines(out, run.Texts)) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
                    return 1;
                }
                pairs << out + QLatin1Char('\t') + truthDir.filePath(truthFile);
                if (mode.Detect)
                    detected.insert(name + QLatin1Char('/') + QLatin1String(variant), std::move(run));
            }
            const QString converted = CalibreOutput(calibre, calibreCache, work.path(), source);
            calibreAt << (converted.isEmpty() ? -1 : int(calibrePairs.size()));
            if (!converted.isEmpty())
                calibrePairs << converted + QLatin1Char('\t') + truthDir.filePath(truthFile);
        }
    }
    const QVector<double> f1 = Score(fidelityDir, pairs);
    const QVector<double> calibreF1 = calibrePairs.isEmpty() ? QVector<double>() : Score(fidelityDir, calibrePairs);
    if (f1.size() != pairs.size() || calibreF1.size() != calibrePairs.size()) {
        std::fprintf(stderr, "scoring failed\n");
        return 1;
    }
    auto F1 = [&](int book, int variant, int mode) { return f1.at((book * 2 + variant) * ModeCount + mode); };
    constexpr int Poorly = 2;
    constexpr int Well = 3;
    constexpr int Detect = 4;

    int status = 0;
    for (int v = 0; v < 2; ++v) {
        double sums[ModeCount] = {};
        double best = 0;
        double worse = 0;
        int belowWorse = 0;
        double calibreSum = 0;
        double detectWithCalibre = 0;
        int calibreBooks = 0;
        int belowCalibre = 0;
        for (int b = 0; b < books.size(); ++b) {
            QString line = QStringLiteral("f1_%1_%2:").arg(QLatin1String(Variants[v]), books.at(b));
            for (int m = 0; m < ModeCount; ++m) {
                sums[m] += F1(b, v, m);
                line += QStringLiteral(" %1=%2").arg(QLatin1String(Modes[m].Name)).arg(F1(b, v, m), 0, 'f', 3);
            }
            const TRun &run = detected.value(books.at(b) + QLatin1Char('/') + QLatin1String(Variants[v]));
            const int at = calibreAt.value(b * 2 + v, -1);
            if (at >= 0) {
                const double c = calibreF1.at(at);
                line += QStringLiteral(" calibre=%1").arg(c, 0, 'f', 3);
                calibreSum += c;
                detectWithCalibre += F1(b, v, Detect);
                ++calibreBooks;
                if (F1(b, v, Detect) < c - 0.01)
                    ++belowCalibre;
            }
            line += run.PoorlyWritten ? QStringLiteral(" (detected: poorly written") : QStringLiteral(" (detected: well written");
            if (run.WrapWidth > 0)
                line += QStringLiteral(", wrapped at %1 columns").arg(run.WrapWidth);
            line += QLatin1Char(')');
            std::printf("%s\n", qPrintable(line));
            const double low = std::min(F1(b, v, Poorly), F1(b, v, Well));
            best += std::max(F1(b, v, Poorly), F1(b, v, Well));
            worse += low;
            if (F1(b, v, Detect) < low - 1e-9)
                ++belowWorse;
        }
        const double n = books.size();
        for (int m = 0; m < ModeCount; ++m)
            std::printf("mean_f1_%s_%s: %.3f\n", Variants[v], Modes[m].Name, sums[m] / n);
        std::printf("mean_f1_%s_per_book_best: %.3f\n", Variants[v], best / n);
        std::printf("mean_f1_%s_per_book_worse: %.3f\n", Variants[v], worse / n);
        std::printf("books_below_worse_%s: %d (goal 0)\n", Variants[v], belowWorse);
        if (calibreBooks > 0) {
            std::printf("mean_f1_%s_calibre: %.3f over %d books (detect: %.3f)\n", Variants[v],
                        calibreSum / calibreBooks, calibreBooks, detectWithCalibre / calibreBooks);
            std::printf("books_below_calibre_%s: %d (goal 0) detect more than 0.01 below calibre\n", Variants[v],
                        belowCalibre);
        } else {
            std::printf("calibre_%s: skipped, no ebook-convert\n", Variants[v]);
        }
        const double gap = (best - sums[Detect]) / n;
        std::printf("ratio: %.3f (goal ≤ 0.01) mean F1 of detection below the per-book best, %s\n", gap,
                    Variants[v]);
        if (gap > 0.01 || belowWorse > 0)
            status = 1;
    }

    for (const QString &book : books) {
        const TRun &run = detected.value(book + QStringLiteral("/as_is"));
        if (run.HyphensKept + run.HyphensDropped > 0)
            std::printf("hyphens_%s: %d kept, %d dropped\n", qPrintable(book), run.HyphensKept, run.HyphensDropped);
    }
    for (int b = 0; b < books.size(); ++b) {
        QFile truth(truthDir.filePath(books.at(b) + QStringLiteral(".paras")));
        if (!truth.open(QIODevice::ReadOnly))
            continue;
        const QStringList truthLines = QString::fromUtf8(truth.readAll()).split(QLatin1Char('\n'));
        for (int classic = 1; classic >= 0; --classic) {
            TRun run;
            if (classic) {
                QStringList lines;
                ReadBookLines(corpus + QStringLiteral("/books/") + books.at(b) + QStringLiteral(".txt"), 1, 1, 50000,
                              lines);
                run = Enhance(lines, Modes[0]);
            } else {
                run = detected.value(books.at(b) + QStringLiteral("/as_is"));
            }
            const TChapterCheck check = CheckChapters(run, truthLines);
            if (check.TruthHeadings == 0)
                continue;
            const double share = double(check.Found) / check.TruthHeadings;
            std::printf("chapters_%s_%s: %d entries, %d of %d reference headings (%.0f %%), %d in contents\n",
                        classic ? "classic" : "smart", qPrintable(books.at(b)), int(run.Chapters.size()), check.Found,
                        check.TruthHeadings, 100 * share, check.ContentsEntries);
            if (!classic && (share < 0.9 || check.ContentsEntries > 0))
                status = 1;
        }
    }
    return status;
}
