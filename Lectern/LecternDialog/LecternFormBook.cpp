// A book in pieces read as one book: the scan of the whole book once its
// first screen is up, the chapters and line numbers of the whole book, and
// the reading that goes on from one piece into the next.
#include "LecternForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>
#include <QTimer>

#include "ChaptersPopupMenu.h"
#include "EnhancedRichEdit.h"
#include "OpenBook.h"
#include "RichBox.h"
#include "RichEditOps.h"
#include "TextParsers.h"

namespace {

// Long enough for the first screen of a piece to be painted before the scan
// takes its share of the machine.
constexpr int ScanDelayMs = 150;

} // namespace

void TLecternForm::StartBookScan()
{
    if (!Book->WholeBook() || Book->IsRtf() || Book->HasScan())
        return;
    const QString path = Book->Path();
    QTimer::singleShot(ScanDelayMs, this, [this, path] {
        if (Book->Path() != path || !Book->WholeBook() || Book->HasScan())
            return;
        Book->StartScan(CurrentFormatOptions(), EnhanceTextCheckBox->isChecked(), [this] { BookScanFinished(); });
    });
}

void TLecternForm::BookScanFinished()
{
    const std::shared_ptr<const TBookScanResult> scan = Book->Scan();
    if (!scan)
        return;
    if (Loading) {
        QTimer::singleShot(100, this, &TLecternForm::BookScanFinished); // once the load is done
        return;
    }
    // The piece shown decided its layout from its own lines: when the whole
    // book decides otherwise, it is read again the book's way, at its place.
    if (!Book->ShownWithScan() && Engine->LayoutDetected && scan->LayoutDetected
        && scan->PoorlyWritten != Engine->PoorlyWritten && !IsRichEditModified()) {
        const int line = TopBookLine();
        const bool acted = ReaderActed;
        if (LoadFromFile(QString(), CurrentPiece(), false, 0) && line >= 0) {
            GoToBookLine(line);
            OpenedPlace = {CurrentPiece(), FirstVisibleCharIndex(RichEdit)};
        }
        ReaderActed = acted;
    }
    if (scan->Chapters && !BookChapters) {
        BookChapters = std::make_unique<TChaptersPopupMenu>(this);
        CopyChaptersMenu(*scan->Chapters, *BookChapters, [](int line) { return line; });
        BookChapters->OnItemClick = [this](int line) {
            GoToBookLine(line);
            FocusRichBox();
        };
    }
    UpdateChaptersButton();
    UpdateCurrentFileInfo();
    UpdateLineNumberLabel();
}

// The book line that begins on the top line of the page, or the one the
// top line is part of.
int TLecternForm::TopBookLine() const
{
    const int top = GetFirstVisibleLine(RichEdit);
    const int next = LineIndex(RichEdit, top + 1);
    return Book->BookLineAt(LineIndex(RichEdit, top), next < 0 ? GetTextLength(RichEdit) + 1 : next);
}

bool TLecternForm::GoToBookLine(int line)
{
    int piece = 0;
    int inPiece = 0;
    if (Loading || !Book->FindBookLine(line, piece, inPiece))
        return false;
    if (piece != CurrentPiece()) {
        if (!LoadFromFile(QString(), piece, false, 0))
            return false;
        ReaderActed = true; // the reader asked for the place
    }
    GoToPosition(RichEdit, Book->PositionOfLine(inPiece));
    return true;
}

// The piece's last line is on the page: nothing of it is left to read.
bool TLecternForm::AtEndOfPiece() const
{
    const int last = LineFromChar(RichEdit, GetTextLength(RichEdit));
    const QPoint bottomLeft(0, RichEdit->viewport()->height() - 1);
    return LineFromChar(RichEdit, RichEdit->CharFromPos(bottomLeft)) >= last;
}

bool TLecternForm::AtTopOfPiece() const { return RichEdit->verticalScrollBar()->value() <= 0; }

bool TLecternForm::ReadOnIntoNextPiece()
{
    if (!Book->WholeBook() || Loading || CurrentPiece() >= Book->PieceCount() || !AtEndOfPiece())
        return false;
    if (!LoadFromFile(QString(), CurrentPiece() + 1, false, 0))
        return false;
    ReaderActed = true;
    return true;
}

bool TLecternForm::ReadBackIntoPreviousPiece()
{
    if (!Book->WholeBook() || Loading || CurrentPiece() <= 1 || !AtTopOfPiece())
        return false;
    if (!LoadFromFile(QString(), CurrentPiece() - 1, false, -1))
        return false;
    ReaderActed = true;
    return true;
}

// A new piece size cuts the open book anew at once, and the reader stays on
// the same line.
void TLecternForm::PieceSizeComboBoxChange()
{
    const int size = GetIntFromText(PieceSizeComboBox->currentText(), MinPieceSize, MaxPieceSize, DefaultPieceSize);
    if (Loading || !Book->InPieces() || Book->IsRtf() || size == Book->PieceSize())
        return;
    const int line = TopBookLine();
    const double share = double(FirstVisibleCharIndex(RichEdit)) / std::max(1, GetTextLength(RichEdit));
    const int oldPiece = CurrentPiece();
    const int oldCount = Book->PieceCount();
    if (!LoadFromFile(CurrentBookPath, 1, true, 0))
        return;
    if (line >= 0 && Book->ScanNow(CurrentFormatOptions(), false)) {
        GoToBookLine(line);
    } else {
        // Without the book's lines: the same share of the book.
        const double place = (oldPiece - 1 + share) / std::max(1, oldCount);
        const int piece = std::clamp(int(place * Book->PieceCount()) + 1, 1, Book->PieceCount());
        if (piece != CurrentPiece())
            LoadFromFile(QString(), piece, false, 0);
    }
    ReaderActed = true;
    StartBookScan();
}
