// Finding quoted speech: the text strictly between double quotes (", the
// curly double quotes and the guillemets, which simply alternate) and
// between single quotes (' and `), where a single quote next to a letter or
// digit is an apostrophe.
#pragma once

#include <QStringView>
#include <QVector>

#include <array>
#include <cstdint>

namespace QuoteEmphasis {

enum : uint8_t {
    LetterOrDigit = 1, // A..Z, a..z, 0..9 only
    DoubleQuote = 2,
    SingleQuote = 4,
    LineEnd = 8, // CR, LF
};

extern const std::array<uint8_t, 256> Latin1Classes;

// Character class bits of one character.
inline uint8_t ClassOf(char16_t c)
{
    if (c < 256)
        return Latin1Classes[c];
    return (c == 0x201C || c == 0x201D) ? DoubleQuote : 0;
}

struct TRange {
    int Start = 0;
    int Length = 0;
};

// Ranges strictly between pairs of double quotes (empty ones left out).
// With `lineEnds`, CR or LF ends an open quote without a range, so a quote
// never spans paragraphs.
void FindDoubleQuoted(QStringView text, bool lineEnds, QVector<TRange> &ranges);
// Ranges strictly between single quotes. A double quote (and with
// `lineEnds` a CR or LF) drops an open single quote.
void FindSingleQuoted(QStringView text, bool lineEnds, QVector<TRange> &ranges);
// True when the text holds any double or single quote character.
bool HasQuotes(QStringView text);

} // namespace QuoteEmphasis
