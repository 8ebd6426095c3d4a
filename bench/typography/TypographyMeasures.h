// What the typography benchmark measures on a laid-out document, apart from
// the window: the word gaps of justified lines and the hyphenated lines.
#pragma once

class QTextDocument;

struct TGapCount {
    int Lines = 0; // justified lines with a gap that are not a paragraph's last
    int Wide = 0; // of them, those whose widest gap is over the limit
    int Hyphenated = 0; // of them, those that end at a soft hyphen

    TGapCount &operator+=(const TGapCount &other)
    {
        Lines += other.Lines;
        Wide += other.Wide;
        Hyphenated += other.Hyphenated;
        return *this;
    }
};

// Over every laid-out justified paragraph: the widest gap of each line, in
// units of the normal space of the paragraph's font. Qt spreads the room a
// justified line has left over evenly on its spaces.
TGapCount CountGaps(const QTextDocument &document, double limit = 2.0);

// Holds every paragraph to two hyphenated lines in a row, as the box does
// for those it shows. Milliseconds taken.
class TRichDocument;
double LimitAllHyphenatedRuns(TRichDocument &document);
