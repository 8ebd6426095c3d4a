// The sentence being read aloud, marked in the rich-box with the colours of
// the selection (a mark painted over the text, so the book stays as it is:
// no format changes, no modified flag) and kept in view: the page follows a
// line or a page at a time, as a reader turns it, sliding there smoothly.
#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>

class QVariantAnimation;
class TRichBox;

// Where the top of the page goes (document units) so that a sentence from
// `sentenceTop` to `sentenceBottom` is seen: nowhere when it is; a few lines
// further when it starts in the upper half of the page and runs past its
// bottom (`lineTopAtOrBelow` rounds to a line's top); else (below the page,
// above it, or low on it) a new page that begins with the sentence's line.
// Between 0 and `maximum`.
qreal FollowSentenceTop(qreal pageTop, qreal pageHeight, qreal maximum, qreal sentenceTop, qreal sentenceBottom,
                        const std::function<qreal(qreal y)> &lineTopAtOrBelow);

class TSpokenSentenceView {
public:
    explicit TSpokenSentenceView(TRichBox *box);
    ~TSpokenSentenceView();
    TSpokenSentenceView(const TSpokenSentenceView &) = delete;
    TSpokenSentenceView &operator=(const TSpokenSentenceView &) = delete;

    // How long the page takes to slide; 0 jumps.
    int SlideMs = 250;

    // Marks the characters [start, start + length) and brings them in view.
    void Show(int start, int length);
    // Takes the mark away; the page stays where it is.
    void Clear();

private:
    TRichBox *Box;
    std::unique_ptr<QVariantAnimation> Slide;
    void ScrollTo(qreal top);
};
