#include "HyphenatedLines.h"

#include "RichDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QTextDocument>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

namespace {

bool IsInWord(QChar c) { return c.isLetter() || c.isMark() || c == SoftHyphen; }

} // namespace

bool IsLaidOut(const QTextBlock &block) { return block.isValid() && block.layout() && block.layout()->lineCount() > 0; }

QVector<bool> HyphenatedLineEnds(const QTextBlock &block)
{
    QVector<bool> ends;
    if (!IsLaidOut(block))
        return ends;
    const QString text = block.text();
    const QTextLayout *layout = block.layout();
    ends.reserve(layout->lineCount());
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const int last = line.textStart() + line.textLength() - 1;
        ends.append(i + 1 < layout->lineCount() && last >= 0 && last < text.size() && text.at(last) == SoftHyphen);
    }
    return ends;
}

bool LimitHyphenatedRuns(TRichDocument &document, const QTextBlock &block, int most)
{
    if (!IsLaidOut(block) || document.SoftHyphens().CountIn(block.position(), block.position() + block.length()) == 0)
        return false;
    QTextDocument *doc = document.Document();
    const int number = block.blockNumber();
    bool changed = false;
    // Every round takes at least one soft hyphen out, so the rounds end.
    for (;;) {
        const QTextBlock current = doc->findBlockByNumber(number);
        if (!IsLaidOut(current))
            doc->documentLayout()->blockBoundingRect(current);
        const QVector<bool> ends = HyphenatedLineEnds(current);
        int run = 0;
        int over = -1;
        for (int i = 0; i < ends.size() && over < 0; ++i) {
            run = ends.at(i) ? run + 1 : 0;
            if (run > most)
                over = i;
        }
        if (over < 0)
            return changed;
        const QString text = current.text();
        const QTextLine line = current.layout()->lineAt(over);
        int start = line.textStart() + line.textLength() - 1;
        int end = start + 1;
        while (start > 0 && IsInWord(text.at(start - 1)))
            --start;
        while (end < text.size() && IsInWord(text.at(end)))
            ++end;
        if (!document.DropSoftHyphens(current.position() + start, current.position() + end))
            return changed; // a soft hyphen of the book's own: nothing to take
        changed = true;
    }
}

namespace {

// A place where a line may end: its text ends before End (the trailing
// spaces left out), the next line starts at Next; Soft when it ends at a
// soft hyphen (which then shows as a hyphen); Holdable when the line may be
// kept from breaking there by holding its spaces.
struct TLineEnd {
    int End;
    int Next;
    bool Soft;
    bool Holdable;
};

// The widths of a block's text, measured as Qt shapes it on one line.
class TParagraphMeasure {
public:
    // The block's text with the spaces at `held` (positions in the block)
    // as spaces.
    bool Measure(const QTextBlock &block, const std::vector<int> &held)
    {
        Text = block.text();
        for (int at : held)
            Text[at] = QLatin1Char(' ');
        for (QChar c : Text)
            if (c == QLatin1Char('\t') || c == QChar::LineSeparator || c == QChar::ObjectReplacementCharacter)
                return false;
        const QFont base = block.document()->defaultFont();
        QVector<QTextLayout::FormatRange> formats;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            formats.append({fragment.position() - block.position(), fragment.length(), fragment.charFormat()});
        }
        QTextCharFormat first = block.charFormat();
        if (!formats.isEmpty())
            first = formats.first().format;
        const QFontMetricsF metrics(first.font().resolve(base));
        Space = metrics.horizontalAdvance(QLatin1Char(' '));
        Hyphen = metrics.horizontalAdvance(QLatin1Char('-'));
        QTextLayout layout(Text, base);
        layout.setFormats(formats);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        if (!line.isValid()) {
            layout.endLayout();
            return false;
        }
        line.setLineWidth(1e9);
        layout.endLayout();
        X.resize(Text.size() + 1);
        Spaces.resize(Text.size() + 1);
        Spaces[0] = 0;
        for (int i = 0; i <= Text.size(); ++i) {
            X[i] = line.cursorToX(i);
            if (i > 0)
                Spaces[i] = Spaces[i - 1] + (Text.at(i - 1) == QLatin1Char(' ') ? 1 : 0);
        }
        return Space > 0;
    }

    // Where lines may end, in the order of the text: the line breaks Qt
    // itself allows.
    QVector<TLineEnd> LineEnds() const
    {
        QVector<TLineEnd> ends;
        const int n = int(Text.size());
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, Text);
        for (int next = int(breaks.toNextBoundary()); next > 0 && next < n; next = int(breaks.toNextBoundary())) {
            int end = next;
            while (end > 0 && Text.at(end - 1).isSpace())
                --end;
            if (end == 0)
                continue;
            bool holdable = next > end;
            for (int i = end; i < next && holdable; ++i)
                holdable = Text.at(i) == QLatin1Char(' ');
            ends.append({end, next, Text.at(end - 1) == SoftHyphen, holdable});
        }
        return ends;
    }

    double Width(int from, const TLineEnd &end) const { return X[end.End] - X[from] + (end.Soft ? Hyphen : 0); }
    double RestWidth(int from) const
    {
        int end = Text.size();
        while (end > from && Text.at(end - 1).isSpace())
            --end;
        return X[end] - X[from];
    }
    int Gaps(int from, int end) const { return Spaces[end] - Spaces[from]; }
    double SpaceWidth() const { return Space; }
    int Length() const { return Text.size(); }

private:
    QString Text;
    QVector<double> X; // the x of each cursor position
    QVector<int> Spaces; // spaces before each position
    double Space = 0;
    double Hyphen = 0;
};

constexpr double Fit = 0.01; // pixels a line may be over and still fit
constexpr double HyphenCost = 60;
constexpr double WideCost = 1000;
// Every line costs more than any evenness gains: a paragraph keeps as few
// lines as Qt's own breaking gives it, so its height, and the place of
// everything after it, stays.
constexpr double LineCost = 1e7;
constexpr int SettledMark = 0x40000000;

// How much wider than the font's space a line's gaps grow when it is
// justified.
double Stretch(const TParagraphMeasure &measure, int start, const TLineEnd &end, double width)
{
    const int gaps = measure.Gaps(start, end.End);
    if (gaps == 0)
        return 0;
    return std::max(0.0, width - measure.Width(start, end)) / (gaps * measure.SpaceWidth());
}

double LooseCost(double stretch) { return 100 * stretch * stretch * stretch + (stretch > 1.0 ? WideCost : 0); }

// The best way to the end of the paragraph from each line start, with the
// hyphenated lines in a row before it.
struct TState {
    double Cost = 1e300;
    int From = -1; // the previous line's start
    int FromRun = 0;
    int ChangeFirst = 0; // the line ends (indices) the previous line
    int ChangeLast = 0; // passes over: soft hyphens go, other breaks are held
};

// The spaces held in a block, by their positions in it.
std::vector<int> HeldIn(const TSoftHyphens &marks, const QTextBlock &block)
{
    const std::vector<int> &held = marks.Held();
    const auto first = std::lower_bound(held.begin(), held.end(), block.position());
    const auto last = std::lower_bound(first, held.end(), block.position() + block.length());
    std::vector<int> inBlock;
    for (auto it = first; it != last; ++it)
        inBlock.push_back(*it - block.position());
    return inBlock;
}

// Lines only go forward, so the states are settled in the order of their
// starts. From each line start the choices are the ends Qt would take when
// the soft hyphens after them are gone and the other breaks after them are
// held: the last one that fits, the soft hyphens after the last plain end,
// and earlier ends as long as their line stays within two spaces a gap.
class TLineChoice {
public:
    TLineChoice(const TParagraphMeasure &measure, const QVector<TLineEnd> &ends, std::function<bool(int)> droppable,
                double firstWidth, double width, int most)
        : Measure(measure), Ends(ends), Droppable(std::move(droppable)), FirstWidth(firstWidth), Width(width),
          Most(most)
    {
    }

    // False when no way through was found.
    bool Choose()
    {
        States[0].assign(Most + 1, TState{});
        States[0][0].Cost = 0;
        for (auto at = States.begin(); at != States.end(); ++at)
            for (int run = 0; run <= Most; ++run)
                if (at->second[run].Cost < 1e299)
                    Expand(at->first, run, at->second[run].Cost);
        return BestStart >= 0;
    }

    // The line ends the chosen lines pass over, by their indices.
    std::vector<int> PassedOver() const
    {
        std::vector<int> passed;
        for (int start = BestStart, run = BestRun; start > 0;) {
            const TState &state = States.at(start)[run];
            for (int i = state.ChangeFirst; i < state.ChangeLast; ++i)
                passed.push_back(i);
            start = state.From;
            run = state.FromRun;
        }
        return passed;
    }

private:
    void Expand(int start, int run, double cost)
    {
        const double lineWidth = start == 0 ? FirstWidth : Width;
        if (Measure.RestWidth(start) <= lineWidth + Fit) { // the last line
            if (cost < BestCost) {
                BestCost = cost;
                BestStart = start;
                BestRun = run;
            }
            return;
        }
        const int first = int(std::upper_bound(Ends.begin(), Ends.end(), start,
                                               [](int s, const TLineEnd &e) { return s < e.End; })
                              - Ends.begin());
        int last = first - 1; // the last end that fits
        int plain = -1; // the last end without a soft hyphen that fits
        for (int i = first; i < Ends.size() && Measure.Width(start, Ends.at(i)) <= lineWidth + Fit; ++i) {
            last = i;
            if (!Ends.at(i).Soft)
                plain = i;
        }
        if (last < first) { // nothing fits: Qt breaks where it can
            if (first < Ends.size())
                Offer(start, run, first, cost, 0, first + 1, first + 1);
            return;
        }
        const int reserved = States[start][run].ChangeLast; // ends the previous line holds or drops
        bool reachable = true; // the soft hyphens after the choice can all go
        for (int choice = last; choice >= std::max(first, reserved) && reachable; --choice) {
            const TLineEnd &end = Ends.at(choice);
            const double stretch = Stretch(Measure, start, end, lineWidth);
            if (choice < plain && stretch > 1.0)
                break; // earlier ends only make the line looser
            if (end.Soft) {
                if (run < Most)
                    Offer(start, run, choice, cost + LooseCost(stretch) + HyphenCost, run + 1, choice + 1, last + 1);
                reachable = Droppable(choice);
            } else {
                Offer(start, run, choice, cost + LooseCost(stretch), 0, choice + 1, last + 1);
                reachable = end.Holdable;
            }
        }
    }

    void Offer(int start, int run, int choice, double total, int newRun, int changeFirst, int changeLast)
    {
        std::vector<TState> &next = States[Ends.at(choice).Next];
        if (next.empty())
            next.assign(Most + 1, TState{});
        TState &target = next[newRun];
        total += LineCost;
        if (total < target.Cost)
            target = {total, start, run, changeFirst, changeLast};
    }

    const TParagraphMeasure &Measure;
    const QVector<TLineEnd> &Ends;
    const std::function<bool(int)> Droppable;
    const double FirstWidth;
    const double Width;
    const int Most;
    std::map<int, std::vector<TState>> States; // by line start
    double BestCost = 1e300;
    int BestStart = -1;
    int BestRun = 0;
};

void LayOut(const QTextBlock &block)
{
    const QTextBlock now = block.document()->findBlockByNumber(block.blockNumber());
    if (!IsLaidOut(now))
        block.document()->documentLayout()->blockBoundingRect(now);
}

} // namespace

bool ChooseHyphenation(TRichDocument &document, const QTextBlock &block, int most)
{
    if (!IsLaidOut(block) || document.SoftHyphens().CountIn(block.position(), block.position() + block.length()) == 0)
        return false;
    const QTextLayout *shown = block.layout();
    const double firstWidth = shown->lineAt(0).width();
    const double width = shown->lineCount() > 1 ? shown->lineAt(1).width() : firstWidth;
    const int mark = SettledMark | (qRound(width) & 0xFFFF);
    if (block.userState() == mark || block.length() > 20000)
        return false;
    QTextBlock(block).setUserState(mark);
    const TSoftHyphens &marks = document.SoftHyphens();
    const int position = block.position();
    TParagraphMeasure measure;
    if (!measure.Measure(block, HeldIn(marks, block)))
        return LimitHyphenatedRuns(document, block, most);
    const QVector<TLineEnd> ends = measure.LineEnds();
    TLineChoice choice(
        measure, ends, [&](int index) { return marks.Contains(position + ends.at(index).End - 1); }, firstWidth,
        width, most);
    if (!choice.Choose())
        return LimitHyphenatedRuns(document, block, most);
    std::vector<int> drops, holds;
    for (int i : choice.PassedOver()) {
        const TLineEnd &end = ends.at(i);
        if (end.Soft)
            drops.push_back(position + end.End - 1);
        else
            for (int at = end.End; at < end.Next; ++at)
                holds.push_back(position + at);
    }
    std::sort(drops.begin(), drops.end());
    std::sort(holds.begin(), holds.end());
    const bool changed = document.ChangeLineBreaks(position, position + block.length(), holds, drops);
    LayOut(block);
    const QTextBlock now = block.document()->findBlockByNumber(block.blockNumber());
    return LimitHyphenatedRuns(document, now, most) || changed;
}
