// File and directory operations, links and starting files.
#include <QtTest>

#include "Dialogs.h"
#include "FileLinks.h"
#include "FileOperations.h"
#include "FilePaths.h"
#include "FunStatContext.h"
#include "ReportRecorder.h"
#include "Shell.h"
#include "TempTree.h"

#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

class TestFileOperations : public QObject {
    Q_OBJECT
private slots:
    void fileSizesNeverBlock();
    void clearsReadOnly();
    void renameNeverLosesAFile();
    void deletesFiles();
    void deletesTreesWithoutFollowingLinks();
    void refusesToDeleteRoots();
    void copiesTrees();
    void refusedCopiesShowOneBox();
    void specialFolders();

    void programLinkIsAValidDesktopEntry();
    void documentLinkIsAValidDesktopEntry();
    void linkArgumentsSurviveTheRoundTrip_data();
    void linkArgumentsSurviveTheRoundTrip();
    void linkRefusals_data();
    void linkRefusals();
    void existingLinkIsKeptWithoutReplace();
    void menuEntryKeepsItsNameCategoriesAndTypes();

    void runsProgramsAndOpensDocuments();
    void verbsAndSites();

private:
    static QByteArray Read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    static QString Program(TTempTree &tree, const QString &name)
    {
        const QString path = tree.File(name, "#!/bin/sh\nexit 0\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
        return path;
    }
    // desktop-file-validate's complaints, empty when it is content; null
    // when the tool is missing.
    static QString Validate(const QString &path)
    {
        const QString tool = QStandardPaths::findExecutable("desktop-file-validate");
        if (tool.isEmpty())
            return QString();
        QProcess process;
        process.start(tool, {path});
        process.waitForFinished();
        const QString output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        return process.exitCode() == 0 && !output.contains("error") ? QStringLiteral("") : output;
    }
};

void TestFileOperations::fileSizesNeverBlock()
{
    TTempTree tree;
    QCOMPARE(GetFileSize(tree.File("a.txt", "12345")), int64_t(5));
    QCOMPARE(FunStatContext.Status, int(Perfect));
    // A pipe would block a reader; its size is asked without opening it.
    QCOMPARE(GetFileSize(tree.Fifo("pipe.txt")), int64_t(0));
    QCOMPARE(FunStatContext.Status, int(Perfect));
    QCOMPARE(GetFileSize(tree.Path("missing.txt")), int64_t(0));
    QCOMPARE(FunStatContext.Status, int(Warning));
    QCOMPARE(FunStatContext.Description, QString("Failed to access file."));
    QCOMPARE(FunStatContext.Parameter1, tree.Path("missing.txt"));
    QFile file(tree.Path("a.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(GetFileSize(file.handle()), int64_t(5));
    QCOMPARE(GetFileSize(-1), int64_t(0));
    QCOMPARE(FunStatContext.Description, QString("Failed to get file size."));
}

void TestFileOperations::clearsReadOnly()
{
    TTempTree tree;
    const QString path = tree.File("ro.txt", "x");
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    QCOMPARE(ClearReadOnly(path), 1);
    QVERIFY(QFile::permissions(path) & QFileDevice::WriteOwner);
    QCOMPARE(ClearReadOnly(path), 0); // nothing left to do
    QCOMPARE(ClearReadOnly(tree.Path("missing")), 0);
    // A link is left alone, and so is what it points to.
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    QCOMPARE(ClearReadOnly(tree.Link("link", path)), 0);
    QVERIFY(!(QFile::permissions(path) & QFileDevice::WriteOwner));
}

void TestFileOperations::renameNeverLosesAFile()
{
    TTempTree tree;
    const QString a = tree.File("a.txt", "A");
    const QString b = tree.File("b.txt", "B");
    // Without replace an existing name is a failure and both stay.
    QVERIFY(!MyRenameFile(a, b, false));
    QCOMPARE(FunStatContext.Description, QString("Failed to rename."));
    QCOMPARE(FunStatContext.Parameter1, a);
    QCOMPARE(FunStatContext.Parameter2, b);
    QCOMPARE(Read(a), QByteArray("A"));
    QCOMPARE(Read(b), QByteArray("B"));
    // A file renamed onto itself is still there.
    QVERIFY(MyRenameFile(a, a, true));
    QCOMPARE(Read(a), QByteArray("A"));
    // A missing source leaves the target as it was.
    QVERIFY(!MyRenameFile(tree.Path("missing.txt"), b, true));
    QCOMPARE(Read(b), QByteArray("B"));
    // A read-only target is replaced.
    QFile::setPermissions(b, QFileDevice::ReadOwner);
    QVERIFY(MyRenameFile(a, b, true));
    QVERIFY(!QFile::exists(a));
    QCOMPARE(Read(b), QByteArray("A"));
    QVERIFY(MyRenameFile(b, tree.Path("c.txt"), false));
    QCOMPARE(Read(tree.Path("c.txt")), QByteArray("A"));
}

void TestFileOperations::deletesFiles()
{
    TTempTree tree;
    const QString path = tree.File("ro.txt", "x");
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    QVERIFY(MyDeleteFile(path));
    QVERIFY(!QFile::exists(path));
    QVERIFY(!MyDeleteFile(path));
    QCOMPARE(FunStatContext.Description, QString("Failed to delete file."));
    QCOMPARE(FunStatContext.SystemErrorCode, ENOENT);
}

void TestFileOperations::deletesTreesWithoutFollowingLinks()
{
    TTempTree outside;
    const QString precious = outside.File("keep/precious.txt", "keep me");
    TTempTree tree;
    const QString top = tree.Directory("Top");
    tree.File("Top/a.txt", "a");
    tree.File("Top/.hidden", "h");
    tree.File("Top/Sub/Deeper/b.txt", "b");
    tree.Link("Top/to-outside", outside.Path("keep"));
    tree.Link("Top/Sub/loop", tree.Path("Top"));
    tree.Fifo("Top/pipe");
    QFile::setPermissions(tree.Path("Top/Sub/Deeper"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(tree.Path("Top/a.txt"), QFileDevice::ReadOwner);
    DeleteDirectoryNoErrors(top);
    QCOMPARE(FunStatContext.Status, int(Perfect));
    QVERIFY(!QFileInfo::exists(top));
    QCOMPARE(Read(precious), QByteArray("keep me"));
    // A directory that is not there is reported.
    DeleteDirectoryNoErrors(top);
    QCOMPARE(FunStatContext.Description, QString("Can not find directory."));
}

void TestFileOperations::refusesToDeleteRoots()
{
    for (const QString &dir : {QString(), QStringLiteral("/"), QStringLiteral("/:"), QDir::homePath()}) {
        DeleteDirectoryNoErrors(dir);
        QCOMPARE(FunStatContext.Description, QString("Can not find directory."));
    }
    QVERIFY(QFileInfo(QDir::homePath()).isDir());
}

void TestFileOperations::copiesTrees()
{
    TScopedRecordingDialogs dialogs;
    TTempTree tree;
    Program(tree, "Package/Lectern");
    tree.File("Package/Welcome.txt", "new welcome");
    tree.File("Package/.secret", "s");
    tree.File("Package/BackImages/Default.bmp", "bmp");
    tree.Link("Package/Help.link", "Welcome.txt");
    tree.Fifo("Package/pipe");
    tree.File("Installed/Welcome.txt", "old welcome");
    tree.File("Installed/Lectern.ini", "settings of the reader");
    QFile::setPermissions(tree.Path("Installed/Welcome.txt"), QFileDevice::ReadOwner);
    QVERIFY(CopyDeleteDirectory(tree.Path("Package"), tree.Path("Installed"), true));
    QVERIFY(dialogs.Boxes.isEmpty());
    QCOMPARE(Read(tree.Path("Installed/Welcome.txt")), QByteArray("new welcome"));
    QCOMPARE(Read(tree.Path("Installed/Lectern.ini")), QByteArray("settings of the reader"));
    QCOMPARE(Read(tree.Path("Installed/BackImages/Default.bmp")), QByteArray("bmp"));
    QVERIFY(QFileInfo(tree.Path("Installed/Lectern")).isExecutable());
    QCOMPARE(QFile::symLinkTarget(tree.Path("Installed/Help.link")), tree.Path("Installed/Welcome.txt"));
    QVERIFY(!QFileInfo::exists(tree.Path("Installed/.secret")));
    QVERIFY(!QFileInfo::exists(tree.Path("Installed/pipe")));
    QVERIFY(QFileInfo::exists(tree.Path("Package/Welcome.txt")));

    // Without copy it moves.
    QVERIFY(CopyDeleteDirectory(tree.Path("Installed"), tree.Path("Moved"), false));
    QVERIFY(!QFileInfo::exists(tree.Path("Installed")));
    QCOMPARE(Read(tree.Path("Moved/Lectern.ini")), QByteArray("settings of the reader"));
}

void TestFileOperations::refusedCopiesShowOneBox()
{
    TTempTree tree;
    tree.File("Package/a.txt", "a");
    struct TCase {
        QString Source, Destination, Description;
    };
    const QList<TCase> cases{
        {tree.Path("Package"), QString(), "Empty destination name."},
        {tree.Path("Package"), tree.Path("Package/Inside"), "Failed to create directory."},
        {tree.Path("Missing"), tree.Path("Out"), "Failed to find first file."},
        {tree.Path("Package"), tree.Path("No/Parent/Here"), "Failed to create directory."},
    };
    for (const TCase &c : cases) {
        TScopedRecordingDialogs dialogs;
        QVERIFY(!CopyDeleteDirectory(c.Source, c.Destination, true));
        QCOMPARE(FunStatContext.Description, c.Description);
        QCOMPARE(dialogs.Texts(), QStringList({"Failed to process directory."}));
        QCOMPARE(dialogs.Boxes.constFirst().Caption, QString("Error"));
    }
    QVERIFY(!QFileInfo::exists(tree.Path("Package/Inside")));
}

void TestFileOperations::specialFolders()
{
    QVERIFY(GetTempPathA().endsWith('/'));
    QVERIFY(QFileInfo(GetTempPathA()).isDir());
    QCOMPARE(GetSystemDirectoryPath(FolderPersonal),
             QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + '/');
    QCOMPARE(GetSystemDirectoryPath(FolderProgramFiles),
             ::geteuid() == 0 ? QString("/opt/") : QDir::homePath() + "/.local/opt/");
    QVERIFY(GetSystemDirectoryPath(FolderPrograms).endsWith("applications/"));
    QCOMPARE(GetSystemDirectoryPath(12345), QString());
    QCOMPARE(FunStatContext.Description, QString("Failed to get path."));
}

void TestFileOperations::programLinkIsAValidDesktopEntry()
{
    TTempTree tree;
    const QString program = Program(tree, "Lectern Reader/Lectern");
    const QString link = tree.Path("Lectern.desktop");
    QVERIFY(CopyFileAsLink(program, link, false, true, true, QString()));
    const QString complaints = Validate(link);
    QVERIFY2(complaints.isEmpty(), qPrintable(complaints));
    QVERIFY(QFileInfo(link).isExecutable());
    TLinkFile loaded;
    QVERIFY(TLinkFile::Load(loaded, link));
    QCOMPARE(loaded.ReferencePath, program);
    QCOMPARE(loaded.WorkingPath, tree.Path("Lectern Reader/"));
    QCOMPARE(loaded.Arguments, QString());
    QCOMPARE(loaded.ShowCommand, 7);
    QVERIFY(loaded.Loaded);
    QCOMPARE(loaded.Size, int64_t(QFileInfo(program).size()));
    QVERIFY(Read(link).contains("Name=Lectern\n"));

    const QString uninstall = tree.Path("Uninstall.desktop");
    QVERIFY(CopyFileAsLinkWithParam(program, uninstall, "/Uninstall", false));
    QVERIFY2(Validate(uninstall).isEmpty(), qPrintable(Validate(uninstall)));
    QVERIFY(TLinkFile::Load(loaded, uninstall));
    QCOMPARE(loaded.Arguments, QString("/Uninstall"));
    QCOMPARE(loaded.ShowCommand, 0);
    QCOMPARE(GetWhenReference(uninstall), program);
}

void TestFileOperations::documentLinkIsAValidDesktopEntry()
{
    TTempTree tree;
    const QString readme = tree.File("Lectern 100%/Readme.txt", "read me");
    const QString link = tree.Path("Readme.desktop");
    QVERIFY(CopyFileAsLink(readme, link, false, false, false, QString()));
    QVERIFY2(Validate(link).isEmpty(), qPrintable(Validate(link)));
    TLinkFile loaded;
    QVERIFY(TLinkFile::Load(loaded, link));
    QCOMPARE(loaded.ReferencePath, readme);
    QVERIFY(Read(link).contains("Type=Link"));
    // A directory is linked the same way.
    QVERIFY(CopyFileAsLink(tree.Path("Lectern 100%"), tree.Path("Folder.desktop"), false, false, false, QString()));
    QVERIFY(TLinkFile::Load(loaded, tree.Path("Folder.desktop")));
    QCOMPARE(loaded.ReferencePath, tree.Path("Lectern 100%"));
}

void TestFileOperations::linkArgumentsSurviveTheRoundTrip_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("none") << "" << QStringList();
    QTest::newRow("one") << "/Uninstall" << QStringList({"/Uninstall"});
    QTest::newRow("two") << "--piece 3" << QStringList({"--piece", "3"});
    QTest::newRow("spaces") << "\"War and Peace.txt\"" << QStringList({"War and Peace.txt"});
    QTest::newRow("shell characters") << "$HOME `id` a;b *?" << QStringList({"$HOME", "`id`", "a;b", "*?"});
    QTest::newRow("percent") << "100% %f" << QStringList({"100%", "%f"});
    QTest::newRow("backslash") << "C:\\Books\\x.txt" << QStringList({"C:\\Books\\x.txt"});
    QTest::newRow("quote") << "\"say \"\"\"hi\"\"\"\"" << QStringList({"say \"hi\""});
}

void TestFileOperations::linkArgumentsSurviveTheRoundTrip()
{
    QFETCH(QString, arguments);
    QFETCH(QStringList, words);
    TTempTree tree;
    const QString program = Program(tree, "Lectern");
    const QString link = tree.Path("Args.desktop");
    TLinkFile link1;
    link1.ReferencePath = program;
    link1.Arguments = arguments;
    link1.Description = "A reader's \\ link";
    link1.IconPath = tree.Path("icon.png");
    QVERIFY(TLinkFile::Save(link1, link, false));
    QVERIFY2(Validate(link).isEmpty(), qPrintable(Validate(link)));
    TLinkFile loaded;
    QVERIFY(TLinkFile::Load(loaded, link));
    QCOMPARE(SplitArguments(loaded.Arguments), words);
    QCOMPARE(loaded.Description, link1.Description);
    QCOMPARE(loaded.IconPath, link1.IconPath);
    QCOMPARE(loaded.ReferencePath, program);
}

void TestFileOperations::linkRefusals_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("description");
    QTest::newRow("chained") << "chained"
                             << "This operating system does not support chained links.";
    QTest::newRow("no target") << "target"
                               << "Failed to set reference path.";
    QTest::newRow("line break in working path") << "working"
                                                << "Failed to set working path.";
    QTest::newRow("line break in arguments") << "arguments"
                                             << "Failed to set arguments.";
    QTest::newRow("arguments of a document") << "document"
                                             << "Failed to set arguments.";
    QTest::newRow("line break in description") << "description"
                                               << "Failed to set description.";
    QTest::newRow("show command") << "show"
                                  << "Failed to set show command.";
    QTest::newRow("line break in name") << "name"
                                        << "Failed to set name.";
    QTest::newRow("separator in a category") << "categories"
                                             << "Failed to set categories.";
    QTest::newRow("blank in a type") << "types"
                                     << "Failed to set types.";
    QTest::newRow("unwritable place") << "place"
                                      << "Failed to save link file.";
}

void TestFileOperations::linkRefusals()
{
    QFETCH(QString, field);
    QFETCH(QString, description);
    TTempTree tree;
    TLinkFile link;
    link.ReferencePath = Program(tree, "Lectern");
    QString linkPath = tree.Path("Bad.desktop");
    if (field == "chained")
        link.ReferencePath = tree.File("Other.desktop", "[Desktop Entry]\n");
    else if (field == "target")
        link.ReferencePath.clear();
    else if (field == "working")
        link.WorkingPath = "/tmp/a\nb";
    else if (field == "arguments")
        link.Arguments = "one\ntwo";
    else if (field == "document") {
        link.ReferencePath = tree.File("Readme.txt");
        link.Arguments = "x";
    } else if (field == "description")
        link.Description = "a\rb";
    else if (field == "show")
        link.ShowCommand = -1;
    else if (field == "name")
        link.Name = "Lectern\nReader";
    else if (field == "categories")
        link.Categories = {"Office;Viewer"};
    else if (field == "types")
        link.MimeTypes = {"text/plain", "text/ rtf"};
    else if (field == "place")
        linkPath = tree.Path("no/such/dir/Bad.desktop");
    QVERIFY(!TLinkFile::Save(link, linkPath, true));
    QCOMPARE(FunStatContext.Description, description);
    QCOMPARE(FunStatContext.RaiseFunction, QString("TLinkFile::Save"));
    QVERIFY(!QFileInfo::exists(linkPath));
}

void TestFileOperations::existingLinkIsKeptWithoutReplace()
{
    TTempTree tree;
    const QString link = tree.File("Lectern.desktop", "mine");
    QVERIFY(CopyFileAsLink(Program(tree, "Lectern"), link, false, false, false, QString()));
    QCOMPARE(Read(link), QByteArray("mine"));
    QVERIFY(CopyFileAsLink(Program(tree, "Lectern"), link, true, false, false, QString()));
    QVERIFY(Read(link).startsWith("[Desktop Entry]"));
}

void TestFileOperations::runsProgramsAndOpensDocuments()
{
    TScopedRecordingDialogs dialogs;
    TScopedRecordingShell shell;
    TTempTree tree;
    const QString dictionary = Program(tree, "dictionary");
    QVERIFY(RunFile(dictionary, "two words", tree.Root(), false, false));
    QVERIFY(RunFile(dictionary, "two words", QString(), true, false));
    QVERIFY(RunFile(dictionary, QString(), QString(), true, false));
    QCOMPARE(shell.Programs.size(), 3);
    QCOMPARE(shell.Programs.at(0).Program, dictionary);
    QCOMPARE(shell.Programs.at(0).Arguments, QStringList({"two", "words"}));
    QCOMPARE(shell.Programs.at(0).WorkingDirectory, tree.Root());
    QCOMPARE(shell.Programs.at(1).Arguments, QStringList({"two words"}));
    QCOMPARE(shell.Programs.at(2).Arguments, QStringList());

    // A book marked executable is still a book: it is opened, never run.
    const QString book = Program(tree, "book.txt");
    QVERIFY(RunFile(book, QString(), QString(), false, false));
    QVERIFY(RunFile("https://example.org/books?q=a b", QString(), QString(), true, false));
    QCOMPARE(shell.Programs.size(), 3);
    QCOMPARE(shell.Urls.size(), 2);
    QCOMPARE(shell.Urls.at(0), QUrl::fromLocalFile(book));
    QCOMPARE(shell.Urls.at(1).host(), QString("example.org"));

    // A program named without a directory is looked for on the path.
    QVERIFY(RunFile("sh", "-c true", QString(), false, false));
    QCOMPARE(shell.Programs.constLast().Program, QStandardPaths::findExecutable("sh"));

    QVERIFY(!RunFile(tree.Path("missing.txt"), QString(), QString(), false, false));
    QCOMPARE(FunStatContext.Description, QString("Failed to run file."));
    QCOMPARE(FunStatContext.Parameter1, tree.Path("missing.txt"));
    QVERIFY(dialogs.Boxes.isEmpty());
    QVERIFY(!RunFile(QString(), QString(), QString(), false, false));
    QCOMPARE(dialogs.Texts(), QStringList({"The name of the file is empty."}));

    shell.Result = false;
    QVERIFY(!RunFile(book, QString(), QString(), false, false));
    QCOMPARE(FunStatContext.Description, QString("Failed to run file."));
}

void TestFileOperations::verbsAndSites()
{
    TScopedRecordingDialogs dialogs;
    TReportRecorder reports;
    TScopedRecordingShell shell;
    TTempTree tree;
    const QString book = tree.File("Books/book.txt", "x");
    FunStatContext.Reset();
    QVERIFY(RunVerb(QString(), "Explore", QString()));
    QVERIFY(shell.Urls.isEmpty());
    QCOMPARE(FunStatContext.Status, int(Perfect));
    QVERIFY(RunVerb(tree.Path("Books/"), "Explore", QString()));
    QVERIFY(RunVerb(book, "explore", QString()));
    QCOMPARE(shell.Urls,
             QList<QUrl>({QUrl::fromLocalFile(tree.Path("Books/")), QUrl::fromLocalFile(tree.Path("Books/"))}));
    QVERIFY(!RunVerb(book, "Print", QString()));
    QCOMPARE(FunStatContext.Description, QString("Failed to run verb."));
    QCOMPARE(FunStatContext.Parameter2, QString("Print"));
    QVERIFY(!RunVerb(tree.Path("Gone/"), "Explore", QString()));
    QCOMPARE(FunStatContext.Parameter1, tree.Path("Gone/"));

    QVERIFY(OpenSite("https://www.gutenberg.org/ebooks/", "Failed to open site."));
    QCOMPARE(shell.Urls.constLast(), QUrl("https://www.gutenberg.org/ebooks/"));
    QVERIFY(reports.Messages.isEmpty());
    shell.Result = false;
    QVERIFY(!OpenSite("https://www.gutenberg.org/ebooks/", "Failed to open site."));
    QCOMPARE(reports.Messages, QStringList({"Failed to open site."}));
    QCOMPARE(FunStatContext.Status, int(Perfect)); // shown, then done with
}

void TestFileOperations::menuEntryKeepsItsNameCategoriesAndTypes()
{
    TTempTree tree;
    const QString program = Program(tree, "Lectern 2/Lectern");
    const QString path = tree.Path("Reader.desktop");
    TLinkFile entry;
    entry.Name = "Lectern Reader";
    entry.ReferencePath = program;
    entry.Arguments = "--piece 2";
    entry.Categories = {"Office", "Viewer"};
    entry.MimeTypes = {"text/plain", "application/rtf"};
    QVERIFY(TLinkFile::Save(entry, path, false));
    QVERIFY2(Validate(path).isEmpty(), qPrintable(Validate(path)));
    const QByteArray text = Read(path);
    QVERIFY(text.contains("Name=Lectern Reader\n"));
    QVERIFY(text.contains("Categories=Office;Viewer;\n"));
    QVERIFY(text.contains("MimeType=text/plain;application/rtf;\n"));
    // A program that opens types gets the file as its last argument, which
    // does not come back as an argument of its own.
    QVERIFY(text.contains(" --piece 2 %f\n"));
    TLinkFile loaded;
    QVERIFY(TLinkFile::Load(loaded, path));
    QCOMPARE(loaded.Name, entry.Name);
    QCOMPARE(loaded.Categories, entry.Categories);
    QCOMPARE(loaded.MimeTypes, entry.MimeTypes);
    QCOMPARE(SplitArguments(loaded.Arguments), QStringList({"--piece", "2"}));
    QCOMPARE(loaded.ReferencePath, program);

    // A link to a document is no program: it has neither.
    entry.ReferencePath = tree.File("Readme.txt", "read me");
    entry.Arguments.clear();
    QVERIFY(TLinkFile::Save(entry, path, true));
    QVERIFY2(Validate(path).isEmpty(), qPrintable(Validate(path)));
    QVERIFY(!Read(path).contains("Categories"));
    QVERIFY(!Read(path).contains("MimeType"));
}

QTEST_MAIN(TestFileOperations)
#include "test_file_operations.moc"
