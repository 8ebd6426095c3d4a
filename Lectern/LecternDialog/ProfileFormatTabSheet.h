// The profile's "Format" page: text and paragraph format.
#pragma once

#include <QWidget>

#include "ui_ProfileFormatTabSheet.h"

class TProfileFormatTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TProfileFormatTabSheet(QWidget *parent = nullptr);
    Ui::ProfileFormatTabSheet Form;
};
