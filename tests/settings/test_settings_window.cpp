// The settings of a running reader when their files misbehave: a shelf
// count that is no use, a Lectern.ini read only in part, and settings that
// cannot be written at all.
#include "RememberFixture.h"

#include <QCheckBox>

#include "ProgramGeneralTabSheet.h"
#include "StoredTextList.h"

namespace {

// The settings of `count` books as the program writes them, with their
// auto-bookmarks and bookmark 3.
QByteArray ShelfIni(const QStringList &books)
{
    QByteArray main = "[Lectern_Bookshelf_Main]\r\nCount=" + QByteArray::number(books.size()) + "\r\n";
    QByteArray positions = "[Lectern_Bookshelf_CaretPos]\r\n";
    QByteArray pieces = "[Lectern_Bookshelf_Pieces]\r\n";
    for (int n = 0; n < books.size(); ++n) {
        const QByteArray key = QByteArray::number(n);
        main += key + "=" + books.at(n).toUtf8() + "\r\n";
        positions
            += key + "=" + QByteArray::number(100 + n) + "\r\n" + key + "_3=" + QByteArray::number(500 + n) + "\r\n";
        pieces += key + "=1\r\n" + key + "_3=1\r\n";
    }
    return main + "\r\n" + positions + "\r\n" + pieces;
}

} // namespace

class TestSettingsWindow : public QObject {
    Q_OBJECT
private slots:
    void unusableShelfCountKeepsTheBooks_data();
    void unusableShelfCountKeepsTheBooks();
    void settingsReadInPartAreKeptBeside();
    void unwritableSettingsAreToldOnceAndCloseTheWindow();
    void settingsFirstUnwritableAtTheCloseAreToldThen();
    void profileSavedByItselfIsToldOnce();
};

void TestSettingsWindow::unusableShelfCountKeepsTheBooks_data()
{
    QTest::addColumn<QByteArray>("count");
    QTest::newRow("99999") << QByteArray("Count=99999");
    QTest::newRow("negative") << QByteArray("Count=-1");
    QTest::newRow("no number") << QByteArray("Count=lots");
}

void TestSettingsWindow::unusableShelfCountKeepsTheBooks()
{
    QFETCH(QByteArray, count);
    TRememberFixture f;
    QStringList books;
    for (int i = 0; i < 12; ++i)
        books << f.WriteBook(QStringLiteral("Book %1.txt").arg(i), 20);
    QByteArray ini = ShelfIni(books);
    ini.replace("Count=12", count);
    f.WriteFile(f.SettingsDir + "Lectern.ini", ini);
    {
        auto form = f.Start();
        QCOMPARE(f.Shelf(*form).OpenBookshelfButton->text(), QStringLiteral("&Open (12)"));
        QVERIFY(form->close());
    }
    // The close wrote the twelve books back, with a sound count.
    QVERIFY(f.Ini().contains(ShelfIni(books)));
    auto form = f.Start();
    QCOMPARE(f.Shelf(*form).OpenBookshelfButton->text(), QStringLiteral("&Open (12)"));
    QVERIFY(form->OpenBook(books.at(4), false));
    QCOMPARE(f.Marks(*form)->Button(3)->text(), QStringLiteral("&3*"));
    QCOMPARE(f.Reports.Messages, QStringList());
}

void TestSettingsWindow::settingsReadInPartAreKeptBeside()
{
    TRememberFixture f;
    const QString book = f.WriteBook(QStringLiteral("Mill.txt"), 20);
    // Cut short in the middle of a line.
    const QByteArray ini = ShelfIni({book}) + "1_3=";
    const QByteArray cut = ini.left(ini.size() - 2);
    const QString name = f.SettingsDir + QStringLiteral("Lectern.ini");
    f.WriteFile(name, cut);
    auto form = f.Start();
    QCOMPARE(f.Shelf(*form).OpenBookshelfButton->text(), QStringLiteral("&Open (1)"));
    QVERIFY(form->close());
    QCOMPARE(f.ReadFile(TStoredTextList::DamagedCopyName(name)), cut);
    QVERIFY(f.Ini().startsWith("[Lectern_Main]\r\n"));
    QVERIFY(f.Ini().contains("0=" + book.toUtf8() + "\r\n"));
    QCOMPARE(f.Reports.Messages, QStringList());
}

void TestSettingsWindow::unwritableSettingsAreToldOnceAndCloseTheWindow()
{
    TRememberFixture f;
    // A file where the settings directory should be: no save can succeed,
    // not even for root.
    f.SettingsDir = f.WriteFile(f.Dir.filePath(QStringLiteral("blocked")), QByteArray()) + QLatin1Char('/');
    const QString first = f.WriteBook(QStringLiteral("First.txt"), 20);
    const QString second = f.WriteBook(QStringLiteral("Second.txt"), 20);
    auto form = f.Start();
    QVERIFY(form->ProgramGeneralTabSheet->Form.AutoSaveProfileCheckBox->isChecked());
    QVERIFY(form->OpenBook(first, true));
    // Told once the opening is done.
    QCOMPARE(f.Dialogs.Boxes.size(), 0);
    QTRY_COMPARE(f.Dialogs.Boxes.size(), 1);
    f.Put(*form);
    QVERIFY(form->OpenBook(second, true));
    f.Put(*form);
    QVERIFY(form->close()); // the first close closes
    QTest::qWait(50);
    QCOMPARE(f.Dialogs.Boxes.size(), 1);
    const QString text = f.Dialogs.Boxes.first().Text;
    QCOMPARE(f.Dialogs.Boxes.first().Kind, TDialogKind::Warning);
    QVERIFY2(text.startsWith(QStringLiteral("The settings cannot be saved to \"") + f.SettingsDir), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Not a directory")), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("They are kept in memory for this session.")), qPrintable(text));
    QCOMPARE(f.Reports.Messages, QStringList());
    // Kept in memory: both books are on the shelf.
    QCOMPARE(f.Shelf(*form).OpenBookshelfButton->text(), QStringLiteral("&Open (2)"));
}

void TestSettingsWindow::settingsFirstUnwritableAtTheCloseAreToldThen()
{
    TRememberFixture f;
    const QString book = f.WriteBook(QStringLiteral("Mill.txt"), 20);
    auto form = f.Start();
    QVERIFY(form->OpenBook(book, true));
    QVERIFY(f.Ini().contains(book.toUtf8()));
    // The settings directory goes; a file takes its place.
    QVERIFY(QDir().rename(f.SettingsDir, f.Dir.filePath(QStringLiteral("moved"))));
    f.WriteFile(f.Dir.filePath(QStringLiteral("settings")), QByteArray());
    QVERIFY(form->close());
    QCOMPARE(f.Dialogs.Count(TDialogKind::Warning), 1);
    QVERIFY(f.Dialogs.Boxes.last().Text.contains(QStringLiteral("kept in memory")));
    QCOMPARE(f.Reports.Messages, QStringList());
}

void TestSettingsWindow::profileSavedByItselfIsToldOnce()
{
    TRememberFixture f;
    f.WriteFile(f.SettingsDir + "Lectern.ini", QByteArray());
    // The profile beside the first book is read in part and its copy cannot
    // be kept (a directory has the name), so its automatic save fails.
    const QString first = f.WriteBook(QStringLiteral("Raven/Raven.txt"), 20);
    const QString profile = f.BooksDir + QStringLiteral("Raven/LecternProfile.lcp");
    f.WriteFile(profile, "[Profile_Main]\r\nnonsense\r\n");
    QVERIFY(QDir().mkpath(TStoredTextList::DamagedCopyName(profile)));
    const QString second = f.WriteBook(QStringLiteral("Crow.txt"), 20);
    auto form = f.Start();
    // The settings saved after the book opens save its profile too: a save
    // the reader did not ask for is told once, like the settings, and never
    // stands in the way of reading or closing.
    QVERIFY(form->OpenBook(first, true));
    QTRY_COMPARE(f.Dialogs.Count(TDialogKind::Warning), 1);
    QVERIFY(f.Dialogs.Boxes.last().Text.contains(profile));
    QVERIFY(form->OpenBook(second, true)); // leaving it saves it again, untold
    QCOMPARE(f.Dialogs.Count(TDialogKind::Warning), 1);
    QCOMPARE(f.Reports.Messages, QStringList());
    QVERIFY(form->close());
}

QTEST_MAIN(TestSettingsWindow)
#include "test_settings_window.moc"
