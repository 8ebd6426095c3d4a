// Finding text as a reader means it: letter case ignored, and a line end
// inside the text found as a space, a word broken by a hyphen at a line end
// as the whole word. For the rich-box's text (paragraphs ended by CR LF) and
// for the lines of a piece that is not shown.
#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

struct TTextMatch {
    int Start = -1; // in the text searched
    int Length = 0;
    bool Found() const { return Start >= 0; }
};

// The first match of `term` in text[from, to) (to -1: the end).
TTextMatch FindAcrossLines(QStringView text, QStringView term, int from = 0, int to = -1);
// Every match in order, at most `limit` of them; `total` gets how many there
// are in all.
QVector<TTextMatch> FindAllAcrossLines(QStringView text, QStringView term, int limit, int *total = nullptr);

// Some words around a match, on one line, for a list of matches.
QString MatchContext(QStringView text, const TTextMatch &match, int around = 40);
