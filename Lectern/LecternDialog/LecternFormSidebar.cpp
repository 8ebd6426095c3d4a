// The main window's layout, sidebar, keyboard shortcuts and the updates
// around long changes.
#include "LecternForm.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QTabWidget>

#include "ConvertMeasureTabSheet.h"
#include "Dialogs.h"
#include "HelpWindow.h"
#include "ProgramOpenTabSheet.h"
#include "RichBox.h"
#include "SizesGroupBox.h"

TWindowLayout TLecternForm::CurrentLayout() const
{
    TWindowLayoutInput in;
    in.Width = width();
    in.Height = height();
    in.RichBoxWidthPercent = SizesGroupBox->RichBoxWidthPercent();
    in.RichBoxTopPercent = SizesGroupBox->RichBoxTopPercent();
    in.RichBoxBottomPercent = SizesGroupBox->RichBoxBottomPercent();
    in.SidebarWidth = Container_OptionsPageControl->width();
    in.ClockSize = ClockLabel->size();
    return ComputeWindowLayout(in);
}

void TLecternForm::FormResize()
{
    if (QCoreApplication::closingDown() || ProfileListLoading)
        return;
    const TWindowLayout layout = CurrentLayout();
    RichEdit->setGeometry(layout.RichBox);
    Container_MainPanel->setGeometry(layout.Sidebar);
    HintLabel->setGeometry(layout.HintLabel);
    CurrentFileInfoLabel->setGeometry(layout.CurrentFileInfoLabel);
    ClockLabel->setGeometry(layout.ClockLabel);
    // The sidebar lies over the rich-box when they overlap.
    Container_MainPanel->raise();
    RebuildBackImages();
}

void TLecternForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TLecternForm::SizesComboBoxChange() { FormResize(); }

bool TLecternForm::PointerCanBeMoved()
{
    // Wayland leaves the pointer to the compositor.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void TLecternForm::ShowSidebar(bool hide)
{
    if (SidebarSuppress || !IsApplicationActive()) {
        SidebarSuppress = false;
        return;
    }
    // A sidebar the keyboard opened where the pointer could not be moved
    // onto it stays while one of its controls has the keyboard and the
    // pointer has not been in it: it closes on Esc, or when the pointer
    // leaves it.
    if (hide && SidebarHeldByKeyboard && !PointerWasInSidebar && Container_MainPanel->isVisible()) {
        QWidget *focus = QApplication::focusWidget();
        if (focus && Container_MainPanel->isAncestorOf(focus))
            return;
    }
    if (hide || !Container_MainPanel->isVisible()) {
        SidebarHeldByKeyboard = false;
        PointerWasInSidebar = false;
    }
    Container_MainPanel->setVisible(!hide);
    if (hide) {
        FocusRichBox();
    } else if (Container_OptionsPageControl->currentWidget() == ConvertMeasureTabSheet) {
        if (ConvertMeasureTabSheet->ConvertMeasureEdit)
            ConvertMeasureTabSheet->ConvertMeasureEdit->setFocus();
    }
    SidebarSuppress = false;
}

void TLecternForm::ShowOpenTab()
{
    Container_OptionsPageControl->setCurrentWidget(ProgramOptionsTabSheet);
    ProgramPageControl->setCurrentWidget(ProgramOpenTabSheet);
    ShowSidebar(false);
    if (!PointerCanBeMoved()) {
        SidebarHeldByKeyboard = Container_MainPanel->isVisible();
        return;
    }
    // The pointer goes over the sidebar, so the next move does not hide it;
    // where the page is is known once the sidebar is laid out, shown.
    if (Container_MainPanel->isVisible()) {
        const QPoint top(ProgramOpenTabSheet->width() / 2, 0);
        QCursor::setPos(ProgramOpenTabSheet->mapToGlobal(top));
    }
}

void TLecternForm::FormMouseMove(int x, int y)
{
    FeedRandomFromPointer(x, y);
    ShowSidebar(x >= RichEdit->x() - 5);
}

void TLecternForm::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    // Moves over the background (or a label without pointer tracking) also
    // settle the hint: widgets that appear under a resting pointer do not
    // always get their leave events when it moves on.
    SetApplicationHint(HintOf(childAt(pos)));
    FormMouseMove(pos.x(), pos.y());
    QWidget::mouseMoveEvent(event);
}

QPoint TLecternForm::MenuPlace(const QWidget *button) const
{
    if (button->isVisible())
        return button->mapToGlobal(QPoint(button->width(), 0));
    return RichEdit->mapToGlobal(QPoint(0, 0));
}

void TLecternForm::FocusRichBox()
{
    if (RichEdit->isVisible() && RichEdit->isEnabled())
        RichEdit->setFocus();
}

bool TLecternForm::BeginUpdate()
{
    const bool visible = RichEdit->isVisible();
    RichEdit->hide();
    setUpdatesEnabled(false);
    return visible;
}

void TLecternForm::EndUpdate(bool visible)
{
    RichEdit->setVisible(visible);
    setUpdatesEnabled(true);
}

bool TLecternForm::FormKeyDown(int key, TShiftState state)
{
    // Esc closes a sidebar the keyboard opened before it hides the program.
    if (key == Qt::Key_Escape && HasNoModifier(state) && SidebarHeldByKeyboard && Container_MainPanel->isVisible()) {
        SidebarHeldByKeyboard = false;
        ShowSidebar(true);
        return true;
    }
    const TShortcut shortcut = ShortcutFor(key, state);
    if (shortcut.Action == TShortcutAction::None)
        return false;
    RunShortcut(shortcut);
    return true;
}

void TLecternForm::RunShortcut(const TShortcut &shortcut)
{
    switch (shortcut.Action) {
    case TShortcutAction::None:
    case TShortcutAction::Swallow: break;
    case TShortcutAction::Minimize: showMinimized(); break;
    case TShortcutAction::GoToBookmark: GoToBookmark(shortcut.Bookmark); break;
    case TShortcutAction::GoToAutoBookmark: GoToAutoBookmark(); break;
    case TShortcutAction::Chapters: ChaptersButtonClick(); break;
    case TShortcutAction::FindText:
        ShowOpenTab();
        FocusFindTextEdit();
        break;
    case TShortcutAction::GotoLine:
        ShowOpenTab();
        FocusGotoLineEdit();
        break;
    case TShortcutAction::OpenBookshelf: OpenBookshelfButtonClick(); break;
    case TShortcutAction::PutBookshelf: PutBookshelfButtonClick(); break;
    case TShortcutAction::SaveBook: SaveBookButtonClick(); break;
    case TShortcutAction::Tips: ShowHelp(10000); break;
    case TShortcutAction::FindNext: FindNext(); break;
    case TShortcutAction::OpenBookDialog: OpenBookButtonClick(); break;
    case TShortcutAction::OpenWelcome: OpenBook(GetProgramDirectory() + QStringLiteral("Welcome.txt"), true); break;
    case TShortcutAction::NextPiece: NextPieceButtonClick(); break;
    case TShortcutAction::PreviousPiece: PreviousPieceButtonClick(); break;
    case TShortcutAction::ReadAloud: ReadAloudButtonClick(); break;
    case TShortcutAction::Help: HelpButtonClick(); break;
    case TShortcutAction::Close: CloseProgramButtonClick(); break;
    }
}
