#include "RichBox.h"

#include "HyphenatedLines.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Qt lays documents out in 26.6 fixed point. Without a page height it
// takes 8 388 607 px (INT_MAX / 256) as the bottom of the only page, and a
// line that reaches it is pushed on to a next page that never comes: the
// layout loops for ever. A whole 20 MB book at an ordinary width is taller
// than that. One page as tall as the fixed-point range allows keeps the
// layout finite and, below that height, leaves every line where it was.
constexpr qreal TallPageHeight = 33550000;

void SetTallPage(QTextDocument *document, qreal width)
{
    const QSizeF page(width, TallPageHeight);
    if (document->pageSize() != page)
        document->setPageSize(page);
}

} // namespace

// A scroll bar that tells the box whenever the text edit sets its range or
// steps, so the box can put in the zoomed values.
class TRichScrollBar : public QScrollBar {
public:
    TRichScrollBar(Qt::Orientation orientation, TRichBox *box) : QScrollBar(orientation), Box(box) {}

protected:
    void sliderChange(SliderChange change) override
    {
        QScrollBar::sliderChange(change);
        if (change == SliderRangeChange || change == SliderStepsChange)
            Box->FixScrollRange();
    }

private:
    TRichBox *Box;
};

TRichBox::TRichBox(QWidget *parent) : QTextEdit(parent), Rich(new TRichDocument(this))
{
    setVerticalScrollBar(new TRichScrollBar(Qt::Vertical, this));
    setHorizontalScrollBar(new TRichScrollBar(Qt::Horizontal, this));
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setAcceptDrops(false); // files dropped on the box go to the window
    setAcceptRichText(false); // pasted text takes the box's formats
    setContextMenuPolicy(Qt::NoContextMenu);
    viewport()->setAutoFillBackground(false);
    Rich->Document()->setDocumentMargin(2);
    AttachDocument(Rich->Document());
    connect(Rich, &TRichDocument::DocumentReplaced, this, &TRichBox::AttachDocument);
    connect(Rich, &TRichDocument::SelectionChangedByProgram, this, [this] {
        if (!CursorPending) {
            CursorPending = true;
            QMetaObject::invokeMethod(
                this, [this] { PushCursor(); }, Qt::QueuedConnection);
        }
        viewport()->update();
    });
    connect(this, &QTextEdit::cursorPositionChanged, this, &TRichBox::OnUserCursorChanged);
    connect(this, &QTextEdit::selectionChanged, this, &TRichBox::OnUserCursorChanged);
    UpdateWrapWidth();
}

TRichBox::~TRichBox() = default;

TRichDocument *TRichBox::RichDocument() const { return Rich; }

void TRichBox::AttachDocument(QTextDocument *document)
{
    CursorPending = false;
    // The new document is laid out as soon as the box takes it: at the
    // box's present width, not at one left from before a resize.
    UpdateWrapWidth();
    SetTallPage(document, lineWrapColumnOrWidth());
    RelayoutFromTop([this, document] { setDocument(document); });
    // Undo records only matter while the user can edit; while reading they
    // would only pile up the program's format changes.
    document->setUndoRedoEnabled(!isReadOnly());
    Lines.Reset(document);
    connect(document, &QTextDocument::contentsChange, this, &TRichBox::OnContentsChange, Qt::UniqueConnection);
    UpdateWrapWidth();
    FixScrollRange();
    viewport()->update();
}

void TRichBox::OnContentsChange(int from, int removed, int added)
{
    Lines.ContentsChanged(from);
    viewport()->update();
}

// The user moved the caret or the selection: the document's selection follows.
void TRichBox::OnUserCursorChanged()
{
    if (CursorPending)
        return; // the program's selection is on its way to the widget
    Rich->SetCursor(textCursor());
    viewport()->update();
}

// Hands the selection the program set to the text edit, without scrolling.
void TRichBox::PushCursor()
{
    if (!CursorPending)
        return;
    CursorPending = false;
    QTextCursor cursor = Rich->Cursor();
    if (cursor.document() != document())
        return;
    int top = verticalScrollBar()->value();
    setTextCursor(cursor);
    verticalScrollBar()->setValue(top);
    horizontalScrollBar()->setValue(0);
}

// ---------------------------------------------------------------- look

void TRichBox::SetZoomPercent(int percent)
{
    if (percent <= 0)
        percent = 100;
    percent = std::clamp(percent, 10, 500);
    if (percent == Zoom)
        return;
    Zoom = percent;
    UpdateWrapWidth();
    FixScrollRange();
    viewport()->update();
}

int TRichBox::ZoomPercent() const { return Zoom; }

double TRichBox::ZoomFactor() const { return Zoom / 100.0; }

void TRichBox::SetLeftMarginPixels(int pixels)
{
    LeftMargin = std::max(0, pixels);
    UpdateWrapWidth();
    viewport()->update();
}

void TRichBox::SetRightMarginPixels(int pixels)
{
    RightMargin = std::max(0, pixels);
    UpdateWrapWidth();
    viewport()->update();
}

int TRichBox::LeftMarginPixels() const { return LeftMargin; }

int TRichBox::RightMarginPixels() const { return RightMargin; }

void TRichBox::SetBackgroundColor(const QColor &color)
{
    Background = color;
    viewport()->update();
}

QColor TRichBox::BackgroundColor() const { return Background; }

void TRichBox::SetUrlDetection(bool on)
{
    Urls = on;
    viewport()->update();
}

bool TRichBox::UrlDetection() const { return Urls; }

void TRichBox::SetAdvancedTypography(bool on)
{
    // Qt justifies and shapes text fully in every mode; nothing to switch.
    Q_UNUSED(on);
}

// The text wraps at the box's width less the margins, in document units.
// When the width changes, the text at the top of the box stays there.
void TRichBox::UpdateWrapWidth()
{
    // A box resized while hidden has its new size but not yet its
    // viewport's, which follows when it is shown.
    const int viewportWidth = testAttribute(Qt::WA_PendingResizeEvent)
        ? contentsRect().width() - verticalScrollBar()->sizeHint().width()
        : viewport()->width();
    int width = std::max(1, int((viewportWidth - LeftMargin - RightMargin) / ZoomFactor()));
    if (lineWrapColumnOrWidth() != width) {
        const int keep = KeptTopPosition();
        RelayoutFromTop([this, width] { setLineWrapColumnOrWidth(width); });
        Lines.Invalidate();
        FixScrollRange();
        RestoreTop(keep);
    }
    Lines.Invalidate();
    FixScrollRange();
}

// Scrolls so that the line holding a (Qt) position is the top line; nothing
// for a position at the start or outside the text.
void TRichBox::ShowAtTop(int qtPosition)
{
    if (qtPosition <= 0)
        return;
    QTextBlock block = document()->findBlock(qtPosition);
    if (!TLineIndex::EnsureLaidOut(block))
        return;
    QTextLayout *layout = block.layout();
    QTextLine line = layout->lineForTextPosition(qtPosition - block.position());
    if (line.isValid())
        SetScrollY(int(std::lround((layout->position().y() + line.y()) * ZoomFactor())));
}

// Runs a text edit call that lays the document out anew (taking a document
// or a wrap width). The text edit gives the document a page of unlimited
// height and lays it out down to the scroll position at once, which in a
// tall book may be past Qt's limit; so the call runs scrolled to the top,
// and the tall page is back before anything else lays out.
void TRichBox::RelayoutFromTop(const std::function<void()> &call)
{
    QScrollBar *bar = verticalScrollBar();
    const int top = bar->value();
    {
        const QSignalBlocker blocker(bar);
        bar->setValue(0);
    }
    call();
    SetTallPage(document(), lineWrapColumnOrWidth());
    const QSignalBlocker blocker(bar);
    bar->setValue(top);
}

int TRichBox::VisibleDocumentHeight() const { return std::max(1, int(viewport()->height() / ZoomFactor())); }

// The height of the document; while the layout is still running, the laid
// out part extrapolated over the whole text.
qreal TRichBox::DocumentHeight() const
{
    QTextDocument *doc = document();
    QTextBlock last = doc->lastBlock();
    if (IsLaidOut(last))
        return doc->documentLayout()->documentSize().height();
    int low = -1, high = doc->blockCount() - 1;
    while (low < high) {
        int mid = low + (high - low + 1) / 2;
        if (IsLaidOut(doc->findBlockByNumber(mid)))
            low = mid;
        else
            high = mid - 1;
    }
    if (low < 0)
        return 0;
    QTextBlock block = doc->findBlockByNumber(low);
    QTextLayout *layout = block.layout();
    qreal bottom = layout->position().y() + layout->boundingRect().height();
    qreal done = block.position() + block.length();
    return std::max(bottom, bottom * doc->characterCount() / std::max<qreal>(1, done));
}

void TRichBox::FixScrollRange()
{
    if (FixingScroll || !Rich)
        return;
    FixingScroll = true;
    QScrollBar *bar = verticalScrollBar();
    int page = VisibleDocumentHeight();
    int maximum = std::max(0, int(std::ceil(DocumentHeight() - page)));
    if (bar->minimum() != 0 || bar->maximum() != maximum)
        bar->setRange(0, maximum);
    if (bar->pageStep() != page)
        bar->setPageStep(page);
    int step = std::max(1, int(20 / ZoomFactor()));
    if (bar->singleStep() != step)
        bar->setSingleStep(step);
    QScrollBar *across = horizontalScrollBar();
    if (across->maximum() != 0 || across->minimum() != 0)
        across->setRange(0, 0);
    FixingScroll = false;
}

QPointF TRichBox::ToDocument(const QPointF &clientPoint) const
{
    double zoom = ZoomFactor();
    return QPointF((clientPoint.x() - LeftMargin) / zoom, clientPoint.y() / zoom + verticalScrollBar()->value());
}

QPointF TRichBox::ToClient(const QPointF &documentPoint) const
{
    double zoom = ZoomFactor();
    return QPointF(documentPoint.x() * zoom + LeftMargin, (documentPoint.y() - verticalScrollBar()->value()) * zoom);
}

std::unique_ptr<QMouseEvent> TRichBox::MappedEvent(const QMouseEvent *event) const
{
    double zoom = ZoomFactor();
    QPointF local((event->position().x() - LeftMargin) / zoom, event->position().y() / zoom);
    auto mapped
        = std::make_unique<QMouseEvent>(event->type(), local, event->scenePosition(), event->globalPosition(),
                                        event->button(), event->buttons(), event->modifiers(), event->pointingDevice());
    mapped->setTimestamp(event->timestamp());
    return mapped;
}

// ---------------------------------------------------------------- painting

void TRichBox::paintEvent(QPaintEvent *event)
{
    QRect client = viewport()->rect();
    // The text edit asks for partial repaints in its own unzoomed
    // coordinates; repaint the whole box instead.
    if (event->rect() != client)
        viewport()->update();
    QPainter painter(viewport());
    if (Background.isValid())
        painter.fillRect(client, Background);
    if (OnPaintBackground)
        OnPaintBackground(painter, client);

    QTextDocument *doc = document();
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    const double zoom = ZoomFactor();
    LimitShownHyphenation();
    const int top = verticalScrollBar()->value();
    const int height = VisibleDocumentHeight() + 1;

    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = palette();
    context.clip = QRectF(-LeftMargin / zoom, top, client.width() / zoom + 1, height);
    context.cursorPosition = -1;
    QTextCursor cursor = CursorPending ? Rich->Cursor() : textCursor();
    if (!isReadOnly() && hasFocus() && CaretOn && cursor.document() == doc)
        context.cursorPosition = cursor.position();

    if (Urls) {
        QTextCharFormat linkFormat;
        linkFormat.setForeground(palette().link());
        linkFormat.setFontUnderline(true);
        LayOutDownTo(doc, top + height); // the visible part
        for (QTextBlock block = BlockAtY(top);
             block.isValid() && IsLaidOut(block) && block.layout()->position().y() < top + height;
             block = block.next()) {
            QVector<QPair<int, int>> ranges;
            CollectLinks(block, &ranges);
            for (const auto &range : ranges) {
                QTextCursor link(doc);
                link.setPosition(block.position() + range.first);
                link.setPosition(block.position() + range.second, QTextCursor::KeepAnchor);
                context.selections.append({link, linkFormat});
            }
        }
    }
    // Marks that are no part of the text (the sentence being read aloud).
    for (const ExtraSelection &extra : extraSelections())
        if (extra.cursor.document() == doc)
            context.selections.append({extra.cursor, extra.format});
    if (cursor.hasSelection() && cursor.document() == doc) {
        QTextCharFormat selection;
        selection.setBackground(palette().brush(QPalette::Active, QPalette::Highlight));
        selection.setForeground(palette().brush(QPalette::Active, QPalette::HighlightedText));
        context.selections.append({cursor, selection});
    }

    painter.translate(LeftMargin, 0);
    painter.scale(zoom, zoom);
    painter.translate(0, -top);
    layout->draw(&painter, context);
}

// Qt breaks lines at the last soft hyphen or space that suits it, so the
// paragraphs on screen choose their evenest breaking, with at most two
// hyphenated lines in a row, once they are laid out. The line at the top
// stays there, or the end when it is in view. Not while the reader edits:
// the soft hyphens taken out would join the reader's undo.
void TRichBox::LimitShownHyphenation()
{
    if (!Rich->HasSoftHyphens() || !isReadOnly())
        return;
    QScrollBar *bar = verticalScrollBar();
    const int top = bar->value();
    const int height = VisibleDocumentHeight() + 1;
    const bool atEnd = top > 0 && top == bar->maximum();
    const int keep = Rich->FromQtPosition(KeptTopPosition()); // soft hyphens may go before it
    LayOutDownTo(document(), top + height); // the visible part
    const bool laidOut = IsLaidOut(document()->lastBlock());
    bool changed = false;
    QTextBlock block = BlockAtY(top);
    for (; block.isValid() && IsLaidOut(block) && block.layout()->position().y() < top + height; block = block.next())
        changed = ChooseHyphenation(*Rich, block) || changed;
    if (!changed)
        return;
    // A change while Qt is still laying the document out in the background
    // leaves the blocks it has not reached without lines and without height:
    // they are laid out anew.
    if (!laidOut && block.isValid())
        document()->markContentsDirty(block.position(), document()->characterCount() - block.position());
    if (atEnd) {
        ScrollToBottom();
    } else {
        FixScrollRange();
        RestoreTop(Rich->ToQtPosition(keep));
    }
}

// The text at the top of the box stays there: the text edit clamps the
// scroll position to the range it knows while it takes the new size, and a
// box given its place while hidden gets its real viewport only now.
void TRichBox::resizeEvent(QResizeEvent *event)
{
    const int keep = KeptTopPosition();
    QTextEdit::resizeEvent(event);
    UpdateWrapWidth();
    RestoreTop(keep);
}

// The text edit's first show scrolls to its caret, which may not have
// followed the program's caret yet: the place the program chose stays.
void TRichBox::showEvent(QShowEvent *event)
{
    const int keep = KeptTopPosition();
    QTextEdit::showEvent(event);
    RestoreTop(keep);
}

int TRichBox::TopPosition() const
{
    const int top = verticalScrollBar()->value();
    return top > 0 ? HitTest(QPointF(0, top + 1), false) : 0;
}

void TRichBox::KeepAtTop(int position)
{
    KeptPosition = position;
    KeptScroll = verticalScrollBar()->value();
}

int TRichBox::KeptTopPosition() const
{
    if (KeptPosition > 0 && KeptScroll == verticalScrollBar()->value())
        return Rich->ToQtPosition(KeptPosition);
    return TopPosition();
}

void TRichBox::RestoreTop(int qtPosition)
{
    if (qtPosition > 0 && TopPosition() != qtPosition)
        ShowAtTop(qtPosition);
    if (KeptPosition > 0 && Rich->ToQtPosition(KeptPosition) == qtPosition)
        KeptScroll = verticalScrollBar()->value();
}

void TRichBox::scrollContentsBy(int dx, int dy)
{
    // Scroll values are in document units; a pixel blit would be wrong when zoomed.
    viewport()->update();
}

bool TRichBox::event(QEvent *event)
{
    if (event->type() == QEvent::ReadOnlyChange) {
        // Read-only keeps a (hidden) caret that the keyboard can move, as a
        // rich-edit control does.
        if (isReadOnly())
            setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        document()->setUndoRedoEnabled(!isReadOnly());
        viewport()->setCursor(Qt::IBeamCursor);
        viewport()->update();
    }
    return QTextEdit::event(event);
}

void TRichBox::focusInEvent(QFocusEvent *event)
{
    PushCursor();
    QTextEdit::focusInEvent(event);
    CaretOn = true;
    int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (BlinkTimer)
        killTimer(BlinkTimer);
    BlinkTimer = flash > 0 ? startTimer(flash / 2) : 0;
    viewport()->update();
}

void TRichBox::focusOutEvent(QFocusEvent *event)
{
    QTextEdit::focusOutEvent(event);
    if (BlinkTimer)
        killTimer(BlinkTimer);
    BlinkTimer = 0;
    viewport()->update();
}

void TRichBox::timerEvent(QTimerEvent *event)
{
    if (BlinkTimer && event->timerId() == BlinkTimer) {
        CaretOn = !CaretOn;
        if (!isReadOnly())
            viewport()->update();
        return;
    }
    QTextEdit::timerEvent(event);
}

// ---------------------------------------------------------------- input

void TRichBox::keyPressEvent(QKeyEvent *event)
{
    PushCursor();
    if (OnKeyPress && OnKeyPress(event)) {
        event->accept();
        return;
    }
    if (!isReadOnly() && !event->text().isEmpty() && event->text().at(0).isPrint() && !textCursor().hasSelection()
        && Rich->GetTextLength() >= Rich->TextLimit()) {
        QApplication::beep();
        event->accept();
        return;
    }
    const bool next = event->matches(QKeySequence::MoveToNextPage) || event->matches(QKeySequence::SelectNextPage);
    const bool previous
        = event->matches(QKeySequence::MoveToPreviousPage) || event->matches(QKeySequence::SelectPreviousPage);
    if (next || previous) {
        MovePage(next, event->modifiers() & Qt::ShiftModifier);
        event->accept();
        return;
    }
    // Shift+Enter ends the paragraph too: a line separator inside a
    // paragraph would not count as a CR LF break.
    QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text());
    const bool shiftEnter
        = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && (event->modifiers() & Qt::ShiftModifier);
    QKeyEvent *handled = shiftEnter ? &plain : event;
    if (!isReadOnly()) {
        KeepCursorInBook();
        if (DeletesIntoEndMarker(event)) {
            event->accept();
            return;
        }
    }
    int before = textCursor().position();
    QTextEdit::keyPressEvent(handled);
    if (!isReadOnly())
        KeepCursorInBook();
    event->setAccepted(handled->isAccepted());
    if (textCursor().position() != before)
        ScrollCaretIntoView();
    viewport()->update();
}

// Page up or down: the view moves a page, its top on a line's top (down: the
// line cut at the bottom becomes the top line), and the caret keeps its place
// on screen.
void TRichBox::MovePage(bool down, bool keepAnchor)
{
    QPoint caret;
    bool placed = CaretPosition(&caret);
    QScrollBar *bar = verticalScrollBar();
    const int before = bar->value();
    const int target = before + (down ? 1 : -1) * bar->pageStep();
    int line = LineAtY(std::max(0, target));
    qreal top = LineTop(line);
    if (!down && top >= 0 && top < target - 1) {
        qreal next = LineTop(line + 1);
        if (next >= 0)
            top = next;
    }
    if (down && top <= before)
        top = LineTop(LineAtY(before) + 1); // a line taller than the page
    if (target <= 0 || top < 0)
        top = std::max(0, target);
    SetScrollY(int(std::lround(top * ZoomFactor())));
    if (!placed)
        return;
    if (bar->value() == before)
        caret.setY(down ? viewport()->height() - 1 : 0); // at an end: go to the first or last line
    // A caret that was out of view lands on the nearest edge of the new page.
    caret.setY(std::clamp(caret.y(), 0, std::max(0, viewport()->height() - 1)));
    int qt = Rich->ToQtPosition(CharFromPos(caret));
    QTextCursor cursor = textCursor();
    cursor.setPosition(qt, keepAnchor ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    int shown = bar->value();
    setTextCursor(cursor);
    bar->setValue(shown);
}

void TRichBox::mousePressEvent(QMouseEvent *event)
{
    PushCursor();
    if (OnMousePress && OnMousePress(event, false)) {
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        TLink link;
        if (LinkAt(event->position().toPoint(), &link)) {
            if (link.Href.isEmpty())
                emit LinkClicked(link.Start, link.End, link.Text);
            else
                emit AnchorClicked(link.Href);
        }
    }
    auto mapped = MappedEvent(event);
    QTextEdit::mousePressEvent(mapped.get());
    event->setAccepted(mapped->isAccepted());
}

void TRichBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    PushCursor();
    if (OnMousePress && OnMousePress(event, true)) {
        event->accept();
        return;
    }
    // The text edit selects the word under the pointer.
    auto mapped = MappedEvent(event);
    QTextEdit::mouseDoubleClickEvent(mapped.get());
    event->setAccepted(mapped->isAccepted());
}

void TRichBox::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove && OnMouseMove(event)) {
        event->accept();
        return;
    }
    auto mapped = MappedEvent(event);
    QTextEdit::mouseMoveEvent(mapped.get());
    TLink link;
    viewport()->setCursor(LinkAt(event->position().toPoint(), &link) ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void TRichBox::mouseReleaseEvent(QMouseEvent *event)
{
    auto mapped = MappedEvent(event);
    QTextEdit::mouseReleaseEvent(mapped.get());
    if (!isReadOnly())
        KeepCursorInBook();
}

void TRichBox::inputMethodEvent(QInputMethodEvent *event)
{
    if (!isReadOnly())
        KeepCursorInBook();
    QTextEdit::inputMethodEvent(event);
}

// The caret and the selection of an editing reader stay within the book's
// text: what is typed, pasted or deleted never reaches the end marker.
void TRichBox::KeepCursorInBook()
{
    if (!Rich->HasEndMarker())
        return;
    const int limit = Rich->ToQtPosition(Rich->EditableEnd());
    QTextCursor cursor = textCursor();
    if (cursor.anchor() <= limit && cursor.position() <= limit)
        return;
    const int anchor = std::min(cursor.anchor(), limit);
    cursor.setPosition(anchor);
    cursor.setPosition(std::min(textCursor().position(), limit), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

// A key that deletes forward from the end of the book's text would join the
// end marker to it.
bool TRichBox::DeletesIntoEndMarker(QKeyEvent *event) const
{
    if (!Rich->HasEndMarker() || textCursor().hasSelection()
        || textCursor().position() < Rich->ToQtPosition(Rich->EditableEnd()))
        return false;
    return event->matches(QKeySequence::Delete) || event->matches(QKeySequence::DeleteEndOfWord)
        || event->matches(QKeySequence::DeleteEndOfLine) || event->matches(QKeySequence::DeleteCompleteLine);
}

void TRichBox::wheelEvent(QWheelEvent *event)
{
    if (OnWheel && OnWheel(event)) {
        event->accept();
        return;
    }
    if (event->modifiers() & Qt::ControlModifier)
        QAbstractScrollArea::wheelEvent(event); // no font zoom of the text edit
    else
        QTextEdit::wheelEvent(event);
}

// What is copied or dragged is the book's text, without the soft hyphens
// the document added and with the spaces it holds as spaces.
QMimeData *TRichBox::createMimeDataFromSelection() const
{
    if (!Rich->HasSoftHyphens())
        return QTextEdit::createMimeDataFromSelection();
    // The text edit's own data fills itself in from the document when asked.
    const std::unique_ptr<QMimeData> shown(QTextEdit::createMimeDataFromSelection());
    const QTextCursor cursor = textCursor();
    QString text = Rich->BookText(cursor.selectedText(), cursor.selectionStart());
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n')).replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    auto *data = new QMimeData;
    data->setText(text);
    if (shown && shown->hasHtml())
        data->setHtml(shown->html()
                          .remove(SoftHyphen)
                          .remove(QLatin1String("&shy;"))
                          .replace(QChar::Nbsp, QLatin1Char(' '))
                          .replace(QLatin1String("&nbsp;"), QLatin1String(" ")));
    return data;
}

void TRichBox::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source)
        return;
    KeepCursorInBook();
    int room = Rich->TextLimit() - Rich->GetTextLength() + Rich->SelectionLength();
    QString text = source->text();
    if (source->hasText() && text.size() > room) {
        // Only what fits under the text limit goes in.
        if (room <= 0) {
            QApplication::beep();
            return;
        }
        textCursor().insertText(text.left(room));
        return;
    }
    QTextEdit::insertFromMimeData(source);
}
