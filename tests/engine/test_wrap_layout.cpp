// Books without empty lines or indents between their paragraphs, read by
// the width their lines were wrapped at: stories at different widths,
// dialogue in curly quotes, a play, verse, and a book whose parts were
// wrapped at two widths.
#include "EngineTestHelpers.h"
#include "WrapLayout.h"

#include <QtTest>

class TestWrapLayout : public QObject {
    Q_OBJECT
private slots:
    void storyWrapped_data();
    void storyWrapped();
    void curlySingleQuotes();
    void curlyQuotesInBooksAsTheyAre();
    void speechClosedAtFullLine_data();
    void speechClosedAtFullLine();
    void speechGoesOnPastShortLine();
    void playWithSpeakers();
    void verseStaysLineByLine();
    void versePassagesByIndent();
    void twoWidths();
    void handWrappedBeforeCapital();
    void dashGoesOnSentence();
    void marksStillRule();
    void speakerLines_data();
    void speakerLines();
};

namespace {

const char *const Words[] = {"the", "old", "road", "ran", "down", "past", "farm", "where", "we", "had", "lived",
                             "for", "many", "years", "and", "every", "morning", "light", "came", "over", "hills",
                             "with", "slow", "cold", "wind", "that", "smelled", "of", "rain", "river", "stones",
                             "quietly", "across", "fields", "towards", "village", "church", "small", "gardens"};
const char *const Openings[] = {"The", "He", "She", "It", "They", "Then", "We", "In", "At"};

// A deterministic sentence of 6 to 17 words.
QString Sentence(quint32 &seed)
{
    auto next = [&seed](quint32 n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    QStringList words{QString::fromLatin1(Openings[next(sizeof(Openings) / sizeof(*Openings))])};
    const quint32 count = 5 + next(12);
    for (quint32 i = 0; i < count; ++i)
        words << QString::fromLatin1(Words[next(sizeof(Words) / sizeof(*Words))]);
    return words.join(QLatin1Char(' ')) + QLatin1Char('.');
}

// Greedy wrapping, as an editor does it.
QStringList Wrap(const QString &paragraph, int width)
{
    QStringList lines;
    QString line;
    for (const QString &word : paragraph.split(QLatin1Char(' '))) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    lines << line;
    return lines;
}

// The paragraph with a short sentence added until its last line leaves
// room for the next paragraph's first word (else no reader could see the end).
QString LeftRoom(QString text, int width)
{
    while (Wrap(text, width).last().size() > width - 8)
        text += QStringLiteral(" It was late.");
    return text;
}

// Paragraphs of 2 to 5 sentences; each one's last line leaves room for
// the next paragraph's first word (else no reader could see the end).
QStringList Story(int paragraphs, int width, quint32 seed)
{
    QStringList story;
    for (int p = 0; p < paragraphs; ++p) {
        QString text = Sentence(seed);
        const int sentences = 1 + int(seed % 4);
        for (int s = 0; s < sentences; ++s)
            text += QLatin1Char(' ') + Sentence(seed);
        story << LeftRoom(text, width);
    }
    return story;
}

// The text with " a" added until, closed by `closing`, its last line has no
// room left for a word of `nextWord` characters.
QString FilledUp(QString text, const QString &closing, int width, int nextWord)
{
    while (Wrap(text + closing, width).last().size() + 1 + nextWord <= width)
        text += QStringLiteral(" a");
    return text + closing;
}

// The same, until its last line leaves room for the next paragraph's first word.
QString RoomLeft(QString text, const QString &closing, int width)
{
    while (Wrap(text + closing, width).last().size() > width - 8)
        text += QStringLiteral(" a");
    return text + closing;
}

QStringList WrapAll(const QStringList &paragraphs, int width)
{
    QStringList lines;
    for (const QString &paragraph : paragraphs)
        lines << Wrap(paragraph, width);
    return lines;
}

QStringList Detected(const QStringList &lines, TEnhancedRichEdit *engine = nullptr)
{
    TEnhancedRichEdit own;
    TEnhancedRichEdit &e = engine ? *engine : own;
    e.Choices.DetectTextLayout = true;
    TRecordingParagraphSink sink;
    return Enhance(e, sink, lines);
}

// The first paragraph that differs, to see why.
QStringList Shown(const QStringList &got, const QStringList &want)
{
    for (int i = 0; i < got.size() && i < want.size(); ++i)
        if (got.at(i) != want.at(i)) {
            qDebug().noquote() << "got: " << got.at(i) << "\nwant:" << want.at(i);
            break;
        }
    return got;
}

} // namespace

void TestWrapLayout::storyWrapped_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("60 columns") << 60;
    QTest::newRow("72 columns") << 72;
}

void TestWrapLayout::storyWrapped()
{
    QFETCH(int, width);
    const QStringList story = Story(40, width, 7);
    const QStringList lines = WrapAll(story, width);
    QVERIFY(lines.size() > 3 * story.size());
    TEnhancedRichEdit engine;
    QCOMPARE(Shown(Detected(lines, &engine), story), story);
    QCOMPARE(engine.WrapWidth, width);
    // The rules alone split at sentence ends or join everything.
    QVERIFY(Enhance(lines, false, true) != story);
    QVERIFY(Enhance(lines, false, false) != story);
}

void TestWrapLayout::curlySingleQuotes()
{
    // Dialogue whose speeches often end on a full line: the quotes tell.
    QStringList story = Story(30, 66, 3);
    quint32 seed = 11;
    for (int i = 0; i < story.size(); i += 2) {
        const QString speech = Sentence(seed);
        story[i] = QStringLiteral("\u2018") + speech.chopped(1) + QStringLiteral(",\u2019 she said, \u2018")
            + Sentence(seed) + QStringLiteral("\u2019");
        story[i] = LeftRoom(story[i], 66);
    }
    const QStringList lines = WrapAll(story, 66);
    QCOMPARE(Shown(Detected(lines), story), story);
}

void TestWrapLayout::curlyQuotesInBooksAsTheyAre()
{
    // A poorly written book: a speech closed by a curly quote ends a
    // sentence, one opened by it starts a paragraph.
    const QStringList lines = L("\u2018I will go,\u2019 she said. \u2018Now.\u2019|\u2018No.\u2019|\u201eNein\u201c, "
                                "sagte er.|\u201aGut\u2018, sagte sie.");
    QCOMPARE(Detected(lines), L("\u2018I will go,\u2019 she said. \u2018Now.\u2019|\u2018No.\u2019|\u201eNein\u201c, "
                                "sagte er.|\u201aGut\u2018, sagte sie."));
    // The classic rules know only the straight and double curly quotes.
    QCOMPARE(Enhance(lines, false, true).size(), 1);
}

void TestWrapLayout::speechClosedAtFullLine_data()
{
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    QTest::addColumn<bool>("narrativeFollows");
    QTest::newRow("straight quotes, speeches alone") << "\"" << "\"" << false;
    QTest::newRow("curly quotes, speeches alone") << "\u201c" << "\u201d" << false;
    QTest::newRow("guillemets, speeches alone") << "\u00ab" << "\u00bb" << false;
    QTest::newRow("straight quotes, narrative follows") << "\"" << "\"" << true;
    QTest::newRow("German quotes, narrative follows") << "\u00bb" << "\u00ab" << true;
}

void TestWrapLayout::speechClosedAtFullLine()
{
    // A speech closed at the end of a full line before a line that begins
    // with a capital: a paragraph end in a book whose speeches stand alone,
    // none in one that goes on with narrative after them in the paragraph.
    QFETCH(QString, open);
    QFETCH(QString, close);
    QFETCH(bool, narrativeFollows);
    constexpr int Width = 64;
    quint32 seed = 17;
    const QString end = QStringLiteral(".") + close;
    QStringList story;
    for (int i = 0; i < 40; ++i) {
        QString speech = open + Sentence(seed).chopped(1) + QStringLiteral(", he said. ") + Sentence(seed).chopped(1);
        // Every third speech is closed at the end of a full line.
        if (i % 3 == 0)
            speech = FilledUp(speech, end, Width, 3);
        else
            speech = narrativeFollows ? speech + end : RoomLeft(speech, end, Width);
        const QString narrative = QStringLiteral("The ") + Sentence(seed).section(QLatin1Char(' '), 1);
        if (narrativeFollows)
            story << LeftRoom(speech + QLatin1Char(' ') + narrative, Width);
        else
            story << speech << LeftRoom(narrative, Width);
    }
    const QStringList lines = WrapAll(story, Width);
    QCOMPARE(Shown(Detected(lines), story), story);
}

void TestWrapLayout::speechGoesOnPastShortLine()
{
    // A line ended a little early inside a speech the paragraph opened,
    // before a capital: the quotation is still open, so the speech goes on.
    QStringList story = Story(40, 60, 13);
    QStringList lines;
    for (int i = 0; i < story.size(); ++i) {
        if (i % 4 != 1) {
            lines << Wrap(story.at(i), 60);
            continue;
        }
        quint32 seed = quint32(i);
        // The line is ended a few columns early, before a capital.
        QString first = QStringLiteral("\"") + Sentence(seed).chopped(1);
        while (Wrap(first + QLatin1Char('.'), 60).last().size() < 52)
            first += QStringLiteral(" a");
        first += QLatin1Char('.');
        const QString rest = RoomLeft(Sentence(seed) + QLatin1Char(' ') + Sentence(seed).chopped(1),
                                      QStringLiteral(".\""), 60);
        story[i] = first + QLatin1Char(' ') + rest;
        lines << Wrap(first, 60) << Wrap(rest, 60);
    }
    QCOMPARE(Shown(Detected(lines), story), story);
    // A letter quoted paragraph by paragraph: its salutation leaves its
    // quotation open, yet the next paragraph's quotation mark starts anew.
    story.insert(8, QStringLiteral("\"DEAR SIR,"));
    story[9] = RoomLeft(QLatin1Char('"') + story.at(9), QStringLiteral("\""), 60);
    QCOMPARE(Shown(Detected(WrapAll(story, 60)), story), story);
}

void TestWrapLayout::playWithSpeakers()
{
    QStringList play;
    quint32 seed = 5;
    const char *const speakers[] = {"ROMEO.", "BENVOLIO.", "LADY CAPULET.", "NURSE."};
    for (int i = 0; i < 40; ++i) {
        QString speech = QString::fromLatin1(speakers[i % 4]) + QLatin1Char(' ') + Sentence(seed);
        if (i % 3 == 0)
            speech += QLatin1Char(' ') + Sentence(seed);
        play << speech;
        if (i % 7 == 3)
            play << QStringLiteral("[Exit Nurse.]");
    }
    // A speech that fills its last line still ends before the next speaker.
    play[2] = QStringLiteral("NURSE. The old road ran down past the farm where we had lived.");
    const QStringList lines = WrapAll(play, 62);
    QCOMPARE(Shown(Detected(lines), play), play);
}

void TestWrapLayout::verseStaysLineByLine()
{
    const QStringList stanza = L("Of man's first disobedience, and the fruit|Of that forbidden tree, whose mortal "
                                 "taste|Brought death into the world, and all our woe,|With loss of Eden, till one "
                                 "greater man|Restore us, and regain the blissful seat,|Sing, heavenly Muse, that on "
                                 "the secret top|Of Oreb, or of Sinai, didst inspire|That shepherd who first taught "
                                 "the chosen seed");
    QStringList verse;
    for (int i = 0; i < 8; ++i)
        verse << stanza;
    QCOMPARE(Detected(verse), verse);
}

void TestWrapLayout::versePassagesByIndent()
{
    // Blank verse whose passages begin with an indent: every line begins
    // with a capital, so one after a colon goes on the passage.
    const QStringList passage = L("Of man's first disobedience, and the fruit|Of that forbidden tree, whose mortal "
                                  "taste|Brought death into the world, and all our woe:|With loss of Eden, till one "
                                  "greater man|Restore us, and regain the blissful seat,|Sing, heavenly Muse, that on "
                                  "the secret top|Of Oreb, or of Sinai, didst inspire|That shepherd who first taught "
                                  "the chosen seed.");
    QStringList lines;
    QStringList expected;
    for (int i = 0; i < 8; ++i) {
        QStringList indented = passage;
        indented[0].prepend(QStringLiteral("  "));
        lines << indented;
        expected << passage.join(QLatin1Char(' '));
    }
    QCOMPARE(Shown(Detected(lines), expected), expected);
    // Without the detection the colon before a capital still ends a paragraph.
    QCOMPARE(Enhance(lines).size(), 16);
}

void TestWrapLayout::twoWidths()
{
    const QStringList first = Story(30, 70, 21);
    const QStringList rest = Story(40, 76, 22);
    const QStringList lines = WrapAll(first, 70) + WrapAll(rest, 76);
    QCOMPARE(Shown(Detected(lines), first + rest), first + rest);
}

void TestWrapLayout::handWrappedBeforeCapital()
{
    // Now and then a full line was ended a word early, its last word of
    // three letters put on the next line: before a name in mid-sentence the
    // paragraph goes on, since a line that ends no sentence needs more room
    // than nearly every line that goes on to end its paragraph.
    constexpr int Width = 64;
    QStringList story = Story(150, Width, 31);
    for (QString &paragraph : story)
        paragraph.replace(QStringLiteral(" the "), QStringLiteral(" Tom "));
    QStringList lines;
    int names = 0;
    int others = 0;
    for (const QString &paragraph : story) {
        QStringList wrapped;
        QString line;
        int moved = 0;
        for (const QString &word : paragraph.split(QLatin1Char(' '))) {
            const bool full = !line.isEmpty() && line.size() + 1 + word.size() > Width;
            const qsizetype space = line.lastIndexOf(QLatin1Char(' '));
            const bool name = line.endsWith(QStringLiteral(" Tom"));
            if (full && line.size() >= Width - (name ? 2 : 3) && space == line.size() - 4 && line.back().isLetter()
                && line.at(space - 1) != QLatin1Char('.')) {
                moved += name ? 1 : 0;
                wrapped << line.left(space);
                line = line.mid(space + 1);
            } else if (full) {
                wrapped << line;
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        // The last line still leaves room for the next paragraph's first word.
        if (line.size() > Width - 8) {
            lines << Wrap(paragraph, Width);
            continue;
        }
        lines << wrapped << line;
        names += moved;
    }
    QVERIFY(names >= 3);
    TEnhancedRichEdit engine;
    QCOMPARE(Shown(Detected(lines, &engine), story), story);
    QCOMPARE(engine.WrapWidth, Width);
    // A title in capitals, with as little room as such a line, ends its
    // paragraph the way a sentence end does.
    const QString title = QStringLiteral("GABRIEL'S RESOLVE -- THE VISIT -- THE MISTAKE -- A QUARREL");
    const int at = int(lines.indexOf(QRegularExpression(QRegularExpression::escape(story.at(20).left(30)) + ".*")));
    QVERIFY(at > 0);
    lines.insert(at, title);
    lines[at + 1] = QStringLiteral("The ") + lines.at(at + 1).section(QLatin1Char(' '), 1);
    story.insert(20, title);
    story[21] = QStringLiteral("The ") + story.at(21).section(QLatin1Char(' '), 1);
    // So does a colon before a speech.
    const QStringList speech = L("Then the old man turned round to all of them and he said:|\"Come in now.\"");
    const int before = int(lines.indexOf(QRegularExpression(QRegularExpression::escape(story.at(40).left(30)) + ".*")));
    QVERIFY(before > 0);
    for (int i = 0; i < 2; ++i) {
        lines.insert(before + i, speech.at(i));
        story.insert(40 + i, speech.at(i));
    }
    QCOMPARE(Shown(Detected(lines), story), story);
}

void TestWrapLayout::dashGoesOnSentence()
{
    // A line that begins with "--" after a full one that ends no sentence
    // goes on with the sentence.
    QStringList story = Story(40, 60, 41);
    quint32 seed = 43;
    for (int i = 0; i < story.size(); i += 3)
        story[i] = FilledUp(Sentence(seed).chopped(1), QString(), 60, 2) + QStringLiteral(" -- and so it went.");
    const QStringList lines = WrapAll(story, 60);
    QVERIFY(lines.filter(QRegularExpression(QStringLiteral("^-- and"))).size() >= 10);
    QCOMPARE(Shown(Detected(lines), story), story);
}

void TestWrapLayout::marksStillRule()
{
    // With an empty line between paragraphs the width says nothing new;
    // the lines of a paragraph that were ended short stay joined.
    const QStringList story = Story(30, 64, 9);
    QStringList lines;
    QStringList expected;
    for (const QString &paragraph : story) {
        QStringList wrapped = Wrap(paragraph, 64);
        wrapped[0] = wrapped[0].left(30).trimmed(); // cut short, as a hand-edited line
        lines << wrapped << QString();
        expected << wrapped.join(QLatin1Char(' ')) << QString();
    }
    QCOMPARE(Detected(lines), expected);
    // Classic rules: the same book without the reading by width.
    TEnhancedRichEdit classic;
    TRecordingParagraphSink sink;
    QCOMPARE(Enhance(classic, sink, WrapAll(story, 64)), QStringList{story.join(QLatin1Char(' '))});
    QCOMPARE(classic.WrapWidth, 0);
}

void TestWrapLayout::speakerLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("speaker");
    QTest::newRow("name") << "ROMEO. Is the day so young?" << true;
    QTest::newRow("two words") << "LADY CAPULET. What, ho!" << true;
    QTest::newRow("name alone") << "NURSE." << true;
    QTest::newRow("pronoun") << "I. The first" << false;
    QTest::newRow("sentence") << "He went. Then" << false;
    QTest::newRow("heading words") << "THE END OF IT ALL." << false;
    QTest::newRow("no stop") << "ROMEO and Juliet" << false;
}

void TestWrapLayout::speakerLines()
{
    QFETCH(QString, line);
    QFETCH(bool, speaker);
    QCOMPARE(WrapRules::IsSpeakerLine(line), speaker);
}

QTEST_GUILESS_MAIN(TestWrapLayout)
#include "test_wrap_layout.moc"
