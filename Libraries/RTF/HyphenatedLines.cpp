#include "HyphenatedLines.h"

#include "RichDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QTextDocument>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
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
// soft hyphen (which then shows as a hyphen).
struct TLineEnd {
    int End;
    int Next;
    bool Soft;
};

// The widths of a block's text, measured as Qt shapes it on one line.
class TParagraphMeasure {
public:
    bool Measure(const QTextBlock &block)
    {
        Text = block.text();
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

    // Where lines may end, in the order of the text.
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
            if (end > 0)
                ends.append({end, next, Text.at(end - 1) == SoftHyphen});
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
constexpr int SettledMark = 0x40000000;

double LooseCost(const TParagraphMeasure &measure, int start, const TLineEnd &end, double width)
{
    const int gaps = measure.Gaps(start, end.End);
    if (gaps == 0)
        return 0;
    const double stretch = std::max(0.0, width - measure.Width(start, end)) / (gaps * measure.SpaceWidth());
    return 100 * stretch * stretch * stretch + (stretch > 1.0 ? WideCost : 0);
}

// The best way to the end of the paragraph from each line start, with the
// hyphenated lines in a row before it.
struct TState {
    double Cost = 1e300;
    int From = -1; // the previous line's start
    int FromRun = 0;
    int DropFirst = 0; // the line ends (indices) whose soft hyphens go
    int DropLast = 0;
};

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
    TParagraphMeasure measure;
    if (!measure.Measure(block))
        return LimitHyphenatedRuns(document, block, most);
    const QVector<TLineEnd> ends = measure.LineEnds();
    const TSoftHyphens &added = document.SoftHyphens();
    auto droppable = [&](int index) { return added.Contains(block.position() + ends.at(index).End - 1); };

    // Lines only go forward, so the states are settled in the order of
    // their starts.
    std::map<int, std::vector<TState>> states; // by line start
    states[0].assign(most + 1, TState{});
    states[0][0].Cost = 0;
    double bestCost = 1e300;
    int bestStart = -1, bestRun = 0;
    for (auto at = states.begin(); at != states.end(); ++at) {
        const int start = at->first;
        const double lineWidth = start == 0 ? firstWidth : width;
        for (int run = 0; run <= most; ++run) {
            const double cost = at->second[run].Cost;
            if (cost >= 1e299)
                continue;
            if (measure.RestWidth(start) <= lineWidth + Fit) { // the last line
                if (cost < bestCost) {
                    bestCost = cost;
                    bestStart = start;
                    bestRun = run;
                }
                continue;
            }
            const int first = int(std::upper_bound(ends.begin(), ends.end(), start,
                                                   [](int s, const TLineEnd &e) { return s < e.End; })
                                  - ends.begin());
            int last = first - 1; // the last end that fits
            int plain = -1; // the last end without a soft hyphen that fits
            for (int i = first; i < ends.size() && measure.Width(start, ends.at(i)) <= lineWidth + Fit; ++i) {
                last = i;
                if (!ends.at(i).Soft)
                    plain = i;
            }
            auto offer = [&](int choice, double total, int newRun, int dropFirst, int dropLast) {
                std::vector<TState> &next = states[ends.at(choice).Next];
                if (next.empty())
                    next.assign(most + 1, TState{});
                TState &target = next[newRun];
                if (total < target.Cost)
                    target = {total, start, run, dropFirst, dropLast};
            };
            if (last < first) { // nothing fits: Qt breaks where it can
                if (first < ends.size())
                    offer(first, cost, 0, 0, 0);
                continue;
            }
            // The choices: the plain end, or one of the soft hyphens after
            // it, each leaving out the ones after it that would fit too.
            bool reachable = true;
            for (int choice = last; choice > plain; --choice) {
                if (reachable && run < most)
                    offer(choice, cost + LooseCost(measure, start, ends.at(choice), lineWidth) + HyphenCost, run + 1,
                          choice + 1, last + 1);
                reachable = reachable && droppable(choice);
            }
            if (plain >= 0 && reachable)
                offer(plain, cost + LooseCost(measure, start, ends.at(plain), lineWidth), 0, plain + 1, last + 1);
        }
    }
    if (bestStart < 0)
        return LimitHyphenatedRuns(document, block, most);
    std::vector<int> drops;
    for (int start = bestStart, run = bestRun; start > 0;) {
        const TState &state = states[start][run];
        for (int i = state.DropFirst; i < state.DropLast; ++i)
            if (ends.at(i).Soft)
                drops.push_back(block.position() + ends.at(i).End - 1);
        start = state.From;
        run = state.FromRun;
    }
    std::sort(drops.begin(), drops.end());
    const bool changed = document.DropSoftHyphensAt(drops);
    const QTextBlock now = block.document()->findBlockByNumber(block.blockNumber());
    if (!IsLaidOut(now))
        block.document()->documentLayout()->blockBoundingRect(now);
    return LimitHyphenatedRuns(document, now, most) || changed;
}
