// Measures the enhancement engine on a real 3 MB book (war-and-peace.txt
// from the corpus) or, without the corpus, on a generated text of the same
// size: the text processing alone, the whole enhancement into the rich-box
// document with its layout, and the floor of a bare QTextDocument holding
// the same paragraphs, laid out the same way. Then long paragraphs made from
// the same book (prose whose lines all join, and lines full of quotes), whose
// cost per byte must stay near that of the book's ordinary paragraphs; and
// the cost of the choices beyond the classic rules on a 20 MB book.
#include "BenchCommon.h"
#include "BookFile.h"
#include "EnhancedRichEdit.h"
#include "HyphenWords.h"
#include "RichDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <cstdio>

namespace {

constexpr double LayoutWidth = 900.0;

QByteArray GeneratedBook(qsizetype size)
{
    static const char *const words[]
        = {"the", "prince", "said",  "and",        "to",      "her",     "with", "a",     "smile",
           "of",  "Moscow", "was",   "in",         "that",    "evening", "army", "which", "had",
           "not", "been",   "quite", "well-known", "Natasha", "looked",  "at",   "him"};
    QRandomGenerator random(20251208);
    QByteArray book;
    book.reserve(size + 200);
    int chapter = 0;
    // Paragraphs of 2 to 9 wrapped lines; every other paragraph opens with
    // a quoted sentence, about the dialogue density of a novel.
    while (book.size() < size) {
        if (random.bounded(40) == 0)
            book += "CHAPTER " + QByteArray::number(++chapter) + "\n\n";
        const int lines = 2 + random.bounded(8);
        const bool quote = random.bounded(2) == 0;
        for (int l = 0; l < lines; ++l) {
            QByteArray line;
            if (quote && l == 0)
                line += '"';
            while (line.size() < 66) {
                line += words[random.bounded(int(sizeof(words) / sizeof(words[0])))];
                line += ' ';
            }
            line.chop(1);
            if (quote && l == 0)
                line += ",\" he said,";
            else if (l + 1 == lines)
                line += '.';
            book += line + "\n";
        }
        book += "\n";
    }
    return book;
}

// A book of `size` characters without empty lines or indents: paragraphs
// of 20 to 120 words wrapped at 72 columns, every third one a speech.
QStringList WrappedBookWithoutEmptyLines(qsizetype size)
{
    static const char *const words[]
        = {"the", "prince", "said", "and", "to", "her", "with", "a", "smile", "of", "Moscow", "was", "in",
           "that", "evening", "army", "which", "had", "not", "been", "quite", "well-known", "Natasha", "looked"};
    QRandomGenerator random(20251209);
    QStringList lines;
    qsizetype total = 0;
    while (total < size) {
        const int count = 20 + random.bounded(100);
        const bool speech = random.bounded(3) == 0;
        QString line = speech ? QStringLiteral("\"The") : QStringLiteral("The");
        for (int w = 0; w < count; ++w) {
            const QLatin1String word(words[random.bounded(int(sizeof(words) / sizeof(words[0])))]);
            if (line.size() + 1 + word.size() > 72) {
                total += line.size() + 1;
                lines << line;
                line.clear();
            }
            if (!line.isEmpty())
                line += QLatin1Char(' ');
            line += word;
        }
        line += speech ? QStringLiteral(".\"") : QStringLiteral(".");
        total += line.size() + 1;
        lines << line;
    }
    return lines;
}

QStringList SplitLines(const QByteArray &bytes)
{
    // Read exactly as the reader reads a whole book.
    return BookLinesFromBytes(bytes, TByteEdges(), DetectBookEncoding(bytes));
}

// The profile's defaults: justified Times New Roman 16, distinct quote colours.
void SetDefaultBase(TEnhancedRichEdit &engine)
{
    engine.SetBaseFormat(false, false, 120, 5, 0, 3, 0x5A00B4, 0x820000, 0x000000, 0, 16,
                         QStringLiteral("Times New Roman"), false);
}

// Lays the whole document out at the reading width.
double LayOut(QTextDocument *document)
{
    document->setTextWidth(LayoutWidth);
    QAbstractTextDocumentLayout *layout = document->documentLayout();
    const QRectF last = layout->blockBoundingRect(document->lastBlock());
    return std::max(layout->documentSize().height(), last.bottom());
}

template<typename F> double BestMs(int repeats, F run)
{
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// Lines of the book that join into one paragraph in well-written mode:
// trimmed (so none is indented), without the lines that always start or end
// a paragraph (headings, separators, command and list-like lines, a colon
// before a capital), taken until they hold `size` bytes.
QStringList OneParagraphOfProse(const QStringList &book, qsizetype size)
{
    QStringList lines;
    qsizetype total = 0;
    while (total < size) {
        for (const QString &raw : book) {
            const QString line = raw.trimmed();
            if (line.isEmpty() || QStringLiteral("*-=^#\u00B7\u00A7").contains(line.front())
                || line.endsWith(QLatin1Char(':')) || TEnhancedRichEdit::IsChapterHeading(line)
                || TEnhancedRichEdit::IsSeparatorLine(line))
                continue;
            lines.append(line);
            total += line.size() + 1;
            if (total >= size)
                break;
        }
    }
    return lines;
}

// A line of speech with an unclosed double quote and a single-quoted word,
// repeated: no line ends a sentence, so all of them join into one paragraph
// with a colour run every few words.
QStringList QuoteLines(qsizetype size)
{
    const QString line = QStringLiteral("He said \"hello and 'good' bye");
    return QStringList(int(size / (line.size() + 1)), line);
}

// Enhances the lines into a rich-box document and lays it out: milliseconds.
double WholeEnhancement(TEnhancedRichEdit &engine, const QStringList &lines, bool poorlyWritten, int *blocks = nullptr,
                        double *height = nullptr)
{
    QElapsedTimer timer;
    timer.start();
    TRichDocument document;
    engine.RichBox = &document;
    SetDefaultBase(engine);
    engine.ApplyCharFormat(true, 0);
    engine.ApplyParaFormat(true, 0);
    engine.EnhanceText(lines, QStringLiteral("None"), false, poorlyWritten);
    const double laidOut = LayOut(document.Document());
    const double ms = timer.nsecsElapsed() / 1e6;
    if (blocks)
        *blocks = document.Document()->blockCount();
    if (height)
        *height = laidOut;
    engine.RichBox = nullptr;
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QByteArray bytes;
    QString source = QStringLiteral("generated");
    const QString corpus = qEnvironmentVariable("LECTERN_CORPUS");
    QFile file(corpus + QStringLiteral("/books/war-and-peace.txt"));
    if (!corpus.isEmpty() && file.open(QIODevice::ReadOnly)) {
        bytes = file.readAll();
        source = QStringLiteral("war-and-peace.txt");
    } else {
        bytes = GeneratedBook(3 * 1024 * 1024);
    }
    const QStringList lines = SplitLines(bytes);
    const double megabytes = bytes.size() / 1e6;
    std::printf("book: %s\n", qPrintable(source));
    std::printf("size: %.2f MB\n", megabytes);
    std::printf("lines: %d\n", int(lines.size()));

    // Text processing alone: lines in, paragraphs and colour runs out.
    TEnhancedRichEdit engine;
    TRecordingParagraphSink counter;
    counter.KeepParagraphs = false;
    const double processMs = BestMs(5, [&] {
        SetDefaultBase(engine);
        counter = TRecordingParagraphSink();
        counter.KeepParagraphs = false;
        engine.EnhanceText(lines, QStringLiteral("None"), false, true, counter);
    });
    std::printf("paragraphs: %d\n", counter.ParagraphCount);
    std::printf("formatted_paragraphs: %d\n", counter.FormattedCount);
    std::printf("colour_runs: %d\n", counter.RunCount);
    std::printf("chapters: %d\n", engine.ChapterItemCount());
    std::printf("text_processing: %.1f ms\n", processMs);
    std::printf("text_processing_speed: %.1f MB/s (goal > 50)\n", megabytes / (processMs / 1000.0));

    // The choices beyond the classic rules (layout detection, the hyphen
    // check, the chapters menu) on a 20 MB book, the book repeated: their
    // cost against the classic rules with the rule set detection chose.
    {
        QStringList big;
        qsizetype bigSize = 0;
        while (bigSize < 20000000) {
            big += lines;
            bigSize += bytes.size();
        }
        TEnhancedRichEdit chosen;
        chosen.Choices.DetectTextLayout = true;
        chosen.Choices.CheckHyphens = true;
        chosen.Choices.SmartChapters = true;
        TEnhancedRichEdit classic;
        auto run = [&](TEnhancedRichEdit &e, bool poorly) {
            SetDefaultBase(e);
            TRecordingParagraphSink sink;
            sink.KeepParagraphs = false;
            e.EnhanceText(big, QStringLiteral("None"), false, poorly, sink);
        };
        run(chosen, true);
        const bool poorly = chosen.PoorlyWritten;
        double classicMs = 1e300;
        double chosenMs = 1e300;
        for (int i = 0; i < 3; ++i) {
            classicMs = std::min(classicMs, BestMs(1, [&] { run(classic, poorly); }));
            chosenMs = std::min(chosenMs, BestMs(1, [&] { run(chosen, true); }));
        }
        std::printf("choices_book_size: %.1f MB\n", bigSize / 1e6);
        std::printf("choices_detected: %s\n", poorly ? "poorly written" : "well written");
        std::printf("choices_chapters: %d\n", chosen.ChapterItemCount());
        std::printf("choices_hyphens: %d kept, %d dropped\n", chosen.HyphensKept, chosen.HyphensDropped);
        // Each choice alone, to see where the cost is.
        const char *const names[] = {"detect", "hyphens", "chapters"};
        for (int c = 0; c < 3; ++c) {
            TEnhancedRichEdit one;
            one.Choices.DetectTextLayout = c == 0;
            one.Choices.CheckHyphens = c == 1;
            one.Choices.SmartChapters = c == 2;
            const double ms = BestMs(2, [&] { run(one, poorly); });
            std::printf("text_processing_%s_only_20mb: %.1f ms\n", names[c], ms);
        }
        THyphenWords words;
        std::printf("hyphen_word_pass_20mb: %.1f ms\n", BestMs(2, [&] { words.Build(big); }));
        std::printf("text_processing_classic_20mb: %.1f ms\n", classicMs);
        std::printf("text_processing_choices_20mb: %.1f ms\n", chosenMs);
        // The text processing alone is a small part of opening a book: the
        // word pass of the hyphen check costs about as much as the classic
        // walk itself, but little against the enhancement into the document
        // with its layout, which the goal is about.
        std::printf("text_processing_choices_against_classic: %.2f\n", chosenMs / classicMs);
        double wholeClassicMs = 1e300;
        double wholeChosenMs = 1e300;
        for (int i = 0; i < 2; ++i) {
            wholeClassicMs = std::min(wholeClassicMs, WholeEnhancement(classic, big, poorly));
            wholeChosenMs = std::min(wholeChosenMs, WholeEnhancement(chosen, big, true));
        }
        std::printf("whole_enhancement_classic_20mb: %.1f ms\n", wholeClassicMs);
        std::printf("whole_enhancement_choices_20mb: %.1f ms\n", wholeChosenMs);
        std::printf("ratio: %.2f (goal ≤ 1.15) whole enhancement with the choices against without\n",
                    wholeChosenMs / wholeClassicMs);
    }

    // The reading by the wrap width, on a 20 MB book that needs it: the
    // whole enhancement with layout detection against the same detection
    // reading by the rules alone.
    {
        const QStringList wrapped = WrappedBookWithoutEmptyLines(20000000);
        TEnhancedRichEdit byWidth;
        byWidth.Choices.DetectTextLayout = true;
        TEnhancedRichEdit byRules;
        byRules.Choices.DetectTextLayout = true;
        byRules.Choices.NoWrapReading = true;
        double rulesMs = 1e300;
        double widthMs = 1e300;
        int rulesBlocks = 0;
        int widthBlocks = 0;
        for (int i = 0; i < 2; ++i) {
            rulesMs = std::min(rulesMs, WholeEnhancement(byRules, wrapped, true, &rulesBlocks));
            widthMs = std::min(widthMs, WholeEnhancement(byWidth, wrapped, true, &widthBlocks));
        }
        std::printf("wrap_book_lines: %d, wrapped at %d\n", int(wrapped.size()), byWidth.WrapWidth);
        std::printf("wrap_paragraphs: %d by the width, %d by the rules\n", widthBlocks, rulesBlocks);
        std::printf("whole_enhancement_rules_20mb_no_empty_lines: %.1f ms\n", rulesMs);
        std::printf("whole_enhancement_wrap_width_20mb_no_empty_lines: %.1f ms\n", widthMs);
        std::printf("ratio: %.2f (goal ≤ 1.15) whole enhancement reading the wrap width against the rules alone\n",
                    widthMs / rulesMs);
    }

    // The same paragraphs, kept for the floor.
    TRecordingParagraphSink recorder;
    SetDefaultBase(engine);
    engine.EnhanceText(lines, QStringLiteral("None"), false, true, recorder);
    QString joined;
    joined.reserve(int(recorder.CharacterCount + recorder.ParagraphCount));
    for (const auto &paragraph : recorder.Paragraphs) {
        if (!joined.isEmpty() || &paragraph != &recorder.Paragraphs.first())
            joined += QChar::ParagraphSeparator;
        joined += paragraph.Text;
    }
    recorder = TRecordingParagraphSink();

    // Whole enhancement: into the rich-box document, laid out.
    double height = 0;
    int blocks = 0;
    double buildMs = 1e300;
    auto whole = [&] {
        QElapsedTimer timer;
        timer.start();
        TRichDocument document;
        engine.RichBox = &document;
        SetDefaultBase(engine);
        engine.ApplyCharFormat(true, 0);
        engine.ApplyParaFormat(true, 0);
        engine.EnhanceText(lines, QStringLiteral("None"), false, true);
        buildMs = std::min(buildMs, timer.nsecsElapsed() / 1e6);
        height = LayOut(document.Document());
        blocks = document.Document()->blockCount();
        engine.RichBox = nullptr;
    };

    // The document's base formats, for the floors.
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(16);
    // 120 % line spacing and 5 x 57.6 twips after each paragraph, justified.
    QTextBlockFormat block;
    block.setLineHeight(120, QTextBlockFormat::ProportionalHeight);
    block.setBottomMargin(TwipsToPixels(288));
    block.setAlignment(Qt::AlignJustify);

    // Floor: a bare QTextDocument with the same paragraphs in the base
    // format, inserted at once.
    double floorHeight = 0;
    double floorBuildMs = 1e300;
    auto floor = [&] {
        QElapsedTimer timer;
        timer.start();
        QTextDocument document;
        document.setUndoRedoEnabled(false);
        document.setDefaultFont(font);
        QTextCursor cursor(&document);
        cursor.setBlockFormat(block);
        cursor.insertText(joined);
        floorBuildMs = std::min(floorBuildMs, timer.nsecsElapsed() / 1e6);
        floorHeight = LayOut(&document);
    };

    // Interleaved, best of five each: the machine's load changes slowly.
    double wholeMs = 1e300;
    double floorMs = 1e300;
    for (int i = 0; i < 5; ++i) {
        wholeMs = std::min(wholeMs, BestMs(1, whole));
        floorMs = std::min(floorMs, BestMs(1, floor));
    }
    std::printf("document_blocks: %d\n", blocks);
    std::printf("document_height: %.0f px\n", height);
    std::printf("document_build: %.1f ms\n", buildMs);
    std::printf("whole_enhancement: %.1f ms\n", wholeMs);
    std::printf("floor_height: %.0f px\n", floorHeight);
    std::printf("floor_build: %.1f ms\n", floorBuildMs);
    std::printf("floor_qtextdocument: %.1f ms\n", floorMs);

    // EmphasizeText over the whole book (after a colour change).
    double emphasizeMs = 0;
    {
        TRichDocument document;
        engine.RichBox = &document;
        SetDefaultBase(engine);
        engine.ApplyCharFormat(true, 0);
        engine.ApplyParaFormat(true, 0);
        engine.EnhanceText(lines, QStringLiteral("None"), false, true);
        LayOut(document.Document());
        emphasizeMs = BestMs(1, [&] { engine.EmphasizeText(0x0000FF, 0x00AA00); });
        engine.RichBox = nullptr;
    }
    std::printf("emphasize_text: %.1f ms\n", emphasizeMs);

    std::printf("peak_memory: %ld kB\n", PeakMemoryKb());
    std::printf("ratio: %.2f (goal ≤ 1.5)\n", wholeMs / floorMs);

    // Long paragraphs: the cost per byte against the book's, whole
    // enhancement with layout, best of three each.
    const double bookSpeed = megabytes / (wholeMs / 1000.0);
    std::printf("book_whole_enhancement_speed: %.1f MB/s\n", bookSpeed);
    struct TLongCase {
        const char *Name;
        QStringList Lines;
        bool PoorlyWritten;
    };
    const TLongCase cases[] = {
        {"prose_0_5mb_one_paragraph", OneParagraphOfProse(lines, 500000), false},
        {"prose_2mb_one_paragraph", OneParagraphOfProse(lines, 2000000), false},
        {"quote_lines_2mb_one_paragraph", QuoteLines(2000000), true},
    };
    for (const TLongCase &c : cases) {
        qsizetype size = 0;
        for (const QString &line : c.Lines)
            size += line.size() + 1;
        SetDefaultBase(engine);
        counter = TRecordingParagraphSink();
        counter.KeepParagraphs = false;
        engine.EnhanceText(c.Lines, QStringLiteral("None"), false, c.PoorlyWritten, counter);
        int longBlocks = 0;
        const double ms = BestMs(3, [&] { WholeEnhancement(engine, c.Lines, c.PoorlyWritten, &longBlocks); });
        const double speed = size / 1e6 / (ms / 1000.0);
        std::printf("%s: %.2f MB, %d paragraph(s), %d colour runs, %d blocks\n", c.Name, size / 1e6,
                    counter.ParagraphCount, counter.RunCount, longBlocks);
        std::printf("%s_whole_enhancement: %.1f ms\n", c.Name, ms);
        std::printf("%s_speed: %.1f MB/s\n", c.Name, speed);
        std::printf("ratio: %.2f (goal ≤ 2) %s cost per byte against the book's\n", bookSpeed / speed, c.Name);
    }
    std::printf("peak_memory_with_long_paragraphs: %ld kB\n", PeakMemoryKb());
    return 0;
}
