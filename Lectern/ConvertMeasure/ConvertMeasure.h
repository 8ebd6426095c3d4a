// The measure converter: six quantities with their units, a value in one
// unit converted to another, and the texts the window shows (the one-line
// digest of the hint label, the tool tip of a unit list and the lines of the
// "Misc" memo). Every number in these texts is AlignRealToTextPow(6, 2, x).
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

enum class TMeasure { Length, Speed, Area, Volume, Weight, Temperature };
constexpr int MeasureCount = 6;

struct TMeasureUnit {
    QString Name;
    // To the base unit (metre, metre per second, square metre, cubic metre,
    // kilogram); 0 for the temperatures, which convert through Celsius.
    double Factor = 0.0;
};

// The units of a quantity sorted by name (letter case ignored), as the list
// shows them. The squares and cubes of the length units are computed once.
const QVector<TMeasureUnit> &MeasureUnits(TMeasure measure);

// The settings key of a quantity's list: "Length", "Speed", "Area",
// "Volume", "Weight", "Temperature"; also the caption of its page.
QString MeasureKey(TMeasure measure);

// The unit a list selects when the settings name none of its units:
// "Meters", "Meters / Second", "Meters^2", "Meters^3", "Kilograms", "Celsius".
QString DefaultMeasureUnit(TMeasure measure);

// The index of the unit with this name (letter case ignored), or -1.
int FindMeasureUnit(TMeasure measure, const QString &name);
// The index of the named unit, or of the default unit when none matches.
int MeasureUnitOrDefault(TMeasure measure, const QString &name);

// Temperatures through Celsius; an unknown unit name throws.
double CelsiusFrom(const QString &unit, double value);
double CelsiusTo(const QString &unit, double celsius);

// The value in unit `from` expressed in unit `to` (indexes into
// MeasureUnits); an index outside the list throws.
double ConvertMeasure(TMeasure measure, int from, int to, double value);

// F(x) " " from " = " F(result) " " to, for the tool tip of a unit list.
// "Failed to convert." when it cannot be done (no selected unit, for
// example), the failure recorded under "FullConvertMeasure".
QString FullConvertMeasure(TMeasure measure, int from, int to, double value);

// The digest of the hint label: "Convert " F(x), then the common
// conversions, each after " <DEL> " (the character 127 stands between
// entries as a separator), ending with " <DEL>".
QString ShortConvertMeasure(double value);

// The twelve lines of the "Misc" memo: " <DEL> " F(x) " " from " = "
// F(x * factor) " " to.
QStringList MiscConvertMeasure(double value);

// The separator character of the digest and the memo.
constexpr char16_t ConvertSeparator = 0x7F;
