// The tools with the reader's settings: the converter's units kept in
// Lectern.ini, the dictionary program and the profile's background sounds.
#include "RememberFixture.h"

#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>

#include "BackSoundGroupBox.h"
#include "ConvertMeasureTabSheet.h"
#include "EffectSoundPlayer.h"
#include "ProfileMiscTabSheet.h"
#include "ProgramGeneralTabSheet.h"
#include "Shell.h"
#include "SoundPlayer.h"

namespace {

// A point on the left half of a word of the rich-box's text.
QPoint PointOfWord(TLecternForm &form, const QString &word)
{
    TRichBox *box = form.RichEdit;
    box->PlaceCaret(box->RichDocument()->GetText().indexOf(word) + 1);
    QPoint p;
    box->CaretPosition(&p);
    return p + QPoint(1, box->fontMetrics().height() / 2);
}

void DoubleClick(TLecternForm &form, const QString &word)
{
    QTest::mouseDClick(form.RichEdit->viewport(), Qt::LeftButton, {}, PointOfWord(form, word));
    QCoreApplication::processEvents(); // the look-up follows the rich-box's own selection
}

Ui::BackSoundGroupBox &Sound(TLecternForm &form)
{
    return form.ProfileMiscTabSheet->Form.ProfileBackSoundGroupBox->Form;
}

} // namespace

class TestToolsSettings : public QObject {
    Q_OBJECT
private slots:
    void converterUnitsAreKept();
    void backSoundsOfTheProfile();
    void backSoundLoadButton();
    void doubleClickLooksTheWordUp();
    void clipboardModeHandsOverTheWord();
    void missingDictionaryIsReportedOnce();
    void dictionaryLoadButton();
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

void TestToolsSettings::backSoundsOfTheProfile()
{
    TRememberFixture f;
    const QString a = f.WriteFile(f.Dir.filePath(QStringLiteral("a.wav")), "RIFF");
    const QString b = f.WriteFile(f.Dir.filePath(QStringLiteral("b.wav")), "RIFF");
    f.WriteFile(f.SettingsDir + "LecternProfile.lcp",
                "[Profile_BackSounds]\nUse=TRUE\nRandom=FALSE\nCount=2\nFile0=" + a.toUtf8()
                    + "\nVol0=200\nDur0=1\nFile1=" + b.toUtf8() + "\nVol1=0\nDur1=1\n");
    TSilentSoundPlayer player;
    player.CurrentVolume = 0.6; // the system's volume
    TScopedSoundPlayer scoped(&player);
    auto form = f.Start();
    QVERIFY(player.Played.isEmpty()); // nothing before a book
    QVERIFY(Sound(*form).UseBackSoundCheckBox->isChecked());
    QVERIFY(!Sound(*form).RandomBackSoundCheckBox->isChecked());
    QCOMPARE(Sound(*form).TitleBackSoundEdit->text(), a);
    QCOMPARE(Sound(*form).VolumeBackSoundComboBox->currentText(), QStringLiteral("200"));

    QVERIFY(form->OpenBook(f.WriteBook(QStringLiteral("Book.txt"), 5), true));
    QCOMPARE(player.Playing, a);
    QVERIFY(qAbs(player.CurrentVolume - 0.2) < 0.0001);
    // After its second the next sound, whose volume 0 keeps the volume.
    QTest::qWait(1100);
    form->InfoTimerTimer();
    QCOMPARE(player.Playing, b);
    QVERIFY(qAbs(player.CurrentVolume - 0.2) < 0.0001);

    form->ApplicationEventsMinimize();
    QVERIFY(player.Playing.isEmpty());
    form->ApplicationEventsRestore();
    QCOMPARE(player.Playing, b);

    // The volume list acts at once; "Use sound" off gives the volume back.
    Sound(*form).VolumeBackSoundComboBox->setCurrentText(QStringLiteral("0"));
    QCOMPARE(player.CurrentVolume, 0.0);
    form->Container_OptionsPageControl->setCurrentWidget(form->ProfileOptionsTabSheet);
    form->ProfilePageControl->setCurrentWidget(form->ProfileMiscTabSheet);
    QTest::mouseClick(Sound(*form).UseBackSoundCheckBox, Qt::LeftButton);
    QVERIFY(player.Playing.isEmpty());
    QCOMPARE(player.CurrentVolume, 0.6);
    QVERIFY(form->close());
    const QByteArray profile = f.ReadFile(f.SettingsDir + "LecternProfile.lcp");
    QVERIFY(profile.contains("[Profile_BackSounds]\r\nUse=FALSE\r\nRandom=FALSE\r\nCount=2\r\nFile0=" + a.toUtf8()
                             + "\r\nVol0=0\r\nDur0=1\r\n"));
    QVERIFY(profile.contains("File1=" + b.toUtf8() + "\r\n"));
    QCOMPARE(player.CurrentVolume, 0.6);
}

void TestToolsSettings::backSoundLoadButton()
{
    TRememberFixture f;
    TSilentSoundPlayer player;
    TScopedSoundPlayer scoped(&player);
    auto form = f.Start();
    QVERIFY(form->OpenBook(f.WriteBook(QStringLiteral("Book.txt"), 5), true));
    QVERIFY(player.Played.isEmpty()); // "Use sound" is off in a new profile
    form->Container_OptionsPageControl->setCurrentWidget(form->ProfileOptionsTabSheet);
    form->ProfilePageControl->setCurrentWidget(form->ProfileMiscTabSheet);
    QTest::mouseClick(Sound(*form).UseBackSoundCheckBox, Qt::LeftButton);
    // The default sound, here where the tests run without it: the name of
    // the program's sounds directory that no file has.
    QCOMPARE(player.Playing, GetProgramDirectory() + QStringLiteral("BackSounds/*"));
    QVERIFY(qAbs(player.CurrentVolume - 0.05) < 0.0001);

    // With Ctrl the dialog starts in the program's sounds; the chosen file
    // becomes sound 0 and plays.
    const QString rain = f.WriteFile(f.Dir.filePath(QStringLiteral("rain.wav")), "RIFF");
    f.Dialogs.FileNames << rain;
    QTest::mouseClick(Sound(*form).ChangeBackSoundButton, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(f.Dialogs.FileDialogs.size(), 1);
    QCOMPARE(f.Dialogs.FileDialogs[0].FileName, GetProgramDirectory() + QStringLiteral("BackSounds/*"));
    QCOMPARE(f.Dialogs.FileDialogs[0].Filter, QStringLiteral("Sound (*.wav; *.wave)|*.wav; *.wave"));
    QCOMPARE(Sound(*form).TitleBackSoundEdit->text(), rain);
    QCOMPARE(player.Playing, rain);
    // Without modifiers it proposes the sound itself; cancelled, nothing changes.
    QTest::mouseClick(Sound(*form).ChangeBackSoundButton, Qt::LeftButton);
    QCOMPARE(f.Dialogs.FileDialogs[1].FileName, rain);
    QCOMPARE(Sound(*form).TitleBackSoundEdit->text(), rain);
    QCOMPARE(f.Reports.Messages, QStringList());
}

void TestToolsSettings::doubleClickLooksTheWordUp()
{
    TRememberFixture f;
    f.WriteFile(f.SettingsDir + "Lectern.ini", "[Lectern_Main]\nDictionaryTitle=/bin/true\nClipboardForDic=FALSE\n");
    TScopedRecordingShell shell;
    auto form = f.Start();
    QVERIFY(form->OpenBook(f.WriteBook(QStringLiteral("Book.txt"), 3), true));
    DoubleClick(*form, QStringLiteral("miller"));
    QCOMPARE(shell.Programs.size(), 1);
    QCOMPARE(shell.Programs[0].Program, QStringLiteral("/bin/true"));
    QCOMPARE(shell.Programs[0].Arguments, QStringList{QStringLiteral("miller")});
    // A single click, or a right click with the sidebar shown, starts nothing.
    QTest::mouseClick(form->RichEdit->viewport(), Qt::LeftButton, {}, PointOfWord(*form, QStringLiteral("river")));
    QCOMPARE(shell.Programs.size(), 1);
    QCOMPARE(f.Reports.Messages, QStringList());
}

void TestToolsSettings::clipboardModeHandsOverTheWord()
{
    TRememberFixture f;
    f.WriteFile(f.SettingsDir + "Lectern.ini", "[Lectern_Main]\nDictionaryTitle=/bin/true\nClipboardForDic=TRUE\n");
    TScopedRecordingShell shell;
    auto form = f.Start();
    QVERIFY(form->OpenBook(f.WriteBook(QStringLiteral("Book.txt"), 3), true));
    QApplication::clipboard()->clear();
    DoubleClick(*form, QStringLiteral("sacks"));
    // On the clipboard and as the program's argument both.
    QCOMPARE(shell.Programs.size(), 1);
    QCOMPARE(shell.Programs[0].Arguments, QStringList{QStringLiteral("sacks")});
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("sacks"));
}

void TestToolsSettings::missingDictionaryIsReportedOnce()
{
    TRememberFixture f;
    const QString missing = f.Dir.filePath(QStringLiteral("no-dictionary"));
    f.WriteFile(f.SettingsDir + "Lectern.ini",
                "[Lectern_Main]\nDictionaryTitle=" + missing.toUtf8() + "\nClipboardForDic=FALSE\n");
    TScopedRecordingShell shell;
    auto form = f.Start();
    QVERIFY(form->OpenBook(f.WriteBook(QStringLiteral("Book.txt"), 3), true));
    for (const char *word : {"miller", "river", "counted"})
        DoubleClick(*form, QLatin1String(word));
    QCOMPARE(f.Reports.Messages.size(), 1);
    QVERIFY(f.Reports.Reports[0].contains(QStringLiteral("Failed to run file.")));
    QVERIFY(f.Reports.Reports[0].contains(missing));
    QVERIFY(f.Reports.Reports[0].contains(QStringLiteral("System error code: %1").arg(ENOENT)));
    QVERIFY(shell.Programs.isEmpty());
}

void TestToolsSettings::dictionaryLoadButton()
{
    TRememberFixture f;
    auto form = f.Start();
    Ui::ProgramGeneralTabSheet &g = form->ProgramGeneralTabSheet->Form;
    form->Container_OptionsPageControl->setCurrentWidget(form->ProgramOptionsTabSheet);
    form->ProgramPageControl->setCurrentWidget(form->ProgramGeneralTabSheet);
    const QString before = g.DictionaryTitleEdit->text();
    QTest::mouseClick(g.ChangeDictionaryButton, Qt::LeftButton); // cancelled
    QCOMPARE(g.DictionaryTitleEdit->text(), before);
    f.Dialogs.FileNames << QStringLiteral("/usr/local/bin/sdcv");
    QTest::mouseClick(g.ChangeDictionaryButton, Qt::LeftButton);
    QCOMPARE(g.DictionaryTitleEdit->text(), QStringLiteral("/usr/local/bin/sdcv"));
    QVERIFY(form->close());
    QVERIFY(f.Ini().contains("DictionaryTitle=/usr/local/bin/sdcv\r\n"));
}

QTEST_MAIN(TestToolsSettings)
#include "test_tools_settings.moc"
