// The sidebar's "Open" page: the open book, the bookshelf and the file browser.
#pragma once

#include <QWidget>

#include "ui_ProgramOpenTabSheet.h"

class TProgramOpenTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TProgramOpenTabSheet(QWidget *parent = nullptr);
    Ui::ProgramOpenTabSheet Form;
};
