// The profile's "Colors" page: the three colour schemes and the ten colour
// panels. A panel changes its colour through the stock-colour dialog (left
// button), the system colour dialog (right button) or back to its default
// (middle button); the window brings the colour's users up to date.
#pragma once

#include <QWidget>

#include <array>

#include "ColorSchemes.h"
#include "ui_ProfileColorsTabSheet.h"

class TColorPanel;
struct TBookFormatOptions;

class TProfileColorsTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TProfileColorsTabSheet(QWidget *parent = nullptr);
    Ui::ProfileColorsTabSheet Form;

    TColorPanel *Panel(TColorRole role) const { return Panels.at(role); }
    TColor Color(TColorRole role) const;
    // The panel's colour and its hint.
    void SetColorPanel(TColorRole role, TColor color);
    // All ten panels from a scheme.
    void SetColorScheme(TColorSchemeKind kind);
    // Left button: the stock-colour dialog; right: the system colour
    // dialog; middle: the role's default. True when the panel's colour was
    // set; a cancelled dialog or another button changes nothing.
    bool ChangeColorPanel(TColorRole role, Qt::MouseButton button);

    // The page's keys of a profile.
    void ShowProfile(const TProfile &profile);
    void ReadProfile(TProfile &profile) const;
    // The colours the text is loaded with.
    void ReadFormatColors(TBookFormatOptions &options) const;

    // The panel's hint for a colour: its stock name, its values and what
    // the mouse buttons do.
    static QString ColorPanelHint(TColor color);

signals:
    void ColorPanelMouseUp(TColorRole role, Qt::MouseButton button);
    void ColorSchemeButtonClick(TColorSchemeKind kind);

private:
    std::array<TColorPanel *, ColorRoleCount> Panels{};
};
