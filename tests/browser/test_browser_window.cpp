// The browser in the main window: its starting places, the listings made at
// start-up and by the first book, F5, books that cannot be read, and a
// reader's round trip through it.
#include <QtTest>

#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "BookFile.h"
#include "BrowserGroupBox.h"
#include "BrowserListBox.h"
#include "Dialogs.h"
#include "FakeVolumes.h"
#include "FileBrowser.h"
#include "FileOperations.h"
#include "LecternForm.h"
#include "ProgramOpenTabSheet.h"
#include "RichBox.h"
#include "TempTree.h"

class TestBrowserWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void historyStartsWithThreePlaces();
    void firstBookListsItsDirectoryThenStartUpThePartitions();
    void f5OpensTheChosenBook();
    void pipesAndDevicesAreRefused();
    void readerFindsABookAndComesBack();
    void listHintGoesToTheHintLabel();

private:
    TBrowserGroupBox *Group() const { return Form->ProgramOpenTabSheet->Form.BrowserGroupBox; }
    TBrowserListBox *List() const { return Group()->BrowserListBox; }
    QString Current() const
    {
        const QModelIndex index = List()->currentIndex();
        return index.isValid() ? index.data().toString() : QString();
    }
    void Key(int key) { QTest::keyClick(List(), Qt::Key(key)); }

    std::unique_ptr<TTempTree> Tree;
    std::unique_ptr<TScopedVolumes> Volumes;
    std::unique_ptr<TScopedRecordingDialogs> Dialogs;
    std::unique_ptr<TLecternForm> Form;
};

void TestBrowserWindow::init()
{
    Tree = std::make_unique<TTempTree>();
    Tree->File("home/Projects/Welcome.txt", "Welcome, reader.\n");
    Tree->File("home/Books/anna.txt", "Anna\n");
    Tree->File("home/Books/emma.txt", "Emma\n");
    Tree->File("home/Books/zola.txt", "Zola\n");
    Volumes = std::make_unique<TScopedVolumes>(Tree->Path("home"),
                                               QList<TVolumeDescription>{TScopedVolumes::Volume("/", "ext4")});
    Dialogs = std::make_unique<TScopedRecordingDialogs>();
    TLecternForm::FirstActivation = false;
    Form = std::make_unique<TLecternForm>();
    Form->IsApplicationActive = [] { return true; };
    Form->resize(1000, 800);
    Form->show();
    Form->SidebarSuppress = false;
    Form->ShowSidebar(false);
    QVERIFY(QTest::qWaitForWindowExposed(Form.get()));
}

void TestBrowserWindow::cleanup()
{
    Form.reset();
    Dialogs.reset();
    Volumes.reset();
    Tree.reset();
}

void TestBrowserWindow::historyStartsWithThreePlaces()
{
    QPushButton *button = Group()->Form.BrowserHistoryButton;
    button->click();
    QMenu *menu = button->findChild<QMenu *>();
    QVERIFY(menu);
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.size(), 4);
    QCOMPARE(actions.at(0)->text(), QString("Browser history (3 items)"));
    QCOMPARE(actions.at(1)->text(), GetSystemDirectoryPath(FolderPersonal));
    QCOMPARE(actions.at(2)->text(), GetSystemDirectoryPath(FolderCommonDocuments));
    QCOMPARE(actions.at(3)->text(), GetTempPathA());
    menu->close();
}

void TestBrowserWindow::firstBookListsItsDirectoryThenStartUpThePartitions()
{
    QVERIFY(Form->OpenBook(Tree->Path("home/Projects/Welcome.txt"), false));
    QCOMPARE(Current(), QString("Welcome.txt"));
    // Start-up ends with the partitions list, the book's drive selected.
    Form->LoadBrowserOnStart();
    QCOMPARE(Current(), Tree->Path("home") + " (Home)");
    // The next book opened lists its own directory again...
    QVERIFY(Form->OpenBook(Tree->Path("home/Books/emma.txt"), true));
    QCOMPARE(Current(), QString("emma.txt"));
    // ...but once a directory is listed, books leave the browser alone.
    QVERIFY(Form->OpenBook(Tree->Path("home/Projects/Welcome.txt"), true));
    QCOMPARE(Current(), QString("emma.txt"));
    QVERIFY(Dialogs->Boxes.isEmpty());
}

void TestBrowserWindow::f5OpensTheChosenBook()
{
    QVERIFY(Form->OpenBook(Tree->Path("home/Books/emma.txt"), false));
    Dialogs->FileNames << Tree->Path("home/Books/zola.txt");
    QVERIFY(Form->FormKeyDown(Qt::Key_F5, 0));
    QCOMPARE(Dialogs->FileDialogs.size(), 1);
    QCOMPARE(Dialogs->FileDialogs.at(0).FileName, Tree->Path("home/Books/emma.txt"));
    QCOMPARE(Form->CurrentBookPath, Tree->Path("home/Books/zola.txt"));
}

void TestBrowserWindow::pipesAndDevicesAreRefused()
{
    Tree->Fifo("home/Books/pipe.txt");
    QVERIFY(QFile::link("/dev/zero", Tree->Path("home/Books/zero.txt")));
    QVERIFY(Form->OpenBook(Tree->Path("home/Books/emma.txt"), false));
    Group()->ReloadBrowserButtonClick();
    for (const QString &name : {"pipe.txt", "zero.txt"}) {
        Dialogs->Boxes.clear();
        List()->SetCurrentRow(
            List()->model()->match(List()->model()->index(0, 0), Qt::DisplayRole, name).value(0).row());
        QCOMPARE(Current(), name);
        Key(Qt::Key_Return);
        QCOMPARE(Dialogs->Texts(), QStringList({NotValidBookText()}));
    }
}

void TestBrowserWindow::readerFindsABookAndComesBack()
{
    // Reading the Welcome book in the Projects directory.
    QVERIFY(Form->OpenBook(Tree->Path("home/Projects/Welcome.txt"), false));
    List()->setFocus();
    Key(Qt::Key_Backspace); // Up: the home directory, Projects selected
    QCOMPARE(Current(), QString("Projects"));
    Key(Qt::Key_Up); // Books
    Key(Qt::Key_Return);
    QCOMPARE(Current(), QString("anna.txt"));
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    QCOMPARE(Form->CurrentBookPath, Tree->Path("home/Books/emma.txt"));
    QVERIFY(Form->RichEdit->toPlainText().startsWith("Emma"));
    // Later the reader wanders off...
    List()->setFocus();
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    QCOMPARE(Current(), Tree->Path("home") + " (Home)");
    // ...and comes back to the book's directory with the book selected.
    Group()->Form.FromBookBrowserButton->click();
    QCOMPARE(Current(), QString("emma.txt"));
    QCOMPARE(QApplication::focusWidget(), List());
    QVERIFY(Dialogs->Boxes.isEmpty());
}

void TestBrowserWindow::listHintGoesToTheHintLabel()
{
    QVERIFY(Form->OpenBook(Tree->Path("home/Books/emma.txt"), false));
    const QPoint at = List()->visualRect(List()->currentIndex()).center();
    QMouseEvent move(QEvent::MouseMove, QPointF(at), List()->viewport()->mapToGlobal(QPointF(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(List()->viewport(), &move);
    QVERIFY2(Form->HintLabel->text().endsWith("NAME \"emma.txt\" (IN \"Books\")."),
             qPrintable(Form->HintLabel->text()));
}

QTEST_MAIN(TestBrowserWindow)
#include "test_browser_window.moc"
