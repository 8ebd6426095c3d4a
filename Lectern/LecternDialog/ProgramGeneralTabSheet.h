// The sidebar's "General" page of program options.
#pragma once

#include <QWidget>

#include "ui_ProgramGeneralTabSheet.h"

class TProgramGeneralTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TProgramGeneralTabSheet(QWidget *parent = nullptr);
    Ui::ProgramGeneralTabSheet Form;
    // The piece sizes offered, 10000 .. 500000, with 50000 chosen.
    void FillPieceSizes();
    // Lines per wheel step: 1 .. 10, 15, 20, the system's own value chosen.
    void FillWheelScrollLines();
    // Chooses a number of wheel lines; one the list lacks (an edited
    // settings file) is added to it.
    void SetWheelScrollLines(const QString &text);
};
