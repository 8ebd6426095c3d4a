// The chapters menu of an enhanced book: one item per chapter heading, each
// carrying the heading's position in the rich-box, possibly in submenus
// (the chapters of each "BOOK", or runs of 30 chapters). This base class
// keeps the items in memory; the window layer derives a popup-menu
// implementation and calls ClickItem when the reader picks an item.
#pragma once

#include <QObject>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

struct TChapterItem {
    QString Caption;
    int Tag = 0; // rich-box position of the heading (CR LF counts two)
    int HelpContext = 0;
    int Group = -1; // the submenu that holds the item; -1: the menu itself
};

// A submenu. Its items and submenus come one after another in document
// order: the items FirstItem .. EndItem - 1 lie in it or in its submenus.
struct TChapterGroup {
    QString Caption;
    int Tag = 0; // position of its first item
    int Group = -1; // the submenu that holds it; -1: the menu itself
    int FirstItem = 0;
    int EndItem = 0;
};

class TChaptersMenu {
public:
    explicit TChaptersMenu(QObject *owner = nullptr) : MenuOwner(owner) {}
    virtual ~TChaptersMenu() = default;

    // Appends an item to the menu itself, or to a submenu made by AddGroup
    // (the last one made, or one that holds it).
    virtual void AddItem(const QString &caption, int tag, int helpContext);
    void AddItem(const QString &caption, int tag, int helpContext, int group);
    // Appends a submenu to the menu (group -1) or to a submenu; the index
    // of the new submenu.
    int AddGroup(const QString &caption, int group);

    int Count() const { return ItemList.size(); }
    const TChapterItem &Item(int index) const { return ItemList.at(index); }
    const QVector<TChapterItem> &Items() const { return ItemList; }
    int GroupCount() const { return GroupList.size(); }
    const TChapterGroup &Group(int index) const { return GroupList.at(index); }
    const QVector<TChapterGroup> &Groups() const { return GroupList; }
    QObject *Owner() const { return MenuOwner; }

    // The item of the chapter that holds a position: the last one that
    // starts at or before it; -1 before the first chapter.
    int ItemAt(int position) const;
    // Whether the submenu holds the item (directly or in a submenu of its own).
    bool GroupHolds(int group, int item) const;
    // The entries of the menu (group -1) or of a submenu in order: an item
    // index, or -(submenu index) - 1 for a submenu.
    QVector<int> Entries(int group) const;

    // Hands the item's position to the click handler (nothing for an index
    // out of range or without handler).
    void ClickItem(int index) const;

    std::function<void(int position)> OnItemClick;

private:
    QObject *MenuOwner;
    QVector<TChapterItem> ItemList;
    QVector<TChapterGroup> GroupList;
};

// Creates the menu of a new enhancement run; `owner` is the menu owner the
// main window gave the engine.
using TChaptersMenuFactory = std::function<std::unique_ptr<TChaptersMenu>(QObject *owner)>;

// Appends the items and submenus of `from` to `to`, in the same tree, each
// item's tag through `tag`.
void CopyChaptersMenu(const TChaptersMenu &from, TChaptersMenu &to, const std::function<int(int tag)> &tag);
