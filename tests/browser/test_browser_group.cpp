// The "Browser" group: keys, presses, hints, buttons, the history menu and
// how the list is drawn.
#include <QtTest>

#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include "BrowserGroupBox.h"
#include "BrowserListBox.h"
#include "Dialogs.h"
#include "FakeVolumes.h"
#include "FileBrowser.h"
#include "HistoryDialog.h"
#include "ReportRecorder.h"
#include "Shell.h"
#include "TempTree.h"

namespace {

// A delegate that counts the rows it is asked to paint.
class TCountingDelegate : public QStyledItemDelegate {
public:
    int Painted = 0;
    int Measured = 0;
    void paint(QPainter *, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        ++const_cast<TCountingDelegate *>(this)->Painted;
    }
    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        ++const_cast<TCountingDelegate *>(this)->Measured;
        return QSize(100, 19);
    }
};

} // namespace

class TestBrowserGroup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void lettersDoNothing();
    void keysMoveAndOpen();
    void slashShowsThePartitions_data();
    void slashShowsThePartitions();
    void pressSelectsWithoutTracking();
    void ctrlClickExploresTheListedDirectory();
    void doubleClickOpens();
    void emptyDirectoryOpensNothing();
    void hintFollowsThePointer();
    void buttons();
    void openDialogOpensTheChosenBook();
    void sitesOpenInTheBrowser();
    void historyMenuLoadsAPlace();
    void drawsTypeAndNameCells();
    void rowsFollowTheFont();
    void paintsOnlyVisibleRows();

private:
    QPoint RowCenter(int row) const
    {
        const QRect rect = Group->BrowserListBox->visualRect(Group->BrowserListBox->model()->index(row, 0));
        return rect.center();
    }
    QString Current() const
    {
        const int row = Group->BrowserListBox->CurrentRow();
        return row >= 0 ? Browser->Items().at(row).Text : QString();
    }
    // The pointer moves over the list with the buttons given held.
    void Move(QPoint position, Qt::MouseButtons buttons = Qt::NoButton)
    {
        QWidget *viewport = Group->BrowserListBox->viewport();
        QMouseEvent move(QEvent::MouseMove, QPointF(position), viewport->mapToGlobal(QPointF(position)), Qt::NoButton,
                         buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }
    void Key(int key, const QString &text = QString(), Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(Group->BrowserListBox, &press);
    }

    std::unique_ptr<TTempTree> Tree;
    std::unique_ptr<TScopedVolumes> Volumes;
    std::unique_ptr<THistoryDialog> History;
    std::unique_ptr<TFileBrowser> Browser;
    std::unique_ptr<TBrowserGroupBox> Group;
    QStringList Opened; // books the group asked to open
};

void TestBrowserGroup::init()
{
    Tree = std::make_unique<TTempTree>();
    Tree->Directory("home/Books/Old");
    Tree->File("home/Books/Old/old.txt", "x");
    Tree->File("home/Books/emma.txt", "Emma");
    Tree->File("home/Books/zola.rtf", "{\\rtf1 Germinal}");
    Tree->Directory("home/Empty");
    Volumes = std::make_unique<TScopedVolumes>(
        Tree->Path("home"), QList<TVolumeDescription>{TScopedVolumes::Volume("/", "ext4", "/dev/sda1", "System")});
    History = std::make_unique<THistoryDialog>();
    Browser = std::make_unique<TFileBrowser>(*History);
    Group = std::make_unique<TBrowserGroupBox>();
    Group->Bind(Browser.get(), History.get());
    Opened.clear();
    Group->OpenBookHandler = [this](const QString &path, bool record) {
        Opened << path + (record ? "" : " (not recorded)");
        return true;
    };
    Group->CurrentBookPath = [this] { return Tree->Path("home/Books/emma.txt"); };
    Group->resize(260, 400);
    Group->show();
    QVERIFY(QTest::qWaitForWindowExposed(Group.get()));
    Group->LoadBrowserContent(Tree->Path("home/Books/"));
}

void TestBrowserGroup::cleanup()
{
    Group.reset();
    Browser.reset();
    History.reset();
    Volumes.reset();
    Tree.reset();
}

void TestBrowserGroup::lettersDoNothing()
{
    Group->BrowserListBox->SetCurrentRow(0);
    for (const char *letter : {"z", "e", "E", "\t", " "}) {
        Key(0, letter);
        QCOMPARE(Current(), QString("Old"));
        QCOMPARE(Browser->Dir(), Tree->Path("home/Books/"));
    }
    QVERIFY(Opened.isEmpty());
}

void TestBrowserGroup::keysMoveAndOpen()
{
    Group->BrowserListBox->setFocus();
    QTest::keyClick(Group->BrowserListBox, Qt::Key_Down);
    QCOMPARE(Current(), QString("emma.txt"));
    QTest::keyClick(Group->BrowserListBox, Qt::Key_Return);
    QCOMPARE(Opened, QStringList({Tree->Path("home/Books/emma.txt")}));
    QTest::keyClick(Group->BrowserListBox, Qt::Key_Home);
    QTest::keyClick(Group->BrowserListBox, Qt::Key_Enter);
    QCOMPARE(Browser->Dir(), Tree->Path("home/Books/Old/"));
    QCOMPARE(Current(), QString("old.txt"));
    QTest::keyClick(Group->BrowserListBox, Qt::Key_Backspace);
    QCOMPARE(Browser->Dir(), Tree->Path("home/Books/"));
    QCOMPARE(Current(), QString("Old"));
    QCOMPARE(Opened.size(), 1);
}

void TestBrowserGroup::slashShowsThePartitions_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("slash") << "/";
    QTest::newRow("backslash") << "\\";
}

void TestBrowserGroup::slashShowsThePartitions()
{
    QFETCH(QString, key);
    Key(0, key);
    QCOMPARE(Browser->Dir(), QString());
    QCOMPARE(Current(), Tree->Path("home:"));
    Group->BrowserListBox->SetCurrentRow(1);
    Key(0, key); // in the partitions list: the same, the selection kept
    QCOMPARE(Current(), QString("/:"));
}

void TestBrowserGroup::pressSelectsWithoutTracking()
{
    TBrowserListBox *list = Group->BrowserListBox;
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, RowCenter(2));
    QCOMPARE(Current(), QString("zola.rtf"));
    // Dragging with the button held leaves the selection where it was.
    Move(RowCenter(0), Qt::LeftButton);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, RowCenter(0));
    QCOMPARE(Current(), QString("zola.rtf"));
    // A right press selects and does nothing else; below the items the
    // selection stays.
    QTest::mousePress(list->viewport(), Qt::RightButton, Qt::NoModifier, RowCenter(1));
    QCOMPARE(Current(), QString("emma.txt"));
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, list->viewport()->height() - 2));
    QCOMPARE(Current(), QString("emma.txt"));
    QVERIFY(Opened.isEmpty());
}

void TestBrowserGroup::ctrlClickExploresTheListedDirectory()
{
    TScopedRecordingShell shell;
    QTest::mousePress(Group->BrowserListBox->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCenter(0));
    QCOMPARE(shell.Urls, QList<QUrl>({QUrl::fromLocalFile(Tree->Path("home/Books/"))}));
    QCOMPARE(Browser->Dir(), Tree->Path("home/Books/")); // the directory under it is not entered
    // Ctrl and a double click: explore and open.
    QTest::mouseDClick(Group->BrowserListBox->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCenter(1));
    QCOMPARE(Opened, QStringList({Tree->Path("home/Books/emma.txt")}));
    QVERIFY(shell.Urls.size() >= 2);
}

void TestBrowserGroup::doubleClickOpens()
{
    QTest::mouseDClick(Group->BrowserListBox->viewport(), Qt::LeftButton, Qt::NoModifier, RowCenter(2));
    QCOMPARE(Opened, QStringList({Tree->Path("home/Books/zola.rtf")}));
    QTest::mouseDClick(Group->BrowserListBox->viewport(), Qt::LeftButton, Qt::NoModifier, RowCenter(0));
    QCOMPARE(Browser->Dir(), Tree->Path("home/Books/Old/"));
    // A double click of the right button opens nothing.
    QTest::mouseDClick(Group->BrowserListBox->viewport(), Qt::RightButton, Qt::NoModifier, RowCenter(0));
    QCOMPARE(Opened.size(), 1);
}

void TestBrowserGroup::emptyDirectoryOpensNothing()
{
    Group->LoadBrowserContent(Tree->Path("home/Empty/"));
    QCOMPARE(Browser->Count(), 0);
    QCOMPARE(Group->BrowserListBox->CurrentRow(), -1);
    QTest::keyClick(Group->BrowserListBox, Qt::Key_Return);
    QTest::mouseDClick(Group->BrowserListBox->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 5));
    QCOMPARE(Browser->Dir(), Tree->Path("home/Empty/"));
    QVERIFY(Opened.isEmpty());
}

void TestBrowserGroup::hintFollowsThePointer()
{
    QStringList hints;
    connect(Group.get(), &TBrowserGroupBox::HintChanged, this, [&](const QString &hint) { hints << hint; });
    TBrowserListBox *list = Group->BrowserListBox;
    Move(RowCenter(1));
    Move(RowCenter(1) + QPoint(3, 1)); // same item, same hint
    Move(QPoint(20, list->viewport()->height() - 2));
    QCOMPARE(hints.size(), 2);
    QVERIFY(hints.at(0).endsWith(" SIZE 4 characters. NAME \"emma.txt\" (IN \"Books\")."));
    QCOMPARE(hints.at(1), TFileBrowser::ListHint);
    QCOMPARE(list->statusTip(), TFileBrowser::ListHint);
}

void TestBrowserGroup::buttons()
{
    Group->BrowserListBox->SetCurrentRow(2);
    Group->Form.ReloadBrowserButton->click();
    QCOMPARE(Current(), QString("zola.rtf"));
    Group->Form.UpBrowserButton->click();
    QCOMPARE(Browser->Dir(), Tree->Path("home/"));
    QCOMPARE(Current(), QString("Books"));
    Group->Form.UpBrowserButton->click(); // the home directory is a place of its own
    QCOMPARE(Browser->Dir(), QString());
    QCOMPARE(Current(), Tree->Path("home:"));
    Group->Form.FromBookBrowserButton->click();
    QCOMPARE(Browser->Dir(), Tree->Path("home/Books/"));
    QCOMPARE(Current(), QString("emma.txt"));
    // Without a book: the partitions list.
    Group->CurrentBookPath = [] { return QString(); };
    Group->Form.FromBookBrowserButton->click();
    QCOMPARE(Browser->Dir(), QString());
}

void TestBrowserGroup::openDialogOpensTheChosenBook()
{
    TScopedRecordingDialogs dialogs;
    dialogs.FileNames << Tree->Path("home/Books/zola.rtf");
    Group->Form.OpenBookButton->click();
    QCOMPARE(dialogs.FileDialogs.size(), 1);
    QCOMPARE(dialogs.FileDialogs.at(0).Kind, TFileDialogKind::Open);
    QCOMPARE(dialogs.FileDialogs.at(0).FileName, Tree->Path("home/Books/emma.txt"));
    QCOMPARE(dialogs.FileDialogs.at(0).Filter, QString("Text files (*.txt; *.rtf)|*.txt; *.rtf"));
    QCOMPARE(Opened, QStringList({Tree->Path("home/Books/zola.rtf")}));
    // Cancelled: nothing opens.
    Group->Form.OpenBookButton->click();
    QCOMPARE(Opened.size(), 1);
    QVERIFY(dialogs.Boxes.isEmpty());
}

void TestBrowserGroup::sitesOpenInTheBrowser()
{
    TReportRecorder reports;
    TScopedRecordingShell shell;
    Group->Form.DownloadBooksButton->click();
    Group->Form.GutenbergBooksButton->click();
    QCOMPARE(shell.Urls, QList<QUrl>({QUrl(DownloadBooksAddress), QUrl(GutenbergBooksAddress)}));
    QVERIFY(reports.Messages.isEmpty());
    shell.Result = false;
    Group->Form.GutenbergBooksButton->click();
    QCOMPARE(reports.Messages, QStringList({"Failed to open site."}));
}

void TestBrowserGroup::historyMenuLoadsAPlace()
{
    Group->LoadBrowserContent(Tree->Path("home/Books/Old/"));
    Group->Form.BrowserHistoryButton->click();
    QMenu *menu = History->Menu();
    QVERIFY(menu);
    QVERIFY(menu->actions().at(0)->text().startsWith("Browser history ("));
    QCOMPARE(menu->actions().at(1)->text(), Tree->Path("home/Books/Old/"));
    QCOMPARE(menu->actions().at(2)->text(), Tree->Path("home/Books/"));
    menu->actions().at(2)->trigger();
    menu->close();
    QCOMPARE(Browser->Dir(), Tree->Path("home/Books/"));
    QCOMPARE(Current(), QString("Old"));
}

void TestBrowserGroup::drawsTypeAndNameCells()
{
    TBrowserColors colors;
    colors.ScreenBack = QColor(10, 20, 30);
    colors.ScreenFore = QColor(200, 200, 200);
    colors.FocusBack = QColor(250, 0, 0);
    colors.FocusFore = QColor(0, 250, 0);
    colors.DirTypeBack = QColor(0, 0, 250);
    colors.DirTypeFore = QColor(250, 250, 0);
    Group->SetColors(colors);
    TBrowserListBox *list = Group->BrowserListBox;
    list->SetCurrentRow(1); // emma.txt
    const QImage image = list->viewport()->grab().toImage();
    auto at = [&](int row, int x) {
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        return image.pixelColor(x, rect.top() + 1);
    };
    const int nameX = list->viewport()->width() - 5;
    QCOMPARE(at(0, 1), colors.DirTypeBack); // "Dir"
    QCOMPARE(at(0, nameX), colors.ScreenBack);
    QCOMPARE(at(1, 1), colors.ScreenBack); // "Plain": the type cell keeps its colours
    QCOMPARE(at(1, nameX), colors.FocusBack); // the selected name
    QCOMPARE(at(2, nameX), colors.ScreenBack);
    // A line closes every row.
    const QRect first = list->visualRect(list->model()->index(0, 0));
    QCOMPARE(image.pixelColor(nameX, first.bottom()), colors.ScreenFore);
}

void TestBrowserGroup::rowsFollowTheFont()
{
    QFont font = Group->font();
    font.setPointSize(20);
    Group->setFont(font);
    const int height = QFontMetrics(font).height() + 5;
    QCOMPARE(Group->ItemHeight(), height);
    QCOMPARE(Group->BrowserListBox->visualRect(Group->BrowserListBox->model()->index(1, 0)).top(), height);
    // Whole rows only: the list ends with its last visible row.
    const TBrowserListBox *list = Group->BrowserListBox;
    QCOMPARE((list->height() - 2 * list->frameWidth()) % height, 0);
}

void TestBrowserGroup::paintsOnlyVisibleRows()
{
    for (int i = 0; i < 3000; ++i)
        Tree->File(QString("home/Many/book%1.txt").arg(i, 4, 10, QChar('0')));
    Group->LoadBrowserContent(Tree->Path("home/Many/"));
    QCOMPARE(Browser->Count(), 3000);
    auto *counter = new TCountingDelegate;
    Group->BrowserListBox->setItemDelegate(counter);
    Group->BrowserListBox->SetTopIndex(1500);
    Group->BrowserListBox->viewport()->repaint();
    QVERIFY(counter->Painted > 0);
    QVERIFY2(counter->Painted <= Group->BrowserListBox->VisibleRows() + 2,
             qPrintable(QString::number(counter->Painted)));
    QVERIFY2(counter->Measured < 10, qPrintable(QString::number(counter->Measured)));
}

QTEST_MAIN(TestBrowserGroup)
#include "test_browser_group.moc"
