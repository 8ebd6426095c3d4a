// Splits RTF bytes into tokens: group braces, control words with their
// optional numeric parameter, control symbols, \'hh bytes and runs of plain
// text. Nothing is copied: text and names point into the caller's buffer,
// which must outlive the tokenizer.
#pragma once

#include <QtGlobal>

#include <string_view>

enum class TRtfTokenKind {
    End, // no more input
    GroupOpen, // {
    GroupClose, // }
    Word, // \name or \nameN (Name, HasParam, Param)
    Symbol, // \x for a non-letter x (Symbol); \ at a line end gives '\n'
    Hex, // \'hh (Byte)
    Text, // plain bytes without \ { } CR LF (Text)
};

struct TRtfToken {
    TRtfTokenKind Kind = TRtfTokenKind::End;
    std::string_view Name; // Word
    std::string_view Text; // Text
    bool HasParam = false;
    int Param = 0;
    char Symbol = 0;
    unsigned char Byte = 0;
};

class TRtfTokenizer {
public:
    // Names longer than this are cut (the rest is read and dropped); the
    // parameter is clamped to the int range, extra digits are dropped.
    static constexpr int MaxNameLength = 32;

    TRtfTokenizer(const char *data, qsizetype size);

    TRtfToken Next();

    // Takes up to `count` raw bytes following a \binN word (fewer at the end
    // of the input); returns what it took.
    std::string_view TakeBytes(qint64 count);

    qsizetype Position() const { return Pos; }
    qsizetype Size() const { return Length; }

private:
    const char *Data;
    qsizetype Length;
    qsizetype Pos = 0;
};
