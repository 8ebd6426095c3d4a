#include "ChaptersMenu.h"

void TChaptersMenu::AddItem(const QString &caption, int tag, int helpContext)
{
    ItemList.append(TChapterItem{caption, tag, helpContext});
}

void TChaptersMenu::ClickItem(int index) const
{
    if (index < 0 || index >= ItemList.size() || !OnItemClick)
        return;
    OnItemClick(ItemList.at(index).Tag);
}
