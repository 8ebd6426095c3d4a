#include "ChaptersPopupMenu.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "RichBox.h"
#include "RichEditOps.h"

TChaptersPopupMenu::TChaptersPopupMenu(QObject *owner) : TChaptersMenu(owner)
{
    // The menu belongs to the owner window when the owner is one (so it
    // never outlives it), and goes with this object in any case.
    PopupMenu = new QMenu(qobject_cast<QWidget *>(owner));
    PopupMenu->setObjectName(QStringLiteral("ChaptersMenu"));
}

TChaptersPopupMenu::~TChaptersPopupMenu() { delete PopupMenu.data(); }

void TChaptersPopupMenu::AddItem(const QString &caption, int tag, int helpContext)
{
    const int index = Count();
    TChaptersMenu::AddItem(caption, tag, helpContext);
    if (!PopupMenu)
        return;
    // An ampersand in a heading is text, not a mnemonic mark.
    QString text = caption;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction *action = PopupMenu->addAction(text);
    QObject::connect(action, &QAction::triggered, PopupMenu, [this, index] { ClickItem(index); });
}

bool TChaptersPopupMenu::Popup(const QPoint &globalPosition)
{
    if (!PopupMenu)
        return false;
    PopupMenu->popup(globalPosition);
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
