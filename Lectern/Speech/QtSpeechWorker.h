// The side of a Qt text-to-speech engine that lives on the engine's own
// thread: it creates the QTextToSpeech object there (connecting to
// speech-dispatcher can take seconds, or hang), lists its voices, and keeps
// the queue of sentences, saying the next one as the voice finishes the one
// before. It talks to the window's thread through its signals only.
//
// Once its QTextToSpeech reports an error, or the engine is abandoned, the
// worker is broken: it reports the breakdown once and asks the
// QTextToSpeech nothing more (the speechd plugin crashes in its rate,
// pitch and volume calls once its connection to speech-dispatcher has
// died). A broken worker is never started again; a new engine gets a new
// worker.
#pragma once

#include "SpeechEngine.h"

#include <QHash>
#include <QObject>
#include <QQueue>
#include <QTextToSpeech>
#include <QVoice>

#include <optional>

class TQtSpeechWorker : public QObject {
    Q_OBJECT
public:
    explicit TQtSpeechWorker(const QString &engine) : EngineName(engine) {}

    // Each runs on the worker's thread.
    void Start();
    void Configure(const TVoiceSettings &settings);
    void Speak(int id, const QString &text, int pauseBefore);
    void Stop();
    // Checks that the engine is still there; breaks the worker when not.
    void CheckAnswers();
    // Silences the voice where that is safe, and breaks the worker without
    // a report.
    void Abandon();
    // Silences the voice and lets the engine go, on its own thread.
    void Shutdown();

signals:
    // failure: empty when the engine is ready with its voices.
    void Started(const QString &failure, const QVector<TSpeechVoice> &voices);
    void Begun(int id);
    void Done(int id);
    // Once, when the worker breaks.
    void Failed(const QString &message);

private:
    struct TItem {
        int Id = 0;
        QString Text;
        int PauseBefore = 0;
    };

    QString EngineName;
    QTextToSpeech *Speech = nullptr;
    QHash<QString, QVoice> VoiceByName;
    QQueue<TItem> Queue;
    int Current = -1; // the sentence being said
    bool CurrentBegun = false;
    bool Pausing = false;
    bool IgnoreReady = false; // the answer to a stop is still to come
    int Stops = 0;
    bool Broken = false;
    std::optional<TVoiceSettings> Applied; // what rate, pitch and volume are set to

    // The QTextToSpeech may be asked something.
    bool Sound() const;
    // Checks that the connection to the engine still stands by choosing the
    // voice anew; false (and broken) when it does not.
    bool StillAnswers(const QString &voice);
    // Reports the breakdown, once.
    void Break();
    void SayNext();
    void StateChanged(QTextToSpeech::State state);
};
