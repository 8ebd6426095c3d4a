// The window-side state of an open book: controls, texts, progress pacing.
#include "BookSession.h"

#include <QtTest>

namespace {
double g_now = 0.0;
double FakeClock() { return g_now; }
} // namespace

class TestBookSession : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void piecesControlsAndSteps();
    void currentFileInfo();
    void progressIsPacedToOncePerSecond();
};

void TestBookSession::piecesControlsAndSteps()
{
    TPiecesControls c = PiecesControlsFor(1, 0, true);
    QCOMPARE(c.PiecesLabel, QStringLiteral("1 piece"));
    QVERIFY(!c.ComboEnabled && !c.NextEnabled && !c.PreviousEnabled && c.AllowEditingEnabled);
    c = PiecesControlsFor(3, 0, true);
    QCOMPARE(c.PiecesLabel, QStringLiteral("3 pieces"));
    QVERIFY(c.ComboEnabled && c.NextEnabled && !c.PreviousEnabled && !c.AllowEditingEnabled);
    c = PiecesControlsFor(3, 2, true);
    QVERIFY(!c.NextEnabled && c.PreviousEnabled);
    c = PiecesControlsFor(3, 1, false); // unchecked: the list stays but cannot be used
    QVERIFY(!c.ComboEnabled && !c.NextEnabled && !c.PreviousEnabled);

    const TPieceStep next = NextPieceStep(2, 3);
    QVERIFY(next.Go);
    QCOMPARE(next.Piece, 3);
    QCOMPARE(next.Position, 0);
    QVERIFY(!NextPieceStep(3, 3).Go); // next on the last piece does nothing
    const TPieceStep previous = PreviousPieceStep(3, 3);
    QVERIFY(previous.Go);
    QCOMPARE(previous.Piece, 2);
    QCOMPARE(previous.Position, -1); // opens at its end
    QVERIFY(!PreviousPieceStep(1, 3).Go);
    QVERIFY(!PreviousPieceStep(5, 3).Go);
}

void TestBookSession::currentFileInfo()
{
    TCurrentFileInfo info;
    QCOMPARE(CurrentFileInfoText(info, false), QStringLiteral("No book opened"));
    info.BookPath = QStringLiteral("/books/Poe/Raven.txt");
    info.LoadTimeText = BookOpenedInText(2.9);
    QCOMPARE(info.LoadTimeText, QStringLiteral("Book opened in 2 seconds"));
    QCOMPARE(CurrentFileInfoText(info, true), QStringLiteral("\"Raven.txt\" in \"Poe\" (Book opened in 2 seconds)"));
    info.FirstVisibleLine = 1233;
    info.LineCount = 20000;
    info.CurrentPiece = 2;
    info.PieceCount = 3;
    QCOMPARE(CurrentFileInfoText(info, false),
             QStringLiteral("\"Raven.txt\" in \"Poe\"\nTop line 1,234 (20,000 lines); piece 2 (3 pieces)"));
    QCOMPARE(BookOpenedInText(1234.5), QStringLiteral("Book opened in 1,234 seconds"));
    QCOMPARE(ExpandBookPath(QStringLiteral("/a/b/../c/./d.txt")), QStringLiteral("/a/c/d.txt"));
    QVERIFY(QFileInfo(ExpandBookPath(QStringLiteral("x.txt"))).isAbsolute());
}

void TestBookSession::progressIsPacedToOncePerSecond()
{
    TLoadTiming timing(&FakeClock);
    g_now = 50.0;
    timing.Start();
    g_now = 50.4;
    QVERIFY(timing.ProgressText(100).isEmpty());
    g_now = 51.0;
    QCOMPARE(timing.ProgressText(123456), QStringLiteral("123,456 characters; 1 seconds"));
    g_now = 51.9;
    QVERIFY(timing.ProgressText(200000).isEmpty()); // paced from the last report
    g_now = 53.5;
    QCOMPARE(timing.ProgressText(300000), QStringLiteral("300,000 characters; 3 seconds"));
    timing.Stop();
    g_now = 99.0;
    QCOMPARE(timing.Seconds(), 3.5);
}

int RunBookSessionTests(int argc, char **argv)
{
    TestBookSession test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_booksession.moc"
