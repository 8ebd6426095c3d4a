// The soft hyphens (U+00AD) a document holds for its line breaking only:
// they are no part of the book's text, so positions, text, search and saving
// pass over them. Kept as the sorted Qt positions they stand at, and moved
// along with the document's changes.
#pragma once

#include <QString>

#include <vector>

constexpr QChar SoftHyphen(0x00AD);

class TSoftHyphens {
public:
    bool IsEmpty() const { return Positions.empty(); }
    int Count() const { return int(Positions.size()); }
    const std::vector<int> &All() const { return Positions; }
    void Clear() { Positions.clear(); }
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
    // character per Qt position), without the soft hyphens.
    QString Strip(const QString &text, int qtStart) const;

    // The document changed at `from`: `removed` characters became `added`
    // ones; `found` are the Qt positions of soft hyphens in the new
    // characters, sorted. Where text was replaced, every soft hyphen of the
    // new text counts as one of these (the reader's undo brings them back);
    // where only formats changed (as many added as removed) the ones that
    // are still there stay, and no others join them.
    void Changed(int from, int removed, int added, const std::vector<int> &found);
    // The ones in [from, to) are gone from the document: those after move
    // back.
    void Removed(int from, int to);
    // Those at the sorted Qt positions `gone` (all of them tracked here) are
    // gone from the document: the others move back.
    void RemovedAt(const std::vector<int> &gone);
    bool Contains(int qtPosition) const { return CountIn(qtPosition, qtPosition + 1) > 0; }

private:
    std::vector<int> Positions;
};
