#include "ProgramGeneralTabSheet.h"

#include <QApplication>

TProgramGeneralTabSheet::TProgramGeneralTabSheet(QWidget *parent) : QWidget(parent)
{
    Form.setupUi(this);
    FillWheelScrollLines();
}

void TProgramGeneralTabSheet::FillWheelScrollLines()
{
    QComboBox *combo = Form.WheelScrollLinesComboBox;
    combo->clear();
    for (int lines : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 20})
        combo->addItem(QString::number(lines));
    SetWheelScrollLines(QString::number(QApplication::wheelScrollLines()));
}

void TProgramGeneralTabSheet::SetWheelScrollLines(const QString &text)
{
    QComboBox *combo = Form.WheelScrollLinesComboBox;
    if (combo->findText(text) < 0)
        combo->addItem(text);
    combo->setCurrentText(text);
}
