// Listing directories, with their fall-backs, odd entries and odd names.
#include <QtTest>

#include "DirectoryListing.h"
#include "FilePaths.h"
#include "FunStatContext.h"
#include "Partitions.h"
#include "TempTree.h"

#include <unistd.h>

class TestFileListing : public QObject {
    Q_OBJECT
private slots:
    void splitsDirectoriesAndMatchingFiles();
    void countsEveryEntryLookedAt_data();
    void countsEveryEntryLookedAt();
    void hiddenOnlyDirectoryIsEmptyWithoutReport();
    void oddEntriesAreListedWithoutBlocking();
    void oddNamesAreListed();
    void nameThatIsNotUtf8StillOpens();
    void failureKeepsWhatWasListed();
    void emptyPathAndDrivesListThePartitions();
    void goneDirectoryFallsBackToItsParent();
    void unreadableDirectoryFallsBack();
    void fullPathsAndResolvedLinks();

private:
    static QStringList Texts(const TListedEntries &entries)
    {
        QStringList texts;
        for (const TListedEntry &entry : entries)
            texts << entry.Text;
        texts.sort();
        return texts;
    }
};

void TestFileListing::splitsDirectoriesAndMatchingFiles()
{
    TTempTree tree;
    tree.File("Book.TXT");
    tree.File("story.rtf");
    tree.File("notes.txt.bak");
    tree.File("picture.png");
    tree.Directory("Old");
    tree.Directory("new.txt"); // a directory whose name looks like a book
    TListedEntries dirs, files;
    int count = -1;
    LoadFilesFromDir(tree.Root(), "*.txt; *.rtf", dirs, false, false, -1, count, files);
    QCOMPARE(FunStatContext.Status, int(Perfect));
    QCOMPARE(Texts(dirs), QStringList({"Old", "new.txt"}));
    QCOMPARE(Texts(files), QStringList({"Book.TXT", "story.rtf"}));
    for (const TListedEntry &entry : dirs)
        QVERIFY(!entry.File);
    for (const TListedEntry &entry : files)
        QVERIFY(entry.File);
    QCOMPARE(count, 6);
    // A directory given without its delimiter lists the same.
    TListedEntries dirs2, files2;
    LoadFilesFromDir(WithoutDelimiter(tree.Root()), "*.txt; *.rtf", dirs2, false, false, -1, count, files2);
    QCOMPARE(Texts(files2), Texts(files));
}

void TestFileListing::countsEveryEntryLookedAt_data()
{
    QTest::addColumn<int>("maxCount");
    QTest::addColumn<int>("count");
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("all") << -1 << 5;
    QTest::newRow("some") << 2 << 2;
    QTest::newRow("more than there are") << 50 << 5;
}

void TestFileListing::countsEveryEntryLookedAt()
{
    QFETCH(int, maxCount);
    QFETCH(int, count);
    TTempTree tree;
    for (const char *name : {"a.txt", "b.txt", "c.png", ".hidden.txt"})
        tree.File(name);
    tree.Directory("d1");
    tree.Directory("d2");
    TListedEntries dirs, files;
    int counted = -1;
    LoadFilesFromDir(tree.Root(), "*.txt", dirs, false, false, maxCount, counted, files);
    QCOMPARE(counted, count);
    QVERIFY(dirs.size() + files.size() <= count);
    if (maxCount < 0)
        QCOMPARE(dirs.size() + files.size(), 4);
}

void TestFileListing::hiddenOnlyDirectoryIsEmptyWithoutReport()
{
    TTempTree tree;
    tree.File(".profile.txt");
    tree.Directory(".cache");
    TListedEntries dirs, files;
    int count = -1;
    LoadFilesFromDir(tree.Root(), "*.txt; *.rtf", dirs, false, false, -1, count, files);
    QCOMPARE(FunStatContext.Status, int(Perfect));
    QVERIFY(dirs.isEmpty());
    QVERIFY(files.isEmpty());
    QCOMPARE(count, 0);
}

void TestFileListing::oddEntriesAreListedWithoutBlocking()
{
    TTempTree tree;
    tree.Directory("Real");
    tree.Link("to-real", tree.Path("Real"));
    tree.Link("broken.txt", tree.Path("nowhere.txt"));
    tree.Link("loop-a.txt", tree.Path("loop-b.txt"));
    tree.Link("loop-b.txt", tree.Path("loop-a.txt"));
    tree.Link("self", tree.Path("self"));
    tree.Fifo("pipe.txt");
    TListedEntries dirs, files;
    int count = 0;
    LoadFilesFromDir(tree.Root(), "*.txt", dirs, false, false, -1, count, files);
    QCOMPARE(FunStatContext.Status, int(Perfect));
    // A link to a directory is entered like one; links that lead nowhere and
    // a pipe are no directories.
    QCOMPARE(Texts(dirs), QStringList({"Real", "to-real"}));
    QCOMPARE(Texts(files), QStringList({"broken.txt", "loop-a.txt", "loop-b.txt", "pipe.txt"}));
    QCOMPARE(count, 7);
}

void TestFileListing::oddNamesAreListed()
{
    TTempTree tree;
    const QStringList names{"line\nbreak.txt", "\"quoted\".txt",  "it's.txt",       "  spaced  .txt", "tab\t.rtf",
                            "ünïcödé 書.txt",  "back\\slash.txt", "semi;colon.txt", "colon:.txt"};
    for (const QString &name : names)
        tree.File(name, "x");
    TListedEntries dirs, files;
    int count = 0;
    LoadFilesFromDir(tree.Root(), "*.txt; *.rtf", dirs, false, false, -1, count, files);
    QStringList expected = names;
    expected.sort();
    QCOMPARE(Texts(files), expected);
    for (const TListedEntry &entry : files) {
        QVERIFY(entry.NativeName.isEmpty());
        QVERIFY2(QFile::exists(tree.Root() + entry.Text), qPrintable(entry.Text));
    }
}

void TestFileListing::nameThatIsNotUtf8StillOpens()
{
    TTempTree tree;
    const QByteArray raw = tree.NativeFile("caf\xe9 book.txt", "Latin-1 name\n");
    TListedEntries dirs, files;
    int count = 0;
    LoadFilesFromDir(tree.Root(), "*.txt", dirs, false, false, -1, count, files);
    QCOMPARE(files.size(), 1);
    const TListedEntry entry = files.constFirst();
    QCOMPARE(entry.Text, QFile::decodeName(QByteArray("caf\xe9 book.txt")));
    QCOMPARE(entry.NativeName, QByteArray("caf\xe9 book.txt"));
    QCOMPARE(NativeEntryPath(tree.Root(), entry), raw);
    // The decoded name does not lead to the file; a readable link does.
    QVERIFY(!QFile::exists(tree.Root() + entry.Text));
    TTempTree links;
    const QString link = MakeReadableLink(NativeEntryPath(tree.Root(), entry), links.Root());
    QVERIFY(!link.isEmpty());
    QFile file(link);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("Latin-1 name\n"));
    // A second link to the same name gets a name of its own.
    const QString second = MakeReadableLink(NativeEntryPath(tree.Root(), entry), links.Root());
    QVERIFY(!second.isEmpty() && second != link);
}

void TestFileListing::failureKeepsWhatWasListed()
{
    TTempTree tree;
    const QString file = tree.File("plain.txt", "x");
    for (const QString &dir : {tree.Path("missing/"), file}) {
        TListedEntries dirs{{"kept", false, {}}}, files;
        int count = -1;
        LoadFilesFromDir(dir, "*.txt", dirs, false, false, -1, count, files);
        QCOMPARE(FunStatContext.Status, int(Error));
        QCOMPARE(FunStatContext.Description, QString("Failed to load directory."));
        QCOMPARE(FunStatContext.RaiseFunction, QString("LoadFilesFromDir"));
        QCOMPARE(FunStatContext.Parameter1, dir);
        QVERIFY(FunStatContext.SystemErrorCode != 0);
        QCOMPARE(Texts(dirs), QStringList({"kept"}));
        QCOMPARE(count, 0);
    }
}

void TestFileListing::emptyPathAndDrivesListThePartitions()
{
    TListedEntries expected;
    int expectedCount = 0;
    LoadPartitionsList(expected, expectedCount);
    QVERIFY(expectedCount >= 1);
    QCOMPARE(expected.size(), expectedCount);
    QVERIFY(IsDrive(expected.constFirst().Text));
    for (const QString &dir : {QString(), QStringLiteral("/:"), QStringLiteral("relative")}) {
        TListedEntries dirs, files;
        int count = -1;
        LoadFilesFromDir(dir, "*.txt", dirs, false, false, -1, count, files);
        QCOMPARE(Texts(dirs), Texts(expected));
        QCOMPARE(count, expectedCount);
        QVERIFY(files.isEmpty());
    }
}

void TestFileListing::goneDirectoryFallsBackToItsParent()
{
    TTempTree tree;
    tree.File("Books/book.txt", "x");
    const QString gone = tree.Path("Books/Old/Older/");
    QStringList failed;
    TListedEntries dirs, files;
    QString listed;
    int count = 0;
    LoadFilesFromAnyDir(
        gone, "*.txt", dirs, listed, [&](const QString &dir) { failed << dir; }, false, false, -1, count, files);
    QCOMPARE(listed, tree.Path("Books/"));
    QCOMPARE(failed, QStringList({gone, tree.Path("Books/Old/")}));
    QCOMPARE(Texts(files), QStringList({"book.txt"}));
    // The fall-back is no failure of the listing.
    QCOMPARE(FunStatContext.Status, int(Perfect));

    // Without a callback it falls back all the same.
    dirs.clear();
    files.clear();
    LoadFilesFromAnyDir(gone, "*.txt", dirs, listed, nullptr, false, false, -1, count, files);
    QCOMPARE(listed, tree.Path("Books/"));

    // A relative name has no drive: the partitions list, and the callback
    // hears of the name.
    failed.clear();
    dirs.clear();
    LoadFilesFromAnyDir(
        "nowhere/at/all/", "*.txt", dirs, listed, [&](const QString &dir) { failed << dir; }, false, false, -1, count,
        files);
    QCOMPARE(listed, QString());
    QCOMPARE(failed, QStringList({"nowhere/at/all/"}));
    QVERIFY(!dirs.isEmpty());
}

void TestFileListing::unreadableDirectoryFallsBack()
{
    if (::geteuid() == 0)
        QSKIP("The superuser reads every directory.");
    TTempTree tree;
    const QString locked = tree.Directory("Locked");
    tree.File("Locked/secret.txt", "x");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    TListedEntries dirs, files;
    QString listed;
    int count = 0;
    QStringList failed;
    LoadFilesFromAnyDir(
        locked, "*.txt", dirs, listed, [&](const QString &dir) { failed << dir; }, false, false, -1, count, files);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(listed, tree.Root());
    QCOMPARE(failed, QStringList({locked}));
    QCOMPARE(Texts(dirs), QStringList({"Locked"}));
}

void TestFileListing::fullPathsAndResolvedLinks()
{
    TTempTree tree;
    tree.File("Shelf/a.txt", "x");
    tree.Link("shelf-link", tree.Path("Shelf"));
    TListedEntries dirs, files;
    int count = 0;
    LoadFilesFromDir(tree.Root(), "*.txt", dirs, true, false, -1, count, files);
    QCOMPARE(Texts(dirs), QStringList({tree.Path("Shelf"), tree.Path("shelf-link")}));
    dirs.clear();
    LoadFilesFromDir(tree.Root(), "*.txt", dirs, true, true, -1, count, files);
    QCOMPARE(Texts(dirs), QStringList({tree.Path("Shelf"), tree.Path("Shelf")}));
}

QTEST_GUILESS_MAIN(TestFileListing)
#include "test_file_listing.moc"
