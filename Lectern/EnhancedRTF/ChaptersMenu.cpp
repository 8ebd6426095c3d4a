#include "ChaptersMenu.h"

#include <algorithm>

void TChaptersMenu::AddItem(const QString &caption, int tag, int helpContext)
{
    AddItem(caption, tag, helpContext, -1);
}

void TChaptersMenu::AddItem(const QString &caption, int tag, int helpContext, int group)
{
    const int index = ItemList.size();
    ItemList.append(TChapterItem{caption, tag, helpContext, group});
    for (int g = group; g >= 0; g = GroupList[g].Group) {
        TChapterGroup &holder = GroupList[g];
        if (holder.EndItem == holder.FirstItem)
            holder.Tag = tag;
        holder.EndItem = index + 1;
    }
}

int TChaptersMenu::AddGroup(const QString &caption, int group)
{
    TChapterGroup added;
    added.Caption = caption;
    added.Group = group;
    added.FirstItem = added.EndItem = ItemList.size();
    GroupList.append(added);
    return GroupList.size() - 1;
}

int TChaptersMenu::ItemAt(int position) const
{
    const auto after = std::upper_bound(ItemList.begin(), ItemList.end(), position,
                                        [](int p, const TChapterItem &item) { return p < item.Tag; });
    return int(after - ItemList.begin()) - 1;
}

bool TChaptersMenu::GroupHolds(int group, int item) const
{
    if (group < 0 || group >= GroupList.size())
        return false;
    return item >= GroupList[group].FirstItem && item < GroupList[group].EndItem;
}

QVector<int> TChaptersMenu::Entries(int group) const
{
    QVector<int> entries;
    int first = 0;
    int end = ItemList.size();
    if (group >= 0) {
        first = GroupList[group].FirstItem;
        end = GroupList[group].EndItem;
    }
    // Submenus are made in document order, so the ones inside this menu
    // follow it in the list.
    int nextGroup = group + 1;
    for (int i = first; i < end;) {
        if (ItemList[i].Group == group) {
            entries.append(i++);
            continue;
        }
        // The item lies in a submenu of this menu: the first one that holds it.
        while (nextGroup < GroupList.size() && !(GroupList[nextGroup].Group == group && GroupHolds(nextGroup, i)))
            ++nextGroup;
        if (nextGroup >= GroupList.size())
            break; // an item outside every submenu of this menu: a broken tree
        entries.append(-nextGroup - 1);
        i = GroupList[nextGroup].EndItem;
        ++nextGroup;
    }
    return entries;
}

void TChaptersMenu::ClickItem(int index) const
{
    if (index < 0 || index >= ItemList.size() || !OnItemClick)
        return;
    OnItemClick(ItemList.at(index).Tag);
}

namespace {

void CopyEntries(const TChaptersMenu &from, int fromGroup, TChaptersMenu &to, int toGroup,
                 const std::function<int(int)> &tag)
{
    for (int entry : from.Entries(fromGroup)) {
        if (entry >= 0) {
            const TChapterItem &item = from.Item(entry);
            to.AddItem(item.Caption, tag(item.Tag), item.HelpContext, toGroup);
        } else {
            const int group = -entry - 1;
            CopyEntries(from, group, to, to.AddGroup(from.Group(group).Caption, toGroup), tag);
        }
    }
}

} // namespace

void CopyChaptersMenu(const TChaptersMenu &from, TChaptersMenu &to, const std::function<int(int tag)> &tag)
{
    CopyEntries(from, -1, to, -1, tag);
}
