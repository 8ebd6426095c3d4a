#include "SpeechReader.h"

#include "LanguageGuess.h"
#include "RichDocument.h"
#include "SpeechSentences.h"

#include <QTextDocument>

#include <algorithm>

namespace {

const QString NoStartMessage
    = QStringLiteral("The speech engine does not start: speech-dispatcher does not answer. Try again later.");

} // namespace

TSpeechReader::TSpeechReader(QObject *parent) : QObject(parent)
{
    Watchdog.setSingleShot(true);
    Check.setSingleShot(true);
    connect(&Check, &QTimer::timeout, this, &TSpeechReader::CheckEngine);
    // An engine that does not answer in time is given up: what it does
    // when it wakes up again is no longer known.
    connect(&Watchdog, &QTimer::timeout, this,
            [this] { Fail(Phase == TPhase::Starting ? NoStartMessage : NoAnswerMessage, true); });
}

TSpeechReader::~TSpeechReader()
{
    OnFinished = nullptr;
    OnMessage = nullptr;
    Stop();
    SetEngine(nullptr);
}

void TSpeechReader::SetEngine(TSpeechEngine *engine)
{
    Stop();
    if (SpeechEngine) {
        SpeechEngine->OnStarted = nullptr;
        SpeechEngine->OnBegun = nullptr;
        SpeechEngine->OnDone = nullptr;
        SpeechEngine->OnFailed = nullptr;
    }
    SpeechEngine = engine;
    if (!engine)
        return;
    engine->OnStarted = [this] { EngineStarted(); };
    engine->OnBegun = [this](int id) { SentenceBegun(id); };
    engine->OnDone = [this](int id) { SentenceDone(id); };
    engine->OnFailed = [this](const QString &message) { Fail(message, true); };
}

void TSpeechReader::Start(const TReadingRequest &request)
{
    Stop();
    if (!SpeechEngine || !request.Document) {
        Fail(NoVoiceMessage);
        return;
    }
    ++Generation;
    Request = request;
    Text = std::make_unique<TSpeechText>(request.Document, request.Prefix, request.Background);
    Text->Seek(request.Position);
    Handed.clear();
    Pending.reset();
    TextDone = false;
    LastText.clear();
    CarriedTail.reset();
    Phase = TPhase::Starting;
    switch (SpeechEngine->State()) {
    case TSpeechEngineState::Ready: BeginReading(); break;
    case TSpeechEngineState::Starting: ArmWatchdog(); break;
    case TSpeechEngineState::NotStarted:
    case TSpeechEngineState::Failed:
        ArmWatchdog();
        SpeechEngine->Start(); // may answer at once
        break;
    }
}

void TSpeechReader::Stop()
{
    if (Phase == TPhase::Idle)
        return;
    ++Generation;
    if (SpeechEngine)
        SpeechEngine->Stop();
    Finish();
}

void TSpeechReader::Finish()
{
    Phase = TPhase::Idle;
    StopWatching();
    Handed.clear();
    Pending.reset();
    CarriedTail.reset();
    Text.reset();
    if (OnFinished)
        OnFinished();
}

void TSpeechReader::Fail(const QString &message, bool engineBroke)
{
    const bool reading = Phase != TPhase::Idle;
    if (SpeechEngine && engineBroke)
        SpeechEngine->Abandon(); // a broken engine is asked nothing more, not even to stop
    if (!reading && SpeechEngine)
        return; // a breakdown between readings: the next one gets a new engine
    ++Generation;
    if (SpeechEngine && !engineBroke && SpeechEngine->State() != TSpeechEngineState::Failed)
        SpeechEngine->Stop();
    Finish();
    if (OnMessage)
        OnMessage(message.isEmpty() ? NoVoiceMessage : message);
}

void TSpeechReader::EngineStarted()
{
    if (OnEngineStarted)
        OnEngineStarted();
    if (Phase != TPhase::Starting)
        return;
    if (SpeechEngine->State() != TSpeechEngineState::Ready) {
        Fail(SpeechEngine->Failure());
        return;
    }
    BeginReading();
}

void TSpeechReader::BeginReading()
{
    const QVector<TSpeechVoice> voices = SpeechEngine->Voices();
    BookLanguage = GuessLanguage(LanguageSample(*Request.Document));
    const int chosen = ChooseVoice(voices, Request.Voice, BookLanguage);
    if (chosen < 0) {
        Fail(NoVoiceMessage);
        return;
    }
    Voice = voices[chosen].Name;
    if (OnVoiceChosen)
        OnVoiceChosen(Voice, BookLanguage);
    const int generation = Generation;
    SpeechEngine->Configure(
        VoiceSettingsFromPercent(Voice, Request.RatePercent, Request.PitchPercent, Request.VolumePercent));
    if (generation != Generation)
        return; // the engine broke down as it was set up
    Phase = TPhase::Reading;
    Fill();
}

void TSpeechReader::Hand(int start, int length, const QString &text, int pauseBefore)
{
    const int id = NextId++;
    Handed.push_back({id, start, length, int(text.size()), pauseBefore});
    LastText = text;
    SpeechEngine->Speak(id, text, pauseBefore);
}

bool TSpeechReader::TakeSentence(TSpokenSentence &sentence)
{
    auto readAhead = [this] {
        if (Pending || TextDone)
            return;
        TSpokenSentence next;
        if (Text->Next(next))
            Pending = std::move(next);
        else
            TextDone = true;
    };
    readAhead();
    if (!Pending)
        return false;
    sentence = std::move(*Pending);
    Pending.reset();
    readAhead();
    // The last sentence of a piece that the piece's end cut short is spoken
    // with the rest of it, from the next piece.
    if (TextDone && !Pending && Text->AtPieceEnd() && !EndsSentence(sentence.Text)) {
        CarriedTail = sentence.Text;
        return false;
    }
    return true;
}

void TSpeechReader::Fill()
{
    if (Phase != TPhase::Reading)
        return;
    const bool wasEmpty = Handed.empty();
    const int generation = Generation;
    TSpokenSentence sentence;
    while (int(Handed.size()) < 1 + std::max(0, Ahead) && TakeSentence(sentence)) {
        Hand(sentence.Start, sentence.Length, sentence.Text, sentence.PauseBefore);
        if (generation != Generation)
            return; // the engine broke down as it took the sentence
    }
    if (Handed.empty()) {
        EndOfText();
        return;
    }
    // Always watched, also when the first sentence of a piece was handed
    // before (the watch stops while a piece loads).
    if (wasEmpty || !Watchdog.isActive())
        ArmWatchdog();
}

void TSpeechReader::EndOfText()
{
    if (Text->AtPieceEnd() && OnEndOfText) {
        const int generation = Generation;
        StopWatching();
        const bool loaded = OnEndOfText();
        // The window may have stopped the reading (or started another)
        // while the piece loaded.
        if (generation != Generation || Phase != TPhase::Reading)
            return;
        if (loaded) {
            EnterNextPiece();
            if (generation == Generation)
                Fill();
            return;
        }
    }
    if (CarriedTail) {
        // No next piece after all: the tail as it stands.
        const QString tail = *CarriedTail;
        CarriedTail.reset();
        Hand(-1, 0, tail, 0);
        if (Phase == TPhase::Reading)
            ArmWatchdog();
        return;
    }
    Finish();
}

void TSpeechReader::EnterNextPiece()
{
    Text->Seek(0);
    Pending.reset();
    TextDone = false;
    QVector<int> positions;
    const QString start = Text->Beginning(200, positions);
    const QString tail = CarriedTail ? *CarriedTail : LastText;
    int from = 0;
    int to = 0;
    const bool meets = !tail.isEmpty() && FindContinuation(tail, start, from, to);
    if (!CarriedTail) {
        if (meets)
            Text->Seek(positions[to]); // past what was read already
        return;
    }
    CarriedTail.reset();
    if (!meets) {
        Hand(-1, 0, tail, 0);
        return;
    }
    // The tail and the rest of its sentence, marked from where the piece
    // repeats the tail.
    const int goesOn = positions[to];
    Text->SeekExactly(goesOn);
    const int paragraphEnd = Text->ParagraphEnd();
    QString spoken = tail;
    int end = goesOn;
    TSpokenSentence rest;
    if (Text->Next(rest)) {
        if (rest.Start < paragraphEnd) {
            const bool space = (to < start.size() && start[to].isSpace()) || rest.Start > goesOn;
            spoken += (space ? QStringLiteral(" ") : QString()) + rest.Text;
            end = rest.Start + rest.Length;
        } else {
            Pending = std::move(rest); // the tail ended its paragraph
        }
    }
    const int mark = positions[from];
    Hand(mark, std::max(0, end - mark), spoken, 0);
}

void TSpeechReader::SentenceBegun(int id)
{
    if (Phase != TPhase::Reading || !IsHanded(id))
        return; // a late report of an earlier reading
    while (Handed.front().Id != id)
        Handed.pop_front(); // the engine went past them
    const THanded &sentence = Handed.front();
    ArmWatchdog();
    if (sentence.Start >= 0 && OnSentence) {
        const int generation = Generation;
        OnSentence(sentence.Start, sentence.Length);
        if (generation != Generation)
            return;
    }
}

void TSpeechReader::SentenceDone(int id)
{
    if (Phase != TPhase::Reading || !IsHanded(id))
        return;
    while (!Handed.empty()) {
        const int done = Handed.front().Id;
        Handed.pop_front();
        if (done == id)
            break;
    }
    Fill();
    if (Phase == TPhase::Reading && !Handed.empty())
        ArmWatchdog();
}

bool TSpeechReader::IsHanded(int id) const
{
    return std::any_of(Handed.begin(), Handed.end(), [id](const THanded &h) { return h.Id == id; });
}

void TSpeechReader::ArmWatchdog()
{
    if (Phase == TPhase::Starting) {
        Check.stop();
        Watchdog.start(StartTimeout);
        return;
    }
    if (Phase == TPhase::Idle || Handed.empty()) {
        StopWatching();
        return;
    }
    const THanded &current = Handed.front();
    // Slower rates take up to twice as long.
    const double slower = Request.RatePercent < 0 ? 1.0 - Request.RatePercent / 100.0 : 1.0;
    const int characters = current.Characters;
    Watchdog.start(BaseTime + current.PauseBefore + int(characters * TimePerCharacter * slower));
    Check.start(CheckTime + current.PauseBefore + int(characters * CheckPerCharacter * slower));
}

void TSpeechReader::StopWatching()
{
    Watchdog.stop();
    Check.stop();
}

void TSpeechReader::CheckEngine()
{
    if (Phase != TPhase::Reading || !SpeechEngine)
        return;
    const int generation = Generation;
    SpeechEngine->CheckAnswers(); // one that has gone reports it, maybe at once
    if (generation == Generation && Phase == TPhase::Reading)
        Check.start(std::max(1, CheckInterval));
}
