// The text of the rich-box as a voice reads it: sentence after sentence from
// a position on, each with its place in the rich-box so it can be marked
// while it is spoken. Text hidden by its colours (the colour of what it is
// shown on) and the paragraph prefix are left out; chapter headings stand
// apart with a short silence around them; the walk ends at the end of the
// text or at the marker that ends a piece or the book.
#pragma once

#include "RichDocument.h"

#include <QString>
#include <QTextBlock>

struct TSpokenSentence {
    int Start = 0; // rich-box position (a paragraph break counts two)
    int Length = 0;
    QString Text; // what the voice says
    bool Heading = false;
    int PauseBefore = 0; // silence before it, in milliseconds
};

class TSpeechText {
public:
    // Silence around a chapter heading.
    static constexpr int HeadingPause = 600;

    // `prefix`: the paragraph prefix in use (as it stands in the text, a tab
    // for "Tab"); `background`: the colour the text is shown on.
    TSpeechText(const TRichDocument *document, const QString &prefix, TColor background, int maxSentence = 400);

    // The next sentence is the one that holds `position`.
    void Seek(int position);
    // The next sentence starts at `position`, even inside a sentence.
    void SeekExactly(int position);
    // Where the paragraph being read ends.
    int ParagraphEnd() const { return ParagraphPosition + int(Paragraph.size()); }
    // The beginning of the text as it is read, paragraphs joined by line
    // feeds, at least `length` characters when the text has them.
    // `positions` gets the rich-box position of each character, and of the
    // end of the last.
    QString Beginning(int length, QVector<int> &positions) const;
    // The next sentence; false at the end of the text or at an end marker.
    bool Next(TSpokenSentence &sentence);
    // The walk stopped at an end marker (rather than the end of the text),
    // and that marker ends a piece (rather than the book).
    bool AtEndMarker() const { return EndMarker; }
    bool AtPieceEnd() const { return EndMarker && PieceEnd; }

    // The paragraph text as it is read: hidden characters, pictures and the
    // prefix turned into spaces, so offsets still match the rich-box.
    QString ReadableText(const QTextBlock &block, bool *heading = nullptr) const;

private:
    const TRichDocument *Document;
    QString Prefix;
    QColor Background;
    int MaxSentence;
    QTextBlock Block; // the paragraph being read
    QString Paragraph; // its readable text
    int ParagraphPosition = 0;
    bool ParagraphHeading = false;
    int From = 0; // offset of the next sentence in the paragraph
    bool FirstOfParagraph = true;
    bool PreviousHeading = false; // the paragraph before was a heading
    bool Started = false; // a sentence was given since the last seek
    bool EndMarker = false;
    bool PieceEnd = false;

    // Makes `block` the paragraph being read; false when it is an end marker.
    bool Enter(const QTextBlock &block);
};

// Where the text of the next piece takes up `tail`, the last sentence read
// from the piece before: pieces repeat a few bytes of their neighbour, so
// the next piece begins with the end of `tail` (or with more than it). On
// success [from, to) is the stretch of `nextStart` (the beginning of the
// next piece, as Beginning gives it) that repeats the end of `tail`; the
// text goes on at `to`.
bool FindContinuation(const QString &tail, QStringView nextStart, int &from, int &to);
