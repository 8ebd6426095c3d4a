// The rich-edit operations of the reading box: scrolling and caret placement
// by display line or character position, whole-text formatting, look
// settings and search. Lines are display lines counted from 0; positions
// count a paragraph break as two characters.
#pragma once

#include "RichDocument.h"

#include <QString>

class TRichBox;

int GetLineCount(TRichBox *box);
int GetTextLength(TRichBox *box);
bool IsRichEditEmpty(TRichBox *box); // fewer than 3 characters
void SetTextLimit(TRichBox *box, int limit); // <= 0: no limit (0x7FFFFFFF)
int GetFirstVisibleLine(TRichBox *box);
void SetScrollPos(TRichBox *box, int y);
void ScrollLines(TRichBox *box, int lines);
void ScrollCaret(TRichBox *box);
int LineIndex(TRichBox *box, int line);
int LineFromChar(TRichBox *box, int position);
int CharFromPos(TRichBox *box, int x, int y);
int FirstVisibleCharIndex(TRichBox *box);
void SetTopLine(TRichBox *box, int line);
bool IsCaretVisible(TRichBox *box);
void KeepCaretVisible(TRichBox *box, int lines);
void ScrollToEnd(TRichBox *box);
void GoToPosition(TRichBox *box, int position);

void SetFontSizeAll(TRichBox *box, int points);
void SetCharSpacingAll(TRichBox *box, int value); // value x 5.76 twips
void SetFontNameAll(TRichBox *box, const QString &name);
void SetBoldAll(TRichBox *box, bool bold);
void SetTextColorAll(TRichBox *box, TColor color);
void SetSelectionColor(TRichBox *box, TColor color);

void SetZoom(TRichBox *box, int percent);
void EnableUrlDetection(TRichBox *box);
void SetLeftMargin(TRichBox *box, int pixels);
void SetRightMargin(TRichBox *box, int pixels);
void EnableAdvancedTypography(TRichBox *box);

// Forward: from the end of the selection (or from 0) to the end; backward:
// from the selection start back to 0. Case ignored, diacritics significant.
// The match is selected and scrolled into view; returns its position or -1.
int FindTextInRichEdit(TRichBox *box, const QString &text, bool forward, bool fromStart);
