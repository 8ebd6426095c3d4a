// The voice list of the "Voice" group: a combo box that says when its list
// is about to open, so the voices are looked up only when the reader wants
// to choose one (starting a speech engine can take seconds).
#pragma once

#include <QComboBox>

class TVoiceComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        emit PopupAboutToShow();
        QComboBox::showPopup();
    }

signals:
    void PopupAboutToShow();
};
