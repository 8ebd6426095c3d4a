// Moving through the book: go to line, find, the chapters menu, the keys
// and the wheel of the rich-box.
#include "LecternForm.h"

#include <QApplication>
#include <QGuiApplication>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>

#include <limits>

#include "BookGroupBox.h"
#include "ChaptersPopupMenu.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
#include "OpenBook.h"
#include "ProgramGeneralTabSheet.h"
#include "RichBox.h"
#include "RichEditOps.h"
#include "TextParsers.h"

namespace {

constexpr int WheelStep = 120; // rotation of one notch, in eighths of a degree

bool IsEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

} // namespace

void TLecternForm::SetUpNavigation()
{
    Ui::BookGroupBox &book = BookGroupBox->Form;
    connect(book.GotoLineEdit, &QLineEdit::returnPressed, this, [this] { GotoLineEditKeyDown(Qt::Key_Return); });
    connect(book.FindTextEdit, &QLineEdit::returnPressed, this, [this] {
        // Shift+Enter lists every match; Enter goes to the next one.
        if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier)
            ShowMatchesMenu();
        else
            FindTextEditKeyDown(Qt::Key_Return);
    });
    connect(book.ChaptersButton, &QPushButton::clicked, this, &TLecternForm::ChaptersButtonClick);

    Engine->MenuFactory = TChaptersPopupMenu::Factory();
    Engine->ItemClick = [this](int position) { GoToPosition(RichEdit, position); };
    RichBoxView = std::make_unique<TRichBoxViewAdapter>(RichEdit);
    Engine->View = RichBoxView.get();

    RichEdit->OnKeyPress = [this](QKeyEvent *event) { return RichEditKeyDown(event); };
    // The wheel is always handled here, never by the box itself.
    RichEdit->OnWheel = [this](QWheelEvent *event) {
        WheelRemainder += event->angleDelta().y();
        while (WheelRemainder <= -WheelStep) {
            WheelRemainder += WheelStep;
            RichEditMouseWheelDown();
        }
        while (WheelRemainder >= WheelStep) {
            WheelRemainder -= WheelStep;
            RichEditMouseWheelUp();
        }
        return true;
    };
}

void TLecternForm::FocusFindTextEdit() { BookGroupBox->Form.FindTextEdit->setFocus(); }

void TLecternForm::FocusGotoLineEdit() { BookGroupBox->Form.GotoLineEdit->setFocus(); }

void TLecternForm::GotoLineEditKeyDown(int key)
{
    if (!IsEnterKey(key))
        return;
    FocusRichBox();
    const int bookLine = TopBookLine();
    if (bookLine >= 0) {
        // A line of the whole book, in whichever piece it is.
        const int line
            = GetIntFromText(BookGroupBox->Form.GotoLineEdit->text(), 1, Book->LineCount(), bookLine + 1);
        GoToBookLine(line - 1);
    } else {
        const int top = GetFirstVisibleLine(RichEdit);
        int line
            = GetIntFromText(BookGroupBox->Form.GotoLineEdit->text(), 1, std::numeric_limits<int>::max(), top + 1);
        // Past the last line: the line count would be the upper bound, asked
        // this way the text is laid out only as far as the line.
        if (LineIndex(RichEdit, line - 1) < 0)
            line = top + 1;
        SetTopLine(RichEdit, line - 1);
    }
    QCursor::setPos(HintLabel->mapToGlobal(HintLabel->rect().center()));
    ShowSidebar(true); // the pointer is now off the sidebar
    FocusRichBox();
}

void TLecternForm::FindTextEditKeyDown(int key)
{
    if (!IsEnterKey(key) || BookGroupBox->Form.FindTextEdit->text().isEmpty())
        return;
    FindNext();
}

void TLecternForm::ChaptersButtonClick()
{
    ShowChaptersMenu();
    FocusRichBox();
}

bool TLecternForm::ShowChaptersMenu()
{
    FUN_BEGIN("TLecternForm::ShowChaptersMenu");
    bool shown = false;
    try {
        // The whole book's chapters carry book lines, a piece's positions.
        TChaptersMenu *menu = BookChapters ? BookChapters.get() : Engine->ChaptersMenu();
        const int place = BookChapters ? TopBookLine() : FirstVisibleCharIndex(RichEdit);
        if (menu) {
            auto *popup = dynamic_cast<TChaptersPopupMenu *>(menu);
            QPushButton *button = BookGroupBox->Form.ChaptersButton;
            if (!popup || !popup->Popup(MenuPlace(button), place))
                FUN_RAISE(QStringLiteral("The chapters menu cannot be shown."));
            else
                shown = true;
        }
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to show \"Chapters\" menu."));
    return shown;
}

bool TLecternForm::RichEditKeyDown(QKeyEvent *event)
{
    const TShiftState state = ShiftStateFrom(event->modifiers());
    const int key = event->key();
    if (HasModifier(state, ssCtrl)) {
        // Undo, cut, copy, paste and moving by words and pages pass; the
        // box's own formatting and selection shortcuts never act.
        switch (key) {
        case Qt::Key_Z:
        case Qt::Key_X:
        case Qt::Key_C:
        case Qt::Key_V:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down: return false;
        default: return true;
        }
    }
    if (!RichEdit->isReadOnly() || !HasNoModifier(state))
        return false;
    // At the end or the top of a piece of a book read as one book, the
    // page goes on into the next piece or back into the previous one.
    switch (key) {
    case Qt::Key_Space: {
        if (ReadOnIntoNextPiece())
            return true;
        QKeyEvent pageDown(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QCoreApplication::sendEvent(RichEdit, &pageDown);
        return true;
    }
    case Qt::Key_PageDown: return ReadOnIntoNextPiece();
    case Qt::Key_PageUp: return ReadBackIntoPreviousPiece();
    case Qt::Key_Up:
        if (ReadBackIntoPreviousPiece())
            return true;
        ScrollLines(RichEdit, -1);
        return false;
    case Qt::Key_Down:
        if (ReadOnIntoNextPiece())
            return true;
        ScrollLines(RichEdit, 1);
        return false;
    default: return false;
    }
}

int TLecternForm::WheelScrollLines() const
{
    return GetIntFromText(ProgramGeneralTabSheet->Form.WheelScrollLinesComboBox->currentText());
}

void TLecternForm::RichEditMouseWheelDown()
{
    const int lines = WheelScrollLines();
    if (lines == 0 || ReadOnIntoNextPiece())
        return;
    ScrollLines(RichEdit, lines);
    KeepCaretVisible(RichEdit, 0);
}

void TLecternForm::RichEditMouseWheelUp()
{
    const int lines = WheelScrollLines();
    if (lines == 0 || ReadBackIntoPreviousPiece())
        return;
    ScrollLines(RichEdit, -lines);
}
