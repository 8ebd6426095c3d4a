// The reading window remembers: program settings read at start and written
// at close, the bookshelf with its bookmark buttons, and the profile of each
// book, through a full start - read - close - start again.
#include "RememberFixture.h"

#include <QCheckBox>
#include <QLineEdit>

#include "EnhancedRichEdit.h"
#include "FormatPageControls.h"
#include "ProfileFormatTabSheet.h"
#include "ProfileGeneralTabSheet.h"
#include "ProfileWorkGroupBox.h"
#include "ProgramGeneralTabSheet.h"
#include "ProgramMiscTabSheet.h"
#include "SizesGroupBox.h"

class TestRemember : public QObject {
    Q_OBJECT
private slots:
    void roundTripBringsTheReaderBack();
    void settingsAreReadOverTheControlsAndRewritten();
    void badSettingsFilesKeepTheDefaults_data();
    void badSettingsFilesKeepTheDefaults();
    void topLinesOfABookKeepTheStoredPlace();
    void hyphenatedBookStoresPositionsOfItsText();
    void placeTheReaderDidNotReachIsNeverStored_data();
    void placeTheReaderDidNotReachIsNeverStored();
    void bookmarkButtons();
    void bookmarkOfAnotherPieceLoadsThatPiece();
    void shelfMenuOpensAndRemovesBooks();
    void shelfEntriesThatNoLongerFit();
    void profileOfEachBook();
    void profileWorkButtons();
};

void TestRemember::roundTripBringsTheReaderBack()
{
    TRememberFixture f;
    const QString book = f.WriteBook(QStringLiteral("Mill.txt"));
    int top = 0;
    {
        auto form = f.Start();
        QVERIFY(form->OpenBook(book, true));
        // The place is on disk as soon as the book is open.
        QVERIFY(f.Ini().contains("0=" + book.toUtf8()));
        f.Put(*form);
        TFormatPageControls(form->ProfileFormatTabSheet).FontSizeComboBox->setCurrentText(QStringLiteral("20"));
        TFormatPageControls(form->ProfileFormatTabSheet).LeftMarginComboBox->setCurrentText(QStringLiteral("40"));
        form->ProgramGeneralTabSheet->Form.ClipboardForDicCheckBox->setChecked(false);
        f.ReadTo(*form, 120);
        top = f.Top(*form);
        QVERIFY(top > 100);
        f.RightClick(*form, 2);
        QCOMPARE(f.Marks(*form)->Button(2)->text(), QStringLiteral("&2*"));
        QVERIFY(form->close());
    }
    auto form = f.Start();
    QCOMPARE(form->ProfileFormatTabSheet->FontSize(), 20);
    QCOMPARE(form->ProfileFormatTabSheet->LeftMargin(), 40);
    QVERIFY(!form->ProgramGeneralTabSheet->Form.ClipboardForDicCheckBox->isChecked());
    form->LoadOnStart();
    QCOMPARE(form->CurrentBookPath, book);
    QCOMPARE(f.Top(*form), top);
    QCOMPARE(f.Marks(*form)->Button(0)->text(), QStringLiteral("&Auto*"));
    QCOMPARE(f.Marks(*form)->Button(2)->text(), QStringLiteral("&2*"));
    QCOMPARE(f.Marks(*form)->Button(3)->text(), QStringLiteral("&3"));
    QCOMPARE(f.Shelf(*form).OpenBookshelfButton->text(), QStringLiteral("&Open (1)"));
    QCOMPARE(f.Dialogs.Boxes.size(), 0);
    QCOMPARE(f.Reports.Messages, QStringList());
}

void TestRemember::settingsAreReadOverTheControlsAndRewritten()
{
    TRememberFixture f;
    f.WriteFile(f.SettingsDir + "Lectern.ini",
                "; written by hand\n[Lectern_Main]\nAutoLoadLast=FALSE\nWheelScrollLines=7\nPieceSize=55000\n"
                "ForceRichEdit3=TRUE\nOpenInPieces=FALSE\nRichBoxWidthPercent=60\nPrintLeftMargin=10\n"
                "DictionaryTitle=/usr/bin/sdcv\n[Mine]\nKept=no\n[Lectern_ConvertMeasure]\nSpeed=Knots\n");
    auto form = f.Start();
    const Ui::ProgramGeneralTabSheet &g = form->ProgramGeneralTabSheet->Form;
    QVERIFY(!g.AutoLoadLastCheckBox->isChecked());
    QVERIFY(g.AutoBookmarkCheckBox->isChecked());
    QCOMPARE(form->WheelScrollLines(), 7);
    // In range but not a choice: the box shows nothing and pieces take 50000.
    QCOMPARE(form->PieceSizeComboBox->currentIndex(), -1);
    QVERIFY(form->Engine->ForceRichEdit3);
    QVERIFY(!form->OpenInPiecesCheckBox->isChecked());
    QCOMPARE(form->SizesGroupBox->RichBoxWidthPercent(), 60);
    QCOMPARE(form->ProgramMiscTabSheet->PrintLeftMargin(), 10);
    QCOMPARE(g.DictionaryTitleEdit->text(), QStringLiteral("/usr/bin/sdcv"));
    QVERIFY(form->close());

    const QByteArray ini = f.Ini();
    QVERIFY(ini.startsWith("[Lectern_Main]\r\nAutoSaveProfile=TRUE\r\nAutoBookmark=TRUE\r\nAutoLoadLast=FALSE\r\n"
                           "WheelScrollLines=7\r\n"));
    QVERIFY(ini.contains("PieceSize=50000\r\n"));
    QVERIFY(ini.contains("ForceRichEdit3=TRUE\r\n")); // kept by its hidden check box
    QVERIFY(ini.contains("RichBoxWidthPercent=60\r\n"));
    QVERIFY(ini.contains("Speed=Knots\r\n"));
    QVERIFY(!ini.contains("Mine")); // a section added by hand goes at the next close
    QVERIFY(!ini.contains("written by hand"));
    QVERIFY(QFile::exists(f.SettingsDir + "LecternProfile.lcp"));
}

void TestRemember::badSettingsFilesKeepTheDefaults_data()
{
    QTest::addColumn<QByteArray>("ini");
    QByteArray binary(20000, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 7919) % 251);
    QTest::newRow("binary") << binary;
    QTest::newRow("truncated") << QByteArray("[Lectern_Main]\r\nAutoLoadLast=FAL");
    QTest::newRow("out of range") << QByteArray("[Lectern_Main]\nWheelScrollLines=25\nRichBoxTopPercent=99\n"
                                                "[Lectern_Bookshelf_Main]\nCount=-3\n");
    QTest::newRow("shelf of strange entries")
        << QByteArray("[Lectern_Bookshelf_Main]\nCount=3\n0=relative.txt\n1=/gone/Book.txt\n2=\n"
                      "[Lectern_Bookshelf_CaretPos]\n1=99999999999\n[Lectern_Bookshelf_Pieces]\n1=x\n");
}

void TestRemember::badSettingsFilesKeepTheDefaults()
{
    QFETCH(QByteArray, ini);
    TRememberFixture f;
    f.WriteFile(f.SettingsDir + "Lectern.ini", ini);
    f.WriteFile(f.SettingsDir + "LecternProfile.lcp", ini);
    auto form = f.Start();
    QCOMPARE(form->SizesGroupBox->RichBoxTopPercent(), 10);
    QCOMPARE(form->ProfileFormatTabSheet->FontSize(), 16);
    QCOMPARE(f.Reports.Messages, QStringList());
    QVERIFY(form->close());
    QVERIFY(f.Ini().startsWith("[Lectern_Main]\r\n"));
}

void TestRemember::topLinesOfABookKeepTheStoredPlace()
{
    TRememberFixture f;
    const QString book = f.WriteBook(QStringLiteral("Mill.txt"));
    const QString other = f.WriteBook(QStringLiteral("Other.txt"), 10);
    auto form = f.Start();
    QVERIFY(form->OpenBook(book, true));
    f.Put(*form);
    f.ReadTo(*form, 60);
    const int stored = FirstVisibleCharIndex(form->RichEdit);
    QVERIFY(form->OpenBook(other, true)); // leaving the book records its place
    QVERIFY(form->OpenBook(book, true));
    QCOMPARE(FirstVisibleCharIndex(form->RichEdit), stored);
    // Among the first five lines at close: the stored place stays.
    f.ReadTo(*form, 3);
    QVERIFY(form->close());
    auto again = f.Start();
    again->LoadOnStart();
    QCOMPARE(again->CurrentBookPath, book);
    QCOMPARE(FirstVisibleCharIndex(again->RichEdit), stored);
}

// The place stored of a hyphenated book counts the book's characters, not
// the soft hyphens the page added.
void TestRemember::hyphenatedBookStoresPositionsOfItsText()
{
    TRememberFixture f;
    QByteArray text;
    for (int i = 0; i < 60; ++i)
        text += "The extraordinarily characteristic harpooneers considered the unaccountable circumstances of "
                "the internationally celebrated expedition.\n\n";
    const QString book = f.WriteFile(f.BooksDir + QStringLiteral("Whalers.txt"), text);
    auto form = f.Start();
    QVERIFY(form->OpenBook(book, true));
    TRichDocument *doc = form->RichEdit->RichDocument();
    if (!doc->HasSoftHyphens())
        QSKIP("No English hyphenation patterns (scripts/deps installs them).");
    f.ReadTo(*form, 80);
    const int stored = FirstVisibleCharIndex(form->RichEdit);
    const QString plain = QString::fromLatin1(text).replace(QLatin1String("\n\n"), QLatin1String("\r\n\r\n"));
    QCOMPARE(doc->GetText().left(stored), plain.left(stored));
    QVERIFY(form->close());
    QVERIFY(f.Ini().contains("\r\n0_CaretPos=" + QByteArray::number(stored) + "\r\n"));
    auto again = f.Start();
    again->LoadOnStart();
    QCOMPARE(FirstVisibleCharIndex(again->RichEdit), stored);
}

void TestRemember::placeTheReaderDidNotReachIsNeverStored_data()
{
    QTest::addColumn<int>("piece");
    QTest::addColumn<bool>("shelved");
    QTest::newRow("one piece, shelved") << 1 << true;
    QTest::newRow("one piece, not shelved") << 1 << false;
    QTest::newRow("piece 2, not shelved") << 2 << false;
}

// A book opened at its place and moved away by nobody but the program (a
// view that lost its place) keeps the place it was opened at.
void TestRemember::placeTheReaderDidNotReachIsNeverStored()
{
    QFETCH(int, piece);
    QFETCH(bool, shelved);
    TRememberFixture f;
    const QString book = f.WriteBook(QStringLiteral("Long.txt"), 2000);
    int place = 0;
    {
        auto form = f.Start();
        QVERIFY(form->OpenBook(book, true));
        if (shelved)
            f.Put(*form);
        if (piece > 1)
            QVERIFY(form->LoadFromFile(QString(), piece, false, 0));
        f.ReadTo(*form, 120);
        place = FirstVisibleCharIndex(form->RichEdit);
        QVERIFY(form->close());
    }
    {
        auto form = f.Start();
        form->LoadOnStart();
        QCOMPARE(form->CurrentPiece(), piece);
        QCOMPARE(FirstVisibleCharIndex(form->RichEdit), place);
        SetTopLine(form->RichEdit, 0); // not the reader's doing
        QVERIFY(form->close());
    }
    auto form = f.Start();
    form->LoadOnStart();
    QCOMPARE(form->CurrentPiece(), piece);
    QCOMPARE(FirstVisibleCharIndex(form->RichEdit), place);
}

void TestRemember::bookmarkButtons()
{
    TRememberFixture f;
    const QString book = f.WriteBook(QStringLiteral("Mill.txt"));
    auto form = f.Start();
    form->ProgramGeneralTabSheet->Form.AutoBookmarkCheckBox->setChecked(false);
    QVERIFY(form->OpenBook(book, true));
    QCOMPARE(f.Shelf(*form).OpenBookshelfButton->text(), QStringLiteral("&Open (0)"));
    QVERIFY(!f.Shelf(*form).OpenBookshelfButton->isEnabled());

    // A numbered bookmark of a book that is not on the shelf: nothing, no question.
    SetTopLine(form->RichEdit, 30);
    f.RightClick(*form, 3);
    QCOMPARE(f.Marks(*form)->Button(3)->text(), QStringLiteral("&3"));

    // "Put" shelves it at the top line; the bookmark can then be set.
    QTest::mouseClick(f.Shelf(*form).PutBookshelfButton, Qt::LeftButton);
    QCOMPARE(f.Shelf(*form).OpenBookshelfButton->text(), QStringLiteral("&Open (1)"));
    QCOMPARE(f.Marks(*form)->Button(0)->text(), QStringLiteral("&Auto*"));
    f.RightClick(*form, 3);
    QCOMPARE(f.Marks(*form)->Button(3)->text(), QStringLiteral("&3*"));
    const int third = FirstVisibleCharIndex(form->RichEdit);
    QCOMPARE(f.Dialogs.Boxes.size(), 0);

    // Setting it again asks; No keeps it.
    SetTopLine(form->RichEdit, 90);
    f.Dialogs.Answers = {DialogResultNo};
    f.RightClick(*form, 3);
    QCOMPARE(f.Dialogs.Boxes.last().Text,
             QStringLiteral("This bookmark is already set for this book. Do you want to overwrite it?"));
    SetTopLine(form->RichEdit, 0);
    f.LeftClick(*form, 3);
    QCOMPARE(FirstVisibleCharIndex(form->RichEdit), third);
    // Alt+3 goes there the same way.
    SetTopLine(form->RichEdit, 0);
    QVERIFY(form->FormKeyDown(Qt::Key_3, ssAlt));
    QCOMPARE(FirstVisibleCharIndex(form->RichEdit), third);

    // Putting the book again asks about its auto-bookmark.
    f.Dialogs.Answers = {DialogResultNo};
    QTest::mouseClick(f.Shelf(*form).PutBookshelfButton, Qt::LeftButton);
    QVERIFY(f.Dialogs.Boxes.last().Text.startsWith(
        QStringLiteral("This book already has an auto-bookmark. Do you want to overwrite it?\n\n")));

    // Ctrl with a right click clears a bookmark, and on "&Auto" takes the
    // book off the shelf.
    f.RightClick(*form, 3, Qt::ControlModifier);
    QCOMPARE(f.Marks(*form)->Button(3)->text(), QStringLiteral("&3"));
    f.RightClick(*form, 0, Qt::ControlModifier | Qt::ShiftModifier); // not Ctrl alone: nothing
    QCOMPARE(f.Shelf(*form).OpenBookshelfButton->text(), QStringLiteral("&Open (1)"));
    f.RightClick(*form, 0, Qt::ControlModifier);
    QCOMPARE(f.Shelf(*form).OpenBookshelfButton->text(), QStringLiteral("&Open (0)"));
    QCOMPARE(f.Marks(*form)->Button(0)->text(), QStringLiteral("&Auto"));
}

void TestRemember::bookmarkOfAnotherPieceLoadsThatPiece()
{
    TRememberFixture f;
    const QString book = f.WriteBook(QStringLiteral("Long.txt"), 2000); // about 170 KB: 4 pieces
    auto form = f.Start();
    QVERIFY(form->OpenBook(book, true));
    f.Put(*form);
    QVERIFY(form->PiecesComboBox->count() > 2);
    QVERIFY(form->LoadFromFile(QString(), 2, false, 0));
    SetTopLine(form->RichEdit, 50);
    const int position = FirstVisibleCharIndex(form->RichEdit);
    f.RightClick(*form, 1);
    QVERIFY(form->LoadFromFile(QString(), 1, false, 0));
    QCOMPARE(form->CurrentPiece(), 1);
    f.LeftClick(*form, 1);
    QCOMPARE(form->CurrentPiece(), 2);
    QCOMPARE(FirstVisibleCharIndex(form->RichEdit), position);

    // Closing in piece 2 near its top still records the place: only the top
    // of the first piece is no place to remember.
    f.ReadTo(*form, 1);
    QVERIFY(form->close());
    auto again = f.Start();
    again->LoadOnStart();
    QCOMPARE(again->CurrentPiece(), 2);
    QCOMPARE(f.Top(*again), 1);
}

void TestRemember::shelfMenuOpensAndRemovesBooks()
{
    TRememberFixture f;
    const QString first = f.WriteBook(QStringLiteral("First & Last.txt"));
    const QString second = f.WriteBook(QStringLiteral("Second.txt"));
    auto form = f.Start();
    QVERIFY(form->OpenBook(first, true));
    f.Put(*form);
    f.ReadTo(*form, 40);
    const int place = FirstVisibleCharIndex(form->RichEdit);
    QVERIFY(form->OpenBook(second, true));
    f.Put(*form);
    QCOMPARE(f.Shelf(*form).OpenBookshelfButton->text(), QStringLiteral("&Open (2)"));

    QTest::mouseClick(f.Shelf(*form).OpenBookshelfButton, Qt::LeftButton);
    QVERIFY(f.PickFromShelfMenu(*form, QString(first).replace('&', "&&")));
    QCOMPARE(form->CurrentBookPath, first);
    QCOMPARE(FirstVisibleCharIndex(form->RichEdit), place);

    // Opening the open book from the shelf goes back to its stored place.
    SetTopLine(form->RichEdit, 200);
    QVERIFY(form->FormKeyDown(Qt::Key_O, ssAlt));
    QVERIFY(f.PickFromShelfMenu(*form, QString(first).replace('&', "&&")));
    QCOMPARE(FirstVisibleCharIndex(form->RichEdit), place);

    QTest::mouseClick(f.Shelf(*form).RemoveBookshelfButton, Qt::LeftButton);
    QVERIFY(f.PickFromShelfMenu(*form, second));
    QCOMPARE(f.Shelf(*form).OpenBookshelfButton->text(), QStringLiteral("&Open (1)"));
    QCOMPARE(form->CurrentBookPath, first);
}

void TestRemember::shelfEntriesThatNoLongerFit()
{
    TRememberFixture f;
    const QString book = f.WriteBook(QStringLiteral("Short.txt"), 30);
    const QString gone = f.BooksDir + QStringLiteral("Gone.txt");
    f.WriteFile(f.SettingsDir + "Lectern.ini",
                "[Lectern_Bookshelf_Main]\nCount=2\n0=" + book.toUtf8() + "\n1=" + gone.toUtf8()
                    + "\n[Lectern_Bookshelf_CaretPos]\n0=99999999\n1=5\n");
    auto form = f.Start();
    // The last book is gone: the reader is told, the entry stays listed.
    form->LoadOnStart();
    QCOMPARE(f.Dialogs.Texts().value(0), QStringLiteral("The book is not a valid text file, or it doesn't exist."));
    QCOMPARE(f.Shelf(*form).OpenBookshelfButton->text(), QStringLiteral("&Open (2)"));

    // A place past the end of a book that became shorter shows its end.
    QVERIFY(form->OpenBook(book, true));
    QVERIFY(f.Top(*form) > 0);
    QCOMPARE(f.Reports.Messages, QStringList());
}

void TestRemember::profileOfEachBook()
{
    TRememberFixture f;
    const QString raven = f.WriteBook(QStringLiteral("Poe/Raven.txt"), 20);
    const QString other = f.WriteBook(QStringLiteral("Other.txt"), 20);
    f.WriteFile(f.BooksDir + "LecternProfile.lcp", "[Profile_Main]\nFontSize=30\nFontName=No Such Font Here\n");
    f.WriteFile(f.SettingsDir + "LecternProfile.lcp", "[Profile_Main]\nFontSize=12\nEnhanceText=FALSE\n");
    auto form = f.Start();
    QCOMPARE(form->ProfileFormatTabSheet->FontSize(), 12);
    QVERIFY(!form->EnhanceTextCheckBox->isChecked());

    // Raven.txt in Poe in Books: the profile of Books.
    QVERIFY(form->OpenBook(raven, true));
    QCOMPARE(form->ProfileFormatTabSheet->FontSize(), 30);
    QVERIFY(form->EnhanceTextCheckBox->isChecked());
    QCOMPARE(form->ProfileFormatTabSheet->FontName(), QStringLiteral("No Such Font Here"));
    TFormatPageControls(form->ProfileFormatTabSheet).SpaceAfterComboBox->setCurrentText(QStringLiteral("10"));

    // Another book: the change is saved into the Books profile first.
    QVERIFY(form->OpenBook(other, true));
    QCOMPARE(form->ProfileFormatTabSheet->FontSize(), 30);
    QVERIFY(f.ReadFile(f.BooksDir + "LecternProfile.lcp").contains("SpaceAfter=10\r\n"));
    QVERIFY(f.ReadFile(f.BooksDir + "LecternProfile.lcp").contains("FontName=No Such Font Here\r\n"));

    // A book outside Books falls back to the default profile.
    const QString elsewhere = f.WriteFile(f.Dir.filePath(QStringLiteral("Loose.txt")), "One line.\n");
    QVERIFY(form->OpenBook(elsewhere, true));
    QCOMPARE(form->ProfileFormatTabSheet->FontSize(), 12);
}

void TestRemember::profileWorkButtons()
{
    TRememberFixture f;
    const QString raven = f.WriteBook(QStringLiteral("Poe/Raven.txt"), 20);
    auto form = f.Start();
    QVERIFY(form->OpenBook(raven, true));
    const Ui::ProfileWorkGroupBox &work = form->ProfileGeneralTabSheet->Form.ProfileWorkGroupBox->Form;
    form->Container_OptionsPageControl->setCurrentWidget(form->ProfileOptionsTabSheet);
    form->ProfilePageControl->setCurrentWidget(form->ProfileGeneralTabSheet);

    // Load: a file that is not a profile is refused.
    f.Dialogs.FileNames = {raven};
    QTest::mouseClick(work.LoadProfileButton, Qt::LeftButton);
    QCOMPARE(f.Dialogs.FileDialogs.last().Title, QStringLiteral("Load profile"));
    QCOMPARE(f.Dialogs.FileDialogs.last().FileName, f.SettingsDir + "LecternProfile.lcp");
    QCOMPARE(f.Dialogs.FileDialogs.last().Filter, QStringLiteral("Profiles (*.lcp)|*.lcp"));
    QCOMPARE(f.Dialogs.Texts().last(), QStringLiteral("Invalid file extensions."));

    // Save with Alt: the book's own profile, which is then the current one.
    TFormatPageControls(form->ProfileFormatTabSheet).FontSizeComboBox->setCurrentText(QStringLiteral("22"));
    const QString own = f.BooksDir + "Poe/Raven.lcp";
    f.Dialogs.FileNames = {own};
    QTest::mouseClick(work.SaveProfileButton, Qt::LeftButton, Qt::AltModifier);
    QCOMPARE(f.Dialogs.FileDialogs.last().FileName, own);
    QCOMPARE(f.Dialogs.Texts().last(), QStringLiteral("Profile was saved."));
    QVERIFY(f.ReadFile(own).contains("FontSize=22\r\n"));

    // Saving over an existing profile asks; No writes nothing and leaves the
    // current profile as it was, so closing does not write over it either.
    const QString night = f.WriteFile(f.BooksDir + "Night.lcp", "[Profile_Main]\nFontSize=9\n");
    f.Dialogs.FileNames = {night};
    f.Dialogs.Answers = {DialogResultNo};
    QTest::mouseClick(work.SaveProfileButton, Qt::LeftButton);
    QCOMPARE(f.Dialogs.FileDialogs.last().FileName, own);
    QCOMPARE(f.ReadFile(night), QByteArray("[Profile_Main]\nFontSize=9\n"));

    // Load with Ctrl proposes the default profile; the book opens again in
    // the loaded style at the same place.
    f.Dialogs.FileNames = {night};
    QTest::mouseClick(work.LoadProfileButton, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(f.Dialogs.FileDialogs.last().FileName, f.SettingsDir + "LecternProfile.lcp");
    QCOMPARE(form->ProfileFormatTabSheet->FontSize(), 9);
    QCOMPARE(form->CurrentBookPath, raven);
    QVERIFY(f.ReadFile(own).contains("FontSize=22\r\n")); // saved before it was left

    // Delete with Shift proposes the profile of the book's directory.
    f.Dialogs.FileNames = {own};
    QTest::mouseClick(work.DeleteProfileButton, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(f.Dialogs.FileDialogs.last().Title, QStringLiteral("Delete profile"));
    QCOMPARE(f.Dialogs.FileDialogs.last().FileName, f.BooksDir + "Poe/LecternProfile.lcp");
    QVERIFY(!QFile::exists(own));
    QVERIFY(form->close());
    QVERIFY(f.ReadFile(night).contains("FontSize=9\r\n")); // the current profile, saved at close
    QCOMPARE(f.Reports.Messages, QStringList());
}

QTEST_MAIN(TestRemember)
#include "test_remember.moc"
