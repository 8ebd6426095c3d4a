// Fitting the background pictures to the colours of the text over them:
// the reader's own fade and gamma while the text keeps the readable contrast
// against the mean colour of the picture under it, else the weakest fade
// under which it reads comfortably.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include "Contrast.h"

struct TPictureAdjustment {
    bool Use = true; // false: no fade lets the text read on the picture
    int Fade = 0; // 0..100
    int Gamma = 100; // 1..1000

    bool operator==(const TPictureAdjustment &o) const { return Use == o.Use && Fade == o.Fade && Gamma == o.Gamma; }
};

// The adjustment under which text of `text` reads on the picture whose
// tones are given: `current` itself when the text reaches `minimum` under
// it; else, for each gamma of `gammas` in turn, the weakest fade of `fades`
// under which it reaches `comfortable`, or failing that `minimum`; else
// `current` with Use false. Tones without pixels: `current`.
TPictureAdjustment ReadableAdjustment(const TPictureTones &tones, const QColor &text, const TPictureAdjustment &current,
                                      const QList<int> &fades, const QList<int> &gammas,
                                      double minimum = ReadableContrast, double comfortable = ComfortableContrast);

// The tones, before fade and gamma, of a picture laid out over `client` as
// the background images lay it out (fitted keeping its aspect ratio or
// stretched, then tiled from the top-left corner), inside `areas` of the
// client. False, with a failure recorded in FunStatContext, when the picture
// cannot be decoded.
bool LayoutTones(const QString &path, const QSize &client, bool stretch, const QList<QRect> &areas,
                 TPictureTones &tones);
