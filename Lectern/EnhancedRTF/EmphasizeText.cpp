// Quote emphasis over the whole rich-box, after a colour change.
#include "EnhancedRichEdit.h"

#include "FunStatContext.h"
#include "QuoteEmphasis.h"


void TEnhancedRichEdit::EmphasizeText(TColor emphasisColor, TColor secondEmphasisColor)
{
    FUN_BEGIN("TEnhancedRichEdit::EmphasizeText");
    if (!RichBox) {
        FUN_END;
        return;
    }
    const int firstVisible = View ? View->FirstVisibleCharIndex() : 0;
    const bool visible = View ? View->IsVisible() : false;
    try {
        if (View)
            View->SetVisible(false);
        RichBox->SetSelection(0, 0);
        // Positions of the whole text match the rich-box's (CR LF per break);
        // a line end closes any open quote.
        const QString text = RichBox->GetText();
        QVector<QuoteEmphasis::TRange> doubleRanges;
        QVector<QuoteEmphasis::TRange> singleRanges;
        QuoteEmphasis::FindDoubleQuoted(text, true, doubleRanges);
        if (secondEmphasisColor != emphasisColor)
            QuoteEmphasis::FindSingleQuoted(text, true, singleRanges);
        if (!doubleRanges.isEmpty() || !singleRanges.isEmpty()) {
            // One edit block: the layout is updated once, not per range.
            const TProgramEdit edit(*RichBox);
            for (const QuoteEmphasis::TRange &range : doubleRanges) {
                RichBox->SetSelection(range.Start, range.Length);
                RichBox->SetSelectionColor(emphasisColor);
            }
            for (const QuoteEmphasis::TRange &range : singleRanges) {
                RichBox->SetSelection(range.Start, range.Length);
                RichBox->SetSelectionColor(secondEmphasisColor);
            }
        }
    }
    FUN_CATCH
    try {
        RichBox->SetSelection(firstVisible, 0);
        if (View) {
            View->GoToPosition(firstVisible);
            View->SetVisible(visible);
        }
    }
    FUN_CATCH
    FUN_END;
}
