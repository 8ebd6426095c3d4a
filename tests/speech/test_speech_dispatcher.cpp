// Qt's speech-dispatcher engine when speech-dispatcher goes away: a private
// speech-dispatcher (its own socket and settings, a silent sound device) is
// killed between two readings and in the middle of one. The reading ends
// with one message, nothing crashes, and a new engine reads again once
// speech-dispatcher is back. Skipped where speech-dispatcher, its voice or
// Qt's speechd engine is missing; every wait has a deadline.
#include <QtTest>

#include <QProcess>
#include <QTemporaryDir>

#include "EnhancedDocument.h"
#include "SpeechEngines.h"
#include "SpeechReader.h"

namespace {

const QString Engine = QStringLiteral("speechd");

// A speech-dispatcher of the test's own, in the foreground so that it can
// be killed; it ends by itself a few seconds after its last client.
class TDispatcher {
public:
    explicit TDispatcher(const QString &dir) : Dir(dir) {}
    TDispatcher(const TDispatcher &) = delete;
    TDispatcher &operator=(const TDispatcher &) = delete;
    ~TDispatcher() { Kill(); }

    QString Socket() const { return Dir + QStringLiteral("/run/speechd.sock"); }

    // Settings: ALSA's null device to play on, no autospawn.
    static bool Prepare(const QString &dir)
    {
        QDir root(dir);
        for (const char *sub : {"run", "log", "home", "config/speech-dispatcher"})
            if (!root.mkpath(QString::fromLatin1(sub)))
                return false;
        QFile::setPermissions(dir + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return Write(dir + QStringLiteral("/home/.asoundrc"),
                     "pcm.!default { type null }\nctl.!default { type hw card 0 }\n")
            && Write(dir + QStringLiteral("/config/speech-dispatcher/speechd.conf"),
                     "AudioOutputMethod \"alsa\"\nDisableAutoSpawn\nLogLevel 1\n");
    }

    bool Start()
    {
        QFile::remove(Socket());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), Dir + QStringLiteral("/home"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), Dir + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Dir + QStringLiteral("/run"));
        Process.setProcessEnvironment(env);
        Process.setStandardOutputFile(Dir + QStringLiteral("/log/out.txt"), QIODevice::Append);
        Process.setStandardErrorFile(Dir + QStringLiteral("/log/out.txt"), QIODevice::Append);
        Process.start(
            QStringLiteral("speech-dispatcher"),
            {"-s", "-t", "5", "-c", "unix_socket", "-S", Socket(), "-P", Dir + "/run/speechd.pid", "-L", Dir + "/log"});
        if (!Process.waitForStarted(10000))
            return false;
        QDeadlineTimer deadline(20000);
        while (!QFile::exists(Socket()) && !deadline.hasExpired() && Process.state() == QProcess::Running)
            QTest::qWait(50);
        return QFile::exists(Socket()) && Process.state() == QProcess::Running;
    }

    void Kill()
    {
        if (Process.state() == QProcess::NotRunning)
            return;
        Process.kill();
        Process.waitForFinished(5000);
    }

private:
    QString Dir;
    QProcess Process;

    static bool Write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
};

struct TReading {
    TReading()
    {
        Reader.OnSentence = [this](int, int) { ++Marked; };
        Reader.OnFinished = [this] { ++Finished; };
        Reader.OnMessage = [this](const QString &message) { Messages << message; };
    }
    ~TReading() { Reader.SetEngine(nullptr); }

    void Use(std::unique_ptr<TSpeechEngine> engine)
    {
        Reader.SetEngine(engine.get());
        Engine = std::move(engine);
    }

    void Start(const QStringList &lines)
    {
        Document.Clear();
        Enhance(Document, lines);
        TReadingRequest request;
        request.Document = &Document;
        Reader.Start(request);
    }

    TRichDocument Document;
    std::unique_ptr<TSpeechEngine> Engine; // before the reader: it stops it when it goes
    TSpeechReader Reader;
    int Marked = 0;
    int Finished = 0;
    QStringList Messages;
};

QStringList Sentences(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("The miller counted the sacks of grain that came down the river on the morning boat.");
    return lines;
}

} // namespace

class TestSpeechDispatcher : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup()
    {
        if (Dispatcher)
            Dispatcher->Kill();
    }
    void goneBetweenReadings();
    void goneWhileReading();

private:
    QTemporaryDir Dir;
    std::unique_ptr<TDispatcher> Dispatcher;

    // A started reading's engine, once it has read a little aloud; skips
    // the test where speech-dispatcher cannot speak here.
    bool ReadsAloud(TReading &reading);
};

void TestSpeechDispatcher::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty())
        QSKIP("speech-dispatcher is not installed");
    if (!SpeechEngineNames().contains(Engine))
        QSKIP("Qt's speechd engine is not installed");
    QVERIFY(Dir.isValid());
    QVERIFY(TDispatcher::Prepare(Dir.path()));
    Dispatcher = std::make_unique<TDispatcher>(Dir.path());
    // libspeechd finds the test's speech-dispatcher there; one it would
    // start by itself reads the same settings, which forbid that.
    qputenv("SPEECHD_ADDRESS", ("unix_socket:" + Dispatcher->Socket()).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(Dir.filePath(QStringLiteral("config"))));
}

bool TestSpeechDispatcher::ReadsAloud(TReading &reading)
{
    if (!Dispatcher->Start()) {
        qWarning("speech-dispatcher did not start");
        return false;
    }
    reading.Use(CreateSpeechEngine(Engine));
    // Asked all the time whether it is there, the voice reads on.
    reading.Reader.CheckTime = 0;
    reading.Reader.CheckPerCharacter = 0;
    reading.Reader.CheckInterval = 5;
    reading.Start(Sentences(2));
    QDeadlineTimer deadline(120000); // the engine lists its voices first
    while (reading.Finished == 0 && !deadline.hasExpired())
        QTest::qWait(50);
    if (reading.Finished == 0 || !reading.Messages.isEmpty()) {
        qWarning("speech-dispatcher does not speak here: %s", qPrintable(reading.Messages.join(QLatin1Char(' '))));
        return false;
    }
    return reading.Marked == 2;
}

void TestSpeechDispatcher::goneBetweenReadings()
{
    TReading reading;
    if (!ReadsAloud(reading))
        QSKIP("speech-dispatcher cannot speak here");
    Dispatcher->Kill();
    // The engine still says it is ready; the next reading asks it to set
    // the voice up, rate and all, and must end with one message.
    QCOMPARE(reading.Engine->State(), TSpeechEngineState::Ready);
    reading.Start(Sentences(2));
    QTRY_COMPARE_WITH_TIMEOUT(reading.Finished, 2, 30000);
    QCOMPARE(reading.Messages.size(), 1);
    QVERIFY(!reading.Reader.IsReading());
    QCOMPARE(reading.Engine->State(), TSpeechEngineState::Failed);
    QTest::qWait(300);
    QCOMPARE(reading.Messages.size(), 1);

    // speech-dispatcher back: a new engine reads; the broken one goes
    // without a crash.
    QVERIFY(Dispatcher->Start());
    reading.Use(CreateSpeechEngine(Engine));
    reading.Start(Sentences(2));
    QTRY_COMPARE_WITH_TIMEOUT(reading.Finished, 3, 120000);
    QCOMPARE(reading.Messages.size(), 1);
    QCOMPARE(reading.Marked, 4);
}

void TestSpeechDispatcher::goneWhileReading()
{
    TReading reading;
    if (!ReadsAloud(reading))
        QSKIP("speech-dispatcher cannot speak here");
    // A sentence cut off by the kill never ends: long before the watch
    // would give it up, the question whether the voice is there finds out.
    reading.Reader.BaseTime = 60000;
    reading.Reader.CheckTime = 500;
    reading.Reader.CheckInterval = 500;
    reading.Start(Sentences(400));
    QTRY_VERIFY_WITH_TIMEOUT(reading.Marked > 2, 30000);
    Dispatcher->Kill();
    QTRY_COMPARE_WITH_TIMEOUT(reading.Finished, 2, 30000);
    QCOMPARE(reading.Messages.size(), 1);
    QVERIFY(reading.Marked < 2 + 400);
    QCOMPARE(reading.Engine->State(), TSpeechEngineState::Failed);
    QTest::qWait(300);
    QCOMPARE(reading.Messages.size(), 1);
    reading.Use(nullptr); // lets the broken engine go
}

QTEST_GUILESS_MAIN(TestSpeechDispatcher)
#include "test_speech_dispatcher.moc"
