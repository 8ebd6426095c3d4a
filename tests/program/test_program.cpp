#include "Dialogs.h"
#include "Program.h"
#include "WidgetDialogs.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

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

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"
