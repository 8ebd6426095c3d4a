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
#include <QTimer>

#include "BookConverter.h"
#include "BookFile.h"
#include "BookGroupBox.h"
#include "BookSave.h"
#include "ConvertOptions.h"
#include "Dialogs.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
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

// Sets a flag for the lifetime of the object.
class TFlagGuard {
public:
    explicit TFlagGuard(bool &flag) : Flag(flag) { Flag = true; }
    ~TFlagGuard() { Flag = false; }
    TFlagGuard(const TFlagGuard &) = delete;
    TFlagGuard &operator=(const TFlagGuard &) = delete;

private:
    bool &Flag;
};

// The book's lines put into the document unchanged, one paragraph each, in
// the base format set before.
void LoadPlainLines(TRichDocument *document, const QStringList &lines)
{
    document->BeginBulk();
    for (const QString &line : lines)
        document->AppendParagraph(line);
    document->EndBulk();
    document->SetSelection(0, 0);
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
    const bool loaded = LoadFromFile(fileName, -1, false, 0);
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
    if (!SpeechLoadingPiece)
        StopReading(); // another book or piece: the reading does not follow
    // Edits the reader wanted saved, and that were not, keep the book open.
    if (!fileName.isEmpty() && !AskSaveIfModified())
        return false;
    TFlagGuard loadingGuard(Loading);
    FUN_BEGIN("TLecternForm::LoadFromFile");
    const bool newBook = !fileName.isEmpty();
    bool loaded = false;
    bool runEnding = true;
    bool pieceFromBookshelf = false;
    int bookshelfPosition = -1;
    TRichDocument *document = RichEdit->RichDocument();
    try {
        if (newBook) {
            PieceSize = GetIntFromText(PieceSizeComboBox->currentText(), MinPieceSize, MaxPieceSize, DefaultPieceSize);
            CurrentBookPath = ExpandBookPath(fileName);
            BookEncoding = TBookEncoding();
            UpdateCurrentFileInfo(QString(), false, true);
            document->Clear();
            StopBackSound();
            LoadBrowserAtBook();
        }
        // Resets of every load.
        Closing = false;
        SetEditing(false);
        Engine->CommandsUsed = false;
        Engine->DestroyChaptersMenu();
        UpdateChaptersButton();
        PiecesComboBox->clear();
        UpdatePiecesControls();
        document->Clear();

        const TBookOpenCheck check = CheckBookForOpening(CurrentBookPath, OpenInPiecesCheckBox->isChecked(), PieceSize);
        switch (check.Verdict) {
        case TBookOpenVerdict::NotValid:
        case TBookOpenVerdict::TooBig:
            WarningDialog(check.Text);
            FocusRichBox();
            runEnding = false;
            break;
        case TBookOpenVerdict::AskOnePiece:
            if (!QueryDialog(check.Text)) {
                FocusRichBox();
                runEnding = false;
            }
            break;
        case TBookOpenVerdict::SizeQueryFailed:
            Fsc_.Assign(FunStatContext);
            Fsc_.Status = Error;
            break;
        case TBookOpenVerdict::Empty:
        case TBookOpenVerdict::Open: break;
        }

        if (runEnding && check.Verdict != TBookOpenVerdict::SizeQueryFailed) {
            // Preparation.
            LoadTiming.Start();
            BeginUpdate();
            HintLabel->setText(SlowOpeningHint);
            HintLabel->repaint();
            if (piece < 0) {
                pieceFromBookshelf = true;
                if (!GetAutoBookmark(CurrentBookPath, piece, bookshelfPosition)) {
                    piece = -1;
                    bookshelfPosition = -1;
                }
            }
            if (check.Size == 0)
                MessageDialog(check.Text);
            piece = NormalisePiece(piece, check.PieceCount);
            if (check.ListCount > 1) {
                for (int i = 1; i <= check.ListCount; ++i)
                    PiecesComboBox->addItem(QString::number(i));
            } else {
                PiecesComboBox->addItem(QStringLiteral("1"));
                piece = 1;
            }
            PiecesComboBox->setCurrentIndex(piece - 1);
            UpdatePiecesControls();

            if (check.Size > 0) {
                EnableUrlDetection(RichEdit);
                EnableAdvancedTypography(RichEdit);
                InfoTimer->stop();
                AboutButton->setEnabled(false);
                Container_OptionsPageControl->setEnabled(false);
                if (newBook) {
                    LoadProfileForBook(profileChosen);
                    RebuildBackImages();
                    BookEncoding = ChosenEncoding();
                }
                LoadTiming.Start();
                if (!check.Rtf) {
                    QStringList lines;
                    if (!ReadBookLines(CurrentBookPath, piece, check.ListCount, PieceSize, lines, &BookEncoding)
                        && check.ListCount < 2)
                        FUN_ADOPT(); // a piece shows its own failure and goes on with the marker
                    if (!FUN_FAILED()) {
                        const TBookFormatOptions options = CurrentFormatOptions();
                        ApplyBookFormat(*Engine, options);
                        if (!Engine->Progress)
                            Engine->Progress = [this](int characters) { return LoadProgress(characters); };
                        if (EnhanceTextCheckBox->isChecked()) {
                            FunStatContext.Reset(Perfect);
                            Engine->EnhanceText(lines, options.ParagraphPrefix, options.IgnoreEmptyLines,
                                                options.PoorlyWritten);
                            FUN_ADOPT();
                            if (Engine->LayoutDetected)
                                ProfileGeneralTabSheet->ShowDetectedLayout(Engine->PoorlyWritten);
                        } else {
                            LoadPlainLines(document, lines);
                        }
                        MarkEndMarker(*document);
                        FontZoomComboBoxChange();
                    }
                } else {
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
                            FUN_RAISE(error.isEmpty() ? QStringLiteral("The book is not an RTF document.") : error,
                                      CurrentBookPath);
                    }
                }
                loaded = !FUN_FAILED();
            }
        }
    }
    FUN_CATCH

    if (runEnding) {
        if (FUN_FAILED()) {
            loaded = false;
            Fsc_.SetShow(__FILE__, QString(), __LINE__);
            Fsc_.Show(QStringLiteral("Failed to load book."));
        }
        Fsc_.Reset(Perfect);
        try {
            SetTextLimit(RichEdit, 0);
            SetRichEditModified(false);
            if (position < 0)
                ScrollToEnd(RichEdit);
            else
                GoToPosition(RichEdit, pieceFromBookshelf ? bookshelfPosition : position);
            EndUpdate(true);
            RefreshRichBackground();
            FocusRichBox();
            HintLabel->clear();
            InfoTimer->start();
            AboutButton->setEnabled(true);
            Container_OptionsPageControl->setEnabled(true);
            RefreshBookshelfCaptions();
            UpdateChaptersButton();
            LoadTiming.Stop();
            UpdateCurrentFileInfo(BookOpenedInText(LoadTiming.Seconds()), true, true);
            InfoTimerTimer();
            if (newBook && loaded)
                StartBackSound();
        }
        FUN_CATCH
    }
    FUN_END;
    if (CloseAfterLoad) {
        CloseAfterLoad = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
    return loaded;
}

bool TLecternForm::LoadProgress(int characters)
{
    const QString text = LoadTiming.ProgressText(characters);
    if (text.isEmpty())
        return Closing;
    UpdateCurrentFileInfo(text, false, true);
    setWindowTitle(text);
    QCoreApplication::processEvents();
    return Closing;
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
    }
    info.CurrentPiece = CurrentPiece();
    info.PieceCount = PiecesComboBox->count();
    if (!IsRtfBookName(CurrentBookPath) && BookEncoding.IsDecided())
        info.Encoding = EncodingDisplayName(BookEncoding);
    CurrentFileInfoLabel->setText(CurrentFileInfoText(info, loadTime));
    BookLoadedInLabel->setText(LoadTimeText);
    if (setTitle)
        setWindowTitle(ProgramName);
}

void TLecternForm::UpdateCurrentFileInfo() { UpdateCurrentFileInfo(QString(), false, false); }

bool TLecternForm::HasBookFile() const { return ::HasBookFile(CurrentBookPath); }

int TLecternForm::CurrentPiece() const { return PiecesComboBox->currentText().toInt(); }

void TLecternForm::UpdateChaptersButton()
{
    const int count = Engine->ChapterItemCount();
    ChaptersButton->setText(QStringLiteral("&Chapters (") + QString::number(count) + QLatin1Char(')'));
    ChaptersButton->setEnabled(Engine->ChaptersMenu() != nullptr);
}

void TLecternForm::PiecesComboBoxChange() { LoadFromFile(QString(), CurrentPiece(), false, 0); }

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
