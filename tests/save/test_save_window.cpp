// Editing and saving in the real main window: the editing switch, saving as
// RTF and text and reopening, the questions, refusals and failures, edits
// offered for saving before a close or another book, and running the book.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>

#include "BookGroupBox.h"
#include "BookSave.h"
#include "Dialogs.h"
#include "FormatPageControls.h"
#include "LecternForm.h"
#include "ProfileFormatTabSheet.h"
#include "ReportRecorder.h"
#include "RichBox.h"
#include "RichDocument.h"
#include "RichEditOps.h"
#include "Shell.h"

namespace {

const QByteArray Book = "Глава первая\n\n"
                        "Он сказал: \"Здравствуй, мир\" и ушёл домой, а дождь всё шёл и шёл над рекой.\n\n"
                        "Η δεύτερη παράγραφος λέει ότι ο ποταμός κυλούσε αργά.\n";

struct TSaveFixture {
    TSaveFixture()
    {
        TLecternForm::FirstActivation = false;
        Form.IsApplicationActive = [] { return true; };
        Form.resize(1000, 800);
        Form.show();
        Book = Form.BookGroupBox;
        SetPrefix(QStringLiteral("Tab"));
    }

    QString Write(const QString &name, const QByteArray &bytes)
    {
        const QString path = Dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
        return path;
    }
    static QByteArray Read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void SetPrefix(const QString &prefix)
    {
        TFormatPageControls(Form.ProfileFormatTabSheet).ParagraphPrefixComboBox->setCurrentText(prefix);
    }
    // Allows editing and types after the first paragraph's prefix, as the
    // reader would.
    void Edit(const QString &typed)
    {
        Book->Form.AllowEditingCheckBox->click();
        Form.RichEdit->setFocus();
        Form.RichEdit->RichDocument()->SetSelection(1, 0);
        QCoreApplication::processEvents();
        Type(typed);
    }
    // Key presses carrying the characters, whatever their script.
    void Type(const QString &typed)
    {
        for (const QChar c : typed) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(Form.RichEdit, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(Form.RichEdit, &release);
        }
    }
    QString Text() const { return Form.RichEdit->RichDocument()->GetText(); }
    QString ModifiedLabel()
    {
        Form.InfoTimerTimer();
        return Form.ModifiedLabel->text();
    }

    TScopedRecordingDialogs Dialogs;
    TReportRecorder Reports;
    QTemporaryDir Dir;
    TLecternForm Form;
    TBookGroupBox *Book = nullptr;
};

// The paragraphs of a text, without the end marker(s) the reader adds.
QStringList Paragraphs(QString text)
{
    QStringList paragraphs = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    paragraphs.removeAll(QStringLiteral("***** End of Book *****"));
    return paragraphs;
}

} // namespace

class TestSaveWindow : public QObject {
    Q_OBJECT
private slots:
    void editingSwitchFollowsTheBook();
    void savedRtfAndTextReopenAlike();
    void questionsBeforeSaving_data();
    void questionsBeforeSaving();
    void overwritingTheOpenBookAsksTwice();
    void refusalsAndFailures();
    void editsAreNotLostAtCloseOrLoad_data();
    void editsAreNotLostAtCloseOrLoad();
    void runBookOpensIt();
    void linksOfAnRtfBook();
};

void TestSaveWindow::editingSwitchFollowsTheBook()
{
    TSaveFixture f;
    QVERIFY(f.Form.OpenBook(f.Write(QStringLiteral("book.txt"), Book), false));
    QCheckBox *allow = f.Book->Form.AllowEditingCheckBox;
    QVERIFY(allow->isEnabled());
    QVERIFY(!allow->isChecked());
    QVERIFY(f.Form.RichEdit->isReadOnly());
    f.Type(QStringLiteral("zz"));
    QVERIFY(!f.Text().contains(QStringLiteral("zz")));
    QCOMPARE(f.ModifiedLabel(), QStringLiteral("Text is NOT modified"));

    f.Edit(QStringLiteral("zz"));
    QVERIFY(!f.Form.RichEdit->isReadOnly());
    QVERIFY(f.Text().startsWith(QStringLiteral("\tzz")));
    QCOMPARE(f.ModifiedLabel(), QStringLiteral("Text is MODIFIED"));
    allow->click(); // off again: the edits are still there and still count
    QVERIFY(f.Form.RichEdit->isReadOnly());
    QCOMPARE(f.ModifiedLabel(), QStringLiteral("Text is MODIFIED"));
    allow->click();

    // Another book: the edits are let go (No), editing is switched off.
    f.Dialogs.Answers = {DialogResultNo};
    QVERIFY(f.Form.OpenBook(f.Write(QStringLiteral("other.txt"), "Another book.\n"), false));
    QCOMPARE(f.Dialogs.Texts(), QStringList{QStringLiteral("Text has been edited. Save it?")});
    QVERIFY(!allow->isChecked());
    QVERIFY(f.Form.RichEdit->isReadOnly());
    QCOMPARE(f.ModifiedLabel(), QStringLiteral("Text is NOT modified"));

    // A book in pieces cannot be edited.
    QByteArray big;
    while (big.size() < 60000)
        big += "A line of a long book that is opened in pieces.\n";
    QVERIFY(f.Form.OpenBook(f.Write(QStringLiteral("big.txt"), big), false));
    QCOMPARE(f.Form.PiecesComboBox->count(), 2);
    QVERIFY(!allow->isEnabled());
}

// A book edited, saved as RTF and as text, and both reopened: the same
// text, and from the RTF the same formatting.
void TestSaveWindow::savedRtfAndTextReopenAlike()
{
    TSaveFixture f;
    const QString book = f.Write(QStringLiteral("book.txt"), Book);
    QVERIFY(f.Form.OpenBook(book, false));
    f.Edit(QStringLiteral("Ещё "));
    TRichDocument *document = f.Form.RichEdit->RichDocument();
    // The end marker is the reader's, not the book's: it is not saved.
    QVERIFY(f.Text().endsWith(QStringLiteral("***** End of Book *****")));
    const QString edited = f.Text().left(document->BookTextEnd());
    const int quote = edited.indexOf(QStringLiteral("Здравствуй")) + 1; // the format before the caret
    QVERIFY(quote > 0);
    document->SetSelection(quote, 0);
    const TCharFormat quoted = document->GetCharFormat();
    document->SetSelection(1, 0);
    const TCharFormat heading = document->GetCharFormat();
    QVERIFY(quoted.TextColor != heading.TextColor); // the quote is coloured

    f.Dialogs.FileNames = {f.Dir.filePath(QStringLiteral("copy.RTF"))};
    QVERIFY(f.Form.SaveFile());
    QCOMPARE(f.Dialogs.Texts(), QStringList{QStringLiteral("The book was saved.")});
    QCOMPARE(f.Dialogs.FileDialogs.size(), 1);
    QCOMPARE(f.Dialogs.FileDialogs[0].Kind, TFileDialogKind::Save);
    QCOMPARE(f.Dialogs.FileDialogs[0].FileName, f.Dir.filePath(QStringLiteral("book")));
    QCOMPARE(f.Dialogs.FileDialogs[0].Filter, QStringLiteral("Text files (*.txt; *.rtf)|*.txt; *.rtf"));
    QCOMPARE(f.ModifiedLabel(), QStringLiteral("Text is NOT modified"));

    f.Dialogs.FileNames = {f.Dir.filePath(QStringLiteral("copy"))};
    f.Book->Form.SaveBookButton->click();
    const QByteArray text = TSaveFixture::Read(f.Dir.filePath(QStringLiteral("copy.txt")));
    QVERIFY(!text.startsWith("\xEF\xBB\xBF"));
    QVERIFY(text.contains("\tЕщё Глава первая\r\n"));
    QVERIFY(!text.contains('?'));
    QCOMPARE(f.Form.CurrentBookPath, QFileInfo(book).absoluteFilePath()); // still the same book
    QVERIFY(f.Reports.Messages.isEmpty());

    QVERIFY(f.Form.OpenBook(f.Dir.filePath(QStringLiteral("copy.RTF")), false));
    QCOMPARE(f.Text(), edited);
    document->SetSelection(quote, 0);
    const TCharFormat quotedBack = document->GetCharFormat();
    QCOMPARE(quotedBack.TextColor, quoted.TextColor);
    QCOMPARE(quotedBack.FaceName, quoted.FaceName);
    QCOMPARE(quotedBack.HeightTwips, quoted.HeightTwips);

    QVERIFY(f.Form.OpenBook(f.Dir.filePath(QStringLiteral("copy.txt")), false));
    QCOMPARE(Paragraphs(f.Text().left(document->BookTextEnd())), Paragraphs(edited));
    QCOMPARE(f.Text().count(QStringLiteral("***** End of Book *****")), 1);
}

void TestSaveWindow::questionsBeforeSaving_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("questions");
    QTest::newRow("text without prefix") << "None"
                                         << "copy" << QStringList{NoPrefixQuestionText()};
    QTest::newRow("rtf without prefix") << "None"
                                        << "copy.rtf" << QStringList();
    QTest::newRow("text with prefix") << "Blanks"
                                      << "copy.doc" << QStringList();
    QTest::newRow("existing file") << "Tab"
                                   << "old" << QStringList{BookExistsQuestionText()};
}

// Each question answered No leaves everything as it was; answered Yes,
// the book is written.
void TestSaveWindow::questionsBeforeSaving()
{
    QFETCH(QString, prefix);
    QFETCH(QString, name);
    QFETCH(QStringList, questions);
    TSaveFixture f;
    f.SetPrefix(prefix);
    QVERIFY(f.Form.OpenBook(f.Write(QStringLiteral("book.txt"), Book), false));
    const QString old = f.Write(QStringLiteral("old.txt"), "old");
    f.Edit(QStringLiteral("x"));
    const QString target = BookSaveTarget(f.Dir.filePath(name)).FileName;
    const QByteArray before = TSaveFixture::Read(target);

    for (int no = 0; no < questions.size(); ++no) {
        f.Dialogs.Boxes.clear();
        f.Dialogs.FileNames = {f.Dir.filePath(name)};
        f.Dialogs.Answers = QList<int>(no, DialogResultOk) << DialogResultNo;
        QVERIFY(!f.Form.SaveFile());
        QCOMPARE(f.Dialogs.Texts(), questions.mid(0, no + 1));
        QCOMPARE(TSaveFixture::Read(target), before);
        QCOMPARE(f.ModifiedLabel(), QStringLiteral("Text is MODIFIED"));
    }
    f.Dialogs.Boxes.clear();
    f.Dialogs.FileNames = {f.Dir.filePath(name)};
    QVERIFY(f.Form.SaveFile());
    QCOMPARE(f.Dialogs.Texts(), QStringList(questions) << QStringLiteral("The book was saved."));
    QVERIFY(TSaveFixture::Read(target).size() > 100);
    QCOMPARE(TSaveFixture::Read(old).size() > 100, target == old);
}

void TestSaveWindow::overwritingTheOpenBookAsksTwice()
{
    TSaveFixture f;
    const QString book = f.Write(QStringLiteral("book.txt"), Book);
    QVERIFY(f.Form.OpenBook(book, false));
    f.Edit(QStringLiteral("Ещё "));
    f.Dialogs.FileNames = {f.Dir.filePath(QStringLiteral("book"))};
    f.Dialogs.Answers = {DialogResultOk, DialogResultNo};
    QVERIFY(!f.Form.SaveFile());
    QCOMPARE(f.Dialogs.Texts(), (QStringList{BookExistsQuestionText(), OverwriteOpenBookQuestionText()}));
    QCOMPARE(TSaveFixture::Read(book), Book);

    // Yes to both: the open book is replaced whole, and reads back as edited.
    f.Dialogs.FileNames = {f.Dir.filePath(QStringLiteral("book"))};
    QVERIFY(f.Form.SaveFile());
    QVERIFY(TSaveFixture::Read(book).startsWith(QStringLiteral("\tЕщё Глава").toUtf8()));
}

void TestSaveWindow::refusalsAndFailures()
{
    TSaveFixture f;
    // No book yet.
    QVERIFY(!f.Form.SaveFile());
    f.Book->Form.PrintBookButton->click();
    QCOMPARE(f.Dialogs.Texts(), QStringList(2, QStringLiteral("There is no text to process.")));
    QCOMPARE(f.Dialogs.Boxes[0].Kind, TDialogKind::Message);
    QVERIFY(f.Dialogs.FileDialogs.isEmpty());

    // A book in pieces is neither saved nor printed.
    QByteArray big;
    while (big.size() < 60000)
        big += "A line of a long book that is opened in pieces.\n";
    QVERIFY(f.Form.OpenBook(f.Write(QStringLiteral("big.txt"), big), false));
    bool printerAsked = false;
    f.Form.PrinterForBook = [&printerAsked] {
        printerAsked = true;
        return std::unique_ptr<QPrinter>();
    };
    f.Dialogs.Boxes.clear();
    f.Book->Form.SaveBookButton->click();
    f.Book->Form.PrintBookButton->click();
    QCOMPARE(f.Dialogs.Texts(), QStringList(2, QStringLiteral("The book must be loaded in one piece.")));
    QCOMPARE(f.Dialogs.Boxes[0].Kind, TDialogKind::Warning);
    QVERIFY(f.Dialogs.FileDialogs.isEmpty());
    QVERIFY(!printerAsked);

    // The dialog cancelled: nothing asked, nothing written.
    QVERIFY(f.Form.OpenBook(f.Write(QStringLiteral("book.txt"), Book), false));
    f.Edit(QStringLiteral("x"));
    f.Dialogs.Boxes.clear();
    QVERIFY(!f.Form.SaveFile());
    QVERIFY(f.Dialogs.Boxes.isEmpty());

    // A directory that is gone: the failure is shown and the edits still count.
    f.Dialogs.FileNames = {f.Dir.filePath(QStringLiteral("gone/copy.rtf"))};
    QVERIFY(!f.Form.SaveFile());
    QCOMPARE(f.Reports.Messages, QStringList{QStringLiteral("Failed to save.")});
    QVERIFY(f.Reports.Reports[0].contains(QStringLiteral("TLecternForm::SaveFile")));
    QVERIFY(f.Reports.Reports[0].contains(f.Dir.filePath(QStringLiteral("gone/copy.rtf"))));
    QVERIFY(!f.Dialogs.Texts().contains(QStringLiteral("The book was saved.")));
    QCOMPARE(f.ModifiedLabel(), QStringLiteral("Text is MODIFIED"));
}

void TestSaveWindow::editsAreNotLostAtCloseOrLoad_data()
{
    QTest::addColumn<QList<int>>("answers"); // to "Save it?" and after
    QTest::addColumn<QString>("fileName"); // chosen in the save dialog
    QTest::addColumn<bool>("goesOn");
    QTest::newRow("No lets the edits go") << QList<int>{DialogResultNo} << QString() << true;
    QTest::newRow("Yes and saved") << QList<int>{DialogResultOk} << "saved.rtf" << true;
    QTest::newRow("Yes, dialog cancelled") << QList<int>{DialogResultOk} << QString() << false;
    QTest::newRow("Yes, a warning answered No") << QList<int>{DialogResultOk, DialogResultNo} << "saved.txt" << false;
    QTest::newRow("Yes, the save failed") << QList<int>{DialogResultOk} << "gone/saved.rtf" << false;
    QTest::newRow("no answer at all") << QList<int>{DialogResultOther} << QString() << false;
}

// A close or the load of another book goes on only when the edits were
// saved or let go.
void TestSaveWindow::editsAreNotLostAtCloseOrLoad()
{
    QFETCH(QList<int>, answers);
    QFETCH(QString, fileName);
    QFETCH(bool, goesOn);
    TSaveFixture f;
    f.SetPrefix(QStringLiteral("None"));
    const QString book = f.Write(QStringLiteral("book.txt"), Book);
    const QString other = f.Write(QStringLiteral("other.txt"), "Another book.\n");
    QVERIFY(f.Form.OpenBook(book, false));
    f.Edit(QStringLiteral("edit "));
    const QString edited = f.Text();

    f.Dialogs.Answers = answers;
    f.Dialogs.FileNames = {fileName.isEmpty() ? QString() : f.Dir.filePath(fileName)};
    QCOMPARE(f.Form.OpenBook(other, false), goesOn);
    QCOMPARE(f.Dialogs.Boxes[0].Text, QStringLiteral("Text has been edited. Save it?"));
    if (!goesOn) {
        QCOMPARE(f.Form.CurrentBookPath, QFileInfo(book).absoluteFilePath());
        QCOMPARE(f.Text(), edited);
        QCOMPARE(f.ModifiedLabel(), QStringLiteral("Text is MODIFIED"));
        QVERIFY(!f.Form.RichEdit->isReadOnly());

        // The same answers at close: the window stays open with the edits.
        f.Dialogs.Answers = answers;
        f.Dialogs.FileNames = {fileName.isEmpty() ? QString() : f.Dir.filePath(fileName)};
        QVERIFY(!f.Form.close());
        QVERIFY(f.Form.isVisible());
        QVERIFY(!f.Form.Closing);
        QCOMPARE(f.Text(), edited);
    } else {
        QCOMPARE(f.Form.CurrentBookPath, QFileInfo(other).absoluteFilePath());
        f.Edit(QStringLiteral("more "));
        f.Dialogs.Answers = answers;
        f.Dialogs.FileNames = {fileName.isEmpty() ? QString() : f.Dir.filePath(QStringLiteral("2") + fileName)};
        QVERIFY(f.Form.close());
    }
}

void TestSaveWindow::runBookOpensIt()
{
    TSaveFixture f;
    TScopedRecordingShell shell;
    f.Book->Form.RunBookButton->click();
    QCOMPARE(f.Dialogs.Texts(), QStringList{QStringLiteral("The name of the file is empty.")});
    QVERIFY(shell.Urls.isEmpty());
    QVERIFY(f.Reports.Messages.isEmpty());

    const QString book = f.Write(QStringLiteral("my book.txt"), Book);
    QVERIFY(f.Form.OpenBook(book, false));
    f.Book->Form.RunBookButton->click();
    QCOMPARE(shell.Urls, QList<QUrl>{QUrl::fromLocalFile(QFileInfo(book).absoluteFilePath())});
    QVERIFY(f.Reports.Messages.isEmpty());
    shell.Result = false;
    f.Book->Form.RunBookButton->click();
    QCOMPARE(f.Reports.Messages, QStringList{QStringLiteral("Failed to run book.")});
    QVERIFY(f.Reports.Reports[0].contains(QStringLiteral("Failed to run file.")));
    QVERIFY(f.Reports.Reports[0].contains(QFileInfo(book).absoluteFilePath()));
}

// A press on an internal link of an RTF book goes to its bookmark, before and
// after the book is saved; other links open beside the book.
void TestSaveWindow::linksOfAnRtfBook()
{
    TSaveFixture f;
    QByteArray rtf = "{\\rtf1 Go {\\field{\\*\\fldinst HYPERLINK \\\\l \"far\"}{\\fldrslt to the end}} or see "
                     "{\\field{\\*\\fldinst HYPERLINK \"notes.rtf\"}{\\fldrslt the notes}}\\par ";
    for (int i = 0; i < 300; ++i)
        rtf += "A paragraph between the link and its bookmark.\\par ";
    rtf += "{\\*\\bkmkstart far}Far away{\\*\\bkmkend far}\\par}";
    const QString book = f.Write(QStringLiteral("linked.rtf"), rtf);
    QList<QUrl> opened;
    f.Form.OpenUrlHandler = [&opened](const QUrl &url) {
        opened << url;
        return true;
    };
    auto press = [&f](const QString &text) {
        TRichBox *box = f.Form.RichEdit;
        box->LineCountExact();
        SetTopLine(box, 0);
        box->PlaceCaret(int(f.Text().indexOf(text)) + 2);
        QPoint point;
        QVERIFY(box->CaretPosition(&point));
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, point + QPoint(1, 4));
    };
    const auto farLine
        = [&f] { return LineFromChar(f.Form.RichEdit, int(f.Text().indexOf(QLatin1String("Far away")))); };

    QVERIFY(f.Form.OpenBook(book, false));
    QVERIFY(f.Form.RichEdit->isVisible());
    press(QStringLiteral("to the end"));
    QVERIFY(GetFirstVisibleLine(f.Form.RichEdit) > 100);
    QVERIFY(GetFirstVisibleLine(f.Form.RichEdit) <= farLine());
    press(QStringLiteral("the notes"));
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(f.Dir.filePath(QStringLiteral("notes.rtf")))});

    f.Dialogs.FileNames = {f.Dir.filePath(QStringLiteral("saved.rtf"))};
    f.Dialogs.Answers = {DialogResultOk};
    QVERIFY(f.Form.SaveFile());
    QVERIFY(f.Form.OpenBook(f.Dir.filePath(QStringLiteral("saved.rtf")), false));
    press(QStringLiteral("to the end"));
    QVERIFY(GetFirstVisibleLine(f.Form.RichEdit) > 100);
}

QTEST_MAIN(TestSaveWindow)
#include "test_save_window.moc"
