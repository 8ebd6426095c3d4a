// Small number helpers of the program's own libraries, and the one header
// that brings the timing, clock-text and random helpers along.
#pragma once

#include "Crono.h"
#include "Random.h"
#include "TimeStamp.h" // ClockText, TimeStampText

#include <QLocale>
#include <QString>

#include <cstdint>

// The locale the number texts use: the default locale with its thousands
// separator always shown (the C locale otherwise omits it).
QLocale NumberLocale();

// The integer with the locale's thousands separator and no decimals
// (1234567 gives "1,234,567" in English).
QString FormatIntegerText(int64_t value);

// Ceiling when x - floor(x) is at least 0.5, else floor.
double RoundHalfUp(double x);

// value + 1, or low when that passes the larger of low and high.
int32_t IncrementWrapped(int32_t value, int32_t low, int32_t high);

// The value in at most `digits` significant digits: plainly, with `decimals`
// decimals, while it has fewer than `digits` integer digits; otherwise as a
// mantissa with an exponent that is a multiple of 3 ("1.23457e6",
// "123.457e6"). Gives "?" on bad arguments (a panic under
// "AlignRealToTextPow") or a value that is not a finite number.
QString AlignRealToTextPow(int32_t digits, int32_t decimals, double value);

// The value rounded to `digits` significant digits and shown with exactly
// `decimals` decimals and thousands separators.
QString FormatNumberText(double value, int32_t digits, int32_t decimals);
