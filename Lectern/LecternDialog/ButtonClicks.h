// Clicks of push buttons with the modifier keys that were held when the
// mouse button went down, and right-button presses, for buttons whose action
// depends on them. A click made with the keyboard (Space, or the button's
// Alt mnemonic) counts as a click without modifiers.
#pragma once

#include <QObject>

#include "Program.h"

class QPushButton;

class TButtonClicks : public QObject {
    Q_OBJECT
public:
    explicit TButtonClicks(QObject *parent = nullptr) : QObject(parent) {}
    // Watches a button; `index` identifies it in the signals.
    void Watch(QPushButton *button, int index);

signals:
    void LeftClicked(int index, TShiftState shift);
    void RightPressed(int index, TShiftState shift);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *Pressed = nullptr; // pressed with the left button
    TShiftState PressShift = 0;
};
