// The history of visited places and its menu.
#include <QtTest>

#include <QMenu>
#include <QPushButton>

#include "FunStatContext.h"
#include "HistoryDialog.h"

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void addReplacesWithinTheNewestDirectory();
    void addIgnores_data();
    void addIgnores();
    void keepsTheNewestThousand();
    void findsTheNewestEntryOfADirectory();
    void removeDirRemovesEveryEntryOfTheDirectory();
    void replaceAndRestoreTakeOverTheRemovedState();
    void menuShowsTitleAndTwentyNewest();
    void menuPicksHandEntriesBack();
    void globalHistoriesLiveForTheRun();

private:
    static QStringList Paths(const THistoryList &history)
    {
        QStringList paths;
        for (int i = 0; i < history.Count(); ++i)
            paths << history.Entry(i).Path;
        return paths;
    }
};

void TestHistory::addReplacesWithinTheNewestDirectory()
{
    THistoryList history;
    history.Add("/books/a.txt", nullptr, false, false, 0, 0, 3);
    history.Add("/books/b.txt", nullptr, false, false, 0, 0, 4);
    QCOMPARE(Paths(history), QStringList({"/books/b.txt"}));
    QCOMPARE(history.Entry(0).State, 4);
    history.Add("/other/c.txt");
    // Back in /books/ after another directory: a second entry.
    history.Add("/books/a.txt", nullptr, false, false, 0, 0, 5);
    QCOMPARE(Paths(history), QStringList({"/books/b.txt", "/other/c.txt", "/books/a.txt"}));
    // A subdirectory is another directory.
    history.Add("/books/old/x.txt");
    QCOMPARE(history.Count(), 4);
    // Directories compare exactly: /Books/ is not /books/.
    history.Add("/Books/old/y.txt");
    QCOMPARE(history.Count(), 5);
}

void TestHistory::addIgnores_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << "" << 2;
    QTest::newRow("bare drive") << "/media/usb:" << 2;
    QTest::newRow("root drive") << "/:" << 2;
    // A directory known through an entry with a file in it adds nothing...
    QTest::newRow("known directory") << "/books/" << 2;
    QTest::newRow("older known directory") << "/first/" << 2;
    // ...an unknown one is added.
    QTest::newRow("new directory") << "/new/" << 3;
}

void TestHistory::addIgnores()
{
    QFETCH(QString, path);
    QFETCH(int, count);
    THistoryList history;
    history.Add("/first/x.txt");
    history.Add("/books/a.txt");
    history.Add(path);
    QCOMPARE(history.Count(), count);
    QCOMPARE(history.Entry(1).Path, QString("/books/a.txt"));
}

void TestHistory::keepsTheNewestThousand()
{
    THistoryList history;
    for (int i = 0; i < 1001; ++i)
        history.Add(QString("/d%1/").arg(i), nullptr, false, false, 0, 0, i);
    QCOMPARE(history.Count(), 1000);
    QCOMPARE(history.Entry(0).Path, QString("/d1/"));
    QCOMPARE(history.Entry(999).State, 1000);
}

void TestHistory::findsTheNewestEntryOfADirectory()
{
    THistoryList history;
    history.Add("/books/a.txt", nullptr, false, false, 0, 0, 1);
    history.Add("/other/");
    history.Add("/books/b.txt", nullptr, false, false, 0, 0, 7);
    history.Add("/other/c.txt");
    const THistoryMatch match = history.Find("/books/");
    QCOMPARE(match.Index, 2);
    QCOMPARE(match.Entry.Path, QString("/books/b.txt"));
    QCOMPARE(match.Entry.State, 7);
    const THistoryMatch none = history.Find("/none/");
    QCOMPARE(none.Index, -1);
    QCOMPARE(none.Entry.Path, QString("/none/"));
    // Only the directory counts: a file path finds nothing.
    QCOMPARE(history.Find("/books/a.txt").Index, -1);
}

void TestHistory::removeDirRemovesEveryEntryOfTheDirectory()
{
    THistoryList history;
    for (const char *path : {"/gone/a.txt", "/keep/x.txt", "/gone/b.txt", "/gone/sub/c.txt", "/keep/y"})
        history.Add(path);
    history.Add("/gone/");
    history.Add("/gone/d.txt", nullptr, false, false, 0, 0, 9);
    // Neighbouring entries of the directory and the newest one go too.
    QCOMPARE(history.Find("/gone/").Index, 5);
    const THistoryMatch removed = history.RemoveDir("/gone/");
    QCOMPARE(Paths(history), QStringList({"/keep/x.txt", "/gone/sub/c.txt", "/keep/y"}));
    QCOMPARE(removed.Entry.State, 9);
    QCOMPARE(history.RemoveDir("/nothing/").Index, -1);
    QCOMPARE(history.RemoveDir("/nothing/").Entry.State, -1);
    // A file path removes the entries of its directory.
    history.RemoveDir("/keep/z.txt");
    QCOMPARE(Paths(history), QStringList({"/gone/sub/c.txt"}));
    history.RemoveDir("/gone/sub/");
    QCOMPARE(history.Count(), 0);
}

void TestHistory::replaceAndRestoreTakeOverTheRemovedState()
{
    THistoryList history;
    history.Add("/books/a.txt", nullptr, false, false, 4, 5, 6);
    history.Add("/other/x.txt");
    history.Add("/books/b.txt", nullptr, true, true, 0, 0, 1);
    QCOMPARE(Paths(history), QStringList({"/other/x.txt", "/books/b.txt"}));
    QCOMPARE(history.Entry(1).State, 6);
    QCOMPARE(history.Entry(1).PairFirst, 4);
    QCOMPARE(history.Entry(1).PairSecond, 5);
    history.Add("/third/t.txt");
    history.Add("/other/y.txt", nullptr, false, true, 1, 2, 3);
    QCOMPARE(Paths(history), QStringList({"/books/b.txt", "/third/t.txt", "/other/y.txt"}));
    QCOMPARE(history.Entry(2).State, 3);
}

void TestHistory::menuShowsTitleAndTwentyNewest()
{
    THistoryDialog history;
    for (int i = 0; i < 30; ++i)
        history.Add(QString("/d%1/book.txt").arg(i));
    history.Add("/Tom & Jerry/\tbook.txt");
    QPushButton button("History");
    QMenu *menu = history.BuildMenu(&button, "Browser history");
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.size(), 21);
    QCOMPARE(actions.at(0)->text(), QString("Browser history (31 items)"));
    QCOMPARE(menu->defaultAction(), actions.at(0));
    QCOMPARE(actions.at(1)->text(), QString("/Tom && Jerry/")); // shown with its "&"
    QCOMPARE(actions.at(2)->text(), QString("/d29/"));
    QCOMPARE(actions.at(20)->text(), QString("/d11/"));
    // A new menu replaces the old one.
    QPointer<QMenu> old = menu;
    menu = history.BuildMenu(&button, "Browser history");
    QVERIFY(old.isNull());
    QCOMPARE(menu->parent(), &button);

    THistoryDialog few;
    few.Add("/only/");
    QCOMPARE(few.BuildMenu(&button, "T")->actions().size(), 2);
}

void TestHistory::menuPicksHandEntriesBack()
{
    THistoryDialog history;
    history.Add("/a/x.txt", nullptr, false, false, 0, 0, 12);
    history.Add("/b/");
    QList<THistoryEntry> picked;
    history.OnSelect = [&](const THistoryEntry &entry) { picked << entry; };
    QPushButton button;
    QMenu *menu = history.BuildMenu(&button, "Browser history");
    menu->actions().at(0)->trigger(); // the title does nothing
    QVERIFY(picked.isEmpty());
    menu->actions().at(2)->trigger();
    QCOMPARE(picked.size(), 1);
    QCOMPARE(picked.at(0).Path, QString("/a/x.txt"));
    QCOMPARE(picked.at(0).State, 12);
    // Without a handler a pick does nothing.
    history.OnSelect = nullptr;
    menu->actions().at(1)->trigger();

    history.DialogButton(&button, "Browser history");
    QVERIFY(history.Menu());
    history.Menu()->close();
    history.DialogButton(nullptr, "Browser history");
    QCOMPARE(FunStatContext.Description, QString("Failed to show history."));
    QVERIFY(!history.Menu());
}

void TestHistory::globalHistoriesLiveForTheRun()
{
    QCOMPARE(&PathsHistory(), &PathsHistory());
    QVERIFY(&PathsHistory() != &FilesHistory());
    QCOMPARE(PathsHistory().Count(), 0);
}

QTEST_MAIN(TestHistory)
#include "test_history.moc"
