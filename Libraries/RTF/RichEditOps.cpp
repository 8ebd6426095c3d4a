#include "RichEditOps.h"

#include "RichBox.h"

#include <algorithm>

int GetLineCount(TRichBox *box) { return box->LineCount(); }

int GetTextLength(TRichBox *box) { return box->RichDocument()->GetTextLength(); }

bool IsRichEditEmpty(TRichBox *box) { return GetTextLength(box) < 3; }

void SetTextLimit(TRichBox *box, int limit) { box->RichDocument()->SetTextLimit(limit <= 0 ? 0x7FFFFFFF : limit); }

int GetFirstVisibleLine(TRichBox *box) { return box->FirstVisibleLine(); }

void SetScrollPos(TRichBox *box, int y) { box->SetScrollY(y); }

void ScrollLines(TRichBox *box, int lines) { box->ScrollLines(lines); }

void ScrollCaret(TRichBox *box) { box->ScrollCaretIntoView(); }

int LineIndex(TRichBox *box, int line) { return box->LineIndex(line); }

int LineFromChar(TRichBox *box, int position) { return box->LineFromChar(position); }

int CharFromPos(TRichBox *box, int x, int y) { return box->CharFromPos(QPoint(x, y)); }

int FirstVisibleCharIndex(TRichBox *box) { return LineIndex(box, GetFirstVisibleLine(box)); }

void SetTopLine(TRichBox *box, int line)
{
    SetScrollPos(box, 0);
    ScrollLines(box, std::max(0, line));
    int position = LineIndex(box, std::max(0, line));
    if (position < 0)
        position = GetTextLength(box); // past the last line: the caret goes to the end
    box->PlaceCaret(position);
}

bool IsCaretVisible(TRichBox *box)
{
    QPoint caret;
    if (!box->CaretPosition(&caret))
        return false;
    QSize client = box->viewport()->size();
    return caret.x() >= 0 && caret.x() < client.width() && caret.y() >= 0 && caret.y() < client.height();
}

void KeepCaretVisible(TRichBox *box, int lines)
{
    if (IsCaretVisible(box))
        return;
    int position = LineIndex(box, GetFirstVisibleLine(box) + lines);
    if (position < 0)
        position = LineIndex(box, GetFirstVisibleLine(box));
    box->PlaceCaret(std::max(0, position));
}

void ScrollToEnd(TRichBox *box)
{
    box->ScrollToBottom();
    KeepCaretVisible(box, 1);
}

void GoToPosition(TRichBox *box, int position)
{
    if (position < 0)
        return;
    int line = position == 0 ? 0 : LineFromChar(box, position);
    // "line > line count - 5" means line + 4 does not exist; asking for that
    // line lays the text out only that far.
    if (LineIndex(box, line + 4) < 0) {
        ScrollToEnd(box);
    } else {
        SetTopLine(box, line);
        box->KeepAtTop(position);
    }
}

void SetFontSizeAll(TRichBox *box, int points)
{
    box->RichDocument()->SetDefaultFont(QString(), points);
    TCharFormat format;
    format.Mask = CFM_SIZE;
    format.HeightTwips = points * 20;
    box->RichDocument()->SetCharFormat(format, true);
}

void SetCharSpacingAll(TRichBox *box, int value)
{
    TCharFormat format;
    format.Mask = CFM_SPACING;
    format.SpacingTwips = int(value * 5.76); // truncated toward zero
    box->RichDocument()->SetCharFormat(format, true);
}

void SetFontNameAll(TRichBox *box, const QString &name)
{
    TCharFormat format;
    format.Mask = CFM_FACE;
    format.FaceName = name.left(31);
    box->RichDocument()->SetCharFormat(format, true);
}

void SetBoldAll(TRichBox *box, bool bold)
{
    TCharFormat format;
    format.Mask = CFM_BOLD;
    format.Effects = bold ? CFE_BOLD : 0;
    box->RichDocument()->SetCharFormat(format, true);
}

void SetTextColorAll(TRichBox *box, TColor color) { box->RichDocument()->SetTextColorAll(color); }

void SetSelectionColor(TRichBox *box, TColor color) { box->RichDocument()->SetSelectionColor(color); }

void SetZoom(TRichBox *box, int percent) { box->SetZoomPercent(percent); }

void EnableUrlDetection(TRichBox *box) { box->SetUrlDetection(true); }

void SetLeftMargin(TRichBox *box, int pixels) { box->SetLeftMarginPixels(pixels); }

void SetRightMargin(TRichBox *box, int pixels) { box->SetRightMarginPixels(pixels); }

void EnableAdvancedTypography(TRichBox *box) { box->SetAdvancedTypography(true); }

int FindTextInRichEdit(TRichBox *box, const QString &text, bool forward, bool fromStart)
{
    TRichDocument *doc = box->RichDocument();
    int found;
    if (forward) {
        int from = fromStart ? 0 : doc->SelectionStart() + doc->SelectionLength();
        found = doc->FindText(text, from, -1, true);
    } else {
        found = doc->FindText(text, 0, doc->SelectionStart(), false);
    }
    if (found < 0)
        return -1;
    doc->SetSelection(found, int(text.size()));
    ScrollCaret(box);
    return found;
}
