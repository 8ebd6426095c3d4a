#include "ScreenBackImageGroupBox.h"

#include "Profile.h"
#include "TextParsers.h"

#include <QSignalBlocker>

namespace {

void AddRange(QStringList &items, int first, int last, int step)
{
    for (int v = first; v <= last; v += step)
        items << QString::number(v);
}

} // namespace

QStringList FadeItems()
{
    QStringList items;
    AddRange(items, 0, 30, 5);
    AddRange(items, 40, 100, 10);
    return items;
}

QStringList GammaItems()
{
    QStringList items{QStringLiteral("1")};
    AddRange(items, 5, 30, 5);
    AddRange(items, 40, 200, 10);
    AddRange(items, 250, 500, 50);
    AddRange(items, 600, 1000, 100);
    return items;
}

QStringList FadeCenterItems()
{
    QStringList items;
    AddRange(items, 0, 100, 10);
    return items;
}

void SelectNumberItem(QComboBox *combo, int value) { combo->setCurrentIndex(combo->findText(QString::number(value))); }

QList<int> ItemNumbers(const QStringList &items)
{
    QList<int> numbers;
    for (const QString &item : items)
        numbers << item.toInt();
    return numbers;
}

int FadeFromCombo(const QComboBox *combo) { return GetIntFromText(combo->currentText(), 0, 100, 0); }

int GammaFromCombo(const QComboBox *combo) { return GetIntFromText(combo->currentText(), 1, 1000, 100); }

TScreenBackImageGroupBox::TScreenBackImageGroupBox(QWidget *parent) : QGroupBox(parent)
{
    Form.setupUi(this);
    Form.FadeScreenBackImageComboBox->addItems(FadeItems());
    Form.GammaScreenBackImageComboBox->addItems(GammaItems());
    Form.FadeCenterScreenBackImageComboBox->addItems(FadeCenterItems());
    ShowProfile(TProfile());
}

TScreenBackOptions TScreenBackImageGroupBox::Options() const
{
    TScreenBackOptions options;
    options.Use = Form.UseScreenBackImageCheckBox->isChecked();
    options.Stretch = Form.StretchScreenBackImageCheckBox->isChecked();
    options.Fade = FadeFromCombo(Form.FadeScreenBackImageComboBox);
    options.Gamma = GammaFromCombo(Form.GammaScreenBackImageComboBox);
    options.FadeCenter = FadeFromCombo(Form.FadeCenterScreenBackImageComboBox);
    return options;
}

QString TScreenBackImageGroupBox::Title() const { return Form.TitleScreenBackImageEdit->text(); }

void TScreenBackImageGroupBox::SetTitle(const QString &title)
{
    Form.TitleScreenBackImageEdit->setText(title);
    Form.TitleScreenBackImageEdit->setCursorPosition(0);
}

void TScreenBackImageGroupBox::SetAdjustment(int fade, int gamma, int fadeCenter)
{
    const QSignalBlocker fadeBlocker(Form.FadeScreenBackImageComboBox);
    const QSignalBlocker gammaBlocker(Form.GammaScreenBackImageComboBox);
    const QSignalBlocker centreBlocker(Form.FadeCenterScreenBackImageComboBox);
    SelectNumberItem(Form.FadeScreenBackImageComboBox, fade);
    SelectNumberItem(Form.GammaScreenBackImageComboBox, gamma);
    SelectNumberItem(Form.FadeCenterScreenBackImageComboBox, fadeCenter);
}

void TScreenBackImageGroupBox::ShowProfile(const TProfile &profile)
{
    Form.UseScreenBackImageCheckBox->setChecked(profile.UseScreenBackImage);
    Form.StretchScreenBackImageCheckBox->setChecked(profile.StretchScreenBackImage);
    SelectNumberItem(Form.FadeScreenBackImageComboBox, profile.FadeScreenBackImage);
    SelectNumberItem(Form.GammaScreenBackImageComboBox, profile.GammaScreenBackImage);
    SetTitle(profile.TitleScreenBackImage);
    SelectNumberItem(Form.FadeCenterScreenBackImageComboBox, profile.FadeCenterScreenBackImage);
}

void TScreenBackImageGroupBox::ReadProfile(TProfile &profile) const
{
    const TScreenBackOptions options = Options();
    profile.UseScreenBackImage = options.Use;
    profile.StretchScreenBackImage = options.Stretch;
    profile.FadeScreenBackImage = options.Fade;
    profile.GammaScreenBackImage = options.Gamma;
    profile.TitleScreenBackImage = Title();
    profile.FadeCenterScreenBackImage = options.FadeCenter;
}
