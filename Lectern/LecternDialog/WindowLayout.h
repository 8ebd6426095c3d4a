// Where the main window puts the rich-box, the sidebar and the three labels
// around the rich-box, computed from the window size and the "Sizes"
// options. Pure arithmetic, so it can be checked without a window.
#pragma once

#include <QRect>
#include <QSize>

struct TWindowLayoutInput {
    int Width = 0; // window width
    int Height = 0; // window height
    int RichBoxWidthPercent = 45;
    int RichBoxTopPercent = 10;
    int RichBoxBottomPercent = 15;
    int SidebarWidth = 0; // width of the sidebar's options page control
    QSize ClockSize; // the clock label keeps its size
};

struct TWindowLayout {
    QRect RichBox;
    QRect Sidebar;
    QRect HintLabel;
    QRect CurrentFileInfoLabel;
    QRect ClockLabel;
};

// The rich-box is centred horizontally; the sidebar sits 10 pixels left of
// it (never closer than 10 pixels to the window's edge, so a wide sidebar
// covers the rich-box's left part); the hint and file-information labels
// span the width right of the sidebar, below and above the rich-box; the
// clock sits in the bottom-right corner mirrored from the sidebar.
// Sizes that would come out negative are clamped to 0.
TWindowLayout ComputeWindowLayout(const TWindowLayoutInput &in);
