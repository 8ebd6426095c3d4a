// The "Work" group of the profile's "General" page: loading, saving and
// deleting profile files.
#pragma once

#include <QGroupBox>

#include "ButtonClicks.h"
#include "ui_ProfileWorkGroupBox.h"

class TProfileWorkGroupBox : public QGroupBox {
    Q_OBJECT
public:
    enum TButton { LoadButton, SaveButton, DeleteButton };
    explicit TProfileWorkGroupBox(QWidget *parent = nullptr);
    Ui::ProfileWorkGroupBox Form;
    // Clicks of the three buttons (TButton) with the modifiers held.
    TButtonClicks *Clicks() const { return ClickWatcher; }

private:
    TButtonClicks *ClickWatcher;
};
