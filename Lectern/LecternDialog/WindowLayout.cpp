#include "WindowLayout.h"

#include <algorithm>

TWindowLayout ComputeWindowLayout(const TWindowLayoutInput &in)
{
    const int w = in.Width;
    const int h = in.Height;
    TWindowLayout out;

    // Rich-box. Percent products are truncated toward zero; the arithmetic is
    // done in doubles as the percentages are applied with a 0.01 factor.
    const int richWidth = static_cast<int>(in.RichBoxWidthPercent * w * 0.01);
    const int richLeft = (w - richWidth) / 2;
    const int richTop = static_cast<int>(in.RichBoxTopPercent * h * 0.01);
    const int richHeight = static_cast<int>((h - richTop) - in.RichBoxBottomPercent * h * 0.01);
    out.RichBox = QRect(richLeft, richTop, std::max(richWidth, 0), std::max(richHeight, 0));

    // Sidebar: left of the rich-box with a 10 pixel gap, at least 10 pixels
    // from the window's left edge.
    const int sideLeft = std::max(richLeft - in.SidebarWidth - 10, 10);
    const int sideTop = 10;
    const int sideHeight = std::max(h - 20, 0);
    out.Sidebar = QRect(sideLeft, sideTop, in.SidebarWidth, sideHeight);
    const int sideRight = sideLeft + in.SidebarWidth;
    const int sideBottom = sideTop + sideHeight;

    // Labels start right of the sidebar or at the rich-box, whichever is
    // further right, and keep the same margin on the right side.
    const int labelLeft = std::max(sideRight + 10, richLeft);
    const int labelWidth = std::max(w - 2 * labelLeft, 0);
    const int hintTop = richTop + richHeight + 10;
    out.HintLabel = QRect(labelLeft, hintTop, labelWidth, std::max(sideBottom - hintTop, 0));
    out.CurrentFileInfoLabel = QRect(labelLeft, 10, labelWidth, std::max(richTop - 20, 0));

    // Clock: bottom-right corner, as far from the right edge as the sidebar
    // is from the left one.
    const int clockLeft = w - sideLeft - in.ClockSize.width() - 10;
    const int clockTop = sideBottom - in.ClockSize.height() - 10;
    out.ClockLabel = QRect(QPoint(clockLeft, clockTop), in.ClockSize);
    return out;
}
