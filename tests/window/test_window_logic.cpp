// The window's pure rules: layout arithmetic, shortcut dispatch and the
// texts of the information labels.
#include <QtTest>

#include "InfoTexts.h"
#include "Shortcuts.h"
#include "WindowLayout.h"

class TestWindowLogic : public QObject {
    Q_OBJECT
private slots:
    void layoutOrdinaryWindow();
    void layoutWideSidebar();
    void layoutDegenerateSizes();
    void shortcutsWithModifiers();
    void shortcutsWithoutAction();
    void digitKeysUnderShift();
    void infoTexts();
};

void TestWindowLogic::layoutOrdinaryWindow()
{
    TWindowLayoutInput in;
    in.Width = 1000;
    in.Height = 800;
    in.SidebarWidth = 200;
    in.ClockSize = QSize(80, 20);
    const TWindowLayout l = ComputeWindowLayout(in);
    QCOMPARE(l.RichBox, QRect(275, 80, 450, 600));
    // Sidebar 10 pixels left of the rich-box, 10 from top and bottom.
    QCOMPARE(l.Sidebar, QRect(65, 10, 200, 780));
    // Labels start at the rich-box, mirrored on the right.
    QCOMPARE(l.HintLabel, QRect(275, 690, 450, 100));
    QCOMPARE(l.CurrentFileInfoLabel, QRect(275, 10, 450, 60));
    // Clock: as far from the right edge as the sidebar from the left one.
    QCOMPARE(l.ClockLabel, QRect(1000 - 65 - 80 - 10, 790 - 20 - 10, 80, 20));

    // Odd sizes truncate toward zero; left uses integer division.
    in.Width = 1001;
    in.Height = 799;
    in.RichBoxWidthPercent = 33;
    in.RichBoxTopPercent = 7;
    in.RichBoxBottomPercent = 13;
    const TWindowLayout odd = ComputeWindowLayout(in);
    QCOMPARE(odd.RichBox.width(), 330); // 330.33
    QCOMPARE(odd.RichBox.left(), 335); // 671 / 2
    QCOMPARE(odd.RichBox.top(), 55); // 55.93
    QCOMPARE(odd.RichBox.height(), 640); // 744 - 103.87
}

void TestWindowLogic::layoutWideSidebar()
{
    TWindowLayoutInput in;
    in.Width = 1000;
    in.Height = 800;
    in.SidebarWidth = 400;
    in.ClockSize = QSize(80, 20);
    const TWindowLayout l = ComputeWindowLayout(in);
    // No room left of the rich-box: the sidebar stays 10 pixels from the edge
    // and covers the rich-box's left part.
    QCOMPARE(l.RichBox, QRect(275, 80, 450, 600));
    QCOMPARE(l.Sidebar.left(), 10);
    QVERIFY(l.Sidebar.right() > l.RichBox.left());
    // The labels start 10 pixels right of the sidebar.
    QCOMPARE(l.HintLabel.left(), 420);
    QCOMPARE(l.HintLabel.width(), 1000 - 2 * 420);
    QCOMPARE(l.CurrentFileInfoLabel.left(), 420);
    QCOMPARE(l.ClockLabel.left(), 1000 - 10 - 80 - 10);
}

void TestWindowLogic::layoutDegenerateSizes()
{
    // A window narrower than twice the label start, or no taller than the
    // margins, gives empty rectangles rather than negative sizes.
    TWindowLayoutInput in;
    in.Width = 300;
    in.Height = 15;
    in.SidebarWidth = 290;
    const TWindowLayout l = ComputeWindowLayout(in);
    QCOMPARE(l.HintLabel.width(), 0);
    QCOMPARE(l.Sidebar.height(), 0);
    QVERIFY(l.CurrentFileInfoLabel.height() >= 0);
    QVERIFY(l.HintLabel.height() >= 0);
    in.Width = 0;
    in.Height = 0;
    const TWindowLayout z = ComputeWindowLayout(in);
    QCOMPARE(z.RichBox.size(), QSize(0, 0));
}

void TestWindowLogic::shortcutsWithModifiers()
{
    const TShiftState alt = ssAlt, altShift = ssAlt | ssShift, ctrl = ssCtrl, ctrlShift = ssCtrl | ssShift;
    TShortcut s = ShortcutFor(Qt::Key_1, altShift);
    QCOMPARE(s.Action, TShortcutAction::GoToBookmark);
    QCOMPARE(s.Bookmark, 1);
    QCOMPARE(ShortcutFor(Qt::Key_5, alt).Bookmark, 5);
    QCOMPARE(ShortcutFor(Qt::Key_3, ssAlt | ssCtrl).Bookmark, 3); // Alt among the modifiers
    QCOMPARE(ShortcutFor(Qt::Key_A, alt).Action, TShortcutAction::GoToAutoBookmark);
    QCOMPARE(ShortcutFor(Qt::Key_C, alt).Action, TShortcutAction::Chapters);
    QCOMPARE(ShortcutFor(Qt::Key_F, alt).Action, TShortcutAction::FindText);
    QCOMPARE(ShortcutFor(Qt::Key_G, alt).Action, TShortcutAction::GotoLine);
    QCOMPARE(ShortcutFor(Qt::Key_O, alt).Action, TShortcutAction::OpenBookshelf);
    QCOMPARE(ShortcutFor(Qt::Key_P, alt).Action, TShortcutAction::PutBookshelf);
    QCOMPARE(ShortcutFor(Qt::Key_S, alt).Action, TShortcutAction::SaveBook);
    QCOMPARE(ShortcutFor(Qt::Key_T, ctrl).Action, TShortcutAction::Tips);
    QCOMPARE(ShortcutFor(Qt::Key_T, ctrlShift).Action, TShortcutAction::Tips);
    QCOMPARE(ShortcutFor(Qt::Key_F5, 0).Action, TShortcutAction::OpenBookDialog);
    QCOMPARE(ShortcutFor(Qt::Key_F5, ctrl).Action, TShortcutAction::OpenWelcome);
    QCOMPARE(ShortcutFor(Qt::Key_F5, ctrlShift).Action, TShortcutAction::OpenWelcome);
    // A held mouse button is not a modifier.
    QCOMPARE(ShortcutFor(Qt::Key_F5, ssLeft).Action, TShortcutAction::OpenBookDialog);
    // Keys that act with any modifiers.
    for (TShiftState st : {TShiftState(0), TShiftState(ssShift), ctrlShift, alt}) {
        QCOMPARE(ShortcutFor(Qt::Key_Escape, st).Action, TShortcutAction::Minimize);
        QCOMPARE(ShortcutFor(Qt::Key_F3, st).Action, TShortcutAction::FindNext);
        QCOMPARE(ShortcutFor(Qt::Key_F6, st).Action, TShortcutAction::NextPiece);
        QCOMPARE(ShortcutFor(Qt::Key_F7, st).Action, TShortcutAction::PreviousPiece);
        QCOMPARE(ShortcutFor(Qt::Key_F10, st).Action, TShortcutAction::Swallow);
    }
    QCOMPARE(ShortcutFor(Qt::Key_F4, alt).Action, TShortcutAction::Close);
}

void TestWindowLogic::shortcutsWithoutAction()
{
    // Keys that must reach the rich-box untouched.
    QCOMPARE(ShortcutFor(Qt::Key_1, 0).Action, TShortcutAction::None);
    QCOMPARE(ShortcutFor(Qt::Key_1, ssCtrl).Action, TShortcutAction::None);
    QCOMPARE(ShortcutFor(Qt::Key_6, ssAlt).Action, TShortcutAction::None);
    QCOMPARE(ShortcutFor(Qt::Key_0, ssAlt).Action, TShortcutAction::None);
    QCOMPARE(ShortcutFor(Qt::Key_F5, ssShift).Action, TShortcutAction::None);
    QCOMPARE(ShortcutFor(Qt::Key_F5, ssAlt).Action, TShortcutAction::None);
    QCOMPARE(ShortcutFor(Qt::Key_T, 0).Action, TShortcutAction::None);
    QCOMPARE(ShortcutFor(Qt::Key_T, ssAlt).Action, TShortcutAction::None);
    QCOMPARE(ShortcutFor(Qt::Key_S, ssCtrl).Action, TShortcutAction::None);
    QCOMPARE(ShortcutFor(Qt::Key_A, 0).Action, TShortcutAction::None);
    QCOMPARE(ShortcutFor(Qt::Key_F4, 0).Action, TShortcutAction::None);
    QCOMPARE(ShortcutFor(Qt::Key_Space, 0).Action, TShortcutAction::None);
    QCOMPARE(ShortcutFor(Qt::Key_Down, ssAlt).Action, TShortcutAction::None);
}

void TestWindowLogic::digitKeysUnderShift()
{
    // Shift turns the digit into its symbol; the physical key decides.
    QCOMPARE(NormalizedShortcutKey(Qt::Key_Exclam, 0), int(Qt::Key_1));
    QCOMPARE(NormalizedShortcutKey(Qt::Key_Percent, 0), int(Qt::Key_5));
    QCOMPARE(NormalizedShortcutKey(Qt::Key_Ampersand, 10), int(Qt::Key_1)); // layouts with symbols unshifted
    QCOMPARE(NormalizedShortcutKey(Qt::Key_QuoteDbl, 11), int(Qt::Key_2));
    QCOMPARE(NormalizedShortcutKey(Qt::Key_3, 0), int(Qt::Key_3));
    QCOMPARE(NormalizedShortcutKey(Qt::Key_A, 38), int(Qt::Key_A));
    QCOMPARE(NormalizedShortcutKey(Qt::Key_F5, 71), int(Qt::Key_F5));
    const TShortcut s = ShortcutFor(NormalizedShortcutKey(Qt::Key_Exclam, 10), ssAlt | ssShift);
    QCOMPARE(s.Action, TShortcutAction::GoToBookmark);
    QCOMPARE(s.Bookmark, 1);
}

void TestWindowLogic::infoTexts()
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QCOMPARE(LineNumberText(0, 1, english), QStringLiteral("Top line 1 (1 total lines)"));
    QCOMPARE(LineNumberText(1233, 56789, english), QStringLiteral("Top line 1,234 (56,789 total lines)"));
    const QLocale german(QLocale::German, QLocale::Germany);
    QCOMPARE(LineNumberText(999, 1000000, german), QStringLiteral("Top line 1.000 (1.000.000 total lines)"));
    // Thousands separators even where the locale's options would omit them.
    QLocale omitting = english;
    omitting.setNumberOptions(QLocale::OmitGroupSeparator);
    QCOMPARE(LineNumberText(1999, 2000, omitting), QStringLiteral("Top line 2,000 (2,000 total lines)"));
    QCOMPARE(ModifiedText(true), QStringLiteral("Text is MODIFIED"));
    QCOMPARE(ModifiedText(false), QStringLiteral("Text is NOT modified"));
}

QTEST_GUILESS_MAIN(TestWindowLogic)
#include "test_window_logic.moc"
