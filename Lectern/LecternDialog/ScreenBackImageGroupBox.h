// The "Screen background image" group of the profile's "General" page: the
// picture around the rich-box, its fade and gamma, and the fade of the part
// a transparent rich-box shows.
#pragma once

#include <QGroupBox>

#include "BackImages.h"
#include "ui_ScreenBackImageGroupBox.h"

struct TProfile;
class QComboBox;

class TScreenBackImageGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TScreenBackImageGroupBox(QWidget *parent = nullptr);
    Ui::ScreenBackImageGroupBox Form;

    // The options as numbers: a text that is empty, not a number or out of
    // range gives the default.
    TScreenBackOptions Options() const;
    QString Title() const;
    void SetTitle(const QString &title);
    // Shows a fade, gamma and "Fade center" chosen for the reader, without
    // the change signals: the caller rebuilds the images once.
    void SetAdjustment(int fade, int gamma, int fadeCenter);

    // The group's keys of a profile.
    void ShowProfile(const TProfile &profile);
    void ReadProfile(TProfile &profile) const;
};

// The fade choices 0 to 30 by 5, then 40 to 100 by 10; the gamma choices 1,
// 5 to 30 by 5, 40 to 200 by 10, 250 to 500 by 50, 600 to 1000 by 100; the
// "Fade center" choices 0 to 100 by 10.
QStringList FadeItems();
QStringList GammaItems();
QStringList FadeCenterItems();
// Selects the choice that reads `value`; a value that is not a choice
// selects nothing, so the reader of the box falls back to the default.
void SelectNumberItem(QComboBox *combo, int value);
// The choices as numbers.
QList<int> ItemNumbers(const QStringList &items);
int FadeFromCombo(const QComboBox *combo); // 0..100, default 0
int GammaFromCombo(const QComboBox *combo); // 1..1000, default 100
