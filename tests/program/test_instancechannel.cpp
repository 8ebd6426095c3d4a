// What a second start hands to the running reader: the request on the
// socket beside the instance lock, a stale socket replaced, bad lines
// refused.
#include <QtTest>

#include <QLocalServer>
#include <QTemporaryDir>

#include <thread>

#include "InstanceChannel.h"

class TestInstanceChannel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void requestsRoundTrip_data();
    void requestsRoundTrip();
    void linesThatAreNoRequest_data();
    void linesThatAreNoRequest();
    void runningReaderGetsTheBooks();
    void staleSocketIsReplaced();
    void noReaderMeansNoAnswer();

private:
    QTemporaryDir RuntimeDir;
};

void TestInstanceChannel::initTestCase()
{
    QVERIFY(RuntimeDir.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(RuntimeDir.path()));
}

void TestInstanceChannel::requestsRoundTrip_data()
{
    QTest::addColumn<QStringList>("books");
    QTest::addColumn<QString>("token");
    QTest::newRow("a book") << QStringList{"/home/r/Moby Dick.txt"} << QString();
    QTest::newRow("none, with a token") << QStringList() << QStringLiteral("launcher-token-42");
    QTest::newRow("names of any kind") << QStringList{"/b/\"quoted\"\n.txt", QString::fromUtf8("/b/Война.rtf")}
                                       << QStringLiteral("x");
}

void TestInstanceChannel::requestsRoundTrip()
{
    QFETCH(QStringList, books);
    QFETCH(QString, token);
    const QByteArray line = EncodeInstanceRequest({books, token});
    QVERIFY(line.endsWith('\n'));
    QCOMPARE(line.count('\n'), 1); // one line, whatever the names hold
    TInstanceRequest back;
    QVERIFY(DecodeInstanceRequest(line, back));
    QCOMPARE(back.Books, books);
    QCOMPARE(back.ActivationToken, token);
}

void TestInstanceChannel::linesThatAreNoRequest_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("empty") << QByteArray("\n");
    QTest::newRow("not JSON") << QByteArray("open /etc/passwd\n");
    QTest::newRow("an array") << QByteArray("[\"a\"]\n");
}

void TestInstanceChannel::linesThatAreNoRequest()
{
    QFETCH(QByteArray, line);
    TInstanceRequest request;
    QVERIFY(!DecodeInstanceRequest(line, request));
}

void TestInstanceChannel::runningReaderGetsTheBooks()
{
    TInstanceServer server;
    QList<TInstanceRequest> got;
    server.OnRequest = [&got](const TInstanceRequest &request) { got << request; };
    QVERIFY(server.Listen(QStringLiteral("ChannelTest")));
    bool answered = false;
    std::thread second([&answered] {
        answered = SendInstanceRequest(QStringLiteral("ChannelTest"), {{"/books/b.txt"}, "token"}, 5000);
    });
    QTRY_COMPARE_WITH_TIMEOUT(got.size(), 1, 5000);
    second.join();
    QVERIFY(answered);
    QCOMPARE(got.first().Books, QStringList{"/books/b.txt"});
    QCOMPARE(got.first().ActivationToken, QStringLiteral("token"));
}

void TestInstanceChannel::staleSocketIsReplaced()
{
    const QString name = QStringLiteral("StaleTest");
    {
        // A socket file left by a reader that died: nobody listens on it.
        QLocalServer dead;
        QVERIFY(dead.listen(ProgramInstanceSocketPath(name)));
        dead.close();
        QFile(ProgramInstanceSocketPath(name)).open(QIODevice::WriteOnly);
    }
    TInstanceServer server;
    int requests = 0;
    server.OnRequest = [&requests](const TInstanceRequest &) { ++requests; };
    QVERIFY(server.Listen(name));
    std::thread second([&name] { SendInstanceRequest(name, {}, 5000); });
    QTRY_COMPARE_WITH_TIMEOUT(requests, 1, 5000);
    second.join();
}

void TestInstanceChannel::noReaderMeansNoAnswer()
{
    QElapsedTimer time;
    time.start();
    QVERIFY(!SendInstanceRequest(QStringLiteral("NobodyHere"), {{"/b.txt"}, {}}, 600));
    QVERIFY(time.elapsed() < 5000);
}

QTEST_GUILESS_MAIN(TestInstanceChannel)
#include "test_instancechannel.moc"
