#include "SpeechEngines.h"

#ifdef LECTERN_HAS_TEXTTOSPEECH

#include "QtSpeechWorker.h"

#include <QThread>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <pthread.h>
#include <signal.h>
#endif

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
            Why = message;
            CurrentState = TSpeechEngineState::Failed;
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
        if (Abandoned) {
            // Never started again: its connection may have died.
            if (OnStarted)
                OnStarted();
            return;
        }
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
        if (Abandoned)
            return;
        TQtSpeechWorker *worker = Worker;
        QMetaObject::invokeMethod(
            worker, [worker, settings] { worker->Configure(settings); }, Qt::QueuedConnection);
    }

    void Speak(int id, const QString &text, int pauseBefore) override
    {
        if (Abandoned)
            return;
        TQtSpeechWorker *worker = Worker;
        QMetaObject::invokeMethod(
            worker, [worker, id, text, pauseBefore] { worker->Speak(id, text, pauseBefore); }, Qt::QueuedConnection);
    }

    void Stop() override
    {
        if (Abandoned)
            return;
        TQtSpeechWorker *worker = Worker;
        QMetaObject::invokeMethod(
            worker, [worker] { worker->Stop(); }, Qt::QueuedConnection);
    }

    void CheckAnswers() override
    {
        if (Abandoned)
            return;
        TQtSpeechWorker *worker = Worker;
        QMetaObject::invokeMethod(
            worker, [worker] { worker->CheckAnswers(); }, Qt::QueuedConnection);
    }

    void Abandon() override
    {
        if (Abandoned)
            return;
        Abandoned = true;
        CurrentState = TSpeechEngineState::Failed;
        if (Why.isEmpty())
            Why = NoAnswerMessage;
        disconnect(Worker, nullptr, this, nullptr); // nothing more is reported
        TQtSpeechWorker *worker = Worker;
        QMetaObject::invokeMethod(
            worker, [worker] { worker->Abandon(); }, Qt::QueuedConnection);
    }

private:
    QString EngineName;
    std::unique_ptr<QThread> Thread;
    TQtSpeechWorker *Worker = nullptr; // lives on Thread; deleted once it has ended
    TSpeechEngineState CurrentState = TSpeechEngineState::NotStarted;
    bool Abandoned = false;
    QString Why;
    QVector<TSpeechVoice> VoiceList;
};

// libspeechd writes to its socket with write(): a speech-dispatcher that
// has just gone would end the program with SIGPIPE. Blocked on the
// engine's thread (and the threads libspeechd starts from it), the write
// fails instead, and the engine reports an error.
void BlockBrokenPipe()
{
#ifdef Q_OS_UNIX
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
#endif
}

} // namespace

bool TQtSpeechWorker::Sound() const { return Speech && !Broken && Speech->state() != QTextToSpeech::Error; }

void TQtSpeechWorker::Break()
{
    if (Broken)
        return;
    Broken = true;
    ++Stops;
    Queue.clear();
    Pausing = false;
    Current = -1;
    // Not the engine's own words: they name the voice or the synthesizer
    // it was asked for, rarely the cause.
    emit Failed(NoAnswerMessage);
}

void TQtSpeechWorker::Start()
{
    BlockBrokenPipe();
    if (Broken) {
        emit Started(NoAnswerMessage, {});
        return;
    }
    if (Speech) {
        delete Speech; // a new start after a failed one
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
    if (voices.isEmpty() || Speech->state() == QTextToSpeech::Error) {
        // No voice, or the engine went while its voices were listed.
        const QString why = Speech->errorString();
        delete Speech;
        Speech = nullptr;
        emit Started(why.isEmpty() ? NoVoiceMessage : QStringLiteral("The speech engine cannot speak: ") + why, {});
        return;
    }
    connect(Speech, &QTextToSpeech::stateChanged, this, &TQtSpeechWorker::StateChanged);
    connect(Speech, &QTextToSpeech::errorOccurred, this,
            [this](QTextToSpeech::ErrorReason, const QString &) { Break(); });
    Applied.reset();
    emit Started(QString(), voices);
}

bool TQtSpeechWorker::StillAnswers(const QString &voice)
{
    // The speechd plugin goes on saying Ready after speech-dispatcher has
    // gone, and its rate, pitch and volume calls then crash; a voice chosen
    // is sent to speech-dispatcher, and fails with an error. The same voice
    // is not sent again, so another one is chosen first: one of the same
    // language (most likely of the same synthesizer), else any.
    const auto named = VoiceByName.constFind(voice);
    const QVoice wanted = named != VoiceByName.constEnd() ? *named : Speech->voice();
    std::optional<QVoice> other;
    for (const QVoice &v : std::as_const(VoiceByName)) {
        if (v.name() == wanted.name())
            continue;
        if (!other || (v.locale() == wanted.locale() && other->locale() != wanted.locale()))
            other = v;
    }
    if (other)
        Speech->setVoice(*other);
    if (Sound())
        Speech->setVoice(wanted);
    if (Sound())
        return true;
    Break();
    return false;
}

void TQtSpeechWorker::Configure(const TVoiceSettings &settings)
{
    if (!Sound()) {
        if (Speech && !Broken)
            Break();
        return;
    }
    if (!StillAnswers(settings.Voice))
        return;
    // Only what changed, each a question to the engine.
    if (!Applied || Applied->Rate != settings.Rate)
        Speech->setRate(settings.Rate);
    if (Sound() && (!Applied || Applied->Pitch != settings.Pitch))
        Speech->setPitch(settings.Pitch);
    if (Sound() && (!Applied || Applied->Volume != settings.Volume))
        Speech->setVolume(settings.Volume);
    if (Sound())
        Applied = settings;
    else
        Break();
}

void TQtSpeechWorker::CheckAnswers()
{
    // Only speech-dispatcher can go away under its engine, and only its
    // engine is asked this while it speaks.
    if (Sound() && EngineName == EverydayEngine)
        StillAnswers(Speech->voice().name());
}

void TQtSpeechWorker::Speak(int id, const QString &text, int pauseBefore)
{
    if (Broken)
        return;
    Queue.enqueue({id, text, pauseBefore});
    SayNext();
}

void TQtSpeechWorker::SayNext()
{
    if (!Sound() || Current >= 0 || Queue.isEmpty() || Pausing)
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
    if (Broken)
        return;
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
    case QTextToSpeech::Error: Break(); break;
    case QTextToSpeech::Paused: break;
    }
}

void TQtSpeechWorker::Stop()
{
    ++Stops;
    Queue.clear();
    Pausing = false;
    if (Sound() && Current >= 0) {
        IgnoreReady = Speech->state() == QTextToSpeech::Speaking || Speech->state() == QTextToSpeech::Paused;
        Speech->stop(); // safe also when the connection has died unseen
    }
    Current = -1;
}

void TQtSpeechWorker::Abandon()
{
    Stop();
    Broken = true;
}

void TQtSpeechWorker::Shutdown()
{
    Stop();
    Broken = true;
    // Letting the engine go is safe in every state, a dead connection too.
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
    void CheckAnswers() override {}
    void Abandon() override {}

private:
    bool Started = false;
};

} // namespace

QStringList SpeechEngineNames() { return {}; }

std::unique_ptr<TSpeechEngine> CreateSpeechEngine(const QString &) { return std::make_unique<TMissingSpeechEngine>(); }

#endif
