// The character tests of the line walk, shared by the engine and the
// passes that look at the whole book before it.
#pragma once

#include <QStringView>

namespace LineRules {

constexpr char16_t MiddleDot = 0x00B7;
constexpr char16_t SectionSign = 0x00A7;

inline bool IsBlank(char16_t c) { return c <= 0x20; }

inline bool IsUpperLetter(char16_t c) { return c >= 'A' && c <= 'Z'; }

inline bool IsLowerLetter(char16_t c) { return c >= 'a' && c <= 'z'; }

// The quotation characters that may open or close a paragraph.
inline bool IsQuotation(char16_t c)
{
    switch (c) {
    case 0x22:
    case 0x27:
    case 0x60:
    case 0x201C:
    case 0x201D:
    case 0x00AB:
    case 0x00BB: return true;
    default: return false;
    }
}

inline bool IsSentenceEnd(char16_t c) { return c == '.' || c == '?' || c == '!' || c == ')' || IsQuotation(c); }

// The quotation marks of every language: the classic ones and the curly
// single quotes, the low quotes and the single guillemets.
inline bool IsAnyQuotation(char16_t c)
{
    switch (c) {
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x201E:
    case 0x2039:
    case 0x203A: return true;
    default: return IsQuotation(c);
    }
}

inline bool IsAnySentenceEnd(char16_t c) { return IsSentenceEnd(c) || IsAnyQuotation(c); }

// Characters at or below the space removed at both ends.
inline QStringView Trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin].unicode()))
        ++begin;
    while (end > begin && IsBlank(text[end - 1].unicode()))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace LineRules
