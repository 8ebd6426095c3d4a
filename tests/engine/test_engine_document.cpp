// The engine writing into the rich-box document: text, positions, formats,
// stopped and failed runs, and EmphasizeText over a whole document.
#include "Dialogs.h"
#include "EngineTestHelpers.h"
#include "FunStatContext.h"
#include "RichDocument.h"

#include <QGuiApplication>
#include <QtTest>

class TestEngineDocument : public QObject {
    Q_OBJECT
private slots:
    void buildsDocument();
    void stoppedAndFailedRuns();
    void emphasizeText();
};

static TCharFormat FormatAt(TRichDocument &document, int position)
{
    document.SetSelection(position, 1);
    return document.GetCharFormat();
}

// Prepares an emptied rich-box the way the loader does.
static void PrepareBox(TEnhancedRichEdit &engine, TRichDocument &document)
{
    engine.RichBox = &document;
    document.Clear();
    SetTestBase(engine);
    engine.ApplyCharFormat(true, 0);
    engine.ApplyParaFormat(true, 0);
}

void TestEngineDocument::buildsDocument()
{
    TScopedRecordingDialogs dialogs;
    TRichDocument document;
    TEnhancedRichEdit engine;
    PrepareBox(engine, document);
    const QStringList lines = L("Chapter 1||He said \"Go\" and|left.||^B+|Bold one.||Plain.||Chapter 2|"
                                "^S=20*|Big.");
    engine.EnhanceText(lines, QStringLiteral("Blanks"), true, false);
    const QString expected = QStringLiteral("Chapter 1\r\n  He said \"Go\" and left.\r\n  Bold one.\r\n  Plain.\r\n"
                                            "Chapter 2\r\n  Big.");
    QCOMPARE(document.GetText(), expected);
    QCOMPARE(document.SelectionStart(), 0);
    QCOMPARE(document.SelectionLength(), 0);
    QVERIFY(!document.IsModified());

    // Menu positions are document positions.
    QCOMPARE(engine.ChapterItemCount(), 2);
    for (const TChapterItem &item : engine.ChaptersMenu()->Items())
        QCOMPARE(document.GetTextRange(item.Tag, item.Tag + item.Caption.size()), item.Caption);

    // Formats: the heading underlined, the quote coloured, the command
    // paragraph bold, the size command only where it applies.
    const int go = expected.indexOf(QStringLiteral("Go"));
    QCOMPARE(FormatAt(document, go).TextColor, TColor(0x820000));
    QCOMPARE(FormatAt(document, go - 1).TextColor, TColor(0));
    QVERIFY(FormatAt(document, 0).Effects & CFE_UNDERLINE);
    QVERIFY(FormatAt(document, expected.indexOf(QStringLiteral("Bold"))).Effects & CFE_BOLD);
    QVERIFY(!(FormatAt(document, expected.indexOf(QStringLiteral("Plain"))).Effects & CFE_BOLD));
    QCOMPARE(FormatAt(document, expected.indexOf(QStringLiteral("Plain"))).HeightTwips, 320);
    QCOMPARE(FormatAt(document, expected.indexOf(QStringLiteral("Big"))).HeightTwips, 400);
    document.SetSelection(0, 0);
    QCOMPARE(document.GetParaFormat().Alignment, PFA_JUSTIFY);
    QCOMPARE(document.GetParaFormat().SpaceAfter, 288);

    // CAD re-formats the text built so far and the text to come.
    PrepareBox(engine, document);
    engine.EnhanceText(L("One.||^S=20*|^CAD*|Two."), QStringLiteral("None"), true, false);
    QCOMPARE(document.GetText(), QStringLiteral("One.\r\nTwo."));
    QCOMPARE(FormatAt(document, 0).HeightTwips, 400);
    QCOMPARE(FormatAt(document, 6).HeightTwips, 400);
    QCOMPARE(dialogs.Boxes.size(), 0);
}

void TestEngineDocument::stoppedAndFailedRuns()
{
    TScopedRecordingDialogs dialogs;
    TRichDocument document;
    TEnhancedRichEdit engine;
    PrepareBox(engine, document);
    int calls = 0;
    engine.Progress = [&calls](int) { return ++calls == 2; };
    engine.EnhanceText(L("Chapter 1||One.||Two.||Three."), QStringLiteral("None"), false, false);
    QVERIFY(engine.Cancelled);
    QCOMPARE(calls, 2);
    QCOMPARE(document.GetTextLength(), 0); // a stopped run leaves an empty box
    QCOMPARE(engine.ChapterItemCount(), 1);

    // A failure keeps what was built; the end steps still run.
    PrepareBox(engine, document);
    engine.Progress = nullptr;
    FunStatContext.Reset();
    engine.EnhanceText(L("One.||^BC=nothing*|Two."), QStringLiteral("None"), true, false);
    QCOMPARE(FunStatContext.Status, int(Error));
    FunStatContext.Reset();
    QCOMPARE(document.GetText(), QStringLiteral("One."));
    QCOMPARE(document.SelectionStart(), 0);
    QVERIFY(!engine.ChaptersMenu());
    QVERIFY(!document.InBulk());
}

void TestEngineDocument::emphasizeText()
{
    TRichDocument document;
    TEnhancedRichEdit engine;
    engine.RichBox = &document;
    const QString text = QStringLiteral("He said \"Go\" and \"left\r\nthen\" Tom's 'best' day\r\n'x\r\ny'");
    document.SetPlainText(text);
    QCOMPARE(document.GetText(), text);

    struct TView : TRichBoxView {
        int First = 5;
        bool Visible = true;
        int HiddenCalls = 0;
        int WentTo = -1;
        int FirstVisibleCharIndex() const override { return First; }
        bool IsVisible() const override { return Visible; }
        void SetVisible(bool visible) override
        {
            if (!visible)
                ++HiddenCalls;
            Visible = visible;
        }
        void GoToPosition(int position) override { WentTo = position; }
    } view;
    engine.View = &view;

    engine.EmphasizeText(0x0000FF, 0x00FF00);
    const TColor plain = FormatAt(document, 0).TextColor; // untouched text
    QVERIFY(plain != 0x0000FF && plain != 0x00FF00);
    QCOMPARE(FormatAt(document, text.indexOf(QStringLiteral("Go"))).TextColor, TColor(0x0000FF));
    QCOMPARE(FormatAt(document, text.indexOf(QStringLiteral("Go")) + 1).TextColor, TColor(0x0000FF));
    QCOMPARE(FormatAt(document, text.indexOf(QStringLiteral("Go")) - 1).TextColor, plain); // the quote itself
    // A quote never spans paragraphs.
    QCOMPARE(FormatAt(document, text.indexOf(QStringLiteral("left"))).TextColor, plain);
    QCOMPARE(FormatAt(document, text.indexOf(QStringLiteral("then"))).TextColor, plain);
    QCOMPARE(FormatAt(document, text.indexOf(QStringLiteral("best"))).TextColor, TColor(0x00FF00));
    QCOMPARE(FormatAt(document, text.indexOf(QStringLiteral("s 'b"))).TextColor, plain);
    QCOMPARE(FormatAt(document, text.indexOf(QStringLiteral("x"))).TextColor, plain);
    QCOMPARE(FormatAt(document, text.indexOf(QStringLiteral("y'"))).TextColor, plain);
    QCOMPARE(view.HiddenCalls, 1);
    QVERIFY(view.Visible);
    QCOMPARE(view.WentTo, 5);
    QCOMPARE(document.GetText(), text); // colours only
}

QTEST_MAIN(TestEngineDocument)
#include "test_engine_document.moc"
