#include "ChaptersPopupMenu.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "RichBox.h"
#include "RichEditOps.h"

namespace {

// An ampersand in a heading is text, not a mnemonic mark.
QString MenuText(const QString &caption)
{
    QString text = caption;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return text;
}

} // namespace

TChaptersPopupMenu::TChaptersPopupMenu(QObject *owner) : TChaptersMenu(owner)
{
    // The menu belongs to the owner window when the owner is one (so it
    // never outlives it), and goes with this object in any case.
    PopupMenu = new QMenu(qobject_cast<QWidget *>(owner));
    PopupMenu->setObjectName(QStringLiteral("ChaptersMenu"));
    QObject::connect(PopupMenu, &QMenu::aboutToShow, PopupMenu, [this] { MarkCurrent(PopupMenu); });
}

TChaptersPopupMenu::~TChaptersPopupMenu() { delete PopupMenu.data(); }

QMenu *TChaptersPopupMenu::Menu()
{
    if (PopupMenu && !Filled) {
        Filled = true;
        Fill(PopupMenu, -1);
    }
    return PopupMenu.data();
}

// An action's data: the item's index, or -(submenu index) - 1.
void TChaptersPopupMenu::Fill(QMenu *menu, int group)
{
    for (int entry : Entries(group)) {
        if (entry >= 0) {
            QAction *action = menu->addAction(MenuText(Item(entry).Caption));
            action->setData(entry);
            action->setCheckable(true);
            QObject::connect(action, &QAction::triggered, menu, [this, entry] { ClickItem(entry); });
            continue;
        }
        const int sub = -entry - 1;
        QMenu *submenu = menu->addMenu(MenuText(Group(sub).Caption));
        submenu->menuAction()->setData(entry);
        submenu->menuAction()->setCheckable(true);
        QObject::connect(submenu, &QMenu::aboutToShow, submenu, [this, submenu, sub] {
            if (submenu->isEmpty())
                Fill(submenu, sub);
            MarkCurrent(submenu);
        });
    }
}

void TChaptersPopupMenu::MarkCurrent(QMenu *menu) const
{
    for (QAction *action : menu->actions()) {
        const int entry = action->data().toInt();
        action->setChecked(entry >= 0 ? entry == Current : GroupHolds(-entry - 1, Current));
    }
}

bool TChaptersPopupMenu::Popup(const QPoint &globalPosition, int position)
{
    QMenu *menu = Menu();
    if (!menu)
        return false;
    Current = position >= 0 ? ItemAt(position) : -1;
    menu->popup(globalPosition);
    return true;
}

TChaptersMenuFactory TChaptersPopupMenu::Factory()
{
    return [](QObject *owner) -> std::unique_ptr<TChaptersMenu> { return std::make_unique<TChaptersPopupMenu>(owner); };
}

int TRichBoxViewAdapter::FirstVisibleCharIndex() const { return ::FirstVisibleCharIndex(Box); }

// The box's own shown/hidden state, not whether its window is on screen: a
// box hidden and shown again around a change must come back as it was.
bool TRichBoxViewAdapter::IsVisible() const { return !Box->isHidden(); }

void TRichBoxViewAdapter::SetVisible(bool visible) { Box->setVisible(visible); }

void TRichBoxViewAdapter::GoToPosition(int position) { ::GoToPosition(Box, position); }
