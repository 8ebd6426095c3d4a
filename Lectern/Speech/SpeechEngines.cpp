#include "SpeechEngines.h"

#ifdef LECTERN_HAS_TEXTTOSPEECH

#include "QtSpeechWorker.h"

#include <QThread>
#include <QTimer>

namespace {

const QString EverydayEngine = QStringLiteral("speechd");

// The window's side of a Qt engine: what it is asked goes to the worker's
// thread, what the worker says comes back as the engine's reports.
class TQtSpeechEngine : public QObject, public TSpeechEngine {
public:
    explicit TQtSpeechEngine(const QString &name) : EngineName(name)
    {
        qRegisterMetaType<TSpeechVoice>();
        qRegisterMetaType<QVector<TSpeechVoice>>();
        Thread = std::make_unique<QThread>();
        Thread->setObjectName(QStringLiteral("Speech"));
        Worker = new TQtSpeechWorker(name);
        Worker->moveToThread(Thread.get());
        connect(Worker, &TQtSpeechWorker::Started, this,
                [this](const QString &failure, const QVector<TSpeechVoice> &voices) {
                    Why = failure;
                    VoiceList = voices;
                    CurrentState = failure.isEmpty() ? TSpeechEngineState::Ready : TSpeechEngineState::Failed;
                    if (OnStarted)
                        OnStarted();
                });
        connect(Worker, &TQtSpeechWorker::Begun, this, [this](int id) {
            if (OnBegun)
                OnBegun(id);
        });
        connect(Worker, &TQtSpeechWorker::Done, this, [this](int id) {
            if (OnDone)
                OnDone(id);
        });
        connect(Worker, &TQtSpeechWorker::Failed, this, [this](const QString &message) {
            if (OnFailed)
                OnFailed(message);
        });
        Thread->start();
    }

    ~TQtSpeechEngine() override
    {
        disconnect(Worker, nullptr, this, nullptr);
        TQtSpeechWorker *worker = Worker;
        QMetaObject::invokeMethod(
            worker, [worker] { worker->Shutdown(); }, Qt::QueuedConnection);
        Thread->quit();
        if (Thread->wait(2000)) {
            delete Worker;
        } else {
            // The engine hangs (speech-dispatcher does not answer): its thread
            // is left to end with the process rather than hold the window.
            (void)Thread.release();
        }
    }

    QString Name() const override { return EngineName; }

    void Start() override
    {
        if (CurrentState == TSpeechEngineState::Starting)
            return;
        CurrentState = TSpeechEngineState::Starting;
        TQtSpeechWorker *worker = Worker;
        QMetaObject::invokeMethod(
            worker, [worker] { worker->Start(); }, Qt::QueuedConnection);
    }

    TSpeechEngineState State() const override { return CurrentState; }
    QString Failure() const override { return Why; }
    QVector<TSpeechVoice> Voices() const override { return VoiceList; }

    void Configure(const TVoiceSettings &settings) override
    {
        TQtSpeechWorker *worker = Worker;
        QMetaObject::invokeMethod(
            worker, [worker, settings] { worker->Configure(settings); }, Qt::QueuedConnection);
    }

    void Speak(int id, const QString &text, int pauseBefore) override
    {
        TQtSpeechWorker *worker = Worker;
        QMetaObject::invokeMethod(
            worker, [worker, id, text, pauseBefore] { worker->Speak(id, text, pauseBefore); }, Qt::QueuedConnection);
    }

    void Stop() override
    {
        TQtSpeechWorker *worker = Worker;
        QMetaObject::invokeMethod(
            worker, [worker] { worker->Stop(); }, Qt::QueuedConnection);
    }

private:
    QString EngineName;
    std::unique_ptr<QThread> Thread;
    TQtSpeechWorker *Worker = nullptr; // lives on Thread; deleted once it has ended
    TSpeechEngineState CurrentState = TSpeechEngineState::NotStarted;
    QString Why;
    QVector<TSpeechVoice> VoiceList;
};

} // namespace

void TQtSpeechWorker::Start()
{
    if (Speech) {
        delete Speech; // a new start after a failure
        Speech = nullptr;
    }
    if (!QTextToSpeech::availableEngines().contains(EngineName)) {
        emit Started(NoVoiceMessage, {});
        return;
    }
    Speech = new QTextToSpeech(EngineName, this);
    if (Speech->state() == QTextToSpeech::Error) {
        const QString why = Speech->errorString();
        delete Speech;
        Speech = nullptr;
        emit Started(why.isEmpty() ? NoVoiceMessage : QStringLiteral("The speech engine cannot speak: ") + why, {});
        return;
    }
    // The voices of every language the engine offers.
    QVector<TSpeechVoice> voices;
    VoiceByName.clear();
    for (const QLocale &locale : Speech->availableLocales()) {
        Speech->setLocale(locale);
        for (const QVoice &voice : Speech->availableVoices()) {
            if (VoiceByName.contains(voice.name()))
                continue;
            VoiceByName.insert(voice.name(), voice);
            voices.append({voice.name(), voice.locale().language() == QLocale::C ? locale : voice.locale()});
        }
    }
    if (voices.isEmpty()) {
        delete Speech;
        Speech = nullptr;
        emit Started(NoVoiceMessage, {});
        return;
    }
    connect(Speech, &QTextToSpeech::stateChanged, this, &TQtSpeechWorker::StateChanged);
    emit Started(QString(), voices);
}

void TQtSpeechWorker::Configure(const TVoiceSettings &settings)
{
    if (!Speech)
        return;
    const auto voice = VoiceByName.constFind(settings.Voice);
    if (voice != VoiceByName.constEnd())
        Speech->setVoice(*voice);
    Speech->setRate(settings.Rate);
    Speech->setPitch(settings.Pitch);
    Speech->setVolume(settings.Volume);
}

void TQtSpeechWorker::Speak(int id, const QString &text, int pauseBefore)
{
    Queue.enqueue({id, text, pauseBefore});
    SayNext();
}

void TQtSpeechWorker::SayNext()
{
    if (!Speech || Current >= 0 || Queue.isEmpty() || Pausing)
        return;
    TItem &next = Queue.head();
    if (next.PauseBefore > 0) {
        const int pause = next.PauseBefore;
        next.PauseBefore = 0;
        Pausing = true;
        QTimer::singleShot(pause, this, [this, stops = Stops] {
            if (stops != Stops)
                return;
            Pausing = false;
            SayNext();
        });
        return;
    }
    const TItem item = Queue.dequeue();
    Current = item.Id;
    CurrentBegun = false;
    Speech->say(item.Text);
}

void TQtSpeechWorker::StateChanged(QTextToSpeech::State state)
{
    switch (state) {
    case QTextToSpeech::Speaking:
        IgnoreReady = false;
        if (Current >= 0 && !CurrentBegun) {
            CurrentBegun = true;
            emit Begun(Current);
        }
        break;
    case QTextToSpeech::Ready:
        if (IgnoreReady) {
            IgnoreReady = false;
            break;
        }
        if (Current >= 0) {
            const int done = Current;
            if (!CurrentBegun)
                emit Begun(done);
            Current = -1;
            emit Done(done);
            SayNext();
        }
        break;
    case QTextToSpeech::Error: {
        const QString why = Speech->errorString();
        Queue.clear();
        Current = -1;
        emit Failed(why.isEmpty() ? QStringLiteral("The voice stopped with an error.") : why);
        break;
    }
    case QTextToSpeech::Paused: break;
    }
}

void TQtSpeechWorker::Stop()
{
    ++Stops;
    Queue.clear();
    Pausing = false;
    if (Speech && Current >= 0) {
        IgnoreReady = Speech->state() == QTextToSpeech::Speaking || Speech->state() == QTextToSpeech::Paused;
        Speech->stop();
    }
    Current = -1;
}

void TQtSpeechWorker::Shutdown()
{
    Stop();
    delete Speech;
    Speech = nullptr;
}

QStringList SpeechEngineNames()
{
    QStringList names = QTextToSpeech::availableEngines();
    // The everyday engine first.
    if (names.removeAll(EverydayEngine) > 0)
        names.prepend(EverydayEngine);
    return names;
}

std::unique_ptr<TSpeechEngine> CreateSpeechEngine(const QString &name)
{
    const QStringList names = SpeechEngineNames();
    const QString engine = names.contains(name) ? name : names.value(0, EverydayEngine);
    return std::make_unique<TQtSpeechEngine>(engine);
}

#else // no Qt text-to-speech

namespace {

// Fails to start: there is nothing to speak with.
class TMissingSpeechEngine : public TSpeechEngine {
public:
    QString Name() const override { return QString(); }
    void Start() override
    {
        Started = true;
        if (OnStarted)
            OnStarted();
    }
    TSpeechEngineState State() const override
    {
        return Started ? TSpeechEngineState::Failed : TSpeechEngineState::NotStarted;
    }
    QString Failure() const override { return NoVoiceMessage; }
    QVector<TSpeechVoice> Voices() const override { return {}; }
    void Configure(const TVoiceSettings &) override {}
    void Speak(int, const QString &, int) override {}
    void Stop() override {}

private:
    bool Started = false;
};

} // namespace

QStringList SpeechEngineNames() { return {}; }

std::unique_ptr<TSpeechEngine> CreateSpeechEngine(const QString &) { return std::make_unique<TMissingSpeechEngine>(); }

#endif
