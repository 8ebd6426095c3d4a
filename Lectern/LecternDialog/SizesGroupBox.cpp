#include "SizesGroupBox.h"

#include "TextParsers.h"

namespace {

void FillCombo(QComboBox *combo, int first, int last, int step, int current)
{
    for (int v = first; v <= last; v += step)
        combo->addItem(QString::number(v));
    combo->setCurrentText(QString::number(current));
}

} // namespace

TSizesGroupBox::TSizesGroupBox(QWidget *parent) : QGroupBox(parent)
{
    Form.setupUi(this);
    FillCombo(Form.RichBoxWidthPercentComboBox, 20, 95, 5, 45);
    FillCombo(Form.RichBoxTopPercentComboBox, 5, 15, 1, 10);
    FillCombo(Form.RichBoxBottomPercentComboBox, 10, 25, 1, 15);
    for (QComboBox *combo :
         {Form.RichBoxWidthPercentComboBox, Form.RichBoxTopPercentComboBox, Form.RichBoxBottomPercentComboBox})
        connect(combo, &QComboBox::currentTextChanged, this, &TSizesGroupBox::SizesChanged);
}

int TSizesGroupBox::RichBoxWidthPercent() const
{
    return GetIntFromText(Form.RichBoxWidthPercentComboBox->currentText(), 20, 100, 45);
}

int TSizesGroupBox::RichBoxTopPercent() const
{
    return GetIntFromText(Form.RichBoxTopPercentComboBox->currentText(), 5, 15, 10);
}

int TSizesGroupBox::RichBoxBottomPercent() const
{
    return GetIntFromText(Form.RichBoxBottomPercentComboBox->currentText(), 10, 25, 15);
}
