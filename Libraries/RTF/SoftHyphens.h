// What a document changes in the book's text for its line breaking only:
// the soft hyphens (U+00AD) it adds where a word may break, and the spaces
// it holds as no-break spaces (U+00A0) where a line must not. They are no
// part of the book's text, so positions, text, search and saving pass over
// the soft hyphens and see the held spaces as spaces. Kept as the sorted Qt
// positions they stand at, and moved along with the document's changes.
#pragma once

#include <QString>

#include <algorithm>
#include <vector>

constexpr QChar SoftHyphen(0x00AD);

class TSoftHyphens {
public:
    bool IsEmpty() const { return Positions.empty(); }
    int Count() const { return int(Positions.size()); }
    const std::vector<int> &All() const { return Positions; }
    void Clear()
    {
        Positions.clear();
        HeldSpaces.clear();
    }
    void Assign(std::vector<int> positions) { Positions = std::move(positions); }
    void Append(int qtPosition) { Positions.push_back(qtPosition); } // after all the others

    // Those at Qt positions before `qtPosition`; in [from, to).
    int CountBefore(int qtPosition) const;
    int CountIn(int from, int to) const { return CountBefore(to) - CountBefore(from); }
    // The Qt position of a character of a block that is `visible` characters
    // after the block's start (at Qt position blockStart) when the soft
    // hyphens are left out: right before that character, after any soft
    // hyphen in front of it.
    int QtPositionInBlock(int blockStart, int visible) const;

    // A text of the document that starts at Qt position `qtStart` (one
    // character per Qt position), without the soft hyphens, the held spaces
    // spaces again.
    QString Strip(const QString &text, int qtStart) const;

    // The document changed at `from`: `removed` characters became `added`
    // ones; `found` are the Qt positions of soft hyphens in the new
    // characters, sorted, `noBreakSpaces` those of no-break spaces. Where
    // text was replaced, every soft hyphen of the new text counts as one of
    // these (the reader's undo brings them back) and its no-break spaces are
    // the book's own; where only formats changed (as many added as removed)
    // the ones that are still there stay, and no others join them.
    void Changed(int from, int removed, int added, const std::vector<int> &found,
                 const std::vector<int> &noBreakSpaces = {});
    // The ones in [from, to) are gone from the document: those after move
    // back.
    void Removed(int from, int to);
    // Those at the sorted Qt positions `gone` (all of them tracked here) are
    // gone from the document: the others move back.
    void RemovedAt(const std::vector<int> &gone);
    bool Contains(int qtPosition) const { return CountIn(qtPosition, qtPosition + 1) > 0; }

    // The held spaces, sorted Qt positions.
    const std::vector<int> &Held() const { return HeldSpaces; }
    bool IsHeld(int qtPosition) const { return std::binary_search(HeldSpaces.begin(), HeldSpaces.end(), qtPosition); }
    // The spaces held in [from, to) become those at the sorted `held`.
    void SetHeld(int from, int to, const std::vector<int> &held);

private:
    std::vector<int> Positions;
    std::vector<int> HeldSpaces;
};
