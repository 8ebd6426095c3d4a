#include "Dialogs.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
#include "InstallFixture.h"
#include "InstallForm.h"
#include "ReportRecorder.h"
#include "Shell.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class TestInstallForm : public QObject {
    Q_OBJECT
private slots:
    void modes_data();
    void modes();
    void windowLayout();
    void readmeParagraphsAreRebuilt_data();
    void readmeParagraphsAreRebuilt();
    void shippedReadmeReadsInParagraphs();
    void emptyDirectoryClosesWithoutDoingAnything();
    void browseChoosesTheParentDirectory();
    void installStartsTheInstalledProgram();
    void uninstallEndsWithItsMessage();
    void failuresShowTheirMessage_data();
    void failuresShowTheirMessage();

private:
    static TInstallContext Context(TInstallFixture &fixture, const QString &package, const QString &fileName,
                                   const QStringList &params)
    {
        return {package, fileName, params, fixture.Places};
    }
};

void TestInstallForm::modes_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<bool>("uninstall");
    QTest::newRow("Install") << "Install" << QStringList() << false;
    QTest::newRow("Install.exe with a book") << "INSTALL.EXE" << QStringList({"book.txt"}) << false;
    QTest::newRow("/UNINSTALL") << "Lectern" << QStringList({"/UNINSTALL"}) << true;
    QTest::newRow("Install /uninstall") << "Install" << QStringList({"/uninstall"}) << true;
}

void TestInstallForm::modes()
{
    QFETCH(QString, fileName);
    QFETCH(QStringList, params);
    QFETCH(bool, uninstall);
    TInstallFixture fixture;
    const QString package = fixture.Package();
    TInstallForm form(Context(fixture, package, fileName, params));
    form.SetupInstallForm("Lectern", "Lectern", "Version 2.5.4, released on 06.01.2006");
    QCOMPARE(form.IsUninstallMode(), uninstall);
    QCOMPARE(form.DescriptionLabel->text(), QString("Lectern"));
    QCOMPARE(form.VersionLabel->text(), QString("Version 2.5.4, released on 06.01.2006"));
    QCOMPARE(form.ReadmeMemo->toPlainText(), QString("Lectern\n=======\nA reader.\n"));
    QVERIFY(form.ReadmeMemo->isReadOnly());
    QVERIFY(form.InstallToEdit->isReadOnly());
    if (uninstall) {
        QCOMPARE(form.windowTitle(), QString("Uninstall Lectern"));
        QCOMPARE(form.MainPanel->text(), QString("Bye from Lectern"));
        QCOMPARE(form.InstallToLabel->text(), QString("The following directory will be deleted:"));
        QCOMPARE(form.InstallButton->text(), QString("Un&install"));
        QCOMPARE(form.InstallToEdit->text(), package);
        QVERIFY(!form.BrowseButton->isEnabled());
    } else {
        QCOMPARE(form.windowTitle(), QString("Install Lectern"));
        QCOMPARE(form.MainPanel->text(), QString("Welcome to Lectern"));
        QCOMPARE(form.InstallToLabel->text(),
                 QString("The program's installation directory will be put in directory:"));
        QCOMPARE(form.InstallButton->text(), QString("&Install"));
        QCOMPARE(form.InstallToEdit->text(), fixture.Places.ProgramFilesDirectory);
        QVERIFY(form.BrowseButton->isEnabled());
    }
}

void TestInstallForm::windowLayout()
{
    TInstallFixture fixture;
    // Without a readme the memo stays empty and nothing is said.
    TScopedRecordingDialogs dialogs;
    TInstallForm form(Context(fixture, fixture.Tree.Directory("empty"), "Install", {}));
    form.SetupInstallForm("Lectern", "Lectern", "Version");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.size(), QSize(400, 450));
    QCOMPARE(form.ReadmeMemo->toPlainText(), QString());
    QCOMPARE(form.MainPanel->font().pixelSize(), 30);
    QVERIFY(form.MainPanel->font().bold() && form.MainPanel->font().italic());
    QCOMPARE(QApplication::focusWidget(), form.ReadmeMemo);
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(dialogs.Boxes.isEmpty());
}

void TestInstallForm::readmeParagraphsAreRebuilt_data()
{
    QTest::addColumn<QByteArray>("readme");
    QTest::addColumn<bool>("rebuild");
    QTest::addColumn<QString>("shown");
    QTest::newRow("wrapped lines") << QByteArray("A reader for\nbooks kept\nas text.\n") << true
                                   << "A reader for books kept as text.";
    QTest::newRow("CR LF and an empty line")
        << QByteArray("One line\r\nwrapped.\r\n\r\nTwo.\r\n") << true << "One line wrapped.\n\nTwo.";
    QTest::newRow("hyphenated word") << QByteArray("It re-\njoins words.\n") << true << "It rejoins words.";
    QTest::newRow("without the rules") << QByteArray("A reader for\nbooks.\n") << false << "A reader for\nbooks.\n";
}

void TestInstallForm::readmeParagraphsAreRebuilt()
{
    QFETCH(QByteArray, readme);
    QFETCH(bool, rebuild);
    QFETCH(QString, shown);
    TInstallFixture fixture;
    const QString package = fixture.Package();
    fixture.Tree.File("dist/Lectern/Readme.txt", readme);
    TInstallContext context = Context(fixture, package, "Install", {});
    if (rebuild)
        context.ReadmeParagraphs = &RebuildParagraphs;
    TInstallForm form(context);
    QCOMPARE(form.ReadmeMemo->toPlainText(), shown);
}

// The shipped readme in the window: no sentence broken by the file's own
// line ends, and the memo wraps every paragraph to its width.
void TestInstallForm::shippedReadmeReadsInParagraphs()
{
    QFile shipped(qEnvironmentVariable("LECTERN_SOURCE") + QStringLiteral("/package/Readme.txt"));
    if (!shipped.open(QIODevice::ReadOnly))
        QSKIP("the source directory is not known");
    TInstallFixture fixture;
    const QString package = fixture.Package();
    const QByteArray readme = shipped.readAll();
    fixture.Tree.File("dist/Lectern/Readme.txt", readme);
    TInstallContext context = Context(fixture, package, "Install", {});
    context.ReadmeParagraphs = &RebuildParagraphs;
    TInstallForm form(context);
    const QString shown = form.ReadmeMemo->toPlainText();
    QVERIFY2(shown.contains(QStringLiteral("an editor wrapped into short lines, rejoins hyphenated words, finds")),
             qPrintable(shown.left(400)));
    // The readme is written for these rules: a list item stays a line of its
    // own, and no command is joined across a shell's line continuation.
    const QStringList paragraphs = shown.split(QLatin1Char('\n'));
    int items = 0;
    for (const QString &line : QString::fromUtf8(readme).split(QLatin1Char('\n'))) {
        const QString item = line.trimmed();
        if (!item.startsWith(QLatin1String("- ")))
            continue;
        ++items;
        QVERIFY2(paragraphs.contains(item), qPrintable(item));
    }
    QVERIFY(items > 0);
    QVERIFY(!shown.contains(QLatin1String("\\ ")));
    QCOMPARE(form.ReadmeMemo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

void TestInstallForm::emptyDirectoryClosesWithoutDoingAnything()
{
    TInstallFixture fixture;
    TInstallForm form(Context(fixture, fixture.Package(), "Install", {}));
    form.SetupInstallForm("Lectern", "Lectern", "Version");
    form.show();
    const auto before = fixture.Snapshot();
    TScopedRecordingDialogs dialogs;
    TReportRecorder reports;
    form.InstallToEdit->clear();
    QTest::mouseClick(form.InstallButton, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QVERIFY(!form.InstallButton->isEnabled());
    QVERIFY(dialogs.Boxes.isEmpty());
    QVERIFY(reports.Messages.isEmpty());
    QCOMPARE(fixture.Snapshot(), before);
}

void TestInstallForm::browseChoosesTheParentDirectory()
{
    TInstallFixture fixture;
    TInstallForm form(Context(fixture, fixture.Package(), "Install", {}));
    form.SetupInstallForm("Lectern", "Lectern", "Version");
    TScopedRecordingDialogs dialogs;
    dialogs.DirectoryNames = {fixture.Home + "Programs"};
    QTest::mouseClick(form.BrowseButton, Qt::LeftButton);
    QCOMPARE(dialogs.DirectoryDialogs, QStringList({fixture.Places.ProgramFilesDirectory}));
    QCOMPARE(form.InstallToEdit->text(), fixture.Home + "Programs/");
    // Cancelling keeps the directory.
    QTest::mouseClick(form.BrowseButton, Qt::LeftButton);
    QCOMPARE(dialogs.DirectoryDialogs.last(), fixture.Home + "Programs/");
    QCOMPARE(form.InstallToEdit->text(), fixture.Home + "Programs/");
}

void TestInstallForm::installStartsTheInstalledProgram()
{
    TInstallFixture fixture;
    TInstallForm form(Context(fixture, fixture.Package("Lectern-2.6"), "Install", {}));
    form.SetupInstallForm("Lectern", "Lectern", "Version");
    form.show();
    TScopedRecordingDialogs dialogs;
    TScopedRecordingShell shell;
    TReportRecorder reports;
    QTest::mouseClick(form.InstallButton, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(dialogs.Count(TDialogKind::Query), 1);
    QVERIFY(reports.Messages.isEmpty());
    const QString target = fixture.Places.ProgramFilesDirectory + "Lectern-2.6/";
    QCOMPARE(shell.Programs.size(), 1);
    QCOMPARE(shell.Programs.first().Program, target + "Lectern");
    QCOMPARE(shell.Programs.first().Arguments, QStringList());
    QCOMPARE(shell.Programs.first().WorkingDirectory, target);
    QVERIFY(QFileInfo::exists(fixture.Places.RecordPath()));
}

void TestInstallForm::uninstallEndsWithItsMessage()
{
    TInstallFixture fixture;
    TScopedRecordingDialogs dialogs;
    TScopedRecordingShell shell;
    const auto before = fixture.Snapshot();
    {
        TInstallForm installer(Context(fixture, fixture.Package(), "Install", {}));
        installer.SetupInstallForm("Lectern", "Lectern", "Version");
        QTest::mouseClick(installer.InstallButton, Qt::LeftButton);
    }
    // The installed program, started with "/Uninstall".
    const QString target = fixture.Places.ProgramFilesDirectory + "Lectern/";
    TInstallForm form(Context(fixture, target, "Lectern", {"/Uninstall"}));
    form.SetupInstallForm("Lectern", "Lectern", "Version");
    dialogs.Boxes.clear();
    QTest::mouseClick(form.InstallButton, Qt::LeftButton);
    QCOMPARE(dialogs.Texts(),
             QStringList({"Delete directory \"" + target + "\" (and all contained files)?",
                          "Uninstallation successful. Some files that were in use were not deleted."}));
    QCOMPARE(fixture.Snapshot(), before);
}

void TestInstallForm::failuresShowTheirMessage_data()
{
    QTest::addColumn<bool>("uninstall");
    QTest::addColumn<QString>("message");
    QTest::newRow("install") << false
                             << "Failed to install program. Check to see if you have rights to write in the "
                                "installation directory.";
    QTest::newRow("uninstall") << true << "Failed to uninstall program.";
}

void TestInstallForm::failuresShowTheirMessage()
{
    QFETCH(bool, uninstall);
    QFETCH(QString, message);
    TInstallFixture fixture;
    // A directory where the record should be: it can be neither read nor
    // written.
    fixture.Tree.Directory("home/.local/share/Lectern/lectern-uninstall.ini");
    TInstallForm form(
        Context(fixture, fixture.Package(), "Install", uninstall ? QStringList{"/Uninstall"} : QStringList{}));
    form.SetupInstallForm("Lectern", "Lectern", "Version");
    TScopedRecordingDialogs dialogs;
    TScopedRecordingShell shell;
    TReportRecorder reports;
    QTest::mouseClick(form.InstallButton, Qt::LeftButton);
    QCOMPARE(reports.Messages, QStringList({message}));
    QVERIFY(reports.Reports.first().contains("Failed to read uninstall record."));
    QVERIFY(shell.Programs.isEmpty());
    QVERIFY(!QFileInfo::exists(fixture.Places.ProgramFilesDirectory + "Lectern"));
}

QTEST_MAIN(TestInstallForm)
#include "test_installform.moc"
