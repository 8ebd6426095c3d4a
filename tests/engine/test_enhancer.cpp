// The line walk: joining, paragraph starts, headings, separators, prefixes,
// the chapters menu and the positions it records.
#include "Dialogs.h"
#include "EngineTestHelpers.h"
#include "FunStatContext.h"

#include <QRandomGenerator>

#include <QtTest>

class TestEnhancer : public QObject {
    Q_OBJECT
private slots:
    void lineRules();
    void wellAndPoorlyWritten();
    void emptyLinesAndSeparators();
    void prefixes();
    void chaptersMenu();
    void progressStopsRun();
    void arbitraryInput();
};

void TestEnhancer::lineRules()
{
    auto join = [](const char *p, const char *n) {
        QString paragraph = QString::fromUtf8(p);
        TEnhancedRichEdit::JoinLine(paragraph, QString::fromUtf8(n));
        return paragraph;
    };
    QCOMPARE(join("exam-", "ple"), QStringLiteral("example"));
    QCOMPARE(join("Anglo-", "Saxon"), QStringLiteral("Anglo- Saxon"));
    QCOMPARE(join("well-", "known"), QStringLiteral("wellknown"));
    QCOMPARE(join("x-", "y"), QStringLiteral("xy"));
    QCOMPARE(join("-", "y"), QStringLiteral("- y")); // too short to be a broken word
    QCOMPARE(join("1-", "y"), QStringLiteral("1- y")); // a digit before the hyphen
    QCOMPARE(join("é-", "y"), QStringLiteral("é- y")); // only a..z count as letters
    QCOMPARE(join("", "abc"), QStringLiteral("abc"));
    QCOMPARE(join("abc", ""), QStringLiteral("abc"));

    QVERIFY(TEnhancedRichEdit::IsIndentedLine(u"\tx"));
    QVERIFY(TEnhancedRichEdit::IsIndentedLine(u"  x"));
    QVERIFY(TEnhancedRichEdit::IsIndentedLine(u" \tx"));
    QVERIFY(!TEnhancedRichEdit::IsIndentedLine(u" x"));
    QVERIFY(!TEnhancedRichEdit::IsIndentedLine(u" "));
    QVERIFY(!TEnhancedRichEdit::IsIndentedLine(u""));

    QVERIFY(TEnhancedRichEdit::IsChapterHeading(u"CHAPTER IV"));
    QVERIFY(TEnhancedRichEdit::IsChapterHeading(u"Book one"));
    QVERIFY(TEnhancedRichEdit::IsChapterHeading(u"PART ONE--The Old Buccaneer"));
    QVERIFY(TEnhancedRichEdit::IsChapterHeading(u"Section 1. General Terms"));
    QVERIFY(TEnhancedRichEdit::IsChapterHeading(u"# anything"));
    QVERIFY(TEnhancedRichEdit::IsChapterHeading(u"\u00A7 12"));
    QVERIFY(!TEnhancedRichEdit::IsChapterHeading(u"chapter 4"));
    QVERIFY(!TEnhancedRichEdit::IsChapterHeading(u"Chapter"));
    QVERIFY(!TEnhancedRichEdit::IsChapterHeading(u"PARTLY from the damping"));
    QVERIFY(!TEnhancedRichEdit::IsChapterHeading(u"Chapter\tIV"));
    QVERIFY(!TEnhancedRichEdit::IsChapterHeading(u""));

    for (const char16_t *yes : {u"*", u"**", u"***", u"--", u"---------", u"=====", u"\u00B7\u00B7\u00B7", u"***x"})
        QVERIFY(TEnhancedRichEdit::IsSeparatorLine(yes));
    for (const char16_t *no : {u"* * *", u"*-", u"-x", u"", u"a**", u"==x"})
        QVERIFY(!TEnhancedRichEdit::IsSeparatorLine(no));

    QCOMPARE(TEnhancedRichEdit::TranslatePrefix(QStringLiteral("None")), QString());
    QCOMPARE(TEnhancedRichEdit::TranslatePrefix(QStringLiteral("Tab")), QStringLiteral("\t"));
    QCOMPARE(TEnhancedRichEdit::TranslatePrefix(QStringLiteral("Blanks")), QStringLiteral("  "));
    QCOMPARE(TEnhancedRichEdit::TranslatePrefix(QStringLiteral("- ")), QStringLiteral("- "));
}

void TestEnhancer::wellAndPoorlyWritten()
{
    // Well written: only an indented line after a sentence end starts a paragraph.
    QCOMPARE(Enhance(L("He came.|She left.")), QStringList{"He came. She left."});
    QCOMPARE(Enhance(L("He came.|\tShe left.")), (QStringList{"He came.", "She left."}));
    QCOMPARE(Enhance(L("he said,|\tand went")), QStringList{"he said, and went"});
    QCOMPARE(Enhance(L("He came.| She left.")), QStringList{"He came. She left."}); // one space is no indent
    QCOMPARE(Enhance(L("He came.|  \u201CYes,\u201D she said.")),
             (QStringList{"He came.", "\u201CYes,\u201D she said."}));
    // Poorly written: every sentence end before a capital or a quote.
    QCOMPARE(Enhance(L("He came.|She left."), false, true), (QStringList{"He came.", "She left."}));
    QCOMPARE(Enhance(L("He came|She left."), false, true), QStringList{"He came She left."});
    QCOMPARE(Enhance(L("Go!|\"Now,\" he said"), false, true), (QStringList{"Go!", "\"Now,\" he said"}));
    // A colon before a capital, in both modes.
    for (bool poorly : {false, true}) {
        QCOMPARE(Enhance(L("Note:|The rest"), false, poorly), (QStringList{"Note:", "The rest"}));
        QCOMPARE(Enhance(L("Note:|the rest"), false, poorly), QStringList{"Note: the rest"});
    }
    // Long paragraphs over many lines, with a hyphenated word and trimming.
    QCOMPARE(Enhance(L("  It was a  |long exam-  |ple of a|wrapped para-|graph.|\tNext one")),
             (QStringList{"It was a long example of a wrapped paragraph.", "Next one"}));
    // Lists, commands and section marks are never joined.
    QCOMPARE(Enhance(L("Items|- one|* two|\u00B7 three|= four")),
             (QStringList{"Items", "- one", "* two", "\u00B7 three", "= four"}));
    QCOMPARE(Enhance(L("Text|# Title|more")), (QStringList{"Text", "# Title", "more"}));
    QCOMPARE(Enhance(L("Text|CHAPTER II|The next")), (QStringList{"Text", "CHAPTER II", "The next"}));
    // An empty list of lines.
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    QCOMPARE(Enhance(engine, sink, QStringList()), QStringList());
    QVERIFY(!engine.ChaptersMenu());
    QCOMPARE(engine.ChapterCount, 0);
    QVERIFY(sink.Ended);
}

void TestEnhancer::emptyLinesAndSeparators()
{
    QCOMPARE(Enhance(L("A|||B"), true), (QStringList{"A", "", "B"}));
    QCOMPARE(Enhance(L("A|||B"), false), (QStringList{"A", "", "", "B"}));
    QCOMPARE(Enhance(L("A||B||C"), true), (QStringList{"A", "B", "C"}));
    QCOMPARE(Enhance(L("|A"), true), (QStringList{"", "A"})); // leading empty lines stay
    QCOMPARE(Enhance(L("A|b||C"), true), (QStringList{"A b", "C"}));
    // Blank lines of spaces count as empty.
    QCOMPARE(Enhance(L("A| \t |B"), true), (QStringList{"A", "B"}));
    // Separator lines stand alone.
    QCOMPARE(Enhance(L("end of part|--|next part")), (QStringList{"end of part", "--", "next part"}));
    QCOMPARE(Enhance(L("end|***|next")), (QStringList{"end", "***", "next"}));
    QCOMPARE(Enhance(L("end|=====|next")), (QStringList{"end", "=====", "next"}));
    QCOMPARE(Enhance(L("end|* * *|next")), (QStringList{"end", "* * * next"})); // not a separator line
    // A three-line paragraph whose last line is looked at twice.
    QCOMPARE(Enhance(L("one|two|three.|\tFour.")), (QStringList{"one two three.", "Four."}));
    QCOMPARE(Enhance(L("one|two|three|\tFour.")), QStringList{"one two three Four."});
}

void TestEnhancer::prefixes()
{
    QCOMPARE(Enhance(L("Alpha.|\tBeta.||Chapter 1|Gamma"), false, false, QStringLiteral("Blanks")),
             (QStringList{"  Alpha.", "  Beta.", "", "Chapter 1", "  Gamma"}));
    QCOMPARE(Enhance(L("Alpha."), false, false, QStringLiteral("Tab")), QStringList{"\tAlpha."});
    QCOMPARE(Enhance(L("Alpha."), false, false, QStringLiteral("\u00B7 ")), QStringList{"\u00B7 Alpha."});
    QCOMPARE(Enhance(L("Alpha."), false, false, QStringLiteral("None")), QStringList{"Alpha."});
}

void TestEnhancer::chaptersMenu()
{
    // 31 headings: 30 menu items; the 31st is an ordinary paragraph.
    QStringList lines;
    for (int i = 1; i <= 31; ++i)
        lines << QStringLiteral("Chapter %1").arg(i) << QString() << QStringLiteral("Text.") << QString();
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    QList<int> clicked;
    engine.ItemClick = [&clicked](int position) { clicked.append(position); };
    const QStringList texts = Enhance(engine, sink, lines, false, false, QStringLiteral("Blanks"));
    QVERIFY(engine.ChaptersMenu());
    QCOMPARE(engine.ChapterItemCount(), 30);
    QCOMPARE(engine.ChapterCount, 30);
    QVERIFY(texts.contains(QStringLiteral("Chapter 30")));
    QVERIFY(texts.contains(QStringLiteral("  Chapter 31")));
    // Positions: two characters per paragraph break, prefixes included.
    int position = 0;
    QList<int> starts;
    for (const QString &text : texts) {
        starts << position;
        position += text.size() + 2;
    }
    for (int i = 0; i < 30; ++i) {
        const TChapterItem &item = engine.ChaptersMenu()->Item(i);
        QCOMPARE(item.Caption, QStringLiteral("Chapter %1").arg(i + 1));
        QCOMPARE(texts.at(starts.indexOf(item.Tag)), item.Caption);
    }
    engine.ChaptersMenu()->ClickItem(1);
    engine.ChaptersMenu()->ClickItem(99); // out of range: ignored
    QCOMPARE(clicked, QList<int>{engine.ChaptersMenu()->Item(1).Tag});
    QCOMPARE(engine.ChaptersMenu()->Item(1).Tag, (9 + 2) + 2 + (7 + 2) + 2); // "Chapter 1", "", "  Text.", ""

    // Headings longer than 50 characters are cut in the menu only.
    const QString longHeading = QStringLiteral("CHAPTER I. ") + QString(60, QLatin1Char('x'));
    Enhance(engine, sink, QStringList{QStringLiteral("Intro"), QString(), longHeading});
    QCOMPARE(engine.ChapterItemCount(), 1);
    QCOMPARE(engine.ChaptersMenu()->Item(0).Caption, longHeading.left(50));
    QCOMPARE(engine.ChaptersMenu()->Item(0).Tag, 9);
    QCOMPARE(sink.Texts().last(), longHeading);

    // The menu comes from the owner's factory; a run without headings drops it.
    int created = 0;
    QObject owner;
    engine.MenuOwner = &owner;
    engine.MenuFactory = [&created](QObject *menuOwner) {
        ++created;
        return std::make_unique<TChaptersMenu>(menuOwner);
    };
    Enhance(engine, sink, L("Part 1"));
    QCOMPARE(created, 1);
    QCOMPARE(engine.ChaptersMenu()->Owner(), &owner);
    Enhance(engine, sink, L("No heading here"));
    QCOMPARE(created, 2);
    QVERIFY(!engine.ChaptersMenu());
    QCOMPARE(engine.ChapterItemCount(), 0);
}

void TestEnhancer::progressStopsRun()
{
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    QList<int> reported;
    engine.Progress = [&reported](int position) {
        reported.append(position);
        return reported.size() == 2; // stop after the second paragraph
    };
    Enhance(engine, sink, L("One.||Two.||Three.||Four."));
    QCOMPARE(reported, (QList<int>{0, 8})); // empty paragraphs are not reported
    QVERIFY(engine.Cancelled);
    QVERIFY(sink.Cancelled);
    QCOMPARE(sink.ParagraphCount, 3); // "One.", "", "Two."

    engine.Progress = nullptr;
    Enhance(engine, sink, L("One."));
    QVERIFY(!engine.Cancelled);
    QVERIFY(!sink.Cancelled);
}

// Random lines full of command, quote and separator characters: no crash,
// and the running position always matches the paragraphs sent.
void TestEnhancer::arbitraryInput()
{
    TScopedRecordingDialogs dialogs;
    const QString alphabet = QStringLiteral("^=*+/~\"'`-aAzZ09 \t#.:\u00A7\u00B7\u00AB\u201C\r\n\0");
    QRandomGenerator random(7);
    for (int round = 0; round < 20; ++round) {
        QStringList lines;
        for (int i = 0; i < 300; ++i) {
            QString line;
            const int length = random.bounded(12);
            for (int c = 0; c < length; ++c)
                line += alphabet.at(random.bounded(int(alphabet.size())));
            if (random.bounded(4) == 0)
                line.prepend(QLatin1Char('^'));
            lines << line;
        }
        TEnhancedRichEdit engine;
        TRecordingParagraphSink sink;
        FunStatContext.Reset();
        Enhance(engine, sink, lines, round % 2, round % 3 == 0, QStringLiteral("Blanks"));
        // An unreadable colour may end a run early; anything else is a fault.
        if (FunStatContext.Failed())
            QVERIFY(FunStatContext.Description.contains(QLatin1String("is not a valid integer value")));
        QVERIFY(sink.Ended);
        qint64 position = 0;
        for (const TRecordingParagraphSink::TParagraph &paragraph : sink.Paragraphs) {
            position += paragraph.Text.size() + 2;
            for (const TFormatRun &run : paragraph.Runs) {
                QVERIFY(run.Start > 0 && run.Length > 0);
                QVERIFY(run.Start + run.Length < paragraph.Text.size());
            }
        }
        QCOMPARE(position, qint64(engine.Position));
    }
    FunStatContext.Reset();
}

QTEST_GUILESS_MAIN(TestEnhancer)
#include "test_enhancer.moc"
