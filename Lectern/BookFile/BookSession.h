// The window's side of an open book without the widgets: the state of the
// "Book" group controls, the current-book line, the load time, the paced
// progress text and the steps between pieces. The window copies these
// results into its controls.
//
// A load, as the window runs it:
//   check = CheckBookForOpening(path, openInPieces, pieceSize)   (BookFile.h)
//     NotValid / TooBig: WarningDialog(check.Text), stop;
//     SizeQueryFailed: adopt FunStatContext as Error, "Failed to load book.";
//     AskNotText: QueryDialog(check.Text), stop on No (the open book stays);
//       on Yes check = OpenNotTextAnyway(check) and go on with its verdict;
//     AskOnePiece: QueryDialog(check.Text), stop on No;
//     Empty: MessageDialog(check.Text), nothing to read.
//   piece = NormalisePiece(piece, check.PieceCount), 1 when check.ListCount < 2;
//   timing.Start(); ReadBookLines(path, piece, check.ListCount, pieceSize,
//   lines, &book.Encoding) for plain text (the end marker included), then the
//   engine with timing.ProgressText() in its progress callback;
//   timing.Stop(); LoadTimeText = BookOpenedInText(timing.Seconds()).
#pragma once

#include "BookText.h"
#include "Crono.h"

#include <QString>

// What the pieces controls show for a list of `itemCount` pieces.
struct TPiecesControls {
    QString PiecesLabel; // "1 piece" or "N pieces"
    bool ComboEnabled = false; // PiecesComboBox
    bool NextEnabled = false; // NextPieceButton
    bool PreviousEnabled = false;
    bool AllowEditingEnabled = false; // AllowEditingCheckBox: only a book in one piece may be edited
};
TPiecesControls PiecesControlsFor(int itemCount, int selectedIndex, bool openInPieces);

// The piece a Next or Previous click opens, with the position to show: the
// next piece at its start, the previous one at its end (-1).
struct TPieceStep {
    bool Go = false;
    int Piece = 0;
    int Position = 0;
};
TPieceStep NextPieceStep(int currentPiece, int itemCount);
TPieceStep PreviousPieceStep(int currentPiece, int itemCount);

// The full, absolute form of a book name (relative names against the
// current directory, "." and ".." resolved).
QString ExpandBookPath(const QString &name);

// "Book opened in S seconds" (whole seconds, thousands separators).
QString BookOpenedInText(double seconds);

// The line above the rich-box: "No book opened" without a book; else
// "\"name\" in \"directory\"" followed by " (load time)" right after a load,
// or by the top line, line count, piece and encoding otherwise ("Top line N
// of M" for the book's own lines).
struct TCurrentFileInfo {
    QString BookPath;
    QString LoadTimeText;
    int FirstVisibleLine = 0; // from 0
    int LineCount = 0;
    // The book's own lines, over all its pieces, when they are known (0
    // lines: not known): shown in place of the piece's lines.
    int FirstBookLine = 0; // from 0
    int BookLineCount = 0;
    int CurrentPiece = 1;
    int PieceCount = 1;
    QString Encoding; // of a plain-text book; named after the pieces
    QString Layout; // the layout the engine found, named last
};
QString CurrentFileInfoText(const TCurrentFileInfo &info, bool loadTimeFlag);

// The timing of one load: the whole load and the pacing of progress
// reports, and the closing flag the progress callback returns.
class TLoadTiming {
public:
    explicit TLoadTiming(TCronoClock clock = &MonotonicSeconds) : Load(clock), Pace(clock) {}
    void Start(); // both chronometers restart
    void Stop(); // both stop
    double Seconds() const { return Load.Passed(); }
    // The progress text "N characters; S seconds" when a second has passed
    // since the last one (or since the start), else an empty text.
    QString ProgressText(int characters);

private:
    TCrono Load;
    TCrono Pace;
};
