// The measure converter without widgets: unit tables, conversions and their
// texts, and the number token under the pointer.
#include "ConvertMeasure.h"
#include "FunStatContext.h"
#include "NumberToken.h"
#include "RichDocument.h"

#include <QTextDocument>
#include <QtTest>

namespace {

const QChar Del(ConvertSeparator);

double Factor(TMeasure measure, const QString &name)
{
    const int i = FindMeasureUnit(measure, name);
    return i < 0 ? -1.0 : MeasureUnits(measure)[i].Factor;
}

QString Full(TMeasure measure, const QString &from, const QString &to, double x)
{
    return FullConvertMeasure(measure, FindMeasureUnit(measure, from), FindMeasureUnit(measure, to), x);
}

} // namespace

Q_DECLARE_METATYPE(TMeasure)

class TestConvertMeasure : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        FunStatContext.Reset();
    }
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void unitListsAreSortedWithComputedPowers();
    void storedUnitNamesFallBackToDefaults();
    void fullConversions_data();
    void fullConversions();
    void fullConversionWithoutTargetFails();
    void shortDigest();
    void miscLines();
    void tokenInLine_data();
    void tokenInLine();
    void tokenUsesDisplayLineOfItsParagraph();
    void tokenValueReadsLocaleSeparator();
};

void TestConvertMeasure::unitListsAreSortedWithComputedPowers()
{
    const int counts[] = {19, 11, 17, 22, 10, 4};
    for (int m = 0; m < MeasureCount; ++m) {
        const QVector<TMeasureUnit> &units = MeasureUnits(TMeasure(m));
        QCOMPARE(units.size(), counts[m]);
        for (int i = 1; i < units.size(); ++i)
            QVERIFY2(QString::compare(units[i - 1].Name, units[i].Name, Qt::CaseInsensitive) < 0,
                     qPrintable(units[i].Name));
    }
    QCOMPARE(Factor(TMeasure::Area, "Cables (British)^2"), 34225.0);
    QCOMPARE(Factor(TMeasure::Area, "Yards^2"), 0.9144 * 0.9144);
    QCOMPARE(Factor(TMeasure::Volume, "Centimeters^3"), 0.01 * 0.01 * 0.01);
    QCOMPARE(Factor(TMeasure::Volume, "Miles (land)^3"), 1609.0 * 1609.0 * 1609.0);
    // Parsecs and light years have no square: only the thirteen listed units.
    QCOMPARE(FindMeasureUnit(TMeasure::Area, "Parsecs^2"), -1);
    QCOMPARE(Factor(TMeasure::Speed, "Knots"), 1852.0 / 3600.0);
    QCOMPARE(MeasureUnits(TMeasure::Temperature).first().Name, QStringLiteral("Celsius"));
}

void TestConvertMeasure::storedUnitNamesFallBackToDefaults()
{
    const QVector<TMeasureUnit> &speed = MeasureUnits(TMeasure::Speed);
    QCOMPARE(speed[MeasureUnitOrDefault(TMeasure::Speed, "")].Name, QStringLiteral("Meters / Second"));
    QCOMPARE(speed[MeasureUnitOrDefault(TMeasure::Speed, "knots")].Name, QStringLiteral("Knots"));
    QCOMPARE(speed[MeasureUnitOrDefault(TMeasure::Speed, "meters / second")].Name, QStringLiteral("Meters / Second"));
    for (int m = 0; m < MeasureCount; ++m) {
        const int i = MeasureUnitOrDefault(TMeasure(m), QStringLiteral("Furlongs per fortnight"));
        QVERIFY(i >= 0);
        QCOMPARE(MeasureUnits(TMeasure(m))[i].Name, DefaultMeasureUnit(TMeasure(m)));
    }
}

void TestConvertMeasure::fullConversions_data()
{
    QTest::addColumn<TMeasure>("measure");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("liter to barrels") << TMeasure::Volume << "Liters"
                                      << "Barrels (159)" << 1.0 << "1.00 Liters = 0.01 Barrels (159)";
    QTest::newRow("miles to km") << TMeasure::Length << "Miles (land)"
                                 << "Kilometers" << 20.0 << "20.00 Miles (land) = 32.18 Kilometers";
    QTest::newRow("light year") << TMeasure::Length << "Light years"
                                << "Meters" << 1.0 << "1.00 Light years = 9.46070e15 Meters";
    QTest::newRow("acres") << TMeasure::Area << "Acres"
                           << "Hectares" << 10.0 << "10.00 Acres = 4.05 Hectares";
    QTest::newRow("knots") << TMeasure::Speed << "Knots"
                           << "Kilometers / Hour" << 10.0 << "10.00 Knots = 18.52 Kilometers / Hour";
    QTest::newRow("pounds") << TMeasure::Weight << "Pounds"
                            << "Kilograms" << -3.0 << "-3.00 Pounds = -1.36 Kilograms";
    QTest::newRow("rankine") << TMeasure::Temperature << "Celsius"
                             << "Rankine" << 100.0 << "100.00 Celsius = 671.69 Rankine";
    QTest::newRow("fahrenheit") << TMeasure::Temperature << "Fahrenheit"
                                << "Celsius" << 212.0 << "212.00 Fahrenheit = 100.00 Celsius";
    QTest::newRow("absolute zero") << TMeasure::Temperature << "Kelvin"
                                   << "Fahrenheit" << 0.0 << "0 Kelvin = -459.67 Fahrenheit";
    QTest::newRow("same unit") << TMeasure::Length << "Feet"
                               << "Feet" << 999999.0 << "1.00e6 Feet = 1.00e6 Feet";
}

void TestConvertMeasure::fullConversions()
{
    QFETCH(TMeasure, measure);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(Full(measure, from, to, value), text);
    QCOMPARE(FunStatContext.Status, int32_t(Perfect));
}

void TestConvertMeasure::fullConversionWithoutTargetFails()
{
    QCOMPARE(FullConvertMeasure(TMeasure::Length, 0, -1, 5.0), QStringLiteral("Failed to convert."));
    QVERIFY(FunStatContext.Failed());
    QCOMPARE(FunStatContext.RaiseFunction, QStringLiteral("FullConvertMeasure"));
    QVERIFY(FunStatContext.Description.startsWith(QStringLiteral("Unhandled exception: ")));
}

void TestConvertMeasure::shortDigest()
{
    const QString s = QStringLiteral(" ") + Del + QStringLiteral(" ");
    QCOMPARE(ShortConvertMeasure(20),
             "Convert 20.00" + s + "Centimeters -> Inches = 7.87" + s + "Inches -> Centimeters = 50.80" + s
                 + "Meters -> Feet = 65.62" + s + "Feet -> Meters = 6.10" + s + "Kilometers -> Miles = 12.43" + s
                 + "Miles -> Kilometers = 32.18" + s + "Grams -> Ounces = 0.71" + s + "Ounces -> Grams = 567.00" + s
                 + "Kilograms -> Pounds = 44.09" + s + "Pounds -> Kilograms = 9.07" + s
                 + "Celsius -> Fahrenheit = 68.00" + s + "Fahrenheit -> Celsius = -6.67 " + Del);
    // Zero is shown as "0"; the temperatures still move.
    const QString zero = ShortConvertMeasure(0);
    QVERIFY(zero.startsWith("Convert 0" + s + "Centimeters -> Inches = 0" + s));
    QVERIFY(zero.contains("Celsius -> Fahrenheit = 32.00"));
    QVERIFY(zero.contains("Fahrenheit -> Celsius = -17.78"));
    // Large values switch to exponents at a million.
    QVERIFY(ShortConvertMeasure(1000000).startsWith("Convert 1.00000e6" + s));
    QVERIFY(ShortConvertMeasure(999999).startsWith("Convert 1.00e6" + s));
    QVERIFY(ShortConvertMeasure(999499).startsWith("Convert 999,499.00" + s));
}

void TestConvertMeasure::miscLines()
{
    const QStringList lines = MiscConvertMeasure(2);
    QCOMPARE(lines.size(), 12);
    const QString s = QStringLiteral(" ") + Del + QStringLiteral(" ");
    QCOMPARE(lines[0], s + "2.00 Horse-power = 150.00 Kilograms-force * meter / second");
    QCOMPARE(lines[1], s + "2.00 Horse-power = 1,471.50 Newtons");
    QCOMPARE(lines[3], s + "2.00 Kilograms / Centimeters^2 = 28.45 Pounds / Inch^2");
    QCOMPARE(lines[11], s + "2.00 Pounds-force * foot / second = 0.00 Horse-power");
}

void TestConvertMeasure::tokenInLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("p");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("token");
    QTest::newRow("apostrophe thousands") << "about 1'000 miles" << 8 << "."
                                          << "1000";
    QTest::newRow("comma thousands") << "about 1,000 miles" << 7 << "."
                                     << "1000";
    QTest::newRow("grave thousands") << "about 1`000`000 miles" << 14 << "."
                                     << "1000000";
    QTest::newRow("decimal") << "walk 2.5 miles" << 6 << "."
                             << "2.5";
    QTest::newRow("decimal from its last digit") << "walk 2.5 miles" << 7 << "."
                                                 << "2.5";
    QTest::newRow("sentence end") << "in the year 1850." << 14 << "."
                                  << "1850";
    QTest::newRow("minus left out") << "at -40 degrees" << 5 << "."
                                    << "40";
    QTest::newRow("on the minus") << "at -40 degrees" << 3 << "."
                                  << "";
    QTest::newRow("line start on first char") << "20 miles" << 0 << "."
                                              << "";
    QTest::newRow("line start on second char") << "20 miles" << 1 << "."
                                               << "20";
    QTest::newRow("end of line") << "it was 42" << 9 << "."
                                 << "42";
    QTest::newRow("past the end") << "it was 42" << 10 << "."
                                  << "";
    QTest::newRow("no digits") << "a.b,c" << 2 << "."
                               << "";
    QTest::newRow("marks not between digits") << "see 5., then" << 5 << "."
                                              << "5";
    QTest::newRow("comma locale decimal") << "3,5 km" << 1 << ","
                                          << "3,5";
    QTest::newRow("comma locale point is thousands") << "3.5 km" << 1 << ","
                                                     << "35";
    QTest::newRow("two separators kept") << "1.000.5" << 3 << "."
                                         << "1.000.5";
}

void TestConvertMeasure::tokenInLine()
{
    QFETCH(QString, line);
    QFETCH(int, p);
    QFETCH(QString, separator);
    QFETCH(QString, token);
    QCOMPARE(NumberAtLineOffset(line, p, separator.at(0)), token);
}

void TestConvertMeasure::tokenUsesDisplayLineOfItsParagraph()
{
    TRichDocument doc;
    doc.SetPlainText(QStringLiteral("First 12\nwe walked 20 miles\nlast 7"));
    const QString text = doc.GetText();
    const int twenty = text.indexOf(QStringLiteral("20"));
    // Without a layout the paragraph is one line.
    QCOMPARE(NumberAtCharIndex(doc, twenty, '.'), QStringLiteral("20"));
    QCOMPARE(NumberAtCharIndex(doc, text.indexOf(QStringLiteral("12")) + 1, '.'), QStringLiteral("12"));
    QCOMPARE(NumberAtCharIndex(doc, text.size(), '.'), QStringLiteral("7")); // end of the book
    // Past the last character of a line, the number ending it.
    QCOMPARE(NumberAtCharIndex(doc, text.indexOf(QLatin1Char('\r')), '.'), QStringLiteral("12"));
    QCOMPARE(NumberAtCharIndex(doc, text.indexOf(QLatin1Char('\r')) + 2, '.'), QString()); // next line's start
    QCOMPARE(NumberAtCharIndex(doc, -1, '.'), QString());

    // Laid out one word per line, "20" starts a display line: its first
    // character is not picked, its second is.
    doc.Document()->setTextWidth(1);
    doc.Document()->size();
    QCOMPARE(NumberAtCharIndex(doc, twenty, '.'), QString());
    QCOMPARE(NumberAtCharIndex(doc, twenty + 1, '.'), QStringLiteral("20"));
}

void TestConvertMeasure::tokenValueReadsLocaleSeparator()
{
    double x = 0;
    QVERIFY(NumberTokenValue(QStringLiteral("2.5"), '.', &x));
    QCOMPARE(x, 2.5);
    QVERIFY(NumberTokenValue(QStringLiteral("3,5"), ',', &x));
    QCOMPARE(x, 3.5);
    QVERIFY(NumberTokenValue(QStringLiteral("35"), ',', &x));
    QCOMPARE(x, 35.0);
    QVERIFY(!NumberTokenValue(QStringLiteral("1.000.5"), '.', &x));
    QCOMPARE(x, 0.0);
    QCOMPARE(LocaleDecimalSeparator(), QLatin1Char('.'));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(LocaleDecimalSeparator(), QLatin1Char(','));
}

QTEST_MAIN(TestConvertMeasure)
#include "test_convertmeasure.moc"
