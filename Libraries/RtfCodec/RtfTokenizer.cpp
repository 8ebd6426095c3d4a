#include "RtfTokenizer.h"

#include <climits>

namespace {

inline bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

TRtfTokenizer::TRtfTokenizer(const char *data, qsizetype size) : Data(data), Length(data ? size : 0) {}

std::string_view TRtfTokenizer::TakeBytes(qint64 count)
{
    if (count < 0)
        count = 0;
    const qint64 available = Length - Pos;
    if (count > available)
        count = available;
    std::string_view bytes(Data + Pos, size_t(count));
    Pos += qsizetype(count);
    return bytes;
}

TRtfToken TRtfTokenizer::Next()
{
    TRtfToken token;
    for (;;) {
        if (Pos >= Length)
            return token; // End
        const char c = Data[Pos];
        if (c == '\r' || c == '\n') {
            ++Pos; // line ends in RTF source carry no meaning
            continue;
        }
        if (c == '{') {
            ++Pos;
            token.Kind = TRtfTokenKind::GroupOpen;
            return token;
        }
        if (c == '}') {
            ++Pos;
            token.Kind = TRtfTokenKind::GroupClose;
            return token;
        }
        if (c != '\\') {
            const qsizetype start = Pos;
            while (Pos < Length) {
                const char d = Data[Pos];
                if (d == '\\' || d == '{' || d == '}' || d == '\r' || d == '\n')
                    break;
                ++Pos;
            }
            token.Kind = TRtfTokenKind::Text;
            token.Text = std::string_view(Data + start, size_t(Pos - start));
            return token;
        }
        // A backslash.
        ++Pos;
        if (Pos >= Length)
            return token; // a lone backslash at the end
        const char s = Data[Pos];
        if (IsLetter(s)) {
            const qsizetype start = Pos;
            while (Pos < Length && IsLetter(Data[Pos]))
                ++Pos;
            qsizetype nameLength = Pos - start;
            if (nameLength > MaxNameLength)
                nameLength = MaxNameLength;
            token.Kind = TRtfTokenKind::Word;
            token.Name = std::string_view(Data + start, size_t(nameLength));
            bool negative = false;
            if (Pos < Length && Data[Pos] == '-' && Pos + 1 < Length && IsDigit(Data[Pos + 1])) {
                negative = true;
                ++Pos;
            }
            if (Pos < Length && IsDigit(Data[Pos])) {
                long long value = 0;
                while (Pos < Length && IsDigit(Data[Pos])) {
                    if (value <= INT_MAX)
                        value = value * 10 + (Data[Pos] - '0');
                    ++Pos;
                }
                if (value > INT_MAX)
                    value = INT_MAX;
                token.HasParam = true;
                token.Param = negative ? int(-value) : int(value);
            }
            if (Pos < Length && Data[Pos] == ' ')
                ++Pos; // the delimiting space belongs to the word
            return token;
        }
        ++Pos;
        if (s == '\'') {
            const int high = Pos < Length ? HexValue(Data[Pos]) : -1;
            const int low = Pos + 1 < Length ? HexValue(Data[Pos + 1]) : -1;
            if (high < 0)
                continue; // a broken escape is dropped; what follows is read as usual
            if (low < 0) {
                ++Pos; // half an escape means nothing: drop it
                continue;
            }
            Pos += 2;
            token.Kind = TRtfTokenKind::Hex;
            token.Byte = static_cast<unsigned char>(high * 16 + low);
            return token;
        }
        token.Kind = TRtfTokenKind::Symbol;
        token.Symbol = (s == '\r') ? '\n' : s;
        if (s == '\r' && Pos < Length && Data[Pos] == '\n')
            ++Pos; // backslash CR LF is one paragraph mark
        return token;
    }
}
