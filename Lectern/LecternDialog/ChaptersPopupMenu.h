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

// The chapters menu of a book as a popup menu: one action per heading;
// choosing one hands the heading's position to the menu's click handler.
class TChaptersPopupMenu : public TChaptersMenu {
public:
    explicit TChaptersPopupMenu(QObject *owner);
    ~TChaptersPopupMenu() override;

    void AddItem(const QString &caption, int tag, int helpContext) override;
    // Shows the menu with its top-left corner at a global point; false when
    // the menu is gone.
    bool Popup(const QPoint &globalPosition);
    QMenu *Menu() const { return PopupMenu.data(); }

    // A factory for TEnhancedRichEdit::MenuFactory.
    static TChaptersMenuFactory Factory();

private:
    QPointer<QMenu> PopupMenu;
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
