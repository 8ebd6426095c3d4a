#include "QuoteEmphasis.h"

namespace QuoteEmphasis {

namespace {

constexpr std::array<uint8_t, 256> MakeClasses()
{
    std::array<uint8_t, 256> classes{};
    for (int c = '0'; c <= '9'; ++c)
        classes[c] = LetterOrDigit;
    for (int c = 'A'; c <= 'Z'; ++c)
        classes[c] = LetterOrDigit;
    for (int c = 'a'; c <= 'z'; ++c)
        classes[c] = LetterOrDigit;
    classes[0x22] = DoubleQuote; // "
    classes[0xAB] = DoubleQuote; // guillemets
    classes[0xBB] = DoubleQuote;
    classes[0x27] = SingleQuote; // ' and `
    classes[0x60] = SingleQuote;
    classes[0x0D] = LineEnd;
    classes[0x0A] = LineEnd;
    return classes;
}

} // namespace

const std::array<uint8_t, 256> Latin1Classes = MakeClasses();

void FindDoubleQuoted(QStringView text, bool lineEnds, QVector<TRange> &ranges)
{
    const char16_t *chars = text.utf16();
    const int n = int(text.size());
    int open = -1;
    for (int j = 0; j < n; ++j) {
        const uint8_t cls = ClassOf(chars[j]);
        if (cls & DoubleQuote) {
            if (open < 0) {
                open = j;
            } else {
                if (j - open > 1)
                    ranges.append(TRange{open + 1, j - open - 1});
                open = -1;
            }
        } else if (lineEnds && (cls & LineEnd)) {
            open = -1;
        }
    }
}

void FindSingleQuoted(QStringView text, bool lineEnds, QVector<TRange> &ranges)
{
    const char16_t *chars = text.utf16();
    const int n = int(text.size());
    int open = -1; // -1: outside
    for (int j = 0; j < n; ++j) {
        const uint8_t cls = ClassOf(chars[j]);
        if (cls == 0 || cls == LetterOrDigit)
            continue;
        if ((cls & DoubleQuote) || (lineEnds && (cls & LineEnd))) {
            open = -1;
        } else if (cls & SingleQuote) {
            if (open < 0) {
                if (j > 0 && (ClassOf(chars[j - 1]) & LetterOrDigit))
                    continue; // apostrophe
                open = j;
            } else {
                if (j + 1 < n && (ClassOf(chars[j + 1]) & LetterOrDigit))
                    continue; // apostrophe
                if (j - open > 1)
                    ranges.append(TRange{open + 1, j - open - 1});
                open = -1;
            }
        }
    }
}

bool HasQuotes(QStringView text)
{
    for (const QChar c : text)
        if (ClassOf(c.unicode()) & (DoubleQuote | SingleQuote))
            return true;
    return false;
}

} // namespace QuoteEmphasis
