// Pieces of a book read as one book: each piece shows whole lines, from the
// first line that begins inside its bytes to the end of the line where its
// bytes end, so neighbouring pieces share nothing and no word is cut. A seam
// prefers the start of a paragraph (a line after an empty line) near the
// piece's edge, else the start of a line; a line longer than the search
// window is cut between words, or at a character boundary. Pieces keep their
// numbers and their nominal byte ranges ((k - 1) * P .. k * P).
#pragma once

#include "BookFile.h"

#include <QByteArray>
#include <QIODevice>

// How far past a piece's nominal edge a seam is looked for, and how much of
// the text before it is read to know the line there.
constexpr qint64 SeamWindow = 16384;
constexpr qint64 SeamLookBack = 512;

// The seam at or after byte `at`, found in `window`: bytes of the file from
// `windowStart` (at or before `at`, on a character unit) on; `atEnd` when
// the window reaches the end of the book, where a line starting a little
// before `at` is taken rather than none. `clean` tells
// whether the seam falls between characters of a line end or words (false
// only for the character-boundary fallback in a multi-byte code page).
qint64 SeamInWindow(const QByteArray &window, qint64 windowStart, qint64 at, const TBookEncoding &encoding,
                    bool atEnd, bool *clean = nullptr);

// The bytes piece `piece` shows, read from the seams around its edges; the
// edges tell whether a cut falls inside a character.
struct TSeamedPiece {
    TPieceRange Range;
    TByteEdges Edges;
    bool Ok = true; // the seams could be read
};
TSeamedPiece SeamedPieceRange(QIODevice &device, qint64 fileSize, int piece, int pieceSize,
                              const TBookEncoding &encoding);
// The same over a book held whole in memory.
TSeamedPiece SeamedPieceRange(const QByteArray &book, int piece, int pieceSize, const TBookEncoding &encoding);
