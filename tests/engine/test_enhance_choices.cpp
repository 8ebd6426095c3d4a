// The engine's choices beyond its classic rules: the layout decided from the
// lines, line-end hyphens checked against the book, and a chapters menu
// that skips tables of contents and reaches every chapter.
#include "ChapterCollector.h"
#include "ChapterHeadings.h"
#include "EngineTestHelpers.h"
#include "TextLayout.h"

#include <QtTest>

class TestEnhanceChoices : public QObject {
    Q_OBJECT
private slots:
    void layoutFollowsTheBook();
    void hyphensCheckedAgainstTheBook();
    void headings_data();
    void headings();
    void contentsLeftOut();
    void manyChaptersInSubmenus();
    void higherHeadingsGroupChapters();
    void degenerateBooks();
    void choicesOffAreClassic();
};

namespace {

TEnhanceChoices AllChoices()
{
    TEnhanceChoices choices;
    choices.DetectTextLayout = true;
    choices.CheckHyphens = true;
    choices.SmartChapters = true;
    return choices;
}

// Four paragraphs of three wrapped lines; two of them break a line at a
// sentence end inside the paragraph.
QStringList EmptyLineBook()
{
    return L("The night was cold and the wind came down|from the hills where the shepherds lived|and "
             "nobody was out.||He walked to the gate and stood there.|Then he went back into the house and "
             "sat|by the fire until morning.||She had called him twice from the road|but he did not hear "
             "her at all.|Nobody ever heard her.||In the end they all went to sleep|and the wind "
             "died down over the hills|before the sun came up.");
}

// Prose around the headings, long enough to be a chapter's text.
QString Prose(int n)
{
    return QStringLiteral("It was the %1th day of the long journey and the travellers had walked far. ").arg(n)
        .repeated(8)
        .trimmed();
}

QStringList Enhanced(TEnhancedRichEdit &engine, const QStringList &lines, bool poorly = false)
{
    TRecordingParagraphSink sink;
    return Enhance(engine, sink, lines, false, poorly);
}

// The captions of a menu or submenu's entries.
QStringList Captions(const TChaptersMenu &menu, int group)
{
    QStringList captions;
    for (int entry : menu.Entries(group))
        captions << (entry >= 0 ? menu.Item(entry).Caption : menu.Group(-entry - 1).Caption);
    return captions;
}

} // namespace

void TestEnhanceChoices::layoutFollowsTheBook()
{
    TEnhancedRichEdit engine;
    engine.Choices = AllChoices();
    // Empty lines mark the paragraphs: well written, whatever the caller says.
    const QStringList marked = Enhanced(engine, EmptyLineBook(), true);
    QVERIFY(engine.LayoutDetected);
    QVERIFY(!engine.PoorlyWritten);
    QCOMPARE(marked.size(), 7); // four paragraphs and three empty lines
    QVERIFY(marked.at(2).startsWith(QLatin1String("He walked to the gate and stood there. Then he went")));

    // The same lines without the empty ones: only sentence ends can split them.
    QStringList flat = EmptyLineBook();
    flat.removeAll(QString());
    const QStringList unmarked = Enhanced(engine, flat, false);
    QVERIFY(engine.PoorlyWritten);
    QCOMPARE(unmarked.size(), 6);
    QCOMPARE(unmarked.at(1), QStringLiteral("He walked to the gate and stood there."));

    // Indented paragraph starts count as marks too; without the indent the
    // same lines have none.
    QStringList indented;
    QStringList unindented;
    for (int i = 0; i < 10; ++i) {
        indented << QStringLiteral("    It was a cold day. The wind came")
                 << QStringLiteral("down from the hills, and nobody was out.");
        unindented << QStringLiteral("It was a cold day. The wind came")
                   << QStringLiteral("down from the hills, and nobody was out.");
    }
    QVERIFY(!CountTextLayout(indented).IsPoorlyWritten());
    QVERIFY(CountTextLayout(unindented).IsPoorlyWritten());
    // Verse: lines that begin with capitals inside sentences say little;
    // a stanza break every few lines is enough.
    QStringList verse;
    for (int i = 0; i < 12; ++i)
        verse << QStringLiteral("Of man's first disobedience, and the fruit") << QStringLiteral("Of that forbidden tree.")
              << QStringLiteral("Brought death into the world, and all our woe,") << QStringLiteral("With loss of Eden.")
              << QStringLiteral("Sing, heavenly Muse, that on the secret top") << QStringLiteral("Of Oreb.")
              << QStringLiteral("Then the next verse.") << QString();
    const TTextLayoutCounts counts = CountTextLayout(verse);
    QVERIFY(counts.IsVerse());
    QVERIFY(!counts.IsPoorlyWritten());
    QVERIFY(CountTextLayout(QStringList()).IsPoorlyWritten());
}

void TestEnhanceChoices::hyphensCheckedAgainstTheBook()
{
    TEnhancedRichEdit engine;
    engine.Choices.CheckHyphens = true;
    // The book writes "to-day": the broken word keeps its hyphen; it writes
    // "handkerchief": that one is joined; "well-|known" appears nowhere else
    // and is joined as always.
    const QStringList texts = Enhanced(engine,
                                       L("He would come To-day, he said.||It was to-|day that he left his hand-|kerchief "
                                         "and a well-|known hat.||A handkerchief is small."));
    QCOMPARE(texts.at(2), QStringLiteral("It was to-day that he left his handkerchief and a wellknown hat."));
    QCOMPARE(engine.HyphensKept, 1);
    QCOMPARE(engine.HyphensDropped, 2);

    // Both forms in the book: the joined one wins.
    QCOMPARE(Enhanced(engine, L("to-day and today.||Not to-|day.")).at(2), QStringLiteral("Not today."));
    // A compound of three words broken at its second hyphen.
    QCOMPARE(Enhanced(engine, L("a good-for-nothing man.||That good-for-|nothing left.")).at(2),
             QStringLiteral("That good-for-nothing left."));
    // Off: every break is joined.
    engine.Choices.CheckHyphens = false;
    QCOMPARE(Enhanced(engine, L("He said To-day.||It was to-|day.")).at(2), QStringLiteral("It was today."));
    QCOMPARE(engine.HyphensKept, 0);
    QCOMPARE(engine.HyphensDropped, 1);
}

void TestEnhanceChoices::headings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("hasTitle");
    QTest::newRow("chapter roman") << "CHAPTER IV" << 3 << false;
    QTest::newRow("chapter title") << "CHAPTER 1. Loomings." << 3 << true;
    QTest::newRow("lower roman") << "Chapter xii" << 3 << false;
    QTest::newRow("book the first") << "Book the First--Recalled to Life" << 2 << true;
    QTest::newRow("book number year") << "BOOK ONE: 1805" << 2 << false;
    QTest::newRow("part word") << "PART TWENTY-ONE" << 2 << false;
    QTest::newRow("volume") << "VOLUME II" << 1 << false;
    QTest::newRow("epilogue ordinal") << "SECOND EPILOGUE" << 2 << false;
    QTest::newRow("epilogue alone") << "EPILOGUE" << 3 << false;
    QTest::newRow("the prologue") << "THE PROLOGUE." << 3 << false;
    QTest::newRow("bare roman") << "XII." << 4 << false;
    QTest::newRow("bare number") << "12" << 4 << false;
    QTest::newRow("numbered title") << "VII. THE BLUE CARBUNCLE" << 4 << true;
    QTest::newRow("command mark") << "# Title" << 3 << true;
    QTest::newRow("prose part") << "Part of the crowd went home." << 0 << false;
    QTest::newRow("prose number") << "I. Then we went home. It was late." << 0 << false;
    QTest::newRow("initial") << "M. Verdurin ne put s'emp\u00EAcher de rire." << 0 << false;
    QTest::newRow("word that looks roman") << "CIVIL" << 0 << false;
    QTest::newRow("division alone") << "CHAPTER" << 0 << false;
    QTest::newRow("lower case") << "chapter 4" << 0 << false;
    QTest::newRow("too long") << "CHAPTER 1 " + QString(120, QLatin1Char('x')) << 0 << false;
}

void TestEnhanceChoices::headings()
{
    QFETCH(QString, text);
    QFETCH(int, level);
    QFETCH(bool, hasTitle);
    const THeadingInfo info = ChapterHeadings::Parse(text);
    QCOMPARE(info.Level, level);
    if (level > 0)
        QCOMPARE(info.HasTitle, hasTitle);
}

void TestEnhanceChoices::contentsLeftOut()
{
    QStringList lines{QStringLiteral("CONTENTS"), QString()};
    for (int i = 1; i <= 5; ++i)
        lines << QStringLiteral("CHAPTER %1").arg(i);
    for (int i = 1; i <= 5; ++i)
        lines << QString() << QStringLiteral("CHAPTER %1").arg(i) << QString() << QStringLiteral("The Start")
              << QString() << Prose(i);
    TEnhancedRichEdit engine;
    engine.Choices = AllChoices();
    const QStringList texts = Enhanced(engine, lines);
    const TChaptersMenu *menu = engine.ChaptersMenu();
    QVERIFY(menu);
    QCOMPARE(menu->Count(), 5);
    QCOMPARE(menu->GroupCount(), 0);
    // Every entry is a heading of the body, titled by the short line after it.
    int position = 0;
    QHash<int, int> paragraphAt;
    for (int i = 0; i < texts.size(); ++i) {
        paragraphAt.insert(position, i);
        position += texts.at(i).size() + 2;
    }
    for (int i = 0; i < 5; ++i) {
        const TChapterItem &item = menu->Item(i);
        QCOMPARE(item.Caption, QStringLiteral("CHAPTER %1. The Start").arg(i + 1));
        QVERIFY(paragraphAt.contains(item.Tag));
        const int paragraph = paragraphAt.value(item.Tag);
        QVERIFY(paragraph >= 8); // after the five contents lines
        QCOMPARE(texts.at(paragraph), QStringLiteral("CHAPTER %1").arg(i + 1));
    }
    // The chapter that holds a position.
    QCOMPARE(menu->ItemAt(0), -1);
    QCOMPARE(menu->ItemAt(menu->Item(2).Tag), 2);
    QCOMPARE(menu->ItemAt(menu->Item(2).Tag + 100), 2);
    QCOMPARE(menu->ItemAt(position), 4);

    // Contents that end in "Epilogue" and come before a preface: the list
    // is known by its first entry coming back after it.
    QStringList preface;
    for (int i = 1; i <= 3; ++i)
        preface << QStringLiteral("CHAPTER %1. Loomings.").arg(i);
    preface << QStringLiteral("Epilogue") << QString() << Prose(0) << QString();
    for (int i = 1; i <= 3; ++i)
        preface << QStringLiteral("CHAPTER %1. Loomings.").arg(i) << QString() << Prose(i) << QString();
    preface << QStringLiteral("Epilogue") << QString() << Prose(4);
    const QStringList prefaceTexts = Enhanced(engine, preface);
    QCOMPARE(engine.ChapterItemCount(), 4);
    const int lastHeading = int(prefaceTexts.size()) - 3;
    QCOMPARE(prefaceTexts.at(lastHeading), QStringLiteral("Epilogue"));
    int epilogue = 0;
    for (int i = 0; i < lastHeading; ++i)
        epilogue += prefaceTexts.at(i).size() + 2;
    QCOMPARE(engine.ChaptersMenu()->Item(3).Tag, epilogue);
    QVERIFY(engine.ChaptersMenu()->Item(0).Tag > Prose(0).size());
}

void TestEnhanceChoices::manyChaptersInSubmenus()
{
    QStringList lines;
    for (int i = 1; i <= 61; ++i)
        lines << QStringLiteral("CHAPTER %1").arg(i) << QString() << Prose(i) << QString();
    TEnhancedRichEdit engine;
    engine.Choices = AllChoices();
    Enhanced(engine, lines);
    const TChaptersMenu *menu = engine.ChaptersMenu();
    QVERIFY(menu);
    QCOMPARE(engine.ChapterItemCount(), 61);
    QCOMPARE(Captions(*menu, -1),
             (QStringList{QStringLiteral("Chapters 1\u201330"), QStringLiteral("Chapters 31\u201360"),
                          QStringLiteral("Chapter 61")}));
    QCOMPARE(Captions(*menu, 1).size(), 30);
    QCOMPARE(Captions(*menu, 1).first(), QStringLiteral("CHAPTER 31"));
    QCOMPARE(menu->Group(1).Tag, menu->Item(30).Tag);
    QVERIFY(menu->GroupHolds(1, 45));
    QVERIFY(!menu->GroupHolds(0, 45));
    QCOMPARE(Captions(*menu, 2), QStringList{QStringLiteral("CHAPTER 61")});
}

void TestEnhanceChoices::higherHeadingsGroupChapters()
{
    QStringList lines;
    for (int book = 1; book <= 2; ++book) {
        lines << QStringLiteral("BOOK %1").arg(book) << QString();
        for (int i = 1; i <= 20; ++i)
            lines << QStringLiteral("CHAPTER %1").arg(i) << QString() << Prose(i) << QString();
    }
    TEnhancedRichEdit engine;
    engine.Choices = AllChoices();
    Enhanced(engine, lines);
    const TChaptersMenu *menu = engine.ChaptersMenu();
    QVERIFY(menu);
    QCOMPARE(menu->Count(), 42);
    QCOMPARE(Captions(*menu, -1), (QStringList{QStringLiteral("BOOK 1"), QStringLiteral("BOOK 2")}));
    // The book's own heading first, then its chapters.
    const QStringList second = Captions(*menu, 1);
    QCOMPARE(second.size(), 21);
    QCOMPARE(second.first(), QStringLiteral("BOOK 2"));
    QCOMPARE(second.last(), QStringLiteral("CHAPTER 20"));

    // "BOOK" lines inside a chapter hold no chapter: they group nothing.
    QStringList kinds;
    for (int i = 1; i <= 40; ++i) {
        kinds << QStringLiteral("CHAPTER %1").arg(i) << QString() << Prose(i) << QString();
        if (i == 5)
            kinds << QStringLiteral("BOOK I. (Folio)") << QString() << Prose(i) << QString()
                  << QStringLiteral("BOOK II. (Octavo)") << QString() << Prose(i) << QString();
    }
    Enhanced(engine, kinds);
    QCOMPARE(engine.ChapterItemCount(), 42);
    QCOMPARE(Captions(*engine.ChaptersMenu(), -1),
             (QStringList{QStringLiteral("Chapters 1\u201330"), QStringLiteral("Chapters 31\u201342")}));
    QCOMPARE(Captions(*engine.ChaptersMenu(), 0).at(5), QStringLiteral("BOOK I. (Folio)"));

    // Built by hand: a run of items outside every submenu after one.
    TChaptersMenu handMade;
    handMade.AddItem(QStringLiteral("Preface"), 1, 0);
    const int part = handMade.AddGroup(QStringLiteral("PART 1"), -1);
    handMade.AddItem(QStringLiteral("One"), 10, 0, part);
    handMade.AddItem(QStringLiteral("Two"), 20, 0, part);
    handMade.AddItem(QStringLiteral("Notes"), 30, 0);
    QCOMPARE(handMade.Entries(-1), (QVector<int>{0, -1, 3}));
    QCOMPARE(handMade.Entries(part), (QVector<int>{1, 2}));
    QCOMPARE(handMade.Group(part).Tag, 10);
}

void TestEnhanceChoices::degenerateBooks()
{
    TEnhancedRichEdit engine;
    engine.Choices = AllChoices();
    // Only headings, 100 000 of them: every one is an entry, no menu holds
    // more than 30 entries.
    const QStringList headings(100000, QStringLiteral("CHAPTER I"));
    Enhanced(engine, headings);
    const TChaptersMenu *menu = engine.ChaptersMenu();
    QVERIFY(menu);
    QCOMPARE(menu->Count(), 100000);
    QVERIFY(menu->Entries(-1).size() <= 30);
    for (int g = 0; g < menu->GroupCount(); ++g)
        QVERIFY(menu->Entries(g).size() <= 30);
    QCOMPARE(menu->Entries(-1).size(), 4); // 1-27000, ..., 81001-100000
    QCOMPARE(menu->Group(0).Caption, QStringLiteral("Chapters 1\u201327000"));

    // A book of one giant line and one of "CHAPTER" words without numbers.
    Enhanced(engine, QStringList{Prose(1).repeated(2000)});
    QVERIFY(!engine.ChaptersMenu());
    Enhanced(engine, QStringList(1000, QStringLiteral("CHAPTER")));
    QVERIFY(!engine.ChaptersMenu());
}

void TestEnhanceChoices::choicesOffAreClassic()
{
    // A table of contents and 40 chapters: the classic menu takes the first
    // 30 headings, contents lines included.
    QStringList lines;
    for (int i = 1; i <= 5; ++i)
        lines << QStringLiteral("CHAPTER %1").arg(i);
    for (int i = 1; i <= 40; ++i)
        lines << QString() << QStringLiteral("CHAPTER %1").arg(i) << QString() << Prose(i) << QStringLiteral("well-")
              << QStringLiteral("known.");
    TEnhancedRichEdit classic;
    const QStringList classicTexts = Enhanced(classic, lines, true);
    QCOMPARE(classic.ChapterItemCount(), 30);
    QCOMPARE(classic.ChaptersMenu()->Item(0).Caption, QStringLiteral("CHAPTER 1"));
    QCOMPARE(classic.ChaptersMenu()->Item(0).Tag, 0);
    QVERIFY(!classic.LayoutDetected);
    QVERIFY(classic.PoorlyWritten);

    TEnhancedRichEdit smart;
    smart.Choices = AllChoices();
    Enhanced(smart, lines, true);
    QCOMPARE(smart.ChapterItemCount(), 40);
    QVERIFY(smart.ChaptersMenu()->Item(0).Tag > 0);
    // "well-" / "known" nowhere else: joined by both.
    QVERIFY(classicTexts.join(QLatin1Char('\n')).contains(QLatin1String("wellknown.")));
}

QTEST_GUILESS_MAIN(TestEnhanceChoices)
#include "test_enhance_choices.moc"
