// The main window as a whole: sidebar rules, hints, the information timer,
// keys, minimise/restore, closing and the sizes options.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include "BookGroupBox.h"
#include "Dialogs.h"
#include "FunStatContext.h"
#include "LecternForm.h"
#include "RichBox.h"
#include "RichDocument.h"
#include "SizesGroupBox.h"

namespace {

// A window of a known size that never runs the start-up loading and counts
// itself active unless told otherwise.
struct TFormFixture {
    TFormFixture()
    {
        TLecternForm::FirstActivation = false;
        Form.IsApplicationActive = [this] { return Active; };
        Form.resize(1000, 800);
    }
    bool Active = true;
    TLecternForm Form;
};

QString WriteBook(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write(bytes);
    return path;
}

} // namespace

class TestWindowForm : public QObject {
    Q_OBJECT
private slots:
    void componentTree();
    void captionsAsTheReaderReadsThem();
    void hintsNameControlsByTheirCaptions_data();
    void hintsNameControlsByTheirCaptions();
    void sidebarSuppressAndActivity();
    void sidebarFollowsPointer();
    void hintsFollowControls();
    void infoTimerLabels();
    void keysGoToWindowFirst();
    void minimiseStopsTimer();
    void sizesRerunLayout();
    void closeAsksToSaveEditedText();
    void updateBracketKeepsVisibility();
    void openingRefusesBadFiles();
    void linkPressOpensAddress();
};

void TestWindowForm::componentTree()
{
    TFormFixture f;
    TLecternForm &form = f.Form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Lectern"));
    QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
    // Tabs and their captions.
    QCOMPARE(form.Container_OptionsPageControl->count(), 3);
    QCOMPARE(form.Container_OptionsPageControl->tabText(0), QStringLiteral("Program"));
    QCOMPARE(form.Container_OptionsPageControl->tabText(1), QStringLiteral("Profile"));
    QCOMPARE(form.Container_OptionsPageControl->tabText(2), QStringLiteral("Convert"));
    QCOMPARE(form.ProgramPageControl->tabText(2), QStringLiteral("Misc"));
    QCOMPARE(form.ProfilePageControl->tabText(1), QStringLiteral("Colors"));
    // Every group box by name, with its caption.
    const QList<QPair<QString, QString>> groups = {
        {"BookGroupBox", "Book"},
        {"BookshelfGroupBox", "Bookshelf"},
        {"BrowserGroupBox", "Browser"},
        {"MiscellaneousOptionsGroupBox", "Miscellaneous options"},
        {"OpenInPiecesGroupBox", "Open in pieces"},
        {"SizesGroupBox", "Sizes"},
        {"DictionaryOptionsGroupBox", "Dictionary"},
        {"PrintGroupBox", "Print text"},
        {"SystemOptionsGroupBox", "System integration"},
        {"EnhancePlainTextGroupBox", "Enhance plain text"},
        {"ScreenBackImageGroupBox", "Screen background image"},
        {"RichBackImageGroupBox", "Rich-box background image"},
        {"ProfileWorkGroupBox", "Work"},
        {"FormatTextGroupBox", "Format text"},
        {"FormatParaGroupBox", "Format paragraph"},
        {"ProfileBackSoundGroupBox", "Background sound"},
    };
    for (const auto &g : groups) {
        auto *box = form.findChild<QGroupBox *>(g.first);
        QVERIFY2(box, qPrintable(g.first));
        QCOMPARE(box->title(), g.second);
    }
    // The book labels live in the "Book" group.
    QCOMPARE(form.ModifiedLabel->parentWidget(), static_cast<QWidget *>(form.BookGroupBox));
    QCOMPARE(form.LineNumberLabel->parentWidget(), static_cast<QWidget *>(form.BookGroupBox));
    QCOMPARE(form.HelpButton->text(), QStringLiteral("Help"));
    QCOMPARE(form.HideProgramButton->focusPolicy(), Qt::NoFocus);
    QCOMPARE(form.InfoTimer->interval(), 1000);
    QVERIFY(form.InfoTimer->isActive());
}

void TestWindowForm::captionsAsTheReaderReadsThem()
{
    TFormFixture f;
    auto *wheel = f.Form.findChild<QLabel *>(QStringLiteral("WheelScrollLinesLabel"));
    QVERIFY(wheel);
    QCOMPARE(wheel->text(), QStringLiteral("Wheel scroll lines"));
}

void TestWindowForm::hintsNameControlsByTheirCaptions_data()
{
    QTest::addColumn<QString>("hinted");
    QTest::addColumn<QString>("named");
    QTest::newRow("pieces list") << "PiecesComboBox"
                                 << "OpenInPiecesCheckBox";
    QTest::newRow("editing") << "AllowEditingCheckBox"
                             << "ParagraphPrefixLabel";
}

// A hint that sends the reader to another control quotes that control's
// caption as the window shows it.
void TestWindowForm::hintsNameControlsByTheirCaptions()
{
    QFETCH(QString, hinted);
    QFETCH(QString, named);
    TFormFixture f;
    auto *hint = f.Form.findChild<QWidget *>(hinted);
    auto *control = f.Form.findChild<QWidget *>(named);
    QVERIFY(hint && control);
    const QString caption = control->property("text").toString().remove(QLatin1Char('&'));
    QVERIFY(!caption.isEmpty());
    QVERIFY2(hint->statusTip().contains(QLatin1Char('"') + caption + QLatin1Char('"')), qPrintable(hint->statusTip()));
}

void TestWindowForm::sidebarSuppressAndActivity()
{
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.show();
    QVERIFY(!form.Container_MainPanel->isVisible());
    // The first request after construction is ignored, the next one works.
    form.ShowSidebar(false);
    QVERIFY(!form.Container_MainPanel->isVisible());
    form.ShowSidebar(false);
    QVERIFY(form.Container_MainPanel->isVisible());
    form.ShowSidebar(true);
    QVERIFY(!form.Container_MainPanel->isVisible());

    // While another application is active nothing changes, and a pending
    // suppress request is used up.
    f.Active = false;
    form.SidebarSuppress = true;
    form.ShowSidebar(false);
    QVERIFY(!form.Container_MainPanel->isVisible());
    QVERIFY(!form.SidebarSuppress);
    f.Active = true;
    form.ShowSidebar(false);
    QVERIFY(form.Container_MainPanel->isVisible());

    // ShowOpenTab selects "Program" / "Open".
    form.Container_OptionsPageControl->setCurrentIndex(2);
    form.ProgramPageControl->setCurrentIndex(1);
    form.ShowSidebar(true);
    form.ShowOpenTab();
    QVERIFY(form.Container_MainPanel->isVisible());
    QCOMPARE(form.Container_OptionsPageControl->currentIndex(), 0);
    QCOMPARE(form.ProgramPageControl->currentIndex(), 0);
}

void TestWindowForm::sidebarFollowsPointer()
{
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.show();
    form.SidebarSuppress = false;
    const int richLeft = form.CurrentLayout().RichBox.left();
    QCOMPARE(richLeft, 275);
    form.FormMouseMove(richLeft - 6, 400);
    QVERIFY(form.Container_MainPanel->isVisible());
    form.FormMouseMove(richLeft - 5, 400);
    QVERIFY(!form.Container_MainPanel->isVisible());
    // A real pointer move over the background to the far left shows it.
    QTest::mouseMove(&form, QPoint(5, 400));
    QTRY_VERIFY(form.Container_MainPanel->isVisible());
    // A move over the hint label hides it again.
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.HintLabel, &move);
    QVERIFY(!form.Container_MainPanel->isVisible());
}

void TestWindowForm::hintsFollowControls()
{
    TFormFixture f;
    TLecternForm &form = f.Form;
    QCOMPARE(form.HintLabel->text(), TLecternForm::RichBoxHint);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(form.HelpButton, &enter);
    QCOMPARE(form.HintLabel->text(), QStringLiteral("Show the program's help. Press [Ctrl + T] for tips. [F1]"));
    // A control without a hint of its own shows its parent's.
    auto *sizes = form.SizesGroupBox->Form.RichBoxWidthPercentLabel;
    QCoreApplication::sendEvent(sizes, &enter);
    QCOMPARE(form.HintLabel->text(), QStringLiteral("Set the sizes of the various visual elements"));
    QCoreApplication::sendEvent(form.SizesGroupBox->Form.RichBoxTopPercentComboBox, &enter);
    QCOMPARE(form.HintLabel->text(),
             QStringLiteral("The top of the rich-box is set to this percent of the screen's height"));
    // Leaving a control goes back to the hint of the parent under the pointer.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(form.SizesGroupBox->Form.RichBoxTopPercentComboBox, &leave);
    QCOMPARE(form.HintLabel->text(), QStringLiteral("Set the sizes of the various visual elements"));
    QCoreApplication::sendEvent(form.RichEdit->viewport(), &enter);
    QCOMPARE(form.HintLabel->text(), TLecternForm::RichBoxHint);
    // Text written into the label stays until the hint changes.
    form.HintLabel->setText(QStringLiteral("note"));
    QCoreApplication::sendEvent(form.RichEdit, &enter);
    QCOMPARE(form.HintLabel->text(), QStringLiteral("note"));
}

void TestWindowForm::infoTimerLabels()
{
    TScopedRecordingDialogs dialogs;
    QTemporaryDir dir;
    QByteArray text;
    for (int i = 1; i <= 200; ++i)
        text += "Line " + QByteArray::number(i) + "\n";
    const QString path = WriteBook(dir, QStringLiteral("Book.txt"), text);
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.show();
    form.EnhanceTextCheckBox->setChecked(false); // one paragraph per line
    QVERIFY(!form.RichEdit->isVisible()); // hidden until a book is shown
    QVERIFY(form.OpenBook(path, false));
    QVERIFY(form.RichEdit->isVisible());
    QCOMPARE(dialogs.Boxes.size(), 0);
    QCOMPARE(form.CurrentBookPath, QFileInfo(path).absoluteFilePath());
    form.InfoTimerTimer();
    // 200 lines, the empty line after the last line break and the end marker.
    QCOMPARE(form.LineNumberLabel->text(), QStringLiteral("Top line 1 (202 total lines)"));
    QCOMPARE(form.ModifiedLabel->text(), QStringLiteral("Text is NOT modified"));
    QVERIFY(!form.ClockLabel->text().isEmpty());
    form.SetRichEditModified(true);
    form.InfoTimerTimer();
    QCOMPARE(form.ModifiedLabel->text(), QStringLiteral("Text is MODIFIED"));
    // Scrolling moves the top line.
    form.RichEdit->verticalScrollBar()->setValue(form.RichEdit->verticalScrollBar()->maximum());
    form.InfoTimerTimer();
    QVERIFY(!form.LineNumberLabel->text().startsWith(QStringLiteral("Top line 1 ")));
}

void TestWindowForm::keysGoToWindowFirst()
{
    TScopedRecordingDialogs dialogs;
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.show();
    form.SidebarSuppress = false;
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Alt+G opens the sidebar on "Open", whatever has the focus.
    form.Container_OptionsPageControl->setCurrentIndex(1);
    QTest::keyClick(form.RichEdit, Qt::Key_G, Qt::AltModifier);
    QVERIFY(form.Container_MainPanel->isVisible());
    QCOMPARE(form.Container_OptionsPageControl->currentIndex(), 0);
    // A key without an action reaches the focused control: typing into the
    // width combo changes it.
    auto *combo = form.SizesGroupBox->Form.RichBoxWidthPercentComboBox;
    combo->setFocus();
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("50"));
    QCOMPARE(combo->currentText(), QStringLiteral("50"));
    // Alt+1 is used by the window and never typed.
    QTest::keyClick(combo->lineEdit(), Qt::Key_1, Qt::AltModifier);
    QCOMPARE(combo->currentText(), QStringLiteral("50"));
    QCOMPARE(dialogs.Boxes.size(), 0);
}

void TestWindowForm::minimiseStopsTimer()
{
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.InfoTimer->isActive());
    QTest::keyClick(&form, Qt::Key_Escape);
    QTRY_VERIFY(form.isMinimized());
    QVERIFY(!form.InfoTimer->isActive());
    form.ModifiedLabel->setText(QString());
    form.showNormal();
    QTRY_VERIFY(form.InfoTimer->isActive());
    // The labels catch up at once on restore.
    QCOMPARE(form.ModifiedLabel->text(), QStringLiteral("Text is NOT modified"));
}

void TestWindowForm::sizesRerunLayout()
{
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.show();
    QCOMPARE(form.RichEdit->geometry(), QRect(275, 80, 450, 600));
    auto *width = form.SizesGroupBox->Form.RichBoxWidthPercentComboBox;
    width->setCurrentText(QStringLiteral("20"));
    QCOMPARE(form.RichEdit->geometry(), QRect(400, 80, 200, 600));
    width->setCurrentText(QStringLiteral("100"));
    QCOMPARE(form.RichEdit->width(), 1000);
    // Out of range or not a number: the default.
    width->setCurrentText(QStringLiteral("101"));
    QCOMPARE(form.RichEdit->width(), 450);
    width->setCurrentText(QStringLiteral("wide"));
    QCOMPARE(form.RichEdit->width(), 450);
    form.SizesGroupBox->Form.RichBoxTopPercentComboBox->setCurrentText(QStringLiteral("5"));
    form.SizesGroupBox->Form.RichBoxBottomPercentComboBox->setCurrentText(QStringLiteral("25"));
    QCOMPARE(form.RichEdit->geometry(), QRect(275, 40, 450, 560));
    QCOMPARE(form.HintLabel->y(), 610);
    // A resize re-runs it as well.
    form.resize(800, 600);
    QCOMPARE(form.RichEdit->geometry(), QRect(220, 30, 360, 420));
}

void TestWindowForm::closeAsksToSaveEditedText()
{
    TScopedRecordingDialogs dialogs;
    dialogs.DefaultAnswer = DialogResultNo;
    {
        TFormFixture f;
        f.Form.show();
        QVERIFY(f.Form.close());
        QCOMPARE(dialogs.Boxes.size(), 0); // nothing edited, nothing asked
        QVERIFY(f.Form.Closing);
    }
    {
        TFormFixture f;
        f.Form.show();
        f.Form.SetRichEditModified(true);
        QVERIFY(f.Form.close()); // the close goes on whatever the answer
        QCOMPARE(dialogs.Boxes.size(), 1);
        QCOMPARE(dialogs.Boxes[0].Kind, TDialogKind::Query);
        QCOMPARE(dialogs.Boxes[0].Text, QStringLiteral("Text has been edited. Save it?"));
    }
}

void TestWindowForm::updateBracketKeepsVisibility()
{
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.show();
    // Before the first book the rich-box is hidden and stays so.
    bool visible = form.BeginUpdate();
    QVERIFY(!visible);
    QVERIFY(!form.updatesEnabled());
    form.EndUpdate(visible);
    QVERIFY(!form.RichEdit->isVisible());
    QVERIFY(form.updatesEnabled());
    form.RichEdit->show();
    visible = form.BeginUpdate();
    QVERIFY(visible);
    QVERIFY(!form.RichEdit->isVisible());
    form.EndUpdate(visible);
    QVERIFY(form.RichEdit->isVisible());
    QVERIFY(form.updatesEnabled());
}

void TestWindowForm::openingRefusesBadFiles()
{
    TScopedRecordingDialogs dialogs;
    QTemporaryDir dir;
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.EnhanceTextCheckBox->setChecked(false); // one paragraph per line
    const QString good = WriteBook(dir, QStringLiteral("Good.TXT"), "One line");
    QVERIFY(form.OpenBook(good, false));
    QCOMPARE(form.RichEdit->toPlainText(), QStringLiteral("One line\n\n***** End of Book *****"));
    QVERIFY(!form.OpenBook(dir.filePath(QStringLiteral("Missing.txt")), false));
    QVERIFY(!form.OpenBook(WriteBook(dir, QStringLiteral("Notes.md"), "x"), false));
    QCOMPARE(dialogs.Count(TDialogKind::Warning), 2);
    QCOMPARE(dialogs.Boxes[0].Text, QStringLiteral("The book is not a valid text file, or it doesn't exist."));
    // A refused open leaves the open book as it was.
    QCOMPARE(form.CurrentBookPath, QFileInfo(good).absoluteFilePath());
    QCOMPARE(form.RichEdit->toPlainText(), QStringLiteral("One line\n\n***** End of Book *****"));
    // Of several dropped files only the first is opened.
    const QString first = WriteBook(dir, QStringLiteral("First.txt"), "first");
    const QString second = WriteBook(dir, QStringLiteral("Second.txt"), "second");
    form.ProcessDroppedFiles({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
    QCOMPARE(form.CurrentBookPath, QFileInfo(first).absoluteFilePath());
    // Bytes that are not UTF-8 are read as Windows-1252 and never fail.
    QVERIFY(form.OpenBook(WriteBook(dir, QStringLiteral("Old.txt"), "\x93Quoted\x94 caf\xe9\r\nNext"), false));
    QCOMPARE(form.RichEdit->toPlainText(),
             QStringLiteral("\u201CQuoted\u201D caf\u00E9\nNext\n\n***** End of Book *****"));
}

QTEST_MAIN(TestWindowForm)

void TestWindowForm::linkPressOpensAddress()
{
    TScopedRecordingDialogs dialogs;
    TFormFixture f;
    TRichDocument *document = f.Form.RichEdit->RichDocument();
    document->SetPlainText(QStringLiteral("First line\r\nRead it at www.example.org today."));
    QList<QUrl> opened;
    f.Form.OpenUrlHandler = [&](const QUrl &url) {
        opened << url;
        return true;
    };
    const int start = document->GetText().indexOf(QStringLiteral("www."));
    const int end = start + int(qstrlen("www.example.org"));
    f.Form.RichEditLinkClick(start, end, QStringLiteral("www.example.org"));
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first(), QUrl(QStringLiteral("http://www.example.org")));
    QCOMPARE(document->SelectionLength(), 0);
    QVERIFY(dialogs.Boxes.isEmpty());

    // A handler that cannot open it: one failure report, nothing else.
    f.Form.OpenUrlHandler = [](const QUrl &) { return false; };
    f.Form.RichEditLinkClick(start, end, QStringLiteral("www.example.org"));
    QCOMPARE(dialogs.Boxes.size(), 1);
    QCOMPARE(FunStatContext.Status, int(Perfect));
}

#include "test_window_form.moc"
