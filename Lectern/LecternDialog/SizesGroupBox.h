// The "Sizes" group: how much of the window the rich-box takes.
#pragma once

#include <QGroupBox>

#include "ui_SizesGroupBox.h"

class TSizesGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TSizesGroupBox(QWidget *parent = nullptr);
    Ui::SizesGroupBox Form;

    // The options as integers: the combo's text, or the default when the text
    // is empty, not a number or out of range.
    int RichBoxWidthPercent() const; // 20..100, default 45
    int RichBoxTopPercent() const; // 5..15, default 10
    int RichBoxBottomPercent() const; // 10..25, default 15

signals:
    // Any of the three options was changed by the reader or by code.
    void SizesChanged();
};
