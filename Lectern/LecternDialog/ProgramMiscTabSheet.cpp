#include "ProgramMiscTabSheet.h"

#include "TextParsers.h"

const QString TProgramMiscTabSheet::DetectRichEdit3Hint = QStringLiteral(
    "Indicates if Rich-edit 3 is installed or not on your system. If it is not installed then some minor features of "
    "the program will not work; in this case check the \"Force Rich-edit 3\" box, reopen the current book and only if "
    "the text looks worse uncheck it back.");

TProgramMiscTabSheet::TProgramMiscTabSheet(QWidget *parent) : QWidget(parent)
{
    Form.setupUi(this);
    Form.DetectRichEdit3Label->setStatusTip(DetectRichEdit3Hint);
    // The reading box always has the extended formats, so the detection
    // and its override say nothing to the reader and are not shown; the
    // check box still carries the stored "ForceRichEdit3" setting.
    ShowRichEdit3Detected(true);
    Form.DetectRichEdit3Label->hide();
    Form.ForceRichEdit3CheckBox->hide();
    Form.SystemOptionsGroupBox->hide();
    const QList<QPair<QComboBox *, int>> margins = {{Form.PrintLeftMarginComboBox, 30},
                                                    {Form.PrintRightMarginComboBox, 20},
                                                    {Form.PrintTopMarginComboBox, 20},
                                                    {Form.PrintBottomMarginComboBox, 20}};
    for (const auto &margin : margins) {
        for (int mm = 0; mm <= 50; mm += 5)
            margin.first->addItem(QString::number(mm));
        margin.first->setCurrentText(QString::number(margin.second));
    }
}

void TProgramMiscTabSheet::ShowRichEdit3Detected(bool detected)
{
    Form.DetectRichEdit3Label->setText(detected ? QStringLiteral("Rich-edit 3 is installed.")
                                                : QStringLiteral("Rich-edit 3 is NOT installed."));
}

bool TProgramMiscTabSheet::ForceRichEdit3() const { return Form.ForceRichEdit3CheckBox->isChecked(); }

int TProgramMiscTabSheet::PrintLeftMargin() const
{
    return GetIntFromText(Form.PrintLeftMarginComboBox->currentText(), 0, 50, 30);
}

int TProgramMiscTabSheet::PrintRightMargin() const
{
    return GetIntFromText(Form.PrintRightMarginComboBox->currentText(), 0, 50, 20);
}

int TProgramMiscTabSheet::PrintTopMargin() const
{
    return GetIntFromText(Form.PrintTopMarginComboBox->currentText(), 0, 50, 20);
}

int TProgramMiscTabSheet::PrintBottomMargin() const
{
    return GetIntFromText(Form.PrintBottomMarginComboBox->currentText(), 0, 50, 20);
}
