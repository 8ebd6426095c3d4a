#include "ConvertMeasure.h"

#include "FunStatContext.h"
#include "MyMath.h"

#include <algorithm>
#include <array>

namespace {

struct TUnitRow {
    const char *Name;
    double Factor;
};

const TUnitRow LengthRows[] = {
    {"Astronomical units", 149600000000.0},
    {"Cables (British)", 185.0},
    {"Cables (USA)", 220.0},
    {"Centimeters", 0.01},
    {"Fathoms", 1.83},
    {"Feet", 0.3048},
    {"Furlong", 201.125},
    {"Inches", 0.0254},
    {"Kilometers", 1000.0},
    {"Latitude degrees (Earth)", 110860.0},
    {"Leagues", 4827.0},
    {"Light years", 9.4607e15},
    {"Longitude degrees (Earth, equator)", 111300.0},
    {"Meters", 1.0},
    {"Miles (air, nautical)", 1852.0},
    {"Miles (land)", 1609.0},
    {"Parsecs", 3.0857e16},
    {"Rods", 5.03},
    {"Yards", 0.9144},
};

// The length units that also give a unit of area and of volume.
const char *const PoweredLengthUnits[] = {
    "Cables (British)", "Cables (USA)", "Centimeters",           "Fathoms",      "Feet", "Furlong", "Inches",
    "Kilometers",       "Leagues",      "Miles (air, nautical)", "Miles (land)", "Rods", "Yards",
};

const TUnitRow SpeedRows[] = {
    {"Kilometers / Hour", 1000.0 / 3600.0},
    {"Kilometers / Second", 1000.0},
    {"Knots", 1852.0 / 3600.0},
    {"Leagues / Hour", 4827.0 / 3600.0},
    {"Leagues / Second", 4827.0},
    {"Meters / Hour", 1.0 / 3600.0},
    {"Meters / Second", 1.0},
    {"Miles (air, nautical) / Hour", 1852.0 / 3600.0},
    {"Miles (air, nautical) / Second", 1852.0},
    {"Miles (land) / Hour", 1609.0 / 3600.0},
    {"Miles (land) / Second", 1609.0},
};

const TUnitRow AreaRows[] = {
    {"Acres", 4047.0},
    {"Ares", 100.0},
    {"Hectares", 10000.0},
    {"Meters^2", 1.0},
};

const TUnitRow VolumeRows[] = {
    {"Barrels (159)", 0.159},     {"Barrels (165)", 0.165}, {"Gallons (British)", 0.004546},
    {"Gallons (USA)", 0.003785},  {"Liters", 0.001},        {"Meters^3", 1.0},
    {"Pint (British)", 0.000551}, {"Pint (USA)", 0.000473}, {"Quarts", 0.000946},
};

const TUnitRow WeightRows[] = {
    {"Carats", 0.0002},   {"Drams", 0.00177}, {"Drams (apothecary)", 0.00389}, {"Grains", 0.000065},
    {"Grams", 0.001},     {"Kilograms", 1.0}, {"Ounces (apothecary)", 0.0311}, {"Ounces, Oz", 0.02835},
    {"Pounds", 0.453592}, {"Tons", 1000.0},
};

const char *const TemperatureNames[] = {"Celsius", "Fahrenheit", "Kelvin", "Rankine"};

template<size_t N> void AddRows(QVector<TMeasureUnit> &units, const TUnitRow (&rows)[N])
{
    for (const TUnitRow &row : rows)
        units.append(TMeasureUnit{QString::fromLatin1(row.Name), row.Factor});
}

double LengthFactor(const char *name)
{
    for (const TUnitRow &row : LengthRows)
        if (qstrcmp(row.Name, name) == 0)
            return row.Factor;
    return 0.0;
}

// Squares (power 2) or cubes (power 3) of the length units, named with "^2"
// or "^3" appended.
void AddPowers(QVector<TMeasureUnit> &units, int power)
{
    for (const char *name : PoweredLengthUnits) {
        const double f = LengthFactor(name);
        units.append(TMeasureUnit{QString::fromLatin1(name) + QLatin1Char('^') + QString::number(power),
                                  power == 2 ? f * f : f * f * f});
    }
}

std::array<QVector<TMeasureUnit>, MeasureCount> BuildTables()
{
    std::array<QVector<TMeasureUnit>, MeasureCount> t;
    AddRows(t[int(TMeasure::Length)], LengthRows);
    AddRows(t[int(TMeasure::Speed)], SpeedRows);
    AddRows(t[int(TMeasure::Area)], AreaRows);
    AddPowers(t[int(TMeasure::Area)], 2);
    AddRows(t[int(TMeasure::Volume)], VolumeRows);
    AddPowers(t[int(TMeasure::Volume)], 3);
    AddRows(t[int(TMeasure::Weight)], WeightRows);
    for (const char *name : TemperatureNames)
        t[int(TMeasure::Temperature)].append(TMeasureUnit{QString::fromLatin1(name), 0.0});
    for (QVector<TMeasureUnit> &units : t)
        std::stable_sort(units.begin(), units.end(), [](const TMeasureUnit &a, const TMeasureUnit &b) {
            return QString::compare(a.Name, b.Name, Qt::CaseInsensitive) < 0;
        });
    return t;
}

const std::array<QVector<TMeasureUnit>, MeasureCount> &Tables()
{
    static const std::array<QVector<TMeasureUnit>, MeasureCount> tables = BuildTables();
    return tables;
}

QString F(double x) { return AlignRealToTextPow(6, 2, x); }

const QString Separator = QStringLiteral(" ") + QChar(ConvertSeparator) + QStringLiteral(" ");

struct TQuickRow {
    const char *From;
    const char *To;
    double Factor;
};

// The reciprocals are worked out once, in the widest precision at hand.
constexpr double Inv(long double x) { return double(1.0L / x); }

const TQuickRow ShortRows[] = {
    {"Centimeters", "Inches", Inv(2.54L)},   {"Inches", "Centimeters", 2.54},
    {"Meters", "Feet", Inv(0.3048L)},        {"Feet", "Meters", 0.3048},
    {"Kilometers", "Miles", Inv(1.609L)},    {"Miles", "Kilometers", 1.609},
    {"Grams", "Ounces", Inv(28.35L)},        {"Ounces", "Grams", 28.35},
    {"Kilograms", "Pounds", Inv(0.453592L)}, {"Pounds", "Kilograms", 0.453592},
};

const TQuickRow MiscRows[] = {
    {"Horse-power", "Kilograms-force * meter / second", 75.0},
    {"Horse-power", "Newtons", 735.75},
    {"Horse-power", "Pounds-force * foot / second", 542.477},
    {"Kilograms / Centimeters^2", "Pounds / Inch^2", Inv(0.070307L)},
    {"Kilograms-force * meter / second", "Horse-power", Inv(75.0L)},
    {"Kilograms-force", "Newtons", 9.81},
    {"Newtons", "Kilograms-force", Inv(9.81L)},
    {"Newtons", "Horse-power", Inv(735.75L)},
    {"Newtons", "Pounds-force", Inv(4.45L)},
    {"Pounds / Inch^2", "Kilograms / Centimeters^2", 0.070307},
    {"Pounds-force", "Newtons", 4.45},
    {"Pounds-force * foot / second", "Horse-power", Inv(542.477L)},
};

} // namespace

const QVector<TMeasureUnit> &MeasureUnits(TMeasure measure) { return Tables()[int(measure)]; }

QString MeasureKey(TMeasure measure)
{
    static const char *const keys[] = {"Length", "Speed", "Area", "Volume", "Weight", "Temperature"};
    return QLatin1String(keys[int(measure)]);
}

QString DefaultMeasureUnit(TMeasure measure)
{
    static const char *const units[] = {"Meters", "Meters / Second", "Meters^2", "Meters^3", "Kilograms", "Celsius"};
    return QLatin1String(units[int(measure)]);
}

int FindMeasureUnit(TMeasure measure, const QString &name)
{
    const QVector<TMeasureUnit> &units = MeasureUnits(measure);
    for (int i = 0; i < units.size(); ++i)
        if (QString::compare(units[i].Name, name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int MeasureUnitOrDefault(TMeasure measure, const QString &name)
{
    const int index = FindMeasureUnit(measure, name);
    return index >= 0 ? index : FindMeasureUnit(measure, DefaultMeasureUnit(measure));
}

double CelsiusFrom(const QString &unit, double v)
{
    if (unit == QLatin1String("Celsius"))
        return v;
    if (unit == QLatin1String("Fahrenheit"))
        return (v - 32.0) * 5.0 * (1.0 / 9.0);
    if (unit == QLatin1String("Kelvin"))
        return v - 273.15;
    if (unit == QLatin1String("Rankine"))
        return (v - 491.69) * 5.0 * (1.0 / 9.0);
    LECTERN_THROW(QStringLiteral("Unknown temperature unit: ") + unit);
}

double CelsiusTo(const QString &unit, double c)
{
    if (unit == QLatin1String("Celsius"))
        return c;
    if (unit == QLatin1String("Fahrenheit"))
        return c * 9.0 * 0.2 + 32.0;
    if (unit == QLatin1String("Kelvin"))
        return c + 273.15;
    if (unit == QLatin1String("Rankine"))
        return c * 9.0 * 0.2 + 491.69;
    LECTERN_THROW(QStringLiteral("Unknown temperature unit: ") + unit);
}

double ConvertMeasure(TMeasure measure, int from, int to, double value)
{
    const QVector<TMeasureUnit> &units = MeasureUnits(measure);
    if (from < 0 || from >= units.size() || to < 0 || to >= units.size())
        LECTERN_THROW(QStringLiteral("List index out of bounds"));
    if (measure == TMeasure::Temperature)
        return CelsiusTo(units[to].Name, CelsiusFrom(units[from].Name, value));
    return value * units[from].Factor / units[to].Factor;
}

QString FullConvertMeasure(TMeasure measure, int from, int to, double value)
{
    FUN_BEGIN("FullConvertMeasure");
    QString text = QStringLiteral("Failed to convert.");
    try {
        const double result = ConvertMeasure(measure, from, to, value);
        const QVector<TMeasureUnit> &units = MeasureUnits(measure);
        text = F(value) + QLatin1Char(' ') + units[from].Name + QStringLiteral(" = ") + F(result) + QLatin1Char(' ')
            + units[to].Name;
    }
    FUN_CATCH
    FUN_END;
    return text;
}

QString ShortConvertMeasure(double x)
{
    FUN_BEGIN("ShortConvertMeasure");
    QString text = QStringLiteral("Failed to convert measure.");
    try {
        QString digest = QStringLiteral("Convert ") + F(x);
        auto add = [&](const char *from, const char *to, double result) {
            digest += Separator + QLatin1String(from) + QStringLiteral(" -> ") + QLatin1String(to)
                + QStringLiteral(" = ") + F(result);
        };
        for (const TQuickRow &row : ShortRows)
            add(row.From, row.To, x * row.Factor);
        add("Celsius", "Fahrenheit", CelsiusTo(QStringLiteral("Fahrenheit"), x));
        add("Fahrenheit", "Celsius", CelsiusFrom(QStringLiteral("Fahrenheit"), x));
        digest += Separator.left(2);
        text = digest;
    }
    FUN_CATCH
    FUN_END;
    return text;
}

QStringList MiscConvertMeasure(double x)
{
    FUN_BEGIN("MiscConvertMeasure");
    QStringList lines;
    try {
        for (const TQuickRow &row : MiscRows)
            lines << Separator + F(x) + QLatin1Char(' ') + QLatin1String(row.From) + QStringLiteral(" = ")
                    + F(x * row.Factor) + QLatin1Char(' ') + QLatin1String(row.To);
    }
    FUN_CATCH
    FUN_END;
    return lines;
}
