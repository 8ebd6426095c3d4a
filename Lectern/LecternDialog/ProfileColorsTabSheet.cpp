#include "ProfileColorsTabSheet.h"

#include "ColorPanel.h"
#include "ColorText.h"
#include "ConvertOptions.h"
#include "Dialogs.h"

namespace {

const QString PanelClicks = QStringLiteral(
    "(Double) Left click a color to open the stock-color dialog. Right click it to open the color dialog. Middle "
    "click it to set the default color.");

} // namespace

TProfileColorsTabSheet::TProfileColorsTabSheet(QWidget *parent) : QWidget(parent)
{
    Form.setupUi(this);
    Panels = {Form.RichBoxBackColorPanel, Form.RichBoxForeColorPanel,      Form.EmphaColorPanel,
              Form.SecondEmphaColorPanel, Form.BrowserFocusBackColorPanel, Form.BrowserFocusForeColorPanel,
              Form.DirTypeBackColorPanel, Form.DirTypeForeColorPanel,      Form.ScreenBackColorPanel,
              Form.ScreenForeColorPanel};
    for (int role = 0; role < ColorRoleCount; ++role) {
        TColorPanel *panel = Panels.at(role);
        panel->DefaultColor = DefaultColor(TColorRole(role));
        SetColorPanel(TColorRole(role), panel->DefaultColor);
        connect(panel, &TColorPanel::MouseUp, this,
                [this, role](Qt::MouseButton button) { emit ColorPanelMouseUp(TColorRole(role), button); });
    }
    const QList<QPair<QPushButton *, TColorSchemeKind>> schemes = {
        {Form.SetHighLightColorsButton, TColorSchemeKind::HighLight},
        {Form.SetLowStrainColorsButton, TColorSchemeKind::LowStrain},
        {Form.SetLowLightColorsButton, TColorSchemeKind::LowLight},
    };
    for (const auto &scheme : schemes)
        connect(scheme.first, &QPushButton::clicked, this,
                [this, kind = scheme.second] { emit ColorSchemeButtonClick(kind); });
}

QString TProfileColorsTabSheet::ColorPanelHint(TColor color)
{
    return ColorHintText(color) + QStringLiteral(". ") + PanelClicks;
}

TColor TProfileColorsTabSheet::Color(TColorRole role) const { return Panels.at(role)->Color(); }

void TProfileColorsTabSheet::SetColorPanel(TColorRole role, TColor color)
{
    TColorPanel *panel = Panels.at(role);
    panel->SetColor(color);
    panel->setStatusTip(ColorPanelHint(color));
}

void TProfileColorsTabSheet::SetColorScheme(TColorSchemeKind kind)
{
    const TColorScheme &scheme = ColorScheme(kind);
    for (int role = 0; role < ColorRoleCount; ++role)
        SetColorPanel(TColorRole(role), scheme.at(role));
}

bool TProfileColorsTabSheet::ChangeColorPanel(TColorRole role, Qt::MouseButton button)
{
    TColor color = Color(role);
    switch (button) {
    case Qt::LeftButton:
        if (!ColorDialog(TColorDialogKind::Stock, color))
            return false;
        break;
    case Qt::RightButton:
        if (!ColorDialog(TColorDialogKind::System, color))
            return false;
        break;
    case Qt::MiddleButton: color = Panels.at(role)->DefaultColor; break;
    default: return false;
    }
    SetColorPanel(role, color);
    return true;
}

void TProfileColorsTabSheet::ShowProfile(const TProfile &profile)
{
    for (int role = 0; role < ColorRoleCount; ++role)
        SetColorPanel(TColorRole(role), profile.*ColorRoleField(TColorRole(role)));
}

void TProfileColorsTabSheet::ReadProfile(TProfile &profile) const
{
    for (int role = 0; role < ColorRoleCount; ++role)
        profile.*ColorRoleField(TColorRole(role)) = Color(TColorRole(role));
}

void TProfileColorsTabSheet::ReadFormatColors(TBookFormatOptions &options) const
{
    options.RichBoxForeColor = Color(crRichBoxFore);
    options.EmphaColor = Color(crEmpha);
    options.SecondEmphaColor = Color(crSecondEmpha);
}
