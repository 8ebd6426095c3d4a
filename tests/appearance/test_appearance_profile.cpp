// Pictures and colours belong to the profile: a book's profile shows its
// pictures (named relative to the profile) and colours, changes are saved
// back into it, and a profile saved elsewhere keeps finding its pictures.
#include "RememberFixture.h"

#include <QCheckBox>
#include <QLineEdit>

#include "BrowserGroupBox.h"
#include "ColorPanel.h"
#include "ProfileColorsTabSheet.h"
#include "ProfileGeneralTabSheet.h"
#include "ProfileWorkGroupBox.h"
#include "ProgramOpenTabSheet.h"
#include "RichBackImageGroupBox.h"
#include "ScreenBackImageGroupBox.h"

class TestAppearanceProfile : public QObject {
    Q_OBJECT
private slots:
    void ProfileCarriesPicturesAndColours();
};

void TestAppearanceProfile::ProfileCarriesPicturesAndColours()
{
    TRememberFixture f;
    QImage sky(20, 10, QImage::Format_RGB32);
    sky.fill(qRgb(30, 60, 200));
    QVERIFY(QDir().mkpath(f.BooksDir + "art"));
    QVERIFY(sky.save(f.BooksDir + "art/sky.png"));
    f.WriteFile(f.BooksDir + "LecternProfile.lcp",
                "[Profile_Main]\nTitleScreenBackImage=art/sky.png\nTransparentRichBack=TRUE\n"
                "FadeCenterScreenBackImage=50\nScreenForeColor=8519680\nShowRichBoxFrame=TRUE\n"
                "DirTypeBackColor=255\nBrowserFocusForeColor=65280\n");
    const QString tale = f.WriteBook(QStringLiteral("Tale.txt"), 20);
    const QString other = f.WriteBook(QStringLiteral("Other.txt"), 20);
    auto form = f.Start();
    const Ui::ScreenBackImageGroupBox &screen = form->ProfileGeneralTabSheet->Form.ScreenBackImageGroupBox->Form;
    const Ui::RichBackImageGroupBox &rich = form->ProfileGeneralTabSheet->Form.RichBackImageGroupBox->Form;
    TProfileColorsTabSheet &colors = *form->ProfileColorsTabSheet;

    QVERIFY(form->OpenBook(tale, true));
    QCOMPARE(screen.TitleScreenBackImageEdit->text(), QStringLiteral("art/sky.png"));
    QCOMPARE(screen.FadeCenterScreenBackImageComboBox->currentText(), QStringLiteral("50"));
    QVERIFY(rich.TransparentRichBackCheckBox->isChecked());
    QCOMPARE(colors.Color(crScreenFore), TColor(0x820000));
    QVERIFY(colors.Panel(crScreenFore)->statusTip().startsWith(QLatin1String("Navy (RGB 0-0-130;")));
    // The browser's list takes the profile's colours as it loads.
    const TBrowserColors &browser = form->ProgramOpenTabSheet->Form.BrowserGroupBox->Colors();
    QCOMPARE(browser.DirTypeBack.rgb(), qRgb(255, 0, 0));
    QCOMPARE(browser.FocusFore.rgb(), qRgb(0, 255, 0));
    QCOMPARE(browser.ScreenFore.rgb(), qRgb(0, 0, 130));
    // The picture around the page, half as bright through the transparent box.
    const QImage window = form->grab().toImage();
    QCOMPARE(window.pixel(form->RichEdit->geometry().right() + 10, form->height() / 2), qRgb(30, 60, 200));
    const QImage box = form->RichEdit->viewport()->grab().toImage();
    QVERIFY(qAbs(qBlue(box.pixel(2, box.height() - 2)) - 100) <= 1);
    // The frame in the profile's screen fore colour.
    const QRect boxRect = form->RichEdit->geometry();
    QCOMPARE(window.pixel(boxRect.right() + 1, boxRect.y() + 20), qRgb(0, 0, 130));

    // A scheme is part of the profile: saved before the next book's profile.
    form->ProfileColorsTabSheet->Form.SetLowLightColorsButton->click();
    QVERIFY(form->OpenBook(other, true));
    const QByteArray saved = f.ReadFile(f.BooksDir + "LecternProfile.lcp");
    QVERIFY(saved.contains("ScreenBackColor=0\r\n"));
    QVERIFY(saved.contains("TitleScreenBackImage=art/sky.png\r\n"));
    QVERIFY(saved.contains("TransparentRichBack=TRUE\r\n"));
    QCOMPARE(colors.Color(crScreenBack), TColor(0)); // read back from the saved profile

    // Saved elsewhere, the profile names the picture by its full path.
    const QString mine = f.Dir.filePath(QStringLiteral("elsewhere/Mine.lcp"));
    QVERIFY(QDir().mkpath(QFileInfo(mine).absolutePath()));
    f.Dialogs.FileNames = {mine};
    form->Container_OptionsPageControl->setCurrentWidget(form->ProfileOptionsTabSheet);
    form->ProfilePageControl->setCurrentWidget(form->ProfileGeneralTabSheet);
    QTest::mouseClick(form->ProfileGeneralTabSheet->Form.ProfileWorkGroupBox->Form.SaveProfileButton, Qt::LeftButton);
    QVERIFY(f.ReadFile(mine).contains("TitleScreenBackImage=" + (f.BooksDir + "art/sky.png").toUtf8() + "\r\n"));
    QCOMPARE(screen.TitleScreenBackImageEdit->text(), f.BooksDir + "art/sky.png");
    QCOMPARE(f.Reports.Messages, QStringList());
}

QTEST_MAIN(TestAppearanceProfile)
#include "test_appearance_profile.moc"
