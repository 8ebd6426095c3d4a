// The voice behind the reading: a speech engine seen through a small
// interface, so the reader works the same with Qt's text-to-speech engines
// and with the recording stand-in that tests and benchmarks use.
#pragma once

#include <QLocale>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

struct TSpeechVoice {
    QString Name;
    QLocale Locale;
};
Q_DECLARE_METATYPE(TSpeechVoice)

struct TVoiceSettings {
    QString Voice; // one of the engine's voices; empty: the engine's own
    double Rate = 0.0; // -1 .. 1
    double Pitch = 0.0; // -1 .. 1
    double Volume = 1.0; // 0 .. 1
};

// Failed: the engine did not start, or broke down while it spoke (its
// voice stopped answering, its connection died). A broken engine is asked
// nothing more: a new one is made for the next reading.
enum class TSpeechEngineState { NotStarted, Starting, Ready, Failed };

class TSpeechEngine {
public:
    TSpeechEngine() = default;
    virtual ~TSpeechEngine() = default;
    TSpeechEngine(const TSpeechEngine &) = delete;
    TSpeechEngine &operator=(const TSpeechEngine &) = delete;

    // The engine's name ("speechd", "flite", ...).
    virtual QString Name() const = 0;
    // Connects to the engine. That may take seconds (speech-dispatcher may
    // have to be started first), so the answer comes through OnStarted,
    // with State() Ready or Failed.
    virtual void Start() = 0;
    virtual TSpeechEngineState State() const = 0;
    // Why the engine cannot speak (State() Failed).
    virtual QString Failure() const = 0;
    // Once Ready.
    virtual QVector<TSpeechVoice> Voices() const = 0;
    virtual void Configure(const TVoiceSettings &settings) = 0;
    // Queues a sentence; the engine speaks them in the order they came, with
    // `pauseBefore` milliseconds of silence before this one.
    virtual void Speak(int id, const QString &text, int pauseBefore) = 0;
    // Silences the voice and forgets the queued sentences.
    virtual void Stop() = 0;
    // Asks the engine whether it is still there, changing nothing it says:
    // one that has gone (its connection died unseen) reports OnFailed.
    virtual void CheckAnswers() = 0;
    // Gives the engine up: it broke down or stopped answering. It is asked
    // nothing more (silenced only where that is safe), reports nothing more,
    // and its State() is Failed from then on.
    virtual void Abandon() = 0;

    // Reports, on the thread that uses the engine. OnFailed: the engine
    // broke down; its State() is Failed by then.
    std::function<void()> OnStarted;
    std::function<void(int id)> OnBegun;
    std::function<void(int id)> OnDone;
    std::function<void(const QString &message)> OnFailed;
};

// The message for a machine that has no voice at all.
extern const QString NoVoiceMessage;
// The message for a voice that broke down or stopped answering.
extern const QString NoAnswerMessage;

// An engine that speaks nothing and keeps what it is given; the caller (a
// test, a benchmark) says when a sentence begins and ends.
class TRecordingSpeechEngine : public TSpeechEngine {
public:
    struct TSpoken {
        int Id = 0;
        QString Text;
        int PauseBefore = 0;
    };

    QString EngineName = QStringLiteral("recording");
    QVector<TSpeechVoice> VoiceList;
    QString StartFailure; // Start fails with it when not empty
    bool AnswerStartAtOnce = true; // else AnswerStart() gives the answer
    // The ways it breaks down at once (with OnFailed inside the call):
    // while configured, or at the n-th sentence handed (from 1; 0: never).
    QString ConfigureFailure;
    int SpeakFailsAt = 0;
    bool Gone = false; // CheckAnswers breaks it down
    TVoiceSettings Settings;
    QVector<TSpoken> Queue; // handed and not yet done, in order
    QVector<TSpoken> Spoken; // every sentence handed, in order
    int Starts = 0; // a start after a breakdown stands for a new engine
    int Stops = 0;
    int Abandons = 0;
    int Checks = 0;
    int CallsWhenBroken = 0; // Configure, Speak, Stop and CheckAnswers after a breakdown

    QString Name() const override { return EngineName; }
    void Start() override;
    TSpeechEngineState State() const override { return CurrentState; }
    QString Failure() const override { return StartFailure; }
    QVector<TSpeechVoice> Voices() const override { return VoiceList; }
    void Configure(const TVoiceSettings &settings) override;
    void Speak(int id, const QString &text, int pauseBefore) override;
    void Stop() override;
    void CheckAnswers() override;
    void Abandon() override;

    // The engine's side: the answer to Start, the first queued sentence
    // begun, and finished.
    void AnswerStart();
    bool BeginNext();
    bool FinishCurrent();
    // Begins and finishes sentences until none is left (at most `limit`).
    int SpeakAll(int limit = 1000000);
    // The voice breaks down: State() Failed, then OnFailed.
    void BreakDown(const QString &message);

private:
    TSpeechEngineState CurrentState = TSpeechEngineState::NotStarted;
    bool Speaking = false;
    bool Broken = false; // broke down or abandoned, until the next start
    bool Abandoned = false; // reports nothing until the next start
};

// Rate, pitch and volume as the options show them (percent) and as an
// engine takes them.
TVoiceSettings VoiceSettingsFromPercent(const QString &voice, int ratePercent, int pitchPercent, int volumePercent);

// The voice to read a book with: the named one when the engine has it and
// it speaks the book's language (or the language is unknown); otherwise a
// voice of the book's language, preferring the reader's country (from
// `fallback`) or else the language's main one, and a plain voice over
// variants ("+" in espeak's names); otherwise the named one in any
// language; otherwise one of `fallback`'s language; otherwise the first.
// -1 without voices.
int ChooseVoice(const QVector<TSpeechVoice> &voices, const QString &named, QLocale::Language bookLanguage,
                const QLocale &fallback = QLocale::system());
