// The window side of the enhancement engine: the chapters menu as a popup
// menu, and the engine's view of the rich-box.
#pragma once

#include "ChaptersMenu.h"
#include "EnhancedRichEdit.h"

#include <QPointer>
#include <QString>

#include <QMenu>
class QPoint;
class QWidget;
class TRichBox;

// The chapters menu of a book as a popup menu: one action per heading, a
// submenu per group; choosing an action hands the heading's position to the
// menu's click handler. The actions are made when the menu is first shown,
// those of a submenu when it opens, so a book of many thousands of chapters
// costs nothing until the reader looks.
class TChaptersPopupMenu : public TChaptersMenu {
public:
    explicit TChaptersPopupMenu(QObject *owner);
    ~TChaptersPopupMenu() override;

    // Shows the menu with its top-left corner at a global point, the chapter
    // that holds `position` (and the submenus on its way) checked; false when
    // the menu is gone.
    bool Popup(const QPoint &globalPosition, int position = -1);
    // The popup menu with its entries.
    QMenu *Menu();
    // The item checked when the menu shows; -1 for none.
    int CurrentItem() const { return Current; }

    // A factory for TEnhancedRichEdit::MenuFactory.
    static TChaptersMenuFactory Factory();

private:
    QPointer<QMenu> PopupMenu;
    bool Filled = false;
    int Current = -1;

    void Fill(QMenu *menu, int group);
    void MarkCurrent(QMenu *menu) const;
};

// What the engine needs of the rich-box while it colours quoted speech: the
// reading position and the visibility.
class TRichBoxViewAdapter : public TRichBoxView {
public:
    explicit TRichBoxViewAdapter(TRichBox *box) : Box(box) {}
    int FirstVisibleCharIndex() const override;
    bool IsVisible() const override;
    void SetVisible(bool visible) override;
    void GoToPosition(int position) override;

private:
    TRichBox *Box;
};
