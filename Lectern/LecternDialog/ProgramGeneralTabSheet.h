// The sidebar's "General" page of program options.
#pragma once

#include <QWidget>

#include "ui_ProgramGeneralTabSheet.h"

class TProgramGeneralTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TProgramGeneralTabSheet(QWidget *parent = nullptr);
    Ui::ProgramGeneralTabSheet Form;
};
