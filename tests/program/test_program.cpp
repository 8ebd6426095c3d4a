#include "Dialogs.h"
#include "Program.h"
#include "WidgetDialogs.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <unistd.h>

#include "TempTree.h"

namespace {

const QString ProgramDir = QStringLiteral("/opt/Lectern/");
const QString ConfigDir = QStringLiteral("/home/r/.config/Lectern/");

// Paths named "program/NAME" or "config/NAME" in a test table.
bool Listed(const QStringList &names, const QString &path)
{
    for (const QString &name : names) {
        const bool program = name.startsWith(QLatin1String("program/"));
        const QString full = (program ? ProgramDir : ConfigDir) + name.section(QLatin1Char('/'), 1);
        if (full == path)
            return true;
    }
    return false;
}

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void installerModeByNameAndArgument();
    void installerModeOfThisProcessFollowsLinkName();
    void secondInstanceQuitsWhileFirstKeepsLock();
    void lockOfKilledProcessDoesNotBlock();
    void modifierTestsIgnoreMouseButtons();
    void queryThatCannotBeShownBeepsAndAnswersNo();
    void widgetBoxesWithoutWindowsAnswerNo();
    void programPathQueries();
    void terminateHandlerEndsWithExitCodeOne();
    void settingsDirectoryRule_data();
    void settingsDirectoryRule();
    void settingsFileWritability();
    void settingsFileWritabilityOfPermissions();
    void settingsMoveToTheConfigurationDirectory();

private:
    int RunProbe(const QStringList &args, QByteArray *out = nullptr, const QString &program = QString(),
                 bool role = false);
    QString LockName() const { return QStringLiteral("LecternTest%1").arg(QCoreApplication::applicationPid()); }
    QTemporaryDir RuntimeDir;
};

void TestProgram::initTestCase()
{
    // Lock files of the tests live apart from those of a running reader.
    QVERIFY(RuntimeDir.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(RuntimeDir.path()));
}

int TestProgram::RunProbe(const QStringList &args, QByteArray *out, const QString &program, bool role)
{
    QProcess p;
    if (role) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LECTERN_PROBE_ROLE"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
    }
    p.start(program.isEmpty() ? QStringLiteral(LECTERN_INSTANCE_PROBE) : program, args);
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    if (out)
        *out = p.readAllStandardOutput() + p.readAllStandardError();
    return p.exitCode();
}

void TestProgram::installerModeByNameAndArgument()
{
    QVERIFY(IsInstallerMode(QStringLiteral("INSTALL.EXE"), {}));
    QVERIFY(IsInstallerMode(QStringLiteral("install"), {}));
    QVERIFY(IsInstallerMode(QStringLiteral("/opt/Lectern/Install.exe"), {QStringLiteral("book.txt")}));
    QVERIFY(IsInstallerMode(QStringLiteral("Lectern"), {QStringLiteral("/uninstall")}));
    QVERIFY(IsInstallerMode(QStringLiteral("Lectern"), {QStringLiteral("/UNINSTALL"), QStringLiteral("x")}));

    QVERIFY(!IsInstallerMode(QStringLiteral("Lectern"), {}));
    QVERIFY(!IsInstallerMode(QStringLiteral("Lectern"), {QStringLiteral("x"), QStringLiteral("/Uninstall")}));
    QVERIFY(!IsInstallerMode(QStringLiteral("Installer"), {}));
    QVERIFY(!IsInstallerMode(QStringLiteral("Install.exe.bak"), {}));
    QVERIFY(!IsInstallerMode(QStringLiteral("Lectern"), {QStringLiteral("Uninstall")}));
}

void TestProgram::installerModeOfThisProcessFollowsLinkName()
{
    QByteArray out;
    const QString probe = QStringLiteral(LECTERN_INSTANCE_PROBE);
    QCOMPARE(RunProbe({QStringLiteral("book.txt")}, &out, probe, true), 0);
    QCOMPARE(out.trimmed(), QByteArray("reader"));
    QCOMPARE(RunProbe({QStringLiteral("/unInstall")}, &out, probe, true), 0);
    QCOMPARE(out.trimmed(), QByteArray("installer"));
    QCOMPARE(RunProbe({QStringLiteral("book.txt"), QStringLiteral("/Uninstall")}, &out, probe, true), 0);
    QCOMPARE(out.trimmed(), QByteArray("reader"));

    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("INSTALL"));
    QVERIFY(QFile::link(QStringLiteral(LECTERN_INSTANCE_PROBE), link));
    QCOMPARE(RunProbe({}, &out, link, true), 0);
    QCOMPARE(out.trimmed(), QByteArray("installer"));
}

void TestProgram::secondInstanceQuitsWhileFirstKeepsLock()
{
    const QString name = LockName();
    // Nobody holds it: the probe gets the lock and reports 3.
    QCOMPARE(RunProbe({QStringLiteral("check"), name}), 3);

    QVERIFY(!IsProgramInstanceRunning(name));
    QVERIFY(QFile::exists(ProgramInstanceLockPath(name)));
    // A second process quits with 0, again and again; the first keeps it.
    QCOMPARE(RunProbe({QStringLiteral("check"), name}), 0);
    QCOMPARE(RunProbe({QStringLiteral("check"), name}), 0);
    QVERIFY(!IsProgramInstanceRunning(name)); // asking again in the holder changes nothing
    QCOMPARE(RunProbe({QStringLiteral("check"), name}), 0);

    ReleaseProgramInstance();
    QCOMPARE(RunProbe({QStringLiteral("check"), name}), 3);
    ReleaseProgramInstance(); // nothing held: harmless
}

void TestProgram::lockOfKilledProcessDoesNotBlock()
{
    const QString name = LockName() + QStringLiteral("k");
    QProcess holder;
    holder.start(QStringLiteral(LECTERN_INSTANCE_PROBE), {QStringLiteral("hold"), name});
    QVERIFY(holder.waitForReadyRead(20000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
    QVERIFY(IsProgramInstanceRunning(name));
    QCOMPARE(RunProbe({QStringLiteral("check"), name}), 0);

    // A crash leaves the file behind but not the lock.
    ::kill(pid_t(holder.processId()), SIGKILL);
    QVERIFY(holder.waitForFinished(20000));
    QVERIFY(QFile::exists(ProgramInstanceLockPath(name)));
    QVERIFY(!IsProgramInstanceRunning(name));
    ReleaseProgramInstance();
}

void TestProgram::modifierTestsIgnoreMouseButtons()
{
    const TShiftState ctrlLeft = ShiftStateFrom(Qt::ControlModifier, Qt::LeftButton);
    QCOMPARE(ctrlLeft, TShiftState(ssCtrl | ssLeft));
    QVERIFY(HasOnlyModifier(ctrlLeft, ssCtrl));
    QVERIFY(HasModifier(ctrlLeft, ssCtrl));
    QVERIFY(!HasModifier(ctrlLeft, ssLeft)); // buttons are not modifiers
    QVERIFY(!HasNoModifier(ctrlLeft));

    const TShiftState ctrlShift = ShiftStateFrom(Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!HasOnlyModifier(ctrlShift, ssCtrl));
    QVERIFY(HasModifier(ctrlShift, ssCtrl));
    QVERIFY(HasModifier(ctrlShift, ssShift));
    QVERIFY(!HasModifier(ctrlShift, ssAlt));

    const TShiftState altShift = ShiftStateFrom(Qt::AltModifier | Qt::ShiftModifier | Qt::KeypadModifier);
    QCOMPARE(altShift, TShiftState(ssAlt | ssShift));

    const TShiftState buttons = ShiftStateFrom(Qt::NoModifier, Qt::LeftButton | Qt::RightButton | Qt::MiddleButton);
    QVERIFY(HasNoModifier(buttons));
    QVERIFY(HasNoModifier(0));

    const TShiftState doubleClick = ShiftStateFrom(Qt::NoModifier, Qt::LeftButton, true);
    QVERIFY(!HasNoModifier(doubleClick));
    QVERIFY(HasOnlyModifier(doubleClick, ssDouble));

    // Anything but one of the seven flags is never "held".
    const TShiftState all = 127;
    QVERIFY(!HasModifier(all, 128));
    QVERIFY(!HasModifier(all, ssCtrl | ssShift));
    QVERIFY(!HasModifier(all, 0));
    QVERIFY(!HasOnlyModifier(ssCtrl | ssShift, ssCtrl | ssShift));
}

void TestProgram::queryThatCannotBeShownBeepsAndAnswersNo()
{
    TScopedRecordingDialogs dialogs;
    dialogs.Answers = {0, DialogResultNo, DialogResultOther, DialogResultOk};
    QVERIFY(!QueryDialog(QStringLiteral("Save?"))); // not shown
    QCOMPARE(dialogs.WarningBeeps, 1);
    QVERIFY(!QueryDialog(QStringLiteral("Save?")));
    QVERIFY(!QueryDialog(QStringLiteral("Save?"))); // closed
    QVERIFY(QueryDialog(QStringLiteral("Save?")));
    QCOMPARE(dialogs.WarningBeeps, 1);
    QCOMPARE(dialogs.Count(TDialogKind::Query), 4);
    QCOMPARE(dialogs.Boxes[0].Caption, QStringLiteral("Query"));

    WarningDialog(QStringLiteral("w"));
    ErrorDialog(QStringLiteral("e"));
    MessageDialog(QStringLiteral("m"));
    QCOMPARE(dialogs.Boxes[4].Caption, QStringLiteral("Warning"));
    QCOMPARE(dialogs.Boxes[5].Caption, QStringLiteral("Error"));
    QCOMPARE(dialogs.Boxes[6].Caption, QStringLiteral("Message"));
    BeepDefault();
    QCOMPARE(dialogs.Beeps, 2);
    QCOMPARE(dialogs.WarningBeeps, 1);
}

void TestProgram::widgetBoxesWithoutWindowsAnswerNo()
{
    // This test runs without a window application: the real service cannot
    // show a box, so a query is a No and nothing blocks or crashes.
    TWidgetDialogService service;
    QCOMPARE(service.ShowBox(QStringLiteral("Query"), QStringLiteral("Save?"), TDialogKind::Query), 0);
    TDialogService *previous = SetDialogService(&service);
    QVERIFY(!QueryDialog(QStringLiteral("Save?")));
    WarningDialog(QStringLiteral("w"));
    BeepWarning();
    SetDialogService(previous);
}

void TestProgram::programPathQueries()
{
    const QString dir = GetProgramDirectory();
    QVERIFY(dir.endsWith(QLatin1Char('/')));
    QCOMPARE(dir + GetProgramFileName(), GetProgramPath());
    QCOMPARE(GetProgramFileName(), QStringLiteral("test_program"));
    QCOMPARE(GetParam(0), GetProgramPath());
    QCOMPARE(GetParam(GetParamCount() + 1), QString());
    QCOMPARE(GetParam(-1), QString());
    QCOMPARE(GetParams().size(), GetParamCount());
    QCOMPARE(ProgramName, QStringLiteral("Lectern"));
}

void TestProgram::terminateHandlerEndsWithExitCodeOne()
{
    QByteArray out;
    QCOMPARE(RunProbe({QStringLiteral("terminate")}, &out), 1);
    QVERIFY(out.contains("Abort intercepted."));
}

void TestProgram::settingsDirectoryRule_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("readOnly");
    QTest::addColumn<QString>("expected");
    const QStringList none;
    const QStringList allProgram{"program/Lectern.ini", "program/LecternProfile.lcp", "program/Errors.log"};
    const QStringList allConfig{"config/Lectern.ini", "config/LecternProfile.lcp", "config/Errors.log"};
    QTest::newRow("portable, first start") << none << none << ProgramDir;
    QTest::newRow("portable with its settings") << allProgram << none << ProgramDir;
    QTest::newRow("read-only program directory") << QStringList{"program/Lectern.ini"} << allProgram << ConfigDir;
    QTest::newRow("read-only Lectern.ini")
        << QStringList{"program/Lectern.ini"} << QStringList{"program/Lectern.ini"} << ConfigDir;
    QTest::newRow("read-only default profile") << none << QStringList{"program/LecternProfile.lcp"} << ConfigDir;
    QTest::newRow("read-only log") << none << QStringList{"program/Errors.log"} << ConfigDir;
    QTest::newRow("the configuration copy is newer")
        << QStringList{"program/Lectern.ini", "config/Lectern.ini"} << none << ConfigDir;
    QTest::newRow("a profile copy alone counts") << QStringList{"config/LecternProfile.lcp"} << none << ConfigDir;
    QTest::newRow("a log alone does not") << QStringList{"config/Errors.log"} << none << ProgramDir;
    QTest::newRow("nothing writable: the settings where they are")
        << QStringList{"program/Lectern.ini"} << allProgram + allConfig << ProgramDir;
    QTest::newRow("nothing writable and nothing there") << none << allProgram + allConfig << ConfigDir;
    QTest::newRow("nothing writable, a configuration copy")
        << QStringList{"program/Lectern.ini", "config/Lectern.ini"} << allProgram + allConfig << ConfigDir;
}

void TestProgram::settingsDirectoryRule()
{
    QFETCH(QStringList, existing);
    QFETCH(QStringList, readOnly);
    QFETCH(QString, expected);
    const auto exists = [&](const QString &path) { return Listed(existing, path); };
    const auto canWrite = [&](const QString &path) { return !Listed(readOnly, path); };
    QCOMPARE(SettingsDirectoryFor(ProgramDir, ConfigDir, exists, canWrite), expected);
    // Directories without their trailing "/" give the same.
    QCOMPARE(SettingsDirectoryFor(QStringLiteral("/opt/Lectern"), QStringLiteral("/home/r/.config/Lectern"), exists,
                                  canWrite),
             expected);
}

void TestProgram::settingsFileWritability()
{
    TTempTree tree;
    QVERIFY(tree.IsValid());
    const QString file = tree.File(QStringLiteral("Lectern.ini"), "[S]\r\n");
    QVERIFY(CanWriteSettingsFile(file));
    QVERIFY(CanWriteSettingsFile(tree.Path(QStringLiteral("New.ini"))));
    // A directory still to be made, below a writable one.
    QVERIFY(CanWriteSettingsFile(tree.Path(QStringLiteral("config/Lectern/Lectern.ini"))));
    // What no save can replace, whoever runs it.
    QVERIFY(!CanWriteSettingsFile(tree.Directory(QStringLiteral("Errors.log"))));
    QVERIFY(!CanWriteSettingsFile(file + QStringLiteral("/Lectern.ini")));
    QVERIFY(!CanWriteSettingsFile(tree.Fifo(QStringLiteral("pipe.ini"))));
    // A link is judged by the file it names.
    QVERIFY(CanWriteSettingsFile(tree.Link(QStringLiteral("link.ini"), file)));
}

void TestProgram::settingsFileWritabilityOfPermissions()
{
    if (::geteuid() == 0)
        QSKIP("permission bits do not bind root");
    TTempTree tree;
    const QString dir = tree.Directory(QStringLiteral("opt"));
    const QString file = tree.File(QStringLiteral("opt/Lectern.ini"), "[S]\r\n");
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    // A read-only file of this user in a writable directory is made
    // writable before it is saved.
    QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner));
    QVERIFY(CanWriteSettingsFile(file));
    // A writable file in a read-only directory cannot be replaced.
    QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(QFile::setPermissions(dir, readOnly));
    QVERIFY(!CanWriteSettingsFile(file));
    QVERIFY(!CanWriteSettingsFile(dir + QStringLiteral("Errors.log")));
    QVERIFY(!CanWriteSettingsFile(dir + QStringLiteral("sub/Lectern.ini")));
    QVERIFY(QFile::setPermissions(dir, readOnly | QFileDevice::WriteOwner));
}

void TestProgram::settingsMoveToTheConfigurationDirectory()
{
    // A program directory with its settings where one file cannot be
    // written (a directory under the log's name blocks it for root too):
    // the settings move to the configuration directory, and are read there.
    TTempTree tree;
    const QString program = tree.Directory(QStringLiteral("opt"));
    const QString probe = program + QStringLiteral("instance_probe");
    QVERIFY(QFile::copy(QStringLiteral(LECTERN_INSTANCE_PROBE), probe));
    tree.File(QStringLiteral("opt/Lectern.ini"), "[Lectern_Main]\r\nAutoBookmark=FALSE\r\n");
    tree.File(QStringLiteral("opt/LecternProfile.lcp"), "[Profile_Main]\r\nFontSize=14\r\n");
    tree.Directory(QStringLiteral("opt/Errors.log"));
    const QString config = tree.Path(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    QByteArray out;
    const int code = RunProbe({QStringLiteral("settings")}, &out, probe);
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(code, 0);
    QCOMPARE(out.trimmed(), QFile::encodeName(config + QStringLiteral("/Lectern/")));
    QCOMPARE(ReadAll(config + QStringLiteral("/Lectern/Lectern.ini")),
             ReadAll(program + QStringLiteral("Lectern.ini")));
    QCOMPARE(ReadAll(config + QStringLiteral("/Lectern/LecternProfile.lcp")),
             ReadAll(program + QStringLiteral("LecternProfile.lcp")));

    // Once there, the copy is the newer one even when the program's
    // directory can take the files again; it is not copied over again.
    QVERIFY(QDir(program + QStringLiteral("Errors.log")).removeRecursively());
    tree.File(QStringLiteral("opt/Lectern.ini"), "[Lectern_Main]\r\nAutoBookmark=TRUE\r\n");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    const int again = RunProbe({QStringLiteral("settings")}, &out, probe);
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(again, 0);
    QCOMPARE(out.trimmed(), QFile::encodeName(config + QStringLiteral("/Lectern/")));
    QCOMPARE(ReadAll(config + QStringLiteral("/Lectern/Lectern.ini")),
             QByteArray("[Lectern_Main]\r\nAutoBookmark=FALSE\r\n"));
}

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"
