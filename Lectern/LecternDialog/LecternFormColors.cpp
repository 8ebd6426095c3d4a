// The ten colours of the profile in the main window: the colour panels and
// the schemes of the "Colors" page, and everything that takes a colour from
// them (the screen, the side panels, the clock, the rich-box, its text and
// emphasis, the browser's and the converter's lists), the labels over the
// screen, and the pictures fitted to a scheme's colours.
#include "LecternForm.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>

#include "BackImages.h"
#include "BrowserGroupBox.h"
#include "ColorPanel.h"
#include "Contrast.h"
#include "ConvertMeasureTabSheet.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
#include "ProfileColorsTabSheet.h"
#include "ReadablePictures.h"
#include "RichBackImageGroupBox.h"
#include "RichBox.h"
#include "RichEditOps.h"
#include "ScreenBackImageGroupBox.h"

namespace {

// Disabled captions ("Text is poorly written" while the reader decides)
// dimmed on the side panels' colour, never lost in it.
void SetDisabledText(QPalette &p, const QColor &fore, const QColor &back)
{
    const QColor dimmed = DimmedColor(fore, back);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, dimmed);
}

} // namespace

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
    SetDisabledText(p, ToQColor(ProfileColorsTabSheet->Color(crScreenFore)), back);
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
    SetDisabledText(p, fore, ToQColor(ProfileColorsTabSheet->Color(crScreenBack)));
    setPalette(p);
    ApplyLabelColors();
    ApplyListColors();
}

QList<QRect> TLecternForm::LabelAreas() const
{
    return {CurrentFileInfoLabel->geometry(), HintLabel->geometry(), ClockLabel->geometry()};
}

void TLecternForm::ApplyLabelColors()
{
    const QColor fore = ToQColor(ProfileColorsTabSheet->Color(crScreenFore));
    const bool overPicture = BackImages && BackImages->HasScreen();
    for (QLabel *label : {CurrentFileInfoLabel, HintLabel, ClockLabel}) {
        // The screen fore colour where it reads on the picture under the
        // label; else one moved far enough to read comfortably.
        QColor color = fore;
        if (overPicture) {
            const QColor under = MeanColor(BackImages->Screen(), label->geometry());
            if (ContrastRatio(fore, under) < ReadableContrast)
                color = LegibleColor(fore, under, ComfortableContrast);
        }
        QPalette p = label->palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            p.setColor(group, QPalette::WindowText, color);
        label->setPalette(p);
        // A glow of the opposite tone round the letters keeps them apart
        // from the light and dark spots of the picture.
        auto *outline = qobject_cast<QGraphicsDropShadowEffect *>(label->graphicsEffect());
        if (!outline) {
            outline = new QGraphicsDropShadowEffect;
            outline->setOffset(0, 0);
            outline->setBlurRadius(LabelOutlineBlur);
            label->setGraphicsEffect(outline); // the label owns it
        }
        outline->setColor(OutlineColor(color));
        outline->setEnabled(overPicture);
    }
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
    FitPicturesToColors();
    ApplyAllColors();
}

void TLecternForm::FitPicturesToColors()
{
    FUN_BEGIN("TLecternForm::FitPicturesToColors");
    try {
        const QColor text = ToQColor(ProfileColorsTabSheet->Color(crRichBoxFore));
        const QColor labels = ToQColor(ProfileColorsTabSheet->Color(crScreenFore));
        const QList<int> fades = ItemNumbers(FadeItems());
        TScreenBackOptions screen = ScreenBackImageGroupBox->Options();
        const bool hasScreen = BackImages->HasScreen();
        bool transparent = RichBackImageGroupBox->TransparentRichBack() && hasScreen;
        if (hasScreen) {
            const QString path = ImageTitleToPath(ScreenBackImageGroupBox->Title(), ProfilePlaces());
            TPictureTones tones;
            if (!LayoutTones(path, size(), screen.Stretch, LabelAreas(), tones))
                FUN_ADOPT();
            // Where no fade serves, the labels find a colour of their own.
            const TPictureAdjustment fitted
                = ReadableAdjustment(tones, labels, {true, screen.Fade, screen.Gamma}, fades, {screen.Gamma, 100});
            if (fitted.Use) {
                screen.Fade = fitted.Fade;
                screen.Gamma = fitted.Gamma;
            }
            if (transparent) {
                const QRect box(RichEdit->viewport()->mapTo(this, QPoint(0, 0)), RichEdit->viewport()->size());
                if (!LayoutTones(path, size(), screen.Stretch, {box}, tones))
                    FUN_ADOPT();
                const TPictureAdjustment centre
                    = ReadableAdjustment(tones, text, {true, screen.FadeCenter, screen.Gamma},
                                         ItemNumbers(FadeCenterItems()), {screen.Gamma});
                screen.FadeCenter = centre.Fade;
                transparent = centre.Use;
                RichBackImageGroupBox->SetTransparentRichBack(transparent);
            }
            ScreenBackImageGroupBox->SetAdjustment(screen.Fade, screen.Gamma, screen.FadeCenter);
        }
        if (!transparent && RichBackImageGroupBox->UseRichBackImage() && BackImages->HasRichPicture()) {
            const QString path = ImageTitleToPath(RichBackImageGroupBox->Title(), ProfilePlaces());
            const TRichBackOptions rich = RichBackImageGroupBox->Options();
            const QSize client = RichEdit->viewport()->size();
            TPictureTones tones;
            if (!LayoutTones(path, client, rich.Stretch, {QRect(QPoint(0, 0), client)}, tones))
                FUN_ADOPT();
            const TPictureAdjustment fitted
                = ReadableAdjustment(tones, text, {true, rich.Fade, rich.Gamma}, fades, {rich.Gamma, 100});
            RichBackImageGroupBox->SetAdjustment(fitted.Fade, fitted.Gamma);
            RichBackImageGroupBox->SetUseRichBackImage(fitted.Use);
        }
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to load image."));
    IniScreenBackImage();
    IniRichBackImage();
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
