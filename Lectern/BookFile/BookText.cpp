#include "BookText.h"

#include "BookContent.h"

#include <QHash>
#include <QMutex>

#include <array>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <uchardet.h>

namespace {

// A code page needs this many bytes beyond ASCII before its detection is
// trusted; a handful of accented letters or curly quotes says nothing about
// the script and reads best as Windows-1252.
constexpr int MinHighBytesForCodePage = 16;

const QByteArray Windows1252 = QByteArrayLiteral("WINDOWS-1252");

// Length of the UTF-8 sequence led by `b`, 0 for a byte that cannot lead.
int Utf8SequenceLength(unsigned char b)
{
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        return 2;
    if (b >= 0xE0 && b <= 0xEF)
        return 3;
    if (b >= 0xF0 && b <= 0xF4)
        return 4;
    return 0;
}

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Allowed range of the second byte of a sequence led by `lead`.
bool SecondByteOk(unsigned char lead, unsigned char b)
{
    switch (lead) {
    case 0xE0: return b >= 0xA0 && b <= 0xBF; // no overlong forms
    case 0xED: return b >= 0x80 && b <= 0x9F; // no surrogates
    case 0xF0: return b >= 0x90 && b <= 0xBF;
    case 0xF4: return b >= 0x80 && b <= 0x8F; // nothing past U+10FFFF
    default: return IsContinuation(b);
    }
}

// The part of the bytes left after dropping the pieces of characters that a
// cut at either edge broke.
void CleanUtf8Edges(const char *data, qsizetype size, TByteEdges edges, qsizetype &begin, qsizetype &end)
{
    const auto *u = reinterpret_cast<const unsigned char *>(data);
    begin = 0;
    end = size;
    if (edges.CutAtStart)
        while (begin < end && begin < 3 && IsContinuation(u[begin]))
            ++begin;
    if (edges.CutAtEnd) {
        qsizetype p = end - 1;
        while (p > begin && end - p < 4 && IsContinuation(u[p]))
            --p;
        if (p >= begin) {
            const int length = Utf8SequenceLength(u[p]);
            if (length > 1 && p + length > end)
                end = p;
        }
    }
}

// A 256-entry table of a single-byte code page, built once through iconv.
using TByteTable = std::array<char16_t, 256>;

std::shared_ptr<const TByteTable> BuildTable(const QByteArray &name)
{
    iconv_t cd = iconv_open("UTF-32LE", name.constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    auto table = std::make_shared<TByteTable>();
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        unsigned char out[8] = {};
        char *inp = &in;
        char *outp = reinterpret_cast<char *>(out);
        size_t inLeft = 1;
        size_t outLeft = sizeof(out);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
        const uint32_t code
            = uint32_t(out[0]) | uint32_t(out[1]) << 8 | uint32_t(out[2]) << 16 | uint32_t(out[3]) << 24;
        if (r == size_t(-1) || outLeft != sizeof(out) - 4 || code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF))
            (*table)[b] = 0xFFFD;
        else
            (*table)[b] = static_cast<char16_t>(code);
    }
    iconv_close(cd);
    return table;
}

std::shared_ptr<const TByteTable> TableFor(const QByteArray &name)
{
    static QMutex mutex;
    static QHash<QByteArray, std::shared_ptr<const TByteTable>> tables;
    QMutexLocker lock(&mutex);
    auto it = tables.find(name);
    if (it != tables.end())
        return it.value();
    auto table = BuildTable(name);
    if (!table && name != Windows1252) {
        lock.unlock();
        table = TableFor(Windows1252);
        lock.relock();
    }
    if (!table) { // no iconv tables at all: Latin-1
        auto latin1 = std::make_shared<TByteTable>();
        for (int b = 0; b < 256; ++b)
            (*latin1)[b] = static_cast<char16_t>(b);
        table = latin1;
    }
    tables.insert(name, table);
    return table;
}

// The code pages a detection may choose: those of other scripts than the
// Western one. Western answers (Latin-1, Latin-9, Vietnamese, and the Mac
// pages uchardet offers on short Western samples) read as Windows-1252.
bool IsAcceptedCodePage(const QByteArray &name)
{
    static const QList<QByteArray> accepted = {
        "WINDOWS-1250", "WINDOWS-1251", "WINDOWS-1253", "WINDOWS-1254", "WINDOWS-1255", "WINDOWS-1256", "WINDOWS-1257",
        "ISO-8859-2",   "ISO-8859-3",   "ISO-8859-4",   "ISO-8859-5",   "ISO-8859-6",   "ISO-8859-7",   "ISO-8859-8",
        "ISO-8859-9",   "ISO-8859-10",  "ISO-8859-11",  "ISO-8859-13",  "ISO-8859-16",  "KOI8-R",       "KOI8-U",
        "IBM852",       "IBM855",       "IBM866",       "TIS-620",
    };
    return accepted.contains(name);
}

// The Japanese and Chinese encodings a detection may choose (GB2312 is read
// as its successor GB18030).
QByteArray AcceptedMultiByte(const QByteArray &name)
{
    if (name == "SHIFT_JIS" || name == "EUC-JP" || name == "GB18030" || name == "BIG5")
        return name;
    if (name == "GB2312")
        return QByteArrayLiteral("GB18030");
    return QByteArray();
}

// Bytes of a multi-byte encoding through iconv: invalid bytes become U+FFFD,
// a character cut at the end is dropped.
QString DecodeMultiByte(const QByteArray &bytes, const QByteArray &name, TByteEdges edges)
{
    qsizetype begin = 0;
    if (edges.CutAtStart) {
        while (begin < bytes.size() && static_cast<unsigned char>(bytes[begin]) >= 0x30)
            ++begin;
    }
    iconv_t cd = iconv_open("UTF-16LE", name.constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(bytes.constData() + begin, bytes.size() - begin);
    QString text;
    text.reserve(bytes.size() - begin);
    char *in = const_cast<char *>(bytes.constData()) + begin;
    size_t inLeft = size_t(bytes.size() - begin);
    char16_t buffer[4096];
    while (inLeft > 0) {
        char *out = reinterpret_cast<char *>(buffer);
        size_t outLeft = sizeof(buffer);
        const size_t r = iconv(cd, &in, &inLeft, &out, &outLeft);
        text.append(reinterpret_cast<const QChar *>(buffer), qsizetype((sizeof(buffer) - outLeft) / 2));
        if (r != size_t(-1))
            continue;
        if (errno == E2BIG)
            continue;
        if (errno == EINVAL) { // a character cut by the end of the bytes
            if (!edges.CutAtEnd)
                text.append(QChar(0xFFFD));
            break;
        }
        text.append(QChar(0xFFFD)); // EILSEQ: a byte no character starts with
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return text;
}

struct TEncodingChoice {
    const char *Shown;
    TBookEncoding::TKind Kind;
    const char *Name;
};

const TEncodingChoice Choices[] = {
    {"Automatic", TBookEncoding::Undecided, ""},
    {"UTF-8", TBookEncoding::Utf8, "UTF-8"},
    {"UTF-16 LE", TBookEncoding::Utf16, "UTF-16LE"},
    {"UTF-16 BE", TBookEncoding::Utf16, "UTF-16BE"},
    {"Windows-1250", TBookEncoding::SingleByte, "WINDOWS-1250"},
    {"Windows-1251", TBookEncoding::SingleByte, "WINDOWS-1251"},
    {"Windows-1252", TBookEncoding::SingleByte, "WINDOWS-1252"},
    {"Windows-1253", TBookEncoding::SingleByte, "WINDOWS-1253"},
    {"ISO-8859-1", TBookEncoding::SingleByte, "ISO-8859-1"},
    {"ISO-8859-2", TBookEncoding::SingleByte, "ISO-8859-2"},
    {"ISO-8859-5", TBookEncoding::SingleByte, "ISO-8859-5"},
    {"ISO-8859-7", TBookEncoding::SingleByte, "ISO-8859-7"},
    {"ISO-8859-15", TBookEncoding::SingleByte, "ISO-8859-15"},
    {"KOI8-R", TBookEncoding::SingleByte, "KOI8-R"},
    {"KOI8-U", TBookEncoding::SingleByte, "KOI8-U"},
    {"CP866", TBookEncoding::SingleByte, "IBM866"},
    {"Shift_JIS", TBookEncoding::MultiByte, "SHIFT_JIS"},
    {"EUC-JP", TBookEncoding::MultiByte, "EUC-JP"},
    {"GB18030", TBookEncoding::MultiByte, "GB18030"},
    {"Big5", TBookEncoding::MultiByte, "BIG5"},
};

} // namespace

QStringList EncodingChoices()
{
    QStringList names;
    for (const TEncodingChoice &c : Choices)
        names << QLatin1String(c.Shown);
    return names;
}

bool EncodingFromName(const QString &name, TBookEncoding &encoding)
{
    QString wanted = name.trimmed();
    if (wanted.compare(QLatin1String("UTF-16LE"), Qt::CaseInsensitive) == 0)
        wanted = QStringLiteral("UTF-16 LE");
    else if (wanted.compare(QLatin1String("UTF-16BE"), Qt::CaseInsensitive) == 0)
        wanted = QStringLiteral("UTF-16 BE");
    for (const TEncodingChoice &c : Choices) {
        if (wanted.compare(QLatin1String(c.Shown), Qt::CaseInsensitive) != 0)
            continue;
        encoding = TBookEncoding();
        encoding.Kind = c.Kind;
        encoding.Name = c.Name;
        return true;
    }
    return false;
}

QString EncodingDisplayName(const TBookEncoding &encoding)
{
    if (!encoding.IsDecided())
        return QStringLiteral("Automatic");
    for (const TEncodingChoice &c : Choices)
        if (c.Kind == encoding.Kind && encoding.Name == c.Name)
            return QLatin1String(c.Shown);
    if (encoding.Name.startsWith("WINDOWS-"))
        return QStringLiteral("Windows-") + QString::fromLatin1(encoding.Name.mid(8));
    return QString::fromLatin1(encoding.Name);
}

TBookEncoding TBookEncoding::MakeMultiByte(const QByteArray &name)
{
    TBookEncoding e;
    e.Kind = MultiByte;
    e.Name = name;
    return e;
}

TBookEncoding TBookEncoding::MakeUtf8()
{
    TBookEncoding e;
    e.Kind = Utf8;
    e.Name = QByteArrayLiteral("UTF-8");
    return e;
}

TBookEncoding TBookEncoding::MakeSingleByte(const QByteArray &name)
{
    TBookEncoding e;
    e.Kind = SingleByte;
    e.Name = name;
    return e;
}

TBookEncoding TBookEncoding::Fallback() { return MakeSingleByte(Windows1252); }

TBookEncoding TBookEncoding::MakeUtf16(bool bigEndian)
{
    TBookEncoding e;
    e.Kind = Utf16;
    e.Name = bigEndian ? QByteArrayLiteral("UTF-16BE") : QByteArrayLiteral("UTF-16LE");
    return e;
}

TBookEncoding Utf16FromBom(const QByteArray &fileStart)
{
    if (fileStart.startsWith("\xFF\xFE"))
        return TBookEncoding::MakeUtf16(false);
    if (fileStart.startsWith("\xFE\xFF"))
        return TBookEncoding::MakeUtf16(true);
    return TBookEncoding();
}

QByteArray Utf16BytesBeforeNul(const QByteArray &bytes, bool *truncated)
{
    const char *d = bytes.constData();
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        if (d[i] == 0 && d[i + 1] == 0) {
            if (truncated)
                *truncated = true;
            return bytes.left(i);
        }
    }
    if (truncated)
        *truncated = false;
    return bytes;
}

bool IsValidUtf8(const char *data, qsizetype size, TByteEdges edges)
{
    const auto *u = reinterpret_cast<const unsigned char *>(data);
    qsizetype i = 0;
    if (edges.CutAtStart)
        while (i < size && i < 3 && IsContinuation(u[i]))
            ++i;
    while (i < size) {
        const unsigned char b = u[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        const int length = Utf8SequenceLength(b);
        if (length == 0)
            return false;
        for (int k = 1; k < length; ++k) {
            if (i + k >= size)
                return edges.CutAtEnd; // cut in the middle of the last character
            const bool ok = k == 1 ? SecondByteOk(b, u[i + k]) : IsContinuation(u[i + k]);
            if (!ok)
                return false;
        }
        i += length;
    }
    return true;
}

QByteArray BytesBeforeNul(const QByteArray &bytes, bool *truncated)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (truncated)
        *truncated = nul >= 0;
    return nul >= 0 ? bytes.left(nul) : bytes;
}

TBookEncoding Utf16FromSample(const TEncodingSample &sample)
{
    for (const auto &chunk : sample.Chunks) {
        if (chunk.AtFileStart) {
            const TBookEncoding bom = Utf16FromBom(chunk.Bytes);
            if (bom.IsDecided())
                return bom;
        }
    }
    return Utf16FromPattern(sample);
}

TBookEncoding DetectBookEncoding(const TEncodingSample &sample)
{
    // UTF-16 decides before anything else: its text is full of NUL bytes,
    // which would end the text for the other tests.
    const TBookEncoding utf16 = Utf16FromSample(sample);
    if (utf16.IsDecided())
        return utf16;
    qsizetype highBytes = 0;
    bool utf8 = true;
    for (const auto &chunk : sample.Chunks) {
        bool truncated = false;
        const QByteArray bytes = BytesBeforeNul(chunk.Bytes, &truncated);
        for (char c : bytes)
            highBytes += (static_cast<unsigned char>(c) >= 0x80);
        const TByteEdges edges{!chunk.AtFileStart, !chunk.AtFileEnd && !truncated};
        if (utf8 && !IsValidUtf8(bytes.constData(), bytes.size(), edges))
            utf8 = false;
    }
    if (highBytes == 0)
        return TBookEncoding();
    if (utf8)
        return TBookEncoding::MakeUtf8();

    QByteArray detected;
    if (uchardet_t detector = uchardet_new()) {
        for (const auto &chunk : sample.Chunks) {
            const QByteArray bytes = BytesBeforeNul(chunk.Bytes);
            if (!bytes.isEmpty() && uchardet_handle_data(detector, bytes.constData(), size_t(bytes.size())) != 0)
                break;
        }
        uchardet_data_end(detector);
        if (const char *charset = uchardet_get_charset(detector))
            detected = QByteArray(charset).toUpper();
        uchardet_delete(detector);
    }
    if (detected == "UTF-8") // UTF-8 with a few damaged bytes
        return TBookEncoding::MakeUtf8();
    if (highBytes >= MinHighBytesForCodePage && IsAcceptedCodePage(detected) && TableFor(detected))
        return TBookEncoding::MakeSingleByte(detected);
    const QByteArray multiByte = AcceptedMultiByte(detected);
    if (highBytes >= MinHighBytesForCodePage && !multiByte.isEmpty())
        return TBookEncoding::MakeMultiByte(multiByte);
    return TBookEncoding::Fallback();
}

TBookEncoding DetectBookEncoding(const QByteArray &bytes)
{
    TEncodingSample sample;
    sample.Chunks.append({bytes, true, true, 0});
    return DetectBookEncoding(sample);
}

QString DecodeBookBytes(const QByteArray &bytes, const TBookEncoding &encoding, TByteEdges edges)
{
    TBookEncoding used = encoding;
    if (!used.IsDecided()) {
        TEncodingSample sample;
        sample.Chunks.append({bytes, !edges.CutAtStart, !edges.CutAtEnd, 0});
        used = DetectBookEncoding(sample);
        if (!used.IsDecided())
            used = TBookEncoding::Fallback();
    }
    if (used.Kind == TBookEncoding::Utf16) {
        qsizetype begin = (!edges.CutAtStart && Utf16FromBom(bytes).IsDecided()) ? 2 : 0;
        qsizetype end = bytes.size();
        end -= (end - begin) % 2;
        QString text(static_cast<qsizetype>((end - begin) / 2), Qt::Uninitialized);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
        const bool big = used.IsBigEndian();
        for (qsizetype i = begin, k = 0; i < end; i += 2, ++k)
            out[k] = big ? char16_t(in[i] << 8 | in[i + 1]) : char16_t(in[i + 1] << 8 | in[i]);
        // Halves of a character that a cut broke are dropped at that edge;
        // lone surrogates elsewhere become U+FFFD.
        if (edges.CutAtStart && !text.isEmpty() && text.front().isLowSurrogate())
            text.remove(0, 1);
        if (edges.CutAtEnd && !text.isEmpty() && text.back().isHighSurrogate())
            text.chop(1);
        char16_t *t = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype i = 0, n = text.size(); i < n; ++i) {
            if (QChar::isHighSurrogate(t[i]) && i + 1 < n && QChar::isLowSurrogate(t[i + 1]))
                ++i;
            else if (QChar::isSurrogate(t[i]))
                t[i] = 0xFFFD;
        }
        return text;
    }
    if (used.Kind == TBookEncoding::Utf8) {
        qsizetype begin = 0;
        qsizetype end = bytes.size();
        if (!edges.CutAtStart && bytes.startsWith("\xEF\xBB\xBF"))
            begin = 3;
        qsizetype cleanBegin = 0;
        qsizetype cleanEnd = 0;
        CleanUtf8Edges(bytes.constData() + begin, end - begin, edges, cleanBegin, cleanEnd);
        return QString::fromUtf8(bytes.constData() + begin + cleanBegin, cleanEnd - cleanBegin);
    }
    if (used.Kind == TBookEncoding::MultiByte)
        return DecodeMultiByte(bytes, used.Name, edges);
    const auto table = TableFor(used.Name);
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
    for (qsizetype i = 0, n = bytes.size(); i < n; ++i)
        out[i] = in[i] < 0x80 ? char16_t(in[i]) : (*table)[in[i]];
    return text;
}

QStringList SplitBookLines(const QString &text)
{
    QStringList lines;
    const QChar *d = text.constData();
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i].unicode();
        if (c == u'\n') {
            lines.append(QString(d + start, i - start));
            start = i + 1;
        } else if (c == u'\r') {
            lines.append(QString(d + start, i - start));
            if (i + 1 < n && d[i + 1] == u'\n')
                i += 1;
            else if (i + 2 < n && d[i + 1] == u'\r' && d[i + 2] == u'\n')
                i += 2;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(QString(d + start, n - start));
    return lines;
}

QString EndOfBookMarker() { return QStringLiteral("***** End of Book *****"); }

QString EndOfPieceMarker(int piece, int pieceCount)
{
    return QStringLiteral("***** End of Piece %1 / %2 *****").arg(piece).arg(pieceCount);
}

bool IsEndMarker(QStringView line, bool *pieceEnd)
{
    line = line.trimmed();
    const bool piece = line.startsWith(QLatin1String("***** End of Piece ")) && line.endsWith(QLatin1String(" *****"));
    if (pieceEnd)
        *pieceEnd = piece;
    return piece || line == EndOfBookMarker();
}

namespace {
// Blanks and control characters at both ends removed (a DOS end-of-file
// byte 0x1A on the last line counts as blank).
QString TrimBlanks(const QString &line)
{
    qsizetype b = 0;
    qsizetype e = line.size();
    while (b < e && line.at(b).unicode() <= 0x20)
        ++b;
    while (e > b && line.at(e - 1).unicode() <= 0x20)
        --e;
    return line.mid(b, e - b);
}
} // namespace

void AddEndMarker(QStringList &lines, int piece, int pieceCount)
{
    const QString bookMarker = EndOfBookMarker();
    for (qsizetype i = lines.size() - 1; i >= 1; --i) {
        const QString trimmed = TrimBlanks(lines.at(i));
        if (!trimmed.isEmpty() && trimmed != bookMarker)
            break;
        lines.removeAt(i);
    }
    lines.append(QString());
    lines.append(piece < pieceCount ? EndOfPieceMarker(piece, pieceCount) : bookMarker);
}
