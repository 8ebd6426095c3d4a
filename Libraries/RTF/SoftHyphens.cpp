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
    const int qtEnd = qtStart + int(text.size());
    auto held = std::lower_bound(HeldSpaces.begin(), HeldSpaces.end(), qtStart);
    const auto heldEnd = std::lower_bound(held, HeldSpaces.end(), qtEnd);
    auto it = std::lower_bound(Positions.begin(), Positions.end(), qtStart);
    const auto end = std::lower_bound(it, Positions.end(), qtEnd);
    if (it == end && held == heldEnd)
        return text;
    QString result;
    result.reserve(text.size() - (end - it));
    int from = 0;
    auto copyTo = [&](int at) {
        for (; held != heldEnd && *held - qtStart < at; ++held) {
            const int space = *held - qtStart;
            result.append(QStringView(text).mid(from, space - from));
            result.append(QLatin1Char(' '));
            from = space + 1;
        }
        result.append(QStringView(text).mid(from, at - from));
    };
    for (; it != end; ++it) {
        const int at = *it - qtStart;
        copyTo(at);
        from = at + 1;
    }
    copyTo(int(text.size()));
    return result;
}

namespace {

// Positions at or after `from + removed` move by `shift`; those in
// [from, from + removed) go.
void Replaced(std::vector<int> &positions, int from, int removed, int shift)
{
    const auto first = std::lower_bound(positions.begin(), positions.end(), from);
    const auto last = std::lower_bound(first, positions.end(), from + removed);
    const auto at = positions.erase(first, last);
    for (auto it = at; it != positions.end(); ++it)
        *it += shift;
}

} // namespace

void TSoftHyphens::Changed(int from, int removed, int added, const std::vector<int> &found,
                           const std::vector<int> &noBreakSpaces)
{
    if (removed != added) {
        Replaced(HeldSpaces, from, removed, added - removed);
    } else {
        const auto first = std::lower_bound(HeldSpaces.begin(), HeldSpaces.end(), from);
        const auto last = std::lower_bound(first, HeldSpaces.end(), from + removed);
        std::vector<int> kept;
        std::set_intersection(first, last, noBreakSpaces.begin(), noBreakSpaces.end(), std::back_inserter(kept));
        if (kept.size() != size_t(last - first))
            SetHeld(from, from + removed, kept);
    }
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
    Replaced(HeldSpaces, to, 0, -CountIn(from, to));
    const auto first = std::lower_bound(Positions.begin(), Positions.end(), from);
    const auto last = std::lower_bound(first, Positions.end(), to);
    const int gone = int(last - first);
    const auto at = Positions.erase(first, last);
    for (auto it = at; it != Positions.end(); ++it)
        *it -= gone;
}

void TSoftHyphens::RemovedAt(const std::vector<int> &gone)
{
    for (int &held : HeldSpaces)
        held -= int(std::lower_bound(gone.begin(), gone.end(), held) - gone.begin());
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

void TSoftHyphens::SetHeld(int from, int to, const std::vector<int> &held)
{
    const auto first = std::lower_bound(HeldSpaces.begin(), HeldSpaces.end(), from);
    const auto last = std::lower_bound(first, HeldSpaces.end(), to);
    const auto at = HeldSpaces.erase(first, last);
    HeldSpaces.insert(at, held.begin(), held.end());
}
