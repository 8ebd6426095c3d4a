#include "BookContent.h"

#include <QChar>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <tuple>

namespace {

using namespace std::string_view_literals;

// At most one character in this many may be one that no text holds.
constexpr qsizetype UnusableShare = 50; // UTF-16
constexpr qsizetype UndefinedShare = 100; // bytes a code page does not define
// At most one byte in this many may be a control character, and one in
// this many a NUL (UTF-16 aside).
constexpr qsizetype ControlShare = 100;
constexpr qsizetype NulShare = 2000;
// A sample of this many UTF-16 characters without a line end is no book.
constexpr qsizetype LineEndSpan = 256;

// Control characters a text book may hold: TAB, LF, VT, FF, CR, SUB (a DOS
// end of file) and ESC (printer codes).
bool IsTextControl(char32_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x1B; }

// A character no text holds: the other C0 and C1 controls (NUL too), DEL,
// replacement and non-characters, surrogates, unassigned and private-use
// code points.
bool IsUnusable(char32_t c)
{
    if (c < 0x20)
        return !IsTextControl(c);
    if (c >= 0x7F && c <= 0x9F)
        return true;
    if (c == 0xFFFD || c == 0xFFFE || c == 0xFFFF)
        return true;
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_NotAssigned || category == QChar::Other_PrivateUse
        || category == QChar::Other_Surrogate;
}

struct TUtf16Count {
    qsizetype Units = 0;
    qsizetype Unusable = 0;
    qsizetype Ascii = 0; // U+0001 .. U+00FF: a NUL high byte
    qsizetype LineEnds = 0;
};

// Counts the characters of a chunk read as UTF-16 in one byte order. A
// surrogate cut off by the chunk's edge is not held against it.
void CountUtf16(const TEncodingSample::TChunk &chunk, bool bigEndian, TUtf16Count &count)
{
    const auto *u = reinterpret_cast<const unsigned char *>(chunk.Bytes.constData());
    const qsizetype begin = (chunk.Offset % 2 != 0) ? 1 : 0; // characters start at even offsets
    const qsizetype n = std::max<qsizetype>(chunk.Bytes.size() - begin, 0) / 2;
    auto unit = [&](qsizetype k) {
        const qsizetype i = begin + 2 * k;
        return bigEndian ? char16_t(u[i] << 8 | u[i + 1]) : char16_t(u[i + 1] << 8 | u[i]);
    };
    for (qsizetype k = 0; k < n; ++k) {
        const char16_t c = unit(k);
        ++count.Units;
        if (QChar::isHighSurrogate(c) && k + 1 < n && QChar::isLowSurrogate(unit(k + 1))) {
            count.Unusable += IsUnusable(QChar::surrogateToUcs4(c, unit(k + 1)));
            ++k;
            ++count.Units;
            continue;
        }
        const bool cutHalf = (QChar::isLowSurrogate(c) && k == 0 && !chunk.AtFileStart)
            || (QChar::isHighSurrogate(c) && k + 1 == n && !chunk.AtFileEnd);
        if (cutHalf)
            continue;
        if (c > 0 && c < 0x100)
            ++count.Ascii;
        if (c == u'\n' || c == u'\r')
            ++count.LineEnds;
        count.Unusable += IsUnusable(c);
    }
}

TUtf16Count CountUtf16(const TEncodingSample &sample, bool bigEndian)
{
    TUtf16Count count;
    for (const auto &chunk : sample.Chunks)
        CountUtf16(chunk, bigEndian, count);
    return count;
}

bool IsPlausibleUtf16(const TUtf16Count &count)
{
    if (count.Ascii == 0 || count.Unusable * UnusableShare > count.Units)
        return false;
    if (count.Units >= LineEndSpan)
        return count.LineEnds > 0;
    return count.LineEnds > 0 || count.Ascii * 2 >= count.Units; // a short text: a line, or mostly ASCII
}

bool HasNul(const TEncodingSample &sample)
{
    for (const auto &chunk : sample.Chunks)
        if (std::memchr(chunk.Bytes.constData(), 0, size_t(chunk.Bytes.size())))
            return true;
    return false;
}

struct TSignature {
    qsizetype Offset;
    std::string_view Magic;
};

const TSignature Signatures[] = {
    {0, "\x89PNG\r\n\x1A\n"sv},
    {0, "\xFF\xD8\xFF"sv}, // JPEG
    {0, "GIF87a"sv},
    {0, "GIF89a"sv},
    {0, "II*\0"sv}, // TIFF
    {0, "MM\0*"sv},
    {0, "\0\0\1\0"sv}, // icon
    {0, "%PDF-"sv},
    {0, "AT&TFORM"sv}, // DjVu
    {0, "PK\3\4"sv}, // ZIP: EPUB, DOCX, ODT, JAR ...
    {0, "PK\5\6"sv},
    {0, "PK\7\x08"sv},
    {0, "\x1F\x8B"sv}, // gzip
    {0, "\x1F\x9D"sv}, // compress
    {0,
     "\xFD"
     "7zXZ\0"sv},
    {0, "7z\xBC\xAF\x27\x1C"sv},
    {0, "Rar!\x1A\x07"sv},
    {0, "\x28\xB5\x2F\xFD"sv}, // Zstandard
    {0, "\x04\x22\x4D\x18"sv}, // LZ4
    {0, "MSCF\0\0\0\0"sv}, // cabinet
    {0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv}, // DOC, XLS, MSI
    {0,
     "\x7F"
     "ELF"sv},
    {0, "\xCF\xFA\xED\xFE"sv}, // Mach-O
    {0, "\xCE\xFA\xED\xFE"sv},
    {0, "\xFE\xED\xFA\xCE"sv},
    {0, "\xFE\xED\xFA\xCF"sv},
    {0, "\xCA\xFE\xBA\xBE"sv}, // Java class, universal binary
    {0, "\0asm"sv},
    {0, "SQLite format 3\0"sv},
    {0, "OggS\0"sv},
    {0, "fLaC"sv},
    {0, "ID3\2"sv},
    {0, "ID3\3"sv},
    {0, "ID3\4"sv},
    {0, "MThd\0\0\0\6"sv}, // MIDI
    {0, "\x1A\x45\xDF\xA3"sv}, // Matroska, WebM
    {4, "ftyp"sv}, // MP4, MOV, HEIC
    {8, "WEBP"sv}, // RIFF containers
    {8, "WAVE"sv},
    {8, "AVI "sv},
    {0, "wOFF\0"sv}, // fonts
    {0, "wOF2\0"sv},
    {0, "OTTO\0"sv},
    {0, "\0\1\0\0\0"sv},
    {60, "BOOKMOBI"sv}, // Mobipocket and PalmDOC books
    {60, "TEXtREAd"sv},
};

bool Utf16LooksLikeText(const TEncodingSample &sample, const TBookEncoding &encoding)
{
    const TUtf16Count count = CountUtf16(sample, encoding.IsBigEndian());
    return count.Unusable * UnusableShare <= count.Units;
}

// Characters of the sample read in its encoding that its code page does
// not define (U+FFFD) or that are C1 controls, against all it reads.
bool FewUndefinedCharacters(const TEncodingSample &sample, TBookEncoding encoding)
{
    if (!encoding.IsDecided())
        encoding = TBookEncoding::Fallback();
    qsizetype characters = 0;
    qsizetype undefined = 0;
    for (const auto &chunk : sample.Chunks) {
        const QString text = DecodeBookBytes(chunk.Bytes, encoding, TByteEdges{!chunk.AtFileStart, !chunk.AtFileEnd});
        characters += text.size();
        for (const QChar c : text)
            undefined += c.unicode() == 0xFFFD || (c.unicode() >= 0x80 && c.unicode() <= 0x9F);
    }
    return undefined * UndefinedShare <= characters;
}

} // namespace

TBookEncoding Utf16FromPattern(const TEncodingSample &sample)
{
    if (!HasNul(sample))
        return TBookEncoding(); // ASCII characters in UTF-16 come with NUL bytes
    const TUtf16Count little = CountUtf16(sample, false);
    const TUtf16Count big = CountUtf16(sample, true);
    const bool littleOk = IsPlausibleUtf16(little);
    const bool bigOk = IsPlausibleUtf16(big);
    // Both plausible (a short sample): the order with more line ends, then
    // the one with fewer unusable characters, then more ASCII ones.
    const auto rank = [](const TUtf16Count &c) { return std::make_tuple(c.LineEnds, -c.Unusable, c.Ascii); };
    if (littleOk && (!bigOk || rank(little) >= rank(big)))
        return TBookEncoding::MakeUtf16(false);
    if (bigOk)
        return TBookEncoding::MakeUtf16(true);
    return TBookEncoding();
}

bool HasBinarySignature(const QByteArray &fileStart)
{
    const std::string_view start(fileStart.constData(), size_t(fileStart.size()));
    for (const TSignature &signature : Signatures)
        if (start.size() >= signature.Offset + signature.Magic.size()
            && start.substr(size_t(signature.Offset), signature.Magic.size()) == signature.Magic)
            return true;
    return false;
}

bool LooksLikeTextBook(const TEncodingSample &sample)
{
    qsizetype bytes = 0;
    qsizetype nuls = 0;
    qsizetype controls = 0;
    for (const auto &chunk : sample.Chunks) {
        if (chunk.AtFileStart && HasBinarySignature(chunk.Bytes))
            return false;
        bytes += chunk.Bytes.size();
        for (const char c : chunk.Bytes) {
            const auto b = static_cast<unsigned char>(c);
            nuls += b == 0;
            controls += (b < 0x20 && !IsTextControl(b)) || b == 0x7F;
        }
    }
    if (bytes == 0)
        return true;
    const TBookEncoding encoding = DetectBookEncoding(sample);
    if (encoding.IsUtf16())
        return Utf16LooksLikeText(sample, encoding);
    if (nuls * NulShare > bytes || controls * ControlShare > bytes)
        return false;
    return FewUndefinedCharacters(sample, encoding);
}
