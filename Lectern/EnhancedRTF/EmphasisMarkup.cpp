#include "EmphasisMarkup.h"

#include <algorithm>

namespace EmphasisMarkup {

namespace {

bool IsMarker(QChar c) { return c == QLatin1Char('_') || c == QLatin1Char('*'); }

// A character that belongs to a word as far as the markers go.
bool IsWordCharacter(QChar c) { return c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_'); }

// A marker at the start of a word: nothing of a word before it, the
// word's first character after it.
bool Opens(QStringView text, int i)
{
    const bool wordBefore = i > 0 && (IsWordCharacter(text.at(i - 1)) || text.at(i - 1) == text.at(i));
    return !wordBefore && i + 1 < text.size() && !text.at(i + 1).isSpace() && !IsMarker(text.at(i + 1));
}

// A marker at the end of a word.
bool Closes(QStringView text, int i)
{
    const bool wordAfter = i + 1 < text.size() && (IsWordCharacter(text.at(i + 1)) || text.at(i + 1) == text.at(i));
    return !wordAfter && i > 0 && !text.at(i - 1).isSpace() && !IsMarker(text.at(i - 1));
}

} // namespace

bool HasMarkers(QStringView text) { return text.contains(QLatin1Char('_')) || text.contains(QLatin1Char('*')); }

QString TakeMarkers(QStringView text, QVector<TSpan> &spans, QVector<int> *removed)
{
    spans.resize(0);
    if (removed)
        removed->resize(0);
    // Pairs of marker indexes in the text, found left to right.
    struct TPair {
        int Open;
        int Close;
        bool Bold;
    };
    QVector<TPair> pairs;
    int open[2] = {-1, -1}; // italic, bold
    for (int i = 0; i < text.size(); ++i) {
        if (!IsMarker(text.at(i)))
            continue;
        const int kind = text.at(i) == QLatin1Char('*') ? 1 : 0;
        if (open[kind] >= 0 && Closes(text, i)) {
            pairs.append({open[kind], i, kind == 1});
            open[kind] = -1;
            // A span of the other kind opened inside this one stays literal.
            if (open[1 - kind] > pairs.last().Open)
                open[1 - kind] = -1;
        } else if (Opens(text, i)) {
            open[kind] = i;
        }
    }
    if (pairs.isEmpty())
        return text.toString();
    QVector<int> markers;
    markers.reserve(pairs.size() * 2);
    for (const TPair &pair : std::as_const(pairs))
        markers << pair.Open << pair.Close;
    std::sort(markers.begin(), markers.end());
    // A marker's place in the new text: its index less the markers before it.
    auto shown = [&markers](int index) {
        return index - int(std::lower_bound(markers.begin(), markers.end(), index) - markers.begin());
    };
    for (const TPair &pair : std::as_const(pairs)) {
        const int start = shown(pair.Open);
        spans.append({start, shown(pair.Close) - start, pair.Bold});
    }
    QString result;
    result.reserve(text.size() - markers.size());
    int from = 0;
    for (const int at : std::as_const(markers)) {
        result.append(text.mid(from, at - from));
        from = at + 1;
    }
    result.append(text.mid(from));
    if (removed)
        *removed = markers;
    return result;
}

} // namespace EmphasisMarkup
