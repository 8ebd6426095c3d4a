// Questions to the file system that are waited for only a while.
#include <QtTest>

#include <QSemaphore>
#include <QTemporaryDir>

#include "FileWait.h"

class TestFileWait : public QObject {
    Q_OBJECT
private slots:
    void answersOfFilesInTime_data();
    void answersOfFilesInTime();
    void aCheckThatHangsCountsAsNo();
};

void TestFileWait::answersOfFilesInTime_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::newRow("file") << QStringLiteral("book.txt") << true;
    QTest::newRow("missing") << QStringLiteral("gone.txt") << false;
    QTest::newRow("directory") << QStringLiteral("dir") << false;
    QTest::newRow("missing directory") << QStringLiteral("nowhere/book.txt") << false;
}

void TestFileWait::answersOfFilesInTime()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QTemporaryDir dir;
    QFile book(dir.filePath(QStringLiteral("book.txt")));
    QVERIFY(book.open(QIODevice::WriteOnly));
    book.write("text");
    book.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dir")));
    // A generous wait: the answer must be the file system's, not the timeout's.
    QCOMPARE(FileExistsWithin(dir.filePath(name), 10000), exists);
}

void TestFileWait::aCheckThatHangsCountsAsNo()
{
    // The check is held until the call has given up on it; it must still
    // end cleanly afterwards.
    auto release = std::make_shared<QSemaphore>();
    auto finished = std::make_shared<QSemaphore>();
    const bool answer = AnswerWithin(
        [release, finished] {
            release->acquire();
            finished->release();
            return true;
        },
        20);
    QVERIFY(!answer);
    release->release();
    QVERIFY(finished->tryAcquire(1, 10000));
    // A check that answers in time is believed.
    QVERIFY(AnswerWithin([] { return true; }, 10000));
    QVERIFY(!AnswerWithin([] { return false; }, 10000));
}

QTEST_GUILESS_MAIN(TestFileWait)
#include "test_file_wait.moc"
