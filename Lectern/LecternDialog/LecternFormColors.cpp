// The ten colours of the profile in the main window: the colour panels and
// the schemes of the "Colors" page, and everything that takes a colour from
// them (the screen, the side panels, the clock, the rich-box, its text and
// emphasis, the browser's and the converter's lists).
#include "LecternForm.h"

#include <QLabel>

#include "BrowserGroupBox.h"
#include "ColorPanel.h"
#include "ConvertMeasureTabSheet.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
#include "ProfileColorsTabSheet.h"
#include "RichBox.h"
#include "RichEditOps.h"

void TLecternForm::SetUpColors()
{
    connect(ProfileColorsTabSheet, &TProfileColorsTabSheet::ColorPanelMouseUp, this, &TLecternForm::ColorPanelMouseUp);
    connect(ProfileColorsTabSheet, &TProfileColorsTabSheet::ColorSchemeButtonClick, this,
            &TLecternForm::SetColorSchemeButtonClick);
    ApplyProfileColors();
}

void TLecternForm::ApplyScreenBackColor()
{
    const QColor back = ToQColor(ProfileColorsTabSheet->Color(crScreenBack));
    // The side panels, tabs and buttons take the colour with their bevels
    // shaded from it; edits and lists keep their own colours.
    const QPalette shaded(back, back);
    QPalette p = palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Light, QPalette::Midlight,
                                     QPalette::Dark, QPalette::Mid, QPalette::Shadow})
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(group, role, shaded.color(group, role));
    setPalette(p);
    ApplyListColors();
    update();
}

void TLecternForm::ApplyListColors()
{
    TProfile colors;
    ProfileColorsTabSheet->ReadProfile(colors);
    if (BrowserGroupBox)
        BrowserGroupBox->SetColors(BrowserColorsFromProfile(colors));
    ConvertMeasureTabSheet->SetColors(colors.ScreenBackColor, colors.ScreenForeColor, colors.BrowserFocusBackColor,
                                      colors.BrowserFocusForeColor);
}

void TLecternForm::ApplyScreenForeColor()
{
    const QColor fore = ToQColor(ProfileColorsTabSheet->Color(crScreenFore));
    QPalette p = palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            p.setColor(group, role, fore);
    setPalette(p);
    QPalette clock = ClockLabel->palette();
    clock.setColor(QPalette::WindowText, fore);
    ClockLabel->setPalette(clock);
    ApplyListColors();
}

void TLecternForm::ApplyRichBoxColors()
{
    // The back colour is painted under the text (PaintRichBoxBackground);
    // the fore colour is the box's own text colour.
    QPalette p = RichEdit->palette();
    p.setColor(QPalette::Text, ToQColor(ProfileColorsTabSheet->Color(crRichBoxFore)));
    RichEdit->setPalette(p);
    RichEdit->viewport()->update();
}

void TLecternForm::ApplyProfileColors()
{
    ApplyScreenBackColor();
    ApplyScreenForeColor();
    ApplyRichBoxColors();
}

void TLecternForm::ColorPanelMouseUp(TColorRole role, Qt::MouseButton button)
{
    if (ProfileColorsTabSheet->ChangeColorPanel(role, button)) {
        switch (role) {
        case crRichBoxBack: RefreshRichBox(); break;
        case crRichBoxFore:
            ApplyRichBoxColors();
            RecolourRichBoxText(true);
            break;
        case crEmpha:
        case crSecondEmpha: RecolourRichBoxText(false); break;
        case crBrowserFocusBack:
        case crBrowserFocusFore:
        case crDirTypeBack:
        case crDirTypeFore: ApplyListColors(); break;
        case crScreenBack:
            ApplyScreenBackColor();
            RefreshRichBox();
            break;
        case crScreenFore:
            ApplyScreenForeColor();
            RefreshRichBox();
            break;
        case ColorRoleCount: break;
        }
    }
    FocusRichBox();
}

void TLecternForm::SetColorSchemeButtonClick(TColorSchemeKind kind)
{
    ProfileColorsTabSheet->SetColorScheme(kind);
    ApplyAllColors();
}

void TLecternForm::ApplyAllColors()
{
    const bool visible = BeginUpdate();
    ApplyRichBoxColors();
    ApplyScreenBackColor();
    ApplyScreenForeColor();
    RecolourRichBoxText(true);
    EndUpdate(visible);
    RefreshScreen();
    FocusRichBox();
}

void TLecternForm::RecolourRichBoxText(bool recolour)
{
    FUN_BEGIN("TLecternForm::RecolourRichBoxText");
    const int position = FirstVisibleCharIndex(RichEdit);
    const bool visible = BeginUpdate();
    try {
        if (recolour)
            SetTextColorAll(RichEdit, ProfileColorsTabSheet->Color(crRichBoxFore));
        Engine->EmphasizeText(ProfileColorsTabSheet->Color(crEmpha), ProfileColorsTabSheet->Color(crSecondEmpha));
        FUN_ADOPT();
    }
    FUN_CATCH
    try {
        GoToPosition(RichEdit, position);
    }
    FUN_CATCH
    EndUpdate(visible);
    FUN_END;
}
