// A page like a printed book in the real main window: hyphenated books keep
// their own text for find, copy, saving and reading aloud; the book's
// italics without their underscores; the Format page's choices read the
// book again at the same place, and off gives the page without them.
#include <QtTest>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include "BookGroupBox.h"
#include "BookSave.h"
#include "ConvertOptions.h"
#include "Dialogs.h"
#include "FormatPageControls.h"
#include "Hyphenation.h"
#include "LecternForm.h"
#include "Profile.h"
#include "ProfileFormatTabSheet.h"
#include "RichBox.h"
#include "RichEditOps.h"
#include "SpeechText.h"

namespace {

struct TTypographyFixture {
    TTypographyFixture()
    {
        TLecternForm::FirstActivation = false;
        Form.IsApplicationActive = [] { return true; };
        Form.resize(1000, 800);
        Form.show();
        Form.RichEdit->show();
    }

    QString Write(const QString &name, const QByteArray &bytes)
    {
        const QString path = Dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
        return path;
    }

    TRichDocument *Document() { return Form.RichEdit->RichDocument(); }

    QTemporaryDir Dir;
    TScopedRecordingDialogs Dialogs;
    TLecternForm Form;
};

// English paragraphs of long words, so that justified lines break inside them.
QByteArray LongWordsBook(int paragraphs = 30)
{
    QByteArray book;
    for (int i = 0; i < paragraphs; ++i) {
        book += "The extraordinarily characteristic harpooneers considered the unaccountable "
                "circumstances of the internationally celebrated whaling expedition, and the "
                "incomprehensible philosophers of the Pequod were astonishingly uncommunicative "
                "about their indescribable experiences with the leviathan.\n\n";
    }
    return book;
}

bool HasEnglishPatterns()
{
    return !HyphenationPatternFile(QLocale(QLocale::English), DefaultHyphenationDirectory()).isEmpty();
}

} // namespace

class TestTypographyWindow : public QObject {
    Q_OBJECT
private slots:
    void hyphenatedBookKeepsItsOwnText();
    void hyphenationOffGivesThePageWithout();
    void booksItalicsWithoutUnderscores();
    void pageShowsAndReadsItsKeys();
};

void TestTypographyWindow::hyphenatedBookKeepsItsOwnText()
{
    if (!HasEnglishPatterns())
        QSKIP("No English hyphenation patterns (scripts/deps installs them).");
    TTypographyFixture f;
    const QByteArray bytes = LongWordsBook();
    QVERIFY(f.Form.OpenBook(f.Write(QStringLiteral("Whalers.txt"), bytes), false));
    TRichDocument *doc = f.Document();
    QVERIFY(doc->HasSoftHyphens());
    QVERIFY(f.Form.ShownHyphenation().endsWith(QLatin1String("hyph_en_US.dic")));
    TRichBox *box = f.Form.RichEdit;
    box->viewport()->grab(); // the page chooses its breaks
    const QString text = doc->GetText();
    QVERIFY(!text.contains(SoftHyphen));
    QVERIFY(!text.contains(QChar(QChar::Nbsp)));
    QVERIFY(text.startsWith(QLatin1String("The extraordinarily characteristic harpooneers")));

    // Find: the whole word, at its place in the book's text.
    const QString word = QStringLiteral("incomprehensible");
    f.Form.BookGroupBox->Form.FindTextEdit->setText(word);
    f.Form.FindTextEditKeyDown(Qt::Key_Return);
    QCOMPARE(doc->SelectedText(), word);
    QCOMPARE(doc->SelectionStart(), int(text.indexOf(word)));
    // Copy: the word, without soft hyphens.
    QGuiApplication::clipboard()->clear();
    QCoreApplication::processEvents(); // the selection reaches the box
    f.Form.RichEdit->copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), word);
    // Saving as text.
    const QByteArray saved = BookSaveBytes(*doc, TBookSaveFormat::PlainText);
    QVERIFY(!saved.contains("\xC2\xAD"));
    QVERIFY(!saved.contains("\xC2\xA0"));
    QVERIFY(saved.startsWith("The extraordinarily characteristic harpooneers considered"));
    const QByteArray rtf = BookSaveBytes(*doc, TBookSaveFormat::Rtf);
    QVERIFY(!rtf.contains("\\~"));
    QVERIFY(!rtf.contains("\\'ad"));
    QVERIFY(!rtf.contains("\\u173"));
    // Read aloud: the words whole.
    TSpeechText speech(doc, QString(), 0xFFFFFF);
    speech.Seek(0);
    TSpokenSentence sentence;
    QVERIFY(speech.Next(sentence));
    QVERIFY2(sentence.Text.contains(QLatin1String("extraordinarily characteristic harpooneers")),
             qPrintable(sentence.Text));
    QCOMPARE(sentence.Start, 0);
    // A line that begins inside a hyphenated word: its first position is on
    // it (the place kept at the top of the page, a bookmark's), not at the
    // end of the line above.
    int inWord = -1;
    for (int line = 1; line < box->LineCountExact() && inWord < 0; ++line) {
        const int start = box->LineIndex(line);
        if (start > 0 && text.at(start - 1).isLetter())
            inWord = line;
    }
    QVERIFY(inWord > 0);
    const int start = box->LineIndex(inWord);
    QCOMPARE(LineFromChar(box, start), inWord);
    SetTopLine(box, inWord);
    QCOMPARE(FirstVisibleCharIndex(box), start);
    GoToPosition(box, start);
    QCOMPARE(GetFirstVisibleLine(box), inWord);
}

void TestTypographyWindow::hyphenationOffGivesThePageWithout()
{
    if (!HasEnglishPatterns())
        QSKIP("No English hyphenation patterns (scripts/deps installs them).");
    TTypographyFixture f;
    QVERIFY(f.Form.OpenBook(f.Write(QStringLiteral("Whalers.txt"), LongWordsBook()), false));
    const QString hyphenated = f.Document()->GetText();
    GoToPosition(f.Form.RichEdit, 2000);
    const int place = FirstVisibleCharIndex(f.Form.RichEdit);
    TFormatPageControls page(f.Form.ProfileFormatTabSheet);
    QVERIFY(page.HyphenationLanguageComboBox->isEnabled());
    page.HyphenateCheckBox->click(); // the reader's choice reads the book again
    QVERIFY(!page.HyphenationLanguageComboBox->isEnabled());
    QVERIFY(!f.Document()->HasSoftHyphens());
    QVERIFY(!f.Document()->Document()->toRawText().contains(SoftHyphen));
    QVERIFY(f.Form.ShownHyphenation().isEmpty());
    QCOMPARE(f.Document()->GetText(), hyphenated);
    QCOMPARE(LineFromChar(f.Form.RichEdit, place), GetFirstVisibleLine(f.Form.RichEdit));
    page.HyphenateCheckBox->click();
    QVERIFY(f.Document()->HasSoftHyphens());
    QCOMPARE(f.Document()->GetText(), hyphenated);
    QVERIFY(f.Dialogs.Boxes.isEmpty());
}

void TestTypographyWindow::booksItalicsWithoutUnderscores()
{
    TTypographyFixture f;
    const QString book = f.Write(QStringLiteral("Italics.txt"),
                                 "Call me _Ishmael_. The _Pequod_ sailed from snake_case and __init__, a _ lone.\n\n"
                                 "Second paragraph.\n");
    QVERIFY(f.Form.OpenBook(book, false));
    TRichDocument *doc = f.Document();
    const QString shown = QStringLiteral("Call me Ishmael. The Pequod sailed from snake_case and __init__, a _ lone.");
    QVERIFY2(doc->GetText().startsWith(shown + QStringLiteral("\r\n")), qPrintable(doc->GetText()));
    const int pequod = int(shown.indexOf(QLatin1String("Pequod")));
    doc->SetSelection(pequod, 6);
    QVERIFY(doc->GetCharFormat().Effects & CFE_ITALIC);
    QCOMPARE(doc->SelectedText(), QStringLiteral("Pequod"));
    doc->SetSelection(pequod - 4, 3); // "The"
    QVERIFY(!(doc->GetCharFormat().Effects & CFE_ITALIC));
    // The next paragraph starts where the text shown says.
    QCOMPARE(doc->ParagraphStart(2), int(shown.size()) + 4);
    // Off: the underscores as the book has them.
    TFormatPageControls(f.Form.ProfileFormatTabSheet).MarkupEmphasisCheckBox->click();
    QVERIFY(doc->GetText().startsWith(
        QStringLiteral("Call me _Ishmael_. The _Pequod_ sailed from snake_case and __init__, a _ lone.\r\n")));
}

void TestTypographyWindow::pageShowsAndReadsItsKeys()
{
    TProfileFormatTabSheet page;
    TFormatPageControls controls(&page);
    QCOMPARE(controls.HyphenationLanguageComboBox->itemText(0), BookLanguageChoice());
    QVERIFY(page.Hyphenate());
    QVERIFY(page.MarkupEmphasis());
    QCOMPARE(page.HyphenationLanguage(), BookLanguageChoice());
    QSignalSpy chosen(&page, &TProfileFormatTabSheet::ReadingChosen);
    TProfile profile;
    profile.Hyphenate = false;
    profile.HyphenationLanguage = QStringLiteral("German");
    profile.MarkupEmphasis = false;
    profile.FontSize = 20;
    page.ShowProfile(profile);
    QCOMPARE(chosen.count(), 0); // a profile shown reads no book again
    QVERIFY(!controls.HyphenationLanguageComboBox->isEnabled());
    TProfile read;
    page.ReadProfile(read);
    QVERIFY(!read.Hyphenate);
    QCOMPARE(read.HyphenationLanguage, QStringLiteral("German"));
    QVERIFY(!read.MarkupEmphasis);
    QCOMPARE(read.FontSize, 20);
    // A language that is no choice shows the book's.
    profile.HyphenationLanguage = QStringLiteral("Klingon");
    page.ShowProfile(profile);
    QCOMPARE(page.HyphenationLanguage(), BookLanguageChoice());
    TBookFormatOptions options;
    page.ReadFormatOptions(options);
    QVERIFY(!options.Hyphenate);
    QVERIFY(!options.MarkupEmphasis);
}

QTEST_MAIN(TestTypographyWindow)
#include "test_typography_window.moc"
