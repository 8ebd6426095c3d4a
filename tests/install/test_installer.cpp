#include "Dialogs.h"
#include "FileLinks.h"
#include "FunStatContext.h"
#include "InstallFixture.h"
#include "InstallRecord.h"
#include "Installer.h"

#include <QProcess>
#include <QtTest>

class TestInstaller : public QObject {
    Q_OBJECT
private slots:
    void installCreatesEntriesAndUninstallRestoresTheHome_data();
    void installCreatesEntriesAndUninstallRestoresTheHome();
    void entriesAreValidForTheDesktop();
    void reinstallKeepsTheReaderFiles();
    void uninstallKeepsReaderFilesUnlessTheReaderAgrees_data();
    void uninstallKeepsReaderFilesUnlessTheReaderAgrees();
    void uninstallWithoutRecordDeletesNothing_data();
    void uninstallWithoutRecordDeletesNothing();
    void declinedQuestionsChangeNothing();
    void twoInstallationsKeepTheirOwnFiles();
    void editedRecordCannotReachOutOfItsPlaces();
    void failedInstallationIsReported();
    void placesFollowTheXdgDirectories();

private:
    static TInstallResult Install(TInstallFixture &fixture, const QString &package, const QString &parent)
    {
        TInstaller installer(fixture.Places, "Lectern");
        QString program;
        return installer.Install(package, parent, "Install", program);
    }
    static TInstallResult Uninstall(TInstallFixture &fixture, const QString &dir)
    {
        return TInstaller(fixture.Places, "Lectern").Uninstall(dir);
    }
    static TInstallRecord Record(const TInstallFixture &fixture)
    {
        TInstallRecord record;
        record.Load(fixture.Places.RecordPath());
        return record;
    }
};

void TestInstaller::installCreatesEntriesAndUninstallRestoresTheHome_data()
{
    QTest::addColumn<QString>("packageName");
    QTest::addColumn<QString>("menuId");
    QTest::newRow("plain") << "Lectern"
                           << "Lectern";
    QTest::newRow("with version") << "Lectern-2.6"
                                  << "Lectern-2.6";
    QTest::newRow("with blanks") << "Lectern 2 beta"
                                 << "Lectern-2-beta";
}

void TestInstaller::installCreatesEntriesAndUninstallRestoresTheHome()
{
    QFETCH(QString, packageName);
    QFETCH(QString, menuId);
    TInstallFixture fixture;
    const QString package = fixture.Package(packageName);
    const auto before = fixture.Snapshot();
    const QString target = fixture.Places.ProgramFilesDirectory + packageName + "/";
    {
        TScopedRecordingDialogs dialogs;
        QCOMPARE(Install(fixture, package, fixture.Places.ProgramFilesDirectory), TInstallResult::Done);
        QCOMPARE(dialogs.Texts(),
                 QStringList({"Install the program in directory \"" + fixture.Places.ProgramFilesDirectory + packageName
                              + "\"?"}));
    }

    // The package arrives whole, the installer under the program's name.
    QVERIFY(QFileInfo(target + "Lectern").isExecutable());
    QVERIFY(!QFileInfo::exists(target + "Install"));
    QVERIFY(!QFileInfo::exists(target + ".packed"));
    QCOMPARE(fixture.Read(target + "BackImages/DefaultScreen.bmp"), QByteArray("BM"));

    const QByteArray desktopEntry = fixture.Read(fixture.Places.DesktopDirectory + "Lectern.desktop");
    TLinkFile link;
    QVERIFY(TLinkFile::Load(link, fixture.Places.DesktopDirectory + "Lectern.desktop"));
    QCOMPARE(link.ReferencePath, target + "Lectern");
    QCOMPARE(link.Arguments, QString());
    QVERIFY2(desktopEntry.contains(" %f\n"), desktopEntry);
    QVERIFY(desktopEntry.contains("MimeType=text/plain;text/rtf;application/rtf;\n"));
    QVERIFY(desktopEntry.contains("Icon=lectern\n"));
    QCOMPARE(fixture.GioLog(), "set " + fixture.Places.DesktopDirectory + "Lectern.desktop metadata::trusted true\n");

    const QString apps = fixture.Places.ApplicationsDirectory;
    QCOMPARE(fixture.Read(apps + menuId + ".desktop"), desktopEntry);
    const QByteArray uninstall = fixture.Read(apps + menuId + "-uninstall.desktop");
    QVERIFY2(uninstall.contains("Name=Uninstall Lectern\n"), uninstall);
    QVERIFY(TLinkFile::Load(link, apps + menuId + "-uninstall.desktop"));
    QCOMPARE(link.ReferencePath, target + "Lectern");
    QCOMPARE(link.Arguments, QString("/Uninstall"));
    QVERIFY(uninstall.contains("Categories=Office;Viewer;\n"));
    QVERIFY(fixture.Read(apps + menuId + "-readme.desktop").contains("Name=Lectern Readme\n"));
    const QByteArray menu = fixture.Read(fixture.Places.MenusDirectory + menuId + ".menu");
    QVERIFY2(menu.contains("<Name>" + packageName.toUtf8() + "</Name>"), menu);
    QVERIFY(menu.contains("<Filename>" + menuId.toUtf8() + "-uninstall.desktop</Filename>"));
    QVERIFY(fixture.Read(fixture.Places.DirectoriesDirectory + menuId + ".directory")
                .contains("Name=" + packageName.toUtf8() + "\n"));
    QCOMPARE(fixture.Read(fixture.Places.IconsDirectory + "lectern.svg"), fixture.Read(package + "lectern.svg"));
    if (!fixture.Places.UpdateDesktopDatabaseProgram.isEmpty())
        QVERIFY(fixture.Read(apps + "mimeinfo.cache").contains("text/plain=" + menuId.toUtf8() + ".desktop;"));

    // The record lists every file and directory the installation added to
    // the home, and nothing else.
    const TInstallRecord record = Record(fixture);
    QCOMPARE(record.Installations.size(), 1);
    const TInstallation &installation = record.Installations.first();
    QCOMPARE(installation.Location, target);
    QCOMPARE(installation.DisplayName, QString("Lectern"));
    QCOMPARE(SplitArguments(installation.UninstallString), QStringList({target + "Lectern", "/Uninstall"}));
    QStringList recorded = installation.Files + installation.Directories;
    recorded << fixture.Places.RecordPath();
    recorded.sort();
    QCOMPARE(recorded, TInstallFixture::Added(before, fixture.Snapshot()));

    TScopedRecordingDialogs dialogs;
    QCOMPARE(Uninstall(fixture, target), TInstallResult::Done);
    QCOMPARE(dialogs.Texts(), QStringList({"Delete directory \"" + target + "\" (and all contained files)?"}));
    QCOMPARE(fixture.Snapshot(), before);
}

void TestInstaller::entriesAreValidForTheDesktop()
{
    const QString tool = QStandardPaths::findExecutable("desktop-file-validate");
    if (tool.isEmpty())
        QSKIP("desktop-file-validate is not installed (Debian package desktop-file-utils)");
    TInstallFixture fixture;
    TScopedRecordingDialogs dialogs;
    // Both kinds of readme entry: through xdg-open, and a link to the file.
    for (const QString &opener : {fixture.Executable("tools/xdg-open", "#!/bin/sh\n"), QString()}) {
        fixture.Places.OpenProgram = opener;
        QCOMPARE(Install(fixture, fixture.Package("Lectern 2"), fixture.Places.ProgramFilesDirectory),
                 TInstallResult::Done);
        QStringList entries;
        for (const QString &dir : {fixture.Places.DesktopDirectory, fixture.Places.ApplicationsDirectory,
                                   fixture.Places.DirectoriesDirectory})
            for (const QFileInfo &info : QDir(dir).entryInfoList({"*.desktop", "*.directory"}, QDir::Files))
                entries << info.filePath();
        QCOMPARE(entries.size(), 5);
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(tool, entries);
        QVERIFY(process.waitForFinished());
        const QString output = QString::fromUtf8(process.readAll());
        QVERIFY2(process.exitCode() == 0 && !output.contains("error"), qPrintable(output));
    }
}

void TestInstaller::reinstallKeepsTheReaderFiles()
{
    TInstallFixture fixture;
    const QString package = fixture.Package();
    const QString target = fixture.Places.ProgramFilesDirectory + "Lectern/";
    TScopedRecordingDialogs dialogs;
    QCOMPARE(Install(fixture, package, fixture.Places.ProgramFilesDirectory), TInstallResult::Done);
    fixture.Tree.File("home/.local/opt/Lectern/Lectern.ini", "[Lectern_Main]\nZoom=120\n");
    fixture.Tree.File("home/.local/opt/Lectern/BackImages/Mine.jpg", "my picture");
    fixture.Tree.File("dist/Lectern/Welcome.txt", "Welcome to the new version.\n");
    fixture.Tree.File("dist/Lectern/Help.html", "<p>new</p>");

    QCOMPARE(Install(fixture, package, fixture.Places.ProgramFilesDirectory), TInstallResult::Done);
    QCOMPARE(fixture.Read(target + "Lectern.ini"), QByteArray("[Lectern_Main]\nZoom=120\n"));
    QCOMPARE(fixture.Read(target + "BackImages/Mine.jpg"), QByteArray("my picture"));
    QCOMPARE(fixture.Read(target + "Welcome.txt"), QByteArray("Welcome to the new version.\n"));
    QVERIFY(!QFileInfo::exists(target + "Install"));

    const TInstallRecord record = Record(fixture);
    QCOMPARE(record.Installations.size(), 1);
    const TInstallation &installation = record.Installations.first();
    QVERIFY(installation.Files.contains(target + "Help.html"));
    QVERIFY(!installation.Files.contains(target + "Lectern.ini"));
    // The first installation made the directory: it is still recorded.
    QVERIFY(installation.Directories.contains(target));
    QCOMPARE(TInstaller::ReaderFiles(installation), QStringList({"BackImages/Mine.jpg", "Lectern.ini"}));
}

void TestInstaller::uninstallKeepsReaderFilesUnlessTheReaderAgrees_data()
{
    QTest::addColumn<bool>("agree");
    QTest::newRow("kept") << false;
    QTest::newRow("deleted") << true;
}

void TestInstaller::uninstallKeepsReaderFilesUnlessTheReaderAgrees()
{
    QFETCH(bool, agree);
    TInstallFixture fixture;
    const auto before = fixture.Snapshot();
    const QString target = fixture.Places.ProgramFilesDirectory + "Lectern/";
    TScopedRecordingDialogs dialogs;
    QCOMPARE(Install(fixture, fixture.Package(), fixture.Places.ProgramFilesDirectory), TInstallResult::Done);
    fixture.Tree.File("home/.local/opt/Lectern/Lectern.ini", "settings");
    fixture.Tree.File("home/.local/opt/Lectern/Profiles/Night.lcp", "profile");
    fixture.Tree.Directory("home/.local/opt/Lectern/Empty");
    fixture.Tree.Link("home/.local/opt/Lectern/Books", fixture.Home + ".profile");

    dialogs.Boxes.clear();
    dialogs.Answers = {DialogResultOk, agree ? DialogResultOk : DialogResultNo};
    QCOMPARE(Uninstall(fixture, target), TInstallResult::Done);
    QCOMPARE(dialogs.Boxes.size(), 2);
    const QString question = dialogs.Boxes.at(1).Text;
    for (const char *name : {"Lectern.ini", "Profiles/Night.lcp", "Empty/", "Books"})
        QVERIFY2(question.contains("\n    " + QString(name) + "\n"), qPrintable(question));
    QVERIFY(!question.contains("Welcome.txt"));

    auto expected = before;
    if (!agree) {
        for (const char *dir : {".local/", ".local/opt/", ".local/opt/Lectern/", ".local/opt/Lectern/Profiles/",
                                ".local/opt/Lectern/Empty/"})
            expected.insert(fixture.Home + QString(dir), "<dir>");
        expected.insert(target + "Lectern.ini", "settings");
        expected.insert(target + "Profiles/Night.lcp", "profile");
        expected.insert(target + "Books", "-> " + QFile::encodeName(fixture.Home + ".profile"));
    }
    QCOMPARE(fixture.Snapshot(), expected);
    QCOMPARE(fixture.Read(fixture.Home + ".profile"), QByteArray("# the user's own\n"));
}

void TestInstaller::uninstallWithoutRecordDeletesNothing_data()
{
    QTest::addColumn<QString>("place");
    QTest::newRow("a copy in ~/bin") << "bin";
    QTest::newRow("the home directory") << "home";
    QTest::newRow("a copy beside an installation") << "beside";
    QTest::newRow("an unreadable record") << "unreadable";
}

void TestInstaller::uninstallWithoutRecordDeletesNothing()
{
    QFETCH(QString, place);
    TInstallFixture fixture;
    TScopedRecordingDialogs dialogs;
    fixture.Tree.File("home/bin/Lectern", "a copy");
    fixture.Tree.File("home/bin/Readme.txt", "read me");
    QString dir = fixture.Home + "bin/";
    if (place == "home")
        dir = fixture.Home;
    if (place == "beside")
        QCOMPARE(Install(fixture, fixture.Package(), fixture.Home + "opt"), TInstallResult::Done);
    if (place == "unreadable")
        fixture.Tree.Directory("home/.local/share/Lectern/lectern-uninstall.ini");
    const auto before = fixture.Snapshot();
    dialogs.Boxes.clear();

    const TInstallResult result = Uninstall(fixture, dir);
    QCOMPARE(fixture.Snapshot(), before);
    QCOMPARE(dialogs.Count(TDialogKind::Query), 0);
    if (place == "unreadable") {
        QCOMPARE(result, TInstallResult::Failed);
        QCOMPARE(FunStatContext.Description, QString("Failed to read uninstall record."));
    } else {
        QCOMPARE(result, TInstallResult::Refused);
        QCOMPARE(dialogs.Count(TDialogKind::Warning), 1);
        QVERIFY(dialogs.Boxes.first().Text.contains("\"" + dir + "\""));
        QVERIFY(dialogs.Boxes.first().Text.endsWith("Nothing was deleted."));
    }
}

void TestInstaller::declinedQuestionsChangeNothing()
{
    TInstallFixture fixture;
    const QString package = fixture.Package();
    const auto before = fixture.Snapshot();
    TScopedRecordingDialogs dialogs;
    dialogs.DefaultAnswer = DialogResultNo;
    QCOMPARE(Install(fixture, package, fixture.Places.ProgramFilesDirectory), TInstallResult::Declined);
    QCOMPARE(fixture.Snapshot(), before);

    dialogs.DefaultAnswer = DialogResultOk;
    QCOMPARE(Install(fixture, package, fixture.Places.ProgramFilesDirectory), TInstallResult::Done);
    const auto installed = fixture.Snapshot();
    dialogs.DefaultAnswer = DialogResultNo;
    QCOMPARE(Uninstall(fixture, fixture.Places.ProgramFilesDirectory + "Lectern"), TInstallResult::Declined);
    QCOMPARE(fixture.Snapshot(), installed);
}

void TestInstaller::twoInstallationsKeepTheirOwnFiles()
{
    TInstallFixture fixture;
    const QString package = fixture.Package();
    const auto before = fixture.Snapshot();
    TScopedRecordingDialogs dialogs;
    QCOMPARE(Install(fixture, package, fixture.Home + "first"), TInstallResult::Done);
    QCOMPARE(Install(fixture, package, fixture.Home + "second"), TInstallResult::Done);
    // The entries belong to the installation that wrote them last.
    const QString entry = fixture.Places.DesktopDirectory + "Lectern.desktop";
    QVERIFY(fixture.Read(entry).contains(QFile::encodeName(fixture.Home) + "second/Lectern/Lectern"));
    TInstallRecord record = Record(fixture);
    QCOMPARE(record.Installations.size(), 2);
    QVERIFY(!record.Installations.at(0).Files.contains(entry));
    QVERIFY(record.Installations.at(1).Files.contains(entry));

    QCOMPARE(Uninstall(fixture, fixture.Home + "first/Lectern/"), TInstallResult::Done);
    QVERIFY(!QFileInfo::exists(fixture.Home + "first"));
    QVERIFY(QFileInfo::exists(entry));
    QVERIFY(QFileInfo::exists(fixture.Places.ApplicationsDirectory + "Lectern-uninstall.desktop"));
    QVERIFY(QFileInfo(fixture.Home + "second/Lectern/Lectern").isExecutable());
    QCOMPARE(Record(fixture).Installations.size(), 1);

    QCOMPARE(Uninstall(fixture, fixture.Home + "second/Lectern/"), TInstallResult::Done);
    QCOMPARE(fixture.Snapshot(), before);
}

void TestInstaller::editedRecordCannotReachOutOfItsPlaces()
{
    TInstallFixture fixture;
    TScopedRecordingDialogs dialogs;
    QCOMPARE(Install(fixture, fixture.Package(), fixture.Places.ProgramFilesDirectory), TInstallResult::Done);
    const QString target = fixture.Places.ProgramFilesDirectory + "Lectern/";
    const QString thesis = fixture.Tree.File("home/thesis.txt", "years of work");
    QByteArray text = fixture.Read(fixture.Places.RecordPath());
    text += "File900=" + QFile::encodeName(thesis) + "\r\n";
    text += "File901=" + QFile::encodeName(target) + "../../../thesis.txt\r\n";
    text += "File902=" + QFile::encodeName(fixture.Home) + "\r\n";
    text += "Directory900=" + QFile::encodeName(fixture.Home) + "Desktop/\r\n";
    fixture.Tree.File("home/.local/share/Lectern/lectern-uninstall.ini", text);

    dialogs.Answers = {DialogResultOk, DialogResultOk};
    QCOMPARE(Uninstall(fixture, target), TInstallResult::Done);
    QCOMPARE(fixture.Read(thesis), QByteArray("years of work"));
    QCOMPARE(fixture.Read(fixture.Home + "Desktop/notes.txt"), QByteArray("on the desktop before"));
    QVERIFY(!QFileInfo::exists(target));
}

void TestInstaller::failedInstallationIsReported()
{
    TInstallFixture fixture;
    const QString package = fixture.Package();
    const QString parent = fixture.Tree.File("home/not-a-directory", "a file");
    const auto before = fixture.Snapshot();
    TScopedRecordingDialogs dialogs;
    QCOMPARE(Install(fixture, package, parent), TInstallResult::Failed);
    QCOMPARE(FunStatContext.Description, QString("Failed to create directory."));
    QVERIFY(dialogs.Texts().contains("Failed to process directory."));
    // Nothing was created, so nothing is recorded.
    QCOMPARE(fixture.Snapshot(), before);
}

void TestInstaller::placesFollowTheXdgDirectories()
{
    TTempTree tree;
    const QByteArray home = qgetenv("HOME"), data = qgetenv("XDG_DATA_HOME"), config = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(tree.Path("ann")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(tree.Path("data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(tree.Path("config")));
    tree.File("config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    const TInstallPlaces user = TInstallPlaces::For(false);
    const TInstallPlaces system = TInstallPlaces::For(true);
    qputenv("HOME", home);
    qputenv("XDG_DATA_HOME", data);
    qputenv("XDG_CONFIG_HOME", config);

    QCOMPARE(user.DesktopDirectory, tree.Path("ann/Schreibtisch/"));
    QCOMPARE(user.ApplicationsDirectory, tree.Path("data/applications/"));
    QCOMPARE(user.IconsDirectory, tree.Path("data/icons/hicolor/scalable/apps/"));
    QCOMPARE(user.MenusDirectory, tree.Path("config/menus/applications-merged/"));
    QCOMPARE(user.RecordPath(), tree.Path("data/Lectern/lectern-uninstall.ini"));
    QCOMPARE(user.ProgramFilesDirectory, tree.Path("ann/.local/opt/"));
    QCOMPARE(system.ProgramFilesDirectory, QString("/opt/"));
    QCOMPARE(system.ApplicationsDirectory, QString("/usr/local/share/applications/"));
    QCOMPARE(system.MenusDirectory, QString("/etc/xdg/menus/applications-merged/"));
}

QTEST_GUILESS_MAIN(TestInstaller)
#include "test_installer.moc"
