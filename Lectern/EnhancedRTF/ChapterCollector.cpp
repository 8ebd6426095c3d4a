#include "ChapterCollector.h"

#include "ChapterHeadings.h"
#include "ChaptersMenu.h"

#include <algorithm>

namespace {

constexpr int MaxCaptionLength = 50;
constexpr int HighestChapterLevel = 3; // levels below it (1, 2) hold chapters

// One entry of the menu being made: a heading, or a submenu of the
// headings under a higher heading or of a run of them.
struct TNode {
    int Heading = -1; // -1: a run of nodes
    QVector<TNode> Children;
};

// Letters and digits compared without case; anything else ignored.
bool SameText(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype k = 0;
    for (;;) {
        while (i < a.size() && !a[i].isLetterOrNumber())
            ++i;
        while (k < b.size() && !b[k].isLetterOrNumber())
            ++k;
        if (i == a.size() || k == b.size())
            return i == a.size() && k == b.size();
        if (a[i].toCaseFolded() != b[k].toCaseFolded())
            return false;
        ++i;
        ++k;
    }
}

QString RunCaption(int first, int last)
{
    if (first == last)
        return QStringLiteral("Chapter %1").arg(first);
    return QStringLiteral("Chapters %1\u2013%2").arg(first).arg(last);
}

class TMenuFiller {
public:
    TMenuFiller(const QVector<TChapterCollector::THeading> &headings, TChaptersMenu &menu, int helpContext)
        : Headings(headings), Menu(menu), HelpContext(helpContext)
    {
    }

    void AddItem(int heading, int group)
    {
        const TChapterCollector::THeading &h = Headings[heading];
        Menu.AddItem(TChapterCollector::Caption(h), h.Position, HelpContext, group);
    }

    // The nodes into the menu or a submenu: more than fit in one are cut in
    // runs of 30, 900, 27000 ... so that no menu holds more than 30 entries.
    void Fill(const QVector<TNode> &nodes, int from, int to, int group, int firstNumber)
    {
        const int count = to - from;
        if (count <= TChapterCollector::MenuSize) {
            for (int i = from; i < to; ++i)
                FillNode(nodes[i], group);
            return;
        }
        qint64 run = TChapterCollector::MenuSize;
        while ((count + run - 1) / run > TChapterCollector::MenuSize)
            run *= TChapterCollector::MenuSize;
        for (int start = from; start < to; start += int(run)) {
            const int end = int(std::min<qint64>(to, start + run));
            const int first = firstNumber + (start - from);
            const int sub = Menu.AddGroup(RunCaption(first, first + (end - start) - 1), group);
            Fill(nodes, start, end, sub, first);
        }
    }

private:
    const QVector<TChapterCollector::THeading> &Headings;
    TChaptersMenu &Menu;
    int HelpContext;

    void FillNode(const TNode &node, int group)
    {
        if (node.Children.isEmpty()) {
            AddItem(node.Heading, group);
            return;
        }
        // A higher heading opens its submenu, so it can be reached too.
        const int sub = Menu.AddGroup(TChapterCollector::Caption(Headings[node.Heading]), group);
        AddItem(node.Heading, sub);
        Fill(node.Children, 0, node.Children.size(), sub, 1);
    }
};

} // namespace

void TChapterCollector::Clear()
{
    HeadingList.clear();
    TextChars = 0;
    TitleOpen = false;
}

void TChapterCollector::AddHeading(int position, const QString &text, int level, bool hasTitle)
{
    THeading heading;
    heading.Position = position;
    heading.Text = text;
    heading.Level = level;
    heading.TextBefore = TextChars;
    HeadingList.append(heading);
    TitleOpen = !hasTitle;
}

void TChapterCollector::AddText(const QString &text)
{
    if (TitleOpen && ChapterHeadings::IsTitle(text))
        HeadingList.last().Title = text;
    TitleOpen = false;
    TextChars += text.size();
}

QString TChapterCollector::Caption(const THeading &heading)
{
    QString caption = heading.Text;
    if (!heading.Title.isEmpty()) {
        const QChar last = caption.back();
        if (last != QLatin1Char('.') && last != QLatin1Char(':'))
            caption += QLatin1Char('.');
        caption += QLatin1Char(' ') + heading.Title;
    }
    if (caption.size() > MaxCaptionLength)
        caption.truncate(MaxCaptionLength);
    return caption;
}

qint64 TChapterCollector::GapAfter(int index) const
{
    const qint64 next = index + 1 < HeadingList.size() ? HeadingList[index + 1].TextBefore : TextChars;
    return next - HeadingList[index].TextBefore;
}

int TChapterCollector::MarkContents()
{
    const int count = HeadingList.size();
    int entries = count;
    for (THeading &heading : HeadingList)
        heading.Contents = false;
    int i = 0;
    while (i < count) {
        int j = i;
        while (j + 1 < count && GapAfter(j) < SmallGap)
            ++j;
        if (j - i + 1 >= MinContentsRun) {
            // The last heading of the run opens the text that follows it, and
            // so do the higher headings right before it (a "BOOK" before its
            // first "CHAPTER"); the others list the chapters.
            int keepFrom = j + 1;
            // A list whose first heading comes right back after it lists the
            // chapters of the text after it, to its very last line
            // ("Epilogue", then a preface, then "CHAPTER 1" again).
            const bool repeated = j + 1 < count && SameText(HeadingList[i].Text, HeadingList[j + 1].Text);
            if (GapAfter(j) >= SmallGap && !repeated) {
                keepFrom = j;
                while (keepFrom > i && HeadingList[keepFrom - 1].Level < HeadingList[keepFrom].Level)
                    --keepFrom;
            }
            for (int k = i; k < keepFrom; ++k)
                HeadingList[k].Contents = true;
            entries -= keepFrom - i;
        }
        i = j + 1;
    }
    if (entries == 0) { // only headings: all of them are the book
        for (THeading &heading : HeadingList)
            heading.Contents = false;
        entries = count;
    }
    return entries;
}

void TChapterCollector::FillMenu(TChaptersMenu &menu, int helpContext) const
{
    QVector<int> entries;
    for (int i = 0; i < HeadingList.size(); ++i)
        if (!HeadingList[i].Contents)
            entries.append(i);
    // A higher heading groups the chapters after it, up to the next heading
    // of its level or above, when it opens the first of them ("BOOK ONE"
    // right before "CHAPTER I", a volume right before its first book). One
    // followed by text (a "BOOK I." that names a kind of whale inside a
    // chapter) is an entry like the others. The scan of a volume passes
    // over its books only, so this is linear.
    QVector<bool> holds(entries.size(), false);
    bool higher = false;
    for (int e = 0; e < entries.size(); ++e) {
        const int level = HeadingList[entries[e]].Level;
        if (level >= HighestChapterLevel)
            continue;
        for (int k = e + 1; k < entries.size(); ++k) {
            const THeading &next = HeadingList[entries[k]];
            if (next.Level <= level || next.TextBefore - HeadingList[entries[k - 1]].TextBefore >= SmallGap)
                break;
            if (next.Level >= HighestChapterLevel) {
                holds[e] = true;
                break;
            }
        }
        higher = higher || holds[e];
    }
    TMenuFiller filler(HeadingList, menu, helpContext);
    if (entries.size() <= MenuSize) {
        for (int e : entries)
            filler.AddItem(e, -1);
        return;
    }
    // The higher headings hold the chapters after them, a volume its books.
    QVector<TNode> root;
    QVector<QVector<TNode> *> path; // the open higher headings' children
    QVector<int> pathLevels;
    for (int e = 0; e < entries.size(); ++e) {
        const int level = HeadingList[entries[e]].Level;
        TNode node;
        node.Heading = entries[e];
        if (higher && holds[e]) {
            while (!pathLevels.isEmpty() && pathLevels.last() >= level) {
                path.removeLast();
                pathLevels.removeLast();
            }
            QVector<TNode> &into = path.isEmpty() ? root : *path.last();
            into.append(node);
            path.append(&into.last().Children);
            pathLevels.append(level);
        } else {
            (path.isEmpty() ? root : *path.last()).append(node);
        }
    }
    filler.Fill(root, 0, root.size(), -1, 1);
}
