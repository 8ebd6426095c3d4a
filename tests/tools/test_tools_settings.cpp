// The tools with the reader's settings: the converter's units kept in
// Lectern.ini, the dictionary program and the profile's background sounds.
#include "RememberFixture.h"

#include <QListWidget>

#include "ConvertMeasureTabSheet.h"

class TestToolsSettings : public QObject {
    Q_OBJECT
private slots:
    void converterUnitsAreKept();
};

void TestToolsSettings::converterUnitsAreKept()
{
    TRememberFixture f;
    f.WriteFile(f.SettingsDir + "Lectern.ini",
                "[Lectern_ConvertMeasure]\nSpeed=knots\nLength=Leagues\nArea=Acres^2\nWeight=\n");
    auto form = f.Start();
    TConvertMeasureTabSheet *sheet = form->ConvertMeasureTabSheet;
    QCOMPARE(sheet->SelectedUnit(TMeasure::Speed), QStringLiteral("Knots"));
    QCOMPARE(sheet->SelectedUnit(TMeasure::Length), QStringLiteral("Leagues"));
    QCOMPARE(sheet->SelectedUnit(TMeasure::Area), QStringLiteral("Meters^2")); // no such unit
    QCOMPARE(sheet->SelectedUnit(TMeasure::Weight), QStringLiteral("Kilograms"));

    // The reader's choice is written at the close.
    QListWidget *volume = sheet->ListOf(TMeasure::Volume);
    volume->setCurrentRow(FindMeasureUnit(TMeasure::Volume, QStringLiteral("Gallons (USA)")));
    QVERIFY(form->close());
    const QByteArray ini = f.Ini();
    QVERIFY(ini.contains("[Lectern_ConvertMeasure]\r\nLength=Leagues\r\nSpeed=Knots\r\nArea=Meters^2\r\n"
                         "Volume=Gallons (USA)\r\nWeight=Kilograms\r\nTemperature=Celsius\r\n"));
}

QTEST_MAIN(TestToolsSettings)
#include "test_tools_settings.moc"
