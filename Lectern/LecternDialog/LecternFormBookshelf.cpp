// The bookshelf in the main window: the "Bookshelf" group, the six bookmark
// buttons, the auto-bookmark of the open book and the last book at start.
#include "LecternForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "BookGroupBox.h"
#include "BookmarkButtons.h"
#include "Bookshelf.h"
#include "BookshelfGroupBox.h"
#include "Dialogs.h"
#include "FileWait.h"
#include "ProgramGeneralTabSheet.h"
#include "ProgramOpenTabSheet.h"
#include "RichBox.h"
#include "RichEditOps.h"

namespace {

const int HelpContextMain = 100;
// How long the start waits to learn whether the last book is still there.
const int LastBookWaitMs = 100;

const QString OverwriteBookmarkText
    = QStringLiteral("This bookmark is already set for this book. Do you want to overwrite it?");
const QString OverwriteAutoBookmarkText = QStringLiteral(
    "This book already has an auto-bookmark. Do you want to overwrite it?\n\nIf \"Auto bookmark\" is checked, there "
    "is not need to set again the\nauto-bookmark manually for the same book.");

} // namespace

void TLecternForm::SetUpBookshelf()
{
    Bookshelf = std::make_unique<TBookshelf>();
    BookshelfGroupBox = ProgramOpenTabSheet->Form.BookshelfGroupBox;
    BookmarkButtons = BookGroupBox->Form.BookmarkButtons;
    Bookshelf->MenuFactory = [this] { return std::make_unique<TBookshelfPopupMenu>(this); };
    Bookshelf->OnSelect = [this](const QString &book, TBookshelf::TDialogMode mode) { BookshelfSelect(book, mode); };

    const Ui::BookshelfGroupBox &g = BookshelfGroupBox->Form;
    connect(g.OpenBookshelfButton, &QPushButton::clicked, this, &TLecternForm::OpenBookshelfButtonClick);
    connect(g.RemoveBookshelfButton, &QPushButton::clicked, this, &TLecternForm::RemoveBookshelfButtonClick);
    connect(g.PutBookshelfButton, &QPushButton::clicked, this, &TLecternForm::PutBookshelfButtonClick);
    connect(BookmarkButtons->Clicks(), &TButtonClicks::LeftClicked, this, &TLecternForm::BookmarkButtonClick);
    connect(BookmarkButtons->Clicks(), &TButtonClicks::RightPressed, this, &TLecternForm::BookmarkButtonRightPress);
    RefreshBookshelfCaptions();
}

bool TLecternForm::GetAutoBookmark(const QString &path, int &piece, int &position)
{
    return Bookshelf->PlaceOf(path, piece, position);
}

// With "Auto bookmark", the shelf and the recent places follow the open
// book's place (the rule is the shelf's). Until the reader does something,
// the place is the one the book was opened at: what the view shows before
// then was not chosen by the reader.
void TLecternForm::UpdateAutoBookmark()
{
    if (!ProgramGeneralTabSheet->Form.AutoBookmarkCheckBox->isChecked() || CurrentBookPath.isEmpty()
        || IsRichEditEmpty(RichEdit) || Loading)
        return;
    const int piece = CurrentPiece();
    if (!ReaderActed && OpenedPlace.Position >= 0 && OpenedPlace.Piece == piece) {
        const int position = OpenedPlace.Position;
        Bookshelf->RecordPlace(CurrentBookPath, piece, LineFromChar(RichEdit, position), position);
    } else {
        const int top = GetFirstVisibleLine(RichEdit);
        Bookshelf->RecordPlace(CurrentBookPath, piece, top, LineIndex(RichEdit, top));
    }
    RefreshBookshelfCaptions();
}

void TLecternForm::RefreshBookshelfCaptions()
{
    BookshelfGroupBox->ShowCount(Bookshelf->Count());
    std::array<bool, 6> set{};
    for (int k = 0; k < 6; ++k)
        set[k] = !CurrentBookPath.isEmpty() && Bookshelf->GetBookmark(CurrentBookPath, k) >= 0;
    BookmarkButtons->ShowMarks(set);
}

bool TLecternForm::LoadLastBookOnStart()
{
    const QString last = Bookshelf->LastReadBook();
    if (!ProgramGeneralTabSheet->Form.AutoLoadLastCheckBox->isChecked() || last.isEmpty())
        return false;
    // A disk that is slow to wake or a share that is gone must not hold up
    // the first page: without an answer soon, the Welcome book is shown.
    if (!FileExistsWithin(last, LastBookWaitMs))
        return false;
    return OpenBook(last, false);
}

// The shelf's menu beside a button of the group.
void TLecternForm::ShowBookshelfMenu(QPushButton *button, int mode)
{
    if (Loading || Bookshelf->Count() == 0)
        return;
    const QPoint corner = MenuPlace(button);
    Bookshelf->Dialog(corner.x(), corner.y(), TBookshelf::TDialogMode(mode), HelpContextMain);
    FocusRichBox();
}

void TLecternForm::OpenBookshelfButtonClick()
{
    ShowBookshelfMenu(BookshelfGroupBox->Form.OpenBookshelfButton, TBookshelf::OpenMode);
}

void TLecternForm::RemoveBookshelfButtonClick()
{
    ShowBookshelfMenu(BookshelfGroupBox->Form.RemoveBookshelfButton, TBookshelf::RemoveMode);
}

void TLecternForm::PutBookshelfButtonClick()
{
    SetBookmarkOfOpenBook(0);
    FocusRichBox();
}

// A pick of the menu. Opening the open book again goes back to its stored
// auto-bookmark: its current place is not recorded first.
void TLecternForm::BookshelfSelect(const QString &book, int mode)
{
    if (mode == TBookshelf::RemoveMode) {
        Bookshelf->ClearBookmark(book, 0);
        RefreshBookshelfCaptions();
    } else {
        OpenBook(book, book != CurrentBookPath);
    }
}

void TLecternForm::GoToBookmark(int index) { BookmarkButtonClick(index, 0); }

void TLecternForm::GoToAutoBookmark() { BookmarkButtonClick(0, 0); }

// A bookmark of another piece loads that piece first.
void TLecternForm::BookmarkButtonClick(int k, TShiftState shift)
{
    if (HasNoModifier(shift) && !Loading) {
        int piece = 1;
        const int position = Bookshelf->GetBookmark(CurrentBookPath, k, piece);
        if (position >= 0) {
            if (piece == CurrentPiece())
                GoToPosition(RichEdit, position);
            else
                LoadFromFile(QString(), piece, false, position);
        }
    }
    RefreshBookshelfCaptions();
    FocusRichBox();
}

void TLecternForm::BookmarkButtonRightPress(int k, TShiftState shift)
{
    if (HasNoModifier(shift)) {
        SetBookmarkOfOpenBook(k);
    } else if (HasOnlyModifier(shift, ssCtrl)) {
        Bookshelf->ClearBookmark(CurrentBookPath, k);
    }
    RefreshBookshelfCaptions();
    FocusRichBox();
}

// Sets bookmark k (0 the auto-bookmark, which also puts the book on the
// shelf) at the current top line; a numbered bookmark needs a shelved book.
void TLecternForm::SetBookmarkOfOpenBook(int k)
{
    if (CurrentBookPath.isEmpty() || IsRichEditEmpty(RichEdit) || Loading)
        return;
    if (Bookshelf->GetBookmark(CurrentBookPath, k) >= 1
        && !QueryDialog(k == 0 ? OverwriteAutoBookmarkText : OverwriteBookmarkText))
        return;
    Bookshelf->SetBookmark(CurrentBookPath, k, CurrentPiece(), FirstVisibleCharIndex(RichEdit));
    RefreshBookshelfCaptions();
}
