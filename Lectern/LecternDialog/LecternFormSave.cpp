// Editing the open book, saving it as RTF or plain text, offering to save
// edits before they are left, running the book with the desktop's program
// for it, and printing it.
#include "LecternForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMarginsF>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTextDocument>

#include "BookFile.h"
#include "BookGroupBox.h"
#include "BookSave.h"
#include "Dialogs.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
#include "ProgramMiscTabSheet.h"
#include "RichBox.h"
#include "RichEditOps.h"
#include "Shell.h"

namespace {

// Shows a wait cursor while it lives.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor &) = delete;
    TWaitCursor &operator=(const TWaitCursor &) = delete;
};

} // namespace

void TLecternForm::SetUpEditing()
{
    auto &book = BookGroupBox->Form;
    AllowEditingCheckBox = book.AllowEditingCheckBox;
    SaveBookButton = book.SaveBookButton;
    RunBookButton = book.RunBookButton;
    PrintBookButton = book.PrintBookButton;
    connect(AllowEditingCheckBox, &QCheckBox::clicked, this, &TLecternForm::AllowEditingCheckBoxClick);
    connect(SaveBookButton, &QPushButton::clicked, this, &TLecternForm::SaveBookButtonClick);
    connect(RunBookButton, &QPushButton::clicked, this, &TLecternForm::RunBookButtonClick);
    connect(PrintBookButton, &QPushButton::clicked, this, &TLecternForm::PrintBookButtonClick);
    PrinterForBook = [this]() -> std::unique_ptr<QPrinter> {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (!info.isNull())
            return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        // Without a default printer the reader picks one, or a PDF file.
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        QPrintDialog dialog(printer.get(), this);
        if (dialog.exec() != QDialog::Accepted)
            return nullptr;
        return printer;
    };
}

void TLecternForm::AllowEditingCheckBoxClick()
{
    const bool editing = AllowEditingCheckBox->isChecked();
    RichEdit->setReadOnly(!editing);
    // Undo steps matter only while the reader edits.
    if (RichEdit->document()->isUndoRedoEnabled() != editing)
        RichEdit->document()->setUndoRedoEnabled(editing);
    FocusRichBox();
}

void TLecternForm::SetEditing(bool on)
{
    RichEdit->setReadOnly(!on);
    AllowEditingCheckBox->setChecked(on);
    AllowEditingCheckBoxClick();
}

bool TLecternForm::CanProcessBook()
{
    if (CurrentBookPath.isEmpty() || IsRichEditEmpty(RichEdit)) {
        MessageDialog(QStringLiteral("There is no text to process."));
        return false;
    }
    if (PiecesComboBox->count() >= 2) {
        WarningDialog(QStringLiteral("The book must be loaded in one piece."));
        return false;
    }
    return true;
}

bool TLecternForm::SaveFile()
{
    // While a book loads, the rich-box holds only part of it.
    if (Loading)
        return false;
    FUN_BEGIN("TLecternForm::SaveFile");
    bool saved = false;
    try {
        if (CanProcessBook()) {
            const QString chosen = SaveFileDialog(ProposedSaveName(CurrentBookPath), BookDialogFilter());
            if (!chosen.isEmpty()) {
                const TBookSaveTarget target = BookSaveTarget(chosen);
                TBookSaveSituation situation;
                situation.ParagraphPrefix = Engine->ParagraphPrefix;
                situation.CommandsUsed = Engine->CommandsUsed;
                situation.OpenBookPath = CurrentBookPath;
                bool go = true;
                for (const QString &question : BookSaveQuestions(target, situation)) {
                    if (!QueryDialog(question)) {
                        go = false;
                        break;
                    }
                }
                if (go) {
                    const QByteArray bytes = BookSaveBytes(*RichEdit->RichDocument(), target.Format);
                    QString reason;
                    int code = 0;
                    if (WriteBookFile(target.FileName, bytes, &reason, &code)) {
                        SetRichEditModified(false);
                        MessageDialog(QStringLiteral("The book was saved."));
                        saved = true;
                    } else {
                        FUN_RAISE(QStringLiteral("Failed to save."), target.FileName, reason, code);
                    }
                }
            }
        }
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to save."));
    return saved;
}

void TLecternForm::SaveBookButtonClick()
{
    SaveFile();
    FocusRichBox();
}

bool TLecternForm::AskSaveIfModified()
{
    if (!IsRichEditModified())
        return true;
    switch (
        ShowDialogBox(QStringLiteral("Query"), QStringLiteral("Text has been edited. Save it?"), TDialogKind::Query)) {
    case DialogResultNo: return true; // the reader lets the edits go
    case DialogResultOk: return SaveFile();
    default: return false; // no answer: nothing is thrown away
    }
}

void TLecternForm::RunBookButtonClick()
{
    FUN_BEGIN("TLecternForm::RunBookButtonClick");
    try {
        // The desktop's program for the book's type. Without a book, RunFile
        // has said so in a box of its own and records nothing.
        if (!RunFile(CurrentBookPath, QString(), QString(), false, false) && !CurrentBookPath.isEmpty())
            FUN_ADOPT();
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to run book."));
    FocusRichBox();
}

QMarginsF TLecternForm::PrintMargins() const
{
    const TProgramMiscTabSheet *m = ProgramMiscTabSheet;
    return QMarginsF(m->PrintLeftMargin(), m->PrintTopMargin(), m->PrintRightMargin(), m->PrintBottomMargin());
}

void TLecternForm::PrintBookButtonClick()
{
    FUN_BEGIN("TLecternForm::PrintBookButtonClick");
    try {
        if (!Loading && CanProcessBook() && QueryDialog(QStringLiteral("Print text?"))) {
            std::unique_ptr<QPrinter> printer = PrinterForBook ? PrinterForBook() : nullptr;
            if (printer) {
                printer->setDocName(CurrentBookPath);
                TWaitCursor wait;
                QString reason;
                if (!RichEdit->Print(printer.get(), PrintMargins(), &reason))
                    FUN_RAISE(QStringLiteral("Failed to print."), CurrentBookPath, reason);
            }
        }
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to print."));
    FocusRichBox();
}
