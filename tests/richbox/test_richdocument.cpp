#include "RichDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

class TestRichDocument : public QObject {
    Q_OBJECT
private slots:
    void PositionsCountBreaksTwice();
    void TextAndAppend();
    void BulkBuildsRunsAndFormats();
    void BulkShownOnTheWayEndsAsOneBuild();
    void TabStopsLaidOutOnlyWhereTabsAre();
    void RunsMergeInTheirOrder_data();
    void RunsMergeInTheirOrder();
    void FormatsReadBack();
    void WholeTextFormatBecomesDefault();
    void SearchIgnoresCaseNotDiacritics();
    void ModifiedFlagKeptByProgram();
    void ProgramEditBlockKeepsTheFlag_data();
    void ProgramEditBlockKeepsTheFlag();
    void SelectionSurvivesFormatChange();
};

void TestRichDocument::PositionsCountBreaksTwice()
{
    TRichDocument doc;
    doc.SetPlainText(QStringLiteral("ab\r\n\r\ncde\nf\rg"));
    QCOMPARE(doc.ParagraphCount(), 5);
    QCOMPARE(doc.GetText(), QStringLiteral("ab\r\n\r\ncde\r\nf\r\ng"));
    QCOMPARE(doc.GetTextLength(), doc.GetText().size());
    // Every position of the CR LF text maps to the Qt position of the same character.
    const QString text = doc.GetText();
    for (int p = 0; p <= text.size(); ++p) {
        int q = doc.ToQtPosition(p);
        bool lfHalf = p > 0 && text.at(p - 1) == QLatin1Char('\r');
        if (lfHalf) {
            QCOMPARE(doc.FromQtPosition(q), p - 1); // the LF half maps to the end of its block
        } else {
            QCOMPARE(doc.FromQtPosition(q), p);
            if (p < text.size() && text.at(p) != QLatin1Char('\r'))
                QCOMPARE(doc.Document()->characterAt(q), text.at(p));
        }
    }
    QCOMPARE(doc.ParagraphStart(0), 0);
    QCOMPARE(doc.ParagraphStart(2), 6);
    QCOMPARE(doc.ParagraphStart(4), 14);
    QCOMPARE(doc.ToQtPosition(-5), 0);
    QCOMPARE(doc.ToQtPosition(1000), doc.Document()->characterCount() - 1);
    QCOMPARE(doc.GetTextRange(1, 7), QStringLiteral("b\r\n\r\nc"));
    QCOMPARE(doc.GetTextRange(3, 6), QStringLiteral("\n\r\n"));

    // Many paragraphs: random round trips.
    TRichDocument big;
    big.BeginBulk();
    for (int i = 0; i < 3000; ++i)
        big.AppendParagraph(QString(i % 7, QLatin1Char('x')));
    big.EndBulk();
    QCOMPARE(big.ParagraphCount(), 3000);
    const QString all = big.GetText();
    QCOMPARE(big.GetTextLength(), all.size());
    auto *rng = QRandomGenerator::global();
    for (int i = 0; i < 2000; ++i) {
        int p = rng->bounded(all.size() + 1);
        if (p > 0 && all.at(p - 1) == QLatin1Char('\r'))
            continue;
        QCOMPARE(big.FromQtPosition(big.ToQtPosition(p)), p);
    }
}

void TestRichDocument::TextAndAppend()
{
    TRichDocument doc;
    QCOMPARE(doc.GetTextLength(), 0);
    QCOMPARE(doc.ToPlainTextCrLf(), QString());
    doc.AppendText(QStringLiteral("one"));
    doc.AppendText(QString());
    doc.AppendText(QStringLiteral("three"));
    QCOMPARE(doc.GetText(), QStringLiteral("one\r\n\r\nthree"));
    QCOMPARE(doc.ToPlainTextCrLf(), QStringLiteral("one\r\n\r\nthree\r\n"));
    doc.SetPlainText(QStringLiteral("\r\n"));
    QCOMPARE(doc.GetTextLength(), 2);
    QCOMPARE(doc.ToPlainTextCrLf(), QStringLiteral("\r\n"));
    doc.Clear();
    QCOMPARE(doc.GetTextLength(), 0);
    doc.SetTextLimit(0);
    QCOMPARE(doc.TextLimit(), 0x7FFFFFFF);
    doc.SetTextLimit(100);
    QCOMPARE(doc.TextLimit(), 100);

    doc.SetPlainText(QStringLiteral("alpha\r\nbeta"));
    doc.SetSelection(3, 5);
    QCOMPARE(doc.SelectionStart(), 3);
    QCOMPARE(doc.SelectionLength(), 5);
    QCOMPARE(doc.SelectedText(), QStringLiteral("ha\r\nb"));
    doc.SetSelection(2, -1);
    QCOMPARE(doc.SelectionLength(), doc.GetTextLength() - 2);
    doc.CollapseSelection();
    QCOMPARE(doc.SelectionStart(), 2);
    QCOMPARE(doc.SelectionLength(), 0);
}

// The whole text's tab stops reach Qt's layout only in paragraphs with a
// tab; every paragraph still reports them.
void TestRichDocument::TabStopsLaidOutOnlyWhereTabsAre()
{
    TRichDocument doc;
    TParaFormat tabs;
    tabs.Mask = PFM_TABSTOPS;
    tabs.TabStops = {720, 1440, 2160};
    doc.SetParaFormat(tabs, true);
    doc.BeginBulk();
    doc.AppendParagraph(QStringLiteral("No tab here"));
    doc.AppendParagraph(QStringLiteral("Name\tValue"));
    doc.EndBulk();
    const QTextBlock plain = doc.Document()->begin();
    const QTextBlock tabbed = plain.next();
    QVERIFY(plain.blockFormat().tabPositions().isEmpty());
    QCOMPARE(tabbed.blockFormat().tabPositions().size(), 3);
    for (int at : {0, 12}) {
        doc.SetSelection(at, 0);
        QCOMPARE(doc.GetParaFormat().TabStops, QVector<int>({720, 1440, 2160}));
    }
}

// A build shown part by part ends with the document one build makes: the
// same text, block formats and soft hyphens, shown from the first part on,
// unmodified, and still a build until it ends.
void TestRichDocument::BulkShownOnTheWayEndsAsOneBuild()
{
    TParaFormat justify;
    justify.Mask = PFM_ALIGNMENT;
    justify.Alignment = PFA_JUSTIFY;
    auto hyphenate = [](QStringView text, QVector<int> &breaks) {
        for (int i = 4; i < text.size(); i += 7)
            breaks.append(i);
    };
    auto build = [&](TRichDocument &doc, bool shownOnTheWay) {
        doc.SetHyphenation(hyphenate);
        doc.BeginBulk();
        for (int i = 0; i < 30; ++i) {
            doc.AppendParagraph(QStringLiteral("Paragraph %1 of the book").arg(i), nullptr, i % 3 ? nullptr : &justify);
            if (shownOnTheWay && i % 10 == 4) {
                doc.ShowBulk();
                QVERIFY(doc.InBulk());
                QCOMPARE(doc.ParagraphCount(), i + 1);
                QVERIFY(!doc.IsModified());
            }
        }
        doc.EndBulk();
        doc.SetHyphenation({});
    };
    TRichDocument whole, shown;
    build(whole, false);
    build(shown, true);
    QVERIFY(!shown.InBulk());
    QVERIFY(!shown.IsModified());
    QCOMPARE(shown.GetText(), whole.GetText());
    QCOMPARE(shown.Document()->toRawText(), whole.Document()->toRawText());
    QCOMPARE(shown.SoftHyphens().All(), whole.SoftHyphens().All());
    QVERIFY(!shown.SoftHyphens().IsEmpty());
    for (QTextBlock a = whole.Document()->begin(), b = shown.Document()->begin(); a.isValid(); a = a.next(), b = b.next())
        QCOMPARE(b.blockFormat().alignment(), a.blockFormat().alignment());
}

void TestRichDocument::BulkBuildsRunsAndFormats()
{
    TRichDocument doc;
    QSignalSpy replaced(&doc, &TRichDocument::DocumentReplaced);
    QTextDocument *before = doc.Document();
    TParaFormat justify;
    justify.Mask = PFM_ALIGNMENT | PFM_SPACEAFTER;
    justify.Alignment = PFA_JUSTIFY;
    justify.SpaceAfter = 120;
    TCharFormat red;
    red.Mask = CFM_COLOR | CFM_BOLD;
    red.TextColor = 0x0000FF;
    red.Effects = CFE_BOLD;
    doc.BeginBulk();
    QVERIFY(doc.InBulk());
    doc.AppendParagraph(QStringLiteral("Title"), nullptr, nullptr, {});
    doc.AppendParagraph(QStringLiteral("Hello red world"), nullptr, &justify, {TFormatRun{6, 3, red}});
    doc.AppendParagraph(QStringLiteral("line\rwith break"), nullptr, &justify, {});
    doc.AppendParagraph(QString());
    QCOMPARE(doc.Document(), before); // nothing shown before the build ends
    doc.EndBulk();
    QVERIFY(!doc.InBulk());
    QCOMPARE(replaced.count(), 1);
    QVERIFY(doc.Document() != before);
    QCOMPARE(doc.ParagraphCount(), 4);
    QCOMPARE(doc.GetText(), QStringLiteral("Title\r\nHello red world\r\nline with break\r\n"));
    QVERIFY(!doc.IsModified());

    doc.SetSelection(7 + 6, 3);
    TCharFormat got = doc.GetCharFormat();
    QCOMPARE(got.TextColor, TColor(0x0000FF));
    QVERIFY(got.Effects & CFE_BOLD);
    doc.SetSelection(7 + 10, 1);
    QVERIFY(!(doc.GetCharFormat().Effects & CFE_BOLD));
    QCOMPARE(doc.GetParaFormat().Alignment, PFA_JUSTIFY);
    QCOMPARE(doc.GetParaFormat().SpaceAfter, 120);
    doc.SetSelection(0, 0);
    QCOMPARE(doc.GetParaFormat().Alignment, PFA_LEFT);
    QCOMPARE(doc.GetParaFormat().SpaceAfter, 0);

    // An empty paragraph after a large heading keeps its own (default) size.
    TCharFormat large;
    large.Mask = CFM_SIZE;
    large.HeightTwips = 600;
    TCharFormat normal;
    normal.Mask = CFM_SIZE;
    normal.HeightTwips = 200;
    doc.BeginBulk();
    doc.AppendParagraph(QStringLiteral("Heading"), &large);
    doc.AppendParagraph(QString(), &normal);
    doc.AppendParagraph(QStringLiteral("Text"), &normal);
    doc.EndBulk();
    QCOMPARE(doc.Document()->findBlockByNumber(1).charFormat().fontPointSize(), 10.0);
    doc.SetSelection(2, 0);
    QCOMPARE(doc.GetCharFormat().HeightTwips, 600);
    doc.SetSelection(doc.ParagraphStart(2), 2);
    QCOMPARE(doc.GetCharFormat().HeightTwips, 200);
}

namespace {

// Runs written as "start,length,kind" separated by ";": kind r and g are
// text colours, b bold, i italic, 0 a run without a format.
QVector<TFormatRun> ParseRuns(const QString &spec)
{
    QVector<TFormatRun> runs;
    for (const QString &item : spec.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(QLatin1Char(','));
        TFormatRun run;
        run.Start = parts.at(0).toInt();
        run.Length = parts.at(1).toInt();
        const QChar kind = parts.at(2).at(0);
        if (kind == QLatin1Char('r') || kind == QLatin1Char('g')) {
            run.Format.Mask = CFM_COLOR;
            run.Format.TextColor = kind == QLatin1Char('r') ? 0x0000FF : 0x00FF00;
        } else if (kind == QLatin1Char('b')) {
            run.Format.Mask = CFM_BOLD;
            run.Format.Effects = CFE_BOLD;
        } else if (kind == QLatin1Char('i')) {
            run.Format.Mask = CFM_ITALIC;
            run.Format.Effects = CFE_ITALIC;
        }
        runs.append(run);
    }
    return runs;
}

// What one character should look like: each run over it, in order, sets its attribute.
QString ExpectedLook(const QVector<TFormatRun> &runs, int at)
{
    TColor color = 0;
    bool bold = false;
    bool italic = false;
    for (const TFormatRun &run : runs) {
        if (at < run.Start || at >= run.Start + run.Length)
            continue;
        if (run.Format.Mask & CFM_COLOR)
            color = run.Format.TextColor;
        if (run.Format.Mask & CFM_BOLD)
            bold = true;
        if (run.Format.Mask & CFM_ITALIC)
            italic = true;
    }
    return QStringLiteral("%1%2%3").arg(color, 6, 16, QLatin1Char('0')).arg(bold ? "b" : "").arg(italic ? "i" : "");
}

// The look of every character of a paragraph of the document.
QStringList Looks(const QTextBlock &block)
{
    QStringList looks;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        const TColor color
            = format.hasProperty(QTextFormat::ForegroundBrush) ? FromQColor(format.foreground().color()) : 0;
        const QString look = QStringLiteral("%1%2%3")
                                 .arg(color, 6, 16, QLatin1Char('0'))
                                 .arg(format.fontWeight() >= QFont::Bold ? "b" : "")
                                 .arg(format.fontItalic() ? "i" : "");
        for (int i = 0; i < it.fragment().length(); ++i)
            looks.append(look);
    }
    return looks;
}

} // namespace

void TestRichDocument::RunsMergeInTheirOrder_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("runs");
    QTest::newRow("none") << 10 << QString();
    QTest::newRow("disjoint, out of order") << 20 << QStringLiteral("12,3,r;2,4,g");
    QTest::newRow("overlapping colours: the later wins") << 20 << QStringLiteral("2,10,r;6,10,g;4,4,r");
    QTest::newRow("nested attributes add up") << 20 << QStringLiteral("0,20,b;5,5,i;7,1,r;5,5,g");
    QTest::newRow("touching runs") << 12 << QStringLiteral("0,4,r;4,4,g;8,4,r");
    QTest::newRow("empty, negative and formatless runs cut nothing wrong")
        << 12 << QStringLiteral("3,0,r;5,-2,g;2,6,0;4,3,b");
    QTest::newRow("runs past the ends") << 10 << QStringLiteral("-5,8,r;7,20,g;-3,30,i");
    QTest::newRow("empty paragraph") << 0 << QStringLiteral("0,3,r");
    // A long paragraph of quoted speech: many short runs one after another.
    QString many;
    for (int i = 0; i < 3000; ++i)
        many += QStringLiteral("%1,%2,%3;").arg(i * 10 + 1).arg(4 + i % 3).arg(i % 2 ? "g" : "r");
    QTest::newRow("three thousand runs") << 30000 << many;
}

void TestRichDocument::RunsMergeInTheirOrder()
{
    QFETCH(int, length);
    QFETCH(QString, runs);
    const QVector<TFormatRun> parsed = ParseRuns(runs);
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(QChar(u'a' + i % 26));
    QStringList expected;
    for (int i = 0; i < length; ++i)
        expected.append(ExpectedLook(parsed, i));
    TCharFormat black;
    black.Mask = CFM_COLOR;
    black.TextColor = 0;
    // The same paragraph appended alone and inside a bulk build, between others.
    for (const bool bulk : {false, true}) {
        TRichDocument doc;
        doc.SetCharFormat(black, true);
        if (bulk) {
            doc.BeginBulk();
            doc.AppendParagraph(QStringLiteral("before"), nullptr, nullptr, ParseRuns(QStringLiteral("1,2,b")));
        }
        doc.AppendParagraph(text, nullptr, nullptr, parsed);
        if (bulk) {
            doc.AppendParagraph(QStringLiteral("after"));
            doc.EndBulk();
        }
        const QTextBlock block = doc.Document()->findBlockByNumber(bulk ? 1 : 0);
        QCOMPARE(block.text(), text);
        QCOMPARE(Looks(block), expected);
        if (bulk)
            QCOMPARE(Looks(block.next()), QStringList(5, QStringLiteral("000000")));
    }
}

void TestRichDocument::FormatsReadBack()
{
    TParaFormat para;
    para.Mask = PFM_STARTINDENT | PFM_OFFSET | PFM_RIGHTINDENT | PFM_LINESPACING | PFM_SPACEAFTER | PFM_TABSTOPS
        | PFM_ALIGNMENT;
    para.StartIndent = 700;
    para.Offset = -283;
    para.RightIndent = 301;
    para.LineSpacing = 24;
    para.LineSpacingRule = 5;
    para.SpaceAfter = 97;
    para.Alignment = PFA_CENTER;
    para.TabStops = {720, 1441};
    QTextBlockFormat qt = ToQtBlockFormat(para);
    // First line at the start indent, the others at start indent + offset.
    QCOMPARE(qt.leftMargin() + qt.textIndent(), 700 / 15.0);
    QCOMPARE(qt.leftMargin(), (700 - 283) / 15.0);
    QCOMPARE(qt.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
    QCOMPARE(qt.lineHeight(), 120.0);
    TParaFormat back = FromQtBlockFormat(qt);
    QCOMPARE(back.StartIndent, 700);
    QCOMPARE(back.Offset, -283);
    QCOMPARE(back.RightIndent, 301);
    QCOMPARE(back.LineSpacing, 24);
    QCOMPARE(back.LineSpacingRule, 5);
    QCOMPARE(back.SpaceAfter, 97);
    QCOMPARE(back.Alignment, PFA_CENTER);
    QCOMPARE(back.TabStops, (QVector<int>{720, 1441}));

    // Only the offset given: the start indent already there stays.
    TParaFormat offsetOnly;
    offsetOnly.Mask = PFM_OFFSET;
    offsetOnly.Offset = 150;
    MergeQtBlockFormat(qt, offsetOnly);
    back = FromQtBlockFormat(qt);
    QCOMPARE(back.StartIndent, 700);
    QCOMPARE(back.Offset, 150);

    TCharFormat chars;
    chars.Mask = CFM_ALL_TEXT | CFM_BACKCOLOR;
    chars.FaceName = QString(40, QLatin1Char('F'));
    chars.HeightTwips = 237;
    chars.SpacingTwips = 17;
    chars.TextColor = 0x123456;
    chars.BackColor = ColorNone;
    chars.Effects = CFE_ITALIC | CFE_UNDERLINE;
    QTextCharFormat qc = ToQtCharFormat(chars);
    QVERIFY(qc.background().style() == Qt::NoBrush);
    TCharFormat cb = FromQtCharFormat(qc);
    QCOMPARE(cb.FaceName.size(), 31);
    QCOMPARE(cb.HeightTwips, 237);
    QCOMPARE(cb.SpacingTwips, 17);
    QCOMPARE(cb.TextColor, TColor(0x123456));
    QCOMPARE(cb.BackColor, ColorNone);
    QCOMPARE(cb.Effects, CFE_ITALIC | CFE_UNDERLINE);
    QCOMPARE(ToQColor(0x0000FF), QColor(255, 0, 0));
    QCOMPARE(FromQColor(QColor(1, 2, 3)), TColor(0x030201));

    // A back colour cleared over a coloured range.
    TRichDocument doc;
    doc.SetPlainText(QStringLiteral("coloured"));
    TCharFormat yellow;
    yellow.Mask = CFM_BACKCOLOR;
    yellow.BackColor = 0x00FFFF;
    doc.SelectAll();
    doc.SetCharFormat(yellow, false);
    QCOMPARE(doc.GetCharFormat().BackColor, TColor(0x00FFFF));
    yellow.BackColor = ColorNone;
    doc.SetCharFormat(yellow, true);
    QCOMPARE(doc.GetCharFormat().BackColor, ColorNone);
}

void TestRichDocument::WholeTextFormatBecomesDefault()
{
    TRichDocument doc;
    doc.SetPlainText(QStringLiteral("one\r\ntwo"));
    TCharFormat big;
    big.Mask = CFM_SIZE | CFM_FACE;
    big.HeightTwips = 360;
    big.FaceName = QStringLiteral("Serif");
    doc.SetCharFormat(big, true);
    TParaFormat para;
    para.Mask = PFM_ALIGNMENT | PFM_STARTINDENT;
    para.Alignment = PFA_RIGHT;
    para.StartIndent = 300;
    doc.SetParaFormat(para, true);
    doc.AppendText(QStringLiteral("three"));
    doc.SetSelection(doc.ParagraphStart(2), 2);
    QCOMPARE(doc.GetCharFormat().HeightTwips, 360);
    QCOMPARE(doc.GetCharFormat().FaceName, QStringLiteral("Serif"));
    QCOMPARE(doc.GetParaFormat().Alignment, PFA_RIGHT);
    QCOMPARE(doc.GetParaFormat().StartIndent, 300);
    doc.SetSelection(0, 1);
    QCOMPARE(doc.GetCharFormat().HeightTwips, 360);

    // The same inside a bulk build.
    doc.BeginBulk();
    doc.AppendParagraph(QStringLiteral("a"));
    TCharFormat bold;
    bold.Mask = CFM_BOLD;
    bold.Effects = CFE_BOLD;
    doc.SetCharFormat(bold, true);
    doc.AppendParagraph(QStringLiteral("b"));
    doc.EndBulk();
    QCOMPARE(doc.GetText(), QStringLiteral("a\r\nb"));
    doc.SetSelection(0, 1);
    QVERIFY(doc.GetCharFormat().Effects & CFE_BOLD);
    doc.SetSelection(3, 1);
    QVERIFY(doc.GetCharFormat().Effects & CFE_BOLD);
    QCOMPARE(doc.GetCharFormat().HeightTwips, 360);
}

void TestRichDocument::SearchIgnoresCaseNotDiacritics()
{
    TRichDocument doc;
    doc.SetPlainText(QStringLiteral("Café cafe\r\nCAFE café"));
    QCOMPARE(doc.FindText(QStringLiteral("cafe"), 0, -1, true), 5);
    QCOMPARE(doc.FindText(QStringLiteral("CAFÉ"), 0, -1, true), 0);
    QCOMPARE(doc.FindText(QStringLiteral("café"), 1, -1, true), 16);
    QCOMPARE(doc.FindText(QStringLiteral("cafe"), 6, -1, true), 11);
    QCOMPARE(doc.FindText(QStringLiteral("cafe"), 0, 14, false), 5); // 11..15 ends past 14
    QCOMPARE(doc.FindText(QStringLiteral("cafe"), 0, 15, false), 11);
    QCOMPARE(doc.FindText(QStringLiteral("cafe"), 0, 11, false), 5);
    QCOMPARE(doc.FindText(QStringLiteral("café"), 0, 16, false), 0);
    QCOMPARE(doc.FindText(QStringLiteral("cafe"), 0, 8, true), -1);
    QCOMPARE(doc.FindText(QString(), 0, -1, true), -1);
    QCOMPARE(doc.FindText(QStringLiteral("zzz"), 0, -1, false), -1);
}

void TestRichDocument::ProgramEditBlockKeepsTheFlag_data()
{
    QTest::addColumn<bool>("edited");
    QTest::newRow("edited") << true;
    QTest::newRow("as loaded") << false;
}

// Many format steps in one block of the program's, as the quote colouring
// makes them, leave the flag as the reader's edits left it.
void TestRichDocument::ProgramEditBlockKeepsTheFlag()
{
    QFETCH(bool, edited);
    TRichDocument doc;
    doc.SetPlainText(QStringLiteral("one \"two\" three\r\nfour"));
    doc.SetModified(edited);
    {
        const TProgramEdit edit(doc);
        for (int start : {0, 4, 10}) {
            doc.SetSelection(start, 3);
            doc.SetSelectionColor(0xFF);
        }
    }
    QCOMPARE(doc.IsModified(), edited);
}

void TestRichDocument::ModifiedFlagKeptByProgram()
{
    TRichDocument doc;
    doc.SetPlainText(QStringLiteral("text"));
    QVERIFY(!doc.IsModified());
    doc.AppendText(QStringLiteral("more"));
    doc.SetTextColorAll(0xFF);
    doc.SelectAll();
    doc.SetSelectionColor(0xFF00);
    QVERIFY(!doc.IsModified());
    // A user's edit (here: a cursor edit on the document) sets it.
    QTextCursor(doc.Document()).insertText(QStringLiteral("x"));
    QVERIFY(doc.IsModified());
    doc.SetTextColorAll(0xFF);
    QVERIFY(doc.IsModified());
    doc.SetModified(false);
    QVERIFY(!doc.IsModified());
}

void TestRichDocument::SelectionSurvivesFormatChange()
{
    TRichDocument doc;
    doc.SetPlainText(QStringLiteral("first paragraph\r\nsecond paragraph\r\nthird"));
    doc.SetSelection(20, 4);
    TParaFormat para;
    para.Mask = PFM_LINESPACING | PFM_SPACEAFTER;
    para.LineSpacing = 30;
    para.LineSpacingRule = 5;
    para.SpaceAfter = 200;
    doc.SetParaFormat(para, true);
    TCharFormat size;
    size.Mask = CFM_SIZE;
    size.HeightTwips = 480;
    doc.SetCharFormat(size, true);
    QCOMPARE(doc.SelectionStart(), 20);
    QCOMPARE(doc.SelectionLength(), 4);
    QCOMPARE(doc.GetTextLength(), 40);
    QCOMPARE(doc.ParagraphStart(2), 35);
}

QTEST_GUILESS_MAIN(TestRichDocument)
#include "test_richdocument.moc"
