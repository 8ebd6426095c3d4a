#include "ColorText.h"

QString ColorToText(TColor color)
{
    const unsigned red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
    const unsigned rgb = (red << 16) | (green << 8) | blue;
    const QString hex = QString::number(rgb, 16).rightJustified(6, QLatin1Char('0')).toUpper();
    return QStringLiteral(" (RGB %1-%2-%3; Decimal = %4; Hexadecimal = 0x%5)")
        .arg(red)
        .arg(green)
        .arg(blue)
        .arg(rgb)
        .arg(hex);
}

QString ColorHintText(TColor color) { return StockColorName(color) + ColorToText(color); }
