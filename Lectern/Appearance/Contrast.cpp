#include "Contrast.h"

#include <algorithm>
#include <cmath>

#include "Picture.h"

namespace {

double Linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

bool Reaches(const QColor &color, const QColor &background, double minimum)
{
    return ContrastRatio(color, background) >= minimum;
}

// The smallest share of the way from `from` to `to` at which the mix reaches
// `minimum`, given that `to` reaches it and `from` does not. Along such a mix
// the luminance only rises or only falls, so the contrast falls, if at all,
// before it rises: once reached, it stays reached.
QColor FirstReaching(const QColor &from, const QColor &to, const QColor &background, double minimum)
{
    double low = 0, high = 1;
    for (int i = 0; i < 24; ++i) {
        const double middle = (low + high) / 2;
        if (Reaches(MixedColor(from, to, middle), background, minimum))
            high = middle;
        else
            low = middle;
    }
    // Rounding the channels may fall short by a hair: step on until reached.
    for (double share = high; share < 1; share += 1.0 / 512) {
        const QColor mixed = MixedColor(from, to, share);
        if (Reaches(mixed, background, minimum))
            return mixed;
    }
    return to;
}

} // namespace

double RelativeLuminance(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return 0.2126 * Linear(rgb.red()) + 0.7152 * Linear(rgb.green()) + 0.0722 * Linear(rgb.blue());
}

double ContrastRatio(const QColor &a, const QColor &b)
{
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor MixedColor(const QColor &color, const QColor &other, double share)
{
    const QColor a = color.toRgb(), b = other.toRgb();
    share = std::clamp(share, 0.0, 1.0);
    auto mix = [share](int x, int y) { return int(std::lround(x + (y - x) * share)); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

QColor LegibleColor(const QColor &preferred, const QColor &background, double minimum)
{
    if (Reaches(preferred, background, minimum))
        return preferred;
    const QColor white(255, 255, 255), black(0, 0, 0);
    const bool lighter = RelativeLuminance(preferred) >= RelativeLuminance(background);
    const QColor same = lighter ? white : black, other = lighter ? black : white;
    if (Reaches(same, background, minimum))
        return FirstReaching(preferred, same, background, minimum);
    if (Reaches(other, background, minimum))
        return FirstReaching(preferred, other, background, minimum);
    return ContrastRatio(white, background) >= ContrastRatio(black, background) ? white : black;
}

QColor DimmedColor(const QColor &fore, const QColor &back)
{
    return LegibleColor(MixedColor(fore, back, 0.5), back, DimmedContrast);
}

QColor OutlineColor(const QColor &text)
{
    // At this luminance black and white set the text off equally well.
    const double even = std::sqrt(1.05 * 0.05) - 0.05;
    return RelativeLuminance(text) > even ? QColor(0, 0, 0) : QColor(255, 255, 255);
}

QColor MeanColor(const QImage &image, const QRect &area)
{
    TPictureTones tones;
    tones.Add(image, area);
    return tones.Mean();
}

void TPictureTones::Add(const QImage &image, const QRect &area)
{
    const QRect clipped = area.intersected(image.rect());
    if (clipped.isEmpty())
        return;
    const QImage rgb = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
        ? image
        : image.convertToFormat(QImage::Format_RGB32);
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            ++Counts[0][qRed(line[x])];
            ++Counts[1][qGreen(line[x])];
            ++Counts[2][qBlue(line[x])];
        }
    }
    Count += int64_t(clipped.width()) * clipped.height();
}

QColor TPictureTones::Mean(int fade, int gamma) const
{
    if (Count == 0)
        return QColor(0, 0, 0, 0);
    // The curve of GammaCorrected, then the opacity over black as the
    // raster painter applies it: in 256ths, scaled to 255ths, each channel
    // rounded.
    const float exponent = gamma * 0.01f;
    const int opacity = IsFadeActive(fade) ? int((1.0f - fade * 0.01f) * 256) * 255 >> 8 : 255;
    int channels[3];
    for (int c = 0; c < 3; ++c) {
        double sum = 0;
        for (int v = 0; v < 256; ++v) {
            if (Counts[c][v] == 0)
                continue;
            const long curved = IsGammaActive(gamma) ? std::lround(255.0 * std::pow(v / 255.0, double(exponent))) : v;
            sum += double((curved * opacity + 127) / 255) * double(Counts[c][v]);
        }
        channels[c] = std::clamp(int(std::lround(sum / double(Count))), 0, 255);
    }
    return QColor(channels[0], channels[1], channels[2]);
}
