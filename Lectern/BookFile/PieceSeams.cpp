#include "PieceSeams.h"

#include <algorithm>

namespace {

// A character unit of the encoding at byte `i` of the window: its value for
// line ends and spaces (UTF-16 read in its byte order; other encodings byte
// by byte, where line ends and spaces are never part of a longer character).
struct TUnits {
    const QByteArray &Bytes;
    int Size; // 1, or 2 for UTF-16
    bool BigEndian;

    qint64 Count() const { return Bytes.size() / Size; }
    ushort At(qint64 unit) const
    {
        const auto *p = reinterpret_cast<const uchar *>(Bytes.constData()) + unit * Size;
        if (Size == 1)
            return p[0];
        return BigEndian ? ushort(p[0] << 8 | p[1]) : ushort(p[1] << 8 | p[0]);
    }
};

bool IsBlankUnit(ushort u) { return u == ' ' || u == '\t' || u == '\r' || u == 0x0C; }

// Whether the unit at `i` ends a line: LF, or a CR not followed by LF (CR
// CR LF, line ends converted twice, is one line end, as the lines are split).
bool EndsLine(const TUnits &units, qint64 i)
{
    const ushort u = units.At(i);
    if (u == '\n')
        return true;
    if (u != '\r')
        return false;
    const qint64 count = units.Count();
    const ushort next = i + 1 < count ? units.At(i + 1) : 0;
    const ushort after = i + 2 < count ? units.At(i + 2) : 0;
    return next != '\n' && !(next == '\r' && after == '\n');
}

// The unit index of the first line start at or after `first`, -1 when the
// window holds none. `paragraph` asks for a line that follows an empty line.
// The window begins some way before `first`, so that the line before a
// start is known; the partial line at the window's start counts as text.
qint64 LineStartFrom(const TUnits &units, qint64 first, bool paragraph)
{
    const qint64 count = units.Count();
    bool lineHasText = true;
    for (qint64 i = 0; i < count; ++i) {
        if (EndsLine(units, i)) {
            const qint64 start = i + 1;
            if (start >= first && start < count && (!paragraph || !lineHasText))
                return start;
            lineHasText = false;
        } else if (!IsBlankUnit(units.At(i))) {
            lineHasText = true;
        }
    }
    return -1;
}

// The last line start before `first`, -1 when the window holds none.
qint64 LineStartBefore(const TUnits &units, qint64 first)
{
    for (qint64 i = std::min(first, units.Count()) - 2; i >= 0; --i)
        if (EndsLine(units, i))
            return i + 1;
    return -1;
}

qint64 WordStartFrom(const TUnits &units, qint64 first)
{
    for (qint64 i = first; i + 1 < units.Count(); ++i)
        if (IsBlankUnit(units.At(i)) && !IsBlankUnit(units.At(i + 1)))
            return i + 1;
    return -1;
}

} // namespace

qint64 SeamInWindow(const QByteArray &window, qint64 windowStart, qint64 at, const TBookEncoding &encoding,
                    bool atEnd, bool *clean)
{
    if (clean)
        *clean = true;
    const int unit = encoding.IsUtf16() ? 2 : 1;
    const TUnits units{window, unit, encoding.IsBigEndian()};
    // UTF-16 units start at even offsets of the file.
    qint64 from = at - windowStart;
    if (unit == 2 && (at % 2) != 0)
        ++from;
    const qint64 first = from / unit;
    if (windowStart + first * unit == 0)
        return 0;
    if (first >= units.Count())
        return windowStart + window.size(); // the end of what there is
    qint64 seam = LineStartFrom(units, first, true);
    if (seam < 0)
        seam = LineStartFrom(units, first, false);
    // Near the book's end the last line may begin just before the edge.
    if (seam < 0 && atEnd)
        seam = LineStartBefore(units, first);
    if (seam < 0)
        seam = WordStartFrom(units, first);
    if (seam >= 0)
        return windowStart + seam * unit;
    // One long run of letters: a character boundary.
    qint64 cut = first * unit;
    if (encoding.Kind == TBookEncoding::Utf8) {
        while (cut < window.size() && (uchar(window.at(cut)) & 0xC0) == 0x80)
            ++cut;
    } else if (encoding.Kind == TBookEncoding::MultiByte && clean) {
        *clean = false;
    }
    return windowStart + cut;
}

namespace {

template <typename TRead>
qint64 SeamAt(qint64 fileSize, qint64 at, const TBookEncoding &encoding, const TRead &read, bool *clean, bool *ok)
{
    if (at <= 0)
        return 0;
    if (at >= fileSize)
        return fileSize;
    const int unit = encoding.IsUtf16() ? 2 : 1;
    // A little of the text before the edge tells whether a line there is empty.
    qint64 start = std::max<qint64>(0, at - SeamLookBack);
    if (unit == 2)
        start -= start % 2;
    const TPieceRange range{start, std::min(fileSize, at + SeamWindow) - start};
    bool readOk = true;
    const QByteArray window = read(range, &readOk);
    if (!readOk && ok)
        *ok = false;
    return SeamInWindow(window, start, at, encoding, start + window.size() >= fileSize, clean);
}

template <typename TRead>
TSeamedPiece SeamedRange(qint64 fileSize, int piece, int pieceSize, const TBookEncoding &encoding, const TRead &read)
{
    TSeamedPiece result;
    const qint64 size = ValidPieceSize(pieceSize);
    const int count = PieceCount(fileSize, int(size));
    piece = std::clamp(piece, 1, std::max(1, count));
    bool startClean = true;
    bool endClean = true;
    const qint64 start = SeamAt(fileSize, (piece - 1) * size, encoding, read, &startClean, &result.Ok);
    const qint64 end = piece >= count ? fileSize : SeamAt(fileSize, piece * size, encoding, read, &endClean, &result.Ok);
    result.Range = {start, std::max<qint64>(0, end - start)};
    result.Edges.CutAtStart = !startClean;
    result.Edges.CutAtEnd = !endClean;
    return result;
}

} // namespace

TSeamedPiece SeamedPieceRange(QIODevice &device, qint64 fileSize, int piece, int pieceSize,
                              const TBookEncoding &encoding)
{
    return SeamedRange(fileSize, piece, pieceSize, encoding,
                       [&device](const TPieceRange &range, bool *ok) { return ReadPieceBytes(device, range, ok); });
}

TSeamedPiece SeamedPieceRange(const QByteArray &book, int piece, int pieceSize, const TBookEncoding &encoding)
{
    return SeamedRange(book.size(), piece, pieceSize, encoding, [&book](const TPieceRange &range, bool *ok) {
        *ok = true;
        return book.mid(range.Start, range.Length);
    });
}
