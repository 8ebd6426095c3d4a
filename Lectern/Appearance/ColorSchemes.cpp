#include "ColorSchemes.h"

namespace {

// Red, green, blue as a 0x00BBGGRR value.
constexpr TColor Rgb(unsigned red, unsigned green, unsigned blue) { return red | (green << 8) | (blue << 16); }

constexpr TColor White = Rgb(255, 255, 255);
constexpr TColor Black = Rgb(0, 0, 0);
constexpr TColor Ochre = Rgb(185, 110, 25);
constexpr TColor BlueGray = Rgb(75, 120, 120);
constexpr TColor GrayWhite = Rgb(230, 230, 230);
constexpr TColor CreamGray = Rgb(185, 170, 135);

// Rich-box back and fore, emphasis, second emphasis, browser focus back
// and fore, directory back and fore, screen back and fore.
const TColorScheme HighLight
    = {White, Black, Rgb(0, 0, 130), Rgb(180, 0, 90), Ochre, White, Rgb(170, 150, 75), White, White, Black};
const TColorScheme LowStrain = {BlueGray, GrayWhite,       Rgb(255, 205, 100), Rgb(205, 150, 0), Ochre,
                                Black,    Rgb(50, 60, 85), GrayWhite,          BlueGray,         GrayWhite};
const TColorScheme LowLight
    = {Black, CreamGray, Ochre, Rgb(170, 0, 0), Ochre, Rgb(225, 215, 200), Rgb(130, 0, 0), CreamGray, Black, CreamGray};

} // namespace

const TColorScheme &ColorScheme(TColorSchemeKind kind)
{
    switch (kind) {
    case TColorSchemeKind::LowStrain: return LowStrain;
    case TColorSchemeKind::LowLight: return LowLight;
    case TColorSchemeKind::HighLight: break;
    }
    return HighLight;
}

TColor DefaultColor(TColorRole role) { return HighLight.at(role); }

TColor TProfile::*ColorRoleField(TColorRole role)
{
    static constexpr TColor TProfile::*Fields[ColorRoleCount] = {
        &TProfile::RichBoxBackColor, &TProfile::RichBoxForeColor,      &TProfile::EmphaColor,
        &TProfile::SecondEmphaColor, &TProfile::BrowserFocusBackColor, &TProfile::BrowserFocusForeColor,
        &TProfile::DirTypeBackColor, &TProfile::DirTypeForeColor,      &TProfile::ScreenBackColor,
        &TProfile::ScreenForeColor,
    };
    return Fields[role];
}
