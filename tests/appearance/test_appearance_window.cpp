// The page's look in the reading window: background pictures of the screen
// and the rich-box, the transparent rich-box and its frame, the colour
// panels and schemes, and what they change in the book.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>

#include "BookFormFixture.h"
#include "BrowserGroupBox.h"
#include "ColorPanel.h"
#include "Contrast.h"
#include "ConvertMeasureTabSheet.h"
#include "ProfileColorsTabSheet.h"
#include "ProfileGeneralTabSheet.h"
#include "ProgramOpenTabSheet.h"
#include "ReportRecorder.h"
#include "RichBackImageGroupBox.h"
#include "ScreenBackImageGroupBox.h"
#include "Shell.h"

Q_DECLARE_METATYPE(TColorSchemeKind)

namespace {

QRgb Rgb(TColor color) { return ToQColor(color).rgb(); }

// The colour of the text at the first occurrence of `word`.
QColor TextColorOf(TRichBox *box, const QString &word)
{
    QTextCursor found = box->document()->find(word);
    return found.charFormat().foreground().color();
}

struct TAppearanceFixture : TBookFormFixture {
    // The tests' program directory has no "BackImages": no pictures unless a
    // test chooses them.
    TAppearanceFixture()
        : Screen(Form.ProfileGeneralTabSheet->Form.ScreenBackImageGroupBox->Form),
          Rich(Form.ProfileGeneralTabSheet->Form.RichBackImageGroupBox->Form), Colors(*Form.ProfileColorsTabSheet)
    {}

    // A picture of one colour in the temporary directory.
    QString Picture(const QString &name, QRgb color, QSize size = QSize(40, 30))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        const QString path = Dir.filePath(name);
        image.save(path);
        return path;
    }

    // Chooses a picture with the group's "Load" button.
    void SetScreenPicture(const QString &path)
    {
        Dialogs.FileNames = QStringList{path};
        Screen.ChangeScreenBackImageButton->click();
    }
    void SetRichPicture(const QString &path)
    {
        Dialogs.FileNames = QStringList{path};
        Rich.ChangeRichBackImageButton->click();
    }

    QImage Window() { return Form.grab().toImage(); }
    // The window without the labels over the screen.
    QImage WindowUnderLabels()
    {
        for (QLabel *label : Labels())
            label->hide();
        const QImage window = Window();
        for (QLabel *label : Labels())
            label->show();
        return window;
    }
    QList<QLabel *> Labels() const { return {Form.CurrentFileInfoLabel, Form.HintLabel, Form.ClockLabel}; }
    double BodyContrast()
    {
        const QImage box = Box();
        return ContrastRatio(Form.RichEdit->palette().color(QPalette::Text), MeanColor(box, box.rect()));
    }
    QPushButton *SchemeButton(TColorSchemeKind kind) const
    {
        const Ui::ProfileColorsTabSheet &page = Form.ProfileColorsTabSheet->Form;
        switch (kind) {
        case TColorSchemeKind::LowStrain: return page.SetLowStrainColorsButton;
        case TColorSchemeKind::LowLight: return page.SetLowLightColorsButton;
        case TColorSchemeKind::HighLight: break;
        }
        return page.SetHighLightColorsButton;
    }
    QImage Box() { return Form.RichEdit->viewport()->grab().toImage(); }
    // A point of the screen left of the rich-box, clear of the sidebar.
    QPoint ScreenPoint() const { return QPoint(Form.RichEdit->x() - 5, Form.height() / 2); }

    QTemporaryDir Dir;
    TReportRecorder Reports;
    Ui::ScreenBackImageGroupBox &Screen;
    Ui::RichBackImageGroupBox &Rich;
    TProfileColorsTabSheet &Colors;
};

} // namespace

class TestAppearanceWindow : public QObject {
    Q_OBJECT
private slots:
    void ScreenPictureAroundThePage();
    void RichPictureUnderTheText();
    void TransparentBoxShowsTheScreenUnderIt();
    void TransparentWithoutScreenPictureShowsTheBackColour();
    void FrameOutsideTheBoxInTheForeColour();
    void UndecodablePictureReportedOnceAndBackColourShown();
    void LoadButtonStartsWhereTheModifiersSay_data();
    void LoadButtonStartsWhereTheModifiersSay();
    void RunOpensThePicture();
    void SchemeRecoloursAndKeepsTheModifiedFlag_data();
    void SchemeRecoloursAndKeepsTheModifiedFlag();
    void PanelButtons();
    void SchemeKeepsTheTextReadableOnTheRichPicture_data();
    void SchemeKeepsTheTextReadableOnTheRichPicture();
    void SchemeTurnsOffARichPictureNoFadeServes();
    void SchemeFadesTheCentreOfATransparentBox();
    void SchemeEndsATransparencyNoFadeServes();
    void LabelsReadableOverThePictureAtAnyFade_data();
    void LabelsReadableOverThePictureAtAnyFade();
    void DisabledCaptionsAndLinksRead_data();
    void DisabledCaptionsAndLinksRead();
};

void TestAppearanceWindow::ScreenPictureAroundThePage()
{
    TAppearanceFixture fx;
    QVERIFY(fx.Exposed);
    const QString red = fx.Picture(QStringLiteral("red.png"), qRgb(200, 0, 0));
    fx.SetScreenPicture(red);
    QCOMPARE(fx.Screen.TitleScreenBackImageEdit->text(), red); // outside both directories: the full path
    QCOMPARE(fx.Window().pixel(fx.ScreenPoint()), qRgb(200, 0, 0));
    QCOMPARE(fx.Window().pixel(3, fx.Form.height() - 3), qRgb(200, 0, 0)); // tiled to the corners

    fx.Screen.FadeScreenBackImageComboBox->setCurrentText(QStringLiteral("50"));
    QVERIFY(qAbs(qRed(fx.Window().pixel(fx.ScreenPoint())) - 100) <= 1);
    fx.Screen.UseScreenBackImageCheckBox->setChecked(false);
    QCOMPARE(fx.Window().pixel(fx.ScreenPoint()), QColor(Qt::white).rgb()); // the screen back colour
}

void TestAppearanceWindow::RichPictureUnderTheText()
{
    TAppearanceFixture fx;
    fx.Load(QStringList{QStringLiteral("One short line.")});
    fx.SetRichPicture(fx.Picture(QStringLiteral("blue.bmp"), qRgb(0, 0, 180), QSize(7, 5)));
    const QImage box = fx.Box();
    QCOMPARE(box.pixel(box.width() - 2, box.height() - 2), qRgb(0, 0, 180)); // tiled to the far corner
    fx.Rich.UseRichBackImageCheckBox->setChecked(false);
    QCOMPARE(fx.Box().pixel(box.width() - 2, box.height() - 2), QColor(Qt::white).rgb());
}

void TestAppearanceWindow::TransparentBoxShowsTheScreenUnderIt()
{
    TAppearanceFixture fx;
    // A picture whose pixels differ everywhere, so a misplaced piece shows.
    QImage gradient(1000, 800, QImage::Format_RGB32);
    for (int y = 0; y < 800; ++y)
        for (int x = 0; x < 1000; ++x)
            gradient.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 40 + (y / 256)));
    const QString path = fx.Dir.filePath(QStringLiteral("gradient.png"));
    QVERIFY(gradient.save(path));
    fx.SetScreenPicture(path);
    fx.SetRichPicture(fx.Picture(QStringLiteral("blue.png"), qRgb(0, 0, 180)));
    fx.Rich.TransparentRichBackCheckBox->setChecked(true);
    const QPoint at = fx.Form.RichEdit->viewport()->mapTo(&fx.Form, QPoint(0, 0));
    const QImage box = fx.Box();
    for (const QPoint &p : {QPoint(1, 1), QPoint(box.width() - 2, box.height() - 2)})
        QCOMPARE(box.pixel(p), gradient.pixel(at + p)); // "Fade center" 0: exactly the screen behind
    fx.Screen.FadeCenterScreenBackImageComboBox->setCurrentText(QStringLiteral("100"));
    QCOMPARE(fx.Box().pixel(1, 1), qRgb(0, 0, 0));
}

void TestAppearanceWindow::TransparentWithoutScreenPictureShowsTheBackColour()
{
    TAppearanceFixture fx;
    fx.SetRichPicture(fx.Picture(QStringLiteral("blue.png"), qRgb(0, 0, 180)));
    fx.Rich.TransparentRichBackCheckBox->setChecked(true);
    fx.Colors.SetColorPanel(crRichBoxBack, 0x3366CC);
    fx.Form.RichEdit->viewport()->repaint();
    QCOMPARE(fx.Box().pixel(2, 2), Rgb(0x3366CC));
}

void TestAppearanceWindow::FrameOutsideTheBoxInTheForeColour()
{
    TAppearanceFixture fx;
    const QRect box = fx.Form.RichEdit->geometry();
    const QPoint left(box.x() - 1, box.y() + box.height() / 2), right(box.right() + 1, box.y() + 5),
        top(box.x() + 20, box.y() - 1), bottom(box.x() + 20, box.bottom() + 1);
    fx.Rich.ShowFrameCheckBox->setChecked(true);
    QImage window = fx.Window();
    for (const QPoint &p : {left, right, top, bottom})
        QCOMPARE(window.pixel(p), qRgb(0, 0, 0));
    QCOMPARE(window.pixel(box.x() - 2, box.y() + 10), QColor(Qt::white).rgb()); // one pixel wide
    fx.Rich.ShowFrameCheckBox->setChecked(false);
    QCOMPARE(fx.Window().pixel(left), QColor(Qt::white).rgb());
}

void TestAppearanceWindow::UndecodablePictureReportedOnceAndBackColourShown()
{
    TAppearanceFixture fx;
    fx.SetScreenPicture(fx.Picture(QStringLiteral("red.png"), qRgb(200, 0, 0)));
    const QString words = fx.Dir.filePath(QStringLiteral("words.jpg"));
    QFile file(words);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Not a picture at all, only words.\n");
    file.close();
    fx.SetScreenPicture(words);
    QCOMPARE(fx.Reports.Messages, QStringList{QStringLiteral("Failed to load image.")});
    QCOMPARE(fx.Window().pixel(fx.ScreenPoint()), QColor(Qt::white).rgb());
    // Resizes rebuild, but the same broken picture is not reported again.
    fx.Form.resize(900, 700);
    fx.Form.resize(1000, 800);
    QCOMPARE(fx.Reports.Messages.size(), 1);
}

void TestAppearanceWindow::LoadButtonStartsWhereTheModifiersSay_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("start");
    QTest::newRow("no modifier: the current picture") << Qt::KeyboardModifiers() << "@/current.png";
    QTest::newRow("Ctrl: the background-images directory")
        << Qt::KeyboardModifiers(Qt::ControlModifier) << "%BackImages/*";
    QTest::newRow("Shift: the book's directory") << Qt::KeyboardModifiers(Qt::ShiftModifier) << "@/*";
    QTest::newRow("Ctrl and Shift: the current picture")
        << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier) << "@/current.png";
}

void TestAppearanceWindow::LoadButtonStartsWhereTheModifiersSay()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, start);
    TAppearanceFixture fx;
    fx.SetScreenPicture(fx.Picture(QStringLiteral("current.png"), qRgb(1, 2, 3)));
    fx.Form.CurrentBookPath = fx.Dir.filePath(QStringLiteral("book.txt"));
    fx.Dialogs.FileDialogs.clear();
    fx.Dialogs.FileNames.clear(); // cancelled: nothing changes
    QTest::mouseClick(fx.Screen.ChangeScreenBackImageButton, Qt::LeftButton, modifiers);
    QCOMPARE(fx.Dialogs.FileDialogs.size(), 1);
    start.replace(QLatin1Char('@'), fx.Dir.path()).replace(QLatin1Char('%'), GetProgramDirectory());
    QCOMPARE(fx.Dialogs.FileDialogs.first().FileName, start);
    QVERIFY(fx.Dialogs.FileDialogs.first().Filter.startsWith(QLatin1String("Images (*.")));
    QCOMPARE(fx.Screen.TitleScreenBackImageEdit->text(), fx.Dir.filePath(QStringLiteral("current.png")));
}

void TestAppearanceWindow::RunOpensThePicture()
{
    TAppearanceFixture fx;
    TScopedRecordingShell shell;
    const QString path = fx.Picture(QStringLiteral("sky.png"), qRgb(90, 140, 220));
    fx.SetRichPicture(path);
    fx.Rich.RunRichBackImageButton->click();
    QCOMPARE(shell.Urls, QList<QUrl>{QUrl::fromLocalFile(path)});
    shell.Result = false;
    fx.Screen.RunScreenBackImageButton->click(); // no screen picture: nothing to open
    QCOMPARE(fx.Reports.Messages.last(), QStringLiteral("Failed to run image."));
}

void TestAppearanceWindow::SchemeRecoloursAndKeepsTheModifiedFlag_data()
{
    QTest::addColumn<bool>("edited");
    QTest::newRow("edited book") << true;
    QTest::newRow("book as loaded") << false;
}

void TestAppearanceWindow::SchemeRecoloursAndKeepsTheModifiedFlag()
{
    QFETCH(bool, edited);
    TAppearanceFixture fx;
    fx.Load(QStringList{QStringLiteral("She said \"come in\" and left."), QString(),
                        QStringLiteral("Plain words follow here.")});
    fx.Form.SetRichEditModified(edited);
    fx.Form.ProfileColorsTabSheet->Form.SetLowLightColorsButton->click();
    QCOMPARE(fx.Form.IsRichEditModified(), edited);
    const TColorScheme &lowLight = ColorScheme(TColorSchemeKind::LowLight);
    QCOMPARE(TextColorOf(fx.Form.RichEdit, QStringLiteral("Plain")).rgb(), Rgb(lowLight.at(crRichBoxFore)));
    QCOMPARE(TextColorOf(fx.Form.RichEdit, QStringLiteral("come")).rgb(), Rgb(lowLight.at(crEmpha)));
    QCOMPARE(fx.Form.palette().color(QPalette::Window).rgb(), Rgb(lowLight.at(crScreenBack)));
    QCOMPARE(fx.Form.ClockLabel->palette().color(QPalette::WindowText).rgb(), Rgb(lowLight.at(crScreenFore)));
    QCOMPARE(fx.Box().pixel(fx.Box().width() - 3, fx.Box().height() - 3), Rgb(lowLight.at(crRichBoxBack)));
    // A new emphasis colour recolours the quotes only, and is no edit either.
    fx.Dialogs.ColorAnswers = {0x00FF00};
    QTest::mouseClick(fx.Colors.Panel(crEmpha), Qt::LeftButton);
    QCOMPARE(TextColorOf(fx.Form.RichEdit, QStringLiteral("come")).rgb(), qRgb(0, 255, 0));
    QCOMPARE(TextColorOf(fx.Form.RichEdit, QStringLiteral("Plain")).rgb(), Rgb(lowLight.at(crRichBoxFore)));
    QCOMPARE(fx.Form.IsRichEditModified(), edited);
}

void TestAppearanceWindow::PanelButtons()
{
    TAppearanceFixture fx;
    TColorPanel *back = fx.Colors.Panel(crScreenBack);
    fx.Form.ProfileColorsTabSheet->Form.SetLowStrainColorsButton->click();
    const TColorScheme &lowStrain = ColorScheme(TColorSchemeKind::LowStrain);
    QCOMPARE(back->Color(), lowStrain.at(crScreenBack));
    // The browser's and the converter's lists take the colours too.
    const TBrowserColors &browser = fx.Form.ProgramOpenTabSheet->Form.BrowserGroupBox->Colors();
    QCOMPARE(browser.ScreenBack.rgb(), Rgb(lowStrain.at(crScreenBack)));
    QCOMPARE(browser.DirTypeBack.rgb(), Rgb(lowStrain.at(crDirTypeBack)));
    QCOMPARE(fx.Form.ConvertMeasureTabSheet->Form.MiscMemo->palette().color(QPalette::Base).rgb(),
             Rgb(lowStrain.at(crScreenBack)));
    QTest::mouseClick(fx.Colors.Panel(crBrowserFocusFore), Qt::MiddleButton);
    QCOMPARE(browser.FocusFore.rgb(), qRgb(255, 255, 255));

    // Left: the stock-colour dialog, right: the system's; a cancel changes nothing.
    fx.Dialogs.ColorAnswers = {0x0032FF};
    QTest::mouseClick(back, Qt::LeftButton);
    QTest::mouseClick(back, Qt::RightButton);
    QCOMPARE(fx.Dialogs.ColorDialogs.size(), 2);
    QCOMPARE(fx.Dialogs.ColorDialogs.at(0).first, TColorDialogKind::Stock);
    QCOMPARE(fx.Dialogs.ColorDialogs.at(1).first, TColorDialogKind::System);
    QCOMPARE(fx.Dialogs.ColorDialogs.at(1).second, TColor(0x0032FF)); // starts at the current colour
    QCOMPARE(back->Color(), TColor(0x0032FF));
    QVERIFY(back->statusTip().startsWith(QLatin1String("Pastel Red (RGB 255-50-0; Decimal = 16724480;")));
    QVERIFY(back->statusTip().endsWith(QLatin1String("Middle click it to set the default color.")));
    QCOMPARE(fx.Form.palette().color(QPalette::Window).rgb(), qRgb(255, 50, 0));

    // Middle: the "High light" colour of the role, whatever the scheme.
    QTest::mouseClick(back, Qt::MiddleButton);
    QCOMPARE(back->Color(), TColor(0xFFFFFF));
    QCOMPARE(fx.Form.palette().color(QPalette::Window).rgb(), qRgb(255, 255, 255));
    QVERIFY(back->statusTip().startsWith(QLatin1String("White (RGB 255-255-255;")));
    QTest::mouseClick(fx.Colors.Panel(crRichBoxFore), Qt::MiddleButton);
    QCOMPARE(fx.Colors.Color(crRichBoxFore), TColor(0));
}

// The colours of paper, and of a dark picture no fade lightens.
const QRgb Paper = qRgb(242, 236, 222);
const QRgb Dusk = qRgb(60, 60, 60);

void TestAppearanceWindow::SchemeKeepsTheTextReadableOnTheRichPicture_data()
{
    QTest::addColumn<TColorSchemeKind>("kind");
    QTest::addColumn<QString>("fade");
    QTest::addColumn<QString>("fitted");
    // A fade under which the text reads stays; else the weakest fade under
    // which it reads comfortably.
    QTest::newRow("High light at 0") << TColorSchemeKind::HighLight << "0"
                                     << "0";
    QTest::newRow("High light at 80") << TColorSchemeKind::HighLight << "80"
                                      << "0";
    QTest::newRow("Low strain at 0") << TColorSchemeKind::LowStrain << "0"
                                     << "70";
    QTest::newRow("Low strain at 90") << TColorSchemeKind::LowStrain << "90"
                                      << "90";
    QTest::newRow("Low light at 0") << TColorSchemeKind::LowLight << "0"
                                    << "90";
    QTest::newRow("Low light at 80") << TColorSchemeKind::LowLight << "80"
                                     << "80";
}

void TestAppearanceWindow::SchemeKeepsTheTextReadableOnTheRichPicture()
{
    QFETCH(TColorSchemeKind, kind);
    QFETCH(QString, fade);
    QFETCH(QString, fitted);
    TAppearanceFixture fx;
    fx.SetRichPicture(fx.Picture(QStringLiteral("paper.png"), Paper));
    fx.Rich.FadeRichBackImageComboBox->setCurrentText(fade);
    fx.SchemeButton(kind)->click();
    QCOMPARE(fx.Rich.FadeRichBackImageComboBox->currentText(), fitted);
    QCOMPARE(fx.Rich.GammaRichBackImageComboBox->currentText(), QStringLiteral("100"));
    QVERIFY(fx.Rich.UseRichBackImageCheckBox->isChecked());
    QVERIFY2(fx.BodyContrast() >= ReadableContrast, qPrintable(QString::number(fx.BodyContrast())));
}

void TestAppearanceWindow::SchemeTurnsOffARichPictureNoFadeServes()
{
    TAppearanceFixture fx;
    fx.SetRichPicture(fx.Picture(QStringLiteral("dusk.png"), Dusk));
    fx.Rich.FadeRichBackImageComboBox->setCurrentText(QStringLiteral("20"));
    fx.SchemeButton(TColorSchemeKind::HighLight)->click();
    QVERIFY(!fx.Rich.UseRichBackImageCheckBox->isChecked());
    QCOMPARE(fx.Rich.FadeRichBackImageComboBox->currentText(), QStringLiteral("20")); // the reader's, for later
    QCOMPARE(fx.Box().pixel(3, 3), QColor(Qt::white).rgb()); // the scheme's back colour
    // Light text reads on it: the picture is used again.
    fx.Rich.UseRichBackImageCheckBox->setChecked(true);
    fx.SchemeButton(TColorSchemeKind::LowLight)->click();
    QVERIFY(fx.Rich.UseRichBackImageCheckBox->isChecked());
    QVERIFY(fx.BodyContrast() >= ReadableContrast);
}

void TestAppearanceWindow::SchemeFadesTheCentreOfATransparentBox()
{
    TAppearanceFixture fx;
    fx.SetScreenPicture(fx.Picture(QStringLiteral("paper.png"), Paper));
    fx.SetRichPicture(fx.Picture(QStringLiteral("white.png"), qRgb(255, 255, 255)));
    fx.Rich.TransparentRichBackCheckBox->setChecked(true);
    fx.SchemeButton(TColorSchemeKind::LowLight)->click();
    QVERIFY(fx.Rich.TransparentRichBackCheckBox->isChecked());
    QCOMPARE(fx.Screen.FadeCenterScreenBackImageComboBox->currentText(), QStringLiteral("90"));
    // The labels' colour reads on the screen around the box as well.
    QCOMPARE(fx.Screen.FadeScreenBackImageComboBox->currentText(), QStringLiteral("90"));
    QVERIFY(fx.BodyContrast() >= ReadableContrast);
    QCOMPARE(fx.Rich.FadeRichBackImageComboBox->currentText(), QStringLiteral("0")); // not shown, not changed
}

void TestAppearanceWindow::SchemeEndsATransparencyNoFadeServes()
{
    TAppearanceFixture fx;
    fx.SetScreenPicture(fx.Picture(QStringLiteral("dusk.png"), Dusk));
    fx.SetRichPicture(fx.Picture(QStringLiteral("paper.png"), Paper));
    fx.Rich.TransparentRichBackCheckBox->setChecked(true);
    fx.Rich.FadeRichBackImageComboBox->setCurrentText(QStringLiteral("80"));
    fx.SchemeButton(TColorSchemeKind::HighLight)->click();
    QVERIFY(!fx.Rich.TransparentRichBackCheckBox->isChecked());
    // The rich-box picture shows instead, unfaded so that the text reads.
    QCOMPARE(fx.Rich.FadeRichBackImageComboBox->currentText(), QStringLiteral("0"));
    QVERIFY(fx.BodyContrast() >= ReadableContrast);
}

void TestAppearanceWindow::LabelsReadableOverThePictureAtAnyFade_data()
{
    QTest::addColumn<TColorSchemeKind>("kind");
    for (const auto &[name, kind] :
         {std::pair{"High light", TColorSchemeKind::HighLight}, std::pair{"Low strain", TColorSchemeKind::LowStrain},
          std::pair{"Low light", TColorSchemeKind::LowLight}})
        QTest::newRow(name) << kind;
}

void TestAppearanceWindow::LabelsReadableOverThePictureAtAnyFade()
{
    QFETCH(TColorSchemeKind, kind);
    TAppearanceFixture fx;
    fx.Form.CurrentFileInfoLabel->setText(QStringLiteral("Tale.txt"));
    fx.SetScreenPicture(fx.Picture(QStringLiteral("paper.png"), Paper));
    fx.SchemeButton(kind)->click();
    const QColor fore = ToQColor(ColorScheme(kind).at(crScreenFore));
    for (const char *fade : {"0", "30", "50", "80", "100"}) {
        fx.Screen.FadeScreenBackImageComboBox->setCurrentText(QLatin1String(fade));
        const QImage window = fx.WindowUnderLabels();
        for (QLabel *label : fx.Labels()) {
            const QColor color = label->palette().color(QPalette::WindowText);
            const double contrast = ContrastRatio(color, MeanColor(window, label->geometry()));
            QVERIFY2(contrast >= ReadableContrast,
                     qPrintable(QStringLiteral("%1 at fade %2: %3").arg(label->objectName(), fade).arg(contrast)));
            // A colour of its own reads comfortably, or is as far as it goes.
            if (color != fore)
                QVERIFY(contrast >= ComfortableContrast - 0.05 || color == Qt::white || color == Qt::black);
            auto *outline = qobject_cast<QGraphicsDropShadowEffect *>(label->graphicsEffect());
            QVERIFY(outline && outline->isEnabled());
            QCOMPARE(outline->color(), OutlineColor(color));
        }
    }
    // On the plain screen colour the labels take the scheme's colour as it is.
    fx.Screen.UseScreenBackImageCheckBox->setChecked(false);
    for (QLabel *label : fx.Labels()) {
        QCOMPARE(label->palette().color(QPalette::WindowText), fore);
        QVERIFY(!label->graphicsEffect()->isEnabled());
    }
}

void TestAppearanceWindow::DisabledCaptionsAndLinksRead_data() { LabelsReadableOverThePictureAtAnyFade_data(); }

void TestAppearanceWindow::DisabledCaptionsAndLinksRead()
{
    QFETCH(TColorSchemeKind, kind);
    TAppearanceFixture fx;
    fx.SetRichPicture(fx.Picture(QStringLiteral("paper.png"), Paper));
    fx.SchemeButton(kind)->click();
    // "Text is poorly written" while the reader decides.
    QCheckBox *poorly = fx.Form.ProfileGeneralTabSheet->Form.PoorlyWrittenCheckBox;
    QVERIFY(!poorly->isEnabled());
    const QPalette sidebar = poorly->palette();
    QVERIFY(ContrastRatio(sidebar.color(QPalette::Disabled, QPalette::WindowText), sidebar.color(QPalette::Window))
            >= DimmedContrast);
    // A web address in the text, on the rich-box picture the scheme faded.
    const QImage box = fx.Box();
    const QColor link = fx.Form.RichEdit->palette().color(QPalette::Link);
    QVERIFY2(ContrastRatio(link, MeanColor(box, box.rect())) >= ReadableContrast, qPrintable(link.name()));
    // The transparent box: the centre of the screen picture.
    fx.SetScreenPicture(fx.Picture(QStringLiteral("dusk.png"), Dusk));
    fx.Rich.TransparentRichBackCheckBox->setChecked(true);
    QVERIFY(ContrastRatio(fx.Form.RichEdit->palette().color(QPalette::Link), QColor(Dusk)) >= ReadableContrast);
}

QTEST_MAIN(TestAppearanceWindow)
#include "test_appearance_window.moc"
