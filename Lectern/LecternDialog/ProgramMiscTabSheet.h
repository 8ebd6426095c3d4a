// The sidebar's "Misc" page of program options: printing and system
// integration.
#pragma once

#include <QWidget>

#include "ui_ProgramMiscTabSheet.h"

class TProgramMiscTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TProgramMiscTabSheet(QWidget *parent = nullptr);
    Ui::ProgramMiscTabSheet Form;
};
