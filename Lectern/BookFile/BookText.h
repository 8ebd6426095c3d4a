// Turning the bytes of a plain-text book into lines: the encoding (UTF-8, or
// a single-byte code page recognised by libuchardet, Windows-1252 by
// default), clean cuts at piece edges, line ends and the end marker.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// How a book's bytes are read. The same value serves every piece of a book.
struct TBookEncoding {
    enum TKind { Undecided, Utf8, SingleByte, Utf16, MultiByte };
    TKind Kind = Undecided;
    // "UTF-8", "UTF-16LE", "UTF-16BE", or the iconv name of the code page
    // ("WINDOWS-1251", "SHIFT_JIS")
    QByteArray Name;

    bool IsDecided() const { return Kind != Undecided; }
    static TBookEncoding MakeUtf8();
    static TBookEncoding MakeSingleByte(const QByteArray &name);
    static TBookEncoding Fallback(); // Windows-1252
    static TBookEncoding MakeUtf16(bool bigEndian);
    static TBookEncoding MakeMultiByte(const QByteArray &name);
    bool IsUtf16() const { return Kind == Utf16; }
    bool IsBigEndian() const { return Name == "UTF-16BE"; }
};

// The encodings a reader may choose for a book, as the "Encoding" option
// names them: "Automatic" first (recognise it), then "UTF-8", "UTF-16 LE",
// "UTF-16 BE", the Windows, ISO and Cyrillic code pages and the Japanese and
// Chinese multi-byte encodings.
QStringList EncodingChoices();
// The encoding a choice names (letter case ignored, "UTF-16LE" too);
// undecided for "Automatic". False for a name that is not a choice.
bool EncodingFromName(const QString &name, TBookEncoding &encoding);
// How the reader names an encoding in use: the choice's name when it is one
// ("Windows-1251", "UTF-16 LE"), else the code page's own name.
QString EncodingDisplayName(const TBookEncoding &encoding);

// UTF-16 when the file's first bytes are its byte order mark (FF FE or
// FE FF); undecided otherwise.
TBookEncoding Utf16FromBom(const QByteArray &fileStart);

// Bytes of a book taken here and there, for recognising its encoding. Each
// chunk knows whether it starts at the file's start and ends at its end, and
// where in the file it starts.
struct TEncodingSample {
    struct TChunk {
        QByteArray Bytes;
        bool AtFileStart = false;
        bool AtFileEnd = false;
        qint64 Offset = 0;
    };
    QList<TChunk> Chunks;
};

// UTF-16 when the sample starts with its byte order mark or shows its byte
// pattern (Utf16FromPattern, BookContent.h); undecided otherwise.
TBookEncoding Utf16FromSample(const TEncodingSample &sample);

// The encoding the sample shows: UTF-16 as Utf16FromSample finds it; UTF-8
// when every chunk is valid UTF-8 (its
// cut edges aside) and there is something beyond ASCII; a code page of
// another script or a Japanese or Chinese encoding that libuchardet is sure
// enough about; Windows-1252 otherwise. A
// sample with nothing beyond ASCII stays undecided (any choice reads it).
TBookEncoding DetectBookEncoding(const TEncodingSample &sample);
TBookEncoding DetectBookEncoding(const QByteArray &bytes);

// Where the bytes came from: a piece that starts or ends inside the file is
// a cut, and a character broken by the cut is dropped at that edge.
struct TByteEdges {
    bool CutAtStart = false;
    bool CutAtEnd = false;
};

// The bytes up to the first NUL; `truncated` tells whether one was found.
QByteArray BytesBeforeNul(const QByteArray &bytes, bool *truncated = nullptr);
// The same for UTF-16 text: up to the first NUL character (two zero bytes at
// an even offset).
QByteArray Utf16BytesBeforeNul(const QByteArray &bytes, bool *truncated = nullptr);

// Decodes the bytes (no NUL handling here). An undecided encoding is decided
// from these bytes alone. A UTF-8 byte order mark at the file start is
// dropped; invalid bytes become U+FFFD. A multi-byte text cut at its start
// begins after its first byte below 0x30, which no encoding uses inside a
// character.
QString DecodeBookBytes(const QByteArray &bytes, const TBookEncoding &encoding, TByteEdges edges = {});

// Lines split at CR LF, CR or LF; CR CR LF (a file whose line ends were
// converted twice) is one line end too. A line end at the very end makes no
// empty last line.
QStringList SplitBookLines(const QString &text);

// Bytes are valid UTF-8 (overlong forms and surrogates refused); a sequence
// cut by the chunk's edges is allowed there.
bool IsValidUtf8(const char *data, qsizetype size, TByteEdges edges = {});

// The end markers and AddEndMarker: trailing lines that are blank or an old
// "***** End of Book *****" are removed (never the first line), one empty
// line follows, then the piece's marker (a piece below the count) or the
// book's marker.
QString EndOfBookMarker();
QString EndOfPieceMarker(int piece, int pieceCount);
// Whether a paragraph is one of the markers (blanks around it ignored);
// `pieceEnd` tells whether it ends a piece rather than the book.
bool IsEndMarker(QStringView line, bool *pieceEnd = nullptr);
void AddEndMarker(QStringList &lines, int piece, int pieceCount);
