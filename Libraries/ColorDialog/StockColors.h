// The named stock colours: one table shared by the colour dialogs, the
// colour panels' hints, the manual formatting commands and the colour texts
// of the settings files, with its two look-ups.
#pragma once

#include <QString>

#include <cstdint>

using TColor = uint32_t; // 0x00BBGGRR, red in the low byte

struct TStockColor {
    TColor Color;
    const char *Name; // at most 31 characters
};

constexpr int StockColorCount = 133;

// In the order of the stock-colour dialog's grid.
extern const TStockColor CStockColors[StockColorCount];

// The name of the first entry with exactly this colour, or an empty text.
QString StockColorName(TColor color);

// The colour of the first entry whose whole name equals `name` without
// regard to letter case (no trimming, no prefix match). False when none does;
// `color` is then left unchanged.
bool StockColorFromName(const QString &name, TColor &color);
