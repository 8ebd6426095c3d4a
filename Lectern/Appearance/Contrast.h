// How well text reads on what lies under it, by the WCAG 2 measure: the
// relative luminance of a colour, the contrast ratio of two colours (1 to
// 21), a text colour moved just far enough towards white or black to read on
// a background, and the tones of a picture's area, whose mean can be taken
// after the fade and gamma that the background images apply.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include <array>
#include <cstdint>

// The contrast that body text and labels keep (WCAG 2, level AA).
constexpr double ReadableContrast = 4.5;
// The contrast at which reading is comfortable (WCAG 2, level AAA).
constexpr double ComfortableContrast = 7.0;

// 0 (black) to 1 (white): the sRGB channels linearised and weighted.
double RelativeLuminance(const QColor &color);
// (lighter + 0.05) / (darker + 0.05), 1 to 21, the same both ways round.
double ContrastRatio(const QColor &a, const QColor &b);

// Each channel `share` (0..1) of the way from `color` to `other`, rounded.
QColor MixedColor(const QColor &color, const QColor &other, double share);

// `preferred` when it reaches `minimum` on `background`; otherwise
// `preferred` mixed with white or black by the smallest share that reaches
// it, on the side of the background it already lies on when that side can
// reach it. When neither white nor black reaches it, the one of them that
// contrasts more.
QColor LegibleColor(const QColor &preferred, const QColor &background, double minimum = ReadableContrast);

// The contrast that disabled text keeps: dimmer than the rest, still read.
constexpr double DimmedContrast = 3.0;

// The colour of disabled text of `fore` on `back`: halfway between them,
// made legible at DimmedContrast.
QColor DimmedColor(const QColor &fore, const QColor &back);

// The colour of a soft outline that sets off text of `text` from any
// background: black around light text, white around dark text.
QColor OutlineColor(const QColor &text);

// The mean colour (each channel's mean) of an area of an image, clipped to
// the image; transparent black when nothing of the area lies in it.
QColor MeanColor(const QImage &image, const QRect &area);

// How many pixels of some areas of a picture have each value of each
// channel: enough to take their mean colour after any fade and gamma.
class TPictureTones {
public:
    // The pixels of an area of `image`, clipped to it.
    void Add(const QImage &image, const QRect &area);
    int64_t Pixels() const { return Count; }
    bool IsEmpty() const { return Count == 0; }
    // The mean colour of the pixels as DrawPictureAdjusted paints them onto
    // black: each channel through the gamma curve, then faded. Transparent
    // black without pixels.
    QColor Mean(int fade = 0, int gamma = 100) const;

private:
    std::array<std::array<int64_t, 256>, 3> Counts{}; // red, green, blue
    int64_t Count = 0;
};
