// The profile's "Misc" page: the background sound.
#pragma once

#include <QWidget>

#include "ui_ProfileMiscTabSheet.h"

class TProfileMiscTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TProfileMiscTabSheet(QWidget *parent = nullptr);
    Ui::ProfileMiscTabSheet Form;
};
