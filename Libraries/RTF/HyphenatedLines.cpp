#include "HyphenatedLines.h"

#include "RichDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextLayout>

namespace {

bool IsInWord(QChar c) { return c.isLetter() || c.isMark() || c == SoftHyphen; }

bool IsLaidOut(const QTextBlock &block) { return block.isValid() && block.layout() && block.layout()->lineCount() > 0; }

} // namespace

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
