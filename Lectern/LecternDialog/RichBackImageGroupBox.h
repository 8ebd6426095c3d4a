// The "Rich-box background image" group of the profile's "General" page:
// the picture under the text, its fade and gamma, the transparent rich-box
// and the rich-box frame.
#pragma once

#include <QGroupBox>

#include "BackImages.h"
#include "ui_RichBackImageGroupBox.h"

struct TProfile;

class TRichBackImageGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TRichBackImageGroupBox(QWidget *parent = nullptr);
    Ui::RichBackImageGroupBox Form;

    TRichBackOptions Options() const;
    bool UseRichBackImage() const;
    bool TransparentRichBack() const;
    bool ShowFrame() const;
    QString Title() const;
    void SetTitle(const QString &title);
    // Show options chosen for the reader, without the change signals: the
    // caller rebuilds the picture and repaints once.
    void SetAdjustment(int fade, int gamma);
    void SetUseRichBackImage(bool use);
    void SetTransparentRichBack(bool transparent);

    // The group's keys of a profile.
    void ShowProfile(const TProfile &profile);
    void ReadProfile(TProfile &profile) const;
};
