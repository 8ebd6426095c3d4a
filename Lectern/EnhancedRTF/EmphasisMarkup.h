// The emphasis plain-text books mark with characters: _text_ for italics
// (as Project Gutenberg writes them) and *text* for bold. A marker opens at
// the start of a word and closes at the end of one, inside one paragraph;
// a marker inside a word (snake_case), doubled (__init__) or without its
// partner stays as it is.
#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

namespace EmphasisMarkup {

struct TSpan {
    int Start = 0; // in the text without the markers
    int Length = 0;
    bool Bold = false; // *text*; else _text_ (italic)
};

// True when the text holds a character that may be a marker.
bool HasMarkers(QStringView text);

// The text without the markers of its spans; `spans` gets the spans in the
// new text, `removed` (when given) the indexes in `text` of the markers
// taken out, ascending.
QString TakeMarkers(QStringView text, QVector<TSpan> &spans, QVector<int> *removed = nullptr);

} // namespace EmphasisMarkup
