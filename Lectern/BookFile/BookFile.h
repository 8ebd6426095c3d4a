// Opening plain-text books from files: the size limits, the pieces and
// their byte ranges, and reading a piece or a whole book as lines. No
// widgets: the window asks the questions and shows the texts given here.
#pragma once

#include "BookText.h"

#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

// Books above this size are refused.
constexpr qint64 MaxBookSize = 20000000;
// Plain-text books above this size opened in one piece need a confirmation.
constexpr qint64 OnePieceQuestionSize = 500000;
// Every piece repeats this many bytes of the piece before it.
constexpr int PieceOverlap = 20;
constexpr int DefaultPieceSize = 50000;
constexpr int MinPieceSize = 10000;
constexpr int MaxPieceSize = 500000;

// The choices of the piece-size list, 10000 .. 500000.
QList<int> PieceSizeChoices();
// The piece size, or the default when outside 10000 .. 500000.
int ValidPieceSize(int pieceSize);

// ceiling(size / pieceSize); 0 for an empty book.
int PieceCount(qint64 size, int pieceSize);

// The bytes piece k (from 1) reads: from max((k - 1) * P - 20, 0), up to
// P + 20 bytes, within the file.
struct TPieceRange {
    qint64 Start = 0;
    qint64 Length = 0;
};
TPieceRange PieceByteRange(int piece, int pieceSize, qint64 fileSize);
// Whether the range starts or ends inside the file (a cut).
TByteEdges PieceEdges(const TPieceRange &range, qint64 fileSize);

// The name ends in ".txt" or ".rtf" (any case).
bool IsBookFileName(const QString &path);
bool IsRtfBookName(const QString &path);
// A book file: a .txt or .rtf name of an existing regular file (not a
// directory, a pipe or a device).
bool HasBookFile(const QString &path);
// The filter of the open and save dialogs, one line that shows and matches
// both kinds of book: "Text files (*.txt; *.rtf)|*.txt; *.rtf".
QString BookDialogFilter();

QString NotValidBookText();
QString TooBigBookText();
QString OnePieceQuestionText();
QString EmptyFileText();
// A piece of a book whose file no longer has the pieces it had.
QString BookChangedText();
QString NotTextQuestionText();

// The size of the file in bytes; a file that cannot be queried gives 0 and
// a Warning under "GetFileSize" in the status context ("Failed to access
// file." with the path and the system error).
qint64 QueryBookFileSize(const QString &path);

// What opening a book needs, decided before anything is shown.
enum class TBookOpenVerdict {
    Open, // go on and read it
    NotValid, // warning NotValidBookText()
    SizeQueryFailed, // FunStatContext holds the size query's report
    TooBig, // warning TooBigBookText()
    AskOnePiece, // query OnePieceQuestionText(); go on when answered Yes
    Empty, // message EmptyFileText(); nothing to read
    AskNotText, // query NotTextQuestionText(); on Yes go on as SizeVerdict says
};
struct TBookOpenCheck {
    TBookOpenVerdict Verdict = TBookOpenVerdict::NotValid;
    // What the size checks alone decided. It differs from Verdict only
    // under AskNotText, where it is Open or AskOnePiece.
    TBookOpenVerdict SizeVerdict = TBookOpenVerdict::NotValid;
    // The file's sample looks like a text book (LooksLikeTextBook); false
    // exactly when Verdict is AskNotText.
    bool LooksLikeText = true;
    qint64 Size = 0;
    bool Rtf = false;
    int PieceCount = 0; // pieces of the file at the piece size
    int ListCount = 1; // items of the pieces list: PieceCount when read in pieces, else 1
    QString Text; // the text to show for the verdict
};
// The size limits first; then, for a file that has bytes, whether it looks
// like a text book, from a sample of at most 64 KB. An RTF name is taken
// for a text book when "{\rtf" is within its first 1024 bytes.
TBookOpenCheck CheckBookForOpening(const QString &path, bool openInPieces, int pieceSize);
// The check once the reader has answered Yes to NotTextQuestionText(): the
// size verdict with its text. Other checks are given back as they are.
TBookOpenCheck OpenNotTextAnyway(const TBookOpenCheck &check);
// A piece number outside 1 .. count becomes 1.
int NormalisePiece(int piece, int count);

// The encoding the pieces of a book are read in: the chosen one when it is
// decided, else the one recognised from the file's sample (undecided when
// the file cannot be read).
TBookEncoding PiecesEncoding(const QString &path, const TBookEncoding &chosen);

// Core readers over a random-access device of known size.
QByteArray ReadPieceBytes(QIODevice &device, const TPieceRange &range, bool *ok = nullptr);
// Bytes for recognising the encoding: the head of the file and a few
// chunks spread over the rest, the same for every piece of a book.
TEncodingSample SampleBookEncoding(QIODevice &device, qint64 fileSize);
TEncodingSample SampleBookEncoding(const QByteArray &wholeBook);
// The lines of bytes read from a book: cut at the first NUL, decoded
// (characters broken by a cut edge dropped) and split.
QStringList BookLinesFromBytes(const QByteArray &bytes, TByteEdges edges, const TBookEncoding &encoding);
// The text those lines are split from.
QString BookTextFromBytes(const QByteArray &bytes, TByteEdges edges, const TBookEncoding &encoding);

// Reads piece `piece` of the file as lines (no end marker). The encoding is
// taken from *encoding when decided, else recognised and stored there.
// Failures ("Failed to load." with the file name and the system error,
// "Empty file.") are recorded under "TLecternForm::LoadPieceFromFile" and
// shown with "Failed to load."; the lines are then empty.
// With `lineSeams` the piece shows whole lines (PieceSeams.h) instead of its
// bytes with the 20 of the piece before.
bool LoadPieceFromFile(const QString &fileName, QStringList &lines, int piece, int pieceSize,
                       TBookEncoding *encoding = nullptr, bool lineSeams = false);
// Reads the whole book as lines (no end marker). Failures are recorded under
// "TLecternForm::LoadFromFile" and left in FunStatContext for the caller.
bool ReadWholeBook(const QString &fileName, QStringList &lines, TBookEncoding *encoding = nullptr);
// The same without the operation protocol, for a thread of its own: false,
// with the system's error code, when the file cannot be read. An undecided
// encoding is found and given back.
bool ReadWholeBookLines(const QString &fileName, QStringList &lines, TBookEncoding &encoding, int &error);
// The whole book's text before it is split into lines: a few large blocks
// of memory, which a thread can make without the cost of many small ones.
bool ReadWholeBookText(const QString &fileName, QString &text, TBookEncoding &encoding, int &error);

// The lines the reader shows for a plain-text book: the piece when the list
// holds more than one, else the whole book, then the end marker. The result
// is false when reading failed (the lines then hold only the end marker).
bool ReadBookLines(const QString &fileName, int piece, int listCount, int pieceSize, QStringList &lines,
                   TBookEncoding *encoding = nullptr, bool lineSeams = false);
