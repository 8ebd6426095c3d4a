#include "ProfileGeneralTabSheet.h"

#include "ConvertOptions.h"

TProfileGeneralTabSheet::TProfileGeneralTabSheet(QWidget *parent) : QWidget(parent) { Form.setupUi(this); }

void TProfileGeneralTabSheet::ReadEnhanceOptions(TBookFormatOptions &options) const
{
    options.PoorlyWritten = Form.PoorlyWrittenCheckBox->isChecked();
    options.IgnoreEmptyLines = Form.IgnoreEmptyLinesCheckBox->isChecked();
}

bool TProfileGeneralTabSheet::EnhanceText() const { return Form.EnhanceTextCheckBox->isChecked(); }
