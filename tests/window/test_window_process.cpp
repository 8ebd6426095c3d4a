// The reader executable itself: one reader at a time, and a second start
// leaves quietly with exit code 0 while the first keeps running; a reader
// whose settings cannot be written anywhere still closes at the first
// request. Each reader runs from a private copy of the package, with its
// own configuration, home and runtime directories.
#include <QtTest>

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;
const QFileDevice::Permissions PrivateDir = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
const QFileDevice::Permissions ReadOnlyDir = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
    | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;

// Copies the built package into `to` (created), files and directories.
bool CopyPackage(const QString &package, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(package, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    // What a reader left in the package directory is not part of it.
    const QStringList settings{QStringLiteral("Lectern.ini"), QStringLiteral("LecternProfile.lcp"),
                               QStringLiteral("Errors.log"), QStringLiteral("Lectern.ini.bad")};
    while (it.hasNext()) {
        const QString from = it.next();
        if (settings.contains(it.fileName()))
            continue;
        const QString target = to + QLatin1Char('/') + QDir(package).relativeFilePath(from);
        const bool copied = it.fileInfo().isDir() ? QDir().mkpath(target) : QFile::copy(from, target);
        if (!copied)
            return false;
    }
    return true;
}

// Makes every directory and file under `root` (and root) read-only, or
// writable for its owner again.
void SetTreeWritable(const QString &root, bool writable)
{
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList paths{root};
    while (it.hasNext())
        paths << it.next();
    for (const QString &path : paths) {
        QFileDevice::Permissions p = QFile::permissions(path);
        p &= ~(QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup | QFileDevice::WriteOther);
        if (writable)
            p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
        QFile::setPermissions(path, p);
    }
}

// Everything under a directory, relative to it.
QStringList Tree(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(root).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

// A private directory of `owner`.
bool MakeOwnedDir(const QString &path, uid_t owner, QFileDevice::Permissions permissions = PrivateDir)
{
    return QDir().mkpath(path) && ::chown(QFile::encodeName(path).constData(), owner, owner) == 0
        && QFile::setPermissions(path, permissions);
}

// The environment of a reader kept inside `root`.
QProcessEnvironment ReaderEnvironment(const QString &root)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/run"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    env.insert(QStringLiteral("HOME"), root + QStringLiteral("/home"));
    return env;
}

// How to start a program as the unprivileged user, when running as root:
// the program and arguments to put in front, empty when there is no way.
QStringList AsNobody()
{
    if (QFileInfo(QStringLiteral("/usr/bin/setpriv")).isExecutable())
        return {QStringLiteral("/usr/bin/setpriv"), QStringLiteral("--reuid=%1").arg(Nobody),
                QStringLiteral("--regid=%1").arg(Nobody), QStringLiteral("--clear-groups")};
    for (const QString &runuser : {QStringLiteral("/usr/sbin/runuser"), QStringLiteral("/sbin/runuser")})
        if (QFileInfo(runuser).isExecutable())
            return {runuser, QStringLiteral("-p"), QStringLiteral("-u"), QStringLiteral("nobody"),
                    QStringLiteral("--")};
    return {};
}

} // namespace

class TestWindowProcess : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void secondReaderLeavesQuietly();
    void unwritableSettingsDoNotKeepTheReaderOpen();

private:
    QString Package;
};

void TestWindowProcess::initTestCase()
{
    Package = qEnvironmentVariable("LECTERN_PACKAGE");
    if (Package.isEmpty() || !QFileInfo(Package + QStringLiteral("/Lectern")).isExecutable())
        QSKIP("the reader executable is not built");
}

void TestWindowProcess::secondReaderLeavesQuietly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("package"));
    QVERIFY(CopyPackage(Package, program));
    for (const char *name : {"run", "config", "home"})
        QVERIFY(MakeOwnedDir(dir.filePath(QString::fromLatin1(name)), ::geteuid()));
    const QProcessEnvironment env = ReaderEnvironment(dir.path());
    const QString exe = program + QStringLiteral("/Lectern");

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(exe, {});
    QVERIFY(first.waitForStarted());
    // Give it time to take the lock, build its windows and open the Welcome book.
    QTest::qWait(2000);
    QCOMPARE(first.state(), QProcess::Running);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(exe, {program + QStringLiteral("/Welcome.txt")});
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);

    QTest::qWait(300);
    QCOMPARE(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished(5000);

    // With the first reader gone, a new one runs.
    QProcess third;
    third.setProcessEnvironment(env);
    third.start(exe, {});
    QVERIFY(third.waitForStarted());
    QVERIFY(!third.waitForFinished(1500));
    third.kill();
    third.waitForFinished(5000);
}

void TestWindowProcess::unwritableSettingsDoNotKeepTheReaderOpen()
{
    // Permission bits do not bind root: as root the reader runs as nobody.
    const bool root = ::geteuid() == 0;
    const QStringList prefix = root ? AsNobody() : QStringList();
    if (root && prefix.isEmpty())
        QSKIP("running as root without setpriv or runuser to run the reader as another user");
    const uid_t user = root ? Nobody : ::geteuid();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::setPermissions(dir.path(), PrivateDir | QFileDevice::ReadOther | QFileDevice::ExeOther));
    // An installation the reader cannot write, and a configuration
    // directory it cannot write either.
    const QString program = dir.filePath(QStringLiteral("package"));
    QVERIFY(CopyPackage(Package, program));
    QVERIFY(MakeOwnedDir(dir.filePath(QStringLiteral("run")), user));
    QVERIFY(MakeOwnedDir(dir.filePath(QStringLiteral("home")), user));
    QVERIFY(MakeOwnedDir(dir.filePath(QStringLiteral("config")), user, ReadOnlyDir));
    SetTreeWritable(program, false);
    const QStringList before = Tree(program);

    QProcess reader;
    reader.setProcessEnvironment(ReaderEnvironment(dir.path()));
    const QString exe = program + QStringLiteral("/Lectern");
    if (prefix.isEmpty())
        reader.start(exe, {});
    else
        reader.start(prefix.first(), prefix.mid(1) + QStringList{exe});
    QVERIFY(reader.waitForStarted());
    // Time to open the Welcome book, whose opening saves the settings.
    QTest::qWait(3000);
    const bool running = reader.state() == QProcess::Running;
    ::kill(pid_t(reader.processId()), SIGTERM); // closes the window the normal way
    const bool closed = reader.waitForFinished(20000);
    if (!closed) {
        reader.kill();
        reader.waitForFinished(5000);
    }
    SetTreeWritable(program, true); // so the directory can be removed
    QVERIFY2(running, reader.readAllStandardError().constData());
    QVERIFY2(closed, "the reader did not close at the first request");
    QCOMPARE(reader.exitStatus(), QProcess::NormalExit);
    QCOMPARE(reader.exitCode(), 0);
    QCOMPARE(Tree(program), before);
    QCOMPARE(Tree(dir.filePath(QStringLiteral("config"))), QStringList());
}

QTEST_GUILESS_MAIN(TestWindowProcess)
#include "test_window_process.moc"
