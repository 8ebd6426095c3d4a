// Moving through a book: go to line, find with Enter and F3, the chapters
// menu, the keys of the rich-box and the wheel.
#include <QtTest>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "BookFormFixture.h"
#include "BookGroupBox.h"
#include "ChaptersPopupMenu.h"
#include "FormatPageControls.h"
#include "ProfileFormatTabSheet.h"
#include "ProfileGeneralTabSheet.h"
#include "ProgramGeneralTabSheet.h"

namespace {

void Press(QWidget *target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString &text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(target, &press);
}

} // namespace

class TestNavigation : public QObject {
    Q_OBJECT
private slots:
    void goToLine();
    void findWalksThroughOccurrences();
    void chaptersMenu();
    void chaptersSubmenus();
    void keysInTheRichBox();
    void wheel();
    void openedBookGetsItsMenuAndZoom();
};

void TestNavigation::goToLine()
{
    TBookFormFixture fx;
    fx.Load(TBookFormFixture::Paragraphs(300));
    TLecternForm &form = fx.Form;
    QLineEdit *edit = form.BookGroupBox->Form.GotoLineEdit;
    TRichBox *box = form.RichEdit;

    auto go = [&](const QString &text) {
        edit->setText(text);
        Press(edit, Qt::Key_Return);
    };
    go(QStringLiteral("41"));
    QCOMPARE(fx.Top(), 40);
    QCOMPARE(box->RichDocument()->SelectionStart(), LineIndex(box, 40));
    // Nothing sensible keeps the top line, set again with the caret at its
    // start.
    const int count = box->LineCountExact();
    for (const QString &bad : {QStringLiteral("0"), QStringLiteral("-3"), QStringLiteral("abc"), QString(),
                               QString::number(count + 1), QStringLiteral("99999999999")}) {
        box->PlaceCaret(LineIndex(box, 45) + 3);
        go(bad);
        QVERIFY2(fx.Top() == 40, qPrintable(bad));
        QCOMPARE(box->RichDocument()->SelectionStart(), LineIndex(box, 40));
    }
    // The last line is in range; it lands as far down as the box scrolls.
    go(QString::number(count));
    QVERIFY(fx.AtEnd());
    QVERIFY(form.Container_MainPanel->isHidden());

    // Alt+G opens the sidebar on the line edit.
    QVERIFY(form.FormKeyDown(Qt::Key_G, ssAlt));
    QVERIFY(!form.Container_MainPanel->isHidden());
}

void TestNavigation::findWalksThroughOccurrences()
{
    TBookFormFixture fx;
    QStringList lines = TBookFormFixture::Paragraphs(60);
    lines[10] = QStringLiteral("The Kettle sang on the hob.");
    lines[40] = QStringLiteral("Nobody touched the kettle, nor the k\u00E9ttle.");
    lines[100] = QStringLiteral("A KETTLE at last.");
    fx.Load(lines);
    TLecternForm &form = fx.Form;
    TRichDocument *doc = form.RichEdit->RichDocument();
    QLineEdit *edit = form.BookGroupBox->Form.FindTextEdit;

    edit->setText(QStringLiteral("kettle"));
    Press(edit, Qt::Key_Return);
    QCOMPARE(doc->SelectedText(), QStringLiteral("Kettle"));
    const int first = doc->SelectionStart();
    // F3 goes on from the end of the selection; case does not matter,
    // accents do.
    QVERIFY(form.FormKeyDown(Qt::Key_F3, 0));
    QCOMPARE(doc->SelectedText(), QStringLiteral("kettle"));
    QVERIFY(doc->SelectionStart() > first);
    form.FormKeyDown(Qt::Key_F3, 0);
    QCOMPARE(doc->SelectedText(), QStringLiteral("KETTLE"));
    const int last = doc->SelectionStart();
    QVERIFY(LineFromChar(form.RichEdit, last) >= fx.Top()); // scrolled into view
    // Past the last one the search goes round from the beginning, and says so.
    form.FormKeyDown(Qt::Key_F3, 0);
    QCOMPARE(doc->SelectionStart(), first);
    QCOMPARE(form.HintLabel->text(), QStringLiteral("Searching from the beginning"));
    QVERIFY(fx.Dialogs.Boxes.isEmpty());
    // Read apart, a book's pieces are searched one at a time: after the last
    // match the selection stays, and the hint line says nothing more is found.
    form.ProfileGeneralTabSheet->Form.WholeBookPiecesCheckBox->setChecked(false);
    doc->SetSelection(last, 6);
    form.FormKeyDown(Qt::Key_F3, 0);
    QCOMPARE(doc->SelectionStart(), last);
    QCOMPARE(form.HintLabel->text(), QStringLiteral("Not found: kettle"));
    edit->setText(QStringLiteral("teapot"));
    form.FormKeyDown(Qt::Key_F3, 0);
    QCOMPARE(form.HintLabel->text(), QStringLiteral("Not found: teapot"));
    edit->setText(QStringLiteral("kettle"));

    // F3 with an empty box opens the sidebar for typing the text.
    edit->clear();
    QVERIFY(form.Container_MainPanel->isHidden());
    QApplication::setActiveWindow(&form);
    form.FormKeyDown(Qt::Key_F3, 0);
    QVERIFY(!form.Container_MainPanel->isHidden());
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(doc->SelectionStart(), last);

    // Alt+F too; Enter in an empty box finds nothing and keeps the place.
    form.ShowSidebar(true);
    QVERIFY(form.FormKeyDown(Qt::Key_F, ssAlt));
    QVERIFY(!form.Container_MainPanel->isHidden());
    QCOMPARE(QApplication::focusWidget(), edit);
    Press(edit, Qt::Key_Return);
    QCOMPARE(doc->SelectionStart(), last);
}

void TestNavigation::chaptersMenu()
{
    TBookFormFixture fx;
    QStringList lines = TBookFormFixture::Paragraphs(150);
    lines.insert(0, QStringLiteral("CHAPTER I. The Mill"));
    lines.insert(150, QStringLiteral("CHAPTER II. The & River"));
    lines << QStringLiteral("CHAPTER III. The End") << QStringLiteral("It ends here.");
    fx.Load(lines);
    TLecternForm &form = fx.Form;
    TRichBox *box = form.RichEdit;

    auto *menu = dynamic_cast<TChaptersPopupMenu *>(form.Engine->ChaptersMenu());
    QVERIFY(menu);
    QCOMPARE(menu->Count(), 3);
    const QList<QAction *> actions = menu->Menu()->actions();
    QCOMPARE(actions.size(), 3);
    QCOMPARE(actions.at(1)->text(), QStringLiteral("CHAPTER II. The && River"));

    // A heading in the middle becomes the top line.
    actions.at(1)->trigger();
    QCOMPARE(fx.Top(), LineFromChar(box, menu->Item(1).Tag));
    // A heading among the last five lines shows the end of the text.
    actions.at(2)->trigger();
    QVERIFY(fx.AtEnd());
    QVERIFY(fx.Top() < LineFromChar(box, menu->Item(2).Tag));
    actions.at(0)->trigger();
    QCOMPARE(fx.Top(), 0);

    // Alt+C pops the menu up beside the button, or at the page while the
    // sidebar is hidden.
    form.ShowSidebar(false);
    QVERIFY(form.FormKeyDown(Qt::Key_C, ssAlt));
    QVERIFY(menu->Menu()->isVisible());
    QPushButton *button = form.BookGroupBox->Form.ChaptersButton;
    QCOMPARE(menu->Menu()->pos(), button->mapToGlobal(QPoint(button->width(), 0)));
    menu->Menu()->close();
    form.ShowSidebar(true);
    QVERIFY(!button->isVisible());
    QVERIFY(form.FormKeyDown(Qt::Key_C, ssAlt));
    QVERIFY(menu->Menu()->isVisible());
    QCOMPARE(menu->Menu()->pos(), form.RichEdit->mapToGlobal(QPoint(0, 0)));
    QVERIFY(menu->Menu()->pos().x() > form.mapToGlobal(QPoint(0, 0)).x());
    menu->Menu()->close();
    QVERIFY(fx.Dialogs.Boxes.isEmpty());

    // Without a menu nothing pops up and nothing fails.
    form.Engine->DestroyChaptersMenu();
    QVERIFY(!form.ShowChaptersMenu());
    QVERIFY(fx.Dialogs.Boxes.isEmpty());
}

void TestNavigation::chaptersSubmenus()
{
    TBookFormFixture fx;
    QStringList lines;
    for (int i = 1; i <= 61; ++i)
        lines << QStringLiteral("CHAPTER %1").arg(i) << TBookFormFixture::Paragraphs(4);
    fx.Load(lines);
    TLecternForm &form = fx.Form;
    auto *menu = dynamic_cast<TChaptersPopupMenu *>(form.Engine->ChaptersMenu());
    QVERIFY(menu);
    QCOMPARE(menu->Count(), 61);

    // Reading chapter 45: its run of chapters and its entry are checked.
    menu->ClickItem(44);
    QVERIFY(form.ShowChaptersMenu());
    QMenu *top = menu->Menu();
    const QList<QAction *> runs = top->actions();
    QCOMPARE(runs.size(), 3);
    QCOMPARE(runs.at(1)->text(), QStringLiteral("Chapters 31\u201360"));
    QVERIFY(!runs.at(0)->isChecked());
    QVERIFY(runs.at(1)->isChecked());
    QMenu *second = runs.at(1)->menu();
    QVERIFY(second);
    QVERIFY(second->actions().isEmpty()); // made when it opens
    emit second->aboutToShow();
    QCOMPARE(second->actions().size(), 30);
    QVERIFY(second->actions().at(14)->isChecked());
    QVERIFY(!second->actions().at(15)->isChecked());
    second->actions().at(0)->trigger();
    QCOMPARE(fx.Top(), LineFromChar(form.RichEdit, menu->Item(30).Tag));
    top->close();
    QVERIFY(fx.Dialogs.Boxes.isEmpty());
}

void TestNavigation::keysInTheRichBox()
{
    TBookFormFixture fx;
    fx.Load(TBookFormFixture::Paragraphs(200));
    TLecternForm &form = fx.Form;
    TRichBox *box = form.RichEdit;
    TRichDocument *doc = box->RichDocument();
    const QString text = doc->GetText();

    // Space turns the page while reading.
    Press(box, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    const int page = fx.Top();
    QVERIFY(page > 5);
    QCOMPARE(doc->GetText(), text);
    // Down and Up move the view a line.
    Press(box, Qt::Key_Down);
    QCOMPARE(fx.Top(), page + 1);
    Press(box, Qt::Key_Up);
    QCOMPARE(fx.Top(), page);

    // Ctrl+A selects nothing, Ctrl+B formats nothing, Ctrl+C copies.
    doc->SetSelection(doc->ParagraphStart(2), 9);
    Press(box, Qt::Key_A, Qt::ControlModifier, QStringLiteral("\x01"));
    QCOMPARE(doc->SelectionLength(), 9);
    QVERIFY(form.RichEditKeyDown(std::make_unique<QKeyEvent>(QEvent::KeyPress, Qt::Key_B, Qt::ControlModifier).get()));
    QVERIFY(!(doc->GetCharFormat().Effects & CFE_BOLD));
    QGuiApplication::clipboard()->clear();
    Press(box, Qt::Key_C, Qt::ControlModifier, QStringLiteral("\x03"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Paragraph"));
    QVERIFY(
        !form.RichEditKeyDown(std::make_unique<QKeyEvent>(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier).get()));

    // In an editable box Space is a space.
    box->setReadOnly(false);
    const int start = doc->ParagraphStart(2);
    doc->SetSelection(start, 0);
    Press(box, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCOMPARE(doc->GetText().size(), text.size() + 1);
    QCOMPARE(doc->GetTextRange(start, start + 2), QStringLiteral(" P"));
    QVERIFY(form.IsRichEditModified());
}

void TestNavigation::wheel()
{
    TBookFormFixture fx;
    fx.Load(TBookFormFixture::Paragraphs(200));
    TLecternForm &form = fx.Form;
    TRichBox *box = form.RichEdit;
    QComboBox *lines = form.ProgramGeneralTabSheet->Form.WheelScrollLinesComboBox;
    QCOMPARE(lines->count(), 12);
    QCOMPARE(lines->itemText(11), QStringLiteral("20"));
    QCOMPARE(form.WheelScrollLines(), QApplication::wheelScrollLines());

    auto turn = [&](int delta) {
        const QPoint at = box->viewport()->rect().center();
        QWheelEvent event(at, box->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(box->viewport(), &event);
    };
    form.ProgramGeneralTabSheet->SetWheelScrollLines(QStringLiteral("4"));
    box->PlaceCaret(0);
    turn(-120);
    QCOMPARE(fx.Top(), 4);
    QVERIFY(IsCaretVisible(box)); // the caret came along to the first visible line
    QCOMPARE(box->RichDocument()->SelectionStart(), LineIndex(box, 4));
    turn(-240);
    QCOMPARE(fx.Top(), 12);
    turn(120);
    QCOMPARE(fx.Top(), 8);
    // Half notches add up.
    turn(-60);
    QCOMPARE(fx.Top(), 8);
    turn(-60);
    QCOMPARE(fx.Top(), 12);

    // 0 lines (an edited settings file) makes the wheel do nothing.
    form.ProgramGeneralTabSheet->SetWheelScrollLines(QStringLiteral("0"));
    QCOMPARE(form.WheelScrollLines(), 0);
    box->PlaceCaret(0);
    turn(-120);
    turn(120);
    QCOMPARE(fx.Top(), 12);
    QCOMPARE(box->RichDocument()->SelectionStart(), 0);
}

void TestNavigation::openedBookGetsItsMenuAndZoom()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Chapters.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("CHAPTER I\n\nThe mill stood by the river.\n\nCHAPTER II\n\nThe river ran on.\n");
    file.close();
    TBookFormFixture fx;
    TLecternForm &form = fx.Form;
    TFormatPageControls(form.ProfileFormatTabSheet).FontZoomComboBox->setCurrentText(QStringLiteral("150"));
    QVERIFY(form.OpenBook(path, false));
    QPushButton *button = form.BookGroupBox->Form.ChaptersButton;
    QCOMPARE(button->text(), QStringLiteral("&Chapters (2)"));
    QVERIFY(button->isEnabled());
    QVERIFY(dynamic_cast<TChaptersPopupMenu *>(form.Engine->ChaptersMenu()));
    QCOMPARE(form.RichEdit->ZoomPercent(), 150);
    // The button pops the menu up.
    button->click();
    auto *menu = static_cast<TChaptersPopupMenu *>(form.Engine->ChaptersMenu());
    QVERIFY(menu->Menu()->isVisible());
    menu->Menu()->close();
    QVERIFY(fx.Dialogs.Boxes.isEmpty());
}

QTEST_MAIN(TestNavigation)
#include "test_navigation.moc"
