// The line breaks of a laid-out paragraph of a rich-box document: Qt breaks
// a line at the last soft hyphen or space that suits it, so the paragraph's
// lines are chosen by taking soft hyphens out and holding spaces, with at
// most two hyphenated lines in a row. Qt Gui only.
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

// Chooses the line breaks of a laid-out block. Qt takes the last break that
// fits on each line, so its lines follow from the soft hyphens left in the
// words and the spaces held as no-break spaces. Of the lines this allows
// (each ending at the last break that fits, at a soft hyphen of the word
// that overflows, or earlier while its gaps stay within twice a space), the
// way with the evenest word gaps, the fewest hyphenated lines and at most
// `most` of them in a row is kept: the soft hyphens its lines pass over are
// taken out and the spaces they pass over are held. A block is settled once
// for its width: later calls for the same width return false at once; a new
// width chooses again, with the block's held spaces free. True when the
// block changed.
bool ChooseHyphenation(TRichDocument &document, const QTextBlock &block, int most = 2);
