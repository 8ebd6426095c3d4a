#include "RichBackImageGroupBox.h"

#include "Profile.h"
#include "ScreenBackImageGroupBox.h"

#include <QSignalBlocker>

TRichBackImageGroupBox::TRichBackImageGroupBox(QWidget *parent) : QGroupBox(parent)
{
    Form.setupUi(this);
    Form.FadeRichBackImageComboBox->addItems(FadeItems());
    Form.GammaRichBackImageComboBox->addItems(GammaItems());
    ShowProfile(TProfile());
}

TRichBackOptions TRichBackImageGroupBox::Options() const
{
    TRichBackOptions options;
    options.Stretch = Form.StretchRichBackImageCheckBox->isChecked();
    options.Fade = FadeFromCombo(Form.FadeRichBackImageComboBox);
    options.Gamma = GammaFromCombo(Form.GammaRichBackImageComboBox);
    return options;
}

bool TRichBackImageGroupBox::UseRichBackImage() const { return Form.UseRichBackImageCheckBox->isChecked(); }

bool TRichBackImageGroupBox::TransparentRichBack() const { return Form.TransparentRichBackCheckBox->isChecked(); }

bool TRichBackImageGroupBox::ShowFrame() const { return Form.ShowFrameCheckBox->isChecked(); }

QString TRichBackImageGroupBox::Title() const { return Form.TitleRichBackImageEdit->text(); }

void TRichBackImageGroupBox::SetTitle(const QString &title)
{
    Form.TitleRichBackImageEdit->setText(title);
    Form.TitleRichBackImageEdit->setCursorPosition(0);
}

void TRichBackImageGroupBox::SetAdjustment(int fade, int gamma)
{
    const QSignalBlocker fadeBlocker(Form.FadeRichBackImageComboBox);
    const QSignalBlocker gammaBlocker(Form.GammaRichBackImageComboBox);
    SelectNumberItem(Form.FadeRichBackImageComboBox, fade);
    SelectNumberItem(Form.GammaRichBackImageComboBox, gamma);
}

void TRichBackImageGroupBox::SetUseRichBackImage(bool use)
{
    const QSignalBlocker blocker(Form.UseRichBackImageCheckBox);
    Form.UseRichBackImageCheckBox->setChecked(use);
}

void TRichBackImageGroupBox::SetTransparentRichBack(bool transparent)
{
    const QSignalBlocker blocker(Form.TransparentRichBackCheckBox);
    Form.TransparentRichBackCheckBox->setChecked(transparent);
}

void TRichBackImageGroupBox::ShowProfile(const TProfile &profile)
{
    Form.UseRichBackImageCheckBox->setChecked(profile.UseRichBackImage);
    Form.StretchRichBackImageCheckBox->setChecked(profile.StretchRichBackImage);
    SelectNumberItem(Form.FadeRichBackImageComboBox, profile.FadeRichBackImage);
    SelectNumberItem(Form.GammaRichBackImageComboBox, profile.GammaRichBackImage);
    SetTitle(profile.TitleRichBackImage);
    Form.TransparentRichBackCheckBox->setChecked(profile.TransparentRichBack);
    Form.ShowFrameCheckBox->setChecked(profile.ShowRichBoxFrame);
}

void TRichBackImageGroupBox::ReadProfile(TProfile &profile) const
{
    const TRichBackOptions options = Options();
    profile.UseRichBackImage = UseRichBackImage();
    profile.StretchRichBackImage = options.Stretch;
    profile.FadeRichBackImage = options.Fade;
    profile.GammaRichBackImage = options.Gamma;
    profile.TitleRichBackImage = Title();
    profile.TransparentRichBack = TransparentRichBack();
    profile.ShowRichBoxFrame = ShowFrame();
}
