// Opening books in the main window: the checks and questions, whole books or
// pieces, enhancement with paced progress, RTF books, the pieces controls,
// the current-book line and the files dropped on the window.
#include "LecternForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QScopedValueRollback>
#include <QTimer>

#include <algorithm>

#include "BookConverter.h"
#include "BookFile.h"
#include "BookGroupBox.h"
#include "BookSave.h"
#include "ChaptersPopupMenu.h"
#include "ConvertOptions.h"
#include "Dialogs.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
#include "Hyphenation.h"
#include "OpenBook.h"
#include "ProfileGeneralTabSheet.h"
#include "Program.h"
#include "ProgramGeneralTabSheet.h"
#include "RichBox.h"
#include "RichEditOps.h"
#include "Rtf.h"
#include "TextParsers.h"
#include "WidgetUtilities.h"

namespace {

const QString SlowOpeningHint = QStringLiteral(
    "Large books require some time to be opened. If you think it takes too long then read the \"Dealing with slow "
    "opening\" topic from help. If the text is being enhanced you can close the program at any time (allow up to a "
    "second to perform).");

// The first screen of a book shown before the rest is read: the text from
// the place shown on, in rich-box characters (more than a big screen holds;
// the box lays all of it out when it takes the document).
const int ShownReach = 30000;
// A step of the rest takes about this long, its layout included.
const qint64 LoadStepMs = 20;
// Books from this size on are read in steps, their lines on a thread (a
// smaller one is read at once within the time of a step or two); the window
// looks whether the lines are there this often.
const qint64 BigBookSize = 1000000;
const int LinesWaitMs = 2;

// An RTF book opens with "{\rtf" near its start; anything else would be
// refused by the reader only after the open book was gone.
bool HasRtfStart(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(1024).contains("{\\rtf");
}

} // namespace

void TLecternForm::SetUpBookLoading()
{
    auto &book = BookGroupBox->Form;
    PiecesComboBox = book.PiecesComboBox;
    NextPieceButton = book.NextPieceButton;
    PreviousPieceButton = book.PreviousPieceButton;
    PiecesLabel = book.PiecesLabel;
    BookLoadedInLabel = book.BookLoadedInLabel;
    ChaptersButton = book.ChaptersButton;
    OpenInPiecesCheckBox = ProgramGeneralTabSheet->Form.OpenInPiecesCheckBox;
    PieceSizeComboBox = ProgramGeneralTabSheet->Form.PieceSizeComboBox;
    EnhanceTextCheckBox = ProfileGeneralTabSheet->Form.EnhanceTextCheckBox;

    // Only the reader's own choice loads a piece, never a change made while
    // the list is filled.
    connect(PiecesComboBox, &QComboBox::activated, this, [this] { PiecesComboBoxChange(); });
    connect(NextPieceButton, &QPushButton::clicked, this, &TLecternForm::NextPieceButtonClick);
    connect(PreviousPieceButton, &QPushButton::clicked, this, &TLecternForm::PreviousPieceButtonClick);
    connect(OpenInPiecesCheckBox, &QCheckBox::clicked, this, &TLecternForm::OpenInPiecesCheckBoxClick);

    Book = std::make_unique<TOpenBook>();
    Hyphenators = std::make_unique<THyphenators>();
    connect(Hyphenators.get(), &THyphenators::Ready, this, &TLecternForm::HyphenationReady);
    connect(PieceSizeComboBox, &QComboBox::activated, this, [this] { PieceSizeComboBoxChange(); });
    LoadStepTimer = std::make_unique<QTimer>();
    LoadStepTimer->setInterval(0);
    connect(LoadStepTimer.get(), &QTimer::timeout, this, &TLecternForm::LoadStep);

    TRichBox::SetRtfCodec(
        [](TRichDocument &document, const QByteArray &rtf, QString *error) { return ReadRtf(rtf, document, error); },
        [](const TRichDocument &document, QByteArray *rtf, QString *) {
            *rtf = WriteRtf(document);
            return true;
        });
    UpdatePiecesControls();
}

bool TLecternForm::OpenBook(const QString &fileName, bool recordAutoBookmark)
{
    if (Loading)
        return false;
    if (recordAutoBookmark)
        UpdateAutoBookmark();
    bool loaded = false;
    {
        const QScopedValueRollback<bool> firstScreen(FirstScreenFirst, true);
        loaded = LoadFromFile(fileName, -1, false, 0);
    }
    if (IsLoadingInSteps()) {
        ShelfAfterLoad = true; // once the book is whole
        return loaded;
    }
    UpdateAutoBookmark();
    // The place in the book just left is on disk at once, so a crash later
    // does not lose it.
    SaveSettings();
    return loaded;
}

bool TLecternForm::LoadFromFile(const QString &fileName, int piece, bool profileChosen, int position)
{
    // A load started from inside another one (a key or a dropped file while
    // the progress callback lets events through) would pull the document
    // from under the running enhancement.
    if (Loading)
        return false;
    const bool newBook = !fileName.isEmpty();
    const QString path = newBook ? ExpandBookPath(fileName) : CurrentBookPath;
    const int pieceSize = newBook
        ? GetIntFromText(PieceSizeComboBox->currentText(), MinPieceSize, MaxPieceSize, DefaultPieceSize)
        : Book->PieceSize();
    // A book that is refused leaves the open one as it was: the checks and
    // their questions come before anything changes.
    TBookOpenCheck check;
    const bool inPieces = newBook ? OpenInPiecesCheckBox->isChecked() : Book->InPieces();
    if (!AcceptBookForOpening(check, path, inPieces, pieceSize)) {
        FocusRichBox();
        return false;
    }
    if (!newBook && check.ListCount != Book->PieceCount()) {
        // Its pieces are no longer the ones the reader has: the text shown stays.
        WarningDialog(BookChangedText());
        FocusRichBox();
        return false;
    }
    if (!SpeechLoadingPiece)
        StopReading(); // another book or piece: the reading does not follow
    // Edits the reader wanted saved, and that were not, keep the book open.
    if (newBook && !AskSaveIfModified())
        return false;
    if (newBook) {
        CurrentBookPath = path;
        Book->Open(path, check, pieceSize, true, TBookEncoding());
        BookChapters.reset();
    }
    return ShowCheckedBook(check, newBook, piece, profileChosen, position);
}

// The warnings and questions of a book's check; true when the book is to be
// shown.
bool TLecternForm::AcceptBookForOpening(TBookOpenCheck &check, const QString &path, bool inPieces, int pieceSize)
{
    FUN_BEGIN("TLecternForm::LoadFromFile");
    bool accepted = false;
    try {
        TBookLoadHooks hooks;
        hooks.Ask = [](const QString &question) { return QueryDialog(question); };
        hooks.Warn = [](const QString &text) { WarningDialog(text); };
        hooks.Tell = [](const QString &text) { MessageDialog(text); };
        accepted = CheckBookToOpen(path, inPieces, pieceSize, hooks, check);
        if (check.Verdict == TBookOpenVerdict::SizeQueryFailed) {
            Fsc_.Assign(FunStatContext);
            Fsc_.Status = Error;
        } else if (accepted && check.Rtf && !HasRtfStart(path)) {
            FUN_RAISE(QStringLiteral("The book is not an RTF document."), path);
        }
    }
    FUN_CATCH
    if (FUN_FAILED())
        accepted = false;
    FUN_END_SHOW(QStringLiteral("Failed to load book."));
    return accepted;
}

// Reads the checked book (or another piece of the open one) into the
// rich-box and goes to its place: `piece` -1 and `position` from the shelf
// or the recent places, `position` -1 for the end of the piece.
bool TLecternForm::ShowCheckedBook(const TBookOpenCheck &check, bool newBook, int piece, bool profileChosen,
                                   int position)
{
    Loading = true;
    TBookRead read;
    read.Rtf = check.Rtf;
    read.NewBook = newBook;
    const bool prepared = PrepareBookRead(piece, profileChosen, position, read);
    if (check.Size < BigBookSize || Book->PieceCount() > 1)
        read.ShownReach = -1; // read at once
    // A big book read whole has its lines read on a thread while the window
    // goes on; the steps of the load take it on from there.
    if (prepared && FirstScreenFirst && !check.Rtf && Book->PieceCount() == 1 && check.Size >= BigBookSize
        && EnhanceTextCheckBox->isChecked()) {
        Book->BeginLinesRead();
        PendingRead = read;
        ReadingLines = true;
        // The window paints while it waits (the box stays hidden until its
        // first screen): an expose that came while its drawing was locked
        // would be lost, and without a window manager no other one comes.
        setUpdatesEnabled(true);
        LoadStepTimer->setInterval(LinesWaitMs);
        LoadStepTimer->start();
        return true;
    }
    return ReadCheckedBook(read, prepared);
}

// What every load does before the text is read; false (the failure left in
// FunStatContext) when it failed.
bool TLecternForm::PrepareBookRead(int piece, bool profileChosen, int position, TBookRead &read)
{
    FUN_BEGIN("TLecternForm::LoadFromFile");
    const bool newBook = read.NewBook;
    bool placeFromShelf = false;
    int shelfPosition = -1;
    TRichDocument *document = RichEdit->RichDocument();
    try {
        if (newBook) {
            UpdateCurrentFileInfo(QString(), false, true);
            StopBackSound();
            LoadBrowserAtBook();
        }
        // Resets of every load.
        Closing = false;
        SetEditing(false);
        Engine->CommandsUsed = false;
        Engine->LayoutDetected = false;
        Engine->DestroyChaptersMenu();
        UpdateChaptersButton();
        PiecesComboBox->clear();
        UpdatePiecesControls();
        document->Clear();

        LoadTiming.Start();
        BeginUpdate();
        HintLabel->setText(SlowOpeningHint);
        HintLabel->repaint();
        if (piece < 0) {
            placeFromShelf = true;
            if (!GetAutoBookmark(CurrentBookPath, piece, shelfPosition)) {
                piece = -1;
                shelfPosition = -1;
            }
        }
        // Without a place of its own a book opened from the shelf starts at
        // its top; -1 asked for the end.
        read.Place = position < 0 ? -1 : placeFromShelf ? std::max(0, shelfPosition) : position;
        read.ShownReach = FirstScreenFirst && read.Place >= 0 ? read.Place + ShownReach : -1;
        piece = NormalisePiece(piece, Book->PieceCount());
        read.Piece = piece;
        for (int i = 1; i <= Book->PieceCount(); ++i)
            PiecesComboBox->addItem(QString::number(i));
        PiecesComboBox->setCurrentIndex(piece - 1);
        UpdatePiecesControls();

        EnableUrlDetection(RichEdit);
        EnableAdvancedTypography(RichEdit);
        InfoTimer->stop();
        AboutButton->setEnabled(false);
        Container_OptionsPageControl->setEnabled(false);
        if (newBook) {
            LoadProfileForBook(profileChosen);
            RebuildBackImages();
            Book->SetEncoding(ChosenEncoding());
        }
        Book->SetWholeBook(CurrentFormatOptions().WholeBookPieces);
        LoadTiming.Start();
    }
    FUN_CATCH
    const bool prepared = !FUN_FAILED();
    FUN_END;
    return prepared;
}

// The text read into the box, then its first screen shown; the rest of the
// load follows at once or in steps.
bool TLecternForm::ReadCheckedBook(const TBookRead &read, bool prepared)
{
    FUN_BEGIN("TLecternForm::LoadFromFile");
    bool loaded = false;
    try {
        if (!prepared)
            FUN_ADOPT();
        else if (read.Rtf)
            ReadRtfBook();
        else
            ReadPlainBook(read.Piece, read.ShownReach);
        FUN_ADOPT();
        loaded = !FUN_FAILED();
    }
    FUN_CATCH

    if (FUN_FAILED()) {
        loaded = false;
        Fsc_.SetShow(__FILE__, QString(), __LINE__);
        Fsc_.Show(QStringLiteral("Failed to load book."));
    }
    Fsc_.Reset(Perfect);
    const bool inSteps = Book->IsReadingPiece();
    try {
        if (inSteps) {
            ShowFirstScreen(read.Place);
            LoadStartsSound = read.NewBook && loaded;
            LoadStepTimer->start();
        } else {
            FinishLoad(read.Place);
            if (read.NewBook && loaded)
                StartBackSound();
        }
    }
    FUN_CATCH
    FUN_END;
    if (inSteps)
        return loaded;
    Loading = false;
    if (ShelfAfterLoad) {
        ShelfAfterLoad = false;
        UpdateAutoBookmark();
        SaveSettings();
    }
    if (CloseAfterLoad) {
        CloseAfterLoad = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
    return loaded;
}

// A plain-text book or piece through the engine (or line by line without
// the enhancement). Failures are left in FunStatContext.
void TLecternForm::ReadPlainBook(int piece, int shownReach)
{
    FUN_BEGIN("TLecternForm::LoadFromFile");
    const TBookFormatOptions options = CurrentFormatOptions();
    ApplyBookFormat(*Engine, options);
    if (!Engine->Progress)
        Engine->Progress = [this](int characters) { return LoadProgress(characters); };
    if (!Book->StartPlainPiece(piece, options, EnhanceTextCheckBox->isChecked(), *Engine, *RichEdit->RichDocument(),
                               Hyphenators.get(), shownReach))
        FUN_ADOPT();
    else
        FontZoomComboBoxChange();
    FUN_END;
}

// An RTF book, after the fix-up document that prepares the rich-box.
// Failures are left in FunStatContext.
void TLecternForm::ReadRtfBook()
{
    FUN_BEGIN("TLecternForm::LoadFromFile");
    QFile fix(GetProgramDirectory() + QStringLiteral("ErrorFix.rtf"));
    if (fix.open(QIODevice::ReadOnly))
        RichEdit->LoadRtf(fix.readAll()); // a missing or damaged fix-up document changes nothing
    QFile file(CurrentBookPath);
    if (!file.open(QIODevice::ReadOnly)) {
        FUN_RAISE(QStringLiteral("Failed to load."), CurrentBookPath, QString(), errno);
    } else {
        const QByteArray bytes = file.readAll();
        QString error;
        if (file.error() != QFileDevice::NoError)
            FUN_RAISE(QStringLiteral("Failed to load."), CurrentBookPath, QString(), errno);
        else if (!RichEdit->LoadRtf(bytes, &error))
            FUN_RAISE(error.isEmpty() ? QStringLiteral("The book is not an RTF document.") : error, CurrentBookPath);
    }
    FUN_END;
}

// The end of every load: the place, the controls back on, the labels.
void TLecternForm::FinishLoad(int position)
{
    ShowFirstScreen(position);
    FinishLoadControls();
}

// The book at its place, on show.
void TLecternForm::ShowFirstScreen(int position)
{
    SetTextLimit(RichEdit, 0);
    SetRichEditModified(false);
    if (position < 0)
        ScrollToEnd(RichEdit);
    else
        GoToPosition(RichEdit, position);
    OpenedPlace = {CurrentPiece(), position};
    ReaderActed = false;
    EndUpdate(true);
    RefreshRichBackground();
    FocusRichBox();
    HintLabel->clear();
}

// What follows once the whole text is in the box.
void TLecternForm::FinishLoadControls()
{
    InfoTimer->start();
    AboutButton->setEnabled(true);
    Container_OptionsPageControl->setEnabled(true);
    RefreshBookshelfCaptions();
    UpdateChaptersButton();
    LoadTiming.Stop();
    UpdateCurrentFileInfo(BookOpenedInText(LoadTiming.Seconds()), true, true);
    InfoTimerTimer();
    StartBookScan();
}

bool TLecternForm::LoadProgress(int characters)
{
    const QString text = LoadTiming.ProgressText(characters);
    if (text.isEmpty())
        return Closing;
    UpdateCurrentFileInfo(text, false, true);
    setWindowTitle(text);
    // The steps of a load run from the event loop, which goes on between
    // them; only a load that holds the window lets its events through.
    if (!IsLoadingInSteps())
        QCoreApplication::processEvents();
    return Closing;
}

bool TLecternForm::IsLoadingInSteps() const { return LoadStepTimer && LoadStepTimer->isActive(); }

bool TLecternForm::IsReadingLines() const { return ReadingLines; }

void TLecternForm::CompleteLoad()
{
    if (IsLoadingInSteps())
        ContinueLoad(false);
}

void TLecternForm::LoadStep()
{
    ContinueLoad(true);
    // The next step is due from now on: the timers that came due during
    // this one run first, rather than after another step.
    if (LoadStepTimer->isActive())
        LoadStepTimer->start();
}

// Reads on: one step of about LoadStepMs, or the whole rest.
void TLecternForm::ContinueLoad(bool oneStep)
{
    if (ReadingLines) {
        // The lines are read: the text goes into the box (the rest of it,
        // if the book is big, in the steps that follow).
        if (oneStep && !Book->LinesReadDone())
            return;
        // Split into lines in a step of its own.
        if (Book->SplitReadLines() && oneStep)
            return;
        ReadingLines = false;
        LoadStepTimer->stop();
        LoadStepTimer->setInterval(0);
        ReadCheckedBook(PendingRead, true);
        if (!oneStep && IsLoadingInSteps())
            ContinueLoad(false);
        return;
    }
    if (!Book->IsReadingPiece()) {
        LoadStepTimer->stop();
        return;
    }
    QElapsedTimer step;
    step.start();
    const int until = Book->ReadSoFar() + LoadStepChars;
    std::function<bool()> enough;
    if (oneStep)
        enough = [this, until] { return Book->ReadSoFar() >= until; };
    const bool done = Book->ContinuePlainPiece(enough);
    TFunStatContext run; // how the read ended
    run.Assign(FunStatContext);
    if (oneStep) {
        // The next step reads as much as this one could have in its time.
        const double ms = std::max<double>(1, step.nsecsElapsed() / 1e6);
        const double fitted = LoadStepChars * std::clamp(LoadStepMs / ms, 0.5, 2.0);
        LoadStepChars = int(std::clamp(fitted, 2000.0, 1000000.0));
    }
    if (done)
        EndLoadInSteps(run);
}

// The rest of the book is in: what a load does at its end.
void TLecternForm::EndLoadInSteps(const TFunStatContext &run)
{
    LoadStepTimer->stop();
    FUN_BEGIN("TLecternForm::LoadFromFile");
    if (run.Failed())
        Fsc_.Assign(run);
    try {
        SetTextLimit(RichEdit, 0);
        SetRichEditModified(false);
        FinishLoadControls();
        if (LoadStartsSound && !FUN_FAILED())
            StartBackSound();
    }
    FUN_CATCH
    Loading = false;
    LoadStartsSound = false;
    if (ShelfAfterLoad) {
        ShelfAfterLoad = false;
        UpdateAutoBookmark();
        SaveSettings();
    }
    FUN_END_SHOW(QStringLiteral("Failed to load book."));
    if (CloseAfterLoad) {
        CloseAfterLoad = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void TLecternForm::UpdatePiecesControls()
{
    const TPiecesControls c
        = PiecesControlsFor(PiecesComboBox->count(), PiecesComboBox->currentIndex(), OpenInPiecesCheckBox->isChecked());
    PiecesLabel->setText(c.PiecesLabel);
    PiecesComboBox->setEnabled(c.ComboEnabled);
    NextPieceButton->setEnabled(c.NextEnabled);
    PreviousPieceButton->setEnabled(c.PreviousEnabled);
    AllowEditingCheckBox->setEnabled(c.AllowEditingEnabled);
}

void TLecternForm::UpdateCurrentFileInfo(const QString &text, bool setTitle, bool loadTime)
{
    if (loadTime && !CurrentBookPath.isEmpty())
        LoadTimeText = text;
    TCurrentFileInfo info;
    info.BookPath = CurrentBookPath;
    info.LoadTimeText = LoadTimeText;
    if (!CurrentBookPath.isEmpty() && !loadTime) {
        info.FirstVisibleLine = RichEdit->FirstVisibleLine();
        info.LineCount = RichEdit->LineCount();
        const int bookLine = TopBookLine();
        if (bookLine >= 0) {
            info.FirstBookLine = bookLine;
            info.BookLineCount = Book->LineCount();
        }
    }
    info.CurrentPiece = CurrentPiece();
    info.PieceCount = PiecesComboBox->count();
    if (!IsRtfBookName(CurrentBookPath) && Book->Encoding().IsDecided())
        info.Encoding = EncodingDisplayName(Book->Encoding());
    // The layout the engine found is shown, never stored: the profile keeps
    // the reader's own choice.
    if (Engine->LayoutDetected && Engine->WrapWidth > 0)
        info.Layout = QStringLiteral("detected: wrapped at %1 columns").arg(Engine->WrapWidth);
    else if (Engine->LayoutDetected)
        info.Layout = Engine->PoorlyWritten ? QStringLiteral("detected: poorly written")
                                            : QStringLiteral("detected: well written");
    CurrentFileInfoLabel->setText(CurrentFileInfoText(info, loadTime));
    BookLoadedInLabel->setText(LoadTimeText);
    if (setTitle)
        setWindowTitle(ProgramName);
}

void TLecternForm::UpdateCurrentFileInfo() { UpdateCurrentFileInfo(QString(), false, false); }

bool TLecternForm::HasBookFile() const { return ::HasBookFile(CurrentBookPath); }

int TLecternForm::CurrentPiece() const { return Book->IsOpen() ? Book->Piece() : 0; }

QString TLecternForm::ShownHyphenation() const { return Book->HyphenationPatterns(); }

void TLecternForm::HyphenationReady(const QString &localeName)
{
    if (Loading || !Book->IsOpen() || Book->HyphenationAwaited() != localeName || IsRichEditModified()
        || !RichEdit->isReadOnly() || IsReadingAloud() || !HasBookFile())
        return;
    LoadFromFile(QString(), CurrentPiece(), false, FirstVisibleCharIndex(RichEdit));
}

void TLecternForm::UpdateChaptersButton()
{
    // The whole book's chapters once its scan has found them, else the piece's.
    const int count = BookChapters ? BookChapters->Count() : Engine->ChapterItemCount();
    ChaptersButton->setText(QStringLiteral("&Chapters (") + QString::number(count) + QLatin1Char(')'));
    ChaptersButton->setEnabled(BookChapters || Engine->ChaptersMenu() != nullptr);
}

// The piece the reader chose in the list.
void TLecternForm::PiecesComboBoxChange()
{
    const int chosen = PiecesComboBox->currentText().toInt();
    if (!LoadFromFile(QString(), chosen, false, 0))
        PiecesComboBox->setCurrentIndex(CurrentPiece() - 1); // the piece shown stays
}

// The keys F6 and F7 click the buttons, which does nothing while they are
// disabled.
void TLecternForm::NextPieceButtonClick()
{
    if (!NextPieceButton->isEnabled())
        return;
    const TPieceStep step = NextPieceStep(CurrentPiece(), PiecesComboBox->count());
    if (step.Go && PiecesComboBox->findText(PiecesComboBox->currentText()) >= 0)
        LoadFromFile(QString(), step.Piece, false, step.Position);
    FocusRichBox();
}

void TLecternForm::PreviousPieceButtonClick()
{
    if (!PreviousPieceButton->isEnabled())
        return;
    const TPieceStep step = PreviousPieceStep(CurrentPiece(), PiecesComboBox->count());
    if (step.Go && PiecesComboBox->findText(PiecesComboBox->currentText()) > 0)
        LoadFromFile(QString(), step.Piece, false, step.Position);
    FocusRichBox();
}

void TLecternForm::OpenInPiecesCheckBoxClick() { UpdatePiecesControls(); }

void TLecternForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TLecternForm::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls())
        return;
    event->acceptProposedAction();
    // Opened after the drop has finished, so the dragging program is not
    // kept waiting while the book loads.
    const QList<QUrl> urls = event->mimeData()->urls();
    QTimer::singleShot(0, this, [this, urls] { ProcessDroppedFiles(urls); });
}

void TLecternForm::ProcessDroppedFiles(const QList<QUrl> &urls)
{
    ::ProcessDroppedFiles(urls, true, [this](const QString &name) { OpenBook(name, true); });
}

// ---- Steps that other features fill in ------------------------------------

void TLecternForm::RefreshRichBackground() { RefreshScreen(); }
