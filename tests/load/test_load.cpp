// Opening books in the real main window: the size checks and their boxes,
// pieces with their markers and steps, RTF books, files that vanish, UTF-16
// books and closing the window in the middle of an enhancement.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>

#include "BookFile.h"
#include "Dialogs.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
#include "LecternForm.h"
#include "Profile.h"
#include "ProfileGeneralTabSheet.h"
#include "Program.h"
#include "ReportRecorder.h"
#include "RichBox.h"
#include "RichEditOps.h"

namespace {

struct TFormFixture {
    TFormFixture()
    {
        TLecternForm::FirstActivation = false;
        Form.IsApplicationActive = [] { return true; };
        Form.resize(1000, 800);
    }
    TLecternForm Form;
};

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return QString();
    return path;
}

// Lines of exactly 100 bytes: "L00042" then dots, then LF.
QByteArray NumberedBook(int lines)
{
    QByteArray book;
    for (int i = 0; i < lines; ++i) {
        QByteArray line = "L" + QByteArray::number(i).rightJustified(5, '0');
        line += QByteArray(99 - line.size(), '.');
        book += line + '\n';
    }
    return book;
}

QByteArray NumberedLine(int i)
{
    QByteArray line = "L" + QByteArray::number(i).rightJustified(5, '0');
    return line + QByteArray(99 - line.size(), '.');
}

// About 1.2 MB of paragraphs of three wrapped lines, with quotes and
// hyphenated line ends for the enhancement to work on.
QByteArray BigProse()
{
    QByteArray book;
    for (int i = 0; book.size() < 1200000; ++i) {
        book += "Paragraph " + QByteArray::number(i) + " begins, \"she said,\" and goes on over a line\r\n";
        book += "that an old editor wrapped, with a word hyph-\r\nenated at its end.\r\n\r\n";
    }
    return book;
}

// Opens a book whole through OpenBook (the one-piece question answered Yes).
void OpenWhole(TLecternForm &form, const QString &path)
{
    form.OpenInPiecesCheckBox->setChecked(false);
    QVERIFY(form.OpenBook(path, false));
}

QStringList Paragraphs(TLecternForm &form)
{
    return form.RichEdit->RichDocument()->GetText().split(QStringLiteral("\r\n"));
}

} // namespace

class TestLoad : public QObject {
    Q_OBJECT
private slots:
    void sizeChecksAndRefusals();
    void piecesStepAndMark();
    void removedFileAndRtfBooks();
    void enhancedBookChaptersAndDrops();
    void utf16BooksWithByteOrderMark();
    void encodingChoiceReopensBook();
    void closingDuringEnhancementStopsIt();
    void welcomeBookAtStartAndCtrlF5();
    void piecesReadAsOneBook();
    void pieceOfAChangedFileKeepsTheText();
    void fileThatIsNoTextAsksFirst_data();
    void fileThatIsNoTextAsksFirst();
    void bigBookShownFirstEndsAsOneRead();
    void keyDuringStepsReadsTheRestFirst();
};

// Read as one book, the pieces follow each other line by line: the lines of
// all pieces are the book's lines, each once, whole.
void TestLoad::piecesReadAsOneBook()
{
    TScopedRecordingDialogs dialogs;
    QTemporaryDir dir;
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.EnhanceTextCheckBox->setChecked(false); // the lines exactly as read
    const QString path = WriteFile(dir, QStringLiteral("Pieces.txt"), NumberedBook(1200));
    QVERIFY(form.OpenBook(path, false));
    QCOMPARE(form.PiecesComboBox->count(), 3);
    QStringList all;
    for (int piece = 1; piece <= 3; ++piece) {
        QVERIFY(form.LoadFromFile(QString(), piece, false, 0));
        QStringList lines = Paragraphs(form);
        QCOMPARE(lines.takeLast(), piece < 3 ? QStringLiteral("***** End of Piece %1 / 3 *****").arg(piece)
                                             : QStringLiteral("***** End of Book *****"));
        QCOMPARE(lines.takeLast(), QString());
        all += lines;
    }
    QCOMPARE(all.size(), 1200);
    for (int i = 0; i < all.size(); ++i)
        QCOMPARE(all.at(i), QString::fromLatin1(NumberedLine(i)));
    QVERIFY(dialogs.Boxes.isEmpty());
}

// The file of a book in pieces replaced by a shorter one: the next piece is
// refused with a word, and the piece shown stays.
void TestLoad::pieceOfAChangedFileKeepsTheText()
{
    TScopedRecordingDialogs dialogs;
    QTemporaryDir dir;
    TFormFixture f;
    TLecternForm &form = f.Form;
    const QString path = WriteFile(dir, QStringLiteral("Changing.txt"), NumberedBook(1200));
    QVERIFY(form.OpenBook(path, false));
    const QString shown = form.RichEdit->RichDocument()->GetText();
    WriteFile(dir, QStringLiteral("Changing.txt"), NumberedBook(300));
    form.NextPieceButtonClick();
    QCOMPARE(dialogs.Texts(), QStringList{BookChangedText()});
    QCOMPARE(form.CurrentPiece(), 1);
    QCOMPARE(form.RichEdit->RichDocument()->GetText(), shown);
    QCOMPARE(form.PiecesComboBox->count(), 3);
}

void TestLoad::fileThatIsNoTextAsksFirst_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray random;
    quint32 seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245u + 12345u;
        random += char(seed >> 24);
    }
    QTest::newRow("a picture") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + QByteArray(4000, '\x07');
    QTest::newRow("random bytes") << random;
}

// A file named .txt that holds no text: the reader is asked first, and No
// keeps the open book as it was.
void TestLoad::fileThatIsNoTextAsksFirst()
{
    QFETCH(QByteArray, bytes);
    TScopedRecordingDialogs dialogs;
    QTemporaryDir dir;
    TFormFixture f;
    TLecternForm &form = f.Form;
    const QString book = WriteFile(dir, QStringLiteral("Book.txt"), NumberedBook(300));
    QVERIFY(form.OpenBook(book, false));
    const QString shown = form.RichEdit->RichDocument()->GetText();
    const QString odd = WriteFile(dir, QStringLiteral("Odd.txt"), bytes);
    dialogs.Answers = {DialogResultNo};
    QVERIFY(!form.OpenBook(odd, false));
    QCOMPARE(dialogs.Texts(), QStringList{QStringLiteral("This file does not look like a text book. Open it anyway?")});
    QCOMPARE(form.CurrentBookPath, QFileInfo(book).absoluteFilePath());
    QCOMPARE(form.RichEdit->RichDocument()->GetText(), shown);
    dialogs.Answers = {DialogResultOk};
    QVERIFY(form.OpenBook(odd, false));
    QCOMPARE(form.CurrentBookPath, QFileInfo(odd).absoluteFilePath());
}

void TestLoad::sizeChecksAndRefusals()
{
    TScopedRecordingDialogs dialogs;
    QTemporaryDir dir;
    TFormFixture f;
    TLecternForm &form = f.Form;

    // A large plain-text book in one piece asks first; No leaves it unloaded.
    form.OpenInPiecesCheckBox->setChecked(false);
    const QString big = WriteFile(dir, QStringLiteral("Big.txt"), QByteArray(600000, 'a'));
    dialogs.Answers = {DialogResultNo};
    QVERIFY(!form.OpenBook(big, false));
    QCOMPARE(dialogs.Count(TDialogKind::Query), 1);
    QCOMPARE(dialogs.Boxes.last().Text, OnePieceQuestionText());
    QVERIFY(dialogs.Boxes.last().Text.contains(QStringLiteral("500,000")));
    // Nothing was open before, and nothing is now.
    QVERIFY(form.CurrentBookPath.isEmpty());
    QCOMPARE(form.RichEdit->RichDocument()->GetTextLength(), 0);
    QCOMPARE(form.PiecesComboBox->count(), 0);

    // An RTF book of the same size is never cut and never asks.
    QByteArray rtf = "{\\rtf1\\ansi Start ";
    while (rtf.size() < 600000)
        rtf += "bbb bbbb bbbbb bbbbbb bbbbbbb bbbbbbbb.\\par\n";
    rtf += "End}";
    const QString bigRtf = WriteFile(dir, QStringLiteral("Big.RTF"), rtf);
    QVERIFY(form.OpenBook(bigRtf, false));
    QCOMPARE(dialogs.Count(TDialogKind::Query), 1);
    QVERIFY(form.RichEdit->RichDocument()->GetText().startsWith(QStringLiteral("Start bbb")));
    QCOMPARE(form.PiecesLabel->text(), QStringLiteral("1 piece"));

    // Above 20000000 bytes: refused with the limit.
    const QString huge = dir.filePath(QStringLiteral("Huge.txt"));
    {
        QFile h(huge);
        QVERIFY(h.open(QIODevice::WriteOnly));
        QVERIFY(h.resize(20000001));
    }
    dialogs.Boxes.clear();
    const QString before = form.RichEdit->RichDocument()->GetText();
    QVERIFY(!form.OpenBook(huge, false));
    QCOMPARE(dialogs.Boxes.size(), 1);
    QCOMPARE(dialogs.Boxes[0].Kind, TDialogKind::Warning);
    QCOMPARE(dialogs.Boxes[0].Text, QStringLiteral("You can't open books bigger than 20,000,000 characters."));
    // The book that was open stays as it was.
    QCOMPARE(form.RichEdit->RichDocument()->GetText(), before);
    QCOMPARE(form.CurrentBookPath, QFileInfo(bigRtf).absoluteFilePath());

    // An empty file: a message, the open book kept, the window usable again.
    form.OpenInPiecesCheckBox->setChecked(true);
    dialogs.Boxes.clear();
    QVERIFY(!form.OpenBook(WriteFile(dir, QStringLiteral("Empty.txt"), QByteArray()), false));
    QCOMPARE(dialogs.Texts(), QStringList{QStringLiteral("File is empty.")});
    QCOMPARE(dialogs.Boxes[0].Kind, TDialogKind::Message);
    QCOMPARE(form.RichEdit->RichDocument()->GetText(), before);
    QVERIFY(form.Container_OptionsPageControl->isEnabled());
    QVERIFY(form.AboutButton->isEnabled());
    QVERIFY(form.InfoTimer->isActive());
    QCOMPARE(form.windowTitle(), QStringLiteral("Lectern"));

    // A directory with a book's name, a missing file and another extension.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("x.txt")));
    dialogs.Boxes.clear();
    QVERIFY(!form.OpenBook(dir.filePath(QStringLiteral("x.txt")), false));
    QVERIFY(!form.OpenBook(dir.filePath(QStringLiteral("Missing.txt")), false));
    QVERIFY(!form.OpenBook(WriteFile(dir, QStringLiteral("Notes.md"), "x"), false));
    QCOMPARE(dialogs.Count(TDialogKind::Warning), 3);
    for (const auto &box : dialogs.Boxes)
        QCOMPARE(box.Text, QStringLiteral("The book is not a valid text file, or it doesn't exist."));
    // The line above the text still names the book that is open.
    QVERIFY(form.CurrentFileInfoLabel->text().startsWith(
        QStringLiteral("\"Big.RTF\" in \"%1\"").arg(QDir(dir.path()).dirName())));
    QCOMPARE(form.RichEdit->RichDocument()->GetText(), before);
}

void TestLoad::piecesStepAndMark()
{
    TScopedRecordingDialogs dialogs;
    QTemporaryDir dir;
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.show();
    form.EnhanceTextCheckBox->setChecked(false); // the lines exactly as read
    // Each piece read apart: its bytes with the 20 before, cut anywhere.
    form.ProfileGeneralTabSheet->Form.WholeBookPiecesCheckBox->setChecked(false);
    const QString path = WriteFile(dir, QStringLiteral("Pieces.txt"), NumberedBook(1200)); // 120000 bytes
    QVERIFY(form.OpenBook(path, false));
    QCOMPARE(form.PiecesComboBox->count(), 3);
    QCOMPARE(form.CurrentPiece(), 1);
    QCOMPARE(form.PiecesLabel->text(), QStringLiteral("3 pieces"));
    QVERIFY(form.PiecesComboBox->isEnabled());
    QVERIFY(!form.PreviousPieceButton->isEnabled());
    QVERIFY(form.NextPieceButton->isEnabled());
    QVERIFY(form.RichEdit->isVisible());
    QStringList paragraphs = Paragraphs(form);
    QCOMPARE(paragraphs.first(), QString::fromLatin1(NumberedLine(0)));
    // Piece 1 reads bytes 0 .. 50019: lines 0 .. 499 and 20 bytes of line 500.
    QCOMPARE(paragraphs.at(500), QString::fromLatin1(NumberedLine(500).left(20)));
    QCOMPARE(paragraphs.last(), QStringLiteral("***** End of Piece 1 / 3 *****"));
    QVERIFY(form.BookLoadedInLabel->text().startsWith(QStringLiteral("Book opened in ")));
    QVERIFY(dialogs.Boxes.isEmpty());

    // F6: piece 2 holds bytes 49980 .. 99999.
    QVERIFY(form.FormKeyDown(Qt::Key_F6, TShiftState()));
    QCOMPARE(form.CurrentPiece(), 2);
    paragraphs = Paragraphs(form);
    QCOMPARE(paragraphs.first(), QString::fromLatin1(NumberedLine(499).mid(80)));
    QCOMPARE(paragraphs.at(paragraphs.size() - 3), QString::fromLatin1(NumberedLine(999)));
    QCOMPARE(paragraphs.at(paragraphs.size() - 2), QString());
    QCOMPARE(paragraphs.last(), QStringLiteral("***** End of Piece 2 / 3 *****"));
    QVERIFY(form.PreviousPieceButton->isEnabled());
    QCOMPARE(form.RichEdit->FirstVisibleLine(), 0); // the next piece opens at its start

    form.NextPieceButtonClick();
    QCOMPARE(form.CurrentPiece(), 3);
    paragraphs = Paragraphs(form);
    QCOMPARE(paragraphs.first(), QString::fromLatin1(NumberedLine(999).mid(80)));
    QCOMPARE(paragraphs.last(), QStringLiteral("***** End of Book *****"));
    QVERIFY(!form.NextPieceButton->isEnabled());
    // Next on the last piece does nothing: no load, the same text.
    const QString loadTime = form.LoadTimeText;
    form.RichEdit->RichDocument()->SetSelection(5, 3);
    form.NextPieceButtonClick();
    QCOMPARE(form.CurrentPiece(), 3);
    QCOMPARE(form.RichEdit->RichDocument()->SelectionStart(), 5);

    // F7: the previous piece opens scrolled to its end.
    QVERIFY(form.FormKeyDown(Qt::Key_F7, TShiftState()));
    QCOMPARE(form.CurrentPiece(), 2);
    QVERIFY(form.RichEdit->FirstVisibleLine() > 0);
    QCOMPARE(Paragraphs(form).last(), QStringLiteral("***** End of Piece 2 / 3 *****"));

    // Choosing a piece in the list loads it at its start.
    form.PiecesComboBox->setCurrentIndex(0);
    form.PiecesComboBoxChange();
    QCOMPARE(Paragraphs(form).last(), QStringLiteral("***** End of Piece 1 / 3 *****"));
    QCOMPARE(form.RichEdit->FirstVisibleLine(), 0);

    // Unchecking "Open in pieces" disables the piece controls of this book.
    form.OpenInPiecesCheckBox->click();
    QVERIFY(!form.PiecesComboBox->isEnabled());
    QVERIFY(!form.NextPieceButton->isEnabled());
    form.OpenInPiecesCheckBox->click();
    QVERIFY(form.NextPieceButton->isEnabled());

    // The information line between loads: top line, lines and piece.
    form.InfoTimerTimer();
    QVERIFY(form.CurrentFileInfoLabel->text().startsWith(QStringLiteral("\"Pieces.txt\" in \"")));
    QVERIFY(form.CurrentFileInfoLabel->text().contains(QStringLiteral("; piece 1 (3 pieces)")));

    // A changed piece size counts from the next new book only.
    form.PieceSizeComboBox->setCurrentText(QStringLiteral("100000"));
    form.NextPieceButtonClick();
    QCOMPARE(form.PiecesComboBox->count(), 3);
    QVERIFY(form.OpenBook(path, false));
    QCOMPARE(form.PiecesComboBox->count(), 2);
}

void TestLoad::removedFileAndRtfBooks()
{
    TScopedRecordingDialogs dialogs;
    TReportRecorder reports;
    QTemporaryDir dir;
    TFormFixture f;
    TLecternForm &form = f.Form;

    // The book goes away while it is read in pieces: the next piece is
    // refused with the usual warning, and the piece shown stays.
    const QString path = WriteFile(dir, QStringLiteral("Gone.txt"), NumberedBook(1200));
    QVERIFY(form.OpenBook(path, false));
    const QString shown = form.RichEdit->RichDocument()->GetText();
    const int pieces = form.PiecesComboBox->count();
    QVERIFY(QFile::remove(path));
    form.NextPieceButtonClick();
    QCOMPARE(dialogs.Texts(), QStringList{NotValidBookText()});
    QCOMPARE(form.RichEdit->RichDocument()->GetText(), shown);
    QCOMPARE(form.PiecesComboBox->count(), pieces);
    QCOMPARE(form.CurrentPiece(), 1);
    QVERIFY(reports.Messages.isEmpty());

    // An RTF book keeps its own formats.
    const QString rtf
        = WriteFile(dir, QStringLiteral("Story.rtf"),
                    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Plain {\\b bold} end.\\par Second\\par}");
    QVERIFY(form.OpenBook(rtf, false));
    const QStringList paragraphs = Paragraphs(form);
    QCOMPARE(paragraphs.first(), QStringLiteral("Plain bold end."));
    QCOMPARE(paragraphs.at(1), QStringLiteral("Second"));
    TRichDocument *doc = form.RichEdit->RichDocument();
    doc->SetSelection(7, 1);
    QVERIFY(doc->GetCharFormat().Effects & CFE_BOLD);
    QVERIFY(!doc->IsModified());
    QVERIFY(reports.Messages.isEmpty());

    // A file named .rtf that is not RTF: the failure is shown, nothing loaded.
    QVERIFY(!form.OpenBook(WriteFile(dir, QStringLiteral("Fake.rtf"), "just some text"), false));
    QCOMPARE(reports.Messages, QStringList{QStringLiteral("Failed to load book.")});
    QVERIFY(reports.Reports.first().contains(QStringLiteral("Fake.rtf")));
    QVERIFY(form.Container_OptionsPageControl->isEnabled());
    QCOMPARE(FunStatContext.Status, int(Perfect));
}

void TestLoad::enhancedBookChaptersAndDrops()
{
    TScopedRecordingDialogs dialogs;
    QTemporaryDir dir;
    TFormFixture f;
    TLecternForm &form = f.Form;
    QCOMPARE(form.ChaptersButton->text(), QStringLiteral("&Chapters (0)"));
    QVERIFY(!form.ChaptersButton->isEnabled());

    const QString book = WriteFile(dir, QStringLiteral("Novel.txt"),
                                   "Chapter 1\r\n\r\nIt was a dark and\r\nstormy night.\r\n\r\nChapter 2\r\n\r\nThe "
                                   "end.\r\n\r\n\r\n***** End of Book *****\r\n");
    QVERIFY(form.OpenBook(book, false));
    QCOMPARE(form.ChaptersButton->text(), QStringLiteral("&Chapters (2)"));
    QVERIFY(form.ChaptersButton->isEnabled());
    const QStringList paragraphs = Paragraphs(form);
    QVERIFY(paragraphs.contains(QStringLiteral("It was a dark and stormy night.")));
    // The old marker and the trailing empty lines give way to exactly one pair.
    QCOMPARE(paragraphs.mid(paragraphs.size() - 3),
             (QStringList{QStringLiteral("The end."), QString(), QStringLiteral("***** End of Book *****")}));

    // Without enhancement the lines stay as they are and there are no chapters.
    form.EnhanceTextCheckBox->setChecked(false);
    QVERIFY(form.OpenBook(book, false));
    QCOMPARE(form.ChaptersButton->text(), QStringLiteral("&Chapters (0)"));
    QVERIFY(!form.ChaptersButton->isEnabled());
    QCOMPARE(Paragraphs(form).at(2), QStringLiteral("It was a dark and"));

    // Of several dropped files the first local one opens.
    const QString first = WriteFile(dir, QStringLiteral("First.txt"), "first");
    const QString second = WriteFile(dir, QStringLiteral("Second.txt"), "second");
    form.ProcessDroppedFiles(
        {QUrl(QStringLiteral("https://example.org/a.txt")), QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
    QCOMPARE(form.CurrentBookPath, QFileInfo(first).absoluteFilePath());
    QCOMPARE(Paragraphs(form).first(), QStringLiteral("first"));
    QVERIFY(dialogs.Boxes.isEmpty());
}

void TestLoad::utf16BooksWithByteOrderMark()
{
    const QString text = QStringLiteral("Caf\u00E9 \u201Cquoted\u201D \U0001F600\r\nSecond line\r\n");
    QByteArray le("\xFF\xFE", 2);
    QByteArray be("\xFE\xFF", 2);
    for (QChar c : text) {
        le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    QTemporaryDir dir;
    for (const QByteArray &bytes : {le, be}) {
        const QString path = WriteFile(dir, QStringLiteral("Wide.txt"), bytes + QByteArray(4, '\0') + "junk");
        QStringList lines;
        TBookEncoding encoding;
        QVERIFY(ReadBookLines(path, 1, 1, 50000, lines, &encoding));
        QVERIFY(encoding.IsUtf16());
        QCOMPARE(lines,
                 (QStringList{QStringLiteral("Caf\u00E9 \u201Cquoted\u201D \U0001F600"), QStringLiteral("Second line"),
                              QString(), EndOfBookMarker()}));
    }
    // A piece of a UTF-16 book: a surrogate pair cut by the piece's end is
    // dropped there, the text before it stays.
    QByteArray wide("\xFF\xFE", 2);
    const QString line = QStringLiteral("abcdefgh\U0001F600ij\n");
    while (wide.size() < 30000)
        for (QChar c : line)
            wide.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    const QString path = WriteFile(dir, QStringLiteral("Pieces16.txt"), wide);
    for (int piece = 1; piece <= PieceCount(wide.size(), 10000); ++piece) {
        QStringList lines;
        QVERIFY(LoadPieceFromFile(path, lines, piece, 10000));
        for (const QString &l : lines) {
            QVERIFY2(!l.contains(QChar(0xFFFD)), qPrintable(l));
            QVERIFY(l.size() <= line.size());
        }
        QVERIFY(lines.contains(line.chopped(1)));
    }
}

void TestLoad::encodingChoiceReopensBook()
{
    TScopedRecordingDialogs dialogs;
    QTemporaryDir dir;
    TFormFixture f;
    TLecternForm &form = f.Form;
    const QString russian = QStringLiteral(u"Привет, как дела? Это русский текст для проверки.");
    const QByteArray line = "\xcf\xf0\xe8\xe2\xe5\xf2, \xea\xe0\xea \xe4\xe5\xeb\xe0? \xdd\xf2\xee \xf0\xf3\xf1\xf1\xea"
                            "\xe8\xe9 \xf2\xe5\xea\xf1\xf2 \xe4\xeb\xff \xef\xf0\xee\xe2\xe5\xf0\xea\xe8.\r\n\r\n";
    const QByteArray bytes = line.repeated(400);
    const QString book = WriteFile(dir, QStringLiteral("Russian.txt"), bytes);
    Ui::ProfileGeneralTabSheet &options = form.ProfileGeneralTabSheet->Form;
    const bool chosen = options.PoorlyWrittenCheckBox->isChecked();
    QVERIFY(form.OpenBook(book, false));
    QCOMPARE(Paragraphs(form).first(), russian);
    form.InfoTimerTimer();
    QVERIFY(form.CurrentFileInfoLabel->text().contains(QStringLiteral("; Windows-1251")));
    // Detection has decided the rule set and says so; the reader cannot set
    // it, and the reader's own choice stays as it was.
    QVERIFY(form.CurrentFileInfoLabel->text().endsWith(QStringLiteral("; detected: well written")));
    QVERIFY(!options.PoorlyWrittenCheckBox->isEnabled());
    QCOMPARE(options.PoorlyWrittenCheckBox->isChecked(), chosen);

    // The reader's choice reopens the book in it, at the same place.
    SetTopLine(form.RichEdit, 300);
    const int place = FirstVisibleCharIndex(form.RichEdit);
    QVERIFY(place > 0);
    QComboBox *encoding = options.EncodingComboBox;
    encoding->setCurrentIndex(encoding->findText(QStringLiteral("KOI8-R")));
    emit encoding->activated(encoding->currentIndex());
    QVERIFY(Paragraphs(form).first() != russian);
    QVERIFY(qAbs(FirstVisibleCharIndex(form.RichEdit) - place) < 200);
    form.InfoTimerTimer();
    QVERIFY(form.CurrentFileInfoLabel->text().contains(QStringLiteral("; KOI8-R")));
    encoding->setCurrentIndex(encoding->findText(QStringLiteral("Windows-1251")));
    emit encoding->activated(encoding->currentIndex());
    QCOMPARE(Paragraphs(form).first(), russian);

    // The choice belongs to the profile, saved with the book's.
    TProfile profile;
    form.ProfileGeneralTabSheet->ReadEnhanceProfile(profile);
    QCOMPARE(profile.Encoding, QStringLiteral("Windows-1251"));
    QVERIFY(dialogs.Boxes.isEmpty());
}

void TestLoad::closingDuringEnhancementStopsIt()
{
    TScopedRecordingDialogs dialogs;
    TReportRecorder reports;
    QTemporaryDir dir;
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.show();
    QByteArray book;
    for (int i = 0; i < 3000; ++i)
        book += "\"Line " + QByteArray::number(i) + ",\" she said. Then she went on.\r\n\r\n";
    const QString path = WriteFile(dir, QStringLiteral("Long.txt"), book);

    // The window is closed from inside the progress callback, as a click on
    // the close button processed there would do.
    int calls = 0;
    form.Engine->Progress = [&](int characters) {
        if (++calls == 10)
            form.close();
        return form.LoadProgress(characters);
    };
    form.OpenBook(path, false);
    QCOMPARE(calls, 10);
    QVERIFY(form.Closing);
    QVERIFY(form.Engine->Cancelled);
    QCOMPARE(form.RichEdit->RichDocument()->GetTextLength(), 0);
    QVERIFY(!form.IsLoading());
    QVERIFY(reports.Messages.isEmpty());
    // The close asked for during the load happens once it has returned.
    QVERIFY(form.isVisible());
    QTRY_VERIFY(!form.isVisible());
    form.show();

    // While a load runs, another one is refused instead of pulling the
    // document away from it.
    bool nestedResult = true;
    bool nestedTried = false;
    form.Engine->Progress = [&](int) {
        if (!nestedTried) {
            nestedTried = true;
            nestedResult = form.OpenBook(path, false);
        }
        return false;
    };
    QVERIFY(form.OpenBook(path, false));
    QVERIFY(!nestedResult);
    QVERIFY(!form.Closing); // the next load starts afresh
    QVERIFY(nestedTried);
    QCOMPARE(Paragraphs(form).last(), EndOfPieceMarker(1, form.PiecesComboBox->count()));
}

void TestLoad::welcomeBookAtStartAndCtrlF5()
{
    // Started without a book, the reader opens the Welcome book beside the
    // executable; Ctrl+F5 opens it again from any book.
    const QString welcome = GetProgramDirectory() + QStringLiteral("Welcome.txt");
    if (QFile::exists(welcome))
        QSKIP("a Welcome.txt exists beside the test already");
    QVERIFY(GetParamCount() == 0);
    TScopedRecordingDialogs dialogs;
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.LoadOnStart(); // no Welcome book: the warning, nothing else
    QCOMPARE(dialogs.Texts(), QStringList{NotValidBookText()});
    const auto removeWelcome = qScopeGuard([&welcome] { QFile::remove(welcome); });
    {
        QFile file(welcome);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Welcome, reader.\r\n");
    }
    dialogs.Boxes.clear();
    form.LoadOnStart();
    QCOMPARE(form.CurrentBookPath, QFileInfo(welcome).absoluteFilePath());
    QCOMPARE(Paragraphs(form).first(), QStringLiteral("Welcome, reader."));
    QTemporaryDir dir;
    QVERIFY(form.OpenBook(WriteFile(dir, QStringLiteral("Other.txt"), "other"), false));
    QVERIFY(form.FormKeyDown(Qt::Key_F5, ssCtrl | ssShift));
    QCOMPARE(form.CurrentBookPath, QFileInfo(welcome).absoluteFilePath());
    QVERIFY(!form.FormKeyDown(Qt::Key_F5, ssShift)); // Shift+F5 is no shortcut
    QVERIFY(dialogs.Boxes.isEmpty());
}

QTEST_MAIN(TestLoad)
// A big book shown from its first screen on, the rest read in steps, ends
// with the document and chapters of the same book read at once.
void TestLoad::bigBookShownFirstEndsAsOneRead()
{
    TScopedRecordingDialogs dialogs;
    TReportRecorder reports;
    QTemporaryDir dir;
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.show();
    const QString path = WriteFile(dir, QStringLiteral("Big.txt"), BigProse());
    OpenWhole(form, path);
    QVERIFY(form.IsLoading());
    QVERIFY(form.IsLoadingInSteps());
    QTRY_VERIFY_WITH_TIMEOUT(!form.IsLoading(), 60000);
    QVERIFY(!form.IsLoadingInSteps());
    QVERIFY(form.RichEdit->IsLayoutComplete());
    const QString inSteps = form.RichEdit->RichDocument()->GetText();
    const QString chapters = form.ChaptersButton->text();
    QVERIFY(form.RichEdit->RichDocument()->HasEndMarker());

    // The same piece again, read at once.
    QVERIFY(form.LoadFromFile(QString(), 1, false, 0));
    QVERIFY(!form.IsLoading());
    QCOMPARE(form.RichEdit->RichDocument()->GetText(), inSteps);
    QCOMPARE(form.ChaptersButton->text(), chapters);
    QVERIFY(inSteps.startsWith(QStringLiteral("Paragraph 0 begins, \"she said,\" and goes on over a line that an old "
                                              "editor wrapped, with a word hyphenated at its end.")));
    QVERIFY(reports.Messages.isEmpty());
}

// What the reader does while the rest is read acts on the whole book: a key
// has the rest read first, and the book's place goes to the shelf.
void TestLoad::keyDuringStepsReadsTheRestFirst()
{
    TScopedRecordingDialogs dialogs;
    QTemporaryDir dir;
    TFormFixture f;
    TLecternForm &form = f.Form;
    form.show();
    const QString path = WriteFile(dir, QStringLiteral("Big.txt"), BigProse());
    OpenWhole(form, path);
    QTRY_VERIFY_WITH_TIMEOUT(!form.IsReadingLines(), 20000);
    QVERIFY(form.IsLoadingInSteps());
    const int shownFirst = form.RichEdit->RichDocument()->GetTextLength();
    QTest::keyClick(form.RichEdit, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(!form.IsLoading());
    QVERIFY(form.RichEdit->RichDocument()->GetTextLength() > shownFirst);
    QVERIFY(form.RichEdit->RichDocument()->HasEndMarker());
    QVERIFY(form.RichEdit->FirstVisibleLine() > 1000); // the key went to the end of the whole book
}

#include "test_load.moc"
