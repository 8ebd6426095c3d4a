// The sentence split of reading aloud, the text given to the voice, the
// joint between pieces, the guess of a book's language and the choice of a
// voice.
#include <QtTest>

#include "LanguageGuess.h"
#include "SpeechEngine.h"
#include "SpeechSentences.h"
#include "SpeechText.h"

namespace {

QStringList Sentences(const QString &paragraph, int maxLength = TSentenceSplitter::DefaultMaxLength)
{
    const TSentenceSplitter splitter(paragraph, maxLength);
    QStringList out;
    TSentenceSpan span;
    int from = 0;
    while (splitter.Next(from, span)) {
        out << paragraph.mid(span.Start, span.Length);
        from = span.End();
    }
    return out;
}

const QChar LineBreak(QChar::LineSeparator);

} // namespace

class TestSpeechSentences : public QObject {
    Q_OBJECT
private slots:
    void Split_data();
    void Split();
    void LongSentencesAreCutAtWords_data();
    void LongSentencesAreCutAtWords();
    void SentenceAtAgreesWithTheWalk();
    void SpokenText_data();
    void SpokenText();
    void EndsSentence_data();
    void EndsSentence();
    void FindContinuation_data();
    void FindContinuation();
    void GuessLanguage_data();
    void GuessLanguage();
    void ChooseVoice_data();
    void ChooseVoice();
};

void TestSpeechSentences::Split_data()
{
    QTest::addColumn<QString>("paragraph");
    QTest::addColumn<QStringList>("sentences");
    QTest::newRow("titles") << "Mr. Darcy came in. Mrs. Bennet and Dr. Jones sat down."
                            << QStringList{"Mr. Darcy came in.", "Mrs. Bennet and Dr. Jones sat down."};
    QTest::newRow("initials") << "J. R. R. Tolkien wrote it. St. Paul's is big."
                              << QStringList{"J. R. R. Tolkien wrote it.", "St. Paul's is big."};
    QTest::newRow("number abbreviation") << "See No. 5 on p. 12 now. He said no. Then he left."
                                         << QStringList{"See No. 5 on p. 12 now.", "He said no.", "Then he left."};
    QTest::newRow("dotted abbreviation") << "Fruit, e.g. apples. And i.e. pears, cf. U.S. Army."
                                         << QStringList{"Fruit, e.g. apples.", "And i.e. pears, cf. U.S. Army."};
    QTest::newRow("speech tag after a question")
        << "\"Stop!\" he cried. \"Why?\" She asked." << QStringList{"\"Stop!\" he cried.", "\"Why?\"", "She asked."};
    QTest::newRow("curly quotes") << QString::fromUtf8("“Really?” she asked. “Yes.” Then silence.")
                                  << QStringList{QString::fromUtf8("“Really?” she asked."), QString::fromUtf8("“Yes.”"),
                                                 "Then silence."};
    QTest::newRow("closing single quote") << "He said 'no.' Then left." << QStringList{"He said 'no.'", "Then left."};
    QTest::newRow("dialogue dashes") << QString::fromUtf8("— Bonjour, dit-il. — Bonsoir ! répondit-elle. — Oui ?")
                                     << QStringList{QString::fromUtf8("— Bonjour, dit-il."),
                                                    QString::fromUtf8("— Bonsoir ! répondit-elle."),
                                                    QString::fromUtf8("— Oui ?")};
    QTest::newRow("hyphen is no dash") << "A well-known man. A self-made one."
                                       << QStringList{"A well-known man.", "A self-made one."};
    QTest::newRow("verse lines") << QStringLiteral("Whose woods these are I think I know%1his house is in the "
                                                   "village though;%2He will not see me stopping here.")
                                        .arg(LineBreak)
                                        .arg(LineBreak)
                                 << QStringList{"Whose woods these are I think I know",
                                                "his house is in the village though;",
                                                "He will not see me stopping here."};
    QTest::newRow("ellipsis and decimals") << "It was 3.5 miles... Far. Well... I don't know."
                                           << QStringList{"It was 3.5 miles...", "Far.", "Well...", "I don't know."};
    QTest::newRow("no stop") << "A heading without a stop" << QStringList{"A heading without a stop"};
    QTest::newRow("only spaces") << "   \t  " << QStringList{};
}

void TestSpeechSentences::Split()
{
    QFETCH(QString, paragraph);
    QFETCH(QStringList, sentences);
    QCOMPARE(Sentences(paragraph), sentences);
}

void TestSpeechSentences::LongSentencesAreCutAtWords_data()
{
    QTest::addColumn<QString>("paragraph");
    QTest::addColumn<bool>("words"); // the cuts fall between words
    QString words;
    for (int i = 0; words.size() < 100000; ++i)
        words += QStringLiteral("word%1 ").arg(i % 977);
    QTest::newRow("100 000 characters without punctuation") << words.trimmed() << true;
    QString clauses;
    for (int i = 0; clauses.size() < 5000; ++i)
        clauses += QStringLiteral("and then the river ran on, ");
    QTest::newRow("clauses") << clauses.trimmed() << true;
    QTest::newRow("one endless word") << QString(30000, QLatin1Char('x')) << false;
    QTest::newRow("surrogate pairs") << QStringLiteral("a") + QString::fromUtf8("😀").repeated(3000) << false;
}

void TestSpeechSentences::LongSentencesAreCutAtWords()
{
    QFETCH(QString, paragraph);
    QFETCH(bool, words);
    const int max = 400;
    const TSentenceSplitter splitter(paragraph, max);
    TSentenceSpan span;
    int from = 0;
    int count = 0;
    QString joined;
    while (splitter.Next(from, span)) {
        QVERIFY2(span.Length > 0 && span.Length <= max, qPrintable(QString::number(span.Length)));
        const QString piece = paragraph.mid(span.Start, span.Length);
        QVERIFY(!piece.front().isLowSurrogate() && !piece.back().isHighSurrogate());
        if (words) {
            // A cut leaves a space (or a clause's comma) at its side.
            QVERIFY(span.Start == 0 || paragraph[span.Start - 1].isSpace());
            QVERIFY(span.End() == paragraph.size() || paragraph[span.End()].isSpace());
            joined += (joined.isEmpty() ? QString() : QStringLiteral(" ")) + piece;
        } else {
            joined += piece;
        }
        from = span.End();
        ++count;
    }
    QCOMPARE(joined, paragraph); // nothing lost, nothing twice
    QVERIFY(count >= paragraph.size() / max);
}

void TestSpeechSentences::SentenceAtAgreesWithTheWalk()
{
    // A paragraph far longer than the window the splitter looks at.
    QString paragraph;
    for (int i = 0; paragraph.size() < 30000; ++i)
        paragraph += QStringLiteral("Sentence number %1 is here, with Mr. Smith. ").arg(i);
    const TSentenceSplitter splitter(paragraph);
    TSentenceSpan span;
    int from = 0;
    int checked = 0;
    while (splitter.Next(from, span)) {
        if (span.Start % 7 == 0 || checked < 3) {
            TSentenceSpan found;
            QVERIFY(splitter.SentenceAt(span.Start + span.Length / 2, found));
            QCOMPARE(found.Start, span.Start);
            QCOMPARE(found.Length, span.Length);
            ++checked;
        }
        from = span.End();
    }
    QVERIFY(checked > 10);
    QVERIFY(!splitter.SentenceAt(int(paragraph.size()), span));
}

void TestSpeechSentences::SpokenText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("spaces") << "One\ttwo  three\u2028four"
                            << "One two three four";
    QTest::newRow("emphasis marks") << "She was _very_ *sure*."
                                    << "She was very sure.";
    QTest::newRow("dialogue dash") << QString::fromUtf8("— Oui, dit-il.") << "Oui, dit-il.";
    QTest::newRow("dash prefix") << "- Item one."
                                 << "Item one.";
    QTest::newRow("negative number") << "-5 degrees."
                                     << "-5 degrees.";
    QTest::newRow("section heading") << QString::fromUtf8("§ 3 The law") << "3 The law";
    QTest::newRow("no words") << "* * *"
                              << "";
    QTest::newRow("ellipsis only") << "..."
                                   << "";
}

void TestSpeechSentences::SpokenText()
{
    QFETCH(QString, text);
    QFETCH(QString, spoken);
    QCOMPARE(::SpokenText(text), spoken);
}

void TestSpeechSentences::EndsSentence_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ends");
    QTest::newRow("stop") << "He left." << true;
    QTest::newRow("quote") << "\"Go!\"" << true;
    QTest::newRow("bracket") << "(as he said.)" << true;
    QTest::newRow("ellipsis character") << QString::fromUtf8("And then…") << true;
    QTest::newRow("cut word") << "He walked into the ro" << false;
    QTest::newRow("heading") << "CHAPTER IV" << false;
}

void TestSpeechSentences::EndsSentence()
{
    QFETCH(QString, text);
    QFETCH(bool, ends);
    QCOMPARE(::EndsSentence(text), ends);
}

void TestSpeechSentences::FindContinuation_data()
{
    QTest::addColumn<QString>("tail");
    QTest::addColumn<QString>("next");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    // The next piece repeats the last bytes of the one before.
    QTest::newRow("cut inside a word") << "He walked into the ro"
                                       << "o the room. She sat." << 0 << 8;
    QTest::newRow("repeat longer than the tail") << "He sa"
                                                 << "nto the room. He said nothing." << 14 << 19;
    QTest::newRow("repeat over a paragraph break") << "Sentence"
                                                   << "ns on here.\nSentence 0213 runs." << 12 << 20;
    QTest::newRow("line joined differently") << "the miller counted the sacks"
                                             << "counted  the\tsacks of flour." << 0 << 18;
    QTest::newRow("emphasis in the repeat") << "was very sure"
                                            << "_very_ sure of it." << 1 << 11;
    QTest::newRow("nothing in common") << "He walked away"
                                       << "Chapter Two. The rain." << -1 << -1;
}

void TestSpeechSentences::FindContinuation()
{
    QFETCH(QString, tail);
    QFETCH(QString, next);
    QFETCH(int, from);
    QFETCH(int, to);
    int foundFrom = -1;
    int foundTo = -1;
    QCOMPARE(::FindContinuation(tail, next, foundFrom, foundTo), from >= 0);
    QCOMPARE(foundFrom, from);
    QCOMPARE(foundTo, to);
}

void TestSpeechSentences::GuessLanguage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("language");
    QTest::newRow("English") << "It was the best of times, it was the worst of times. He had a house in the town "
                                "and she was not at home, but they were there with his friends."
                             << int(QLocale::English);
    QTest::newRow("French") << QString::fromUtf8("Il était une fois une petite fille qui vivait dans un village. "
                                                 "Elle ne savait pas que le loup était dans la forêt avec son frère, "
                                                 "mais elle allait au marché pour sa mère.")
                            << int(QLocale::French);
    QTest::newRow("German") << QString::fromUtf8("Es war einmal ein König, der hatte eine Tochter. Sie war nicht "
                                                 "sehr groß, aber die Leute in dem Dorf sagten, dass sie die "
                                                 "schönste Frau des Landes sei, und er war stolz auf sie.")
                            << int(QLocale::German);
    QTest::newRow("Spanish") << QString::fromUtf8("En un lugar de la Mancha, de cuyo nombre no quiero acordarme, "
                                                  "vivía un hidalgo de los de lanza en astillero, con una rocín "
                                                  "flaco y un galgo corredor por el campo.")
                             << int(QLocale::Spanish);
    QTest::newRow("Italian") << QString::fromUtf8("Nel mezzo del cammin di nostra vita mi ritrovai per una selva "
                                                  "oscura, che la diritta via era smarrita. Il poeta non sapeva "
                                                  "come uscire della selva, ma era solo.")
                             << int(QLocale::Italian);
    QTest::newRow("Russian") << QString::fromUtf8("Все счастливые семьи похожи друг на друга, каждая несчастливая "
                                                  "семья несчастлива по-своему.")
                             << int(QLocale::Russian);
    QTest::newRow("Greek") << QString::fromUtf8("Ἄνδρα μοι ἔννεπε, Μοῦσα, πολύτροπον, ὃς μάλα πολλὰ πλάγχθη.")
                           << int(QLocale::Greek);
    QTest::newRow("Japanese") << QString::fromUtf8("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。")
                              << int(QLocale::Japanese);
    QTest::newRow("too little") << "Hello there." << int(QLocale::AnyLanguage);
    QTest::newRow("numbers only") << "1 2 3 4 5 6 7 8 9 10" << int(QLocale::AnyLanguage);
}

void TestSpeechSentences::GuessLanguage()
{
    QFETCH(QString, text);
    QFETCH(int, language);
    QCOMPARE(int(::GuessLanguage(text)), language);
}

void TestSpeechSentences::ChooseVoice_data()
{
    QTest::addColumn<QString>("named");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("the named voice of the book's language")
        << "French (France)+Adam" << int(QLocale::French) << "French (France)+Adam";
    QTest::newRow("a named voice of another language gives way")
        << "French (France)" << int(QLocale::English) << "English (America)";
    QTest::newRow("the main country, a plain voice") << "" << int(QLocale::French) << "French (France)";
    QTest::newRow("unknown language keeps the named") << "German" << int(QLocale::AnyLanguage) << "German";
    QTest::newRow("no voice of the language: the named") << "German" << int(QLocale::Finnish) << "German";
    QTest::newRow("no voice of the language: the reader's") << "" << int(QLocale::Finnish) << "English (America)";
    QTest::newRow("a voice the engine lacks") << "Nobody" << int(QLocale::German) << "German";
}

void TestSpeechSentences::ChooseVoice()
{
    QFETCH(QString, named);
    QFETCH(int, language);
    QFETCH(QString, chosen);
    const QVector<TSpeechVoice> voices = {
        {"English (Great Britain)", QLocale(QLocale::English, QLocale::UnitedKingdom)},
        {"English (America)+Max", QLocale(QLocale::English, QLocale::UnitedStates)},
        {"English (America)", QLocale(QLocale::English, QLocale::UnitedStates)},
        {"French (Belgium)", QLocale(QLocale::French, QLocale::Belgium)},
        {"French (France)+Adam", QLocale(QLocale::French, QLocale::France)},
        {"French (France)", QLocale(QLocale::French, QLocale::France)},
        {"German", QLocale(QLocale::German, QLocale::Germany)},
    };
    const QLocale reader(QLocale::English, QLocale::UnitedStates);
    const int index = ::ChooseVoice(voices, named, QLocale::Language(language), reader);
    QVERIFY(index >= 0);
    QCOMPARE(voices[index].Name, chosen);
    QCOMPARE(::ChooseVoice({}, named, QLocale::Language(language), reader), -1);
}

QTEST_GUILESS_MAIN(TestSpeechSentences)
#include "test_speech_sentences.moc"
