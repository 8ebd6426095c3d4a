// The reader executable itself: one reader at a time, and a second start
// leaves quietly with exit code 0 while the first keeps running.
#include <QtTest>

#include <QProcess>
#include <QTemporaryDir>

class TestWindowProcess : public QObject {
    Q_OBJECT
private slots:
    void secondReaderLeavesQuietly();
};

void TestWindowProcess::secondReaderLeavesQuietly()
{
    const QString package = qEnvironmentVariable("LECTERN_PACKAGE");
    const QString exe = package + QStringLiteral("/Lectern");
    if (package.isEmpty() || !QFileInfo(exe).isExecutable())
        QSKIP("the reader executable is not built");
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(exe, {});
    QVERIFY(first.waitForStarted());
    // Give it time to take the lock, build its windows and open the Welcome book.
    QTest::qWait(2000);
    QCOMPARE(first.state(), QProcess::Running);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(exe, {package + QStringLiteral("/Welcome.txt")});
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

QTEST_GUILESS_MAIN(TestWindowProcess)
#include "test_window_process.moc"
