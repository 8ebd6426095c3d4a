// The "Book" group of the sidebar's "Open" page: the labels that describe
// the open book. Later features add their controls to this group.
#pragma once

#include <QGroupBox>

#include "ui_BookGroupBox.h"

class TBookGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TBookGroupBox(QWidget *parent = nullptr);
    Ui::BookGroupBox Form;
};
