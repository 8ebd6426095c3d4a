// The format options of the profile: each change re-formats the whole
// rich-box at once, keeping the reader's place where it can.
#include "LecternForm.h"

#include <QCheckBox>
#include <QComboBox>

#include "ConvertOptions.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
#include "ProfileFormatTabSheet.h"
#include "ProgramMiscTabSheet.h"
#include "RichBox.h"
#include "RichEditOps.h"

void TLecternForm::SetUpFormatting()
{
    Ui::ProfileFormatTabSheet &f = ProfileFormatTabSheet->Form;
    const QList<QPair<QComboBox *, void (TLecternForm::*)()>> combos = {
        {f.LeftMarginComboBox, &TLecternForm::LeftMarginComboBoxChange},
        {f.RightMarginComboBox, &TLecternForm::RightMarginComboBoxChange},
        {f.FontNameComboBox, &TLecternForm::FontNameComboBoxChange},
        {f.FontSizeComboBox, &TLecternForm::FontSizeComboBoxChange},
        {f.FontZoomComboBox, &TLecternForm::FontZoomComboBoxChange},
        {f.CharSpacingComboBox, &TLecternForm::CharSpacingComboBoxChange},
        {f.LineSpacingComboBox, &TLecternForm::LineSpacingComboBoxChange},
        {f.FirstLineIndentComboBox, &TLecternForm::FirstLineIndentComboBoxChange},
        {f.SpaceAfterComboBox, &TLecternForm::SpaceAfterComboBoxChange},
    };
    // Typed, chosen or set by a profile: every change of the text counts.
    for (const auto &combo : combos)
        connect(combo.first, &QComboBox::currentTextChanged, this, combo.second);
    connect(f.BoldFontCheckBox, &QCheckBox::toggled, this, &TLecternForm::BoldFontCheckBoxClick);
    connect(f.JustifiedTextCheckBox, &QCheckBox::toggled, this, &TLecternForm::JustifiedTextCheckBoxClick);
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
