// The stock colour table and the text conversions of the utilities library.
#include "FunStatContext.h"
#include "StockColors.h"
#include "TextParsers.h"

#include <QLocale>
#include <QSet>
#include <QtTest>

class TestTextParsers : public QObject {
    Q_OBJECT
private slots:
    void stockColors();
    void integers();
    void reals();
    void booleansAndColors();
};

static TColor Rgb(int r, int g, int b) { return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16); }

void TestTextParsers::stockColors()
{
    QCOMPARE(QString::fromLatin1(CStockColors[0].Name), QStringLiteral("Black"));
    QCOMPARE(QString::fromLatin1(CStockColors[66].Name), QStringLiteral("Lavender"));
    QCOMPARE(QString::fromLatin1(CStockColors[132].Name), QStringLiteral("Light Pastel Green"));
    QCOMPARE(CStockColors[132].Color, Rgb(200, 255, 200));
    QCOMPARE(CStockColors[85].Color, Rgb(140, 70, 40)); // Maroon: colours are stored blue-green-red

    QSet<TColor> values;
    for (const TStockColor &entry : CStockColors) {
        values.insert(entry.Color);
        QVERIFY(strlen(entry.Name) <= 31);
    }
    QCOMPARE(values.size(), StockColorCount); // one-to-one

    QCOMPARE(StockColorName(Rgb(255, 255, 255)), QStringLiteral("White"));
    QCOMPARE(StockColorName(Rgb(1, 2, 3)), QString());

    TColor color = 12345;
    QVERIFY(StockColorFromName(QStringLiteral("nAvY"), color));
    QCOMPARE(color, Rgb(0, 0, 130));
    QVERIFY(StockColorFromName(QStringLiteral("light pastel green"), color));
    QCOMPARE(color, Rgb(200, 255, 200));
    color = 7;
    QVERIFY(!StockColorFromName(QStringLiteral("Navy "), color));
    QVERIFY(!StockColorFromName(QStringLiteral("Nav"), color));
    QVERIFY(!StockColorFromName(QString(), color));
    QCOMPARE(color, TColor(7)); // untouched on failure
}

void TestTextParsers::integers()
{
    FunStatContext.Reset();
    QCOMPARE(GetIntFromText(QStringLiteral("12"), 20, 100, 45), 45); // out of range: silent default
    QCOMPARE(FunStatContext.Status, int(Perfect));
    QCOMPARE(GetIntFromText(QString(), 20, 100, 45), 45);
    QCOMPARE(GetIntFromText(QStringLiteral("100"), 20, 100, 45), 100);
    QCOMPARE(GetIntFromText(QStringLiteral("-7")), -7);
    QCOMPARE(GetIntFromText(QStringLiteral("+7")), 7);
    QCOMPARE(GetIntFromText(QStringLiteral("$1F")), 31);
    QCOMPARE(GetIntFromText(QStringLiteral("-2147483648")), int32_t(-2147483647 - 1));
    QCOMPARE(FunStatContext.Status, int(Perfect));

    // Unreadable texts are recorded and give the default.
    for (const char *bad : {"2.5", "abc", "12 ", "2147483648", "", "-", "$"}) {
        if (!*bad)
            continue;
        FunStatContext.Reset();
        QCOMPARE(GetIntFromText(QString::fromLatin1(bad), 0, 10, 3), 3);
        QCOMPARE(FunStatContext.Status, int(Error));
        QVERIFY2(FunStatContext.Description.startsWith(QStringLiteral("Unhandled exception: ")), bad);
        QCOMPARE(FunStatContext.RaiseFunction, QStringLiteral("GetIntFromText"));
    }
    FunStatContext.Reset();
}

void TestTextParsers::reals()
{
    const QLocale previous;
    for (const char *localeName : {"C", "de_DE", "fr_FR"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(localeName)));
        bool invalid = true;
        QCOMPARE(GetRealFromText(QStringLiteral("3.5"), &invalid), 3.5);
        QVERIFY(!invalid);
        QCOMPARE(GetRealFromText(QStringLiteral("3,5"), &invalid, 1.0, 10.0, 0.0), 1.0);
        QVERIFY(invalid);
    }
    QLocale::setDefault(previous);

    bool invalid = true;
    QCOMPARE(GetRealFromText(QString(), &invalid, 2.0, 10.0, 0.0), 2.0); // empty: default, valid
    QVERIFY(!invalid);
    QCOMPARE(GetRealFromText(QStringLiteral("-1.5e2"), &invalid), -150.0);
    QVERIFY(!invalid);
    QCOMPARE(GetRealFromText(QStringLiteral("11"), &invalid, 2.0, 10.0, 0.0), 2.0);
    QVERIFY(invalid);
    QCOMPARE(GetRealFromText(QStringLiteral("10"), &invalid, 2.0, 10.0, 0.0), 10.0);
    QVERIFY(!invalid);
    for (const char *bad : {"nan", "inf", "1e", ".", "--1", "1.2.3"}) {
        QCOMPARE(GetRealFromText(QString::fromLatin1(bad), &invalid, 4.0, 10.0, 0.0), 4.0);
        QVERIFY2(invalid, bad);
    }
    QCOMPARE(GetRealFromText(QStringLiteral("x"), nullptr), 0.0); // no flag given: no crash
    FunStatContext.Reset();
}

void TestTextParsers::booleansAndColors()
{
    QCOMPARE(BoolToText(true), QStringLiteral("TRUE"));
    QCOMPARE(BoolToText(false), QStringLiteral("FALSE"));
    QVERIFY(TextToBool(QStringLiteral("TRUE")));
    QVERIFY(!TextToBool(QStringLiteral("True")));
    QVERIFY(!TextToBool(QStringLiteral("TRUE ")));

    QCOMPARE(TextToColor(QStringLiteral("navy")), Rgb(0, 0, 130)); // the stock name wins
    QCOMPARE(TextToColor(QStringLiteral("clNavy")), TColor(0x800000));
    QCOMPARE(TextToColor(QStringLiteral("CLRED")), TColor(0x0000FF));
    QCOMPARE(TextToColor(QStringLiteral("clNone")), TColor(0x1FFFFFFF));
    QCOMPARE(TextToColor(QStringLiteral("$FF8000")), TColor(0xFF8000));
    QCOMPARE(TextToColor(QStringLiteral("255")), TColor(255));
    QCOMPARE(TextToColor(QString()), TColor(0));
    QVERIFY_THROWS_EXCEPTION(TLecternException, TextToColor(QStringLiteral("Navyish")));
    QVERIFY_THROWS_EXCEPTION(TLecternException, TextToColor(QStringLiteral("clBtnFacey")));
    QVERIFY_THROWS_EXCEPTION(TLecternException, TextToColor(QStringLiteral("#FF0000")));
}

QTEST_GUILESS_MAIN(TestTextParsers)
#include "test_textparsers.moc"
