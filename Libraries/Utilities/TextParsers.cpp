#include "TextParsers.h"

#include "FunStatContext.h"
#include "StockColors.h"

#include <QLatin1String>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

QString NotValidInteger(const QString &text)
{
    return QStringLiteral("'") + text + QStringLiteral("' is not a valid integer value");
}

QString NotValidReal(const QString &text)
{
    return QStringLiteral("'") + text + QStringLiteral("' is not a valid floating point value");
}

bool IsBlank(QChar c) { return c.unicode() <= 0x20; }

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

struct TColorConstant {
    const char *Name;
    TColor Color;
};

const TColorConstant ColorConstants[] = {
    {"clBlack", 0x000000},  {"clMaroon", 0x000080},  {"clGreen", 0x008000},      {"clOlive", 0x008080},
    {"clNavy", 0x800000},   {"clPurple", 0x800080},  {"clTeal", 0x808000},       {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},     {"clLime", 0x00FF00},       {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},   {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},       {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080}, {"clWhite", 0xFFFFFF},   {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},  {"clMedGray", 0xA4A0A0}, {"clNone", 0x1FFFFFFF},     {"clDefault", 0x20000000},
};

} // namespace

bool TryTextToInt(const QString &text, int32_t &value)
{
    // Leading blanks are skipped; anything after the digits is an error.
    int i = 0;
    const int n = text.size();
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && text.at(i) == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text.at(i) == QLatin1Char('0')
               && (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const int digit = HexDigit(text.at(i));
        if (digit < 0 || digit >= base)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > 0xFFFFFFFFull)
            return false;
    }
    if (base == 16) {
        // Hexadecimal texts give the 32-bit pattern ($FFFFFFFF is -1).
        uint32_t bits = static_cast<uint32_t>(magnitude);
        if (negative)
            bits = 0u - bits;
        value = static_cast<int32_t>(bits);
        return true;
    }
    if (negative) {
        if (magnitude > 0x80000000ull)
            return false;
        value = static_cast<int32_t>(-static_cast<int64_t>(magnitude));
    } else {
        if (magnitude > 0x7FFFFFFFull)
            return false;
        value = static_cast<int32_t>(magnitude);
    }
    return true;
}

int32_t GetIntFromText(const QString &text, int32_t min, int32_t max, int32_t def)
{
    if (text.isEmpty())
        return def;
    int32_t value = def;
    FUN_BEGIN("GetIntFromText");
    try {
        if (!TryTextToInt(text, value))
            LECTERN_THROW(NotValidInteger(text));
    }
    FUN_CATCH
    FUN_END;
    if (FUN_FAILED())
        return def;
    if (value < min || value > max)
        return def;
    return value;
}

int32_t GetIntFromText(const QString &text)
{
    return GetIntFromText(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), 0);
}

namespace {

// Reads a real with "." as decimal separator and an optional exponent;
// blanks around the number are allowed, nothing else.
bool TryTextToReal(const QString &text, double &value)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && IsBlank(text.at(begin)))
        ++begin;
    while (end > begin && IsBlank(text.at(end - 1)))
        --end;
    if (begin == end)
        return false;
    QByteArray bytes;
    bytes.reserve(end - begin);
    bool digits = false;
    for (int i = begin; i < end; ++i) {
        const char16_t u = text.at(i).unicode();
        const bool allowed = (u >= '0' && u <= '9') || u == '.' || u == 'e' || u == 'E' || u == '+' || u == '-';
        if (!allowed)
            return false;
        if (u >= '0' && u <= '9')
            digits = true;
        bytes.append(static_cast<char>(u));
    }
    if (!digits)
        return false;
    const char *first = bytes.constData();
    const char *last = first + bytes.size();
    bool negative = false;
    if (*first == '+' || *first == '-') {
        negative = *first == '-';
        ++first;
    }
    if (first == last || *first == '+' || *first == '-')
        return false;
    double parsed = 0;
    const auto result = std::from_chars(first, last, parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last)
        return false;
    value = negative ? -parsed : parsed;
    return true;
}

} // namespace

double GetRealFromText(const QString &text, bool *invalid, double def, double max, double min)
{
    bool bad = false;
    double value = def;
    if (!text.isEmpty()) {
        FUN_BEGIN("GetRealFromText");
        try {
            if (!TryTextToReal(text, value))
                LECTERN_THROW(NotValidReal(text));
        }
        FUN_CATCH
        FUN_END;
        bad = FUN_FAILED();
        if (!bad && !(value >= min && value <= max))
            bad = true;
        if (bad)
            value = def;
    }
    if (invalid)
        *invalid = bad;
    return value;
}

double GetRealFromText(const QString &text, bool *invalid)
{
    const double max = std::numeric_limits<double>::max();
    return GetRealFromText(text, invalid, 0.0, max, -max);
}

QString BoolToText(bool value) { return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); }

bool TextToBool(const QString &text) { return text == QLatin1String("TRUE"); }

bool TryColorConstantToColor(const QString &text, TColor &color)
{
    if (text.size() > 2 && text.startsWith(QLatin1String("cl"), Qt::CaseInsensitive)) {
        for (const TColorConstant &constant : ColorConstants) {
            if (text.compare(QLatin1String(constant.Name), Qt::CaseInsensitive) == 0) {
                color = constant.Color;
                return true;
            }
        }
    }
    int32_t value = 0;
    if (!TryTextToInt(text, value))
        return false;
    color = static_cast<TColor>(value);
    return true;
}

TColor TextToColor(const QString &text)
{
    TColor color = 0;
    if (StockColorFromName(text, color))
        return color;
    if (text.isEmpty())
        return 0;
    if (!TryColorConstantToColor(text, color))
        LECTERN_THROW(NotValidInteger(text));
    return color;
}
