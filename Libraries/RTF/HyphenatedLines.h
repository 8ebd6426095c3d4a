// Runs of hyphenated lines in a laid-out paragraph of a rich-box document:
// Qt breaks a line at any soft hyphen that suits it, so after the layout the
// lines that would make a third hyphenated line in a row lose the soft
// hyphens of their last word. Qt Gui only.
#pragma once

#include <QTextBlock>
#include <QVector>

class TRichDocument;

// Whether Qt has laid the block out (it has lines).
bool IsLaidOut(const QTextBlock &block);

// For each line of a laid-out block: whether it ends at a soft hyphen.
QVector<bool> HyphenatedLineEnds(const QTextBlock &block);

// Keeps a laid-out block to at most `most` hyphenated lines in a row: the
// word at the end of a line that would be one more loses its soft hyphens
// and the block is laid out again, until no run is too long. True when the
// block changed. Blocks not laid out yet are left as they are.
bool LimitHyphenatedRuns(TRichDocument &document, const QTextBlock &block, int most = 2);

// Chooses the soft hyphens of a laid-out block that its lines use: Qt takes
// the last break that fits on each line, so the soft hyphens of a word that
// overflows a line decide where the line ends. Of the ways these choices
// allow, the one with the evenest word gaps, the fewest hyphenated lines
// and at most `most` of them in a row is kept; the soft hyphens that would
// lead Qt elsewhere are taken out. A block is settled once for its width:
// later calls for the same width return false at once. True when the block
// changed.
bool ChooseHyphenation(TRichDocument &document, const QTextBlock &block, int most = 2);
