// Builds a 3 MB book into the rich-box through the bulk interface, shows it
// and lays it out completely; compares with a bare QTextDocument build and
// layout of the same paragraphs and formats in the same run. Also times the
// first screen, the position <-> line conversions and reports peak memory.
#include "BenchCommon.h"
#include "RichBox.h"
#include "RichEditOps.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>

namespace {

struct TParagraph {
    QString Text;
    QVector<TFormatRun> Runs;
};

// Paragraphs of the book: lines joined up to each empty line.
QVector<TParagraph> LoadBook()
{
    QString text;
    QFile file(qEnvironmentVariable("LECTERN_CORPUS") + QStringLiteral("/books/war-and-peace.txt"));
    if (file.open(QIODevice::ReadOnly)) {
        text = QString::fromLatin1(file.readAll());
    } else {
        // No corpus: 3 MB of generated paragraphs.
        text = GeneratedProse(
            {"the", "prince", "said", "and", "it", "was", "evening", "Natasha", "looked", "at", "him"}, false);
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QVector<TParagraph> result;
    QString current;
    TCharFormat red;
    red.Mask = CFM_COLOR;
    red.TextColor = 0x0000C0;
    TCharFormat blue;
    blue.Mask = CFM_COLOR | CFM_ITALIC;
    blue.TextColor = 0xC00000;
    blue.Effects = CFE_ITALIC;
    auto flush = [&] {
        TParagraph p;
        p.Text = current.trimmed();
        // A few coloured runs: every quotation, at most three per paragraph.
        int from = 0;
        for (int n = 0; n < 3; ++n) {
            int open = p.Text.indexOf(QLatin1Char('"'), from);
            if (open < 0)
                break;
            int close = p.Text.indexOf(QLatin1Char('"'), open + 1);
            if (close < 0)
                break;
            p.Runs.append(TFormatRun{open, close - open + 1, n % 2 ? blue : red});
            from = close + 1;
        }
        if (p.Runs.isEmpty() && p.Text.size() > 20)
            p.Runs.append(TFormatRun{0, 10, red});
        result.append(p);
        current.clear();
    };
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty()) {
            if (!current.isEmpty())
                flush();
        } else {
            if (!current.isEmpty())
                current += QLatin1Char(' ');
            current += line;
        }
    }
    if (!current.isEmpty())
        flush();
    return result;
}

TParaFormat BookParagraph()
{
    TParaFormat para;
    para.Mask = PFM_ALIGNMENT | PFM_LINESPACING | PFM_SPACEAFTER | PFM_STARTINDENT | PFM_OFFSET;
    para.Alignment = PFA_JUSTIFY;
    para.LineSpacing = 24;
    para.LineSpacingRule = 5;
    para.SpaceAfter = 115;
    para.StartIndent = 345;
    para.Offset = -345;
    return para;
}

TCharFormat BookFont()
{
    TCharFormat font;
    font.Mask = CFM_FACE | CFM_SIZE;
    font.FaceName = QStringLiteral("DejaVu Serif");
    font.HeightTwips = 240;
    return font;
}

// The floor: the same paragraphs and formats straight into a QTextDocument,
// one insertText per run, detached, then a full layout at the same width.
double BareBuildAndLayout(const QVector<TParagraph> &book, qreal width, qint64 *buildMs)
{
    QElapsedTimer timer;
    timer.start();
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    doc.setDocumentMargin(2);
    QTextCursor cursor(&doc);
    cursor.setBlockFormat(ToQtBlockFormat(BookParagraph()));
    QTextCharFormat base = ToQtCharFormat(BookFont());
    const QString separator(QChar(0x2029));
    for (int i = 0; i < book.size(); ++i) {
        const TParagraph &p = book.at(i);
        int at = 0;
        for (const TFormatRun &run : p.Runs) {
            if (run.Start > at)
                cursor.insertText(p.Text.mid(at, run.Start - at), base);
            QTextCharFormat f = base;
            f.merge(ToQtCharFormat(run.Format));
            cursor.insertText(p.Text.mid(run.Start, run.Length), f);
            at = run.Start + run.Length;
        }
        // The paragraph separator goes in with the paragraph's last piece.
        cursor.insertText(i + 1 < book.size() ? p.Text.mid(at) + separator : p.Text.mid(at), base);
    }
    *buildMs = timer.elapsed();
    doc.setTextWidth(width);
    doc.documentLayout()->documentSize();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QVector<TParagraph> book = LoadBook();
    qint64 chars = 0;
    for (const TParagraph &p : book)
        chars += p.Text.size() + 2;
    std::printf("book: %lld characters, %d paragraphs\n", chars, int(book.size()));

    TRichBox box;
    box.resize(900, 1000);
    box.show();
    QCoreApplication::processEvents();
    const qreal width = box.document()->textWidth();

    int paints = 0;
    box.OnPaintBackground = [&paints](QPainter &, const QRect &) { ++paints; };

    double bestFloor = 1e18, bestOurs = 1e18, bestFirst = 1e18;
    qint64 floorBuild = 0, oursBuild = 0;
    for (int round = 0; round < 2; ++round) {
        qint64 build = 0;
        double floor = BareBuildAndLayout(book, width, &build);
        if (floor < bestFloor) {
            bestFloor = floor;
            floorBuild = build;
        }

        QElapsedTimer timer;
        timer.start();
        TRichDocument *doc = box.RichDocument();
        const TParaFormat para = BookParagraph();
        doc->BeginBulk();
        doc->SetCharFormat(BookFont(), true);
        doc->SetParaFormat(para, true);
        for (const TParagraph &p : book)
            doc->AppendParagraph(p.Text, nullptr, nullptr, p.Runs);
        doc->EndBulk();
        build = timer.elapsed();
        // First screen: until the box has painted the new document.
        QElapsedTimer first;
        first.start();
        int before = paints;
        box.viewport()->update();
        while (paints == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        double firstMs = first.nsecsElapsed() / 1e6;
        box.document()->documentLayout()->documentSize(); // the rest of the layout
        double ours = timer.nsecsElapsed() / 1e6;
        if (ours < bestOurs) {
            bestOurs = ours;
            oursBuild = build;
        }
        bestFirst = std::min(bestFirst, firstMs);
    }

    std::printf("bare build: %lld ms\n", floorBuild);
    std::printf("bare build+layout: %.0f ms\n", bestFloor);
    std::printf("richbox build: %lld ms\n", oursBuild);
    std::printf("richbox build+show+layout: %.0f ms\n", bestOurs);
    std::printf("first screen: %.1f ms (goal ≤ 100)\n", bestFirst);
    std::printf("lines: %d\n", box.LineCountExact());

    // Position -> line -> position at random places.
    auto *rng = QRandomGenerator::global();
    const int length = GetTextLength(&box);
    QElapsedTimer timer;
    timer.start();
    int bad = 0;
    for (int i = 0; i < 10000; ++i) {
        int position = rng->bounded(length);
        int line = LineFromChar(&box, position);
        int start = LineIndex(&box, line);
        int next = LineIndex(&box, line + 1);
        if (start > position || (next > -1 && next <= position))
            ++bad;
    }
    std::printf("conversion position->line->position: %.2f us\n", timer.nsecsElapsed() / 1e3 / 10000);
    std::printf("conversion mismatches: %d\n", bad);
    std::printf("peak memory: %ld kB\n", PeakMemoryKb());
    std::printf("ratio: %.2f (goal ≤ 1.3)\n", bestOurs / bestFloor);
    return bad == 0 ? 0 : 1;
}
