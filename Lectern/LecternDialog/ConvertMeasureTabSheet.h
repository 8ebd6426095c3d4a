// The sidebar's "Convert" page: the measure converter.
#pragma once

#include <QWidget>

#include "ui_ConvertMeasureTabSheet.h"

class TConvertMeasureTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TConvertMeasureTabSheet(QWidget *parent = nullptr);
    Ui::ConvertMeasureTabSheet Form;

    // The converter's value edit, which takes the focus when the sidebar
    // opens on this page; none until the converter is built into the page.
    QWidget *ConvertMeasureEdit = nullptr;
};
