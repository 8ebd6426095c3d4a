// The page like a printed book, in the main window at 1280x800 with the
// default profile. One executable, one section after another:
// - word gaps: the share of justified lines with a gap over twice the
//   normal space, on the shared books, hyphenation off and on, and the share
//   of hyphenated lines;
// - cost: what hyphenating adds to a whole 3 MB book's load and layout, and
//   to the first screen of a piece.
// Lines "key: value unit" and "ratio: X (goal ≤ Y) what".
#include "TypographyMeasures.h"

#include "BookConverter.h"
#include "BookFile.h"
#include "ConvertOptions.h"
#include "Dialogs.h"
#include "EnhancedRichEdit.h"
#include "Hyphenation.h"
#include "LanguageGuess.h"
#include "LecternForm.h"
#include "OpenBook.h"
#include "ProfileFormatTabSheet.h"
#include "RichBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace {

const char *const GapBooks[]
    = {"moby-dick", "pride-and-prejudice", "war-and-peace", "die-verwandlung", "du-cote-de-chez-swann"};

QString CorpusBook(const char *name)
{
    return qEnvironmentVariable("LECTERN_CORPUS") + QStringLiteral("/books/") + QLatin1String(name)
        + QStringLiteral(".txt");
}

double Percent(int part, int whole) { return whole > 0 ? 100.0 * part / whole : 0.0; }

struct TWholeLoad {
    bool Read = false;
    double EnhanceMs = 0;
    double LayoutMs = 0;
    QString Patterns;
};

// The whole book (never in pieces) enhanced into the window's rich-box with
// the window's options, then laid out to its end.
TWholeLoad LoadWhole(TLecternForm &form, THyphenators &hyphenators, const QString &path, bool hyphenate)
{
    TWholeLoad load;
    TBookFormatOptions options = form.CurrentFormatOptions();
    options.Hyphenate = hyphenate;
    TBookOpenCheck check = CheckBookForOpening(path, false, DefaultPieceSize);
    if (check.Verdict != TBookOpenVerdict::Open && check.Verdict != TBookOpenVerdict::AskOnePiece)
        return load;
    TOpenBook book;
    book.Open(path, check, DefaultPieceSize, true, TBookEncoding());
    TRichDocument *document = form.RichEdit->RichDocument();
    document->Clear();
    QElapsedTimer timer;
    timer.start();
    ApplyBookFormat(*form.Engine, options);
    load.Read = book.ReadPlainPiece(1, options, true, *form.Engine, *document, &hyphenators);
    load.EnhanceMs = timer.nsecsElapsed() / 1e6;
    timer.restart();
    form.RichEdit->LineCountExact();
    load.LayoutMs = timer.nsecsElapsed() / 1e6;
    load.Patterns = book.HyphenationPatterns();
    return load;
}

// The patterns of the books' languages are read before anything is timed.
void ReadPatterns(THyphenators &hyphenators)
{
    for (const char *name : GapBooks) {
        QFile file(CorpusBook(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QLocale locale(GuessLanguage(QString::fromUtf8(file.read(200000))));
        QElapsedTimer timer;
        timer.start();
        if (hyphenators.ForLocale(locale, 600000))
            printf("patterns_read_%s: %.0f ms\n", qPrintable(locale.name()), timer.nsecsElapsed() / 1e6);
    }
}

void WordGapSection(TLecternForm &form, THyphenators &hyphenators)
{
    TGapCount off, on;
    int books = 0;
    for (const char *name : GapBooks) {
        const QString path = CorpusBook(name);
        if (!QFileInfo::exists(path)) {
            printf("gaps_%s: skipped (not in the corpus)\n", name);
            continue;
        }
        const TWholeLoad without = LoadWhole(form, hyphenators, path, false);
        const TGapCount bookOff = CountGaps(*form.RichEdit->document());
        const TWholeLoad with = LoadWhole(form, hyphenators, path, true);
        const double holdMs = LimitAllHyphenatedRuns(*form.RichEdit->RichDocument());
        const TGapCount bookOn = CountGaps(*form.RichEdit->document());
        if (!without.Read || !with.Read) {
            printf("gaps_%s: skipped (not read)\n", name);
            continue;
        }
        ++books;
        off += bookOff;
        on += bookOn;
        printf("gaps_%s_patterns: %s\n", name,
               with.Patterns.isEmpty() ? "none" : qPrintable(QFileInfo(with.Patterns).fileName()));
        printf("gaps_%s_lines: %d off, %d on\n", name, bookOff.Lines, bookOn.Lines);
        printf("gaps_%s_wide_off: %.2f %%\n", name, Percent(bookOff.Wide, bookOff.Lines));
        printf("gaps_%s_wide_on: %.2f %%\n", name, Percent(bookOn.Wide, bookOn.Lines));
        printf("gaps_%s_hyphenated: %.2f %%\n", name, Percent(bookOn.Hyphenated, bookOn.Lines));
        printf("gaps_%s_two_in_a_row_held: %.0f ms\n", name, holdMs);
        fflush(stdout);
    }
    if (books == 0) {
        printf("gaps: skipped (no shared book)\n");
        return;
    }
    printf("gaps_books: %d\n", books);
    printf("gaps_wide_off: %.2f %% of %d lines\n", Percent(off.Wide, off.Lines), off.Lines);
    printf("gaps_wide_on: %.2f %% of %d lines\n", Percent(on.Wide, on.Lines), on.Lines);
    printf("gaps_hyphenated: %.2f %%\n", Percent(on.Hyphenated, on.Lines));
    const double wideOff = Percent(off.Wide, off.Lines);
    printf("ratio: %.3f (goal ≤ 0.25) lines with a gap over two spaces, hyphenation on against off\n",
           wideOff > 0 ? Percent(on.Wide, on.Lines) / wideOff : 0.0);
    printf("ratio: %.3f (goal ≤ 0.15) share of hyphenated lines\n", Percent(on.Hyphenated, on.Lines) / 100);
    fflush(stdout);
}

// Best of `runs` first screens of a piece of the open book.
double FirstScreenMs(TLecternForm &form, int piece, int runs)
{
    double best = 1e12;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        form.LoadFromFile(QString(), piece, false, 0);
        form.RichEdit->viewport()->repaint();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

void CostSection(TLecternForm &form, THyphenators &hyphenators)
{
    const QString path = CorpusBook("war-and-peace");
    if (!QFileInfo::exists(path)) {
        printf("cost: skipped (war-and-peace.txt not in the corpus)\n");
        return;
    }
    // The whole book: the best of three loads each way.
    TWholeLoad off, on;
    off.EnhanceMs = on.EnhanceMs = 1e12;
    for (int i = 0; i < 3; ++i) {
        for (bool hyphenate : {false, true}) {
            const TWholeLoad load = LoadWhole(form, hyphenators, path, hyphenate);
            TWholeLoad &best = hyphenate ? on : off;
            if (load.EnhanceMs + load.LayoutMs < best.EnhanceMs + best.LayoutMs)
                best = load;
        }
    }
    const double size = QFileInfo(path).size() / 1e6;
    printf("cost_book: war-and-peace.txt (%.1f MB)\n", size);
    printf("cost_load_off: %.0f ms (enhance %.0f, layout %.0f)\n", off.EnhanceMs + off.LayoutMs, off.EnhanceMs,
           off.LayoutMs);
    printf("cost_load_on: %.0f ms (enhance %.0f, layout %.0f)\n", on.EnhanceMs + on.LayoutMs, on.EnhanceMs,
           on.LayoutMs);
    printf("ratio: %.3f (goal ≤ 1.2) whole-book load and layout, hyphenation on against off\n",
           (on.EnhanceMs + on.LayoutMs) / std::max(1.0, off.EnhanceMs + off.LayoutMs));

    // The first screen of a piece, as the window opens it.
    form.OpenInPiecesCheckBox->setChecked(true);
    auto *hyphenate = form.ProfileFormatTabSheet->findChild<QCheckBox *>(QStringLiteral("HyphenateCheckBox"));
    hyphenate->setChecked(false);
    if (!form.OpenBook(path, false)) {
        printf("cost_first_screen: skipped (not opened)\n");
        return;
    }
    const int piece = std::max(1, form.PiecesComboBox->count() / 2);
    FirstScreenMs(form, piece, 1); // the caches settle
    const double without = FirstScreenMs(form, piece, 5);
    hyphenate->setChecked(true);
    FirstScreenMs(form, piece, 1);
    const double with = FirstScreenMs(form, piece, 5);
    printf("cost_first_screen_off: %.1f ms (piece %d of %d)\n", without, piece, form.PiecesComboBox->count());
    printf("cost_first_screen_on: %.1f ms\n", with);
    printf("cost_first_screen_added: %.1f ms (goal ≤ 5 ms)\n", with - without);
    fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TScopedRecordingDialogs dialogs; // answers the one-piece question
    TLecternForm::FirstActivation = false;
    TLecternForm form;
    form.IsApplicationActive = [] { return true; };
    form.resize(1280, 800);
    form.show();
    form.RichEdit->show();
    QCoreApplication::processEvents();
    printf("layout: %.0f px text width in a %dx%d window\n", form.RichEdit->document()->textWidth(), form.width(),
           form.height());
    THyphenators hyphenators;
    ReadPatterns(hyphenators);
    WordGapSection(form, hyphenators);
    CostSection(form, hyphenators);
    return 0;
}
