// The chapters menu of an enhanced book: one item per chapter heading, each
// carrying the heading's position in the rich-box. This base class keeps the
// items in memory; the window layer derives a popup-menu implementation and
// calls ClickItem when the reader picks an item.
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
};

class TChaptersMenu {
public:
    explicit TChaptersMenu(QObject *owner = nullptr) : MenuOwner(owner) {}
    virtual ~TChaptersMenu() = default;

    virtual void AddItem(const QString &caption, int tag, int helpContext);
    int Count() const { return ItemList.size(); }
    const TChapterItem &Item(int index) const { return ItemList.at(index); }
    const QVector<TChapterItem> &Items() const { return ItemList; }
    QObject *Owner() const { return MenuOwner; }

    // Hands the item's position to the click handler (nothing for an index
    // out of range or without handler).
    void ClickItem(int index) const;

    std::function<void(int position)> OnItemClick;

private:
    QObject *MenuOwner;
    QVector<TChapterItem> ItemList;
};

// Creates the menu of a new enhancement run; `owner` is the menu owner the
// main window gave the engine.
using TChaptersMenuFactory = std::function<std::unique_ptr<TChaptersMenu>(QObject *owner)>;
