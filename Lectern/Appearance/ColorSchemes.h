// The ten colours of a profile by role, and the three colour schemes that
// set all of them at once. "High light" holds the default of every role.
#pragma once

#include <array>

#include "Profile.h"

// In the order in which a scheme sets them.
enum TColorRole {
    crRichBoxBack,
    crRichBoxFore,
    crEmpha,
    crSecondEmpha,
    crBrowserFocusBack,
    crBrowserFocusFore,
    crDirTypeBack,
    crDirTypeFore,
    crScreenBack,
    crScreenFore,
    ColorRoleCount
};

using TColorScheme = std::array<TColor, ColorRoleCount>;

enum class TColorSchemeKind { HighLight, LowStrain, LowLight };

const TColorScheme &ColorScheme(TColorSchemeKind kind);
// The role's colour in the "High light" scheme.
TColor DefaultColor(TColorRole role);

// The profile's field of a role.
TColor TProfile::*ColorRoleField(TColorRole role);
