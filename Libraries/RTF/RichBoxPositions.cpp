// TRichBox: display lines, scrolling, caret, links and content.
#include "RichBox.h"

#include "HyphenatedLines.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

TRichBox::TRtfReader &RtfReaderSlot()
{
    static TRichBox::TRtfReader reader;
    return reader;
}

TRichBox::TRtfWriter &RtfWriterSlot()
{
    static TRichBox::TRtfWriter writer;
    return writer;
}

// Links found in one block, kept with the block until its text changes.
struct TBlockLinks : QTextBlockUserData {
    int Revision = -1;
    QVector<QPair<int, int>> Ranges; // [start, end) inside the block
};

// The line of a block holding a position inside it (the last line at the end).
QTextLine LineAt(const QTextBlock &block, int relative)
{
    QTextLayout *layout = block.layout();
    QTextLine line = layout->lineForTextPosition(relative);
    if (!line.isValid() && layout->lineCount() > 0)
        line = layout->lineAt(relative <= 0 ? 0 : layout->lineCount() - 1);
    return line;
}

// Draws the lines that start on the page `view` (document coordinates),
// from the first block that reaches it. Each line belongs to one page only:
// the layout's own drawing also draws the line before the clip, which on
// paper is cut off yet stays in the document as hidden text.
void PrintPageLines(QPainter &painter, QTextBlock block, const QAbstractTextDocumentLayout &layout, const QRectF &view)
{
    for (; block.isValid(); block = block.next()) {
        if (layout.blockBoundingRect(block).top() >= view.bottom())
            break;
        const QTextLayout *lines = block.layout();
        if (!block.isVisible() || !lines)
            continue;
        const QPointF position = lines->position();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const qreal top = position.y() + line.y();
            if (top >= view.bottom())
                break;
            if (top >= view.top())
                line.draw(&painter, position);
        }
    }
}

} // namespace

// ---------------------------------------------------------------- lines

int TRichBox::LineCount() { return Lines.LinesSoFar(); }

int TRichBox::LineCountExact() { return Lines.LinesExact(); }

bool TRichBox::IsLayoutComplete() const
{
    // A document still being built has text to come.
    if (Rich->InBulk())
        return false;
    QTextBlock last = document()->lastBlock();
    return last.layout() && last.layout()->lineCount() > 0;
}

// Lays the document out at least down to height y. Qt lays a document out
// from its top, so the laid-out blocks are the first ones; the layout is
// taken on by blocks, further each time, until it passes y. (Qt's own hit
// test would do the same but walks every block of the document first.)
void TRichBox::LayOutDownTo(QTextDocument *doc, qreal y)
{
    const int count = doc->blockCount();
    if (count == 0 || IsLaidOut(doc->lastBlock()))
        return;
    int low = -1, high = count - 1; // the last block laid out, -1: none
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (IsLaidOut(doc->findBlockByNumber(mid)))
            low = mid;
        else
            high = mid - 1;
    }
    for (int step = 16;; step *= 2) {
        if (low >= 0) {
            const QTextLayout *layout = doc->findBlockByNumber(low).layout();
            if (layout->position().y() + layout->boundingRect().height() > y)
                return;
        }
        if (low >= count - 1)
            return;
        low = std::min(count - 1, low + step);
        doc->documentLayout()->blockBoundingRect(doc->findBlockByNumber(low));
        if (!IsLaidOut(doc->findBlockByNumber(low)))
            return; // the layout went no further (no page width yet)
    }
}

// The block shown at document height y: the last laid-out block whose top
// is at or above y. Qt's own hit test is unreliable above the first block
// while the layout is still running, so this searches the layout positions.
QTextBlock TRichBox::BlockAtY(qreal y) const
{
    QTextDocument *doc = document();
    LayOutDownTo(doc, y);
    auto above = [doc, y](int number) {
        QTextBlock block = doc->findBlockByNumber(number);
        return IsLaidOut(block) && block.layout()->position().y() <= y;
    };
    int low = 0, high = doc->blockCount() - 1;
    while (low < high) {
        int mid = low + (high - low + 1) / 2;
        if (above(mid))
            low = mid;
        else
            high = mid - 1;
    }
    return doc->findBlockByNumber(low);
}

// The Qt position under a document point: the nearest caret place, or with
// exact, -1 unless the point is over a character (then that character).
int TRichBox::HitTest(const QPointF &point, bool exact) const
{
    QTextBlock block = BlockAtY(point.y());
    if (!TLineIndex::EnsureLaidOut(block))
        return exact ? -1 : block.position();
    QTextLayout *layout = block.layout();
    const QPointF origin = layout->position();
    int index = 0;
    for (int i = 0; i < layout->lineCount(); ++i) {
        if (origin.y() + layout->lineAt(i).y() <= point.y())
            index = i;
    }
    QTextLine line = layout->lineAt(index);
    const qreal x = point.x() - origin.x();
    if (exact) {
        const qreal y = point.y() - origin.y();
        if (y < line.y() || y >= line.y() + line.height() || x < line.x() || x >= line.x() + line.naturalTextWidth())
            return -1;
        return block.position() + line.xToCursor(x, QTextLine::CursorOnCharacter);
    }
    return block.position() + line.xToCursor(x);
}

int TRichBox::FirstVisibleLine() { return LineAtY(verticalScrollBar()->value()); }

// The display line shown at document height y: the last line whose top is at
// or above y; below a block's last line (in its space after) the next block's
// first line.
int TRichBox::LineAtY(qreal y)
{
    QTextBlock block = BlockAtY(y);
    if (!TLineIndex::EnsureLaidOut(block))
        return 0;
    QTextLayout *layout = block.layout();
    const qreal blockTop = layout->position().y();
    int line = 0;
    for (int i = 0; i < layout->lineCount(); ++i) {
        if (blockTop + layout->lineAt(i).y() <= y + 1)
            line = i;
    }
    QTextLine last = layout->lineAt(layout->lineCount() - 1);
    if (line == layout->lineCount() - 1 && y + 1 >= blockTop + last.y() + last.height() && block.next().isValid()) {
        block = block.next();
        line = 0;
    }
    return Lines.LinesBefore(block) + line;
}

int TRichBox::LineIndex(int line)
{
    if (line == -1)
        line = LineFromChar(-1);
    if (line < 0)
        return -1;
    int inBlock = 0;
    QTextBlock block = Lines.BlockOfLine(line, &inBlock);
    if (!block.isValid())
        return -1;
    int start = block.position();
    if (TLineIndex::EnsureLaidOut(block))
        start += block.layout()->lineAt(inBlock).textStart();
    return Rich->FromQtPosition(start);
}

int TRichBox::LineFromChar(int position)
{
    int qt = position < 0 ? Rich->Cursor().position() : Rich->ToQtPosition(position);
    QTextBlock block = document()->findBlock(qt);
    if (!block.isValid())
        block = document()->lastBlock();
    int before = Lines.LinesBefore(block);
    if (!TLineIndex::EnsureLaidOut(block))
        return before;
    QTextLine line = LineAt(block, qt - block.position());
    return before + (line.isValid() ? line.lineNumber() : 0);
}

int TRichBox::CharFromPos(const QPoint &clientPoint)
{
    return Rich->FromQtPosition(HitTest(ToDocument(clientPoint), false));
}

qreal TRichBox::LineTop(int line)
{
    int inBlock = 0;
    QTextBlock block = Lines.BlockOfLine(std::max(0, line), &inBlock);
    if (!block.isValid() || !TLineIndex::EnsureLaidOut(block))
        return -1;
    QTextLayout *layout = block.layout();
    return layout->position().y() + layout->lineAt(inBlock).y();
}

int TRichBox::ScrollY() const { return int(std::lround(verticalScrollBar()->value() * ZoomFactor())); }

void TRichBox::SetScrollY(int y)
{
    qreal top = std::max(0, y) / ZoomFactor();
    // Lay out one screen below the new top so the range reaches it.
    LayOutDownTo(document(), top + VisibleDocumentHeight());
    FixScrollRange();
    verticalScrollBar()->setValue(int(std::lround(top)));
}

void TRichBox::ScrollLines(int lines)
{
    if (lines == 0)
        return;
    int target = std::max(0, FirstVisibleLine() + lines);
    qreal top = LineTop(target);
    if (top < 0) {
        ScrollToBottom();
        return;
    }
    SetScrollY(int(std::lround(top * ZoomFactor())));
}

void TRichBox::ScrollToBottom()
{
    TLineIndex::EnsureLaidOut(document()->lastBlock());
    FixScrollRange();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

bool TRichBox::CaretPosition(QPoint *point)
{
    int qt = Rich->Cursor().position();
    QTextBlock block = document()->findBlock(qt);
    if (!TLineIndex::EnsureLaidOut(block))
        return false;
    QTextLayout *layout = block.layout();
    int relative = qt - block.position();
    QTextLine line = LineAt(block, relative);
    if (!line.isValid())
        return false;
    QPointF at(layout->position().x() + line.cursorToX(relative), layout->position().y() + line.y());
    *point = ToClient(at).toPoint();
    return true;
}

void TRichBox::ScrollCaretIntoView()
{
    int qt = Rich->Cursor().position();
    QTextBlock block = document()->findBlock(qt);
    if (!TLineIndex::EnsureLaidOut(block))
        return;
    QTextLayout *layout = block.layout();
    QTextLine line = LineAt(block, qt - block.position());
    if (!line.isValid())
        return;
    const qreal top = layout->position().y() + line.y();
    const qreal bottom = top + line.height();
    const int shown = verticalScrollBar()->value();
    const int page = VisibleDocumentHeight();
    if (top < shown)
        SetScrollY(int(std::floor(top * ZoomFactor())));
    else if (bottom > shown + page)
        SetScrollY(int(std::ceil((bottom - page) * ZoomFactor())));
}

void TRichBox::PlaceCaret(int position) { Rich->SetSelection(position, 0); }

// ---------------------------------------------------------------- links

void TRichBox::CollectLinks(const QTextBlock &block, QVector<QPair<int, int>> *ranges) const
{
    auto *cached = dynamic_cast<TBlockLinks *>(block.userData());
    if (cached && cached->Revision == block.revision()) {
        *ranges = cached->Ranges;
        return;
    }
    static const QRegularExpression address(
        QStringLiteral(R"((?<![\w.@/])(?:https?://|ftp://|mailto:|www\.)[^\s<>"]+)"),
        QRegularExpression::CaseInsensitiveOption);
    ranges->clear();
    const QString text = block.text();
    auto match = address.globalMatch(text);
    while (match.hasNext()) {
        auto found = match.next();
        int start = found.capturedStart();
        int end = found.capturedEnd();
        // Sentence punctuation after an address is not part of it.
        while (end > start && QStringLiteral(".,;:!?)]}'").contains(text.at(end - 1)))
            --end;
        int prefix = found.captured().indexOf(QLatin1Char(':')) >= 0 ? 0 : 4; // "www." alone is no link
        if (end - start > prefix + 1)
            ranges->append({start, end});
    }
    auto *data = new TBlockLinks;
    data->Revision = block.revision();
    data->Ranges = *ranges;
    QTextBlock writable = block;
    writable.setUserData(data); // the block owns it
}

bool TRichBox::LinkAt(const QPoint &clientPoint, TLink *link)
{
    QTextDocument *doc = document();
    int qt = HitTest(ToDocument(clientPoint), true);
    if (qt < 0)
        return false;
    QTextBlock block = doc->findBlock(qt);
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid() || qt < fragment.position() || qt >= fragment.position() + fragment.length())
            continue;
        const QTextCharFormat format = fragment.charFormat();
        if (format.isAnchor() && !format.anchorHref().isEmpty()) {
            link->Start = Rich->FromQtPosition(fragment.position());
            link->End = Rich->FromQtPosition(fragment.position() + fragment.length());
            link->Text = fragment.text();
            link->Href = format.anchorHref();
            return true;
        }
        break;
    }
    if (!Urls)
        return false;
    int relative = qt - block.position();
    QVector<QPair<int, int>> ranges;
    CollectLinks(block, &ranges);
    for (const auto &range : ranges) {
        if (relative >= range.first && relative < range.second) {
            link->Start = Rich->FromQtPosition(block.position() + range.first);
            link->End = Rich->FromQtPosition(block.position() + range.second);
            link->Text = block.text().mid(range.first, range.second - range.first);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- content

void TRichBox::SetRtfCodec(TRtfReader reader, TRtfWriter writer)
{
    RtfReaderSlot() = std::move(reader);
    RtfWriterSlot() = std::move(writer);
}

bool TRichBox::LoadRtf(const QByteArray &rtf, QString *error)
{
    if (!RtfReaderSlot()) {
        if (error)
            *error = tr("RTF documents cannot be read.");
        return false;
    }
    QString message;
    bool ok = RtfReaderSlot()(*Rich, rtf, &message);
    if (error)
        *error = message;
    Rich->SetModified(false);
    return ok;
}

bool TRichBox::SaveRtf(QByteArray *rtf, QString *error) const
{
    if (!RtfWriterSlot()) {
        if (error)
            *error = tr("RTF documents cannot be written.");
        return false;
    }
    QString message;
    bool ok = RtfWriterSlot()(*Rich, rtf, &message);
    if (error)
        *error = message;
    return ok;
}

void TRichBox::LoadPlainText(const QString &text)
{
    // Built detached and handed over: far faster than filling the shown document.
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Rich->BeginBulk();
    for (const QString &line : normal.split(QLatin1Char('\n')))
        Rich->AppendParagraph(line);
    Rich->EndBulk();
}

QString TRichBox::PlainText() const { return Rich->ToPlainTextCrLf(); }

bool TRichBox::Print(QPrinter *printer, const QMarginsF &marginsMm, QString *error, int *pages) const
{
    if (pages)
        *pages = 0;
    if (!printer || !printer->isValid()) {
        if (error)
            *error = tr("No printer is available.");
        return false;
    }
    // The margins are measured from the paper's edges; a printer that cannot
    // print that near an edge gets its own smallest margin there.
    QPageLayout pageLayout = printer->pageLayout();
    pageLayout.setUnits(QPageLayout::Millimeter);
    const QMarginsF least = pageLayout.minimumMargins();
    const QMarginsF margins(std::max(marginsMm.left(), least.left()), std::max(marginsMm.top(), least.top()),
                            std::max(marginsMm.right(), least.right()), std::max(marginsMm.bottom(), least.bottom()));
    const bool fits = printer->setPageMargins(margins, QPageLayout::Millimeter);
    const QSizeF page = printer->pageRect(QPrinter::DevicePixel).size();
    if (!fits || page.width() < 1 || page.height() < 1) {
        if (error)
            *error = tr("The margins do not fit on the page.");
        return false;
    }
    // A copy of the document laid out on the printer itself, page by page,
    // without the soft hyphens and held spaces laid out for the screen.
    std::unique_ptr<QTextDocument> copy(document()->clone());
    copy->setUndoRedoEnabled(false);
    copy->setDocumentMargin(0);
    TakeOutLineBreaking(*copy, Rich->SoftHyphens());
    QPainter painter;
    if (!painter.begin(printer)) {
        if (error)
            *error = tr("The printer refused the document.");
        return false;
    }
    QAbstractTextDocumentLayout *layout = copy->documentLayout();
    layout->setPaintDevice(printer);
    copy->setPageSize(page);
    const int count = copy->pageCount();
    int first = 1, last = count;
    if (printer->fromPage() > 0) {
        first = std::max(printer->fromPage(), 1);
        last = std::min(printer->toPage() > 0 ? printer->toPage() : count, count);
    }
    const int copies = printer->supportsMultipleCopies() ? 1 : std::max(printer->copyCount(), 1);
    bool firstPage = true;
    for (int c = 0; c < copies; ++c) {
        QTextBlock start = copy->begin();
        for (int index = first; index <= last; ++index) {
            if (!firstPage && !printer->newPage())
                break;
            firstPage = false;
            const QRectF view(0, (index - 1) * page.height(), page.width(), page.height());
            while (start.isValid() && layout->blockBoundingRect(start).bottom() <= view.top())
                start = start.next();
            painter.save();
            painter.translate(0, -view.top());
            painter.setClipRect(view);
            painter.setPen(Qt::black); // text without a colour of its own
            PrintPageLines(painter, start, *layout, view);
            painter.restore();
        }
    }
    painter.end();
    if (printer->printerState() == QPrinter::Error || printer->printerState() == QPrinter::Aborted) {
        if (error)
            *error = tr("The printer refused the document.");
        return false;
    }
    if (pages)
        *pages = copy->pageCount();
    return true;
}
