// How well each colour scheme reads on the default pictures, in the reading
// window at 1280 x 800: the WCAG contrast of the body text colour against
// the mean colour painted under the rich-box, and of each label over the
// screen (book information, hint, clock) against the mean of the screen
// picture under it.
//
// For each scheme (the default profile's colours, "High light", "Low
// strain", "Low light") the reader chooses the scheme and then sets the
// screen picture's fade to 0 and to 80; and once more with a transparent
// rich-box, where the body text lies on the screen picture itself.
#include "BenchCommon.h"
#include "Contrast.h"
#include "Dialogs.h"
#include "LecternForm.h"
#include "ProfileColorsTabSheet.h"
#include "ProfileGeneralTabSheet.h"
#include "RichBackImageGroupBox.h"
#include "RichBox.h"
#include "ScreenBackImageGroupBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct TScheme {
    const char *Name;
    QPushButton *Button; // null: the default profile's colours
};

struct TGoal {
    const char *Name;
    double Least = 1e9;
    int Count = 0;
    int Met = 0;
    void Add(double value)
    {
        Least = std::min(Least, value);
        ++Count;
        Met += value >= ReadableContrast;
    }
    void Print() const
    {
        std::printf("%s: least %.2f, %d of %d at least %.1f (goal: every one ≥ %.1f) %s\n", Name, Least, Met, Count,
                    ReadableContrast, ReadableContrast, Met == Count ? "met" : "NOT MET");
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TScopedRecordingDialogs dialogs;
    const QString pictures = qEnvironmentVariable("LECTERN_PACKAGE") + QStringLiteral("/BackImages/");
    const QString screenPicture = pictures + QStringLiteral("DefaultScreen.bmp");
    const QString richPicture = pictures + QStringLiteral("DefaultRich.bmp");
    if (!QFile::exists(screenPicture) || !QFile::exists(richPicture)) {
        std::fprintf(stderr, "no default pictures in %s (LECTERN_PACKAGE)\n", qPrintable(pictures));
        return 1;
    }

    TLecternForm::FirstActivation = false;
    TLecternForm form;
    form.IsApplicationActive = [] { return true; };
    form.resize(1280, 800);
    form.show();
    form.RichEdit->show(); // empty: only its background is painted
    form.CurrentFileInfoLabel->setText(QStringLiteral("Moby-Dick.txt - 1 of 1 - 1230 KB"));
    QApplication::processEvents();

    const Ui::ScreenBackImageGroupBox &screen = form.ProfileGeneralTabSheet->Form.ScreenBackImageGroupBox->Form;
    const Ui::RichBackImageGroupBox &rich = form.ProfileGeneralTabSheet->Form.RichBackImageGroupBox->Form;
    const Ui::ProfileColorsTabSheet &colors = form.ProfileColorsTabSheet->Form;
    dialogs.FileNames = {screenPicture};
    screen.ChangeScreenBackImageButton->click();
    dialogs.FileNames = {richPicture};
    rich.ChangeRichBackImageButton->click();

    const TScheme schemes[] = {{"default", nullptr},
                               {"high_light", colors.SetHighLightColorsButton},
                               {"low_strain", colors.SetLowStrainColorsButton},
                               {"low_light", colors.SetLowLightColorsButton}};
    QLabel *const labels[] = {form.CurrentFileInfoLabel, form.HintLabel, form.ClockLabel};
    const char *labelNames[] = {"header", "hint", "clock"};

    // The default profile's pictures and colours.
    auto reset = [&] {
        screen.UseScreenBackImageCheckBox->setChecked(true);
        rich.UseRichBackImageCheckBox->setChecked(true);
        rich.TransparentRichBackCheckBox->setChecked(false);
        for (QComboBox *fade : {screen.FadeScreenBackImageComboBox, screen.FadeCenterScreenBackImageComboBox,
                                rich.FadeRichBackImageComboBox})
            fade->setCurrentText(QStringLiteral("0"));
        for (QComboBox *gamma : {screen.GammaScreenBackImageComboBox, rich.GammaRichBackImageComboBox})
            gamma->setCurrentText(QStringLiteral("100"));
        colors.SetHighLightColorsButton->click();
        QApplication::processEvents();
    };
    auto bodyContrast = [&] {
        const QImage box = form.RichEdit->viewport()->grab().toImage();
        const QColor text = form.RichEdit->palette().color(QPalette::Text);
        return ContrastRatio(text, MeanColor(box, box.rect()));
    };
    auto labelContrasts = [&] {
        for (QLabel *label : labels)
            label->hide();
        const QImage window = form.grab().toImage();
        std::vector<double> values;
        for (QLabel *label : labels) {
            label->show();
            values.push_back(
                ContrastRatio(label->palette().color(QPalette::WindowText), MeanColor(window, label->geometry())));
        }
        return values;
    };

    TGoal body{"body_text"}, labelGoal{"labels"};
    for (const TScheme &scheme : schemes) {
        reset();
        if (scheme.Button)
            scheme.Button->click();
        QApplication::processEvents();
        std::printf("%s_chosen: screen fade %s gamma %s, rich-box picture %s fade %s gamma %s\n", scheme.Name,
                    qPrintable(screen.FadeScreenBackImageComboBox->currentText()),
                    qPrintable(screen.GammaScreenBackImageComboBox->currentText()),
                    rich.UseRichBackImageCheckBox->isChecked() ? "on" : "off",
                    qPrintable(rich.FadeRichBackImageComboBox->currentText()),
                    qPrintable(rich.GammaRichBackImageComboBox->currentText()));
        for (const char *fade : {"0", "80"}) {
            screen.FadeScreenBackImageComboBox->setCurrentText(QLatin1String(fade));
            QApplication::processEvents();
            const double b = bodyContrast();
            body.Add(b);
            std::printf("%s_fade%s_body: %.2f\n", scheme.Name, fade, b);
            const std::vector<double> l = labelContrasts();
            for (size_t i = 0; i < l.size(); ++i) {
                labelGoal.Add(l[i]);
                std::printf("%s_fade%s_%s: %.2f\n", scheme.Name, fade, labelNames[i], l[i]);
            }
        }
    }

    // A transparent rich-box: the text over the screen picture's centre.
    TGoal transparent{"transparent_body_text"};
    for (const TScheme &scheme : schemes) {
        reset();
        rich.TransparentRichBackCheckBox->setChecked(true);
        if (scheme.Button)
            scheme.Button->click();
        QApplication::processEvents();
        const double b = bodyContrast();
        transparent.Add(b);
        std::printf("%s_transparent_body: %.2f (fade center %s, %s)\n", scheme.Name, b,
                    qPrintable(screen.FadeCenterScreenBackImageComboBox->currentText()),
                    rich.TransparentRichBackCheckBox->isChecked() ? "transparent" : "transparency off");
    }

    body.Print();
    labelGoal.Print();
    transparent.Print();
    return body.Met == body.Count && labelGoal.Met == labelGoal.Count && transparent.Met == transparent.Count ? 0 : 1;
}
