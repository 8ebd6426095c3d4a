// Text conversions of the utilities library: integers and reals with limits
// and defaults, the TRUE/FALSE texts of the settings files, and colour texts.
#pragma once

#include <QString>

#include <cstdint>

using TColor = uint32_t; // 0x00BBGGRR

// The integer in `text` (optional leading blanks, optional sign, decimal
// digits, or hexadecimal after "$" or "0x"). An empty text gives `def`
// silently; an unreadable text is recorded in the status context under
// "GetIntFromText" and gives `def`; a value outside [min, max] gives `def`.
int32_t GetIntFromText(const QString &text, int32_t min, int32_t max, int32_t def);
int32_t GetIntFromText(const QString &text);

// The real in `text`, always with "." as decimal separator whatever the
// locale (a comma is not a separator). Empty text gives `def` and is valid.
// An unreadable text (recorded under "GetRealFromText") or a value that is
// not within [min, max] is invalid and gives `def`. `invalid` may be null.
double GetRealFromText(const QString &text, bool *invalid, double def, double max, double min);
double GetRealFromText(const QString &text, bool *invalid);

// "TRUE" or "FALSE"; reading accepts only the exact text "TRUE".
QString BoolToText(bool value);
bool TextToBool(const QString &text);

// Plain conversions without any report: true on success.
bool TryTextToInt(const QString &text, int32_t &value);
// A colour constant: a number (decimal, or hexadecimal after "$" or "0x";
// negative values wrap to their 32-bit pattern) or one of the "cl" colour
// names (clBlack .. clDefault, any letter case).
bool TryColorConstantToColor(const QString &text, TColor &color);

// A colour text of the settings files and the formatting commands: a stock
// colour name (any case), else a colour constant; empty text gives 0 (black).
// Anything else throws TLecternException ("'x' is not a valid integer value").
TColor TextToColor(const QString &text);
