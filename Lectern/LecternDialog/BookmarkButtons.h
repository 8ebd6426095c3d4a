// The six bookmark buttons of the "Book" group: "&Auto" for the
// auto-bookmark and "&1" .. "&5"; a set bookmark shows a trailing "*".
#pragma once

#include <QWidget>

#include <array>

#include "ButtonClicks.h"
#include "ui_BookmarkButtons.h"

class TBookmarkButtons : public QWidget {
    Q_OBJECT
public:
    explicit TBookmarkButtons(QWidget *parent = nullptr);
    Ui::BookmarkButtons Form;
    // Button k: 0 the auto-bookmark, 1..5 the numbered ones.
    QPushButton *Button(int k) const;
    void ShowMarks(const std::array<bool, 6> &set);
    // Left clicks and right presses of the buttons, with the modifiers.
    TButtonClicks *Clicks() const { return ClickWatcher; }

private:
    TButtonClicks *ClickWatcher;
};
