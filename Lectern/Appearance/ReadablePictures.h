// Fitting the background pictures to the colours of the text over them: the
// fade and gamma nearest to the reader's own under which the text keeps
// the readable contrast against the mean colour of the picture under it.
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

// The adjustment under which text of `text` reaches `minimum` on the
// picture whose tones are given, nearest to `current`: `current` itself when
// it does; else, for each gamma of `gammas` in turn, the fade of `fades`
// nearest to current's (the smaller of two as near) that does; else
// `current` with Use false. Tones without pixels: `current`.
TPictureAdjustment ReadableAdjustment(const TPictureTones &tones, const QColor &text, const TPictureAdjustment &current,
                                      const QList<int> &fades, const QList<int> &gammas,
                                      double minimum = ReadableContrast);

// The tones, before fade and gamma, of a picture laid out over `client` as
// the background images lay it out (fitted keeping its aspect ratio or
// stretched, then tiled from the top-left corner), inside `areas` of the
// client. False, with a failure recorded in FunStatContext, when the picture
// cannot be decoded.
bool LayoutTones(const QString &path, const QSize &client, bool stretch, const QList<QRect> &areas,
                 TPictureTones &tones);
