// The browser's rules without widgets: what a listing holds, what it selects
// and scrolls to, where Up, "/" and opening an item lead, and its texts.
#include <QtTest>

#include "FakeVolumes.h"
#include "FileBrowser.h"
#include "FilePaths.h"
#include "History.h"
#include "TempTree.h"

class TestFileBrowser : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void directoriesFirstEachGroupSorted();
    void typeLabels_data();
    void typeLabels();
    void firstVisitSelectsTheFirstItem();
    void comingBackSelectsTheLastItem();
    void scrollIsRestoredOnlyWhenTheItemFits_data();
    void scrollIsRestoredOnlyWhenTheItemFits();
    void upSelectsTheDirectoryLeftAndItsScroll();
    void upFromAVolumeRootShowsThePartitions();
    void partitionsKeepTheirOrderAndSelection();
    void openingItems();
    void goneDirectoryFallsBackAndLeavesTheHistory();
    void exactNameWinsOverCase();
    void hintNamesTheItemAndItsSize();
    void oddNamesOpenThroughALink();

private:
    QStringList Names() const
    {
        QStringList names;
        for (const TBrowserItem &item : Browser->Items())
            names << item.Text;
        return names;
    }
    // Lists a path the way the list would, given how many rows it shows.
    TBrowserSelection Load(const QString &path, int visibleRows = 10)
    {
        const QString selected
            = Selected >= 0 && Selected < Browser->Count() ? Browser->Items().at(Selected).Text : QString();
        const TBrowserListing listing = Browser->LoadContent(path, selected, Top);
        const TBrowserSelection selection = Browser->SelectionFor(listing, visibleRows);
        Select(selection.Index, selection.TopIndex >= 0 ? selection.TopIndex : 0);
        return selection;
    }
    // The reader selects a row with the list scrolled to top.
    void Select(int index, int top)
    {
        Selected = index;
        Top = top;
        Browser->NoteSelection(index, top);
    }
    QString SelectedText() const { return Selected >= 0 ? Browser->Items().at(Selected).Text : QString(); }

    std::unique_ptr<TTempTree> Tree;
    std::unique_ptr<TScopedVolumes> Volumes;
    std::unique_ptr<THistoryList> History;
    std::unique_ptr<TFileBrowser> Browser;
    int Selected = -1;
    int Top = 0;
};

void TestFileBrowser::init()
{
    Tree = std::make_unique<TTempTree>();
    Tree->Directory("home/Books/Old");
    Tree->Directory("home/Books/archive");
    Tree->File("home/Books/Zola.txt", "Germinal");
    Tree->File("home/Books/austen.TXT", "Emma");
    Tree->File("home/Books/Book.RTF", "{\\rtf1 }");
    Tree->File("home/Books/book.txt", "x");
    Tree->File("home/Books/.hidden.txt", "x");
    Tree->File("home/Books/notes.doc", "x");
    Tree->Directory("usb/Library");
    Volumes = std::make_unique<TScopedVolumes>(
        Tree->Path("home"),
        QList<TVolumeDescription>{TScopedVolumes::Volume("/", "ext4", "/dev/sda1", "System"),
                                  TScopedVolumes::Volume(Tree->Path("usb"), "vfat", "/dev/sdb1", "", true)});
    History = std::make_unique<THistoryList>();
    Browser = std::make_unique<TFileBrowser>(*History);
    Selected = -1;
    Top = 0;
}

void TestFileBrowser::cleanup()
{
    Browser.reset();
    History.reset();
    Volumes.reset();
    Tree.reset();
}

void TestFileBrowser::directoriesFirstEachGroupSorted()
{
    Load(Tree->Path("home/Books/"));
    QCOMPARE(Browser->Dir(), Tree->Path("home/Books/"));
    QCOMPARE(Names(), QStringList({"archive", "Old", "austen.TXT", "Book.RTF", "book.txt", "Zola.txt"}));
    for (int i = 0; i < Browser->Count(); ++i)
        QCOMPARE(Browser->Items().at(i).File, i >= 2);
    // A path without its delimiter names the directory in its parent.
    Load(Tree->Path("home/Books"));
    QCOMPARE(Browser->Dir(), Tree->Path("home/"));
    QCOMPARE(SelectedText(), QString("Books"));
}

void TestFileBrowser::typeLabels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("file");
    QTest::addColumn<QString>("label");
    QTest::newRow("directory") << "Old" << false << "Dir";
    QTest::newRow("directory named like a book") << "x.rtf" << false << "Dir";
    QTest::newRow("drive") << "/media/usb:" << false << "Dir";
    QTest::newRow("rtf") << "Book.RTF" << true << "Form";
    QTest::newRow("txt") << "book.txt" << true << "Plain";
    QTest::newRow("TXT") << "book.TXT" << true << "Plain";
}

void TestFileBrowser::typeLabels()
{
    QFETCH(QString, name);
    QFETCH(bool, file);
    QFETCH(QString, label);
    QCOMPARE(TFileBrowser::TypeLabel(TBrowserItem{name, file, {}, {}}), label);
}

void TestFileBrowser::firstVisitSelectsTheFirstItem()
{
    const TBrowserSelection selection = Load(Tree->Path("home/Books/"));
    QCOMPARE(selection.Index, 0);
    QCOMPARE(selection.TopIndex, -1);
    // An empty directory selects nothing.
    Tree->Directory("home/Empty");
    QCOMPARE(Load(Tree->Path("home/Empty/")).Index, -1);
    QCOMPARE(Browser->OpenItem(-1).Kind, TBrowserAction::None);
}

void TestFileBrowser::comingBackSelectsTheLastItem()
{
    Load(Tree->Path("home/Books/"));
    Select(Browser->IndexOf("Zola.txt"), 0);
    Load(Tree->Path("usb/"));
    Select(0, 0);
    Load(Tree->Path("home/Books/"));
    QCOMPARE(SelectedText(), QString("Zola.txt"));
    // Reload keeps the selection as well.
    Select(Browser->IndexOf("Book.RTF"), 0);
    Load(Browser->Dir());
    QCOMPARE(SelectedText(), QString("Book.RTF"));
}

void TestFileBrowser::scrollIsRestoredOnlyWhenTheItemFits_data()
{
    QTest::addColumn<int>("rowsThen");
    QTest::addColumn<int>("rowsNow");
    QTest::addColumn<int>("top");
    // 40 entries; item 30 was selected with the list scrolled to row 25.
    QTest::newRow("same size") << 10 << 10 << 25;
    QTest::newRow("smaller, item still shows") << 10 << 6 << 25;
    QTest::newRow("smaller, item would hide") << 10 << 5 << -1;
    QTest::newRow("larger") << 10 << 30 << 25;
}

void TestFileBrowser::scrollIsRestoredOnlyWhenTheItemFits()
{
    QFETCH(int, rowsThen);
    QFETCH(int, rowsNow);
    QFETCH(int, top);
    for (int i = 0; i < 40; ++i)
        Tree->File(QString("usb/Library/book%1.txt").arg(i, 2, 10, QChar('0')), "x");
    Load(Tree->Path("usb/Library/"), rowsThen);
    Select(30, 25);
    Load(Tree->Path("home/"), rowsThen);
    Select(0, 0);
    const TBrowserSelection back = Load(Tree->Path("usb/Library/"), rowsNow);
    QCOMPARE(back.Index, 30);
    QCOMPARE(back.TopIndex, top);
}

void TestFileBrowser::upSelectsTheDirectoryLeftAndItsScroll()
{
    for (int i = 0; i < 40; ++i)
        Tree->Directory(QString("home/Shelf/d%1").arg(i, 2, 10, QChar('0')));
    Tree->File("home/Shelf/d33/inside.txt", "x");
    Load(Tree->Path("home/Shelf/"));
    Select(33, 28); // d33 selected, list scrolled to row 28
    const TBrowserAction enter = Browser->OpenItem(33);
    QCOMPARE(enter.Kind, TBrowserAction::Enter);
    QCOMPARE(enter.Path, Tree->Path("home/Shelf/d33/"));
    Load(enter.Path);
    QCOMPARE(SelectedText(), QString("inside.txt"));
    QCOMPARE(Browser->UpPath(), Tree->Path("home/Shelf/d33"));
    const TBrowserSelection up = Load(Browser->UpPath());
    QCOMPARE(Browser->Dir(), Tree->Path("home/Shelf/"));
    QCOMPARE(SelectedText(), QString("d33"));
    QCOMPARE(up.TopIndex, 28); // the parent's own scroll, not the child's
}

void TestFileBrowser::upFromAVolumeRootShowsThePartitions()
{
    Load(Tree->Path("usb/Library/"));
    Load(Browser->UpPath());
    QCOMPARE(Browser->Dir(), Tree->Path("usb/"));
    QCOMPARE(SelectedText(), QString("Library"));
    QCOMPARE(Browser->UpPath(), Tree->Path("usb:"));
    Load(Browser->UpPath());
    QCOMPARE(Browser->Dir(), QString());
    QCOMPARE(SelectedText(), Tree->Path("usb:"));
    // From the home directory the same, and from the root too.
    Load(Tree->Path("home/Books/"));
    Load(Tree->Path("home/"));
    Load(Browser->UpPath());
    QCOMPARE(SelectedText(), Tree->Path("home:"));
    Load("/");
    QCOMPARE(Browser->UpPath(), QString("/:"));
    Load(Browser->UpPath());
    QCOMPARE(SelectedText(), QString("/:"));
}

void TestFileBrowser::partitionsKeepTheirOrderAndSelection()
{
    Load(QString());
    QCOMPARE(Names(), QStringList({Tree->Path("home:"), "/:", Tree->Path("usb:")}));
    QCOMPARE(Browser->DisplayName(0), Tree->Path("home") + " (Home)");
    QCOMPARE(Browser->DisplayName(1), QString("/ (Fixed: \"System\")"));
    QCOMPARE(Browser->DisplayName(2), Tree->Path("usb") + " (Removable)");
    // "/" in a directory: the partitions list with its drive selected.
    Load(Tree->Path("usb/Library/"));
    QCOMPARE(Browser->PartitionsPath(), Tree->Path("usb:"));
    Load(Browser->PartitionsPath());
    QCOMPARE(SelectedText(), Tree->Path("usb:"));
    // In the partitions list: Up and "/" show it again, the selection kept.
    Select(1, 0);
    QCOMPARE(Browser->UpPath(), QString());
    QCOMPARE(Browser->PartitionsPath(), QString());
    Load(Browser->UpPath());
    QCOMPARE(SelectedText(), QString("/:"));
    // Entering a drive lists its root.
    QCOMPARE(Browser->OpenItem(0).Path, Tree->Path("home/"));
    QCOMPARE(Browser->OpenItem(1).Path, QString("/"));
}

void TestFileBrowser::openingItems()
{
    Load(Tree->Path("home/Books/"));
    const TBrowserAction book = Browser->OpenItem(Browser->IndexOf("Zola.txt"));
    QCOMPARE(book.Kind, TBrowserAction::OpenBook);
    QCOMPARE(book.Path, Tree->Path("home/Books/Zola.txt"));
    const TBrowserAction dir = Browser->OpenItem(Browser->IndexOf("Old"));
    QCOMPARE(dir.Kind, TBrowserAction::Enter);
    QCOMPARE(dir.Path, Tree->Path("home/Books/Old/"));
    QCOMPARE(Browser->OpenItem(99).Kind, TBrowserAction::None);
}

void TestFileBrowser::goneDirectoryFallsBackAndLeavesTheHistory()
{
    Tree->File("home/Books/Old/Older/a.txt", "x");
    Load(Tree->Path("home/Books/Old/Older/"));
    Select(0, 0);
    Load(Tree->Path("home/Books/"));
    Select(0, 0);
    QVERIFY(History->Find(Tree->Path("home/Books/Old/Older/")).Index >= 0);
    QVERIFY(QDir(Tree->Path("home/Books/Old")).removeRecursively());
    Load(Tree->Path("home/Books/Old/Older/")); // chosen from the history, say
    QCOMPARE(Browser->Dir(), Tree->Path("home/Books/"));
    QCOMPARE(History->Find(Tree->Path("home/Books/Old/Older/")).Index, -1);
    QCOMPARE(History->Find(Tree->Path("home/Books/Old/")).Index, -1);
    QCOMPARE(SelectedText(), QString("archive"));
}

void TestFileBrowser::exactNameWinsOverCase()
{
    Tree->File("home/Books/BOOK.txt", "x");
    Load(Tree->Path("home/Books/book.txt"));
    QCOMPARE(SelectedText(), QString("book.txt"));
    Load(Tree->Path("home/Books/BOOK.txt"));
    QCOMPARE(SelectedText(), QString("BOOK.txt"));
    Load(Tree->Path("home/Books/ZOLA.TXT"));
    QCOMPARE(SelectedText(), QString("Zola.txt"));
    Load(Tree->Path("home/Books/missing.txt"));
    QCOMPARE(Selected, 0);
}

void TestFileBrowser::hintNamesTheItemAndItsSize()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Tree->File("home/Books/big.txt", QByteArray(12345, 'x'));
    Load(Tree->Path("home/Books/"));
    QCOMPARE(Browser->ItemHint(-1), TFileBrowser::ListHint);
    QCOMPARE(Browser->ItemHint(Browser->IndexOf("big.txt")),
             TFileBrowser::ListHint + " SIZE 12,345 characters. NAME \"big.txt\" (IN \"Books\").");
    QCOMPARE(Browser->ItemHint(Browser->IndexOf("Old")), TFileBrowser::ListHint + " NAME \"Old\" (IN \"Books\").");
    // A book gone since the listing: size 0, no failure shown.
    QFile::remove(Tree->Path("home/Books/big.txt"));
    QVERIFY(Browser->ItemHint(Browser->IndexOf("big.txt")).contains(" SIZE 0 characters."));
    Load(QString());
    QCOMPARE(Browser->ItemHint(2), TFileBrowser::ListHint + " NAME \"" + Tree->Path("usb") + "\" (IN \"\").");
}

void TestFileBrowser::oddNamesOpenThroughALink()
{
    Tree->NativeFile("home/Books/\xe9t\xe9.txt", "summer");
    Load(Tree->Path("home/Books/"));
    const int index = Browser->IndexOf(QFile::decodeName("\xe9t\xe9.txt"));
    QVERIFY(index >= 0);
    const TBrowserAction open = Browser->OpenItem(index);
    QCOMPARE(open.Kind, TBrowserAction::OpenBook);
    QFile book(open.Path);
    QVERIFY2(book.open(QIODevice::ReadOnly), qPrintable(open.Path));
    QCOMPARE(book.readAll(), QByteArray("summer"));
}

QTEST_GUILESS_MAIN(TestFileBrowser)
#include "test_filebrowser.moc"
