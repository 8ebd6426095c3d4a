// Decoding of the 8-bit text of an RTF document: single-byte code pages
// through a 256-entry table, multi-byte ones (932, 936, 949, 950, 1361,
// 65001 = UTF-8 and the EUC and GB18030 pages) through lead-byte detection
// and glibc's iconv for whole sequences.
#pragma once

#include <QChar>
#include <QString>

#include <memory>

class TRtfCodePage {
public:
    // The longest byte sequence of one character.
    static constexpr int MaxSequence = 4;

    enum class TSequence {
        Complete, // the bytes are one character (or a pair of surrogates)
        Incomplete, // a character needs more bytes
        Invalid, // the bytes start no character
    };

    // The decoder of a Windows code page number. Every code page glibc's
    // iconv knows and whose letters and digits are ASCII is read; other
    // numbers fall back to 1252. Decoders are made once and shared.
    static const TRtfCodePage &Get(int codePage);

    // The code page of an RTF \fcharset value, or 0 for "the document's".
    static int FromCharset(int charset);

    TRtfCodePage(const TRtfCodePage &) = delete;
    TRtfCodePage &operator=(const TRtfCodePage &) = delete;
    ~TRtfCodePage();

    int Number() const { return CodePage; }
    bool IsMultiByte() const { return MultiByte; }
    bool IsLeadByte(unsigned char byte) const { return Lead[byte]; }
    // The character of a single byte (U+FFFD for a lead byte or a byte the
    // code page does not define).
    QChar Single(unsigned char byte) const { return Table[byte]; }
    // Some of the bytes are combining marks that follow their base letter
    // (Vietnamese, 1258): text read in this code page is to be composed.
    bool HasCombiningMarks() const { return CombiningMarks; }
    // The character of `length` bytes starting with a lead byte.
    TSequence Decode(const char *bytes, int length, QString &out) const;

private:
    explicit TRtfCodePage(int codePage, void *converter);

    int CodePage = 1252;
    bool MultiByte = false;
    bool CombiningMarks = false;
    QChar Table[256];
    bool Lead[256] = {};
    void *Converter = nullptr; // iconv_t for sequences of multi-byte pages
};
