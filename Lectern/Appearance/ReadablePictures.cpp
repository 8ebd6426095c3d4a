#include "ReadablePictures.h"

#include <cstdlib>

#include "BackImages.h"
#include "Picture.h"

namespace {

bool Holds(const TPictureTones &tones, const QColor &text, int fade, int gamma, double minimum)
{
    return ContrastRatio(text, tones.Mean(fade, gamma)) >= minimum;
}

} // namespace

TPictureAdjustment ReadableAdjustment(const TPictureTones &tones, const QColor &text, const TPictureAdjustment &current,
                                      const QList<int> &fades, const QList<int> &gammas, double minimum)
{
    if (tones.IsEmpty() || Holds(tones, text, current.Fade, current.Gamma, minimum))
        return current;
    for (int gamma : gammas) {
        int best = -1;
        for (int fade : fades) {
            if (!Holds(tones, text, fade, gamma, minimum))
                continue;
            const int distance = std::abs(fade - current.Fade);
            const int bestDistance = std::abs(best - current.Fade);
            if (best < 0 || distance < bestDistance || (distance == bestDistance && fade < best))
                best = fade;
        }
        if (best >= 0)
            return {true, best, gamma};
    }
    TPictureAdjustment off = current;
    off.Use = false;
    return off;
}

bool LayoutTones(const QString &path, const QSize &client, bool stretch, const QList<QRect> &areas,
                 TPictureTones &tones)
{
    tones = TPictureTones();
    QImage tile, unused;
    if (!LoadPictureToBitmap(path, tile, unused, client.width(), client.height(), 100, 0, 0, stretch, false))
        return false;
    const QImage laidOut = TiledImage(tile, client);
    for (const QRect &area : areas)
        tones.Add(laidOut, area);
    return true;
}
