// The soft hyphens a document adds for hyphenation and the spaces it holds
// against line breaks: no part of its text, its positions or its search,
// moved along with every change; the lines they give, at most two
// hyphenated in a row.
#include "FakeHyphenation.h"
#include "HyphenatedLines.h"
#include "RichDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QTextLayout>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

const QStringList Paragraphs = {
    QStringLiteral("Extraordinary whales"),
    QString(),
    QStringLiteral("Call me Ishmael, said the harpooneer to nobody."),
    QStringLiteral("short"),
};

// A document built in bulk with the paragraphs and the hook.
void Build(TRichDocument &doc, const QStringList &paragraphs = Paragraphs)
{
    doc.SetHyphenation(EveryThirdLetter);
    doc.BeginBulk();
    for (const QString &paragraph : paragraphs)
        doc.AppendParagraph(paragraph);
    doc.EndBulk();
    doc.SetHyphenation({});
}

QString Expected(const QStringList &paragraphs = Paragraphs) { return paragraphs.join(QStringLiteral("\r\n")); }

// Every position of the text maps to a Qt position and back, onto the same
// character; the LF half of a break maps to its block's end.
void CheckPositions(const TRichDocument &doc)
{
    const QString text = doc.GetText();
    QCOMPARE(doc.GetTextLength(), int(text.size()));
    for (int p = 0; p <= text.size(); ++p) {
        const int q = doc.ToQtPosition(p);
        if (p > 0 && text.at(p - 1) == QLatin1Char('\r')) {
            QCOMPARE(doc.FromQtPosition(q), p - 1);
            continue;
        }
        QCOMPARE(doc.FromQtPosition(q), p);
        if (p < text.size() && text.at(p) != QLatin1Char('\r'))
            QCOMPARE(doc.SoftHyphens().IsHeld(q) ? QLatin1Char(' ') : doc.Document()->characterAt(q), text.at(p));
    }
}

} // namespace

class TestSoftHyphens : public QObject {
    Q_OBJECT
private slots:
    void TextAndPositionsPassOverThem();
    void AppendedOutsideBulk();
    void SearchFindsHyphenatedWords();
    void EditsMoveThem();
    void FormatChangesKeepThem();
    void BooksOwnSoftHyphenStays();
    void ManyParagraphsRoundTrip();
    void DroppedOnesLeaveTheText();
    void AtMostTwoHyphenatedLinesInARow();
    void DroppedAtPositionsOnly();
    void ChosenHyphensKeepTheTextAndTheRuns();
    void HeldBreaksLeaveTheText();
    void HeldBreaksAreKeptByQt();
    void CopyWithoutTheLineBreaking();
    void ChosenLinesAreNoLooserThanQts();
};

void TestSoftHyphens::TextAndPositionsPassOverThem()
{
    TRichDocument doc;
    Build(doc);
    QVERIFY(doc.HasSoftHyphens());
    // "Ext~rao~rdi~nary", "whales" 6: "wha~les"; Ishmael, harpooneer, nobody.
    QVERIFY(doc.Document()->toRawText().count(SoftHyphen) >= 6);
    QCOMPARE(doc.GetText(), Expected());
    QVERIFY(!doc.GetText().contains(SoftHyphen));
    CheckPositions(doc);
    QCOMPARE(doc.ParagraphStart(2), int(Paragraphs.at(0).size()) + 4);
    QCOMPARE(doc.GetTextRange(2, 17), Expected().mid(2, 15));
    doc.SetSelection(3, 12);
    QCOMPARE(doc.SelectedText(), QStringLiteral("raordinary w"));
    QCOMPARE(doc.SelectionStart(), 3);
    QCOMPARE(doc.SelectionLength(), 12);
    QCOMPARE(doc.ToPlainTextCrLf(), Expected() + QStringLiteral("\r\n"));
    // A position on a word's letter after a soft hyphen lies right before
    // the letter, never before the soft hyphen on the line above.
    const int r = Expected().indexOf(QLatin1String("rao"));
    QCOMPARE(doc.Document()->characterAt(doc.ToQtPosition(r) - 1), SoftHyphen);
}

void TestSoftHyphens::AppendedOutsideBulk()
{
    TRichDocument doc;
    doc.SetHyphenation(EveryThirdLetter);
    for (const QString &paragraph : Paragraphs)
        doc.AppendParagraph(paragraph);
    QVERIFY(doc.HasSoftHyphens());
    QCOMPARE(doc.GetText(), Expected());
    CheckPositions(doc);
    // Plain text added afterwards is never hyphenated.
    doc.SetHyphenation({});
    doc.AppendText(QStringLiteral("Marvellous"));
    QCOMPARE(doc.GetText(), Expected() + QStringLiteral("\r\nMarvellous"));
}

void TestSoftHyphens::SearchFindsHyphenatedWords()
{
    TRichDocument doc;
    Build(doc);
    const QString text = Expected();
    QCOMPARE(doc.FindText(QStringLiteral("extraordinary"), 0, -1, true), 0);
    QCOMPARE(doc.FindText(QStringLiteral("HARPOONEER"), 0, -1, true), int(text.indexOf(QLatin1String("harpooneer"))));
    QCOMPARE(doc.FindText(QStringLiteral("poonee"), 0, -1, true), int(text.indexOf(QLatin1String("poonee"))));
    QCOMPARE(doc.FindText(QStringLiteral("ishmael"), doc.GetTextLength(), doc.GetTextLength(), false), -1);
    QCOMPARE(doc.FindText(QStringLiteral("ishmael"), 0, -1, false), int(text.indexOf(QLatin1String("Ishmael"))));
    QCOMPARE(doc.FindText(QStringLiteral("whales"), 5, 10, true), -1); // ends past the range
    QCOMPARE(doc.FindText(QStringLiteral("a.b"), 0, -1, true), -1); // no pattern characters
}

void TestSoftHyphens::EditsMoveThem()
{
    TRichDocument doc;
    Build(doc);
    QString text = Expected();
    QTextDocument *qt = doc.Document();
    qt->documentLayout(); // a layout tells of all the text once: nothing moved
    QCOMPARE(doc.GetText(), text);
    QTextCursor cursor(qt);
    // Typed in front: everything moves on.
    cursor.setPosition(0);
    cursor.insertText(QStringLiteral("An "));
    text.prepend(QStringLiteral("An "));
    QCOMPARE(doc.GetText(), text);
    CheckPositions(doc);
    // A hyphenated word deleted, then brought back by undo.
    const int start = int(text.indexOf(QLatin1String("harpooneer")));
    cursor.setPosition(doc.ToQtPosition(start));
    cursor.setPosition(doc.ToQtPosition(start + 10), QTextCursor::KeepAnchor);
    const int before = doc.SoftHyphens().Count();
    cursor.removeSelectedText();
    QVERIFY(doc.SoftHyphens().Count() < before);
    QCOMPARE(doc.GetText(), QString(text).remove(start, 10));
    CheckPositions(doc);
    qt->undo();
    QCOMPARE(doc.SoftHyphens().Count(), before);
    QCOMPARE(doc.GetText(), text);
    CheckPositions(doc);
    // A paragraph break typed inside a hyphenated word.
    const int at = int(text.indexOf(QLatin1String("Ishmael"))) + 4;
    cursor.setPosition(doc.ToQtPosition(at));
    cursor.insertBlock();
    text.insert(at, QStringLiteral("\r\n"));
    QCOMPARE(doc.GetText(), text);
    CheckPositions(doc);
}

void TestSoftHyphens::FormatChangesKeepThem()
{
    TRichDocument doc;
    Build(doc);
    doc.Document()->documentLayout();
    const int count = doc.SoftHyphens().Count();
    TCharFormat bold;
    bold.Mask = CFM_BOLD;
    bold.Effects = CFE_BOLD;
    doc.SetCharFormat(bold, true);
    doc.SetSelection(2, 20);
    doc.SetSelectionColor(0x0000FF);
    QCOMPARE(doc.SoftHyphens().Count(), count);
    QCOMPARE(doc.GetText(), Expected());
    CheckPositions(doc);
}

void TestSoftHyphens::BooksOwnSoftHyphenStays()
{
    // A soft hyphen the book itself holds is part of its text.
    const QStringList own = {QStringLiteral("co\u00ADoperation and extraordinary things")};
    TRichDocument doc;
    Build(doc, own);
    QVERIFY(doc.HasSoftHyphens());
    QCOMPARE(doc.GetText(), own.first());
    CheckPositions(doc);
}

void TestSoftHyphens::ManyParagraphsRoundTrip()
{
    QStringList paragraphs;
    for (int i = 0; i < 3000; ++i)
        paragraphs << (i % 5 == 0 ? QString() : QStringLiteral("Word%1 extraordinarily hyphenated paragraph").arg(i));
    TRichDocument doc;
    Build(doc, paragraphs);
    const QString all = doc.GetText();
    QCOMPARE(all, Expected(paragraphs));
    auto *rng = QRandomGenerator::global();
    for (int i = 0; i < 3000; ++i) {
        const int p = rng->bounded(all.size() + 1);
        if (p > 0 && all.at(p - 1) == QLatin1Char('\r'))
            continue;
        QCOMPARE(doc.FromQtPosition(doc.ToQtPosition(p)), p);
    }
    QCOMPARE(doc.ParagraphStart(2999), int(all.lastIndexOf(QLatin1String("\r\n"))) + 2);
}

void TestSoftHyphens::DroppedOnesLeaveTheText()
{
    TRichDocument doc;
    Build(doc);
    const int count = doc.SoftHyphens().Count();
    // The soft hyphens of "Extraordinary".
    const int end = doc.ToQtPosition(13);
    QVERIFY(doc.DropSoftHyphens(0, end));
    QVERIFY(!doc.DropSoftHyphens(0, doc.ToQtPosition(13)));
    QCOMPARE(doc.SoftHyphens().Count(), count - 3);
    QCOMPARE(doc.GetText(), Expected());
    QVERIFY(!doc.IsModified());
    CheckPositions(doc);
}

void TestSoftHyphens::AtMostTwoHyphenatedLinesInARow()
{
    // Long words in a narrow column: Qt breaks at a soft hyphen on line
    // after line.
    QString paragraph;
    for (int i = 0; i < 40; ++i)
        paragraph += QStringLiteral("abcdefghijklmnopqr ");
    paragraph += QStringLiteral("end");
    TRichDocument doc;
    Build(doc, {paragraph});
    QTextDocument *qt = doc.Document();
    qt->setPageSize(QSizeF(95, 1e7));
    QTextBlock block = qt->firstBlock();
    qt->documentLayout()->blockBoundingRect(block);
    auto longestRun = [&] {
        int longest = 0, run = 0;
        for (bool hyphenated : HyphenatedLineEnds(qt->firstBlock())) {
            run = hyphenated ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        return longest;
    };
    QVERIFY2(longestRun() > 2, "the column does not make long runs");
    QVERIFY(LimitHyphenatedRuns(doc, block));
    QVERIFY(longestRun() <= 2);
    QVERIFY(qt->firstBlock().layout()->lineCount() > 0);
    QCOMPARE(doc.GetText(), paragraph);
    QVERIFY(doc.HasSoftHyphens());
    // Once held, nothing more to do.
    QVERIFY(!LimitHyphenatedRuns(doc, qt->firstBlock()));
}

void TestSoftHyphens::DroppedAtPositionsOnly()
{
    TRichDocument doc;
    Build(doc);
    const std::vector<int> all = doc.SoftHyphens().All();
    QVERIFY(all.size() >= 4);
    // Two of them, a position without one, and one given twice.
    const std::vector<int> asked = {all[0] - 1, all[0], all[2], all[2]};
    QVERIFY(doc.DropSoftHyphensAt(asked));
    QCOMPARE(doc.SoftHyphens().Count(), int(all.size()) - 2);
    QCOMPARE(doc.SoftHyphens().All().front(), all[1] - 1);
    QCOMPARE(doc.GetText(), Expected());
    QVERIFY(!doc.IsModified());
    CheckPositions(doc);
    QVERIFY(!doc.DropSoftHyphensAt({}));
}

namespace {

// A paragraph of `count` words taken from `words` every `step`-th, ended by
// "end".
QString Mixed(const QStringList &words, int count, int step)
{
    QString paragraph;
    for (int i = 0; i < count; ++i)
        paragraph += words.at((i * step) % words.size()) + QLatin1Char(' ');
    return paragraph + QStringLiteral("end");
}

// A long paragraph of long words in a narrow column, laid out.
QString LongWords()
{
    return Mixed({QStringLiteral("extraordinary"), QStringLiteral("whales"), QStringLiteral("a"),
                  QStringLiteral("harpooneers"), QStringLiteral("of"), QStringLiteral("unmistakable"),
                  QStringLiteral("Nantucket"), QStringLiteral("in"), QStringLiteral("the")},
                 120, 7);
}

void LayOut(TRichDocument &doc, double width)
{
    QTextDocument *qt = doc.Document();
    qt->setPageSize(QSizeF(width, 1e7));
    qt->documentLayout()->blockBoundingRect(qt->firstBlock());
}

int LongestRun(const QTextBlock &block)
{
    int longest = 0, run = 0;
    for (bool hyphenated : HyphenatedLineEnds(block)) {
        run = hyphenated ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

} // namespace

void TestSoftHyphens::ChosenHyphensKeepTheTextAndTheRuns()
{
    TRichDocument doc;
    Build(doc, {LongWords()});
    LayOut(doc, 140);
    QVERIFY(ChooseHyphenation(doc, doc.Document()->firstBlock()));
    QTextBlock block = doc.Document()->firstBlock();
    QVERIFY(block.layout()->lineCount() > 0);
    QVERIFY(LongestRun(block) <= 2);
    QCOMPARE(doc.GetText(), LongWords());
    QVERIFY(!doc.IsModified());
    CheckPositions(doc);
    // Settled for this width; a new width chooses again.
    QVERIFY(!ChooseHyphenation(doc, block));
    const int left = doc.SoftHyphens().Count();
    LayOut(doc, 230);
    ChooseHyphenation(doc, doc.Document()->firstBlock());
    QVERIFY(LongestRun(doc.Document()->firstBlock()) <= 2);
    QVERIFY(doc.SoftHyphens().Count() <= left);
}

void TestSoftHyphens::HeldBreaksLeaveTheText()
{
    TRichDocument doc;
    Build(doc);
    const std::vector<int> all = doc.SoftHyphens().All();
    const int end = doc.Document()->characterCount();
    const int me = doc.ToQtPosition(Expected().indexOf(QStringLiteral(" Ishmael")));
    const int said = doc.ToQtPosition(Expected().indexOf(QStringLiteral(" said")));
    const int shortWord = doc.ToQtPosition(Expected().indexOf(QStringLiteral("short")));
    // A soft hyphen goes and two spaces are held, in one edit; a position
    // that is no space is not held.
    QVERIFY(doc.ChangeLineBreaks(0, end, {me, said, shortWord}, {all[0]}));
    QCOMPARE(doc.SoftHyphens().Count(), int(all.size()) - 1);
    QCOMPARE(doc.SoftHyphens().Held(), std::vector<int>({me - 1, said - 1}));
    QCOMPARE(doc.Document()->characterAt(me - 1), QChar(QChar::Nbsp));
    QCOMPARE(doc.GetText(), Expected());
    QCOMPARE(doc.GetTextRange(0, doc.GetTextLength()), Expected());
    QVERIFY(!doc.IsModified());
    CheckPositions(doc);
    const int found = doc.FindText(QStringLiteral("me ishmael, said"), 0, -1, true);
    QCOMPARE(found, int(Expected().indexOf(QStringLiteral("me Ish"))));
    // Holding the same ones again changes nothing; an empty list sets them
    // free.
    QVERIFY(!doc.ChangeLineBreaks(0, end, doc.SoftHyphens().Held(), {}));
    QVERIFY(doc.ChangeLineBreaks(0, end, {}, {}));
    QVERIFY(doc.SoftHyphens().Held().empty());
    QCOMPARE(doc.Document()->characterAt(me - 1), QLatin1Char(' '));
    QCOMPARE(doc.GetText(), Expected());
}

void TestSoftHyphens::HeldBreaksAreKeptByQt()
{
    TRichDocument doc;
    const QString words = QStringLiteral("one two three four five six seven eight nine ten eleven twelve");
    Build(doc, {words});
    LayOut(doc, 1e6);
    const QTextLine whole = doc.Document()->firstBlock().layout()->lineAt(0);
    const double oneLine = whole.naturalTextWidth();
    const int seven = doc.ToQtPosition(words.indexOf(QStringLiteral(" eight")));
    // Room up to "seven": Qt's first line ends there.
    const double room = whole.cursorToX(seven) + 1 + 2 * doc.Document()->documentMargin();
    LayOut(doc, room);
    QCOMPARE(doc.Document()->firstBlock().layout()->lineAt(0).textLength(), seven + 1);
    // With the spaces after "six" and "seven" held it ends after "five",
    // the widths unchanged.
    const int six = doc.ToQtPosition(words.indexOf(QStringLiteral(" six")));
    const std::vector<int> holds = {doc.ToQtPosition(words.indexOf(QStringLiteral(" seven"))), seven};
    QVERIFY(doc.ChangeLineBreaks(0, doc.Document()->characterCount(), holds, {}));
    LayOut(doc, 1e6);
    QCOMPARE(doc.Document()->firstBlock().layout()->lineAt(0).naturalTextWidth(), oneLine);
    LayOut(doc, room);
    QCOMPARE(doc.Document()->firstBlock().layout()->lineAt(0).textLength(), six + 1);
    // Edits before them move them; an edit over one lets it go.
    QTextCursor cursor(doc.Document());
    cursor.insertText(QStringLiteral("zero "));
    QCOMPARE(doc.SoftHyphens().Held().front(), holds.front() + 5);
    QCOMPARE(doc.GetText(), QStringLiteral("zero ") + words);
    cursor.setPosition(holds.front() + 5);
    cursor.setPosition(holds.front() + 7, QTextCursor::KeepAnchor);
    cursor.insertText(QStringLiteral("_"));
    QCOMPARE(int(doc.SoftHyphens().Held().size()), int(holds.size()) - 1);
    QString edited = QStringLiteral("zero ") + words;
    edited.replace(5 + int(words.indexOf(QStringLiteral(" seven"))), 2, QStringLiteral("_"));
    QCOMPARE(doc.GetText(), edited);
    CheckPositions(doc);
}

// A copy of the Qt document (as printing makes) with the book's text.
void TestSoftHyphens::CopyWithoutTheLineBreaking()
{
    TRichDocument doc;
    Build(doc);
    const int space = doc.ToQtPosition(Expected().indexOf(QStringLiteral(" said")));
    QVERIFY(doc.ChangeLineBreaks(0, doc.Document()->characterCount(), {space}, {}));
    const std::unique_ptr<QTextDocument> copy(doc.Document()->clone());
    TakeOutLineBreaking(*copy, doc.SoftHyphens());
    QCOMPARE(copy->toRawText().replace(QChar::ParagraphSeparator, QStringLiteral("\r\n")), Expected());
}

namespace {

// The lines of a laid-out block whose gaps grow beyond twice a space when
// justified.
int WideLines(const QTextBlock &block, double space)
{
    int wide = 0;
    const QString text = block.text();
    for (int i = 0; i + 1 < block.layout()->lineCount(); ++i) {
        const QTextLine line = block.layout()->lineAt(i);
        const int gaps = int(text.mid(line.textStart(), line.textLength()).trimmed().count(QLatin1Char(' ')));
        if (gaps > 0 && line.width() - line.naturalTextWidth() > gaps * space)
            ++wide;
    }
    return wide;
}

} // namespace

void TestSoftHyphens::ChosenLinesAreNoLooserThanQts()
{
    // Short words the patterns cannot break, between long ones.
    const QString paragraph = Mixed({QStringLiteral("extraordinarily"), QStringLiteral("sad"), QStringLiteral("a"),
                                     QStringLiteral("chest"), QStringLiteral("of"), QStringLiteral("whalebone"),
                                     QStringLiteral("an"), QStringLiteral("harpooneer"), QStringLiteral("sadly")},
                                    200, 5);
    const double space = QFontMetricsF(QTextDocument().defaultFont()).horizontalAdvance(QLatin1Char(' '));
    bool held = false;
    for (double width : {150.0, 190.0, 260.0}) {
        TRichDocument greedy, chosen;
        Build(greedy, {paragraph});
        Build(chosen, {paragraph});
        LayOut(greedy, width);
        LayOut(chosen, width);
        ChooseHyphenation(chosen, chosen.Document()->firstBlock());
        held = held || !chosen.SoftHyphens().Held().empty();
        QTextBlock block = chosen.Document()->firstBlock();
        QVERIFY(WideLines(block, space) <= WideLines(greedy.Document()->firstBlock(), space));
        QVERIFY(LongestRun(block) <= 2);
        QCOMPARE(chosen.GetText(), paragraph);
        CheckPositions(chosen);
        // No line ends at a held space.
        for (int i = 0; i + 1 < block.layout()->lineCount(); ++i) {
            const QTextLine line = block.layout()->lineAt(i);
            QVERIFY(block.text().at(line.textStart() + line.textLength() - 1) != QChar(QChar::Nbsp));
        }
        // Another width frees the spaces held for this one.
        LayOut(chosen, width + 37);
        ChooseHyphenation(chosen, chosen.Document()->firstBlock());
        QCOMPARE(chosen.GetText(), paragraph);
        CheckPositions(chosen);
    }
    QVERIFY(held); // lines were ended before Qt's own breaks
}

QTEST_MAIN(TestSoftHyphens)
#include "test_softhyphens.moc"
