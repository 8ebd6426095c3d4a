// Display lines of a laid-out QTextDocument: a prefix sum of the line
// counts of the blocks, built lazily as far as the questions asked need and
// cut back when the document changes. Laying out is left to Qt's document
// layout, which works lazily from the top; a question about a line far down
// forces the layout only as far as that line.
#pragma once

#include <QFont>
#include <QTextBlock>
#include <QVector>

class QTextDocument;

class TLineIndex {
public:
    void Reset(QTextDocument *document);
    // Forgets what was counted from the block holding qtPosition on.
    void ContentsChanged(int qtPosition);
    void Invalidate();

    // Lines before the block (the block and those above it get laid out).
    int LinesBefore(const QTextBlock &block);
    // The block holding a display line, and the line's number inside it;
    // an invalid block when the document has fewer lines.
    QTextBlock BlockOfLine(int line, int *lineInBlock);
    // Lines of the laid-out blocks, plus one for every block not laid out yet.
    int LinesSoFar();
    // All lines; lays the whole document out.
    int LinesExact();

    // Makes sure the block has its layout lines (forcing Qt's lazy layout up
    // to it). False when the document cannot be laid out (no page size).
    static bool EnsureLaidOut(const QTextBlock &block);
    static int BlockLines(const QTextBlock &block);

private:
    void CheckSignature();
    // Counts further blocks; force: lay them out when they are not yet.
    bool ExtendOne(bool force);

    QTextDocument *Doc = nullptr;
    QVector<int> Prefix{0}; // Prefix[i]: lines before block i, for i <= Counted
    int Counted = 0;
    qreal Width = -1;
    qreal Margin = -1;
    QFont Font;
};
