#include "ProfileGeneralTabSheet.h"

#include "BookText.h"
#include "ConvertOptions.h"
#include "Profile.h"
#include "WidgetUtilities.h"

TProfileGeneralTabSheet::TProfileGeneralTabSheet(QWidget *parent) : QWidget(parent)
{
    Form.setupUi(this);
    Form.EncodingComboBox->addItems(EncodingChoices());
    connect(Form.DetectTextLayoutCheckBox, &QCheckBox::toggled, this,
            &TProfileGeneralTabSheet::DetectTextLayoutCheckBoxClick);
    DetectTextLayoutCheckBoxClick();
}

void TProfileGeneralTabSheet::ReadEnhanceOptions(TBookFormatOptions &options) const
{
    options.DetectTextLayout = Form.DetectTextLayoutCheckBox->isChecked();
    options.PoorlyWritten = Form.PoorlyWrittenCheckBox->isChecked();
    options.IgnoreEmptyLines = Form.IgnoreEmptyLinesCheckBox->isChecked();
    options.CheckHyphens = Form.CheckHyphensCheckBox->isChecked();
    options.SmartChapters = Form.SmartChaptersCheckBox->isChecked();
    options.WholeBookPieces = Form.WholeBookPiecesCheckBox->isChecked();
}

bool TProfileGeneralTabSheet::EnhanceText() const { return Form.EnhanceTextCheckBox->isChecked(); }

void TProfileGeneralTabSheet::ShowEnhanceProfile(const TProfile &profile)
{
    Form.EnhanceTextCheckBox->setChecked(profile.EnhanceText);
    Form.DetectTextLayoutCheckBox->setChecked(profile.DetectTextLayout);
    Form.PoorlyWrittenCheckBox->setChecked(profile.PoorlyWritten);
    Form.IgnoreEmptyLinesCheckBox->setChecked(profile.IgnoreEmptyLines);
    Form.CheckHyphensCheckBox->setChecked(profile.CheckHyphens);
    Form.SmartChaptersCheckBox->setChecked(profile.SmartChapters);
    Form.WholeBookPiecesCheckBox->setChecked(profile.WholeBookPieces);
    if (SelectComboBoxItem(Form.EncodingComboBox, profile.Encoding) < 0)
        Form.EncodingComboBox->setCurrentIndex(0);
    RememberEncoding();
}

void TProfileGeneralTabSheet::ReadEnhanceProfile(TProfile &profile) const
{
    profile.EnhanceText = Form.EnhanceTextCheckBox->isChecked();
    profile.DetectTextLayout = Form.DetectTextLayoutCheckBox->isChecked();
    profile.PoorlyWritten = Form.PoorlyWrittenCheckBox->isChecked();
    profile.IgnoreEmptyLines = Form.IgnoreEmptyLinesCheckBox->isChecked();
    profile.CheckHyphens = Form.CheckHyphensCheckBox->isChecked();
    profile.SmartChapters = Form.SmartChaptersCheckBox->isChecked();
    profile.WholeBookPieces = Form.WholeBookPiecesCheckBox->isChecked();
    profile.Encoding = Encoding();
}

QString TProfileGeneralTabSheet::Encoding() const { return Form.EncodingComboBox->currentText(); }

void TProfileGeneralTabSheet::RememberEncoding() { EncodingIndex = Form.EncodingComboBox->currentIndex(); }

void TProfileGeneralTabSheet::RestoreEncoding() { Form.EncodingComboBox->setCurrentIndex(EncodingIndex); }

void TProfileGeneralTabSheet::DetectTextLayoutCheckBoxClick()
{
    Form.PoorlyWrittenCheckBox->setEnabled(!Form.DetectTextLayoutCheckBox->isChecked());
}
