#include "ProgramMiscTabSheet.h"

const QString TProgramMiscTabSheet::DetectRichEdit3Hint = QStringLiteral(
    "Indicates if Rich-edit 3 is installed or not on your system. If it is not installed then some minor features of "
    "the program will not work; in this case check the \"Force Rich-edit 3\" box, reopen the current book and only if "
    "the text looks worse uncheck it back.");

TProgramMiscTabSheet::TProgramMiscTabSheet(QWidget *parent) : QWidget(parent)
{
    Form.setupUi(this);
    Form.DetectRichEdit3Label->setStatusTip(DetectRichEdit3Hint);
    // The reading box always has the extended formats.
    ShowRichEdit3Detected(true);
}

void TProgramMiscTabSheet::ShowRichEdit3Detected(bool detected)
{
    Form.DetectRichEdit3Label->setText(detected ? QStringLiteral("Rich-edit 3 is installed.")
                                                : QStringLiteral("Rich-edit 3 is NOT installed."));
}

bool TProgramMiscTabSheet::ForceRichEdit3() const { return Form.ForceRichEdit3CheckBox->isChecked(); }
