#include "MyMath.h"

#include "FunStatContext.h"

#include <algorithm>
#include <cmath>

QLocale NumberLocale()
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale;
}

QString FormatIntegerText(int64_t value) { return NumberLocale().toString(static_cast<qlonglong>(value)); }

double RoundHalfUp(double x)
{
    const double f = std::floor(x);
    return (x - f >= 0.5) ? std::ceil(x) : f;
}

int32_t IncrementWrapped(int32_t value, int32_t low, int32_t high)
{
    const int64_t next = int64_t(value) + 1;
    return next > std::max(low, high) ? low : static_cast<int32_t>(next);
}

QString FormatNumberText(double value, int32_t digits, int32_t decimals)
{
    // Round to the significant digits first, then show the fixed decimals:
    // digits beyond the precision come out as zeros.
    const double rounded = QString::number(value, 'g', digits).toDouble();
    return NumberLocale().toString(rounded, 'f', decimals);
}

QString AlignRealToTextPow(int32_t digits, int32_t decimals, double value)
{
    FUN_BEGIN("AlignRealToTextPow");
    QString result = QStringLiteral("?");
    try {
        if (digits <= 0 || decimals < 0) {
            const QString text = QStringLiteral("Invalid number of digits, or precesion.");
            FUN_RAISE_STATUS(Panic, text);
            Fsc_.SetShow(__FILE__, FunName_, __LINE__);
            Fsc_.Show(QStringLiteral("PANIC: ") + text);
        } else if (!std::isfinite(value)) {
            LECTERN_THROW(QStringLiteral("Invalid floating point operation"));
        } else if (value == 0.0) {
            result = QStringLiteral("0");
        } else {
            int c = static_cast<int>(std::trunc(std::log10(std::fabs(value))));
            int e = (c / 3) * 3;
            double m = value / std::pow(10.0, e);
            double g = std::trunc(RoundHalfUp(m));
            if (std::fabs(g) == 1000.0) {
                m = value < 0 ? -1.0 : 1.0;
                e += 3;
                c += 1;
            }
            if (c < digits) {
                result = FormatNumberText(value, digits, decimals);
            } else {
                const int h = static_cast<int>(std::trunc(std::log10(std::fabs(g))));
                const int places = h < digits ? digits - h - 1 : 0;
                QString text = FormatNumberText(m, digits, places);
                if (e != 0)
                    text += QLatin1Char('e') + QString::number(e);
                result = text;
            }
        }
    }
    FUN_CATCH
    FUN_END;
    return result;
}
