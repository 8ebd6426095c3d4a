// The format options of the profile: each change re-formats the whole
// rich-box at once, keeping the reader's place where it can.
#include "LecternForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHash>

#include "ConvertOptions.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
#include "OpenBook.h"
#include "ProfileFormatTabSheet.h"
#include "ProgramMiscTabSheet.h"
#include "RichBox.h"
#include "RichEditOps.h"

void TLecternForm::SetUpFormatting()
{
    using O = TProfileFormatTabSheet::TOption;
    const QHash<O, void (TLecternForm::*)()> handlers = {
        {O::LeftMargin, &TLecternForm::LeftMarginComboBoxChange},
        {O::RightMargin, &TLecternForm::RightMarginComboBoxChange},
        {O::FontName, &TLecternForm::FontNameComboBoxChange},
        {O::FontSize, &TLecternForm::FontSizeComboBoxChange},
        {O::FontZoom, &TLecternForm::FontZoomComboBoxChange},
        {O::CharSpacing, &TLecternForm::CharSpacingComboBoxChange},
        {O::BoldFont, &TLecternForm::BoldFontCheckBoxClick},
        {O::LineSpacing, &TLecternForm::LineSpacingComboBoxChange},
        {O::FirstLineIndent, &TLecternForm::FirstLineIndentComboBoxChange},
        {O::SpaceAfter, &TLecternForm::SpaceAfterComboBoxChange},
        {O::JustifiedText, &TLecternForm::JustifiedTextCheckBoxClick},
    };
    connect(ProfileFormatTabSheet, &TProfileFormatTabSheet::FormatChanged, this, [this, handlers](O option) {
        if (const auto handler = handlers.value(option))
            (this->*handler)();
    });
    connect(ProfileFormatTabSheet, &TProfileFormatTabSheet::ReadingChosen, this, &TLecternForm::ReadingChoiceChange);
    connect(ProgramMiscTabSheet->Form.ForceRichEdit3CheckBox, &QCheckBox::toggled, this,
            &TLecternForm::ForceRichEdit3CheckBoxClick);

    ProgramMiscTabSheet->ShowRichEdit3Detected(Engine->RichEdit3);
    Engine->ForceRichEdit3 = ProgramMiscTabSheet->ForceRichEdit3();
    // The box starts with the options' look; later changes come through the
    // handlers.
    SetLeftMargin(RichEdit, ProfileFormatTabSheet->LeftMargin());
    SetRightMargin(RichEdit, ProfileFormatTabSheet->RightMargin());
    SetZoom(RichEdit, ProfileFormatTabSheet->FontZoom());
}

void TLecternForm::KeepReadingPosition(const std::function<void()> &change)
{
    const int position = FirstVisibleCharIndex(RichEdit);
    change();
    GoToPosition(RichEdit, position);
}

void TLecternForm::LeftMarginComboBoxChange()
{
    KeepReadingPosition([this] { SetLeftMargin(RichEdit, ProfileFormatTabSheet->LeftMargin()); });
}

void TLecternForm::RightMarginComboBoxChange()
{
    KeepReadingPosition([this] { SetRightMargin(RichEdit, ProfileFormatTabSheet->RightMargin()); });
}

void TLecternForm::FontNameComboBoxChange()
{
    // An empty box means the default face; the box stays empty.
    KeepReadingPosition([this] { SetFontNameAll(RichEdit, ProfileFormatTabSheet->FontName()); });
}

void TLecternForm::FontSizeComboBoxChange() { SetFontSizeAll(RichEdit, ProfileFormatTabSheet->FontSize()); }

void TLecternForm::FontZoomComboBoxChange() { SetZoom(RichEdit, ProfileFormatTabSheet->FontZoom()); }

void TLecternForm::CharSpacingComboBoxChange()
{
    KeepReadingPosition([this] { SetCharSpacingAll(RichEdit, ProfileFormatTabSheet->CharSpacing()); });
}

void TLecternForm::BoldFontCheckBoxClick()
{
    KeepReadingPosition([this] { SetBoldAll(RichEdit, ProfileFormatTabSheet->BoldFont()); });
    FocusRichBox();
}

void TLecternForm::JustifiedTextCheckBoxClick()
{
    SetAllParaFormatRichEdit();
    FocusRichBox();
}

void TLecternForm::LineSpacingComboBoxChange() { SetAllParaFormatRichEdit(); }

void TLecternForm::FirstLineIndentComboBoxChange() { SetAllParaFormatRichEdit(); }

void TLecternForm::SpaceAfterComboBoxChange() { SetAllParaFormatRichEdit(); }

void TLecternForm::ReadingChoiceChange()
{
    if (Loading || CurrentBookPath.isEmpty() || Book->IsRtf() || !HasBookFile()) {
        FocusRichBox();
        return;
    }
    // Edits the reader wants saved, and that were not, keep the book as it
    // is; the choice stays for the next book.
    if (!AskSaveIfModified()) {
        FocusRichBox();
        return;
    }
    // Soft hyphens take no positions, so the place is the same; markers of
    // emphasis move it by no more than their own count.
    LoadFromFile(QString(), CurrentPiece(), false, FirstVisibleCharIndex(RichEdit));
    FocusRichBox();
}

void TLecternForm::ForceRichEdit3CheckBoxClick() { Engine->ForceRichEdit3 = ProgramMiscTabSheet->ForceRichEdit3(); }

void TLecternForm::SetAllParaFormatRichEdit()
{
    const int position = FirstVisibleCharIndex(RichEdit);
    const bool visible = BeginUpdate();
    FUN_BEGIN("TLecternForm::SetAllParaFormatRichEdit");
    TRichDocument *document = RichEdit->RichDocument();
    try {
        document->SetSelection(0, 0x7FFFFFFF);
        // The engine's state as a load leaves it, so the paragraphs look as
        // if the book had been opened with these options.
        const TBookFormatOptions o = CurrentFormatOptions();
        Engine->SetBaseFormat(false, false, o.LineSpacing, o.SpaceAfter, o.FirstLineIndent, o.JustifiedText ? 3 : 0,
                              o.SecondEmphaColor, o.EmphaColor, o.RichBoxForeColor, o.CharSpacing, o.FontSize,
                              o.FontName, o.BoldFont);
        Engine->ApplyParaFormat(true, 0);
    }
    FUN_CATCH
    try {
        document->CollapseSelection();
        GoToPosition(RichEdit, position);
    }
    FUN_CATCH
    EndUpdate(visible);
    FUN_END;
}
