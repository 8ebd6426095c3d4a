// Formatting commands, the format records they produce and quote emphasis.
#include "Dialogs.h"
#include "EngineTestHelpers.h"
#include "FunStatContext.h"

#include <QtTest>

using TParagraph = TRecordingParagraphSink::TParagraph;

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void pushAndDrop();
    void valuesAndNames();
    void warnings();
    void styles();
    void formatRecords();
    void wholeTextAndCad();
    void badColourEndsRun();
    void quoteEmphasis();
};

static const TParagraph &Find(const TRecordingParagraphSink &sink, const char *text)
{
    for (const TParagraph &paragraph : sink.Paragraphs)
        if (paragraph.Text == QString::fromUtf8(text))
            return paragraph;
    static TParagraph none;
    none.Text = QStringLiteral("<missing>");
    return none;
}

static bool Has(const TParagraph &paragraph, uint32_t mask, uint32_t effect)
{
    return paragraph.HasCharFormat && (paragraph.CharFormat.Mask & mask) && (paragraph.CharFormat.Effects & effect);
}

void TestCommands::pushAndDrop()
{
    TScopedRecordingDialogs dialogs;
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    SetTestBase(engine);
    Enhance(engine, sink, L("^B+|First.||Second.||^B*|Third.||Fourth.||^B~|Fifth.||^B~|Sixth."));
    QVERIFY(engine.CommandsUsed);
    QVERIFY(Has(Find(sink, "First."), CFM_BOLD, CFE_BOLD));
    QVERIFY(!Find(sink, "Second.").HasCharFormat);
    QVERIFY(Has(Find(sink, "Third."), CFM_BOLD, CFE_BOLD));
    QVERIFY(Has(Find(sink, "Fourth."), CFM_BOLD, CFE_BOLD));
    QVERIFY(!Find(sink, "Fifth.").HasCharFormat);
    QVERIFY(!Find(sink, "Sixth.").HasCharFormat);
    QCOMPARE(engine.Level(atBold), 0); // ~ at level 0 does nothing
    QCOMPARE(sink.Texts().count(QString()), 5); // command lines leave nothing behind
    QCOMPARE(dialogs.Boxes.size(), 0);

    // Empty lines between a command and its paragraph do not count; of two
    // + pushes before one paragraph the first stays in force.
    SetTestBase(engine);
    Enhance(engine, sink, L("^I+|^I+|||One.||Two."));
    QVERIFY(Has(Find(sink, "One."), CFM_ITALIC, CFE_ITALIC));
    QVERIFY(Has(Find(sink, "Two."), CFM_ITALIC, CFE_ITALIC));
    QCOMPARE(engine.Level(atItalic), 1);

    // ALL pushes the base on 15 stacks and drops them again; space after stays at level 0.
    SetTestBase(engine);
    Enhance(engine, sink, L("^B*|^I*|^S=30*|^ALL/|X.|^ALL~|Y.|^ALL~|Z."));
    QVERIFY(!Find(sink, "X.").HasCharFormat);
    QVERIFY(Has(Find(sink, "Y."), CFM_BOLD, CFE_BOLD));
    QVERIFY(Has(Find(sink, "Y."), CFM_ITALIC, CFE_ITALIC));
    QCOMPARE(Find(sink, "Y.").CharFormat.HeightTwips, 600);
    QVERIFY(!Find(sink, "Z.").HasCharFormat);
    for (int a = 0; a < AttributeCount; ++a)
        QCOMPARE(engine.Level(TAttribute(a)), 0);

    // The 100th push discards the 99 pushed levels.
    SetTestBase(engine);
    QStringList lines;
    for (int i = 0; i < 99; ++i)
        lines << QStringLiteral("^B*");
    Enhance(engine, sink, lines);
    QCOMPARE(engine.Level(atBold), 99);
    Enhance(engine, sink, L("^B+"));
    QCOMPARE(engine.Level(atBold), 1);
    QCOMPARE(engine.Mode(atBold, 1), QLatin1Char('+'));
}

void TestCommands::valuesAndNames()
{
    TScopedRecordingDialogs dialogs;
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    SetTestBase(engine);
    Enhance(engine, sink, L("^S=200*|A.|^S=24*|B.|^S=abc*|C."));
    QVERIFY(!Find(sink, "A.").HasCharFormat); // out of range: the default 16, the base
    QCOMPARE(Find(sink, "B.").CharFormat.HeightTwips, 480);
    QVERIFY(Find(sink, "B.").CharFormat.Mask & CFM_SIZE);
    QVERIFY(!Find(sink, "C.").HasCharFormat);
    FunStatContext.Reset();

    SetTestBase(engine, 20);
    Enhance(engine, sink, L("^Z=150*"));
    QCOMPARE(engine.Current(atSize), 30);
    SetTestBase(engine, 20);
    Enhance(engine, sink, L("^Z=5*"));
    QCOMPARE(engine.Current(atSize), 20); // out of range: 100 %

    for (const char *line : {"^fc=navy*", "^FC=Navy*", "^Fc=NAVY+"}) {
        SetTestBase(engine);
        Enhance(engine, sink, QStringList{QString::fromLatin1(line), QStringLiteral("X.")});
        QCOMPARE(Find(sink, "X.").CharFormat.TextColor, TColor(0x820000));
        QVERIFY(Find(sink, "X.").CharFormat.Mask & CFM_COLOR);
    }
    SetTestBase(engine);
    Enhance(engine, sink, L("^EC=$00FF00*|^SEC=clRed*|^BC=White*|^F=Courier New*|X.|^BC=clNone*|Y."));
    QCOMPARE(engine.Current(atEmphasisColor), 0x00FF00);
    QCOMPARE(engine.Current(atSecondEmphasisColor), 0x0000FF);
    const TParagraph &x = Find(sink, "X.");
    QCOMPARE(x.CharFormat.Mask & (CFM_BACKCOLOR | CFM_FACE | CFM_COLOR), CFM_BACKCOLOR | CFM_FACE);
    QCOMPARE(x.CharFormat.BackColor, TColor(0xFFFFFF));
    QCOMPARE(x.CharFormat.FaceName, QStringLiteral("Courier New"));
    QVERIFY(!(Find(sink, "Y.").CharFormat.Mask & CFM_BACKCOLOR)); // "no back colour" is not sent
    QCOMPARE(dialogs.Boxes.size(), 0);

    // A font name reaches the document with at most 31 characters.
    SetTestBase(engine);
    Enhance(
        engine, sink,
        QStringList{QStringLiteral("^F=") + QString(40, QLatin1Char('N')) + QStringLiteral("*"), QStringLiteral("X.")});
    QCOMPARE(Find(sink, "X.").CharFormat.FaceName, QString(31, QLatin1Char('N')));
}

void TestCommands::warnings()
{
    TScopedRecordingDialogs dialogs;
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    SetTestBase(engine);
    Enhance(engine, sink, L("^B|X.|^S=20|Y.|^Q*|^Z/|^ALL*|^CAD~|^A+|^PCS*|^=5*|Z."));
    QCOMPARE(dialogs.Count(TDialogKind::Warning), 9);
    QCOMPARE(dialogs.Texts(),
             (QStringList{"Missing end character: ^B", "Missing end character: ^S=20", "Unrecognized command: S",
                          "Unrecognized command: Q", "Unrecognized command: Z", "Unrecognized command: ALL",
                          "Unrecognized command: CAD", "Unrecognized command: A", "Unrecognized command: PCS"}));
    for (int a = 0; a < AttributeCount; ++a)
        QCOMPARE(engine.Level(TAttribute(a)), 0);
    QCOMPARE(sink.Texts(), (QStringList{"X.", "Y.", "Z."}));

    // "+" wins over "*", "*" over "/": values hold no earlier end character.
    dialogs.Boxes.clear();
    SetTestBase(engine);
    Enhance(engine, sink, L("^F=A/B*|X."));
    QCOMPARE(engine.CurrentFontName(), QStringLiteral("A/B"));
    Enhance(engine, sink, L("^F=A*B+"));
    QCOMPARE(engine.CurrentFontName(), QStringLiteral("A*B"));
    QCOMPARE(engine.Mode(atFontName, engine.Level(atFontName)), QLatin1Char('+'));
    QCOMPARE(dialogs.Boxes.size(), 0);
}

void TestCommands::styles()
{
    TScopedRecordingDialogs dialogs;
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    engine.SetBaseFormat(false, false, 120, 5, 5, 3, 0, 0, 0, 0, 20, QStringLiteral("Georgia"), false);
    Enhance(engine, sink, L("^PS_T+|Title|^PS_H+|Head|^ps_n+|Note||Body."));
    const TParagraph &title = Find(sink, "Title");
    QVERIFY(Has(title, CFM_UNDERLINE, CFE_UNDERLINE));
    QVERIFY(Has(title, CFM_BOLD, CFE_BOLD));
    QCOMPARE(title.CharFormat.HeightTwips, 32 * 20);
    QCOMPARE(title.ParaFormat.Alignment, PFA_CENTER);
    QCOMPARE(title.ParaFormat.StartIndent, 0);
    QCOMPARE(title.ParaFormat.Offset, 0);
    QCOMPARE(Find(sink, "Head").CharFormat.HeightTwips, 24 * 20);
    QVERIFY(!Find(sink, "Head").HasParaFormat);
    QVERIFY(Has(Find(sink, "Note"), CFM_ITALIC, CFE_ITALIC));
    QCOMPARE(Find(sink, "Note").CharFormat.HeightTwips, 16 * 20);
    QVERIFY(!Find(sink, "Body.").HasCharFormat);

    // Colour schemes and their undo.
    engine.SetBaseFormat(false, false, 120, 5, 0, 0, 0, 0, 0, 0, 16, QString(), false);
    QCOMPARE(engine.BaseFontName(), QStringLiteral("Times New Roman"));
    Enhance(engine, sink, L("^PCS_LS*|A.|^PCS~|B."));
    QCOMPARE(Find(sink, "A.").CharFormat.TextColor, TColor(0xE6E6E6));
    QCOMPARE(Find(sink, "A.").CharFormat.BackColor, TColor(0x78784B));
    QVERIFY(!Find(sink, "B.").HasCharFormat);
    QCOMPARE(dialogs.Boxes.size(), 0);
}

void TestCommands::formatRecords()
{
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    SetTestBase(engine);
    Enhance(engine, sink, L("^LPI=3*|^FLI=5*|^RPI=2*|^CS=25*|^LS=150*|^AC*|X.|^CS=-7*|Y."));
    const TParagraph &x = Find(sink, "X.");
    QVERIFY(x.HasParaFormat);
    QCOMPARE(x.ParaFormat.Mask, PFM_STARTINDENT | PFM_OFFSET | PFM_RIGHTINDENT | PFM_LINESPACING | PFM_ALIGNMENT);
    QCOMPARE(x.ParaFormat.StartIndent, 460); // trunc(8 x 57.6)
    QCOMPARE(x.ParaFormat.Offset, -288);
    QCOMPARE(x.ParaFormat.RightIndent, 115);
    QCOMPARE(x.ParaFormat.LineSpacing, 30);
    QCOMPARE(x.ParaFormat.LineSpacingRule, 5);
    QCOMPARE(x.ParaFormat.Alignment, PFA_CENTER);
    QCOMPARE(x.CharFormat.Mask, CFM_SPACING);
    QCOMPARE(x.CharFormat.SpacingTwips, 144);
    QCOMPARE(Find(sink, "Y.").CharFormat.SpacingTwips, -40); // toward zero

    // Headings are underlined through their own format.
    Enhance(engine, sink, L("Chapter 9"));
    QVERIFY(Has(Find(sink, "Chapter 9"), CFM_UNDERLINE, CFE_UNDERLINE));

    // The basic records know neither spacing, back colour, space after nor line spacing.
    engine.RichEdit3 = false;
    SetTestBase(engine);
    Enhance(engine, sink, L("^CS=25*|^LS=150*|^BC=White*|X.|^LPI=1*|Y."));
    QVERIFY(!Find(sink, "X.").HasCharFormat);
    QVERIFY(!Find(sink, "X.").HasParaFormat);
    QCOMPARE(Find(sink, "Y.").ParaFormat.Mask, PFM_STARTINDENT | PFM_OFFSET);
    QCOMPARE(Find(sink, "Y.").ParaFormat.SpaceAfter, 0);
    QCOMPARE(engine.MakeCharFormat(true, 0).Mask, CFM_ALL_TEXT & ~CFM_SPACING);
    QCOMPARE(engine.MakeParaFormat(true, 0).Mask, PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT);
    QVERIFY(engine.MakeParaFormat(true, 0).TabStops.isEmpty());
    engine.ForceRichEdit3 = true;
    SetTestBase(engine);
    Enhance(engine, sink, L("^CS=25*|X."));
    QCOMPARE(Find(sink, "X.").CharFormat.SpacingTwips, 144);

    // Whole text: the full masks and 32 tab stops from the start indent.
    engine.SetBaseFormat(false, true, 150, 5, 2, 3, 0, 0, 0x123456, 0, 18, QStringLiteral("Arial"), true);
    const TCharFormat whole = engine.MakeCharFormat(true, 0);
    QCOMPARE(whole.Mask, CFM_ALL_TEXT);
    QCOMPARE(whole.Effects, CFE_ITALIC | CFE_BOLD);
    QCOMPARE(whole.HeightTwips, 360);
    QCOMPARE(whole.TextColor, TColor(0x123456));
    const TParaFormat paragraph = engine.MakeParaFormat(true, 0);
    QCOMPARE(paragraph.Mask, uint32_t(0x18F | PFM_TABSTOPS));
    QCOMPARE(paragraph.StartIndent, 115);
    QCOMPARE(paragraph.Offset, -115);
    QCOMPARE(paragraph.SpaceAfter, 288);
    QCOMPARE(paragraph.LineSpacing, 30);
    QCOMPARE(paragraph.Alignment, PFA_JUSTIFY);
    QCOMPARE(paragraph.TabStops.size(), 32);
    QCOMPARE(paragraph.TabStops.at(0), 115);
    QCOMPARE(paragraph.TabStops.at(1), 115 + 864);
    QCOMPARE(paragraph.TabStops.at(31), 115 + 31 * 864);
    QCOMPARE(engine.MakeCharFormat(false, 0).Mask, 0u);
}

void TestCommands::wholeTextAndCad()
{
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    SetTestBase(engine);
    // CAD makes the current values the base and sends them for the whole
    // text; the heading just before does not underline everything.
    Enhance(engine, sink, L("Chapter 1|^S=20*|^CAD*|X.|^S~|Y."));
    QCOMPARE(sink.WholeTextChanges.size(), 2);
    const auto &change = sink.WholeTextChanges.first();
    QCOMPARE(change.BeforeParagraph, 1);
    QVERIFY(change.HasCharFormat);
    QCOMPARE(change.CharFormat.HeightTwips, 400);
    QVERIFY(!(change.CharFormat.Effects & CFE_UNDERLINE));
    QVERIFY(sink.WholeTextChanges.last().HasParaFormat);
    QVERIFY(!Find(sink, "X.").HasCharFormat);
    QVERIFY(!Find(sink, "Y.").HasCharFormat); // level 0 now holds 20
    QCOMPARE(engine.Base(atSize), 20);

    // A book (or piece) ending with a heading leaves no underline behind
    // for the next whole-text format.
    Enhance(engine, sink, L("Text.|Chapter 2"));
    QVERIFY(!(engine.MakeCharFormat(true, 0).Effects & CFE_UNDERLINE));
    QVERIFY(!(engine.MakeCharFormat(false, CFM_UNDERLINE).Effects & CFE_UNDERLINE));
}

void TestCommands::badColourEndsRun()
{
    TScopedRecordingDialogs dialogs;
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    SetTestBase(engine);
    FunStatContext.Reset();
    Enhance(engine, sink, L("Chapter 1||First.||^FC=Nonsense*|Second."));
    QCOMPARE(sink.Texts(), (QStringList{"Chapter 1", "", "First.", ""}));
    QVERIFY(sink.Ended);
    QVERIFY(!sink.Cancelled);
    QCOMPARE(engine.ChapterItemCount(), 1); // the menu stays
    QCOMPARE(FunStatContext.Status, int(Error));
    QCOMPARE(FunStatContext.RaiseFunction, QStringLiteral("TEnhancedRichEdit::EnhanceText"));
    QVERIFY(FunStatContext.Description.startsWith(QStringLiteral("Unhandled exception: ")));
    QCOMPARE(dialogs.Boxes.size(), 0);
    FunStatContext.Reset();
}

void TestCommands::quoteEmphasis()
{
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    SetTestBase(engine);
    auto runs = [&](const char *line, const QString &prefix = QStringLiteral("None")) {
        Enhance(engine, sink, QStringList{QString::fromUtf8(line)}, false, false, prefix);
        QStringList out;
        for (const TFormatRun &run : sink.Paragraphs.first().Runs) {
            if (run.Format.Mask != CFM_COLOR)
                out << QStringLiteral("<mask>");
            out << QStringLiteral("%1:%2").arg(sink.Paragraphs.first().Text.mid(run.Start, run.Length),
                                               run.Format.TextColor == 0x820000 ? "1" : "2");
        }
        return out;
    };
    QCOMPARE(runs("Tom's 'best' day"), QStringList{"best:2"});
    QCOMPARE(runs("He said \"Go\" and left"), QStringList{"Go:1"});
    QCOMPARE(runs("He said \"Go and left"), QStringList());
    QCOMPARE(runs("\u00BBJa\u00AB, \u201CYes\u201D"), (QStringList{"Ja:1", "Yes:1"}));
    QCOMPARE(runs("\"He said 'hi' there\""), (QStringList{"He said 'hi' there:1", "hi:2"}));
    QCOMPARE(runs("`Ah,' she said, 'the dogs' bones'"), (QStringList{"Ah,:2", "the dogs:2"}));
    QCOMPARE(runs("say \"\" twice"), QStringList());
    QCOMPARE(runs("'open \"x\" 'y'"), (QStringList{"x:1", "y:2"})); // a double quote drops the open single quote
    QCOMPARE(runs("\"Go\"", QStringLiteral("Blanks")), QStringList{"Go:1"});
    QCOMPARE(sink.Paragraphs.first().Runs.first().Start, 3);

    // No double-quote colour when it equals the base text colour; no
    // single-quote colour when it equals the double-quote colour.
    engine.SetBaseFormat(false, false, 120, 5, 0, 0, 0x0000AA, 0x000000, 0x000000, 0, 16, QString(), false);
    QCOMPARE(runs("\"a\" 'b'"), QStringList{"b:2"});
    engine.SetBaseFormat(false, false, 120, 5, 0, 0, 0x820000, 0x820000, 0x000000, 0, 16, QString(), false);
    QCOMPARE(runs("\"a\" 'b'"), QStringList{"a:1"});
    engine.SetBaseFormat(false, false, 120, 5, 0, 0, 0, 0, 0, 0, 16, QString(), false);
    QCOMPARE(runs("\"a\" 'b'"), QStringList());
}

QTEST_GUILESS_MAIN(TestCommands)
#include "test_commands.moc"
