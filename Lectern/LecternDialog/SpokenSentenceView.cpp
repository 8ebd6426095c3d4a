#include "SpokenSentenceView.h"

#include "RichBox.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

namespace {

// Document y of the top (or the bottom) of the display line that holds a
// Qt position; -1 when it cannot be laid out.
qreal LineEdge(QTextDocument *doc, int qtPosition, bool bottom)
{
    const QTextBlock block = doc->findBlock(qtPosition);
    if (!TLineIndex::EnsureLaidOut(block))
        return -1;
    const QTextLayout *layout = block.layout();
    const QTextLine line = layout->lineForTextPosition(qtPosition - block.position());
    if (!line.isValid())
        return layout->position().y();
    return layout->position().y() + line.y() + (bottom ? line.height() : 0);
}

} // namespace

qreal FollowSentenceTop(qreal pageTop, qreal pageHeight, qreal maximum, qreal sentenceTop, qreal sentenceBottom,
                        const std::function<qreal(qreal y)> &lineTopAtOrBelow)
{
    const qreal pageBottom = pageTop + pageHeight;
    if (sentenceTop >= pageTop && sentenceBottom <= pageBottom)
        return pageTop;
    qreal top = sentenceTop; // a new page
    const bool tall = sentenceBottom - sentenceTop > pageHeight;
    if (!tall && sentenceTop >= pageTop && sentenceTop < pageTop + pageHeight / 2)
        top = std::min(sentenceTop, lineTopAtOrBelow(sentenceBottom - pageHeight));
    return std::clamp(top, qreal(0), std::max(qreal(0), maximum));
}

TSpokenSentenceView::TSpokenSentenceView(TRichBox *box) : Box(box)
{
    Slide = std::make_unique<QVariantAnimation>();
    Slide->setEasingCurve(QEasingCurve::OutCubic);
    QObject::connect(Slide.get(), &QVariantAnimation::valueChanged, Box, [this](const QVariant &value) {
        Box->SetScrollY(int(std::lround(value.toReal() * Box->ZoomFactor())));
    });
}

TSpokenSentenceView::~TSpokenSentenceView() { Slide->stop(); }

void TSpokenSentenceView::Show(int start, int length)
{
    TRichDocument *rich = Box->RichDocument();
    QTextDocument *doc = rich->Document();
    const int qtStart = rich->ToQtPosition(start);
    const int qtEnd = std::max(qtStart, rich->ToQtPosition(start + length));

    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(doc);
    mark.cursor.setPosition(qtStart);
    mark.cursor.setPosition(qtEnd, QTextCursor::KeepAnchor);
    mark.format.setBackground(Box->palette().brush(QPalette::Active, QPalette::Highlight));
    mark.format.setForeground(Box->palette().brush(QPalette::Active, QPalette::HighlightedText));
    Box->setExtraSelections({mark});

    const qreal top = LineEdge(doc, qtStart, false);
    const qreal bottom = LineEdge(doc, std::max(qtStart, qtEnd - 1), true);
    if (top < 0 || bottom < 0)
        return;
    // While the page slides, where it is going is where it is.
    const qreal pageTop = Slide->state() == QAbstractAnimation::Running ? Slide->endValue().toReal()
                                                                        : Box->verticalScrollBar()->value();
    const qreal pageHeight = std::max(1.0, Box->viewport()->height() / Box->ZoomFactor());
    auto lineTopAtOrBelow = [this](qreal y) {
        const int line = Box->LineAtY(y);
        const qreal lineTop = Box->LineTop(line);
        if (lineTop >= y)
            return lineTop;
        const qreal next = Box->LineTop(line + 1);
        return next >= 0 ? next : lineTop;
    };
    const qreal target
        = FollowSentenceTop(pageTop, pageHeight, Box->verticalScrollBar()->maximum(), top, bottom, lineTopAtOrBelow);
    if (std::abs(target - pageTop) >= 0.5)
        ScrollTo(target);
}

void TSpokenSentenceView::ScrollTo(qreal top)
{
    Slide->stop();
    const qreal from = Box->verticalScrollBar()->value();
    if (SlideMs <= 0 || !Box->isVisible()) {
        Box->SetScrollY(int(std::lround(top * Box->ZoomFactor())));
        return;
    }
    // A line or two slides faster than a page.
    const qreal page = std::max(1.0, Box->viewport()->height() / Box->ZoomFactor());
    const qreal share = std::min(1.0, std::abs(top - from) / page);
    Slide->setDuration(std::max(80, int(SlideMs * share)));
    Slide->setStartValue(from);
    Slide->setEndValue(top);
    Slide->start();
}

void TSpokenSentenceView::Clear() { Box->setExtraSelections({}); }
