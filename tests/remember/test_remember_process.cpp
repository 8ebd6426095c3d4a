// The reader program itself keeps the day's reading: a logout or a shutdown
// (SIGTERM, SIGHUP, SIGINT) closes it the normal way and its settings are
// written; a crash loses nothing of the book opened; an installed reader
// whose directory is read-only keeps its settings in the XDG directory.
#include <QtTest>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

// A copy of the reader with its Welcome book in `dir`.
bool CopyReader(const QString &dir)
{
    const QString package = qEnvironmentVariable("LECTERN_PACKAGE");
    return QFile::copy(package + QStringLiteral("/Lectern"), dir + QStringLiteral("/Lectern"))
        && QFile::copy(package + QStringLiteral("/Welcome.txt"), dir + QStringLiteral("/Welcome.txt"));
}

bool WaitForFile(const QString &path, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(path) && timer.elapsed() < milliseconds)
        QTest::qWait(50);
    return QFile::exists(path);
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QProcessEnvironment ReaderEnvironment(const QString &runtime, const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    return env;
}

// A private runtime directory (for the single-reader lock) of `owner`.
bool MakeRuntime(const QString &path, uid_t owner)
{
    return QDir().mkpath(path) && ::chown(QFile::encodeName(path).constData(), owner, owner) == 0
        && QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace

class TestRememberProcess : public QObject {
    Q_OBJECT
private slots:
    void init();
    void quitSignalsCloseTheReaderNormally_data();
    void quitSignalsCloseTheReaderNormally();
    void readOnlyProgramDirectoryUsesXdgConfig();

private:
    QString Package;
};

void TestRememberProcess::init()
{
    Package = qEnvironmentVariable("LECTERN_PACKAGE");
    if (Package.isEmpty() || !QFileInfo(Package + QStringLiteral("/Lectern")).isExecutable())
        QSKIP("the reader executable is not built");
}

void TestRememberProcess::quitSignalsCloseTheReaderNormally_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestRememberProcess::quitSignalsCloseTheReaderNormally()
{
    QFETCH(int, signal);
    QTemporaryDir dir;
    QVERIFY(CopyReader(dir.path()));
    QVERIFY(MakeRuntime(dir.filePath(QStringLiteral("run")), ::geteuid()));
    QProcess reader;
    reader.setProcessEnvironment(ReaderEnvironment(dir.filePath(QStringLiteral("run")), dir.path()));
    reader.start(dir.filePath(QStringLiteral("Lectern")), {});
    QVERIFY(reader.waitForStarted());

    // The settings are written as soon as the Welcome book is open, so even
    // a crash from here on keeps it on the shelf.
    const QString ini = dir.filePath(QStringLiteral("Lectern.ini"));
    QVERIFY(WaitForFile(ini, 20000));
    QTest::qWait(300);
    QVERIFY(ReadFile(ini).contains("Welcome.txt\r\n"));
    QVERIFY(QFile::remove(ini));

    ::kill(pid_t(reader.processId()), signal);
    QVERIFY(reader.waitForFinished(20000));
    QCOMPARE(reader.exitStatus(), QProcess::NormalExit);
    QCOMPARE(reader.exitCode(), 0);
    // Written again at the close.
    QVERIFY(ReadFile(ini).startsWith("[Lectern_Main]\r\n"));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("LecternProfile.lcp"))));
}

void TestRememberProcess::readOnlyProgramDirectoryUsesXdgConfig()
{
    // root writes anywhere: the reader then runs as the unprivileged user.
    const bool root = ::geteuid() == 0;
    if (root && !QFileInfo(QStringLiteral("/usr/bin/setpriv")).isExecutable())
        QSKIP("running as root without setpriv to run the reader as another user");
    const uid_t user = root ? Nobody : ::geteuid();
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(),
                                  QFile::permissions(dir.path()) | QFileDevice::ExeOther | QFileDevice::ReadOther));
    const QString program = dir.filePath(QStringLiteral("opt"));
    const QString home = dir.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(program));
    QVERIFY(CopyReader(program));
    QVERIFY(MakeRuntime(home, user));
    QVERIFY(MakeRuntime(dir.filePath(QStringLiteral("run")), user));
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
        | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    QVERIFY(QFile::setPermissions(program, readOnly));

    QProcess reader;
    QProcessEnvironment env = ReaderEnvironment(dir.filePath(QStringLiteral("run")), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    reader.setProcessEnvironment(env);
    const QString exe = program + QStringLiteral("/Lectern");
    if (root)
        reader.start(QStringLiteral("/usr/bin/setpriv"),
                     {QStringLiteral("--reuid=%1").arg(user), QStringLiteral("--regid=%1").arg(user),
                      QStringLiteral("--clear-groups"), exe});
    else
        reader.start(exe, {});
    QVERIFY(reader.waitForStarted());
    const QString ini = home + QStringLiteral("/.config/Lectern/Lectern.ini");
    QVERIFY(WaitForFile(ini, 20000));
    QTest::qWait(300);
    reader.terminate();
    QVERIFY(reader.waitForFinished(20000));
    QCOMPARE(reader.exitCode(), 0);

    QVERIFY(ReadFile(ini).contains(QFile::encodeName(program + QStringLiteral("/Welcome.txt\r\n"))));
    QVERIFY(QFile::exists(home + QStringLiteral("/.config/Lectern/LecternProfile.lcp")));
    QCOMPARE(QDir(program).entryList(QDir::Files), QStringList({"Lectern", "Welcome.txt"}));
    QFile::setPermissions(program, readOnly | QFileDevice::WriteOwner); // so the directory can be removed
}

QTEST_GUILESS_MAIN(TestRememberProcess)
#include "test_remember_process.moc"
