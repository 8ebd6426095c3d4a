// Where the reader left every book lately, shelved or not: the piece and the
// position of the top line of the 500 books read most recently, kept in the
// settings file beside the bookshelf, so a book opened again goes back to
// its place and the book read last can be opened at start.
#pragma once

#include <QString>

#include <vector>

class TStoredTextList;

struct TBookPlace {
    QString Book; // full path
    int Piece = 1;
    int Position = 0;
};

class TRecentPlaces {
public:
    static constexpr int MaxPlaces = 500;

    int Count() const { return int(Places.size()); }
    // The book's place, now the most recent one (the least recent dropped
    // beyond 500). Nothing for an empty book or a negative position.
    void Record(const QString &book, int piece, int position);
    // The book's place; false when it has none.
    bool Find(const QString &book, TBookPlace &place) const;
    void Forget(const QString &book);
    // The book of the most recent place, or empty text.
    QString LastBook() const;

    // The "Lectern_Places" section: "Count", and per place n (oldest first)
    // the path under "n", the piece under "n_Piece" and the position under
    // "n_CaretPos". Reading takes every place that is there, whatever the
    // count says.
    void LoadFromList(const TStoredTextList &list);
    void SaveToList(TStoredTextList &list) const;

private:
    int IndexOf(const QString &book) const;
    std::vector<TBookPlace> Places; // the least recent first
};
