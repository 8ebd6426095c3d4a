// Reading the rich-box aloud: the sentences from a position on go to the
// speech engine one or two ahead of the one being spoken, so the voice
// never waits; the window is told which sentence to mark as the voice
// begins it; at the end of a piece the window loads the next one and the
// reading goes on, the sentence cut by the piece's end spoken whole. Every
// failure of the engine (none installed, no voice, no answer, a breakdown)
// ends the reading with one message; an engine that broke down or stopped
// answering is given up (Abandon), so the window makes a new one.
#pragma once

#include "SpeechEngine.h"
#include "SpeechText.h"

#include <QLocale>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

class TRichDocument;

struct TReadingRequest {
    const TRichDocument *Document = nullptr;
    int Position = 0; // where the reading starts (the first visible line)
    QString Prefix; // the paragraph prefix in use
    TColor Background = 0xFFFFFF; // what the text is shown on
    QString Voice; // the voice the profile names; empty: one for the book's language
    int RatePercent = 0; // -100 .. 100
    int PitchPercent = 0; // -100 .. 100
    int VolumePercent = 100; // 0 .. 100
};

class TSpeechReader : public QObject {
    Q_OBJECT
public:
    explicit TSpeechReader(QObject *parent = nullptr);
    ~TSpeechReader() override;

    // The engine (not owned); the reader takes its reports. Stops a reading.
    void SetEngine(TSpeechEngine *engine);
    TSpeechEngine *Engine() const { return SpeechEngine; }

    // Starts reading (after the engine has started, when it has not yet).
    void Start(const TReadingRequest &request);
    // Silences the voice; no message.
    void Stop();
    bool IsReading() const { return Phase != TPhase::Idle; }

    // The voice and the language of the reading (once the engine is ready).
    QString VoiceName() const { return Voice; }
    QLocale::Language Language() const { return BookLanguage; }

    // Sentences handed to the engine beyond the one being spoken.
    int Ahead = 2;
    // How long the engine may take to start, in milliseconds: starting
    // speech-dispatcher and listing the thousands of voices espeak-ng
    // offers takes up to half a minute on a slow machine.
    int StartTimeout = 60000;
    // How long a voice may take for a sentence: a few seconds, and some
    // for each character at the normal rate (slower rates get more).
    int BaseTime = 5000;
    int TimePerCharacter = 200;
    // A voice late with a sentence (past a second and some for each
    // character, about what speaking it takes) is asked whether it is still
    // there, and again every CheckInterval: speech-dispatcher may have gone
    // without a word, and the voice with it.
    int CheckTime = 1000;
    int CheckPerCharacter = 70;
    int CheckInterval = 2000;

    // ---- The window's side ----
    // Mark the sentence and keep it in view.
    std::function<void(int start, int length)> OnSentence;
    // The end of a piece: load the next one into the same document and
    // return true, or false at the last piece.
    std::function<bool()> OnEndOfText;
    // The reading has ended: at the end of the book, stopped or failed.
    std::function<void()> OnFinished;
    // Why the reading failed.
    std::function<void(const QString &message)> OnMessage;
    // The engine has answered its start (reading or not).
    std::function<void()> OnEngineStarted;
    // The voice a reading goes with, and the language found for the book.
    std::function<void(const QString &voice, QLocale::Language language)> OnVoiceChosen;

private:
    enum class TPhase { Idle, Starting, Reading };
    struct THanded {
        int Id = 0;
        int Start = -1; // -1: nothing to mark
        int Length = 0;
        int Characters = 0;
        int PauseBefore = 0;
    };

    TSpeechEngine *SpeechEngine = nullptr;
    TPhase Phase = TPhase::Idle;
    TReadingRequest Request;
    std::unique_ptr<TSpeechText> Text;
    std::deque<THanded> Handed; // given to the engine and not yet done
    std::optional<TSpokenSentence> Pending; // the next sentence, read ahead
    bool TextDone = false; // the text has no sentence left
    QString LastText; // the last sentence handed, for the next piece
    std::optional<QString> CarriedTail; // the piece's last sentence, cut short
    int NextId = 1;
    int Generation = 0; // grows with every start and stop
    QString Voice;
    QLocale::Language BookLanguage = QLocale::AnyLanguage;
    QTimer Watchdog;
    QTimer Check; // asks a late voice whether it is still there

    void EngineStarted();
    void SentenceBegun(int id);
    void SentenceDone(int id);
    void BeginReading();
    // Hands sentences until enough are queued; ends the reading or goes
    // into the next piece when the text has none left.
    void Fill();
    bool TakeSentence(TSpokenSentence &sentence);
    void Hand(int start, int length, const QString &text, int pauseBefore);
    void EndOfText();
    // The first sentence of a new piece: the carried tail joined with it,
    // and the text the pieces repeat skipped.
    void EnterNextPiece();
    // Ends the reading with the message; `engineBroke`: the engine broke
    // down or stopped answering, and is given up.
    void Fail(const QString &message, bool engineBroke = false);
    void Finish();
    bool IsHanded(int id) const;
    void ArmWatchdog();
    void StopWatching();
    void CheckEngine();
};
