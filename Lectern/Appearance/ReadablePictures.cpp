#include "ReadablePictures.h"

#include <algorithm>

#include "BackImages.h"
#include "Picture.h"

namespace {

bool Holds(const TPictureTones &tones, const QColor &text, int fade, int gamma, double minimum)
{
    return ContrastRatio(text, tones.Mean(fade, gamma)) >= minimum;
}

} // namespace

TPictureAdjustment ReadableAdjustment(const TPictureTones &tones, const QColor &text, const TPictureAdjustment &current,
                                      const QList<int> &fades, const QList<int> &gammas, double minimum,
                                      double comfortable)
{
    if (tones.IsEmpty() || Holds(tones, text, current.Fade, current.Gamma, minimum))
        return current;
    QList<int> weakestFirst = fades;
    std::sort(weakestFirst.begin(), weakestFirst.end());
    for (int gamma : gammas)
        for (double contrast : {comfortable, minimum})
            for (int fade : weakestFirst)
                if (Holds(tones, text, fade, gamma, contrast))
                    return {true, fade, gamma};
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
