#include "SoftHyphens.h"

#include <algorithm>

int TSoftHyphens::CountBefore(int qtPosition) const
{
    return int(std::lower_bound(Positions.begin(), Positions.end(), qtPosition) - Positions.begin());
}

int TSoftHyphens::QtPositionInBlock(int blockStart, int visible) const
{
    // Soft hyphen i of the block (the block's first is number `first`) has
    // Positions[i] - blockStart - (i - first) visible characters before it;
    // that count never falls as i grows, so the ones in front of the wanted
    // character are a prefix.
    const int first = CountBefore(blockStart);
    const int limit = blockStart + visible - first;
    int low = first, high = int(Positions.size()); // the first one after the character
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (Positions[size_t(mid)] - mid <= limit)
            low = mid + 1;
        else
            high = mid;
    }
    return blockStart + visible + (low - first);
}

QString TSoftHyphens::Strip(const QString &text, int qtStart) const
{
    auto it = std::lower_bound(Positions.begin(), Positions.end(), qtStart);
    const auto end = std::lower_bound(it, Positions.end(), qtStart + int(text.size()));
    if (it == end)
        return text;
    QString result;
    result.reserve(text.size() - (end - it));
    int from = 0;
    for (; it != end; ++it) {
        const int at = *it - qtStart;
        result.append(QStringView(text).mid(from, at - from));
        from = at + 1;
    }
    result.append(QStringView(text).mid(from));
    return result;
}

void TSoftHyphens::Changed(int from, int removed, int added, const std::vector<int> &found)
{
    const auto first = std::lower_bound(Positions.begin(), Positions.end(), from);
    const auto last = std::lower_bound(first, Positions.end(), from + removed);
    if (removed == added) {
        // Formats only, or text of the same length: what is gone goes.
        std::vector<int> kept;
        std::set_intersection(first, last, found.begin(), found.end(), std::back_inserter(kept));
        if (kept.size() == size_t(last - first))
            return;
        const auto at = Positions.erase(first, last);
        Positions.insert(at, kept.begin(), kept.end());
        return;
    }
    const int shift = added - removed;
    const auto at = Positions.erase(first, last);
    for (auto it = at; it != Positions.end(); ++it)
        *it += shift;
    Positions.insert(std::lower_bound(Positions.begin(), Positions.end(), from), found.begin(), found.end());
}

void TSoftHyphens::Removed(int from, int to)
{
    const auto first = std::lower_bound(Positions.begin(), Positions.end(), from);
    const auto last = std::lower_bound(first, Positions.end(), to);
    const int gone = int(last - first);
    const auto at = Positions.erase(first, last);
    for (auto it = at; it != Positions.end(); ++it)
        *it -= gone;
}

void TSoftHyphens::RemovedAt(const std::vector<int> &gone)
{
    size_t kept = 0;
    size_t g = 0;
    for (size_t i = 0; i < Positions.size(); ++i) {
        while (g < gone.size() && gone[g] < Positions[i])
            ++g;
        if (g < gone.size() && gone[g] == Positions[i])
            continue;
        Positions[kept++] = Positions[i] - int(g);
    }
    Positions.resize(kept);
}
