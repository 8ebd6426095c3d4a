// Hyphenation: the patterns' breaks of words in the system's languages and
// in pattern files of the test's own, the rules on top of them, and finding
// and reading the pattern files.
#include <QtTest>

#include "Hyphenation.h"
#include "TempTree.h"

namespace {

// The text with "~" at each break.
QString Marked(QStringView text, const QVector<int> &breaks)
{
    QString result = text.toString();
    for (int i = breaks.size() - 1; i >= 0; --i)
        result.insert(breaks.at(i), QLatin1Char('~'));
    return result;
}

// A pattern file that allows a break between any two of the letters a..g,
// with the patterns' own minimums at one letter.
QByteArray EveryBreakPatterns() { return "UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\na1b\nb1c\nc1d\nd1e\ne1f\nf1g\n"; }

} // namespace

class TestHyphenation : public QObject {
    Q_OBJECT
private slots:
    void SystemWords_data();
    void SystemWords();
    void ParagraphRules_data();
    void ParagraphRules();
    void NoBreakNearWordEnds();
    void SingleBytePatterns();
    void MissingPatternsHyphenateNothing();
    void PatternFileLookup();
    void LanguageChoices();
    void PatternsReadOnTheirOwnThread();
};

void TestHyphenation::SystemWords_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("expected");
    QTest::newRow("English") << "en_US"
                             << "hyphenation"
                             << "hy~phen~ation";
    QTest::newRow("English capital") << "en_US"
                                     << "Pequod"
                                     << "Pe~quod";
    QTest::newRow("English short") << "en_US"
                                   << "whale"
                                   << "whale";
    QTest::newRow("English capitals only") << "en_US"
                                           << "LEVIATHAN"
                                           << "LEVIATHAN";
    QTest::newRow("French accents") << "fr_FR"
                                    << "couché"
                                    << "cou~ché";
    QTest::newRow("Russian KOI8-R") << "ru_RU" << QStringLiteral("превращение") << QStringLiteral("пре~враще~ние");
    QTest::newRow("Polish ISO-8859-2") << "pl_PL" << QStringLiteral("zażółcić") << QStringLiteral("za~żół~cić");
}

void TestHyphenation::SystemWords()
{
    QFETCH(QString, locale);
    QFETCH(QString, word);
    QFETCH(QString, expected);
    if (HyphenationPatternFile(QLocale(locale), DefaultHyphenationDirectory()).isEmpty())
        QSKIP("The system has no patterns for this language (scripts/deps installs them).");
    THyphenators hyphenators;
    const THyphenator *hyphenator = hyphenators.ForLocale(QLocale(locale), 60000);
    QVERIFY(hyphenator);
    QCOMPARE(Marked(word, hyphenator->WordBreaks(word)), expected);
}

void TestHyphenation::ParagraphRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("words") << "Call me Ishmael, the harpooneer said."
                           << "Call me Ish~mael, the har~pooneer said.";
    QTest::newRow("last word kept whole") << "Some years ago hyphenation"
                                          << "Some years ago hyphenation";
    QTest::newRow("last word before punctuation") << "the hyphenation hyphenation."
                                                  << "the hy~phen~ation hyphenation.";
    QTest::newRow("digits") << "hyphenation2 hyphenation end"
                            << "hyphenation2 hy~phen~ation end";
    QTest::newRow("capitals only") << "HYPHENATION hyphenation end"
                                   << "HYPHENATION hy~phen~ation end";
    QTest::newRow("web address") << "www.hyphenation.org http://example.com/hyphenation end"
                                 << "www.hyphenation.org http://example.com/hyphenation end";
    QTest::newRow("mail address") << "hyphenation@example.com end"
                                  << "hyphenation@example.com end";
    QTest::newRow("name with underscores") << "hyphenation_table end"
                                           << "hyphenation_table end";
    QTest::newRow("own soft hyphen") << QStringLiteral("hy\u00ADphenation hyphenation end")
                                     << QStringLiteral("hy\u00ADphenation hy~phen~ation end");
    QTest::newRow("compound with hyphen") << "well-hyphenation end"
                                          << "well-hy~phen~ation end";
    QTest::newRow("empty") << ""
                           << "";
}

void TestHyphenation::ParagraphRules()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    if (HyphenationPatternFile(QLocale(QLocale::English), DefaultHyphenationDirectory()).isEmpty())
        QSKIP("The system has no English patterns (scripts/deps installs them).");
    THyphenators hyphenators;
    const THyphenator *hyphenator = hyphenators.ForLocale(QLocale(QLocale::English), 60000);
    QVERIFY(hyphenator);
    QVector<int> breaks;
    hyphenator->ParagraphBreaks(text, breaks);
    QCOMPARE(Marked(text, breaks), expected);
}

void TestHyphenation::NoBreakNearWordEnds()
{
    TTempTree tree;
    const QString file = tree.File(QStringLiteral("hyph_xx.dic"), EveryBreakPatterns());
    const auto hyphenator = THyphenator::Load(file);
    QVERIFY(hyphenator);
    // The patterns would break after every letter.
    QCOMPARE(Marked(u"abcdefg", hyphenator->WordBreaks(u"abcdefg")), QStringLiteral("ab~c~d~efg"));
    QCOMPARE(Marked(u"Abcde", hyphenator->WordBreaks(u"Abcde")), QStringLiteral("Ab~cde"));
    QCOMPARE(Marked(u"abcd", hyphenator->WordBreaks(u"abcd")), QStringLiteral("abcd"));
    // The same word again comes from what was found the first time.
    QCOMPARE(Marked(u"abcdefg", hyphenator->WordBreaks(u"abcdefg")), QStringLiteral("ab~c~d~efg"));
}

void TestHyphenation::SingleBytePatterns()
{
    // Latin-1 patterns: the word's letters are looked up in the file's code page.
    TTempTree tree;
    const QString file = tree.File(QStringLiteral("hyph_xx.dic"), "ISO8859-1\n\xE4\x31\x62\nb1\xF6\n");
    const auto hyphenator = THyphenator::Load(file);
    QVERIFY(hyphenator);
    QCOMPARE(Marked(u"xx\u00E4b\u00F6yy", hyphenator->WordBreaks(u"xx\u00E4b\u00F6yy")),
             QStringLiteral("xx\u00E4~b~\u00F6yy"));
    // A letter the code page lacks: no breaks rather than wrong ones.
    QCOMPARE(hyphenator->WordBreaks(u"xx\u00E4b\u0151yy"), QVector<int>());
}

void TestHyphenation::MissingPatternsHyphenateNothing()
{
    TTempTree tree;
    THyphenators hyphenators(tree.Root());
    QVERIFY(!hyphenators.ForLocale(QLocale(QLocale::English)));
    QVERIFY(!hyphenators.IsReading(QLocale(QLocale::English)));
    QVERIFY(!hyphenators.ForLocale(QLocale(QLocale::AnyLanguage, QLocale::AnyTerritory)));
    QVERIFY(!THyphenator::Load(tree.Path(QStringLiteral("hyph_en_US.dic"))));
    QVERIFY(!THyphenator::Load(QString()));
}

void TestHyphenation::PatternFileLookup()
{
    TTempTree tree;
    tree.File(QStringLiteral("hyph_de.dic"), EveryBreakPatterns());
    tree.File(QStringLiteral("hyph_en_GB.dic"), EveryBreakPatterns());
    tree.File(QStringLiteral("hyph_en.dic"), EveryBreakPatterns());
    const QString dir = tree.Root().chopped(1);
    // The country's file first, then the language's.
    QCOMPARE(HyphenationPatternFile(QLocale(QLocale::German, QLocale::Austria), dir), dir + "/hyph_de.dic");
    QCOMPARE(HyphenationPatternFile(QLocale(QLocale::English, QLocale::UnitedKingdom), dir), dir + "/hyph_en_GB.dic");
    QCOMPARE(HyphenationPatternFile(QLocale(QLocale::English, QLocale::UnitedStates), dir), dir + "/hyph_en.dic");
    QCOMPARE(HyphenationPatternFile(QLocale(QLocale::French), dir), QString());
}

void TestHyphenation::LanguageChoices()
{
    const QStringList choices = HyphenationLanguageChoices();
    QCOMPARE(choices.first(), BookLanguageChoice());
    QCOMPARE(choices.size(), 13);
    QCOMPARE(HyphenationLocale(BookLanguageChoice(), QLocale::German).name(), QStringLiteral("de_DE"));
    QCOMPARE(HyphenationLocale(QStringLiteral("English (UK)"), QLocale::German).name(), QStringLiteral("en_GB"));
    QCOMPARE(HyphenationLocale(QStringLiteral("Portuguese"), QLocale::English).name(), QStringLiteral("pt_PT"));
    // A name that is no choice stands for the book's language.
    QCOMPARE(HyphenationLocale(QStringLiteral("Klingon"), QLocale::French).name(), QStringLiteral("fr_FR"));
    QVERIFY(HyphenationPatternFile(HyphenationLocale(BookLanguageChoice(), QLocale::AnyLanguage),
                                   DefaultHyphenationDirectory())
                .isEmpty());
}

void TestHyphenation::PatternsReadOnTheirOwnThread()
{
    TTempTree tree;
    tree.File(QStringLiteral("hyph_de.dic"), EveryBreakPatterns());
    THyphenators hyphenators(tree.Root().chopped(1));
    QSignalSpy ready(&hyphenators, &THyphenators::Ready);
    const QLocale german(QLocale::German);
    const THyphenator *first = hyphenators.ForLocale(german, 0);
    if (!first) {
        // Not read yet: told once it is, then given at once.
        QVERIFY(ready.wait(30000) || ready.count() == 1);
        QCOMPARE(ready.count(), 1);
        QCOMPARE(ready.at(0).at(0).toString(), QStringLiteral("de_DE"));
        QVERIFY(!hyphenators.IsReading(german));
    }
    const THyphenator *hyphenator = hyphenators.ForLocale(german, 0);
    QVERIFY(hyphenator);
    QCOMPARE(Marked(u"abcdefg", hyphenator->WordBreaks(u"abcdefg")), QStringLiteral("ab~c~d~efg"));
    QTest::qWait(120);
    QCOMPARE(ready.count(), first ? 0 : 1);
}

QTEST_GUILESS_MAIN(TestHyphenation)
#include "test_hyphenation.moc"
