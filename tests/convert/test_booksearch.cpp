// Finding text as a reader means it: case ignored, line ends as spaces,
// words broken at a line end found whole.
#include <QtTest>

#include "BookSearch.h"

class TestBookSearch : public QObject {
    Q_OBJECT
private slots:
    void findsAsTheReaderMeans_data();
    void findsAsTheReaderMeans();
    void findsWithinTheRangeOnly();
    void listsEveryMatchUpToTheLimit();
    void contextIsOneLineOfWholeWords();
};

void TestBookSearch::findsAsTheReaderMeans_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("term");
    QTest::addColumn<QString>("found"); // the text of the match, empty for none
    QTest::newRow("case ignored") << "Call me Ishmael." << "ishmael" << "Ishmael";
    QTest::newRow("broken at a line end") << "and Quee-\r\nqueg said" << "Queequeg" << "Quee-\r\nqueg";
    QTest::newRow("broken, blanks around the line end") << "Quee- \n   queg" << "queequeg" << "Quee- \n   queg";
    QTest::newRow("line end as a space") << "the white\r\nwhale" << "white whale" << "white\r\nwhale";
    QTest::newRow("paragraph separator of the box") << QString("the white") + QChar(0x2029) + "whale"
                                                    << "white whale" << QString("white") + QChar(0x2029) + "whale";
    QTest::newRow("a dash before a capital stays") << "the sea-\nMonster" << "seaMonster" << "";
    QTest::newRow("hyphen of a compound in a line") << "a well-known man" << "well-known" << "well-known";
    QTest::newRow("spaces of the term simplified") << "the white whale" << "  white   whale " << "white whale";
    QTest::newRow("missing") << "nothing here" << "Queequeg" << "";
    QTest::newRow("empty term") << "anything" << "   " << "";
}

void TestBookSearch::findsAsTheReaderMeans()
{
    QFETCH(QString, text);
    QFETCH(QString, term);
    QFETCH(QString, found);
    const TTextMatch match = FindAcrossLines(text, term);
    QCOMPARE(match.Found(), !found.isEmpty());
    if (match.Found())
        QCOMPARE(text.mid(match.Start, match.Length), found);
}

void TestBookSearch::findsWithinTheRangeOnly()
{
    const QString text = QStringLiteral("whale one, whale two, whale three");
    QCOMPARE(FindAcrossLines(text, QStringLiteral("whale"), 1).Start, 11);
    QCOMPARE(FindAcrossLines(text, QStringLiteral("whale"), 12, 22).Start, -1); // not whole inside
    QCOMPARE(FindAcrossLines(text, QStringLiteral("whale"), 12, 27).Start, 22);
    QCOMPARE(FindAcrossLines(text, QStringLiteral("whale"), 40).Start, -1);
}

void TestBookSearch::listsEveryMatchUpToTheLimit()
{
    const QString text = QStringLiteral("Pip, pip and PIP.\r\nPip-\r\npip? No: Pippin.");
    int total = 0;
    const QVector<TTextMatch> all = FindAllAcrossLines(text, QStringLiteral("pip"), 3, &total);
    QCOMPARE(total, 6); // the broken "Pip-pip" joins to "Pippip": two, and Pippin
    QCOMPARE(all.size(), 3);
    QCOMPARE(all.at(2).Start, 13);
    FindAllAcrossLines(text, QString(), 10, &total);
    QCOMPARE(total, 0);
}

void TestBookSearch::contextIsOneLineOfWholeWords()
{
    const QString text = QStringLiteral("It was the best of times,\r\nit was the worst of times, it was the age of wisdom");
    const TTextMatch match = FindAcrossLines(text, QStringLiteral("worst"));
    const QString context = MatchContext(text, match, 20);
    QVERIFY(context.contains(QStringLiteral("the worst of times")));
    QVERIFY(!context.contains(QLatin1Char('\r')));
    QVERIFY(context.startsWith(QStringLiteral("…")) && context.endsWith(QStringLiteral("…")));
    QCOMPARE(MatchContext(text, TTextMatch()), QString());
}

QTEST_GUILESS_MAIN(TestBookSearch)
#include "test_booksearch.moc"
