#include "RichBoxLines.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

void TLineIndex::Reset(QTextDocument *document)
{
    Doc = document;
    Invalidate();
}

void TLineIndex::Invalidate()
{
    Prefix.resize(1);
    Prefix[0] = 0;
    Counted = 0;
    if (Doc) {
        Width = Doc->textWidth();
        Margin = Doc->documentMargin();
        Font = Doc->defaultFont();
    }
}

void TLineIndex::ContentsChanged(int qtPosition)
{
    if (!Doc)
        return;
    int block = Doc->findBlock(std::max(0, qtPosition)).blockNumber();
    if (block < 0)
        block = 0;
    if (block < Counted) {
        Counted = block;
        Prefix.resize(Counted + 1);
    }
}

void TLineIndex::CheckSignature()
{
    // Layout-wide changes (width, margin, default font) redo every block.
    if (Doc->textWidth() != Width || Doc->documentMargin() != Margin || !(Doc->defaultFont() == Font))
        Invalidate();
}

bool TLineIndex::EnsureLaidOut(const QTextBlock &block)
{
    if (!block.isValid())
        return false;
    if (block.layout() && block.layout()->lineCount() > 0)
        return true;
    // blockBoundingRect lays the document out up to and including the block.
    QTextDocument *doc = const_cast<QTextDocument *>(block.document());
    doc->documentLayout()->blockBoundingRect(block);
    if (block.layout() && block.layout()->lineCount() > 0)
        return true;
    // A block the layout has passed over (a cleared document's fresh block
    // whose formats did not change): have it laid out again.
    if (doc->pageSize().width() > 0) {
        doc->markContentsDirty(block.position(), block.length());
        doc->documentLayout()->blockBoundingRect(block);
    }
    return block.layout() && block.layout()->lineCount() > 0;
}

int TLineIndex::BlockLines(const QTextBlock &block)
{
    int lines = block.layout() ? block.layout()->lineCount() : 0;
    return std::max(1, lines);
}

bool TLineIndex::ExtendOne(bool force)
{
    if (Counted >= Doc->blockCount())
        return false;
    QTextBlock block = Doc->findBlockByNumber(Counted);
    if (!(block.layout() && block.layout()->lineCount() > 0)) {
        if (!force)
            return false;
        EnsureLaidOut(block);
    }
    // Walk on from this block while the blocks are laid out already (the
    // first one counts even when it could not be laid out).
    for (bool first = true; block.isValid(); first = false) {
        QTextLayout *layout = block.layout();
        bool laidOut = layout && layout->lineCount() > 0;
        if (!laidOut && !first)
            break;
        Prefix.append(Prefix.last() + BlockLines(block));
        ++Counted;
        block = block.next();
    }
    return true;
}

int TLineIndex::LinesBefore(const QTextBlock &block)
{
    if (!Doc || !block.isValid())
        return 0;
    CheckSignature();
    int number = block.blockNumber();
    if (number < Counted) {
        // A block laid out anew since it was counted (its lines changed)
        // invalidates what follows it.
        if (BlockLines(block) == Prefix[number + 1] - Prefix[number])
            return Prefix[number];
        Counted = number;
        Prefix.resize(Counted + 1);
    }
    while (Counted <= number && ExtendOne(true)) {
    }
    return Prefix[std::min(number, Counted)];
}

QTextBlock TLineIndex::BlockOfLine(int line, int *lineInBlock)
{
    *lineInBlock = 0;
    if (!Doc || line < 0)
        return QTextBlock();
    CheckSignature();
    while (Prefix.last() <= line && ExtendOne(true)) {
    }
    if (Prefix.last() <= line)
        return QTextBlock();
    // Prefix[i] <= line < Prefix[i + 1]
    auto it = std::upper_bound(Prefix.begin(), Prefix.end(), line);
    int number = int(it - Prefix.begin()) - 1;
    QTextBlock block = Doc->findBlockByNumber(number);
    *lineInBlock = line - Prefix[number];
    if (BlockLines(block) != Prefix[number + 1] - Prefix[number]) {
        // Stale count: recount from this block.
        Counted = number;
        Prefix.resize(Counted + 1);
        return BlockOfLine(line, lineInBlock);
    }
    return block;
}

int TLineIndex::LinesSoFar()
{
    if (!Doc)
        return 0;
    CheckSignature();
    while (ExtendOne(false)) {
    }
    return Prefix.last() + (Doc->blockCount() - Counted);
}

int TLineIndex::LinesExact()
{
    if (!Doc)
        return 0;
    CheckSignature();
    EnsureLaidOut(Doc->lastBlock());
    while (ExtendOne(true)) {
    }
    return Prefix.last();
}
