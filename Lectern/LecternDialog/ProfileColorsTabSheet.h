// The profile's "Colors" page: colour schemes and colour panels.
#pragma once

#include <QWidget>

#include "ui_ProfileColorsTabSheet.h"

class TProfileColorsTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TProfileColorsTabSheet(QWidget *parent = nullptr);
    Ui::ProfileColorsTabSheet Form;
};
