#include "ProgramGeneralTabSheet.h"

#include "BookFile.h"

#include <QApplication>

TProgramGeneralTabSheet::TProgramGeneralTabSheet(QWidget *parent) : QWidget(parent)
{
    Form.setupUi(this);
    FillPieceSizes();
    FillWheelScrollLines();
}

void TProgramGeneralTabSheet::FillPieceSizes()
{
    Form.PieceSizeComboBox->clear();
    for (int size : PieceSizeChoices())
        Form.PieceSizeComboBox->addItem(QString::number(size));
    Form.PieceSizeComboBox->setCurrentText(QString::number(DefaultPieceSize));
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
