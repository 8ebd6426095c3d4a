// The "Background sound" group of the profile's "Misc" page: sound 0 of the
// profile's sounds and the two flags. The window connects the signals to the
// background sounds.
#pragma once

#include <QGroupBox>

#include "Program.h"
#include "ui_BackSoundGroupBox.h"

class TBackSoundGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TBackSoundGroupBox(QWidget *parent = nullptr);
    Ui::BackSoundGroupBox Form;

    // The numbers of the three lists: the text, or the default when it is
    // empty, not a number or out of range.
    int Volume() const; // 0..1000, default 50
    int Duration() const; // 1..500, default 5
    int Probability() const; // 1..1000, default 100
    // Shows a number in a list, whether the list offers it or not. No
    // change signal is given.
    void ShowNumbers(int volume, int duration, int probability);

signals:
    void UseClicked();
    void TitleEditExit();
    void VolumeChanged();
    void DurationChanged();
    void ProbabilityChanged();
    // "Load" clicked with the left button; the modifiers held when it went down.
    void LoadClicked(TShiftState shift);
    void RunClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool Showing = false;
};
