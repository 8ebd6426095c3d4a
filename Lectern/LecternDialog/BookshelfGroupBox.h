// The "Bookshelf" group of the sidebar's "Open" page, and the shelf's menu of
// books as a popup menu of the main window.
#pragma once

#include <QGroupBox>
#include <QPointer>

#include "Bookshelf.h"
#include "ui_BookshelfGroupBox.h"

#include <QMenu>

class TBookshelfGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TBookshelfGroupBox(QWidget *parent = nullptr);
    Ui::BookshelfGroupBox Form;
    // "&Open (n)"; Open and Remove are enabled only with books on the shelf.
    void ShowCount(int count);
};

// The shelf's menu: one item per book; a pick runs once the menu has
// closed, so opening a book never happens inside the menu's own handling.
class TBookshelfPopupMenu : public TBookshelfMenu {
public:
    explicit TBookshelfPopupMenu(QWidget *owner);
    ~TBookshelfPopupMenu() override;
    TBookshelfPopupMenu(const TBookshelfPopupMenu &) = delete;
    TBookshelfPopupMenu &operator=(const TBookshelfPopupMenu &) = delete;

    void AddItem(const QString &caption, int tag, int helpContext, std::function<void()> click) override;
    void Popup(int x, int y) override;
    QMenu *Menu() const { return PopupMenu.data(); }

private:
    QPointer<QMenu> PopupMenu;
};
