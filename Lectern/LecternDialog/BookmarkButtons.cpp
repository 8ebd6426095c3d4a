#include "BookmarkButtons.h"

namespace {

QString Caption(int k) { return k == 0 ? QStringLiteral("&Auto") : QLatin1Char('&') + QString::number(k); }

} // namespace

TBookmarkButtons::TBookmarkButtons(QWidget *parent) : QWidget(parent), ClickWatcher(new TButtonClicks(this))
{
    Form.setupUi(this);
    Button(0)->setStatusTip(QStringLiteral(
        "Go to the auto-bookmark of the currently opened book: the place where you stopped reading it. Click [RMB] "
        "to set it at the current top line (this also puts the book on the bookshelf), [Ctrl + RMB] to remove the "
        "book from the bookshelf. \"*\" marks a book that has an auto-bookmark. [Alt + A]"));
    for (int k = 1; k <= 5; ++k)
        Button(k)->setStatusTip(
            QStringLiteral("Go to bookmark %1 of the currently opened book. Click [RMB] to set it at the current top "
                           "line (the book must be on the bookshelf), [Ctrl + RMB] to clear it. \"*\" marks a set "
                           "bookmark. [Alt + %1]")
                .arg(k));
    for (int k = 0; k <= 5; ++k)
        ClickWatcher->Watch(Button(k), k);
}

QPushButton *TBookmarkButtons::Button(int k) const
{
    switch (k) {
    case 0: return Form.BookmarkAutoButton;
    case 1: return Form.Bookmark1Button;
    case 2: return Form.Bookmark2Button;
    case 3: return Form.Bookmark3Button;
    case 4: return Form.Bookmark4Button;
    default: return Form.Bookmark5Button;
    }
}

void TBookmarkButtons::ShowMarks(const std::array<bool, 6> &set)
{
    for (int k = 0; k <= 5; ++k)
        Button(k)->setText(Caption(k) + (set[k] ? QStringLiteral("*") : QString()));
}
