// The profile's "General" page: enhancement, background images and profile
// work.
#pragma once

#include <QWidget>

#include "ui_ProfileGeneralTabSheet.h"

class TProfileGeneralTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TProfileGeneralTabSheet(QWidget *parent = nullptr);
    Ui::ProfileGeneralTabSheet Form;
};
