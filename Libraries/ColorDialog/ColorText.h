// How a colour is written in hints: its red, green and blue bytes and the
// same value as one decimal and one hexadecimal number in red-green-blue
// order (not in the order of the 0x00BBGGRR value).
#pragma once

#include "StockColors.h"

// " (RGB 255-50-0; Decimal = 16724480; Hexadecimal = 0xFF3200)"
QString ColorToText(TColor color);
// The stock name (empty for a colour without one) followed by ColorToText.
QString ColorHintText(TColor color);
