#include "Dialogs.h"
#include "FunStatContext.h"
#include "MyMath.h"

#include <QtTest>

namespace {
double g_now = 0.0;
double FakeClock() { return g_now; }
} // namespace

class TestMyMath : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }
    void cronoMeasuresAndNeverGoesNegative();
    void isPeriodFiresOncePerPeriod();
    void isPeriodRejectsNonPositivePeriods();
    void alignRealToTextPowExamples();
    void alignRealToTextPowBadArguments();
    void numberTexts();
    void randomSource();
};

void TestMyMath::cronoMeasuresAndNeverGoesNegative()
{
    TCrono c(&FakeClock);
    QVERIFY(c.IsStopped());
    QCOMPARE(c.Passed(), 0.0);
    g_now = 100.0;
    c.Restart();
    g_now = 102.5;
    QCOMPARE(c.Passed(), 2.5);
    c.Stop();
    g_now = 110.0;
    QCOMPARE(c.Passed(), 2.5); // frozen once stopped
    c.Stop(); // a second stop changes nothing
    QCOMPARE(c.StopTime(), 102.5);

    c.Restart();
    g_now = 50.0; // a clock found behind the start
    QCOMPARE(c.Passed(), 0.0);
    c.Stop();
    QCOMPARE(c.Passed(), 0.0);
    QCOMPARE(c.StopTime(), c.StartTime());

    TCrono real;
    real.Restart();
    QVERIFY(real.Passed() >= 0.0);
    QVERIFY(real.Passed() < 5.0);
}

void TestMyMath::isPeriodFiresOncePerPeriod()
{
    TCrono c(&FakeClock);
    g_now = 1000.0;
    c.Restart();
    QList<int> fired;
    for (int tick = 1; tick <= 12; ++tick) {
        g_now = 1000.0 + tick;
        if (c.IsPeriod(5))
            fired << tick;
    }
    QCOMPARE(fired, (QList<int>{5, 10}));
    QCOMPARE(FunStatContext.Status, int32_t(Perfect));

    // Measured from the start even when stopped; the restart runs it again.
    c.Stop();
    g_now += 5;
    QVERIFY(c.IsPeriod(5));
    QVERIFY(!c.IsStopped());
    QVERIFY(!c.IsPeriod(5));
}

void TestMyMath::isPeriodRejectsNonPositivePeriods()
{
    TCrono c(&FakeClock);
    g_now = 10.0;
    c.Restart();
    g_now = 1e9;
    QVERIFY(!c.IsPeriod(0));
    QCOMPARE(FunStatContext.Status, int32_t(Error));
    QCOMPARE(FunStatContext.Description, QStringLiteral("Invalid period."));
    QCOMPARE(FunStatContext.RaiseFunction, QStringLiteral("TCrono::IsPeriod"));
    QCOMPARE(FunStatContext.Parameter1, QStringLiteral("0"));
    QVERIFY(!c.IsPeriod(-1.5));
    QCOMPARE(FunStatContext.Parameter1, QStringLiteral("-1.5"));
    QCOMPARE(c.StartTime(), 10.0); // no restart on a bad period
}

void TestMyMath::alignRealToTextPowExamples()
{
    QCOMPARE(AlignRealToTextPow(6, 2, 1234.5678), QStringLiteral("1,234.57"));
    QCOMPARE(AlignRealToTextPow(6, 2, 1234567), QStringLiteral("1.23457e6"));
    QCOMPARE(AlignRealToTextPow(6, 2, 123456789), QStringLiteral("123.457e6"));
    QCOMPARE(AlignRealToTextPow(6, 2, 999999999), QStringLiteral("1.00e9"));
    QCOMPARE(AlignRealToTextPow(6, 2, 0.000123), QStringLiteral("0.00"));
    QCOMPARE(AlignRealToTextPow(6, 2, 0), QStringLiteral("0"));
    QCOMPARE(AlignRealToTextPow(6, 2, 12345.678), QStringLiteral("12,345.70")); // 6 significant digits
    QCOMPARE(AlignRealToTextPow(6, 2, -1234567), QStringLiteral("-1.23457e6"));
    QCOMPARE(AlignRealToTextPow(6, 2, -999999999), QStringLiteral("-1.00e9"));
    QCOMPARE(FunStatContext.Status, int32_t(Perfect));

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(AlignRealToTextPow(6, 2, 1234.5678), QStringLiteral("1.234,57"));
    QCOMPARE(AlignRealToTextPow(6, 2, 1234567), QStringLiteral("1,23457e6"));

    QCOMPARE(RoundHalfUp(2.5), 3.0);
    QCOMPARE(RoundHalfUp(2.4999), 2.0);
    QCOMPARE(RoundHalfUp(-2.5), -2.0); // a fraction of one half rounds up
    QCOMPARE(RoundHalfUp(-2.6), -3.0);
}

void TestMyMath::alignRealToTextPowBadArguments()
{
    TScopedRecordingDialogs dialogs;
    QCOMPARE(AlignRealToTextPow(0, 2, 5.0), QStringLiteral("?"));
    QCOMPARE(FunStatContext.Status, int32_t(Panic));
    QCOMPARE(FunStatContext.Description, QStringLiteral("Invalid number of digits, or precesion."));
    QCOMPARE(AlignRealToTextPow(6, -1, 5.0), QStringLiteral("?"));

    QCOMPARE(AlignRealToTextPow(6, 2, std::numeric_limits<double>::infinity()), QStringLiteral("?"));
    QCOMPARE(FunStatContext.Status, int32_t(Error));
    QVERIFY(FunStatContext.Description.startsWith(QStringLiteral("Unhandled exception: ")));
    QCOMPARE(AlignRealToTextPow(6, 2, std::nan("")), QStringLiteral("?"));
}

void TestMyMath::numberTexts()
{
    QCOMPARE(FormatIntegerText(1234567), QStringLiteral("1,234,567"));
    QCOMPARE(FormatIntegerText(20000000), QStringLiteral("20,000,000"));
    QCOMPARE(FormatIntegerText(-999), QStringLiteral("-999"));
    QLocale::setDefault(QLocale::c()); // the C locale still groups
    QCOMPARE(FormatIntegerText(500000), QStringLiteral("500,000"));

    QCOMPARE(IncrementWrapped(2, 0, 2), 0);
    QCOMPARE(IncrementWrapped(1, 0, 2), 2);
    QCOMPARE(IncrementWrapped(5, 3, 1), 3); // the larger bound counts
    QCOMPARE(IncrementWrapped(2147483647, 0, 2147483647), 0);
}

void TestMyMath::randomSource()
{
    RandomInitialize(100, 100);
    const uint32_t before = Random.Mix;
    RandomMouseMove(102, 98); // under 3 pixels both ways: ignored
    QCOMPARE(Random.Mix, before);
    QCOMPARE(Random.LastX, 100);
    RandomMouseMove(103, 100);
    QCOMPARE(Random.LastX, 103);

    QSet<int32_t> values;
    for (int i = 0; i < 16; ++i)
        values.insert(RandomInt32());
    QVERIFY(values.size() > 12);
}

QTEST_GUILESS_MAIN(TestMyMath)
#include "test_mymath.moc"
