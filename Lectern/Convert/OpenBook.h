// The book the reader has open, and the one way a book is loaded: the
// checks before anything changes (with the questions and warnings through
// hooks), then a piece or the whole of it read into a document, enhanced
// with the decisions of the whole book when it is read in pieces. The window
// and lectern-convert share it; it knows no widgets.
#pragma once

#include "BookFile.h"
#include "BookScan.h"
#include "ConvertOptions.h"

#include <QLocale>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TEnhancedRichEdit;
class THyphenators;
class TRichDocument;

// What a load asks and tells: the window's dialogs, or the converter's
// answers and messages.
struct TBookLoadHooks {
    std::function<bool(const QString &question)> Ask; // true: go on
    std::function<void(const QString &text)> Warn;
    std::function<void(const QString &text)> Tell;
};

// The checks of a book about to be opened, its questions asked: true when it
// is to be read. A refusal has been told through the hooks; a failed size
// query is left in FunStatContext.
bool CheckBookToOpen(const QString &path, bool openInPieces, int pieceSize, const TBookLoadHooks &hooks,
                     TBookOpenCheck &check);

class TOpenBook {
public:
    TOpenBook();
    ~TOpenBook();
    TOpenBook(const TOpenBook &) = delete;
    TOpenBook &operator=(const TOpenBook &) = delete;

    // A new book: its path, how it was checked, the piece size it is cut
    // with, whether its pieces read as one book and the encoding chosen
    // for it (undecided: found when read). Any scan of the book before stops.
    void Open(const QString &path, const TBookOpenCheck &check, int pieceSize, bool wholeBook,
              const TBookEncoding &encoding);
    void Close();

    QString Path() const { return BookPath; }
    bool IsOpen() const { return !BookPath.isEmpty(); }
    bool IsRtf() const { return Rtf; }
    int PieceSize() const { return Size; }
    int PieceCount() const { return Pieces; } // 1 for a book read whole
    int Piece() const { return Shown; }
    bool InPieces() const { return Pieces > 1; }
    bool WholeBook() const { return Whole && InPieces(); }
    const TBookEncoding &Encoding() const { return BookEncoding; }
    // Before the book is read in another encoding, or its pieces read apart
    // or as one book: the scan of the book before no longer holds.
    void SetEncoding(const TBookEncoding &encoding);
    void SetWholeBook(bool wholeBook);
    void ResetScan();

    // Reads piece `piece` (1 for a book read whole) into the document: plain
    // lines, or through the engine with the format options. True when read;
    // a failure is left in FunStatContext (a piece's failure has been shown).
    // The engine takes the whole book's decisions once the scan has them.
    // With hyphenators and the option, the enhanced paragraphs are
    // hyphenated in the chosen language or the book's.
    bool ReadPlainPiece(int piece, const TBookFormatOptions &format, bool enhance, TEnhancedRichEdit &engine,
                        TRichDocument &document, THyphenators *hyphenators = nullptr);
    // The same read by steps, enhanced: the paragraphs are shown as soon as
    // the document reaches position `shownReach` (-1: once the piece is
    // whole). While IsReadingPiece() the rest follows through calls of
    // ContinuePlainPiece, each of which reads on until `enough` (asked
    // between paragraphs) says so and shows what it added; true when the
    // piece is whole, a failure then left in FunStatContext. ReadSoFar: the
    // position the document reaches (-1 when no read is going on).
    bool StartPlainPiece(int piece, const TBookFormatOptions &format, bool enhance, TEnhancedRichEdit &engine,
                         TRichDocument &document, THyphenators *hyphenators, int shownReach);
    bool IsReadingPiece() const { return Reading != nullptr; }
    // The lines of a book read whole, read on a thread of their own for the
    // next StartPlainPiece (which waits for them): BeginLinesRead starts the
    // thread, LinesReadDone tells that it has ended.
    void BeginLinesRead();
    bool LinesReadDone() const;
    // Splits the text read into lines (waiting for the thread), so that
    // StartPlainPiece finds them ready; false when there was nothing to split.
    bool SplitReadLines();
    bool ContinuePlainPiece(const std::function<bool()> &enough);
    int ReadSoFar() const;
    // The language the book's text is guessed to be in (AnyLanguage before
    // a piece was read with hyphenation, or when it says too little), and
    // the pattern file the piece shown was hyphenated with (empty: none).
    QLocale::Language BookLanguage() const { return Language; }
    QString HyphenationPatterns() const { return Patterns; }
    // The locale (its name) whose patterns were still being read when the
    // piece shown was read without them; empty otherwise.
    QString HyphenationAwaited() const { return Awaited; }

    // The scan of the whole book (pieces read as one book only): started on
    // demand, told through `finished` in the caller's thread.
    void StartScan(const TBookFormatOptions &format, bool enhance, const std::function<void()> &finished);
    // The same scan in the calling thread, at once; false when the book
    // cannot be read.
    bool ScanNow(const TBookFormatOptions &format, bool enhance);
    bool IsScanning() const;
    // A scan of the whole book with its decisions is running or done.
    bool HasScan() const { return Scanning || (Scanned && ScannedFull); }
    std::shared_ptr<const TBookScanResult> Scan() const; // null until complete
    // Whether the piece shown was enhanced with what the scan decided.
    bool ShownWithScan() const { return ShownScanned; }

    // Book lines (from 0) once the scan is known; -1 before. The line of a
    // position of the piece shown, and where a book line is.
    int BookLineAt(int position) const;
    // The first book line that begins in [start, end) of the piece shown,
    // else the one that holds `start`.
    int BookLineAt(int start, int end) const;
    int LineCount() const;
    bool FindBookLine(int line, int &piece, int &position) const;
    // The position in the piece shown of one of its lines (from 0).
    int PositionOfLine(int lineInPiece) const;

    // The text of a piece as the file has it now, its lines joined by line
    // feeds, for a search; empty when it cannot be read (nothing is shown).
    // With `shownEmphasis`, without the markers of _italic_ and *bold* spans,
    // as the piece is shown.
    QString PieceText(int piece, bool shownEmphasis = false) const;

private:
    QString BookPath;
    bool Rtf = false;
    int Size = DefaultPieceSize;
    int Pieces = 1;
    int Shown = 1;
    bool Whole = true;
    bool ShownScanned = false;
    TBookEncoding BookEncoding;
    bool LanguageGuessed = false;
    QLocale::Language Language = QLocale::AnyLanguage;
    QString Patterns;
    QString Awaited;
    std::vector<int> LinePositions; // of the piece shown
    std::unique_ptr<TBookScan> Scanning;
    std::shared_ptr<const TBookScanResult> Scanned; // by ScanNow
    bool ScannedFull = false; // with the engine's decisions and chapters
    struct TPieceRead;
    std::unique_ptr<TPieceRead> Reading; // a piece read by steps
    struct TLinesRead;
    std::unique_ptr<TLinesRead> LinesRead; // the book's lines on their thread
    bool TakeReadLines(QStringList &lines);
    static void SplitReadLines(TLinesRead &read);
    void EndPieceRead();
    TBookScanRequest ScanRequest(const TBookFormatOptions &format, bool enhance) const;
    void GuessLanguageOnce(const QStringList &lines);
};
